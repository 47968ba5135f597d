// What the import and export converters share: a sample as another program's file
// describes it, the warnings met while reading one, and the byte helpers every format
// needs. No Qt and no file access: the converters turn bytes into records and back.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

// One sample read from another program's file, before it is placed in the library.
// Comments and text have the library's CR LF line ends.
struct InterchangeRecord {
    std::string title;
    std::string category;    // empty: the import's --category or the language decides
    std::string subcategory; // empty: none
    std::vector<std::string> keywords;
    std::string comments;
    std::string text;
    std::string language; // the language the source names ("cpp", "python"), may be empty
    std::string file;     // where it was read, for messages
    int line = 0;         // 1-based; 0 when unknown
};

// Something the user must hear about: a record that could not be read, a value that
// changes on the way in, a field a format cannot hold.
struct InterchangeWarning {
    std::string file;
    int line = 0;
    std::string text;
    // "file:line: text" (the line left out when unknown).
    std::string Describe() const;
};

struct InterchangeResult {
    std::vector<InterchangeRecord> records;
    std::vector<InterchangeWarning> warnings;
    std::set<std::string> flattenedFolders; // folders deeper than a sub-category, told once
    void Warn(const std::string& file, int line, std::string text) {
        warnings.push_back({file, line, std::move(text)});
    }
};

namespace interchange {

// Bare LF line ends become CR LF; CR LF pairs stay.
std::string ToCrLf(std::string_view text);
// CR LF pairs become LF; every other byte stays.
std::string ToLf(std::string_view text);
// The text split at its line ends (CR LF or LF); "" gives one empty line.
std::vector<std::string> SplitLines(std::string_view text);
// The 1-based line of the byte at offset.
int LineAt(std::string_view data, size_t offset);
// Lines of one text for many look-ups: the line of an offset by binary search.
class LineIndex {
public:
    explicit LineIndex(std::string_view data);
    int LineAt(size_t offset) const;

private:
    std::vector<size_t> m_starts;
};
// A folder path (outermost first) as a place in the library: the first folder names the
// category, the second the sub-category. The library has no deeper places: a record of a
// deeper folder goes into the sub-category its path starts with, and out is told once per
// such folder (file: where it was met).
void PlaceFromFolders(const std::vector<std::string>& folders, InterchangeRecord& record,
                      InterchangeResult& out);
// The longest run of c in text.
size_t LongestRun(std::string_view text, char c);
// A name fit for one file or folder name: '/' and control characters become '_', a
// leading '.' becomes '_', and at most 200 bytes (cut at a character's start); "_" for
// an empty name.
std::string SafeFileName(std::string_view name);
// The keywords as the library keeps them (joined with ", ", split at commas, trimmed):
// a keyword that would change on the way is reported through warn.
std::vector<std::string> LibraryKeywords(const std::vector<std::string>& keywords, std::string& warning);

} // namespace interchange
