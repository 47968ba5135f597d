// Reading category files: the format's fixtures in memory, where a broken sequence stops
// the reader, and the messages of reading a file on disk.
#include <gtest/gtest.h>

#include <functional>

#include "CategoryTestUtil.h"
#include "library/CategoryFormat.h"

namespace {

TEST(CategoryReader, TheFixturesReadAsWritten) {
    Parsed edge = Parse(Fixture("writer_edge_case.txt"));
    EXPECT_EQ(edge.failedAt, "");
    ASSERT_EQ(edge.samples.size(), 1u);
    EXPECT_TRUE(SameSample(*edge.samples[0], MakeSample("T", "Tools", "General", "a,b", "x\r\n", "")));

    Parsed several = Parse(Fixture("writer_several.txt"));
    EXPECT_EQ(several.failedAt, "");
    ASSERT_EQ(several.samples.size(), 3u);
    EXPECT_TRUE(SameSample(*several.samples[0], MakeSample("Empty", "C++", "General")));
    EXPECT_TRUE(SameSample(*several.samples[1], MakeSample("LF only", "C++", "GUI", "solo", "one\r\ntwo\r\n",
                                                           "first\r\n\r\nlast\r\n")));
    EXPECT_TRUE(SameSample(*several.samples[2], MakeSample("No final line end", "C++", "COM", "k1, ,k3",
                                                           "abc\r\n", "int x;\r\nint y;\r\n")));
}

TEST(CategoryReader, FormatOddities) {
    Parsed r = Parse(Fixture("reader_oddities.txt"));
    EXPECT_EQ(r.failedAt, ""); // the last line is the end marker without a line end
    ASSERT_EQ(r.samples.size(), 4u);
    const CSample& odd = *r.samples[0];
    // 'xx***TITLE=abc' passes the title check and loses its first nine characters.
    EXPECT_EQ(odd.GetTitle(), "E=abc");
    // Keyword lines split by hand are joined without a separator.
    EXPECT_EQ(odd.Keywords(), (Words{"alpha", "beta"}));
    // Empty lines written by hand are dropped; a blank line written as CR survives.
    EXPECT_EQ(odd.GetComments(), "a\r\nb\r\n");
    // The first line of a section is never compared with the end marker.
    EXPECT_EQ(odd.GetText(), "***TEXT_END***\r\nx\r\n");
    // Every record is read, duplicates included: the document decides about those.
    EXPECT_EQ(r.samples[1]->GetKeywords(), "k");
    EXPECT_EQ(r.samples[2]->GetComments(), "second\r\n");
    EXPECT_EQ(r.samples[3]->GetTitle(), "dup");
}

TEST(CategoryReader, LineEndsOtherThanCrLf) {
    const std::string edge = Fixture("writer_edge_case.txt");
    std::string lfOnly;
    for (size_t i = 0; i < edge.size(); ++i)
        if (!(edge[i] == '\r' && i + 1 < edge.size() && edge[i + 1] == '\n'))
            lfOnly.push_back(edge[i]);
    Parsed lf = Parse(lfOnly);
    ASSERT_EQ(lf.samples.size(), 1u);
    EXPECT_EQ(lf.samples[0]->GetComments(), "x\r\n");

    // A lone CR stays part of its line, in every field.
    Parsed cr = Parse(FileBytes({MakeSample("a\rb", "C\r", "S\r", "k\r", "x\ry\r\n")}));
    ASSERT_EQ(cr.samples.size(), 1u);
    EXPECT_TRUE(SameSample(*cr.samples[0], MakeSample("a\rb", "C\r", "S\r", "k\r", "x\ry\r\n")));
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
        Parsed r = Parse(row.bytes);
        EXPECT_EQ(r.failedAt, row.position) << row.bytes;
        ASSERT_EQ(r.samples.size(), row.kept ? 1u : 0u) << row.bytes;
        if (row.kept) {
            EXPECT_EQ(r.samples[0]->GetTitle(), row.kept);
        }
    }
    EXPECT_TRUE(SameSample(*Parse(Fixture("seq_input_comments.txt")).samples[0],
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

// --- Reading a file on disk, and its messages ---

class CategoryFileRead : public ::testing::Test {
protected:
    RecordingMessenger messages;
    TempDir dir;
    std::vector<std::unique_ptr<CSample>> list;
    ~CategoryFileRead() override { fileio::Faults::Clear(); }
};

TEST_F(CategoryFileRead, AWholeFileAnEmptyOneAndAMissingOne) {
    WriteFileBytes("t.txt", Fixture("writer_several.txt"));
    CCategory c = CategoryFor("t.txt");
    ASSERT_TRUE(c.OpenFile());
    EXPECT_TRUE(c.ReadSampleList(list));
    EXPECT_FALSE(c.ReadIncomplete());
    EXPECT_EQ(list.size(), 3u);
    EXPECT_TRUE(c.CloseFile());

    // A missing file is created empty; an empty file reads nothing and is no error.
    CCategory fresh = CategoryFor("new.txt");
    ASSERT_TRUE(fresh.OpenFile());
    EXPECT_FALSE(fresh.ReadSampleList(list));
    EXPECT_FALSE(fresh.ReadIncomplete());
    EXPECT_TRUE(fresh.CloseFile());
    EXPECT_EQ(ReadFileBytes("new.txt"), "");
    // Read-only: shared with a writer, and nothing is created.
    ASSERT_TRUE(c.OpenFile());
    CCategory reader = CategoryFor("t.txt");
    EXPECT_TRUE(reader.OpenFileForRead());
    CCategory absent = CategoryFor("absent.txt");
    EXPECT_FALSE(absent.OpenFileForRead());
    EXPECT_FALSE(fileio::FileExists("absent.txt"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to create/open absent.txt.\nReason: The file "
                                                         "could not be located. "});
}

TEST_F(CategoryFileRead, ASequenceErrorIsShownOnceAndLeavesTheReadIncomplete) {
    WriteFileBytes("t.txt", Fixture("seq_input_keywords.txt"));
    CCategory c = CategoryFor("t.txt");
    ASSERT_TRUE(c.OpenFile());
    EXPECT_FALSE(c.ReadSampleList(list));
    EXPECT_TRUE(c.ReadIncomplete());
    EXPECT_EQ(list.size(), 1u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Error processing input keywords.\nInput file t.txt not in proper sequence!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Stop);
}

// Every failure of opening, reading and closing shows its message with the cause text.
TEST_F(CategoryFileRead, FailuresShowTheirMessages) {
    const struct {
        const char* what;
        std::function<bool(CCategory&)> act;
        std::string message;
    } rows[] = {
        {"no file name", [](CCategory& c) { c.SetFileName(""); return c.OpenFile(); },
         "Unable to open file associated with category Tools.\nReason: File name is missing.\nProbable cause: "
         "Tindrel could not read file name from Registry key."},
        {"open fault",
         [](CCategory& c) {
             fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied);
             return c.OpenFile();
         },
         "Unable to create/open t.txt.\nReason: The file could not be accessed. "},
        {"path through a file", [](CCategory& c) { c.SetFileName("t.txt/x.txt"); return c.OpenFile(); },
         "Unable to create/open t.txt/x.txt.\nReason: All or part of the path is invalid. "},
        {"locked",
         [](CCategory& c) {
             CCategory holder = CategoryFor("t.txt");
             return !holder.OpenFile() || c.OpenFile();
         },
         "Unable to create/open t.txt.\nReason: SHARE.EXE was not loaded, or a shared region was locked. "},
        {"read fault",
         [this](CCategory& c) {
             fileio::Faults::FailNext(fileio::Op::Read, fileio::kHardIO);
             return !c.OpenFile() || c.ReadSampleList(list) || !c.ReadIncomplete();
         },
         "Unable to read from file t.txt.\nReason: There was a hardware error. "},
        {"read unopened", [this](CCategory& c) { return c.ReadSampleList(list) || !c.ReadIncomplete(); },
         "Unable to read from file t.txt.\nReason: There was an attempt to use an invalid file handle. "},
        {"close fault",
         [](CCategory& c) {
             fileio::Faults::FailNext(fileio::Op::Close, fileio::kInvalidFile);
             return !c.OpenFile() || c.CloseFile() || !c.OpenFile(); // the handle is gone all the same
         },
         "Unable to close t.txt.\nReason: There was an attempt to use an invalid file handle. "},
    };
    for (const auto& row : rows) {
        WriteFileBytes("t.txt", Fixture("writer_edge_case.txt"));
        messages.Clear();
        CCategory c = CategoryFor("t.txt");
        EXPECT_FALSE(row.act(c)) << row.what;
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{row.message}) << row.what;
        if (!messages.shown.empty()) {
            EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
        }
        c.CloseFile();
        fileio::Faults::Clear();
    }
}

} // namespace
