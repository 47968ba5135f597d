#include "ui/SoftBreaks.h"

#include <algorithm>

namespace {

bool IsWordByte(unsigned char c) {
    return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Where to end a piece that starts at start of a run ending at runEnd: after a non-word
// byte in the last eighth of the piece, else before a character boundary.
size_t PieceEnd(std::string_view text, size_t start, size_t runEnd, size_t pieceBytes) {
    size_t end = start + pieceBytes;
    if (end >= runEnd)
        return runEnd;
    for (size_t i = end; i > end - pieceBytes / 8; --i)
        if (!IsWordByte(static_cast<unsigned char>(text[i - 1])))
            return i;
    while (end > start + 1 && IsContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return end;
}

} // namespace

std::string CSoftBreaks::Split(std::string_view text, long longLine, long pieceBytes, std::vector<long>& breaks) {
    breaks.clear();
    std::string shown;
    shown.reserve(text.size() + text.size() / static_cast<size_t>(pieceBytes) + 1);
    size_t i = 0;
    while (i < text.size()) {
        size_t runEnd = text.find_first_of("\r\n", i);
        if (runEnd == std::string_view::npos)
            runEnd = text.size();
        if (runEnd - i <= static_cast<size_t>(longLine)) {
            shown.append(text.substr(i, runEnd - i));
        } else {
            size_t start = i;
            while (start < runEnd) {
                const size_t end = PieceEnd(text, start, runEnd, static_cast<size_t>(pieceBytes));
                shown.append(text.substr(start, end - start));
                if (end < runEnd) {
                    breaks.push_back(static_cast<long>(shown.size()));
                    shown += '\n';
                }
                start = end;
            }
        }
        if (runEnd < text.size())
            shown += text[runEnd];
        i = runEnd + 1;
    }
    return shown;
}

void CSoftBreaks::Reset(std::vector<long> breaks) {
    m_breaks = std::move(breaks);
    m_records.clear();
}

bool CSoftBreaks::IsBreak(long position) const {
    return std::binary_search(m_breaks.begin(), m_breaks.end(), position);
}

long CSoftBreaks::CountIn(long start, long end) const {
    if (end <= start)
        return 0;
    return static_cast<long>(std::lower_bound(m_breaks.begin(), m_breaks.end(), end) -
                             std::lower_bound(m_breaks.begin(), m_breaks.end(), start));
}

void CSoftBreaks::Inserted(long position, long length) {
    for (auto it = std::lower_bound(m_breaks.begin(), m_breaks.end(), position); it != m_breaks.end(); ++it)
        *it += length;
}

std::vector<long> CSoftBreaks::Removed(long position, long length) {
    auto first = std::lower_bound(m_breaks.begin(), m_breaks.end(), position);
    auto last = std::lower_bound(first, m_breaks.end(), position + length);
    std::vector<long> offsets;
    for (auto it = first; it != last; ++it)
        offsets.push_back(*it - position);
    for (auto it = last; it != m_breaks.end(); ++it)
        *it -= length;
    m_breaks.erase(first, last);
    return offsets;
}

void CSoftBreaks::Restore(long position, const std::vector<long>& offsets) {
    for (long offset : offsets)
        m_breaks.push_back(position + offset);
    std::sort(m_breaks.begin(), m_breaks.end());
    m_breaks.erase(std::unique(m_breaks.begin(), m_breaks.end()), m_breaks.end());
}

std::string CSoftBreaks::Strip(const char* shown, long start, long end) const {
    std::string out;
    if (end <= start)
        return out;
    out.reserve(static_cast<size_t>(end - start));
    long from = start;
    for (auto it = std::lower_bound(m_breaks.begin(), m_breaks.end(), start); it != m_breaks.end() && *it < end;
         ++it) {
        out.append(shown + from, static_cast<size_t>(*it - from));
        from = *it + 1;
    }
    out.append(shown + from, static_cast<size_t>(end - from));
    return out;
}

int CSoftBreaks::Remember(Record record) {
    m_records.push_back(std::move(record));
    return static_cast<int>(m_records.size());
}

const CSoftBreaks::Record* CSoftBreaks::Recall(int token) const {
    if (token < 1 || token > static_cast<int>(m_records.size()))
        return nullptr;
    return &m_records[static_cast<size_t>(token - 1)];
}
