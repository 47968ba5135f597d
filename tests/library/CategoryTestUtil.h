// Helpers shared by the category file tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "library/Category.h"
#include "library/CategoryReader.h"
#include "library/Sample.h"
#include "support/TestSupport.h"

using Words = std::vector<std::string>;

inline std::string Fixture(const std::string& name) {
    return ReadFileBytes(DataPath("category/" + name));
}

// A sample as one line of a transcript compared with a fixture file: each field in
// brackets, CR and LF shown as \r and \n, then the load-error reason.
inline std::string Dump(const CSample& s) {
    const auto shown = [](const std::string& value) {
        std::string out = "[";
        for (char c : value)
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
        return out + "]";
    };
    std::string keywords;
    for (const std::string& k : s.Keywords())
        keywords += shown(k);
    return shown(s.GetTitle()) + " " + shown(s.GetCategory()) + " " + shown(s.GetSubcategory()) +
           " keywords " + keywords + " comments " + shown(s.GetComments()) + " text " + shown(s.GetText()) +
           " reason " + std::to_string(s.GetLoadErrorReason()) + "\n";
}

// What the reader makes of a file's bytes, in memory.
struct Parsed {
    std::vector<std::unique_ptr<CSample>> samples;
    std::string failedAt; // empty when every byte was read
};
// A heap copy of the bytes exactly as long as they are, so that reading past their end is
// an error under AddressSanitizer.
inline std::unique_ptr<char[]> Exact(std::string_view bytes) {
    auto copy = std::make_unique<char[]>(bytes.empty() ? 1 : bytes.size());
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return copy;
}

// The bytes read a piece at a time, from reads that give fewer bytes than asked for at
// times: the samples, their spans and records, where the reading stopped and the tail
// after the last whole record must be those of the reading in one go.
inline void ExpectSameInPieces(std::string_view bytes, const std::vector<std::unique_ptr<CSample>>& samples,
                               const std::vector<RecordSpan>& spans, const char* failedAt, size_t piece) {
    size_t given = 0;
    unsigned calls = 0;
    const ReadMore more = [&](char* into, size_t room, size_t& got) {
        got = std::min({room, bytes.size() - given, size_t{1} + (++calls * 7919u) % (2 * piece + 1)});
        std::memcpy(into, bytes.data() + given, got);
        given += got;
        return true;
    };
    std::vector<std::unique_ptr<CSample>> out;
    std::vector<RecordSpan> outSpans;
    std::vector<std::string> records;
    std::string tail = "none";
    const PieceParse r = ParseSamplesInPieces(
        more, piece, out, outSpans,
        [&](size_t k, std::string_view record) {
            EXPECT_EQ(k, records.size());
            records.emplace_back(record);
        },
        &tail);
    EXPECT_FALSE(r.readFailed);
    EXPECT_EQ(r.failedAt ? r.failedAt : "", failedAt ? failedAt : "") << piece;
    EXPECT_EQ(r.failedAt ? tail : std::string("none"), failedAt ? UnreadTail(bytes, spans) : "none") << piece;
    EXPECT_EQ(r.bytes, failedAt || !bytes.empty() ? bytes.size() : 0u) << piece;
    ASSERT_EQ(out.size(), samples.size()) << piece;
    ASSERT_EQ(outSpans.size(), spans.size()) << piece;
    for (size_t k = 0; k < out.size(); ++k) {
        ASSERT_EQ(Dump(*out[k]), Dump(*samples[k])) << piece << " " << k;
        ASSERT_EQ(outSpans[k].begin, spans[k].begin) << piece << " " << k;
        ASSERT_EQ(outSpans[k].end, spans[k].end) << piece << " " << k;
        ASSERT_EQ(records[k], bytes.substr(spans[k].begin, spans[k].end - spans[k].begin)) << piece << " " << k;
    }
}

// The bytes are read from an exact copy, and read a piece at a time as well (with pieces
// of one byte up to whole kilobytes) to the same result.
inline Parsed Parse(std::string_view bytes) {
    const auto exact = Exact(bytes);
    Parsed p;
    std::vector<RecordSpan> spans;
    const char* failedAt = ParseSamples(std::string_view(exact.get(), bytes.size()), p.samples, &spans);
    p.failedAt = failedAt ? failedAt : "";
    for (size_t piece : {size_t{1}, size_t{61}, size_t{4096}, size_t{1} << 16}) {
        if (bytes.size() / piece < 20000)
            ExpectSameInPieces(bytes, p.samples, spans, failedAt, piece);
    }
    return p;
}

// What was shown, each message after its icon's number, and forgotten: a step of a
// transcript compared with a fixture file.
inline std::string TakeShown(RecordingMessenger& m) {
    std::string out;
    for (const ShownMessage& s : m.shown)
        out += "[icon " + std::to_string(static_cast<int>(s.icon)) + "] " + s.text + "\n";
    m.Clear();
    return out;
}

// A category whose file is the given name in the current folder.
inline CCategory CategoryFor(const std::string& fileName) {
    CCategory c("Tools");
    c.SetFileName(fileName);
    c.SetMessages(&SeamMessages());
    return c;
}

// Saves the samples as one category save does: open, empty, write each, close.
inline bool SaveCategoryFile(CCategory& c, const std::vector<CSample>& samples) {
    if (!c.OpenFile())
        return false;
    c.EmptyFile();
    for (const auto& s : samples)
        c.WriteSample(s);
    return c.CloseFile();
}
inline bool SaveCategoryFile(const std::string& fileName, const std::vector<CSample>& samples) {
    CCategory c = CategoryFor(fileName);
    return SaveCategoryFile(c, samples);
}
