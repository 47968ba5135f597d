// The Import dialog: the files or the folder to import, their format (guessed unless
// chosen), and a preview of exactly what the import would do (counts per category, new
// categories and sub-categories, each rename, each sample already there, each warning).
// Import is offered only for a plan that can be applied; the caller applies it.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "library/ImportPlan.h"

class CLoadErrorList;
class CQuorrinDoc;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class CImportDlg : public QDialog {
    Q_OBJECT
public:
    CImportDlg(const CQuorrinDoc& doc, const CLoadErrorList& errors, QWidget* parent = nullptr);

    // The paths to import (the two choose buttons end here); the plan is made again.
    void SetPaths(std::vector<std::string> paths);
    const ImportPlan& Plan() const { return m_plan; }
    // The format read ("" while none could be told).
    const std::string& Format() const { return m_formatUsed; }

    static constexpr const char* kCaption = "Import";

private slots:
    void OnChooseFiles();
    void OnChooseFolder();

private:
    void Replan();

    const CQuorrinDoc& m_doc;
    const CLoadErrorList& m_errors;
    std::vector<std::string> m_paths;
    std::string m_formatUsed;
    ImportPlan m_plan;
    QLabel* m_pathsLabel;
    QComboBox* m_format;
    QPlainTextEdit* m_preview;
    QPushButton* m_import;
};
