// The letters the instant find matched, marked in a list's or a tree's rows: the rows
// are painted by CMarkedRowDelegate, which asks for each row's marked characters and
// shows them bold on a tint of the selection colour.
#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

#include "library/WordFind.h"

// Characters [from, from + length) of a row's shown text.
struct CharRange {
    int from = 0;
    int length = 0;
    bool operator==(const CharRange&) const = default;
};

// The characters of the name as DecodeName shows it that the byte ranges of the name
// cover (ranges as CWordFind::Marks gives them).
std::vector<CharRange> MarkedChars(const std::string& name, const std::vector<MarkRange>& bytes);

class CMarkedRowDelegate : public QStyledItemDelegate {
public:
    using MarksOf = std::function<std::vector<CharRange>(const QModelIndex& index)>;
    CMarkedRowDelegate(MarksOf marksOf, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    MarksOf m_marksOf;
};
