#include "browser/ClipboardAndDrop.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "base/Messenger.h"
#include "browser/SampleForm.h"
#include "browser/SampleTree.h"
#include "browser/TextDroppedDlg.h"
#include "browser/TreeEditCommands.h"
#include "browser/ViewContext.h"
#include "browser/ViewHost.h"
#include "library/ContentCheck.h"
#include "library/QuorrinDoc.h"
#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

namespace {

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

} // namespace

CClipboardAndDrop::CClipboardAndDrop(ViewContext& context, CSampleTree& tree, CSampleForm& form,
                                     CTreeEditCommands& edits, QObject* parent)
    : QObject(parent), m_context(context), m_tree(tree), m_form(form), m_edits(edits) {
    setObjectName(QStringLiteral("clipboardAndDrop"));
}

// ---------------------------------------------------------------------------------
// Clipboard

bool CClipboardAndDrop::CanCut() const { return CanCopy(); }

bool CClipboardAndDrop::CanCopy() const {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line->hasSelectedText();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        return text->textCursor().hasSelection();
    if (auto* code = qobject_cast<CCodeEditor*>(focus))
        return code->hasSelectedText();
    return false;
}

bool CClipboardAndDrop::CanPaste() const {
    QWidget* focus = QApplication::focusWidget();
    bool editable = false;
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        editable = !line->isReadOnly();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        editable = !text->isReadOnly();
    else if (auto* code = qobject_cast<CCodeEditor*>(focus))
        editable = !code->isReadOnly();
    return editable && ClipboardHasText();
}

void CClipboardAndDrop::OnEditCut() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (!line->isReadOnly())
            line->cut();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        if (!text->isReadOnly())
            text->cut();
    } else if (auto* code = qobject_cast<CCodeEditor*>(focus)) {
        code->cut();
    }
}

void CClipboardAndDrop::OnEditCopy() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        line->copy();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        text->copy();
    else if (auto* code = qobject_cast<CCodeEditor*>(focus))
        code->copy();
}

void CClipboardAndDrop::OnEditPaste() {
    // The clipboard's text up to a zero byte; a single-line field takes its first line.
    PasteInto(QApplication::focusWidget());
}

void CClipboardAndDrop::OnCopySampleToClipboard() {
    if (m_tree.SelectedTag() != kTagSample)
        return;
    CCodeEditor* text = m_form.TextEdit();
    // The whole text as the form shows it; the caret ends at position 65535 (or the end).
    text->selectAll();
    text->copy();
    text->SetCaretCharPosition(65535);
}

// ---------------------------------------------------------------------------------
// Drag and drop

void CClipboardAndDrop::RegisterDropTarget() {
    new CDropTarget(m_context.view, [this](const QMimeData* data) { return OnDropData(data); });
    // The form's own paste goes through the same rule as the Paste command.
    auto* paste = new CPasteFilter(this);
    for (QWidget* field : m_form.EditFields())
        paste->Watch(field);
}

bool CClipboardAndDrop::OnDropData(const QMimeData* data) {
    if (!m_context.doc || ClassifyDrop(data) != DropKind::Text)
        return true; // nothing taken, nothing refused
    const std::string raw = RawTextBytes(data);
    if (raw.empty()) {
        ShowMessage("Could not determine size of data dragged from other application!", MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return true;
    }
    WizardCarryOver carry = m_context.host.WizardState();
    carry.droppedText = LibraryTextFromBytes(raw);

    QTreeWidgetItem* item = m_tree.SelectedItem();
    const int tag = CSampleTree::ItemTag(item);
    const std::string name = CSampleTree::ItemName(item);
    if (tag == kTagSample) {
        CTextDroppedDlg dlg(m_context.view->window());
        const int answer = dlg.exec();
        if (answer == CTextDroppedDlg::kReplace) {
            ReplaceSampleText(name, carry.droppedText);
            return true;
        }
        if (answer == CTextDroppedDlg::kCreateNew) {
            carry.droppedTextPending = true;
            m_edits.LaunchAddSampleWizard();
            return true;
        }
        return false;
    }
    carry.droppedTextPending = true;
    m_edits.LaunchAddSampleWizard();
    return true;
}

void CClipboardAndDrop::ReplaceSampleText(const std::string& title, const std::string& text) {
    CSample copy;
    m_context.doc->FindSample(title, copy);
    copy.SetText(text);
    if (!copy.GetTitle().empty()) {
        const std::string why = CheckFieldContent("text", text);
        if (!why.empty()) {
            ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
    }
    // The form shows the new text at once.
    m_form.ShowReplacedText(text);
    if (m_context.doc->UpdateSample(title, copy)) {
        m_context.doc->MarkCategoryChanged(copy.GetCategory());
        if (m_context.doc->DisplayedSample().GetTitle() == title)
            m_context.doc->DisplayedSample().SetText(text);
    }
    emit StateChanged();
}

// ---------------------------------------------------------------------------------
// Dropped and pasted text

DropKind ClassifyDrop(const QMimeData* data) {
    if (!data || !data->hasText())
        return DropKind::Other;
    // A file manager offers the paths of dragged files as text too; an image may come
    // with its address. Neither is sample text.
    if (data->hasImage())
        return DropKind::Other;
    if (data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        if (!urls.isEmpty() &&
            std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
            return DropKind::Other;
    }
    return DropKind::Text;
}

std::string RawTextBytes(const QMimeData* data) {
    if (!data || !data->hasText())
        return {};
    for (const char* format : {"text/plain;charset=utf-8", "text/plain"}) {
        const QString f = QString::fromLatin1(format);
        if (data->hasFormat(f)) {
            const QByteArray bytes = data->data(f);
            if (!bytes.isEmpty())
                return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
        }
    }
    const QByteArray utf8 = data->text().toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

std::string LibraryTextFromBytes(std::string bytes) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            out += '\r';
        out += bytes[i];
    }
    return out;
}

// ---------------------------------------------------------------------------------
// CDropTarget

CDropTarget::CDropTarget(QWidget* target, DropCallback onDrop)
    : QObject(target), m_target(target), m_onDrop(std::move(onDrop)) {
    target->setAcceptDrops(true);
    // The whole window is one drop target: the fields do not take drops themselves.
    for (QWidget* child : target->findChildren<QWidget*>())
        child->setAcceptDrops(false);
    target->installEventFilter(this);
}

bool CDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_target)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Whatever is offered, the answer is copy.
        auto* e = static_cast<QDragMoveEvent*>(event);
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    case QEvent::DragLeave:
        event->accept();
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const bool taken = m_onDrop ? m_onDrop(e->mimeData()) : false;
        if (taken) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

// ---------------------------------------------------------------------------------
// Paste

bool PasteInto(QWidget* edit) {
    auto* line = qobject_cast<QLineEdit*>(edit);
    auto* text = qobject_cast<QPlainTextEdit*>(edit);
    auto* code = qobject_cast<CCodeEditor*>(edit);
    if ((!line && !text && !code) || (line && line->isReadOnly()) || (text && text->isReadOnly()) ||
        (code && code->isReadOnly()))
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return false;
    std::string bytes = LibraryTextFromBytes(RawTextBytes(data));
    FieldCodec codec;
    QString value = DecodeField(bytes, codec);
    if (line) {
        const qsizetype nl = value.indexOf(QLatin1Char('\n'));
        if (nl >= 0)
            value.truncate(nl);
        line->insert(value);
    } else if (code) {
        code->InsertPlainText(value);
    } else {
        text->insertPlainText(value);
    }
    return true;
}

void CPasteFilter::Watch(QWidget* edit) {
    edit->installEventFilter(this);
    // A multi-line field gets its context menu through its viewport.
    if (auto* text = qobject_cast<QAbstractScrollArea*>(edit))
        text->viewport()->installEventFilter(this);
}

namespace {

bool IsPasteTarget(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const CCodeEditor*>(w);
}

} // namespace

bool CPasteFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    if (!IsPasteTarget(widget))
        widget = widget->parentWidget();
    if (!widget || !IsPasteTarget(widget))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        PasteInto(widget);
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        QMenu* menu = nullptr;
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            menu = line->createStandardContextMenu();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            menu = text->createStandardContextMenu(static_cast<QContextMenuEvent*>(event)->pos());
        else if (auto* code = qobject_cast<CCodeEditor*>(widget))
            menu = code->createStandardContextMenu();
        if (!menu)
            return false;
        // The multi-line field names its actions; the single-line one only labels them.
        const QString pasteLabel = QLineEdit::tr("&Paste");
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste") ||
                action->text().section(QLatin1Char('\t'), 0, 0) == pasteLabel) {
                QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
                connect(action, &QAction::triggered, widget, [widget] { PasteInto(widget); });
            }
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        delete menu;
        return true;
    }
    return false;
}
