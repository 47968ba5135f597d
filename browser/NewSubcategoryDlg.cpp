#include "browser/NewSubcategoryDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/DialogParts.h"
#include "library/EditRules.h"
#include "ui/InputRefusal.h"
#include "ui/ByteEntries.h"

CNewSubcategoryDlg::CNewSubcategoryDlg(const CQuorrinDoc& doc, std::string proposedName,
                                       std::string categoryName, QWidget* parent)
    : QDialog(parent), m_strName(std::move(proposedName)), m_strCategory(std::move(categoryName)),
      m_doc(doc) {
    setObjectName(QStringLiteral("newSubcategoryDlg"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PlainLabel(kPrompt, this));
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("newSubcategoryNameEdit"));
    m_nameEdit->setMaxLength(kMaxSubcategoryChars);
    m_nameEdit->setMinimumWidth(m_nameEdit->fontMetrics().averageCharWidth() * 40);
    layout->addWidget(m_nameEdit);
    layout->addWidget(PlainLabel(kUniqueNote, this));
    AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DoDataExchange(false);
    m_nameEdit->selectAll();
    m_nameEdit->setFocus();
}

void CNewSubcategoryDlg::DoDataExchange(bool save) {
    if (save) {
        m_strName = TypedBytes(m_nameEdit->text(), m_shownBytes);
    } else {
        m_shownBytes = m_strName;
        m_nameEdit->setText(ShownBytes(m_strName));
    }
}

void CNewSubcategoryDlg::accept() {
    DoDataExchange(true);
    if (!ShowRefusal(CheckNewSubcategoryName(m_doc, m_strCategory, m_strName)))
        return;
    QDialog::accept();
}
