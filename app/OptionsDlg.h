// The Options dialog: the two user options as check boxes.
#pragma once

#include <QDialog>

class QCheckBox;

class COptionsDlg : public QDialog {
    Q_OBJECT
public:
    COptionsDlg(bool autoSaveOnSwitch, bool saveTreeState, QWidget* parent = nullptr);

    // The flags, one per check box; read them after the dialog ended with OK.
    int m_bAutoSaveOnSwitch;
    int m_bSaveTreeState;

    void accept() override;

private:
    // Moves the flags into the check boxes (save false) or back (save true).
    void DoDataExchange(bool save);

    QCheckBox* m_autoSave;
    QCheckBox* m_saveTreeState;
};
