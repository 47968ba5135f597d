#include "ui/ByteEntries.h"

#include <QComboBox>
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

void SelectEntryBytes(QComboBox* combo, const std::string& bytes) {
    const int i = FindEntryBytes(combo, bytes);
    if (i >= 0)
        combo->setCurrentIndex(i);
}
