#include "browser/InsertItemDlg.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/DialogParts.h"

CInsertItemDlg::CInsertItemDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("insertItemDlg"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PlainLabel(kQuestion, this));
    m_subcategory = new QRadioButton(QStringLiteral("Sub-category"), this);
    m_subcategory->setObjectName(QStringLiteral("subcategoryRadio"));
    m_sample = new QRadioButton(QStringLiteral("Sample"), this);
    m_sample->setObjectName(QStringLiteral("sampleRadio"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_subcategory, kSubcategory);
    group->addButton(m_sample, kSample);
    layout->addSpacing(4);
    layout->addWidget(m_subcategory);
    layout->addWidget(m_sample);
    AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DoDataExchange(false);
}

void CInsertItemDlg::DoDataExchange(bool save) {
    if (save)
        m_nChoice = m_sample->isChecked() ? kSample : kSubcategory;
    else
        (m_nChoice == kSample ? m_sample : m_subcategory)->setChecked(true);
}

void CInsertItemDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}
