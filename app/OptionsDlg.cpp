#include "app/OptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "config/LibraryConfig.h"

COptionsDlg::COptionsDlg(bool autoSaveOnSwitch, bool saveTreeState, QWidget* parent)
    : QDialog(parent), m_bAutoSaveOnSwitch(autoSaveOnSwitch ? 1 : 0), m_bSaveTreeState(saveTreeState ? 1 : 0) {
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    m_autoSave = new QCheckBox(QStringLiteral("Save sample changes when switching to different sample"), this);
    m_autoSave->setObjectName(QStringLiteral("autoSaveCheck"));
    m_saveTreeState = new QCheckBox(QStringLiteral("Save tree state on exit"), this);
    m_saveTreeState->setObjectName(QStringLiteral("saveTreeStateCheck"));
    layout->addWidget(m_autoSave);
    layout->addWidget(m_saveTreeState);
    auto* syncRow = new QHBoxLayout;
    auto* syncLabel = new QLabel(QStringLiteral("Sync a library kept in git every"), this);
    m_syncEvery = new QSpinBox(this);
    m_syncEvery->setObjectName(QStringLiteral("syncMinutesSpin"));
    m_syncEvery->setRange(0, 24 * 60);
    m_syncEvery->setSuffix(QStringLiteral(" min"));
    m_syncEvery->setSpecialValueText(QStringLiteral("never"));
    syncLabel->setBuddy(m_syncEvery);
    syncRow->addWidget(syncLabel);
    syncRow->addWidget(m_syncEvery);
    syncRow->addStretch();
    layout->addLayout(syncRow);
    auto* trashRow = new QHBoxLayout;
    auto* trashLabel = new QLabel(QStringLiteral("&Empty the trash of deletions older than"), this);
    m_trashDaysSpin = new QSpinBox(this);
    m_trashDaysSpin->setObjectName(QStringLiteral("trashDaysSpin"));
    m_trashDaysSpin->setRange(0, CLibraryConfig::kMaxTrashDays);
    m_trashDaysSpin->setSuffix(QStringLiteral(" days"));
    connect(m_trashDaysSpin, &QSpinBox::valueChanged, this, [this](int days) {
        m_trashDaysSpin->setSuffix(days == 1 ? QStringLiteral(" day") : QStringLiteral(" days"));
    });
    m_trashDaysSpin->setSpecialValueText(QStringLiteral("never"));
    trashLabel->setBuddy(m_trashDaysSpin);
    trashRow->addWidget(trashLabel);
    trashRow->addWidget(m_trashDaysSpin);
    trashRow->addStretch();
    layout->addLayout(trashRow);
    layout->addSpacing(8);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DoDataExchange(false);
}

void COptionsDlg::DoDataExchange(bool save) {
    if (save) {
        m_bAutoSaveOnSwitch = m_autoSave->isChecked() ? 1 : 0;
        m_bSaveTreeState = m_saveTreeState->isChecked() ? 1 : 0;
        m_syncMinutes = m_syncEvery->value();
        m_trashDays = m_trashDaysSpin->value();
    } else {
        m_autoSave->setChecked(m_bAutoSaveOnSwitch != 0);
        m_saveTreeState->setChecked(m_bSaveTreeState != 0);
        m_syncEvery->setValue(m_syncMinutes);
        m_trashDaysSpin->setValue(m_trashDays);
    }
}

void COptionsDlg::SetSyncMinutes(int minutes) {
    m_syncMinutes = minutes;
    m_syncEvery->setValue(minutes);
}

void COptionsDlg::SetTrashDays(int days) {
    m_trashDays = days;
    m_trashDaysSpin->setValue(days);
}

void COptionsDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}
