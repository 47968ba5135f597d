#include "browser/NewCategoryDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/DialogParts.h"
#include "base/TextRules.h"
#include "library/EditRules.h"
#include "ui/InputRefusal.h"
#include "ui/ByteEntries.h"

CNewCategoryDlg::CNewCategoryDlg(const CQuorrinDoc& doc, std::string proposedName, QWidget* parent)
    : QDialog(parent), m_strName(std::move(proposedName)), m_doc(doc) {
    setObjectName(QStringLiteral("newCategoryDlg"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PlainLabel(kPrompt, this));
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("newCategoryNameEdit"));
    m_nameEdit->setMinimumWidth(m_nameEdit->fontMetrics().averageCharWidth() * 40);
    layout->addWidget(m_nameEdit);
    AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DoDataExchange(false);
    m_nameEdit->selectAll();
    m_nameEdit->setFocus();
}

void CNewCategoryDlg::DoDataExchange(bool save) {
    if (save) {
        m_strName = TypedBytes(m_nameEdit->text(), m_shownBytes);
    } else {
        m_shownBytes = m_strName;
        m_nameEdit->setText(ShownBytes(m_strName));
    }
}

void CNewCategoryDlg::accept() {
    DoDataExchange(true);
    m_strName = std::string(Trim(m_strName));
    if (!ShowRefusal(CheckNewCategoryName(m_doc, m_strName)))
        return;
    QDialog::accept();
}
