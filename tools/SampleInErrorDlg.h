// CSampleInErrorDlg: shows every field of the load error being corrected.
#pragma once

#include <QDialog>
#include <string>

class CSample;

class CSampleInErrorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSampleInErrorDlg(const CSample& sample, QWidget* parent = nullptr);

    // The fields with their labels, CR LF line ends.
    static std::string Describe(const CSample& sample);

    std::string m_strSample;

    static constexpr const char* kCaption = "Sample in Error";
};
