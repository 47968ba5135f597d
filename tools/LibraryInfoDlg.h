// CLibraryInfoDlg: the Library Info dialog. Shows the plain-text report about the
// library, as a summary line per category or a detailed block per category.
#pragma once

#include <QDialog>
#include <string>

class CQuorrinDoc;
class QPlainTextEdit;
class QRadioButton;

class CLibraryInfoDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the Summary report at once; showing the dialog shows it.
    explicit CLibraryInfoDlg(const CQuorrinDoc& doc, QWidget* parent = nullptr);

    // The report as the library builds it (CR LF line ends).
    std::string m_strReport;
    // 0 Summary, 1 Detail.
    int m_nReportKind = 0;

    static constexpr const char* kCaption = "Library Info";

public slots:
    // A click on either radio button: the kind follows the buttons, the report is
    // built again and shown.
    void OnReportKind();

private:
    void DoDataExchange(bool save);
    void BuildReport();
    // The report's tab stops for the report as shown.
    void AlignColumns(const QString& report);

    const CQuorrinDoc& m_doc;
    QPlainTextEdit* m_reportEdit = nullptr;
    QRadioButton* m_summary = nullptr;
    QRadioButton* m_detail = nullptr;
};
