#include "tools/LibraryInfoDlg.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "library/LibraryReport.h"
#include "library/QuorrinDoc.h"
#include "ui/DialogParts.h"
#include "ui/TextCodec.h"

CLibraryInfoDlg::CLibraryInfoDlg(const CQuorrinDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("libraryInfoDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));

    m_reportEdit = new QPlainTextEdit(this);
    m_reportEdit->setObjectName(QStringLiteral("reportEdit"));
    m_reportEdit->setReadOnly(true);
    m_reportEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_reportEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_reportEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_reportEdit->setFont(fixed);
    m_reportEdit->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 8);
    m_reportEdit->setMinimumSize(CharWidth(m_reportEdit, 78), 360);

    auto* group = new QGroupBox(QStringLiteral("Version "), this);
    group->setObjectName(QStringLiteral("reportKindGroup"));
    m_summary = new QRadioButton(QStringLiteral("Summary"), group);
    m_summary->setObjectName(QStringLiteral("summaryRadio"));
    m_detail = new QRadioButton(QStringLiteral("Detail"), group);
    m_detail->setObjectName(QStringLiteral("detailRadio"));
    auto* buttonGroup = new QButtonGroup(this);
    buttonGroup->addButton(m_summary, 0);
    buttonGroup->addButton(m_detail, 1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_summary);
    groupLayout->addWidget(m_detail);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(ok);
    side->addSpacing(12);
    side->addWidget(group);
    side->addStretch(1);
    auto* outer = new QHBoxLayout(this);
    outer->addWidget(m_reportEdit, 1);
    outer->addLayout(side);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_summary, &QRadioButton::clicked, this, &CLibraryInfoDlg::OnReportKind);
    connect(m_detail, &QRadioButton::clicked, this, &CLibraryInfoDlg::OnReportKind);

    // Creation: Summary, and its report.
    m_nReportKind = kReportSummary;
    BuildReport();
    DoDataExchange(false);
}

void CLibraryInfoDlg::BuildReport() {
    m_strReport = ::BuildReport(m_doc, m_nReportKind);
}

void CLibraryInfoDlg::DoDataExchange(bool save) {
    if (save) {
        m_nReportKind = m_detail->isChecked() ? kReportDetail : kReportSummary;
        return;
    }
    m_summary->setChecked(m_nReportKind == kReportSummary);
    m_detail->setChecked(m_nReportKind == kReportDetail);
    m_reportEdit->setPlainText(DecodeLines(m_strReport));
}

void CLibraryInfoDlg::OnReportKind() {
    DoDataExchange(true);
    BuildReport();
    DoDataExchange(false);
}
