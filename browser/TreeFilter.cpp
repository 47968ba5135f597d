#include "browser/TreeFilter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "browser/SampleTree.h"
#include "browser/ViewContext.h"
#include "library/LibrarySearch.h"
#include "library/WordFind.h"
#include "ui/TextCodec.h"

namespace {

// What a narrowed tree shows, also in the branches it makes later, and in which order.
class CMatchFilter : public ISampleFilter {
public:
    CMatchFilter(const std::string& typed, bool inText) : m_find(typed, inText) {}
    bool Accepts(const CSample& sample) override { return m_find.Score(sample) > 0; }
    int Rank(const CSample& sample) override { return m_find.Score(sample); }
    std::vector<MarkRange> Marks(std::string_view title) const override { return m_find.Marks(title); }

private:
    CWordFind m_find;
};

// The text as the library's search takes it: UTF-8, up to a zero byte.
std::string NeedleOf(const QString& text) {
    std::string needle = EncodeString(text, TextEncoding::Utf8);
    const size_t zero = needle.find('\0');
    if (zero != std::string::npos)
        needle.resize(zero);
    return needle;
}

} // namespace

CTreeFilter::CTreeFilter(ViewContext& context, CSampleTree& tree, QWidget* parent)
    : QObject(parent), m_context(context), m_tree(tree) {
    setObjectName(QStringLiteral("treeFilterRoom"));
    m_panel = new QWidget(parent);
    auto* row = new QHBoxLayout(m_panel);
    row->setContentsMargins(0, 0, 0, 0);
    m_field = new QLineEdit(m_panel);
    m_field->setObjectName(QStringLiteral("treeFilter"));
    m_field->setPlaceholderText(QStringLiteral("Find samples (Ctrl+K)"));
    m_field->setClearButtonEnabled(true);
    m_field->setToolTip(QStringLiteral("Shows only the samples whose title or keywords hold every word typed,\n"
                                       "best first.\n"
                                       "Down: into the results; Enter: show the sample; Escape: the whole tree"));
    m_inText = new QCheckBox(QStringLiteral("In text"), m_panel);
    m_inText->setObjectName(QStringLiteral("treeFilterInText"));
    m_inText->setToolTip(QStringLiteral("Find the text in the comments and sample text too"));
    m_status = new QLabel(m_panel);
    m_status->setObjectName(QStringLiteral("treeFilterStatus"));
    m_status->hide();
    // "In text" at the row's end: the count takes its room from the field, so the box
    // stays where it is as the count changes.
    row->addWidget(m_field, 1);
    row->addWidget(m_status);
    row->addWidget(m_inText);

    connect(m_field, &QLineEdit::textChanged, this, &CTreeFilter::OnTextChanged);
    connect(m_inText, &QCheckBox::toggled, this, &CTreeFilter::OnTextChanged);
    connect(&m_tree, &CSampleTree::FilterEnded, this, &CTreeFilter::OnTreeFilterEnded);
    m_field->installEventFilter(this);
    m_tree.installEventFilter(this);
}

void CTreeFilter::Focus() {
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

bool CTreeFilter::IncludesText() const { return m_inText->isChecked(); }

void CTreeFilter::SetIncludesText(bool on) { m_inText->setChecked(on); }

QStringList CTreeFilter::Words() const {
    QStringList words;
    for (const std::string& word : SplitWords(NeedleOf(m_field->text())))
        words.append(QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size())));
    return words;
}

void CTreeFilter::SetStatus(const QString& text) {
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

void CTreeFilter::OnTextChanged() {
    if (m_clearing)
        return;
    // A search still running is for a text no longer wanted.
    ++m_generation;
    m_searching = false;
    Apply();
}

void CTreeFilter::Apply() {
    CQuorrinDoc* doc = m_context.doc;
    const std::string needle = NeedleOf(m_field->text());
    const std::vector<std::string> words = SplitWords(needle);
    if (!doc || words.empty()) {
        SetStatus(QString());
        if (m_tree.IsFiltered()) {
            if (m_beforeChange)
                m_beforeChange();
            m_tree.EndFilter();
        }
        emit Finished();
        return;
    }
    if (m_beforeChange)
        m_beforeChange();
    if (!m_context.doc)
        return;
    m_index.Update(*doc);
    std::vector<const CSample*> titles = m_index.FindAll(words);
    if (!IncludesText()) {
        ShowResult(titles, false);
        emit Finished();
        return;
    }
    // The title and keyword matches at once; the text is searched in slices.
    m_needle = needle;
    m_version = doc->SamplesVersion();
    m_cursor = CQuorrinDoc::Cursor();
    m_started = false;
    m_titleMatches = std::move(titles);
    m_nextTitleMatch = 0;
    m_found.clear();
    m_searching = true;
    ShowResult(m_titleMatches, false);
    SetStatus(QStringLiteral("Searching..."));
    const unsigned generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_searching)
            RunSlice();
    });
}

void CTreeFilter::RunSlice() {
    CQuorrinDoc* doc = m_context.doc;
    if (!doc) {
        m_searching = false;
        return;
    }
    if (doc->SamplesVersion() != m_version) {
        // The records found so far may have gone: from the start again.
        ++m_generation;
        Apply();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    CWordFind find(m_needle, true);
    const CSample* sample = m_started ? doc->NextSampleRecord(m_cursor) : doc->FirstSampleRecord(m_cursor);
    m_started = true;
    int sinceCheck = 0;
    while (sample) {
        // The walk and the title matches are both in title order.
        const bool byTitle =
            m_nextTitleMatch < m_titleMatches.size() && m_titleMatches[m_nextTitleMatch] == sample;
        if (byTitle)
            ++m_nextTitleMatch;
        if (byTitle || find.Score(*sample) > 0)
            m_found.push_back(sample);
        if (++sinceCheck >= 32) {
            sinceCheck = 0;
            if (slice.elapsed() >= kSliceMs) {
                const unsigned generation = m_generation;
                QTimer::singleShot(0, this, [this, generation] {
                    if (generation == m_generation && m_searching)
                        RunSlice();
                });
                return;
            }
        }
        sample = doc->NextSampleRecord(m_cursor);
    }
    m_searching = false;
    ShowResult(m_found, true);
    std::vector<const CSample*>().swap(m_found);
    emit Finished();
}

void CTreeFilter::ShowResult(const std::vector<const CSample*>& matches, bool includesText) {
    m_tree.ShowFiltered(std::make_shared<CMatchFilter>(NeedleOf(m_field->text()), includesText), matches);
    if (!m_searching)
        SetStatus(QStringLiteral("%1 found").arg(m_tree.FilteredCount()));
}

void CTreeFilter::OnTreeFilterEnded() {
    // The tree is whole again without the user clearing the text (a sample the filter
    // hid was asked for): the text goes too, and any search of it.
    ++m_generation;
    m_searching = false;
    SetStatus(QString());
    m_clearing = true;
    m_field->clear();
    m_clearing = false;
}

bool CTreeFilter::SelectFirstResult() {
    QTreeWidgetItem* item = m_tree.RootItem();
    while (item) {
        m_tree.BuildBranch(item);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            QTreeWidgetItem* child = item->child(i);
            if (CSampleTree::ItemTag(child) == kTagSample) {
                m_tree.setCurrentItem(child);
                m_tree.scrollToItem(child);
                return true;
            }
            m_tree.BuildBranch(child);
            if (child->childCount() > 0)
                next = child;
        }
        item = next;
    }
    return false;
}

bool CTreeFilter::eventFilter(QObject* watched, QEvent* event) {
    // The titles and keywords are read in as the field takes the focus, before the
    // first letter comes.
    if (watched == m_field && event->type() == QEvent::FocusIn && m_context.doc)
        m_index.Update(*m_context.doc);
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QObject::eventFilter(watched, event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_field) {
        switch (key->key()) {
        case Qt::Key_Escape:
            if (m_field->text().isEmpty())
                return false;
            m_field->clear();
            return true;
        case Qt::Key_Down:
            m_tree.setFocus(Qt::OtherFocusReason);
            if (m_tree.IsFiltered() && m_tree.SelectedTag() != kTagSample)
                SelectFirstResult();
            return true;
        default:
            if (enter) {
                if (m_tree.IsFiltered() && (m_tree.SelectedTag() == kTagSample || SelectFirstResult()))
                    emit SampleChosen();
                return true;
            }
            return false;
        }
    }
    if (watched == &m_tree) {
        if (enter && m_tree.SelectedTag() == kTagSample) {
            emit SampleChosen();
            return true;
        }
        if (key->key() == Qt::Key_Escape && !m_field->text().isEmpty()) {
            m_field->clear();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
