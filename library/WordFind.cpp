#include "library/WordFind.h"

#include <algorithm>

#include "base/ByteSearch.h"
#include "base/TextRules.h"
#include "library/QuorrinDoc.h"
#include "library/Sample.h"

namespace {

// Where a word stands decides most of its rank; the bonuses below never lift a field
// above the next better kind (the gaps between the bases are larger than their sum).
constexpr int kBaseTitle = 1000;
constexpr int kBaseKeyword = 600;
constexpr int kBaseText = 200;
constexpr int kFieldStart = 120; // the word begins the field
constexpr int kWordStart = 80;   // after a blank, punctuation or a digit-letter change
constexpr int kCamelStart = 60;  // a capital after a small letter: getSocket
constexpr int kWordEnd = 40;     // the word ends where a word of the field ends
constexpr int kCover = 60;       // times the share of the field the word covers
constexpr int kPhrase = 150;     // the words as typed, together, in the title

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Letters of other scripts count as letters: only ASCII punctuation and blanks part words.
bool IsWordByte(char c) { return IsLower(c) || IsUpper(c) || IsDigit(c) || static_cast<unsigned char>(c) >= 0x80; }

int BaseOf(WordField kind) {
    switch (kind) {
    case WordField::Title:
        return kBaseTitle;
    case WordField::Keyword:
        return kBaseKeyword;
    default:
        return kBaseText;
    }
}

// The bonus for an occurrence of n bytes at pos in field (the field as written).
int PlaceBonus(std::string_view field, size_t pos, size_t n) {
    int bonus = 0;
    if (pos == 0) {
        bonus += kFieldStart;
    } else {
        const char before = field[pos - 1];
        const char first = field[pos];
        if (!IsWordByte(before) || IsDigit(before) != IsDigit(first))
            bonus += kWordStart;
        else if (IsLower(before) && IsUpper(first))
            bonus += kCamelStart;
    }
    const size_t end = pos + n;
    if (end == field.size() || !IsWordByte(field[end]) || (IsLower(field[end - 1]) && IsUpper(field[end])))
        bonus += kWordEnd;
    return bonus;
}

// field folded as the search folds it (FoldCase keeps the length), and the word in the
// field's encoding; empty when the word cannot occur in that encoding.
struct Folded {
    std::string field;
    std::string word;
};

Folded FoldFor(std::string_view field, std::string_view word) {
    const bool utf8 = IsValidUtf8(field);
    const SearchNeedle needle(word, false);
    return {utf8 ? FoldCase(field) : FoldWindows1252(field), needle.For(utf8)};
}

} // namespace

std::vector<std::string> SplitWords(std::string_view typed) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && IsBlank(typed[i]))
            ++i;
        const size_t start = i;
        while (i < typed.size() && !IsBlank(typed[i]))
            ++i;
        if (i > start)
            words.emplace_back(typed.substr(start, i - start));
    }
    return words;
}

int ScoreWord(std::string_view field, std::string_view word, WordField kind) {
    if (word.empty() || field.size() < word.size())
        return 0;
    const Folded folded = FoldFor(field, word);
    const std::string& needle = folded.word;
    if (needle.empty())
        return 0;
    int best = -1;
    for (size_t at = FindBytes(folded.field, needle); at != std::string_view::npos;
         at = FindBytes(folded.field, needle, at + 1)) {
        best = std::max(best, PlaceBonus(field, at, needle.size()));
        if (best == kFieldStart + kWordEnd)
            break; // nothing places better
    }
    if (best < 0)
        return 0;
    int score = BaseOf(kind) + best;
    if (kind != WordField::Text)
        score += static_cast<int>(kCover * needle.size() / field.size());
    return score;
}

CWordFind::CWordFind(std::string_view typed, bool inText) : m_words(SplitWords(typed)), m_inText(inText) {
    m_matchers.reserve(m_words.size());
    for (const std::string& word : m_words) {
        m_matchers.emplace_back(word, inText ? SearchScope::Everything : SearchScope::TitleAndKeywords, false);
        if (!m_phrase.empty())
            m_phrase += ' ';
        m_phrase += word;
    }
}

int CWordFind::Score(const CSample& sample) {
    if (m_words.empty())
        return 0;
    int total = 0;
    for (size_t i = 0; i < m_words.size(); ++i) {
        // The fast test first: most samples hold no word at all.
        if (!m_matchers[i].Contains(sample))
            return 0;
        const std::string& word = m_words[i];
        int best = ScoreWord(sample.GetTitle(), word, WordField::Title);
        for (const std::string& keyword : sample.Keywords())
            best = std::max(best, ScoreWord(keyword, word, WordField::Keyword));
        // Not in the title nor a keyword: in the comments or the text, if anywhere.
        if (best == 0 && m_inText)
            best = kBaseText;
        if (best == 0)
            return 0;
        total += best;
    }
    if (m_words.size() > 1 && ScoreWord(sample.GetTitle(), m_phrase, WordField::Title) > 0)
        total += kPhrase;
    return total;
}

std::vector<MarkRange> CWordFind::Marks(std::string_view field) const {
    std::vector<MarkRange> runs;
    for (const std::string& word : m_words) {
        const Folded folded = FoldFor(field, word);
        if (folded.word.empty())
            continue;
        for (size_t at = FindBytes(folded.field, folded.word); at != std::string_view::npos;
             at = FindBytes(folded.field, folded.word, at + folded.word.size()))
            runs.push_back({at, at + folded.word.size()});
    }
    std::sort(runs.begin(), runs.end(), [](const MarkRange& a, const MarkRange& b) { return a.from < b.from; });
    std::vector<MarkRange> joined;
    for (const MarkRange& run : runs) {
        if (!joined.empty() && run.from <= joined.back().to)
            joined.back().to = std::max(joined.back().to, run.to);
        else
            joined.push_back(run);
    }
    return joined;
}

void SortByRank(std::vector<RankedSample>& found) {
    std::stable_sort(found.begin(), found.end(),
                     [](const RankedSample& a, const RankedSample& b) { return a.score > b.score; });
}

std::vector<RankedSample> FindWords(const CQuorrinDoc& doc, std::string_view typed, bool inText) {
    CWordFind find(typed, inText);
    std::vector<RankedSample> found;
    if (find.Empty())
        return found;
    for (const auto& [title, sample] : doc.Samples()) {
        if (const int score = find.Score(*sample); score > 0)
            found.push_back({sample.get(), score});
    }
    SortByRank(found);
    return found;
}
