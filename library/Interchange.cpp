#include "library/Interchange.h"

#include <algorithm>

#include "base/TextRules.h"
#include "library/Sample.h"

std::string InterchangeWarning::Describe() const {
    std::string out = file;
    if (line > 0)
        out += ":" + std::to_string(line);
    return out + (out.empty() ? "" : ": ") + text;
}

namespace interchange {

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string ToLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n')
            continue;
        size_t end = (i > start && text[i - 1] == '\r') ? i - 1 : i;
        lines.emplace_back(text.substr(start, end - start));
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

int LineAt(std::string_view data, size_t offset) {
    offset = std::min(offset, data.size());
    return 1 + static_cast<int>(std::count(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

LineIndex::LineIndex(std::string_view data) {
    m_starts.push_back(0);
    for (size_t i = 0; i < data.size(); ++i)
        if (data[i] == '\n')
            m_starts.push_back(i + 1);
}

int LineIndex::LineAt(size_t offset) const {
    return static_cast<int>(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin());
}

void PlaceFromFolders(const std::vector<std::string>& folders, InterchangeRecord& record,
                      InterchangeResult& out) {
    record.category = folders.empty() ? std::string() : folders[0];
    record.subcategory = folders.size() < 2 ? std::string() : folders[1];
    if (folders.size() < 3)
        return;
    std::string path;
    for (const auto& f : folders)
        path += (path.empty() ? "" : "/") + f;
    if (out.flattenedFolders.insert(path).second)
        out.Warn(record.file, record.line,
                 "the folder \"" + path + "\" lies deeper than a sub-category; its samples go into \"" +
                     record.category + "\" / \"" + record.subcategory + "\"");
}

size_t LongestRun(std::string_view text, char c) {
    size_t longest = 0;
    size_t run = 0;
    for (char ch : text) {
        run = ch == c ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::string SafeFileName(std::string_view name) {
    std::string out;
    for (char ch : name) {
        const auto byte = static_cast<unsigned char>(ch);
        out += (ch == '/' || ch == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : ch;
    }
    if (!out.empty() && out[0] == '.')
        out[0] = '_';
    if (out.size() > 200) {
        size_t cut = 200;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    return out.empty() ? "_" : out;
}

std::vector<std::string> LibraryKeywords(const std::vector<std::string>& keywords, std::string& warning) {
    warning.clear();
    std::string joined;
    for (size_t i = 0; i < keywords.size(); ++i)
        joined += (i ? ", " : "") + keywords[i];
    CSample sample;
    sample.SetKeywords(joined);
    if (sample.Keywords() != keywords)
        warning = "the keywords \"" + joined + "\" are kept as \"" + sample.GetKeywords() +
                  "\" (a keyword is separated by commas and has no blanks at its ends)";
    return sample.Keywords();
}

} // namespace interchange
