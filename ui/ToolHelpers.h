// Small helpers shared by the tool dialogs: sorted drop-down lists whose entries carry
// the names' bytes, and byte strings in item data.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QWidget;

// Item data role that holds an entry's bytes (Qt::UserRole).
constexpr int kBytesRole = 0x0100;

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

// The width of n average characters of the widget's font, for sizing edits and lists.
int CharWidth(const QWidget* widget, int n);

// Multi-line library text for a read-only view: each line is decoded on its own (a
// report mixes names of either encoding) and CR LF becomes "\n".
QString DecodeLines(const std::string& bytes);
