// Reading category files: the format's fixtures in memory, where a broken sequence stops
// the reader, and the messages of reading a file on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

#include "CategoryTestUtil.h"
#include "library/CategoryFormat.h"

namespace {

// What a read of the bytes gives, for a transcript: where it stopped, then the samples.
std::string Read(const std::string& bytes) {
    const Parsed r = Parse(bytes);
    std::string out = "stopped at [" + r.failedAt + "]\n";
    for (const auto& s : r.samples)
        out += Dump(*s);
    return out;
}

// The samples read are in the fixture. "xx***TITLE=abc" passes the title check and loses
// its first nine characters; keyword lines split by hand are joined without a separator;
// empty lines written by hand are dropped, a blank line written as CR survives; the first
// line of a section is never the end marker; duplicates are all read (the document
// decides about them); the last line may lack its line end.
TEST(CategoryReader, TheFixturesAndTheirOddities) {
    std::string transcript;
    for (const char* fixture : {"writer_edge_case.txt", "writer_several.txt", "reader_oddities.txt"})
        transcript += std::string("== ") + fixture + "\n" + Read(Fixture(fixture));
    ExpectFileEq(transcript, "category/read-fixtures.txt");
    // LF line ends read like CR LF; a lone CR stays part of its line, in every field.
    std::string lfOnly = Fixture("writer_edge_case.txt");
    for (size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;)
        lfOnly.erase(at, 1);
    EXPECT_EQ(Parse(lfOnly).samples.at(0)->GetComments(), "x\r\n");
    // An end marker ended by LF alone after lines ended by CR LF ends its section there.
    std::string lfMarkers = Fixture("writer_several.txt");
    const std::string asWritten = Read(lfMarkers);
    for (const char* end : {"***COMMENTS_END***\r\n", "***TEXT_END***\r\n"})
        for (size_t at = 0; (at = lfMarkers.find(end, at)) != std::string::npos; ++at)
            lfMarkers.erase(at + std::strlen(end) - 2, 1);
    EXPECT_EQ(Read(lfMarkers), asWritten);
    const CSample cr = MakeSample("a\rb", "C\r", "S\r", "k\r", "x\ry\r\n");
    EXPECT_EQ(Dump(*Parse(FileBytes({cr})).samples.at(0)), Dump(cr));
}

// Where each broken sequence stops the reader, and the samples kept from before it, are in
// the fixture; then the file cut after each of its lines: every cut but the whole file is
// broken.
TEST(CategoryReader, ABrokenSequenceStopsWithItsPositionAndKeepsTheSamplesBefore) {
    std::string transcript;
    for (const char* fixture :
         {"seq_start_of_sample.txt", "seq_input_categories.txt", "seq_input_keywords.txt",
          "seq_input_comments.txt", "seq_input_sample_text.txt", "seq_end_of_sample.txt"})
        transcript += std::string("== ") + fixture + "\n" + Read(Fixture(fixture));
    const std::string edge = Fixture("writer_edge_case.txt");
    transcript += "== a blank line first\n" + Read("\r\n" + edge);
    transcript += "== a blank line last\n" + Read(edge + "\r\n");
    for (size_t pos = edge.find('\n'); pos != std::string::npos; pos = edge.find('\n', pos + 1))
        transcript += "== cut after byte " + std::to_string(pos + 1) + "\n" + Read(edge.substr(0, pos + 1));
    ExpectFileEq(transcript, "category/read-broken.txt");
}

// Reading a file on disk: a whole file, an empty or a missing one, and every failure of
// opening, reading and closing; the messages are in the fixture.
TEST(CategoryFileRead, FilesAndTheirMessages) {
    RecordingMessenger messages;
    TempDir dir;
    std::vector<std::unique_ptr<CSample>> list;
    const auto opens = [](CCategory& c) { return c.OpenFile(); };
    const auto refused = [](CCategory& c) { return !c.OpenFile(); };
    const auto readFails = [&](CCategory& c) {
        return c.OpenFile() && !c.ReadSampleList(list) && c.ReadIncomplete();
    };
    const struct {
        const char* what;
        const char* file;                    // the category's file name
        std::function<bool(CCategory&)> act; // true when the read went as it should
        std::optional<fileio::Op> fault = std::nullopt;
        int cause = 0;
    } rows[] = {
        {"whole", "t.txt",
         [&](CCategory& c) { return opens(c) && c.ReadSampleList(list) && list.size() == 3; }},
        {"missing: created empty", "new.txt",
         [&](CCategory& c) {
             return opens(c) && !c.ReadSampleList(list) && !c.ReadIncomplete() &&
                    ReadFileBytes("new.txt").empty();
         }},
        {"shared with a writer", "t.txt",
         [](CCategory& c) { return CategoryFor("t.txt").OpenFile() && c.OpenFileForRead(); }},
        {"read-only creates nothing", "absent.txt",
         [](CCategory& c) { return !c.OpenFileForRead() && !fileio::FileExists("absent.txt"); }},
        {"broken sequence", "seq.txt",
         [&](CCategory& c) {
             return opens(c) && !c.ReadSampleList(list) && c.ReadIncomplete() && list.size() == 1;
         }},
        {"no file name", "", refused},
        {"open fault", "t.txt", refused, fileio::Op::Open, fileio::kAccessDenied},
        {"path through a file", "t.txt/x.txt", refused},
        {"locked", "t.txt", [](CCategory& c) { return CategoryFor("t.txt").OpenFile() && !c.OpenFile(); }},
        {"read fault", "t.txt", readFails, fileio::Op::Read, fileio::kHardIO},
        {"read unopened", "t.txt",
         [&](CCategory& c) { return !c.ReadSampleList(list) && c.ReadIncomplete(); }},
        {"close fault: the handle goes all the same", "t.txt",
         [](CCategory& c) { return c.OpenFile() && !c.CloseFile() && c.OpenFile(); }, fileio::Op::Close,
         fileio::kInvalidFile},
    };
    std::string transcript;
    for (const auto& row : rows) {
        WriteFileBytes("t.txt", Fixture("writer_several.txt"));
        WriteFileBytes("seq.txt", Fixture("seq_input_keywords.txt"));
        messages.Clear();
        list.clear();
        CCategory c = CategoryFor(row.file);
        if (row.fault)
            fileio::Faults::FailNext(*row.fault, row.cause);
        EXPECT_TRUE(row.act(c)) << row.what;
        transcript += std::string("== ") + row.what + "\n" + TakeShown(messages);
        c.CloseFile();
        fileio::Faults::Clear();
    }
    ExpectFileEq(transcript, "category/read-messages.txt");
}

} // namespace

// A file of several megabytes is read in pieces at once; every sample's text holds a line
// that looks like the start of a record near its end, so pieces start inside records too. Every record
// comes out once, in file order, and a broken record in the second half stops the read
// there with exactly the records before it.
TEST(CategoryReader, ALargeFileKeepsEveryRecordInOrder) {
    const std::string lookalike(marker::kSampleBegin);
    auto title = [](int i) {
        char name[16];
        std::snprintf(name, sizeof name, "t%05d", i);
        return std::string(name);
    };
    // Written with LF line ends, read back with CR LF.
    auto text = [&lookalike](int i, const char* eol) { return std::string(600 + i % 7, 'x') + eol + lookalike + eol; };
    std::vector<CSample> samples;
    for (int i = 0; i < 6000; ++i)
        samples.push_back(MakeSample(title(i), "Tools", "General", "k", "", text(i, "\n")));
    const std::string bytes = FileBytes(samples);
    ASSERT_GT(bytes.size(), size_t{4} << 20);

    const Parsed whole = Parse(bytes);
    EXPECT_EQ(whole.failedAt, "");
    ASSERT_EQ(whole.samples.size(), 6000u);
    for (int i = 0; i < 6000; ++i) {
        ASSERT_EQ(whole.samples[i]->GetTitle(), title(i));
        ASSERT_EQ(whole.samples[i]->GetText(), text(i, "\r\n"));
    }

    std::string broken = bytes;
    const size_t at = broken.find("<<<<SAMPLE_END", broken.find("***TITLE=" + title(4500)));
    ASSERT_NE(at, std::string::npos);
    broken[at + 4] = 'X';
    const Parsed cut = Parse(broken);
    EXPECT_NE(cut.failedAt, "");
    ASSERT_EQ(cut.samples.size(), 4500u);
    EXPECT_EQ(cut.samples.back()->GetTitle(), title(4499));
}

// A file that cannot be read to its end says so, whatever was read before.
TEST(CategoryReader, AReadFailingHalfWaySaysSo) {
    const std::string bytes = Fixture("writer_several.txt");
    for (size_t failAt : {size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
        size_t given = 0;
        std::vector<std::unique_ptr<CSample>> out;
        std::vector<RecordSpan> spans;
        const PieceParse r = ParseSamplesInPieces(
            [&](char* into, size_t room, size_t& got) {
                got = std::min(room, failAt - given);
                std::memcpy(into, bytes.data() + given, got);
                given += got;
                return got > 0;
            },
            64, out, spans, [](size_t, std::string_view) {}, nullptr);
        EXPECT_TRUE(r.readFailed) << failAt;
    }
}
