// How a text indents its lines: with tab characters, or with blanks in units of some
// width. The code editor indents a sample the way the sample itself does; a sample
// without indented lines is indented the way most samples of its category are.
// Works on the text's bytes (UTF-8 or a one-byte code page: indentation is ASCII).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

struct IndentStyle {
    bool tabs = false;
    int width = 4; // blanks per unit; with tabs, the shown width of a tab

    // What one level of indentation inserts.
    std::string Unit() const { return tabs ? std::string(1, '\t') : std::string(static_cast<size_t>(width), ' '); }
    bool operator==(const IndentStyle&) const = default;
};

// The style a text's indented lines show, or nothing when no line is indented.
std::optional<IndentStyle> DetectIndentStyle(std::string_view text);

class CQuorrinDoc;

// The most common style among the samples of a category.
IndentStyle CategoryIndentStyle(const CQuorrinDoc& doc, const std::string& category);

// Counts the styles of several texts: the most common one, blanks of 4 when none
// of the texts is indented.
class CIndentTally {
public:
    void Add(std::string_view text);
    IndentStyle MostCommon() const;

private:
    // Keyed by width, 0 for tabs.
    std::map<int, int> m_votes;
};
