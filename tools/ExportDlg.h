// The Export dialog: the format, the categories to write (all at first) and the folder;
// a file already in the folder is replaced only when the user ticks Overwrite.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CQuorrinDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

class CExportDlg : public QDialog {
    Q_OBJECT
public:
    CExportDlg(const CQuorrinDoc& doc, QWidget* parent = nullptr);

    // What the user chose, valid after Accepted.
    std::string m_format;
    std::vector<std::string> m_categories;
    std::string m_folder;
    bool m_overwrite = false;

    static constexpr const char* kCaption = "Export";

public slots:
    void accept() override;

private:
    QComboBox* m_formatBox;
    QListWidget* m_list;
    QLineEdit* m_folderEdit;
    QCheckBox* m_overwriteBox;
};
