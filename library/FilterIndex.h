// CFilterIndex: the window's instant find over titles and keywords. Every sample's title
// and keywords are folded once (FoldCase, as the search folds them) into one buffer, so
// that a keystroke searches a few megabytes in one pass instead of visiting 100,000
// records. The answer is the one CSampleMatcher gives with SearchScope::TitleAndKeywords,
// letter case ignored, for every sample.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CQuorrinDoc;
class CSample;

class CFilterIndex {
public:
    // Reads the document's samples again when they changed since the last Update.
    void Update(const CQuorrinDoc& doc);
    // True when the index answers for the document as it is now.
    bool IsCurrent(const CQuorrinDoc& doc) const;
    // The samples whose title or one of whose keywords contains text, in title order;
    // the document's records, good while IsCurrent. Empty for an empty text.
    std::vector<const CSample*> Find(std::string_view text) const;
    // The samples in whose title or keywords every word occurs (each word anywhere), in
    // title order. Empty for no words.
    std::vector<const CSample*> FindAll(const std::vector<std::string>& words) const;
    size_t Size() const { return m_samples.size(); }

private:
    // The folded fields of one encoding, each followed by a zero byte, sample after
    // sample; where each sample's fields start (and, last, the end).
    struct Part {
        std::string bytes;
        std::vector<size_t> starts;
        std::vector<std::uint32_t> samples; // index into m_samples of each start
    };
    static void AddField(Part& part, std::string_view field);
    static void FindIn(const Part& part, std::string_view needle, std::vector<bool>& hit);
    // The index's samples in which text occurs, one flag each.
    std::vector<bool> Hits(std::string_view text) const;

    Part m_utf8;  // fields that are valid UTF-8 (plain ASCII included)
    Part m_other; // the rest, Windows-1252
    std::vector<const CSample*> m_samples;
    const CQuorrinDoc* m_doc = nullptr;
    std::uint64_t m_version = 0;
};
