// Entries of the widgets that carry the library's bytes: drop-down entries that show a
// decoded name and keep its bytes, items that keep bytes in their data, and one-line
// edits that give back the bytes they were given.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

#include "ui/TextCodec.h"

class QComboBox;

// Item data role that holds an entry's bytes (Qt::UserRole).
constexpr int kBytesRole = 0x0100;

// The sub-category entry that stands for none: the sample sits directly below its category.
inline constexpr const char* kNoneAssigned = " (none assigned) ";

inline QByteArray ToByteArray(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string ToStdString(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Adds the names to the list in the list's own order: letter case ignored first, then
// deciding, so the order is total. Each entry shows the decoded name and keeps its bytes.
void AddSortedEntries(QComboBox* combo, std::vector<std::string> names);
// The bytes of the current entry; empty when no entry is selected.
std::string CurrentEntryBytes(const QComboBox* combo);
// The index of the first entry whose bytes equal these exactly, or -1.
int FindEntryBytes(const QComboBox* combo, const std::string& bytes);
// Makes the first entry with exactly these bytes the current one; nothing when none has.
void SelectEntryBytes(QComboBox* combo, const std::string& bytes);

// A one-line edit shows bytes decoded. An edit that still shows the bytes it was given
// keeps exactly those bytes (a name read from a file may be in another encoding);
// anything typed is stored as UTF-8.
inline QString ShownBytes(const std::string& bytes) {
    return DecodeName(bytes);
}
inline std::string TypedBytes(const QString& text, const std::string& shownBytes) {
    if (text == DecodeName(shownBytes))
        return shownBytes;
    return EncodeString(text, TextEncoding::Utf8);
}
