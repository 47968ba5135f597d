#include "tools/SearchDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "base/Messenger.h"
#include "library/LibrarySearch.h"
#include "library/RegexMatcher.h"
#include "library/QuorrinDoc.h"
#include "ui/ByteEntries.h"
#include "ui/DialogParts.h"
#include "ui/TextCodec.h"

namespace {

// The library's counting for what the user typed (the keyboard gives UTF-8): the text,
// or the regular expression.
std::unique_ptr<CSearchCounter> CounterFor(const QString& text, bool keywordsOnly, bool matchCase, bool regex) {
    SearchOptions options;
    options.text = EncodeString(text, TextEncoding::Utf8);
    options.keywordsOnly = keywordsOnly;
    options.matchCase = matchCase;
    options.regex = regex;
    return std::make_unique<CSearchCounter>(options);
}

} // namespace

// ---------------------------------------------------------------------------------
// CSearchDlg

std::function<void()> PumpAtMostEveryFrame(std::function<void()> pump) {
    return [pump = std::move(pump), lastPump = std::make_shared<QElapsedTimer>()] {
        if (lastPump->isValid() && lastPump->elapsed() < 16)
            return;
        pump();
        lastPump->start();
    };
}

CSearchDlg::CSearchDlg(std::function<CQuorrinDoc*()> document, std::function<void()> pump, QWidget* parent)
    : QDialog(parent), m_document(std::move(document)), m_pump(std::move(pump)) {
    setObjectName(QStringLiteral("searchDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(false);
    BuildLayout();
    // Dialog initialisation: Stop and Search disabled, Close enabled.
    m_stopButton->setEnabled(false);
    m_searchButton->setEnabled(false);
    m_closeButton->setEnabled(true);
    DoDataExchange(false);
}

CSearchDlg::~CSearchDlg() {
    DropPendingRows();
}

void CSearchDlg::BuildLayout() {
    auto* enterLabel = new QLabel(QStringLiteral("Enter text to search for:"), this);
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("searchTextEdit"));
    m_searchEdit->setMinimumWidth(CharWidth(this, 40));
    enterLabel->setBuddy(m_searchEdit);
    m_keywordsOnlyCheck = new QCheckBox(QStringLiteral("Limit search to keywords only"), this);
    m_keywordsOnlyCheck->setObjectName(QStringLiteral("keywordsOnlyCheck"));
    m_matchCaseCheck = new QCheckBox(QStringLiteral("Match case"), this);
    m_matchCaseCheck->setObjectName(QStringLiteral("matchCaseCheck"));
    m_regexCheck = new QCheckBox(QStringLiteral("Regular expression"), this);
    m_regexCheck->setObjectName(QStringLiteral("regexCheck"));
    m_regexCheck->setToolTip(QStringLiteral("Search for a regular expression (Perl syntax, as PCRE2 reads it):\n"
                                            "^ and $ at each line; matches of no characters count nothing"));
    auto* categoryLabel = new QLabel(QStringLiteral("Limit search to this category:"), this);
    m_categoryList = new QComboBox(this);
    m_categoryList->setObjectName(QStringLiteral("categoryLimitCombo"));
    m_categoryList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_categoryList->setMinimumContentsLength(20);
    categoryLabel->setBuddy(m_categoryList);
    auto* resultsLabel = new QLabel(QStringLiteral("Search results:"), this);
    m_resultList = new QTreeWidget(this);
    m_resultList->setObjectName(QStringLiteral("resultList"));
    m_resultList->setColumnCount(2);
    m_resultList->setHeaderLabels({QStringLiteral("Sample Title"), QStringLiteral("Count")});
    m_resultList->setRootIsDecorated(false);
    m_resultList->setItemsExpandable(false);
    m_resultList->setUniformRowHeights(true);
    m_resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultList->setAllColumnsShowFocus(true);
    m_resultList->setSortingEnabled(false);
    m_resultList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultList->header()->setSectionsClickable(false);
    m_resultList->header()->setSectionsMovable(false);
    m_resultList->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_resultList->header()->setStretchLastSection(true);
    m_resultList->setMinimumSize(CharWidth(this, 56), 220);
    resultsLabel->setBuddy(m_resultList);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusText"));
    m_statusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusLabel->setMinimumHeight(m_statusLabel->fontMetrics().height() + 6);
    m_statusLabel->setTextFormat(Qt::PlainText);
    // The animation area of the layout; nothing is ever shown in it.
    m_animation = new QLabel(this);
    m_animation->setObjectName(QStringLiteral("animationArea"));
    m_animation->setFixedSize(32, 32);

    m_searchButton = new QPushButton(QStringLiteral("Search"), this);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    m_searchButton->setDefault(true);
    m_stopButton = new QPushButton(QStringLiteral("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_clearButton = new QPushButton(QStringLiteral("Clear Display"), this);
    m_clearButton->setObjectName(QStringLiteral("clearDisplayButton"));
    for (QPushButton* b : {m_stopButton, m_closeButton, m_clearButton})
        b->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(enterLabel);
    left->addWidget(m_searchEdit);
    left->addWidget(m_keywordsOnlyCheck);
    left->addWidget(m_matchCaseCheck);
    left->addWidget(m_regexCheck);
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(categoryLabel);
    categoryRow->addWidget(m_categoryList, 1);
    left->addLayout(categoryRow);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_searchButton);
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_closeButton);
    buttons->addWidget(m_clearButton);
    buttons->addWidget(m_animation, 0, Qt::AlignHCenter);
    buttons->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addSpacing(8);
    top->addLayout(buttons);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addSpacing(4);
    outer->addWidget(resultsLabel);
    outer->addWidget(m_resultList, 1);
    outer->addWidget(m_statusLabel);

    connect(m_searchEdit, &QLineEdit::textChanged, this, &CSearchDlg::OnTextChanged);
    connect(m_searchButton, &QPushButton::clicked, this, &CSearchDlg::OnSearch);
    connect(m_stopButton, &QPushButton::clicked, this, &CSearchDlg::OnStop);
    connect(m_closeButton, &QPushButton::clicked, this, &CSearchDlg::accept);
    connect(m_clearButton, &QPushButton::clicked, this, &CSearchDlg::OnClearDisplay);
    connect(m_resultList, &QTreeWidget::itemDoubleClicked, this, &CSearchDlg::OnResultDoubleClicked);
    m_resultList->installEventFilter(this);
}

void CSearchDlg::Create() {
    FillCategoryLimit();
    // "(no limit)" is the starting choice even when a category name sorts before it.
    m_categoryList->setCurrentIndex(FindEntryBytes(m_categoryList, kNoLimit));
}

void CSearchDlg::FillCategoryLimit() {
    // The choice made stays while its category is still there.
    const std::string chosen = CurrentEntryBytes(m_categoryList);
    m_categoryList->clear();
    std::vector<std::string> names{kNoLimit};
    if (CQuorrinDoc* doc = m_document()) {
        CCategory category;
        CQuorrinDoc::Cursor cursor;
        for (bool more = doc->FirstCategory(category, cursor); more;
             more = doc->NextCategory(category, cursor))
            names.push_back(category.GetName());
    }
    AddSortedEntries(m_categoryList, std::move(names));
    const int kept = chosen.empty() ? -1 : FindEntryBytes(m_categoryList, chosen);
    m_categoryList->setCurrentIndex(kept >= 0 ? kept : FindEntryBytes(m_categoryList, kNoLimit));
}

void CSearchDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Coming back to the dialog after the library's categories changed in the window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_bSearching)
        FillCategoryLimit();
}

void CSearchDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_bSearching)
        FillCategoryLimit();
    if (!m_columnsSet) {
        // Column 0 takes three quarters of the list, column 1 the rest.
        m_columnsSet = true;
        const int w = m_resultList->viewport()->width();
        m_resultList->setColumnWidth(0, (w / 4) * 3);
    }
}

void CSearchDlg::DoDataExchange(bool save) {
    if (save) {
        m_strSearchText = m_searchEdit->text();
        m_bKeywordsOnly = m_keywordsOnlyCheck->isChecked();
        m_bMatchCase = m_matchCaseCheck->isChecked();
        m_bRegex = m_regexCheck->isChecked();
        return;
    }
    // Showing the values is not the user's typing: it leaves Search as it is.
    m_exchanging = true;
    if (m_searchEdit->text() != m_strSearchText)
        m_searchEdit->setText(m_strSearchText);
    m_keywordsOnlyCheck->setChecked(m_bKeywordsOnly);
    m_matchCaseCheck->setChecked(m_bMatchCase);
    m_regexCheck->setChecked(m_bRegex);
    m_statusLabel->setText(m_strStatus);
    m_exchanging = false;
}

void CSearchDlg::OnTextChanged() {
    if (!m_exchanging)
        m_searchButton->setEnabled(true);
}

void CSearchDlg::SetSearchingState() {
    m_stopButton->setEnabled(true);
    m_searchButton->setEnabled(false);
    m_closeButton->setEnabled(false);
}

void CSearchDlg::SetIdleState() {
    m_stopButton->setEnabled(false);
    m_searchButton->setEnabled(true);
    m_closeButton->setEnabled(true);
}

void CSearchDlg::OnSearch() {
    DoDataExchange(true);
    if (m_strSearchText.isEmpty()) {
        ShowMessage(kEmptyTextMessage);
        return;
    }
    if (m_bSearching) {
        // A search is running further down the stack: it ends after its sample and a
        // new one starts there, so two walks never run at once.
        m_bRestart = true;
        m_bStopRequested = true;
        m_bCleared = false;
        SetSearchingState();
        return;
    }
    RunSearch();
}

void CSearchDlg::RunSearch() {
    QPointer<CSearchDlg> alive(this);
    m_bSearching = true;
    do {
        m_bRestart = false;
        m_bStopRequested = false;
        m_bCleared = false;
        DoDataExchange(true);
        QString needleText = m_strSearchText;
        bool needleKeywordsOnly = m_bKeywordsOnly;
        bool needleMatchCase = m_bMatchCase;
        bool needleRegex = m_bRegex;
        std::unique_ptr<CSearchCounter> needle =
            CounterFor(needleText, needleKeywordsOnly, needleMatchCase, needleRegex);
        if (!needle->Ok()) {
            // A pattern that does not compile searches nothing; the display stays.
            SetIdleState();
            ShowMessage(needle->Error(), MsgButtons::Ok, MsgIcon::Exclamation);
            if (!alive)
                return;
            break;
        }
        m_nSamplesFound = 0;
        m_nOccurrencesFound = 0;
        DropPendingRows();
        if (m_resultList->topLevelItemCount() > 0)
            m_resultList->clear();
        m_sinceRowsShown.start();
        SetSearchingState();

        CQuorrinDoc* doc = m_document();
        CQuorrinDoc::Cursor cursor;
        if (!doc || !doc->FirstSampleRecord(cursor)) {
            // Nothing to search; the status text stays as it was.
            SetIdleState();
            break;
        }
        m_strStatus = QString::fromLatin1(kSearchingText);
        m_statusLabel->setText(m_strStatus);

        const std::string limit = CurrentEntryBytes(m_categoryList);
        const bool limited = !limit.empty() && limit != kNoLimit;
        std::string ranAway; // the message when a pattern hit the match limit

        // A copy: the dialog, and its member, may be destroyed while the pump runs.
        const std::function<void()> pump = m_pump;
        for (;;) {
            pump();
            if (!alive)
                return; // the dialog was destroyed while the events ran
            doc = m_document();
            if (!doc || m_bCleared || m_bRestart) {
                m_bStopRequested = true;
                break;
            }
            // The events may have edited or deleted the sample the walk stands on: the
            // library's own record is counted, when it is still there.
            if (const CSample* live = doc->SampleRecordAt(cursor)) {
                if (!limited || live->GetCategory() == limit) {
                    const unsigned n = needle->Count(*live);
                    if (needle->RanAway()) {
                        // One match cannot be interrupted: the limit ended it, and the search ends.
                        ranAway = RanAwayMessage(live->GetTitle());
                        m_bStopRequested = true;
                        break;
                    }
                    if (n > 0) {
                        m_nOccurrencesFound += n;
                        AddResultRow(*live, n);
                        ++m_nSamplesFound;
                    }
                }
            }
            DoDataExchange(true);
            if (m_strSearchText.isEmpty()) {
                // Counting an empty text makes no sense: end as Stop does.
                m_bStopRequested = true;
                break;
            }
            if (m_strSearchText != needleText || m_bKeywordsOnly != needleKeywordsOnly ||
                m_bMatchCase != needleMatchCase || m_bRegex != needleRegex) {
                needleText = m_strSearchText;
                needleKeywordsOnly = m_bKeywordsOnly;
                needleMatchCase = m_bMatchCase;
                needleRegex = m_bRegex;
                // A pattern typed half-way may not compile yet: the last good one goes on.
                auto changed = CounterFor(needleText, needleKeywordsOnly, needleMatchCase, needleRegex);
                if (changed->Ok())
                    needle = std::move(changed);
            }
            if (!doc->NextSampleRecord(cursor))
                break;
            if (m_bStopRequested)
                break;
        }

        if (m_bRestart)
            continue;
        if (m_bCleared) {
            DropPendingRows();
            // Clear Display has set the display and the buttons already.
            m_bStopRequested = false;
            break;
        }
        ShowPendingRows();
        if (m_bStopRequested)
            m_strStatus = QString::fromLatin1(kStoppedText);
        else
            m_strStatus = QString::fromStdString(FoundLine(m_nOccurrencesFound, m_nSamplesFound));
        m_bStopRequested = false;
        SetIdleState();
        DoDataExchange(false);
        if (!ranAway.empty()) {
            ShowMessage(ranAway, MsgButtons::Ok, MsgIcon::Exclamation);
            if (!alive)
                return;
        }
    } while (m_bRestart);
    m_bSearching = false;
    m_bCleared = false;
}

void CSearchDlg::AddResultRow(const CSample& sample, unsigned count) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, DecodeName(sample.GetTitle()));
    item->setData(0, kBytesRole, ToByteArray(sample.GetTitle()));
    item->setText(1, QString::fromStdString(StrFormat("%d", static_cast<int>(count))));
    m_pendingRows.append(item);
    // Every insertion lays the whole list out again, so with many results the rows go
    // in a batch at a time; the first ones at once, so that the user sees them.
    if (m_resultList->topLevelItemCount() < kRowsShownAtOnce || m_sinceRowsShown.elapsed() >= kRowBatchMs)
        ShowPendingRows();
}

void CSearchDlg::ShowPendingRows() {
    if (!m_pendingRows.isEmpty()) {
        m_resultList->insertTopLevelItems(m_resultList->topLevelItemCount(), m_pendingRows);
        m_pendingRows.clear();
    }
    m_sinceRowsShown.start();
}

void CSearchDlg::DropPendingRows() {
    qDeleteAll(m_pendingRows);
    m_pendingRows.clear();
}

void CSearchDlg::OnStop() {
    m_bStopRequested = true;
    m_stopButton->setEnabled(false);
    m_searchButton->setEnabled(true);
    m_closeButton->setEnabled(true);
}

void CSearchDlg::OnClearDisplay() {
    m_strSearchText.clear();
    m_strStatus.clear();
    m_bKeywordsOnly = false;
    m_bMatchCase = false;
    m_bRegex = false;
    DropPendingRows();
    m_resultList->clear();
    m_categoryList->setCurrentIndex(FindEntryBytes(m_categoryList, kNoLimit));
    m_stopButton->setEnabled(false);
    m_searchButton->setEnabled(false);
    m_closeButton->setEnabled(true);
    if (m_bSearching) {
        m_bCleared = true;
        m_bStopRequested = true;
        m_bRestart = false;
        m_nSamplesFound = 0;
        m_nOccurrencesFound = 0;
    }
    DoDataExchange(false);
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_resultList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & ~Qt::KeypadModifier)) {
            if (QTreeWidgetItem* current = m_resultList->currentItem()) {
                m_resultList->setCurrentItem(current);
                current->setSelected(true);
                OnResultDoubleClicked();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSearchDlg::OnResultDoubleClicked() {
    const QList<QTreeWidgetItem*> selected = m_resultList->selectedItems();
    if (selected.size() != 1)
        return;
    emit sampleChosen(selected.front()->data(0, kBytesRole).toByteArray());
}

void CSearchDlg::reject() {
    if (m_bSearching)
        OnStop();
    QDialog::reject();
}

void CSearchDlg::accept() {
    if (m_bSearching)
        OnStop();
    QDialog::accept();
}
