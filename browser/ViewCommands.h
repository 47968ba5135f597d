// CViewCommands: the view's commands that save or only open other windows: Save,
// Search (one modeless dialog, made on first use and kept while the view exists),
// Library Info, Library Help, Options, Import, Export, and printing the selected sample.
#pragma once

#include <QObject>

class CSample;
class CSampleForm;
class CSampleTree;
class CSearchDlg;
struct ViewContext;

class CViewCommands : public QObject {
    Q_OBJECT
public:
    CViewCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form, QObject* parent);

    bool OnFileSave();
    void OnSearch();
    void OnLibraryInfo();
    void OnLibraryHelp();
    void OnOptions();
    void OnFilePrint();
    void OnFilePrintPreview();
    // File > Import...: the Import dialog's preview, then the plan applied and saved.
    void OnImport();
    // File > Export...: the Export dialog, then the files written.
    void OnExport();

signals:
    // Something that command enable states depend on has changed.
    void StateChanged();

private:
    // The sample to print: the form's values when a sample is selected.
    bool PrintableSample(CSample& sample);

    ViewContext& m_context;
    CSampleTree& m_tree;
    CSampleForm& m_form;
    // Created by the first Search command, destroyed with the view.
    CSearchDlg* m_searchDlg = nullptr;
};
