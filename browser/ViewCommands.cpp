#include "browser/ViewCommands.h"

#include "browser/SampleForm.h"
#include "browser/SamplePrinter.h"
#include "browser/SampleTree.h"
#include "browser/ViewContext.h"
#include "browser/ViewHost.h"
#include "library/QuorrinDoc.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/SearchDlg.h"
#include "ui/ByteEntries.h"

CViewCommands::CViewCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form, QObject* parent)
    : QObject(parent), m_context(context), m_tree(tree), m_form(form) {
    setObjectName(QStringLiteral("viewCommands"));
}

bool CViewCommands::OnFileSave() {
    if (!m_context.doc)
        return false;
    if (m_form.IsFormModified() && !m_form.CaptureFormChecked())
        return false;
    const bool ok = m_context.doc->OnSaveDocument();
    emit StateChanged();
    return ok;
}

void CViewCommands::OnSearch() {
    if (!m_searchDlg) {
        // Created once; it lives as long as the view and keeps its results while hidden.
        m_searchDlg = new CSearchDlg([this] { return m_context.doc; },
                                     PumpAtMostEveryFrame([this] { m_context.host.PumpPendingMessages(); }),
                                     m_context.view);
        m_searchDlg->Create();
        connect(m_searchDlg, &CSearchDlg::sampleChosen, this,
                [this](const QByteArray& title) { m_tree.SelectSampleItem(ToStdString(title)); });
    }
    m_searchDlg->showNormal();
    m_searchDlg->raise();
    m_searchDlg->activateWindow();
}

void CViewCommands::OnLibraryInfo() {
    if (!m_context.doc)
        return;
    CLibraryInfoDlg dlg(*m_context.doc, m_context.view->window());
    dlg.exec();
}

void CViewCommands::OnLibraryHelp() { m_context.host.ShowLibraryHelp(); }

void CViewCommands::OnOptions() { m_context.host.RunOptions(); }

// ---------------------------------------------------------------------------------
// Printing

bool CViewCommands::PrintableSample(CSample& sample) {
    if (!m_context.doc || m_tree.SelectedTag() != kTagSample)
        return false;
    m_form.CaptureFormInto(sample); // what the form shows, unsaved edits included
    return true;
}

void CViewCommands::OnFilePrint() {
    CSample sample;
    const bool any = PrintableSample(sample);
    CSamplePrinter(any ? &sample : nullptr).Print(m_context.view->window());
}

void CViewCommands::OnFilePrintPreview() {
    CSample sample;
    const bool any = PrintableSample(sample);
    CSamplePrinter(any ? &sample : nullptr).Preview(m_context.view->window());
}
