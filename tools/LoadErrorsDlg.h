// CLoadErrorsDlg: the Load Errors dialog. Lists the samples that could not be placed
// in the library and lets the user give one a title, category and sub-category, which
// puts it into the library and takes it out of the load-error store, or discard one.
#pragma once

#include <QDialog>
#include <string>

#include "ui/TextCodec.h"

class CLoadErrorList;
class CQuorrinDoc;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CLoadErrorsDlg : public QDialog {
    Q_OBJECT
public:
    CLoadErrorsDlg(CQuorrinDoc& doc, CLoadErrorList& store, QWidget* parent = nullptr);

    static constexpr const char* kCaption = "Load Errors";
    static constexpr const char* kNoCategories = "(no categories available)";
    static constexpr const char* kNoSubcategories = "(no sub-categories available)";

public slots:
    void OnCategoryChanged();
    // A click in the list: the record of the selected row becomes the staged sample.
    void OnListClick();
    void OnShowSample();
    void OnUpdate();
    // Removes the selected load error from its file, after asking.
    void OnDiscard();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void FillList();
    void EnableButtons();
    void RemoveRow(QTreeWidgetItem* row);
    QTreeWidgetItem* SelectedRow() const;
    void ShowCurrentValues(const std::string& category, const std::string& subcategory,
                           const std::string& title);

    CQuorrinDoc& m_doc;
    CLoadErrorList& m_store;
    QTreeWidget* m_list = nullptr;
    QComboBox* m_categoryList = nullptr;
    QComboBox* m_subcategoryList = nullptr;
    QLabel* m_currentCategory = nullptr;
    QLabel* m_currentSubcategory = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QPushButton* m_showSample = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_discard = nullptr;

    // The title of the row last clicked.
    std::string m_rowTitle;
    FieldCodec m_titleCodec;
    int m_nextErrorNumber = 1;
    bool m_columnsSet = false;
};
