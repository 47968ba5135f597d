#include "ui/MarkedRows.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include "ui/TextCodec.h"

std::vector<CharRange> MarkedChars(const std::string& name, const std::vector<MarkRange>& bytes) {
    std::vector<CharRange> out;
    if (bytes.empty())
        return out;
    const TextEncoding encoding = DetectEncoding(name);
    // Plain ASCII and Windows-1252 have one character a byte.
    bool oneByte = encoding != TextEncoding::Utf8;
    if (!oneByte) {
        oneByte = true;
        for (char c : name)
            if (static_cast<unsigned char>(c) >= 0x80) {
                oneByte = false;
                break;
            }
    }
    auto charAt = [&](size_t byte) {
        byte = std::min(byte, name.size());
        return oneByte ? static_cast<int>(byte)
                       : static_cast<int>(DecodeBytes(std::string_view(name).substr(0, byte), encoding).size());
    };
    for (const MarkRange& range : bytes) {
        const int from = charAt(range.from);
        const int to = charAt(range.to);
        if (to > from)
            out.push_back({from, to - from});
    }
    return out;
}

CMarkedRowDelegate::CMarkedRowDelegate(MarksOf marksOf, QObject* parent)
    : QStyledItemDelegate(parent), m_marksOf(std::move(marksOf)) {}

void CMarkedRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const std::vector<CharRange> marks = m_marksOf ? m_marksOf(index) : std::vector<CharRange>();
    if (marks.empty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    // The row as the style paints it, without its text; then the text with its marks.
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    opt.text = text;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget)
                           .adjusted(style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1, 0,
                                     -(style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1), 0);
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled)
                                           ? ((opt.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive)
                                           : QPalette::Disabled;
    QTextCharFormat mark;
    mark.setFontWeight(QFont::Bold);
    if (!selected) {
        QColor tint = opt.palette.color(group, QPalette::Highlight);
        tint.setAlpha(60);
        mark.setBackground(tint);
    }
    QList<QTextLayout::FormatRange> formats;
    for (const CharRange& range : marks)
        formats.append({range.from, range.length, mark});

    QTextLayout layout(text, opt.font);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(textOption);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout.endLayout();

    painter->save();
    painter->setClipRect(area);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const qreal top = area.top() + (area.height() - layout.boundingRect().height()) / 2;
    layout.draw(painter, QPointF(area.left(), top));
    painter->restore();
}
