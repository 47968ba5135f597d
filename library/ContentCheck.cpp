#include "library/ContentCheck.h"

#include "base/ByteSearch.h"
#include "library/CategoryFormat.h"
#include "library/Sample.h"

namespace {

bool HasLineBreak(std::string_view v) {
    return v.find_first_of("\r\n") != std::string_view::npos;
}
bool HasLf(std::string_view v) {
    return v.find('\n') != std::string_view::npos;
}

// True when the reader would end the section early on a line of this value. The
// file lines of a written value are exactly its pieces between LFs (an in-memory
// CR LF line keeps its CR in the file line, so it never equals a marker), and the
// first line of a section is always taken as content: a marker piece follows an LF
// and ends at an LF or at the end of the value.
bool HasMarkerLine(std::string_view value, std::string_view lfMarker) {
    size_t at = FindBytes(value, lfMarker);
    while (at != std::string_view::npos) {
        const size_t after = at + lfMarker.size();
        if (after == value.size() || value[after] == '\n')
            return true;
        at = FindBytes(value, lfMarker, at + 1);
    }
    return false;
}

std::string LineBreakMessage(const std::string& field) {
    if (field == "keywords")
        return "A keyword cannot contain a line break.";
    return "The " + field + " cannot contain a line break.";
}

std::string MarkerMessage(const std::string& field, std::string_view endMarker) {
    return "A line of the " + field + " cannot be exactly \"" + std::string(endMarker) + "\".";
}

enum class Section { Comments, Text };

std::string CheckSection(Section section, const std::string& value) {
    const std::string_view lfMarker = section == Section::Comments ? marker::kLfCommentsEnd : marker::kLfTextEnd;
    if (!HasMarkerLine(value, lfMarker))
        return {};
    return MarkerMessage(section == Section::Comments ? "comments" : "text", lfMarker.substr(1));
}

} // namespace

std::string CheckFieldContent(const std::string& field, const std::string& value) {
    if (field == "title" || field == "category" || field == "sub-category" || field == "category name" ||
        field == "sub-category name")
        return HasLineBreak(value) ? LineBreakMessage(field) : std::string();
    if (field == "keywords") {
        // Judge the keywords the string turns into: blanks and line ends around the
        // commas are trimmed away by the parsing.
        CSample parsed;
        parsed.SetKeywords(value);
        for (const auto& k : parsed.Keywords())
            if (HasLineBreak(k))
                return LineBreakMessage(field);
        return {};
    }
    if (field == "comments")
        return CheckSection(Section::Comments, value);
    if (field == "text")
        return CheckSection(Section::Text, value);
    return {};
}

std::string CheckSampleContent(const CSample& sample) {
    std::string m = CheckFieldContent("title", sample.GetTitle());
    if (m.empty())
        m = CheckFieldContent("category", sample.GetCategory());
    if (m.empty())
        m = CheckFieldContent("sub-category", sample.GetSubcategory());
    for (size_t i = 0; m.empty() && i < sample.GetKeywordCount(); ++i)
        if (HasLineBreak(sample.GetKeyword(i)))
            m = LineBreakMessage("keywords");
    if (m.empty())
        m = CheckSection(Section::Comments, sample.GetComments());
    if (m.empty())
        m = CheckSection(Section::Text, sample.GetText());
    return m;
}

std::string CheckSampleStorable(const CSample& sample) {
    if (HasLf(sample.GetTitle()))
        return LineBreakMessage("title");
    if (HasLf(sample.GetCategory()))
        return LineBreakMessage("category");
    if (HasLf(sample.GetSubcategory()))
        return LineBreakMessage("sub-category");
    for (const auto& k : sample.Keywords())
        if (HasLf(k))
            return LineBreakMessage("keywords");
    std::string m = CheckSection(Section::Comments, sample.GetComments());
    if (m.empty())
        m = CheckSection(Section::Text, sample.GetText());
    return m;
}
