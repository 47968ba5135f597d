#include "ui/ToolHelpers.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

#include "ui/TextCodec.h"

void AddSortedEntries(QComboBox* combo, std::vector<std::string> names) {
    struct Entry {
        QString folded;
        QString text;
        std::string bytes;
    };
    std::vector<Entry> entries;
    entries.reserve(names.size());
    for (std::string& n : names) {
        QString text = DecodeName(n);
        entries.push_back({text.toCaseFolded(), text, std::move(n)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.folded.compare(b.folded);
        if (c != 0)
            return c < 0;
        return a.text < b.text;
    });
    for (const Entry& e : entries)
        combo->addItem(e.text, ToByteArray(e.bytes));
}

std::string CurrentEntryBytes(const QComboBox* combo) {
    if (combo->currentIndex() < 0)
        return {};
    return ToStdString(combo->currentData(kBytesRole).toByteArray());
}

int FindEntryBytes(const QComboBox* combo, const std::string& bytes) {
    return combo->findData(ToByteArray(bytes), kBytesRole, Qt::MatchExactly);
}

int CharWidth(const QWidget* widget, int n) {
    return widget->fontMetrics().averageCharWidth() * n;
}

QString DecodeLines(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t lf = bytes.find('\n', start);
        const size_t end = lf == std::string::npos ? bytes.size() : lf;
        size_t lineEnd = end;
        if (lf != std::string::npos && lineEnd > start && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        out += DecodeName(std::string_view(bytes).substr(start, lineEnd - start));
        if (lf == std::string::npos)
            break;
        out += QLatin1Char('\n');
        start = lf + 1;
    }
    return out;
}
