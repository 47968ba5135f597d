// The view's tool commands: Search, Library Info, Library Help, printing, the clipboard
// commands and text dropped on the window.
#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTreeWidget>

#include "browser/DropHandler.h"
#include "browser/QuorrinView.h"
#include "browser/SamplePrinter.h"
#include "browser/ViewHost.h"
#include "library/ContentCheck.h"
#include "base/Messenger.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/SearchDlg.h"
#include "ui/ByteEntries.h"

// ---------------------------------------------------------------------------------
// Search, Library Info, Library Help

void CQuorrinView::OnSearch() {
    if (!m_searchDlg) {
        // Created once; it lives as long as the view and keeps its results while hidden.
        m_searchDlg = new CSearchDlg([this] { return m_doc; },
                                     PumpAtMostEveryFrame([this] { m_host.PumpPendingMessages(); }), this);
        m_searchDlg->Create();
        connect(m_searchDlg, &CSearchDlg::sampleChosen, this,
                [this](const QByteArray& title) { SelectSampleItem(ToStdString(title)); });
    }
    m_searchDlg->showNormal();
    m_searchDlg->raise();
    m_searchDlg->activateWindow();
}

void CQuorrinView::OnLibraryInfo() {
    if (!m_doc)
        return;
    CLibraryInfoDlg dlg(*m_doc, window());
    dlg.exec();
}

void CQuorrinView::OnLibraryHelp() { m_host.ShowLibraryHelp(); }

// ---------------------------------------------------------------------------------
// Printing

bool CQuorrinView::PrintableSample(CSample& sample) {
    if (!m_doc || SelectedTag() != kTagSample)
        return false;
    CaptureFormInto(sample); // what the form shows, unsaved edits included
    return true;
}

void CQuorrinView::OnFilePrint() {
    CSample sample;
    const bool any = PrintableSample(sample);
    CSamplePrinter(any ? &sample : nullptr).Print(window());
}

void CQuorrinView::OnFilePrintPreview() {
    CSample sample;
    const bool any = PrintableSample(sample);
    CSamplePrinter(any ? &sample : nullptr).Preview(window());
}

// ---------------------------------------------------------------------------------
// Clipboard

void CQuorrinView::OnCopySampleToClipboard() {
    if (SelectedTag() != kTagSample)
        return;
    // The whole text as the form shows it; the caret ends at position 65535 (or the end).
    m_textEdit->selectAll();
    m_textEdit->ensureCursorVisible();
    m_textEdit->copy();
    QTextCursor caret = m_textEdit->textCursor();
    const int end = m_textEdit->document()->characterCount() - 1;
    caret.setPosition(std::min(65535, end));
    m_textEdit->setTextCursor(caret);
    m_textEdit->ensureCursorVisible();
}

// ---------------------------------------------------------------------------------
// Drag and drop

void CQuorrinView::RegisterDropTarget() {
    new CDropTarget(this, [this](const QMimeData* data) { return OnDropData(data); });
    // The form's own paste goes through the same rule as the Paste command.
    auto* paste = new CPasteFilter(this);
    paste->Watch(m_keywordsEdit);
    paste->Watch(m_commentsEdit);
    paste->Watch(m_textEdit);
}

bool CQuorrinView::OnDropData(const QMimeData* data) {
    if (!m_doc || ClassifyDrop(data) != DropKind::Text)
        return true; // nothing taken, nothing refused
    const std::string raw = RawTextBytes(data);
    if (raw.empty()) {
        ShowMessage("Could not determine size of data dragged from other application!", MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return true;
    }
    WizardCarryOver carry = m_host.WizardState();
    carry.droppedText = LibraryTextFromBytes(raw);

    QTreeWidgetItem* item = SelectedItem();
    const int tag = ItemTag(item);
    const std::string name = ItemName(item);
    if (tag == kTagSample) {
        CTextDroppedDlg dlg(window());
        const int answer = dlg.exec();
        if (answer == CTextDroppedDlg::kReplace) {
            ReplaceSampleText(name, carry.droppedText);
            return true;
        }
        if (answer == CTextDroppedDlg::kCreateNew) {
            carry.droppedTextPending = true;
            LaunchAddSampleWizard();
            return true;
        }
        return false;
    }
    carry.droppedTextPending = true;
    LaunchAddSampleWizard();
    return true;
}

void CQuorrinView::ReplaceSampleText(const std::string& title, const std::string& text) {
    CSample copy;
    m_doc->FindSample(title, copy);
    copy.SetText(text);
    if (!copy.GetTitle().empty()) {
        const std::string why = CheckFieldContent("text", text);
        if (!why.empty()) {
            ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
    }
    // The form shows the new text at once; its modified flag stays as it was, because
    // the text goes into the library directly.
    m_loadingForm = true;
    m_textEdit->setPlainText(DecodeField(text, m_textCodec));
    m_loadingForm = false;
    // Unsaved edits of the other fields stay pending, now with the new text.
    if (m_formModified)
        CaptureForm();
    if (m_doc->UpdateSample(title, copy)) {
        m_doc->MarkCategoryChanged(copy.GetCategory());
        if (m_doc->DisplayedSample().GetTitle() == title)
            m_doc->DisplayedSample().SetText(text);
    }
    emit CommandStateChanged();
}
