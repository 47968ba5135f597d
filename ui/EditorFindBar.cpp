#include "ui/EditorFindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

CEditorFindBar::CEditorFindBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto* label = new QLabel(QStringLiteral("Find:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("findEdit"));
    m_edit->setClearButtonEnabled(true);
    label->setBuddy(m_edit);
    m_previous = new QToolButton(this);
    m_previous->setObjectName(QStringLiteral("findPrevious"));
    m_previous->setArrowType(Qt::UpArrow);
    m_previous->setToolTip(QStringLiteral("Previous match (Shift+F3)"));
    m_next = new QToolButton(this);
    m_next->setObjectName(QStringLiteral("findNext"));
    m_next->setArrowType(Qt::DownArrow);
    m_next->setToolTip(QStringLiteral("Next match (F3)"));
    m_matchCase = new QCheckBox(QStringLiteral("Match case"), this);
    m_matchCase->setObjectName(QStringLiteral("findMatchCase"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("findClose"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    m_close->setAutoRaise(true);
    m_close->setToolTip(QStringLiteral("Close (Escape)"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    row->addWidget(label);
    row->addWidget(m_edit, 1);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_matchCase);
    row->addWidget(m_status);
    row->addStretch();
    row->addWidget(m_close);

    connect(m_edit, &QLineEdit::textEdited, this, [this] { emit FindRequested(true, true); });
    connect(m_next, &QToolButton::clicked, this, [this] { emit FindRequested(true, false); });
    connect(m_previous, &QToolButton::clicked, this, [this] { emit FindRequested(false, false); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { emit FindRequested(true, true); });
    connect(m_close, &QToolButton::clicked, this, &CEditorFindBar::CloseRequested);
    m_edit->installEventFilter(this);
}

QString CEditorFindBar::Text() const { return m_edit->text(); }

bool CEditorFindBar::MatchCase() const { return m_matchCase->isChecked(); }

void CEditorFindBar::Open(const QString& seed) {
    if (!seed.isEmpty())
        m_edit->setText(seed);
    m_status->clear();
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void CEditorFindBar::ShowResult(bool found) {
    m_status->setText(found || m_edit->text().isEmpty() ? QString() : QStringLiteral("Not found"));
}

bool CEditorFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit)
        return false;
    // The bar's keys win over the window's shortcuts while its field has the focus.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool ours = plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                    key->key() == Qt::Key_F3 || key->key() == Qt::Key_Escape);
        if (!ours)
            return false;
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            if (key->key() == Qt::Key_Escape)
                emit CloseRequested();
            else
                emit FindRequested(!shift, false);
        }
        return true;
    }
    return false;
}
