#include "library/FilterIndex.h"

#include <algorithm>
#include <cstring>

#include "base/TextRules.h"
#include "library/LibrarySearch.h"
#include "library/QuorrinDoc.h"

namespace {

bool HasZero(std::string_view text) { return text.find('\0') != std::string_view::npos; }

} // namespace

bool CFilterIndex::IsCurrent(const CQuorrinDoc& doc) const {
    return m_doc == &doc && m_version == doc.SamplesVersion();
}

void CFilterIndex::AddField(Part& part, std::string_view field) {
    const size_t at = part.bytes.size();
    part.bytes.append(field);
    if (IsAscii(field)) {
        for (size_t i = at; i < part.bytes.size(); ++i) {
            char& c = part.bytes[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + ('a' - 'A'));
        }
    } else {
        // FoldCase keeps the length.
        const std::string folded = FoldCase(field);
        part.bytes.replace(at, folded.size(), folded);
    }
    part.bytes.push_back('\0');
}

void CFilterIndex::Update(const CQuorrinDoc& doc) {
    if (IsCurrent(doc))
        return;
    m_doc = &doc;
    m_version = doc.SamplesVersion();
    m_samples.clear();
    m_samples.reserve(doc.Samples().size());
    for (Part* part : {&m_utf8, &m_other}) {
        part->bytes.clear();
        part->starts.clear();
        part->samples.clear();
    }
    m_utf8.bytes.reserve(doc.Samples().size() * 64);
    for (const auto& [title, sample] : doc.Samples()) {
        const auto index = static_cast<std::uint32_t>(m_samples.size());
        m_samples.push_back(sample.get());
        bool started[2] = {false, false};
        auto add = [&](std::string_view field) {
            const bool utf8 = IsValidUtf8(field);
            Part& part = utf8 ? m_utf8 : m_other;
            if (!started[utf8]) {
                started[utf8] = true;
                part.starts.push_back(part.bytes.size());
                part.samples.push_back(index);
            }
            AddField(part, field);
        };
        for (const std::string& keyword : sample->Keywords())
            add(keyword);
        add(sample->GetTitle());
    }
    for (Part* part : {&m_utf8, &m_other})
        part->starts.push_back(part->bytes.size());
}

void CFilterIndex::FindIn(const Part& part, std::string_view needle, std::vector<bool>& hit) {
    if (needle.empty() || part.bytes.empty())
        return;
    const char* const begin = part.bytes.data();
    const char* const end = begin + part.bytes.size();
    const char* from = begin;
    size_t entry = 0; // the sample entry that holds from
    while (from < end) {
        const void* found = needle.size() == 1 ? std::memchr(from, needle[0], static_cast<size_t>(end - from))
                                               : memmem(from, static_cast<size_t>(end - from), needle.data(),
                                                        needle.size());
        if (!found)
            return;
        const size_t at = static_cast<size_t>(static_cast<const char*>(found) - begin);
        // The entry holding at: after entry (the hits come in order).
        auto next = std::upper_bound(part.starts.begin() + static_cast<std::ptrdiff_t>(entry), part.starts.end(), at);
        entry = static_cast<size_t>(next - part.starts.begin()) - 1;
        hit[part.samples[entry]] = true;
        // One hit is enough: on with the next sample's fields.
        from = begin + part.starts[entry + 1];
        ++entry;
    }
}

std::vector<bool> CFilterIndex::Hits(std::string_view text) const {
    std::vector<bool> hit(m_samples.size());
    if (HasZero(text)) {
        // A zero byte would meet the fields' ends: the matcher itself decides.
        CSampleMatcher matcher(text, SearchScope::TitleAndKeywords, false);
        for (size_t i = 0; i < m_samples.size(); ++i)
            hit[i] = matcher.Contains(*m_samples[i]);
        return hit;
    }
    const SearchNeedle needle(text, false);
    FindIn(m_utf8, needle.For(true), hit);
    FindIn(m_other, needle.For(false), hit);
    return hit;
}

std::vector<const CSample*> CFilterIndex::Find(std::string_view text) const {
    std::vector<const CSample*> out;
    if (text.empty())
        return out;
    const std::vector<bool> hit = Hits(text);
    for (size_t i = 0; i < m_samples.size(); ++i)
        if (hit[i])
            out.push_back(m_samples[i]);
    return out;
}

std::vector<const CSample*> CFilterIndex::FindAll(const std::vector<std::string>& words) const {
    std::vector<const CSample*> out;
    if (words.empty())
        return out;
    std::vector<bool> all = Hits(words[0]);
    for (size_t w = 1; w < words.size(); ++w) {
        const std::vector<bool> hit = Hits(words[w]);
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = all[i] && hit[i];
    }
    for (size_t i = 0; i < m_samples.size(); ++i)
        if (all[i])
            out.push_back(m_samples[i]);
    return out;
}
