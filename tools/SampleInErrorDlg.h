// CSampleInErrorDlg: shows every field of the load error being corrected.
#pragma once

#include <QDialog>
#include <string>

class CSample;
class QPlainTextEdit;
class QPushButton;

class CSampleInErrorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSampleInErrorDlg(const CSample& sample, QWidget* parent = nullptr);

    // The fields with their labels, CR LF line ends.
    static std::string Describe(const CSample& sample);

    std::string m_strSample;

    QPlainTextEdit* SampleEdit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }

    static constexpr const char* kCaption = "Sample in Error";

private:
    QPlainTextEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
};
