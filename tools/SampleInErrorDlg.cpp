#include "tools/SampleInErrorDlg.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/Sample.h"
#include "ui/DialogParts.h"
#include "ui/TextCodec.h"

std::string CSampleInErrorDlg::Describe(const CSample& sample) {
    std::string s;
    s.reserve(sample.GetText().size() + sample.GetComments().size() + 256);
    s += "Title:  ";
    s += sample.GetTitle();
    s += "\r\n\r\n";
    s += "Category:  ";
    s += sample.GetCategory();
    s += "\r\n";
    s += "Sub-category:  ";
    s += sample.GetSubcategory();
    s += "\r\n";
    s += "Keywords:\r\n";
    s += sample.GetKeywords();
    s += "\r\n\r\n";
    s += "Comments:\r\n";
    s += sample.GetComments();
    s += "\r\n\r\n";
    s += "Sample:\r\n";
    s += sample.GetText();
    return s;
}

CSampleInErrorDlg::CSampleInErrorDlg(const CSample& sample, QWidget* parent)
    : QDialog(parent), m_strSample(Describe(sample)) {
    setObjectName(QStringLiteral("sampleInErrorDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));

    auto* label = new QLabel(QStringLiteral("All fields of the sample are shown below."), this);
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(QStringLiteral("sampleEdit"));
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    edit->setFont(fixed);
    edit->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 4);
    edit->setMinimumSize(CharWidth(edit, 72), 340);
    edit->setPlainText(DecodeLines(m_strSample));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(label);
    outer->addWidget(edit, 1);
    outer->addLayout(buttons);
}
