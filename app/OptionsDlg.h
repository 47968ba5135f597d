// The Options dialog: the two user options as check boxes, how often a library kept in
// git syncs while the window is idle, and how long deletions stay in the trash.
#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

class COptionsDlg : public QDialog {
    Q_OBJECT
public:
    COptionsDlg(bool autoSaveOnSwitch, bool saveTreeState, QWidget* parent = nullptr);

    // The flags, one per check box; read them after the dialog ended with OK.
    int m_bAutoSaveOnSwitch;
    int m_bSaveTreeState;
    // Minutes between syncs while idle (a library folder that is a git repository).
    int m_syncMinutes = 5;
    // Sets the spin box (before exec).
    void SetSyncMinutes(int minutes);
    // Days after which a deletion leaves the trash (0: it stays until the user empties it).
    int m_trashDays = 0;
    void SetTrashDays(int days);

    void accept() override;

private:
    // Moves the flags into the check boxes (save false) or back (save true).
    void DoDataExchange(bool save);

    QCheckBox* m_autoSave;
    QCheckBox* m_saveTreeState;
    QSpinBox* m_syncEvery;
    QSpinBox* m_trashDaysSpin;
};
