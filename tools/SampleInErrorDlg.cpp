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
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("sampleEdit"));
    m_edit->setReadOnly(true);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_edit->setFont(fixed);
    m_edit->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 4);
    m_edit->setMinimumSize(CharWidth(m_edit, 72), 340);
    m_edit->setPlainText(DecodeLines(m_strSample));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(label);
    outer->addWidget(m_edit, 1);
    outer->addLayout(buttons);
}
