#include "browser/ViewCommands.h"

#include "browser/SampleForm.h"
#include "browser/SamplePrinter.h"
#include "browser/SampleTree.h"
#include "browser/ViewContext.h"
#include "browser/ViewHost.h"
#include "config/LibraryConfig.h"
#include "library/ImportPlan.h"
#include "library/LibraryExport.h"
#include "library/QuorrinDoc.h"
#include "library/SampleLanguage.h"
#include "tools/ExportDlg.h"
#include "tools/ImportDlg.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/SearchDlg.h"
#include "ui/ByteEntries.h"
#include "ui/StepProgress.h"

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

void CViewCommands::OnImport() {
    if (!m_context.doc || m_context.readOnly)
        return;
    // What the form holds is committed first: the import saves the library.
    if (m_form.IsFormModified() && !m_form.CaptureFormChecked())
        return;
    CImportDlg dlg(*m_context.doc, m_context.doc->LoadErrors(), m_context.view->window());
    if (dlg.exec() != QDialog::Accepted || !m_context.doc)
        return;
    const ImportPlan& plan = dlg.Plan();
    // Category by category, each saved before the next; Cancel stops between two.
    ImportApplied applied;
    bool saved = false;
    {
        CStepProgress progress(m_context.view->window(), QStringLiteral("Importing..."),
                               "importApplyProgress");
        saved = ApplyImport(
            *m_context.doc, plan,
            [&progress](size_t done, size_t total) { return progress.Step(done, total); }, &applied);
    }
    m_tree.RebuildTree(plan.adds.empty() ? std::string() : plan.adds.front().sample.GetTitle(), true);
    emit StateChanged();
    if (applied.cancelled) {
        ShowMessage(ImportCancelledText(applied), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    ShowMessage(saved ? ImportedText(plan)
                      : std::string("The import could not be saved completely; the samples stay in the library "
                                    "and are saved with the next save."),
                MsgButtons::Ok, saved ? MsgIcon::Information : MsgIcon::Exclamation);
}

void CViewCommands::OnExport() {
    if (!m_context.doc)
        return;
    CExportDlg dlg(*m_context.doc, m_context.view->window());
    if (dlg.exec() != QDialog::Accepted || !m_context.doc)
        return;
    ExportOptions options;
    options.format = dlg.m_format;
    options.folder = dlg.m_folder;
    options.categories = dlg.m_categories;
    options.overwrite = dlg.m_overwrite;
    options.languageOf = [this](const std::string& category) {
        const CCategory* record = m_context.doc->PeekCategory(category);
        return std::string(LanguageWord(CategoryLanguage(category, record && record->IsCustom(),
                                                         m_context.doc->CategoryLanguageWord(category))));
    };
    // Many files are written with a bar and Cancel, which takes back what was written.
    CStepProgress progress(m_context.view->window(), QStringLiteral("Exporting..."), "exportProgress");
    options.progress = [&progress](size_t done, size_t total) { return progress.Step(done, total); };
    ExportReport report;
    if (!ExportLibrary(*m_context.doc, options, report)) {
        ShowMessage(report.error + (report.fileThere ? "\nTick \"Overwrite files already in the folder\" to replace such files."
                                                     : std::string()),
                    MsgButtons::Ok, report.cancelled ? MsgIcon::Information : MsgIcon::Exclamation);
        return;
    }
    std::string text;
    for (const std::string& line : ExportedLines(report, options.folder))
        text += (text.empty() ? "" : "\n") + line;
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
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
