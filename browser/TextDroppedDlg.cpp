#include "browser/TextDroppedDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CTextDroppedDlg::CTextDroppedDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("textDroppedDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));

    auto* question =
        new QLabel(QStringLiteral("Replace the current sample's text with the dropped text?"), this);
    question->setTextFormat(Qt::PlainText);
    auto* hint =
        new QLabel(QStringLiteral("(Click \"Create new\" to invoke the \"Add Sample\" wizard rather than "
                                  "replace the selected sample's text.)"),
                   this);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    hint->setMinimumWidth(question->sizeHint().width());

    auto* replace = new QPushButton(QStringLiteral("Replace"), this);
    replace->setObjectName(QStringLiteral("replaceButton"));
    replace->setDefault(true);
    auto* createNew = new QPushButton(QStringLiteral("Create new"), this);
    createNew->setObjectName(QStringLiteral("createNewButton"));
    createNew->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(replace);
    buttons->addWidget(createNew);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(question);
    outer->addSpacing(6);
    outer->addWidget(hint);
    outer->addSpacing(10);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(replace, &QPushButton::clicked, this, &QDialog::accept);
    connect(createNew, &QPushButton::clicked, this, [this] { done(kCreateNew); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}
