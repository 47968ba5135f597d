// Asks for a sample's new title; refuses an empty one, one that any sample holds and
// one the category file cannot hold.
#pragma once

#include <QDialog>
#include <string>

class CQuorrinDoc;
class QLabel;
class QLineEdit;

class CChangeTitleDlg : public QDialog {
    Q_OBJECT
public:
    CChangeTitleDlg(const CQuorrinDoc& doc, std::string currentTitle, QWidget* parent = nullptr);

    // Empty at start; after OK the new title, trimmed.
    std::string m_strNewTitle;
    std::string m_strCurrentTitle;

    void accept() override;

    static constexpr const char* kTitle = "Change Sample Title";
    static constexpr const char* kKeysNote = "Sample titles serve as keys to the sample text data.";
    static constexpr const char* kDeleteNote =
        "Changing the title will cause this sample to be deleted, then re-inserted under the new title.";
    static constexpr const char* kEnterNote = "Enter the new title below.";

private:
    void DoDataExchange(bool save);

    const CQuorrinDoc& m_doc;
    QLineEdit* m_newTitleEdit;
    QLabel* m_currentTitle;
};
