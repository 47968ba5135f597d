#include "library/Trash.h"

#include <chrono>
#include <cstdlib>
#include <memory>

#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "library/CategoryFormat.h"
#include "library/CategoryReader.h"
#include "library/CategoryWriter.h"

namespace trash {

namespace {

const char* KindWord(Kind kind) {
    switch (kind) {
    case Kind::Subcategory:
        return "subcategory";
    case Kind::Category:
        return "category";
    default:
        return "sample";
    }
}

bool IsHeader(const CSample& record) {
    return record.GetTitle().empty() && record.GetKeywordCount() >= 3 && record.GetKeyword(0) == kHeaderKeyword;
}

Deletion FromHeader(const CSample& header) {
    Deletion deletion;
    const std::string& kind = header.GetKeyword(1);
    deletion.kind = kind == "category" ? Kind::Category : kind == "subcategory" ? Kind::Subcategory : Kind::Sample;
    deletion.id = std::strtoll(header.GetKeyword(2).c_str(), nullptr, 10);
    if (header.GetKeywordCount() > 3)
        deletion.language = header.GetKeyword(3);
    deletion.category = header.GetCategory();
    deletion.subcategory = header.GetSubcategory();
    const std::string& names = header.GetComments();
    for (size_t at = 0; at < names.size();) {
        size_t end = names.find("\r\n", at);
        if (end == std::string::npos)
            end = names.size();
        if (end > at)
            deletion.subcategories.push_back(names.substr(at, end - at));
        at = end + 2;
    }
    return deletion;
}

CSample ToHeader(const Deletion& deletion) {
    CSample header;
    header.SetCategory(deletion.category);
    header.SetSubcategory(deletion.subcategory);
    std::string keywords = std::string(kHeaderKeyword) + ", " + KindWord(deletion.kind) + ", " +
                           std::to_string(deletion.id);
    if (!deletion.language.empty())
        keywords += ", " + deletion.language;
    header.SetKeywords(keywords);
    std::string names;
    for (const std::string& name : deletion.subcategories)
        names += name + "\r\n";
    header.SetComments(names);
    return header;
}

// The trash file's bytes; a missing file is an empty trash.
bool ReadBytes(const std::string& path, std::string& bytes, std::string& problem) {
    bytes.clear();
    if (!fileio::FileExists(path))
        return true;
    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause)) {
        problem = StrFormat(filemsg::kOpen, path.c_str(), fileio::CauseText(cause));
        return false;
    }
    if (!file.ReadAll(bytes, cause)) {
        problem = StrFormat(filemsg::kRead, path.c_str(), fileio::CauseText(cause));
        return false;
    }
    file.Close(cause);
    return true;
}

// The trash's bytes read into deletions, with where each one's records lie and where the
// readable part ends.
struct Parsed {
    std::vector<Deletion> deletions;
    std::vector<std::pair<size_t, size_t>> ranges; // of each deletion, in bytes
    size_t readableEnd = 0;
    bool complete = true;
};

Parsed Parse(const std::string& bytes) {
    Parsed parsed;
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    parsed.complete = ParseSamples(bytes, records, &spans) == nullptr;
    for (size_t i = 0; i < records.size(); ++i) {
        // Records before the first header (written by hand) are a deletion of their own.
        if (IsHeader(*records[i]) || parsed.deletions.empty()) {
            parsed.deletions.push_back(IsHeader(*records[i]) ? FromHeader(*records[i]) : Deletion{});
            parsed.ranges.emplace_back(spans[i].begin, spans[i].end);
            if (IsHeader(*records[i]))
                continue;
        }
        parsed.deletions.back().samples.push_back(*records[i]);
        parsed.ranges.back().second = spans[i].end;
    }
    parsed.readableEnd = spans.empty() ? 0 : spans.back().end;
    return parsed;
}

bool Replace(const std::string& path, const std::string& bytes, std::string& problem) {
    int cause = fileio::kNone;
    bool inPlace = false;
    if (fileio::WriteFileAtomically(path, bytes, cause, &inPlace) || inPlace)
        return true;
    problem = StrFormat(filemsg::kWrite, path.c_str(), fileio::CauseText(cause));
    return false;
}

} // namespace

std::string Describe(const Deletion& deletion) {
    std::string what;
    switch (deletion.kind) {
    case Kind::Category:
        what = "Category \"" + deletion.category + "\"";
        break;
    case Kind::Subcategory:
        what = "Sub-category \"" + deletion.subcategory + "\" of \"" + deletion.category + "\"";
        break;
    default:
        if (deletion.samples.size() == 1)
            return "Sample \"" + deletion.samples.front().GetTitle() + "\"";
        what = "Samples";
        break;
    }
    const size_t n = deletion.samples.size();
    if (n > 0)
        what += " (" + std::to_string(n) + (n == 1 ? " sample)" : " samples)");
    return what;
}

bool Read(const std::string& folder, std::vector<Deletion>& out, std::string& problem) {
    const std::string path = fileio::PathIn(folder, kFileName);
    std::string bytes;
    if (!ReadBytes(path, bytes, problem))
        return false;
    Parsed parsed = Parse(bytes);
    out = std::move(parsed.deletions);
    if (!parsed.complete) {
        problem = "The trash " + path + " could not be read to its end; its unreadable part is kept.";
        return false;
    }
    return true;
}

bool Append(const std::string& folder, Deletion& deletion, std::string& problem) {
    const std::string path = fileio::PathIn(folder, kFileName);
    std::string bytes;
    if (!ReadBytes(path, bytes, problem))
        return false;
    const Parsed parsed = Parse(bytes);
    deletion.id = NowMicroseconds();
    for (const Deletion& earlier : parsed.deletions)
        if (earlier.id >= deletion.id)
            deletion.id = earlier.id + 1;
    std::string group;
    AppendSampleBytes(group, ToHeader(deletion));
    for (const CSample& sample : deletion.samples) {
        if (!AppendSampleBytes(group, sample)) {
            problem = "The sample \"" + sample.GetTitle() + "\" cannot be kept in the trash as it is.";
            return false;
        }
    }
    // Before a part that could not be read, so the new deletion can be read back.
    bytes.insert(parsed.readableEnd, group);
    return Replace(path, bytes, problem);
}

bool Remove(const std::string& folder, const std::set<std::int64_t>& ids, std::string& problem) {
    const std::string path = fileio::PathIn(folder, kFileName);
    std::string bytes;
    if (!ReadBytes(path, bytes, problem))
        return false;
    const Parsed parsed = Parse(bytes);
    std::string kept = parsed.ranges.empty() ? std::string() : bytes.substr(0, parsed.ranges.front().first);
    bool any = false;
    for (size_t i = 0; i < parsed.deletions.size(); ++i) {
        if (ids.count(parsed.deletions[i].id)) {
            any = true;
            continue;
        }
        kept.append(bytes, parsed.ranges[i].first, parsed.ranges[i].second - parsed.ranges[i].first);
    }
    if (!any)
        return true;
    kept.append(bytes, parsed.readableEnd, std::string::npos);
    return Replace(path, kept, problem);
}

std::set<std::int64_t> OlderThan(const std::vector<Deletion>& deletions, std::int64_t cutoff) {
    std::set<std::int64_t> ids;
    for (const Deletion& deletion : deletions)
        if (deletion.id < cutoff)
            ids.insert(deletion.id);
    return ids;
}

std::int64_t NowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace trash
