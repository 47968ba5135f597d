#include "browser/ChangeTitleDlg.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/DialogParts.h"
#include "base/TextRules.h"
#include "library/EditRules.h"
#include "ui/InputRefusal.h"
#include "ui/ByteEntries.h"

CChangeTitleDlg::CChangeTitleDlg(const CQuorrinDoc& doc, std::string currentTitle, QWidget* parent)
    : QDialog(parent), m_strCurrentTitle(std::move(currentTitle)), m_doc(doc) {
    setObjectName(QStringLiteral("changeTitleDlg"));
    setWindowTitle(QString::fromLatin1(kTitle));
    const int width = fontMetrics().averageCharWidth() * 62;
    auto* layout = new QVBoxLayout(this);
    for (const char* note : {kKeysNote, kDeleteNote}) {
        QLabel* label = PlainLabel(note, this, true);
        label->setFixedWidth(width);
        layout->addWidget(label);
    }
    layout->addSpacing(4);
    layout->addWidget(PlainLabel(kEnterNote, this));

    auto* form = new QFormLayout();
    m_currentTitle = new QLabel(this);
    m_currentTitle->setObjectName(QStringLiteral("currentTitleLabel"));
    m_currentTitle->setTextFormat(Qt::PlainText);
    m_currentTitle->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_currentTitle->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long title wraps instead of widening the dialog.
    m_currentTitle->setWordWrap(true);
    m_currentTitle->setMaximumWidth(width * 4 / 5);
    m_newTitleEdit = new QLineEdit(this);
    m_newTitleEdit->setObjectName(QStringLiteral("newTitleEdit"));
    form->addRow(PlainLabel("Current title:", this), m_currentTitle);
    form->addRow(PlainLabel("New title:", this), m_newTitleEdit);
    layout->addLayout(form);
    AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DoDataExchange(false);
    m_newTitleEdit->setFocus();
}

void CChangeTitleDlg::DoDataExchange(bool save) {
    if (save) {
        m_strNewTitle = TypedBytes(m_newTitleEdit->text(), std::string());
    } else {
        m_currentTitle->setText(ShownBytes(m_strCurrentTitle));
        m_newTitleEdit->setText(ShownBytes(m_strNewTitle));
    }
}

void CChangeTitleDlg::accept() {
    DoDataExchange(true);
    m_strNewTitle = std::string(Trim(m_strNewTitle));
    if (!ShowRefusal(CheckNewTitle(m_doc, m_strNewTitle)))
        return;
    QDialog::accept();
}
