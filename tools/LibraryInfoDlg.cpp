#include "tools/LibraryInfoDlg.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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
    const QString report = DecodeLines(m_strReport);
    AlignColumns(report);
    m_reportEdit->setPlainText(report);
}

void CLibraryInfoDlg::AlignColumns(const QString& report) {
    // Tab stops every 8 characters, but the summary's counts stand in one column after
    // the longest "Name: ...", however long a category's name is.
    const QFontMetricsF metrics(m_reportEdit->font());
    const qreal eight = metrics.horizontalAdvance(QLatin1Char(' ')) * 8;
    qreal widest = 0;
    if (m_nReportKind == kReportSummary)
        for (const QString& line : report.split(QLatin1Char('\n'))) {
            const qsizetype second = line.indexOf(QLatin1Char('\t'), 1);
            if (line.startsWith(QLatin1Char('\t')) && second > 0)
                widest = std::max(widest, metrics.horizontalAdvance(line.mid(1, second - 1)));
        }
    QTextOption option = m_reportEdit->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    if (widest > 0) {
        tabs.append(QTextOption::Tab(eight, QTextOption::LeftTab));
        // The next multiple of 8 characters with at least two blanks' room.
        const qreal count = std::ceil((eight + widest + eight / 4) / eight) * eight;
        tabs.append(QTextOption::Tab(count, QTextOption::LeftTab));
    }
    option.setTabs(tabs);
    option.setTabStopDistance(eight);
    m_reportEdit->document()->setDefaultTextOption(option);
}

void CLibraryInfoDlg::OnReportKind() {
    DoDataExchange(true);
    BuildReport();
    DoDataExchange(false);
}
