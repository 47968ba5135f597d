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
    // The whole text as the form shows it; the selection and the caret stay as they are.
    const int lines = m_form.TextEdit()->CopyAll();
    emit StatusText(lines == 1 ? QStringLiteral("Copied 1 line") : QStringLiteral("Copied %1 lines").arg(lines));
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
    if (!m_context.doc || m_context.readOnly || ClassifyDrop(data) != DropKind::Text)
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
        if (m_context.doc->DisplayedSample().GetTitle() == title)
            m_context.doc->DisplayedSample().SetText(text);
        // On disk at once, as a command's change is; with unsaved edits in the form the
        // new text waits with them (they are saved, or asked about, together).
        if (!m_form.IsFormModified())
            m_context.doc->OnSaveDocument();
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
