// Display-only line breaks for very long lines. The code editor lays out a whole line
// whenever it draws or changes it, which takes seconds for a line of megabytes; such a
// line is therefore shown in pieces of a few kilobytes, each piece ended by a "\n" that
// is not part of the text. This class knows where those breaks are as the text is
// edited, remembers the ones an edit removed so that undo can put them back, and gives
// the text without them. No Qt: positions are byte offsets into the shown UTF-8 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CSoftBreaks {
public:
    // The shown text for text: every run of more than longLine bytes without a line end
    // is broken into pieces of about pieceBytes, after a character that is not part of
    // a word when there is one near the piece's end, never inside a UTF-8 sequence.
    // Fills breaks with the positions of the added "\n" in the shown text, ascending.
    static std::string Split(std::string_view text, long longLine, long pieceBytes, std::vector<long>& breaks);

    // Starts over with these breaks (positions in the shown text, ascending).
    void Reset(std::vector<long> breaks);
    bool Empty() const { return m_breaks.empty(); }
    const std::vector<long>& Positions() const { return m_breaks; }
    bool IsBreak(long position) const;
    // Breaks at positions from start up to, not including, end.
    long CountIn(long start, long end) const;

    // The shown text changed: length bytes inserted at position, or removed from there.
    // Breaks after the change move with the text; Removed returns the offsets (from
    // position) of the breaks that went with the removed bytes.
    void Inserted(long position, long length);
    std::vector<long> Removed(long position, long length);
    // Marks the bytes at position + each offset as breaks again (an undone removal).
    void Restore(long position, const std::vector<long>& offsets);

    // The bytes of the shown text from start to end without the breaks.
    std::string Strip(const char* shown, long start, long end) const;

    // What undo and redo need: the breaks a removal took (or an insertion of shown text
    // brought), kept under a number the editor's undo history carries.
    enum class Change { Removal, Insertion };
    struct Record {
        Change change;
        long position;
        long length;
        std::vector<long> offsets;
    };
    int Remember(Record record);
    const Record* Recall(int token) const;

private:
    std::vector<long> m_breaks;
    std::vector<Record> m_records;
};
