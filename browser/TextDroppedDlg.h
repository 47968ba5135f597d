// CTextDroppedDlg: asks what to do with text dropped on a sample: replace its text, or
// start the Add Sample wizard with it.
#pragma once

#include <QDialog>

class CTextDroppedDlg : public QDialog {
    Q_OBJECT
public:
    // Results: Replace is the dialog's OK, Cancel its Cancel, Create new its own.
    static constexpr int kReplace = QDialog::Accepted;
    static constexpr int kCancel = QDialog::Rejected;
    static constexpr int kCreateNew = 2;

    explicit CTextDroppedDlg(QWidget* parent = nullptr);

    static constexpr const char* kCaption = "Text Dropped Into Sample";
};
