// The name dialog of a new category: proposes a name, refuses one that is taken or
// cannot be stored.
#pragma once

#include <QDialog>
#include <string>

class CQuorrinDoc;
class QLineEdit;

class CNewCategoryDlg : public QDialog {
    Q_OBJECT
public:
    CNewCategoryDlg(const CQuorrinDoc& doc, std::string proposedName, QWidget* parent = nullptr);

    // The proposal at start; after OK the accepted name, trimmed.
    std::string m_strName;

    void accept() override;

    static constexpr const char* kTitle = "New category name";
    static constexpr const char* kPrompt = "Specify a unique name for this new category:";

private:
    // Moves the name into the edit (save false) or back (save true).
    void DoDataExchange(bool save);

    const CQuorrinDoc& m_doc;
    QLineEdit* m_nameEdit;
    std::string m_shownBytes;
};
