// Reading category files: the format's fixtures in memory, where a broken sequence stops
// the reader, and the messages of reading a file on disk.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "CategoryTestUtil.h"
#include "library/CategoryFormat.h"

namespace {

TEST(CategoryReader, TheFixturesAndTheirOddities) {
    const struct {
        const char* fixture;
        std::vector<CSample> samples;
    } rows[] = {
        {"writer_edge_case.txt", {MakeSample("T", "Tools", "General", "a,b", "x\r\n", "")}},
        {"writer_several.txt",
         {MakeSample("Empty", "C++", "General"),
          MakeSample("LF only", "C++", "GUI", "solo", "one\r\ntwo\r\n", "first\r\n\r\nlast\r\n"),
          MakeSample("No final line end", "C++", "COM", "k1, ,k3", "abc\r\n", "int x;\r\nint y;\r\n")}},
        // "xx***TITLE=abc" passes the title check and loses its first nine characters;
        // keyword lines split by hand are joined without a separator; empty lines
        // written by hand are dropped, a blank line written as CR survives; the first
        // line of a section is never the end marker; duplicates are all read (the
        // document decides about them); the last line may lack its line end.
        {"reader_oddities.txt",
         {MakeSample("E=abc", "C++", "General", "alpha, beta", "a\r\nb\r\n", "***TEXT_END***\r\nx\r\n"),
          MakeSample("Dup", "Java", "COM", "k"), MakeSample("Dup", "Java", "COM", "other", "second\r\n"),
          MakeSample("dup", "Java", "COM")}},
    };
    for (const auto& row : rows) {
        const Parsed r = Parse(Fixture(row.fixture));
        EXPECT_EQ(r.failedAt, "") << row.fixture;
        ASSERT_EQ(r.samples.size(), row.samples.size()) << row.fixture;
        for (size_t i = 0; i < row.samples.size(); ++i)
            EXPECT_TRUE(SameSample(*r.samples[i], row.samples[i])) << row.fixture << " " << i;
    }
    // LF line ends read like CR LF; a lone CR stays part of its line, in every field.
    std::string lfOnly = Fixture("writer_edge_case.txt");
    for (size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;)
        lfOnly.erase(at, 1);
    EXPECT_EQ(Parse(lfOnly).samples.at(0)->GetComments(), "x\r\n");
    const CSample cr = MakeSample("a\rb", "C\r", "S\r", "k\r", "x\ry\r\n");
    EXPECT_TRUE(SameSample(*Parse(FileBytes({cr})).samples.at(0), cr));
}

TEST(CategoryReader, ABrokenSequenceStopsWithItsPositionAndKeepsTheSamplesBefore) {
    const std::string edge = Fixture("writer_edge_case.txt");
    const struct {
        std::string bytes;
        const char* position;
        const char* kept; // the title of the one sample before the error, if any
    } rows[] = {
        {Fixture("seq_start_of_sample.txt"), readpos::kStartOfSample, "Alpha"},
        {Fixture("seq_input_categories.txt"), readpos::kCategories, "Alpha"},
        {Fixture("seq_input_keywords.txt"), readpos::kKeywords, "Alpha"},
        {Fixture("seq_input_comments.txt"), readpos::kComments, "Alpha"},
        {Fixture("seq_input_sample_text.txt"), readpos::kText, "Alpha"},
        {Fixture("seq_end_of_sample.txt"), readpos::kEndOfSample, "Alpha"},
        {"\r\n" + edge, readpos::kStartOfSample, nullptr},
        {edge + "\r\n", readpos::kStartOfSample, "T"},
    };
    for (const auto& row : rows) {
        const Parsed r = Parse(row.bytes);
        EXPECT_EQ(r.failedAt, row.position) << row.bytes;
        ASSERT_EQ(r.samples.size(), row.kept ? 1u : 0u) << row.bytes;
        if (row.kept) {
            EXPECT_EQ(r.samples[0]->GetTitle(), row.kept);
        }
    }
    EXPECT_TRUE(SameSample(*Parse(Fixture("seq_input_comments.txt")).samples.at(0),
                           MakeSample("Alpha", "C++", "General", "red, green", "c1\r\n", "t1\r\n")));
    // The file cut after each of its lines: every cut but the whole file is broken.
    const std::vector<const char*> cuts = {readpos::kCategories, readpos::kCategories, readpos::kCategories,
                                           readpos::kKeywords,   readpos::kKeywords,   readpos::kKeywords,
                                           readpos::kComments,   readpos::kComments,   readpos::kComments,
                                           readpos::kComments,   readpos::kText,       readpos::kText,
                                           readpos::kText,       readpos::kEndOfSample};
    size_t pos = 0;
    for (const char* position : cuts) {
        pos = edge.find('\n', pos) + 1;
        EXPECT_EQ(Parse(edge.substr(0, pos)).failedAt, position) << pos;
    }
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
