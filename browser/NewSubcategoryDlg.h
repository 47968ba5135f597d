// The name dialog of a new sub-category: proposes a name, refuses one that the category
// has already, one that cannot be stored, and any when the category has no free slot.
#pragma once

#include <QDialog>
#include <string>

class CQuorrinDoc;
class QLineEdit;

class CNewSubcategoryDlg : public QDialog {
    Q_OBJECT
public:
    CNewSubcategoryDlg(const CQuorrinDoc& doc, std::string proposedName, std::string categoryName,
                       QWidget* parent = nullptr);

    // The proposal at start; after OK the accepted name, as typed.
    std::string m_strName;
    std::string m_strCategory;

    void accept() override;

    static constexpr const char* kTitle = "New sub-category name";
    static constexpr const char* kPrompt = "Specify a name for this new sub-category.";
    static constexpr const char* kUniqueNote = "Sub-category names must be unqiue within a category.";

private:
    void DoDataExchange(bool save);

    const CQuorrinDoc& m_doc;
    QLineEdit* m_nameEdit;
    std::string m_shownBytes;
};
