// The instant find's rule and rank, shared by the window's find above the tree, the
// pick window and `tindrel-cli find`.
//
// The typed text is split into words at blanks. A sample is found when every word
// occurs, in any order, in its title or one of its keywords (with "in text" also in its
// comments or text); each word is a substring, letter case ignored as the Search dialog
// ignores it. A found sample's rank is the sum of each word's best place: the title
// before a keyword before the comments or text; a word that starts the field or a word
// of it, ends a word too or covers much of a short field counts more; and the words
// typed together standing together in the title count more again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/LibrarySearch.h"

class CQuorrinDoc;
class CSample;

// Where a word was found, best first.
enum class WordField { Title, Keyword, Text };

// The words of a typed text, split at blanks (space, tab, line ends); none when blank.
std::vector<std::string> SplitWords(std::string_view typed);

// The rank of one word (non-empty, as typed) in one field of the given kind; 0 when the
// word does not occur there, letter case ignored.
int ScoreWord(std::string_view field, std::string_view word, WordField kind);

// A run of bytes [from, to) of a field that a word covers.
struct MarkRange {
    size_t from = 0;
    size_t to = 0;
    bool operator==(const MarkRange&) const = default;
};

class CWordFind {
public:
    CWordFind(std::string_view typed, bool inText);
    bool Empty() const { return m_words.empty(); }
    const std::vector<std::string>& Words() const { return m_words; }
    bool InText() const { return m_inText; }
    // 0 when a word occurs in none of the searched fields; otherwise the rank, higher
    // is better.
    int Score(const CSample& sample);
    // The bytes of field that the words cover, in order, touching runs joined: the
    // letters a list marks.
    std::vector<MarkRange> Marks(std::string_view field) const;

private:
    std::vector<std::string> m_words;
    std::vector<CSampleMatcher> m_matchers; // one per word, over the searched fields
    std::string m_phrase;                   // the words joined by one blank
    bool m_inText;
};

struct RankedSample {
    const CSample* sample = nullptr;
    int score = 0;
};

// Best first; equal ranks keep the order they came in (title order).
void SortByRank(std::vector<RankedSample>& found);

// Every sample of the library that the words find, best first.
std::vector<RankedSample> FindWords(const CQuorrinDoc& doc, std::string_view typed, bool inText);
