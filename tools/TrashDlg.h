// CTrashDlg: the Trash dialog. Lists the deletions the library's trash holds, newest
// first (what went, from where, when), restores the selected ones and empties the trash,
// each through the document.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class CQuorrinDoc;
class QLabel;
class QPushButton;
class QTreeWidget;

class CTrashDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTrashDlg(CQuorrinDoc& doc, QWidget* parent = nullptr);

    // What came back while the dialog ran, in the order restored: the library's titles as
    // they are now, and the ids of the deletions restored.
    std::vector<std::string> m_restoredTitles;
    std::vector<std::int64_t> m_restoredIds;

    static constexpr const char* kCaption = "Trash";

private:
    void FillList();
    void EnableButtons();
    void OnRestore();
    void OnEmpty();

    CQuorrinDoc& m_doc;
    QTreeWidget* m_list = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_empty = nullptr;
};
