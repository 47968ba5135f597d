#include "library/CategoryMerge.h"

#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "library/CategoryReader.h"
#include "library/RecordMerge.h"

namespace categorymerge {

namespace {

// One version of the file: its records, where each lies, and the first record of each
// title. The record merge knows a file's records by title within one category; here every
// record counts wherever it belongs, so each is seen with its category folded into the
// sub-category field (all six fields still compared, every record "here").
struct Version {
    std::string_view bytes;
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    std::unordered_map<std::string, size_t> first;
    bool whole = false;

    explicit Version(std::string_view data) : bytes(data) {
        whole = ParseSamples(data, records, &spans) == nullptr;
        for (size_t i = 0; i < records.size(); ++i) {
            CSample& r = *records[i];
            r.SetSubcategory(r.GetCategory() + '\x1f' + r.GetSubcategory());
            r.SetCategory(std::string());
            first.emplace(r.GetTitle(), i);
        }
    }
    const CSample* ByTitle(const std::string& title) const {
        auto it = first.find(title);
        return it == first.end() ? nullptr : records[it->second].get();
    }
    bool IsFirst(size_t i) const { return first.at(records[i]->GetTitle()) == i; }
    std::string_view Bytes(size_t i) const { return bytes.substr(spans[i].begin, spans[i].end - spans[i].begin); }
    // The records after the first of their title, as multiset keys.
    std::multiset<std::string> Duplicates() const {
        std::multiset<std::string> keys;
        for (size_t i = 0; i < records.size(); ++i)
            if (!IsFirst(i))
                keys.insert(std::string(Bytes(i)));
        return keys;
    }
};

void AppendRecord(std::string& out, std::string_view record) {
    if (!out.empty() && out.back() != '\n')
        out += "\r\n";
    out += record;
}

Result WholeVersions(const Version& ours, const Version& theirs) {
    // The readable one first, so that a load reads it all before it meets the break.
    const Version& first = ours.whole || !theirs.whole ? ours : theirs;
    const Version& second = &first == &ours ? theirs : ours;
    Result result;
    result.wholeVersions = true;
    result.bytes = std::string(first.bytes);
    if (!second.bytes.empty())
        AppendRecord(result.bytes, second.bytes);
    return result;
}

} // namespace

Result Merge(std::string_view baseBytes, std::string_view oursBytes, std::string_view theirsBytes) {
    const Version base(baseBytes), ours(oursBytes), theirs(theirsBytes);
    if (!ours.whole || !theirs.whole)
        return WholeVersions(ours, theirs);

    // Records beyond the first of a title (load errors already) merge as a multiset:
    // one that a side removed and the other left alone goes, one a side added comes.
    const std::multiset<std::string> baseDups = base.Duplicates();
    std::multiset<std::string> oursDups = ours.Duplicates();
    std::multiset<std::string> theirsDups = theirs.Duplicates();

    recordmerge::Ours side;
    side.base = [&](const std::string& t) { return base.ByTitle(t); };
    side.sample = [&](const std::string& t) { return ours.ByTitle(t); };
    side.place = [](const CSample&) { return recordmerge::Placement::Here; };
    side.kept = [&](size_t i) {
        if (theirs.IsFirst(i))
            return false;
        const std::string key(theirs.Bytes(i));
        return oursDups.count(key) > 0 || baseDups.count(key) > 0;
    };
    for (size_t i = 0; i < ours.records.size(); ++i)
        if (ours.IsFirst(i))
            side.titles.push_back(ours.records[i]->GetTitle());
    for (size_t i = 0; i < base.records.size(); ++i)
        if (base.IsFirst(i) && !ours.first.count(base.records[i]->GetTitle()))
            side.titles.push_back(base.records[i]->GetTitle());

    std::vector<const CSample*> theirRecords;
    for (const auto& r : theirs.records)
        theirRecords.push_back(r.get());
    const std::vector<recordmerge::Decision> decisions =
        recordmerge::Merge(side, theirRecords, recordmerge::ReadEnd::Complete);

    // Our records in place, each replaced by theirs, dropped, or left; then what only
    // their version brings, in their order.
    std::vector<std::string_view> placed(ours.records.size());
    for (size_t i = 0; i < ours.records.size(); ++i)
        placed[i] = ours.Bytes(i);
    std::vector<std::string_view> appended;
    Result result;
    for (const recordmerge::Decision& d : decisions) {
        auto mine = ours.first.find(d.title);
        switch (d.action) {
        case recordmerge::Action::TakeTheirs:
        case recordmerge::Action::KeepUnplaced:
            if (mine != ours.first.end())
                placed[mine->second] = theirs.Bytes(d.their);
            else
                appended.push_back(theirs.Bytes(d.their));
            break;
        case recordmerge::Action::KeepTwice:
            appended.push_back(theirs.Bytes(d.their));
            if (theirs.IsFirst(d.their))
                result.keptTwice.push_back(d.title);
            break;
        case recordmerge::Action::Delete:
            placed[mine->second] = {};
            break;
        case recordmerge::Action::Same:
        case recordmerge::Action::Keep:
            break;
        }
    }
    // Our duplicates that their side resolved (and we left alone) go.
    for (size_t i = 0; i < ours.records.size(); ++i) {
        if (ours.IsFirst(i))
            continue;
        const std::string key(ours.Bytes(i));
        auto inTheirs = theirsDups.find(key);
        if (inTheirs != theirsDups.end())
            theirsDups.erase(inTheirs);
        else if (auto inBase = baseDups.find(key); inBase != baseDups.end())
            placed[i] = {};
    }

    // Bytes between our records (there are none in a file the program wrote) stay.
    size_t at = 0;
    for (size_t i = 0; i < ours.records.size(); ++i) {
        result.bytes += ours.bytes.substr(at, ours.spans[i].begin - at);
        if (!placed[i].empty())
            AppendRecord(result.bytes, placed[i]);
        at = ours.spans[i].end;
    }
    result.bytes += ours.bytes.substr(at);
    for (std::string_view record : appended)
        AppendRecord(result.bytes, record);
    return result;
}

} // namespace categorymerge
