#include "ui/IndentStyle.h"

#include <array>

#include "library/QuorrinDoc.h"
#include "library/Sample.h"

std::optional<IndentStyle> DetectIndentStyle(std::string_view text) {
    int tabLines = 0;
    int blankLines = 0;
    // How often the indentation in blanks grew or shrank by 1 to 8 between two lines.
    std::array<int, 9> steps{};
    int previous = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        const size_t content = line.find_first_not_of(" \t");
        if (content == std::string_view::npos)
            continue; // empty or white space only: says nothing
        if (line[0] == '\t') {
            ++tabLines;
            continue;
        }
        if (line.substr(0, content).find('\t') != std::string_view::npos)
            continue; // blanks then tabs: neither style
        const int blanks = static_cast<int>(content);
        if (blanks > 0)
            ++blankLines;
        const int step = blanks > previous ? blanks - previous : previous - blanks;
        if (step > 0 && step < static_cast<int>(steps.size()))
            ++steps[static_cast<size_t>(step)];
        previous = blanks;
    }
    if (tabLines == 0 && blankLines == 0)
        return std::nullopt;
    if (tabLines > blankLines)
        return IndentStyle{true, 4};
    // The most common step; a tie goes to the smaller one. A single blank is taken
    // only when nothing else is seen (it is mostly an aligned comment's star).
    int width = 0;
    for (int step = 2; step < static_cast<int>(steps.size()); ++step)
        if (steps[static_cast<size_t>(step)] > (width ? steps[static_cast<size_t>(width)] : 0))
            width = step;
    if (width == 0)
        width = steps[1] > 0 ? 1 : 4;
    return IndentStyle{false, width};
}

void CIndentTally::Add(std::string_view text) {
    if (const std::optional<IndentStyle> style = DetectIndentStyle(text))
        ++m_votes[style->tabs ? 0 : style->width];
}

IndentStyle CIndentTally::MostCommon() const {
    int best = -1;
    int votes = 0;
    for (const auto& [width, count] : m_votes)
        if (count > votes) {
            best = width;
            votes = count;
        }
    if (best < 0)
        return IndentStyle{};
    return best == 0 ? IndentStyle{true, 4} : IndentStyle{false, best};
}

IndentStyle CategoryIndentStyle(const CQuorrinDoc& doc, const std::string& category) {
    // Asked each time a text without indentation is shown: a few hundred samples tell the
    // category's habit as well as ten thousand, and showing a sample stays quick.
    constexpr int kEnoughVotes = 200;
    CIndentTally tally;
    int asked = 0;
    for (const CSample* sample : doc.SamplesOfCategory(category)) {
        tally.Add(sample->GetText());
        if (++asked >= kEnoughVotes)
            break;
    }
    return tally.MostCommon();
}
