#include "browser/SamplePrinter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include "ui/TextCodec.h"
#include "library/Sample.h"

namespace {

// Lays out paragraphs line by line down the pages, starting a new page when a line
// does not fit.
class PageWriter {
public:
    PageWriter(QPaintDevice& device, QPainter& painter, const std::function<bool()>& newPage)
        : m_device(device), m_painter(painter), m_newPage(newPage), m_width(painter.window().width()),
          m_height(painter.window().height()) {}

    void Paragraph(const QString& text, const QFont& font, qreal tabWidth) {
        m_painter.setFont(font);
        QTextLayout layout(text, font, &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        if (tabWidth > 0)
            option.setTabStopDistance(tabWidth);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(m_width);
            line.setPosition(QPointF(0, 0));
            const qreal h = line.height();
            if (m_y > 0 && m_y + h > m_height - FooterHeight())
                NewPage();
            line.draw(&m_painter, QPointF(0, m_y));
            m_y += h;
        }
        layout.endLayout();
    }

    void Space(qreal h) { m_y += h; }

    void Rule() {
        const qreal h = m_painter.fontMetrics().height();
        if (m_y + h > m_height - FooterHeight()) {
            NewPage();
            return;
        }
        const qreal mid = m_y + h / 2;
        m_painter.drawLine(QPointF(0, mid), QPointF(m_width, mid));
        m_y += h;
    }

    void Finish() { DrawFooter(); }
    int Pages() const { return m_failed ? 0 : m_page; }

private:
    qreal FooterHeight() const { return m_footerHeight; }

    void DrawFooter() {
        const QFont saved = m_painter.font();
        m_painter.setFont(m_footerFont);
        m_painter.drawText(QRectF(0, m_height - m_footerHeight, m_width, m_footerHeight),
                           Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1").arg(m_page));
        m_painter.setFont(saved);
    }

    void NewPage() {
        DrawFooter();
        if (!m_newPage())
            m_failed = true;
        ++m_page;
        m_y = 0;
    }

    QPaintDevice& m_device;
    QPainter& m_painter;
    const std::function<bool()>& m_newPage;
    bool m_failed = false;
    qreal m_width;
    qreal m_height;
    qreal m_y = 0;
    int m_page = 1;
    QFont m_footerFont{QFontDatabase::systemFont(QFontDatabase::GeneralFont)};
    qreal m_footerHeight = 0;

public:
    void SetFooterFont(const QFont& f) {
        m_footerFont = f;
        m_footerHeight = QFontMetricsF(f, &m_device).height() * 1.5;
    }
};

// Splits library text (CR LF line ends) into the lines to print.
QStringList Lines(const std::string& bytes) {
    FieldCodec codec;
    return DecodeField(bytes, codec).split(QLatin1Char('\n'));
}

} // namespace

CSamplePrinter::CSamplePrinter(const CSample* sample) : m_sample(sample) {}
CSamplePrinter::~CSamplePrinter() = default;

int CSamplePrinter::PrintPages(QPagedPaintDevice& device) const {
    return PrintPages(device, [&device] { return device.newPage(); });
}

int CSamplePrinter::PrintPages(QPaintDevice& device, const std::function<bool()>& newPage) const {
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    QFont normal = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    normal.setPointSizeF(10);

    if (!m_sample) {
        // The whole page's drawing area, word-wrapped, not clipped.
        painter.setFont(normal);
        painter.drawText(QRectF(painter.window()), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                         QString::fromLatin1(kPlaceholder));
        painter.end();
        return 1;
    }

    QFont heading = normal;
    heading.setBold(true);
    heading.setPointSizeF(13);
    QFont label = normal;
    label.setBold(true);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(9);
    QFont footer = normal;
    footer.setPointSizeF(8);
    const qreal tab = QFontMetricsF(fixed, &device).horizontalAdvance(QLatin1Char(' ')) * 4;
    const qreal gap = QFontMetricsF(normal, &device).height() * 0.6;

    PageWriter w(device, painter, newPage);
    w.SetFooterFont(footer);
    const CSample& s = *m_sample;
    w.Paragraph(DecodeName(s.GetTitle()), heading, 0);
    w.Space(gap);
    w.Paragraph(QStringLiteral("Category: ") + DecodeName(s.GetCategory()), normal, 0);
    w.Paragraph(QStringLiteral("Sub-category: ") + DecodeName(s.GetSubcategory()), normal, 0);
    w.Paragraph(QStringLiteral("Keywords: ") + DecodeName(s.GetKeywords()), normal, 0);
    w.Space(gap);
    w.Paragraph(QStringLiteral("Comments:"), label, 0);
    for (const QString& line : Lines(s.GetComments()))
        w.Paragraph(line, fixed, tab);
    painter.setFont(normal);
    w.Rule();
    for (const QString& line : Lines(s.GetText()))
        w.Paragraph(line, fixed, tab);
    w.Finish();
    painter.end();
    return w.Pages();
}

bool CSamplePrinter::Print(QWidget* parent) const {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return PrintPages(printer) > 0;
}

void CSamplePrinter::Preview(QWidget* parent) const {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreviewDialog"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* p) { PrintPages(*p); });
    dialog.exec();
}
