#include <gtest/gtest.h>

#include "library/CategoryWriter.h"
#include "CategoryTestUtil.h"
#include "support/TestSupport.h"

namespace {

const std::string kFile = "quorrintest.txt";

class CategoryReader : public ::testing::Test {
protected:
    RecordingMessenger messages;
    TempDir dir;
    FaultGuard faults;

    ReadResult ReadFixture(const std::string& fixture) {
        WriteFileBytes(kFile, ReadFileBytes(Fixture(fixture)));
        return ReadCategoryFile(kFile);
    }
    ReadResult ReadBytes(const std::string& bytes) {
        WriteFileBytes(kFile, bytes);
        return ReadCategoryFile(kFile);
    }
};

TEST_F(CategoryReader, EmptyFileYieldsNothingAndNoMessage) {
    ReadResult r = ReadBytes("");
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.complete);
    EXPECT_FALSE(r.incomplete);
    EXPECT_TRUE(r.samples.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryReader, MissingFileIsCreatedEmpty) {
    ReadResult r = ReadCategoryFile("quorrinnew.txt");
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(fileio::FileExists("quorrinnew.txt"));
    EXPECT_EQ(ReadFileBytes("quorrinnew.txt"), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryReader, ReadsTheWrittenEdgeCaseBack) {
    ReadResult r = ReadFixture("writer_edge_case.txt");
    EXPECT_TRUE(r.complete);
    EXPECT_FALSE(r.incomplete);
    ASSERT_EQ(r.samples.size(), 1u);
    const CSample& s = *r.samples.at("T");
    EXPECT_EQ(s.GetCategory(), "Tools");
    EXPECT_EQ(s.GetSubcategory(), "General");
    EXPECT_EQ(s.Keywords(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(s.GetComments(), "x\r\n");
    EXPECT_EQ(s.GetText(), "");
    EXPECT_EQ(s.GetLoadErrorReason(), -1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryReader, SeveralSamplesWithEmptySections) {
    ReadResult r = ReadFixture("writer_several.txt");
    ASSERT_TRUE(r.complete);
    ASSERT_EQ(r.samples.size(), 3u);
    const CSample& empty = *r.samples.at("Empty");
    EXPECT_EQ(empty.GetKeywordCount(), 0u);
    EXPECT_EQ(empty.GetComments(), "");
    EXPECT_EQ(empty.GetText(), "");
    const CSample& lf = *r.samples.at("LF only");
    EXPECT_EQ(lf.GetComments(), "one\r\ntwo\r\n");
    EXPECT_EQ(lf.GetText(), "first\r\n\r\nlast\r\n");
    const CSample& noEnd = *r.samples.at("No final line end");
    EXPECT_EQ(noEnd.Keywords(), (std::vector<std::string>{"k1", "", "k3"}));
    EXPECT_EQ(noEnd.GetComments(), "abc\r\n");
    EXPECT_EQ(noEnd.GetText(), "int x;\r\nint y;\r\n");
}

TEST_F(CategoryReader, FormatOddities) {
    ReadResult r = ReadFixture("reader_oddities.txt");
    EXPECT_TRUE(r.complete); // last line is the end marker without a line end
    EXPECT_FALSE(r.incomplete);
    ASSERT_EQ(r.samples.size(), 3u);

    // 'xx***TITLE=abc' passes the title check and loses its first nine characters.
    const CSample& odd = *r.samples.at("E=abc");
    // Keyword lines split by hand are joined without a separator.
    EXPECT_EQ(odd.Keywords(), (std::vector<std::string>{"alpha", "beta"}));
    // Empty lines written by hand are dropped; a blank line written as CR survives.
    EXPECT_EQ(odd.GetComments(), "a\r\nb\r\n");
    // The first line of a section is never compared with the end marker.
    EXPECT_EQ(odd.GetText(), "***TEXT_END***\r\nx\r\n");

    // The first sample under a title wins; the second is a load error with reason 1.
    EXPECT_EQ(r.samples.at("Dup")->GetKeywords(), "k");
    EXPECT_EQ(r.samples.at("Dup")->GetLoadErrorReason(), -1);
    ASSERT_EQ(r.errors.GetCount(), 1);
    CSample error;
    CLoadErrorList::Cursor cursor;
    ASSERT_TRUE(r.errors.GetFirst(error, cursor));
    EXPECT_EQ(error.GetTitle(), "Dup");
    EXPECT_EQ(error.GetKeywords(), "other");
    EXPECT_EQ(error.GetComments(), "second\r\n");
    EXPECT_EQ(error.GetLoadErrorReason(), kReasonDuplicate);
    // Titles differing only in case are different titles.
    EXPECT_TRUE(r.samples.count("dup"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryReader, DuplicatesAcrossFilesKeepTheFirstRead) {
    WriteFileBytes("a.txt", ReadFileBytes(Fixture("writer_edge_case.txt")));
    WriteFileBytes("b.txt", ReadFileBytes(Fixture("writer_edge_case.txt")));
    SampleMap map;
    CLoadErrorList errors;
    CCategory a = CategoryFor("a.txt");
    CCategory b = CategoryFor("b.txt");
    ASSERT_TRUE(a.OpenFile());
    EXPECT_TRUE(ReadInto(a, map, errors));
    a.CloseFile();
    ASSERT_TRUE(b.OpenFile());
    EXPECT_TRUE(ReadInto(b, map, errors));
    b.CloseFile();
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(errors.GetCount(), 1);
    EXPECT_FALSE(b.ReadIncomplete()); // a duplicate is not a reading failure
}

struct SequenceCase {
    const char* fixture;
    const char* position;
};

class CategoryReaderSequence : public CategoryReader, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(CategoryReaderSequence, StopsWithTheNamedPositionAndKeepsEarlierSamples) {
    ReadResult r = ReadFixture(GetParam().fixture);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.incomplete);
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_TRUE(r.samples.count("Alpha"));
    EXPECT_EQ(r.samples.at("Alpha")->GetComments(), "c1\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, std::string("Error processing ") + GetParam().position +
                                          ".\nInput file quorrintest.txt not in proper sequence!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Stop);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(r.errors.GetCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllPositions, CategoryReaderSequence,
                         ::testing::Values(SequenceCase{"seq_start_of_sample.txt", "at start of sample"},
                                           SequenceCase{"seq_input_categories.txt", "input categories"},
                                           SequenceCase{"seq_input_keywords.txt", "input keywords"},
                                           SequenceCase{"seq_input_comments.txt", "input comments"},
                                           SequenceCase{"seq_input_sample_text.txt", "input sample text"},
                                           SequenceCase{"seq_end_of_sample.txt", "at end of sample"}));

TEST_F(CategoryReader, BlankLineBeforeTheFirstSample) {
    ReadResult r = ReadBytes("\r\n" + ReadFileBytes(Fixture("writer_edge_case.txt")));
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.samples.empty());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("at start of sample"), std::string::npos);
}

TEST_F(CategoryReader, BlankLineAfterTheLastSample) {
    ReadResult r = ReadBytes(ReadFileBytes(Fixture("writer_edge_case.txt")) + "\r\n");
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.samples.size(), 1u);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("at start of sample"), std::string::npos);
}

TEST_F(CategoryReader, EndOfFileInsideEachSection) {
    const std::string whole = ReadFileBytes(Fixture("writer_edge_case.txt"));
    // Cut after each line: every cut but the full file is a sequence error.
    std::vector<std::string> expected = {
        "input categories",  "input categories",  "input categories",  "input keywords",  "input keywords",
        "input keywords",    "input comments",    "input comments",    "input comments",  "input comments",
        "input sample text", "input sample text", "input sample text", "at end of sample"};
    size_t pos = 0;
    for (const auto& position : expected) {
        pos = whole.find('\n', pos) + 1;
        messages.Clear();
        ReadResult r = ReadBytes(whole.substr(0, pos));
        EXPECT_FALSE(r.complete) << pos;
        ASSERT_EQ(messages.Texts().size(), 1u) << pos;
        EXPECT_NE(messages.Texts()[0].find(position), std::string::npos)
            << pos << ": " << messages.Texts()[0];
    }
}

TEST_F(CategoryReader, LoneCrStaysPartOfTheLine) {
    CSample s = MakeSample("a\rb", "C\r", "S", "k\r", "x\ry\r\n", "");
    std::string bytes;
    AppendSampleBytes(bytes, s);
    ReadResult r = ReadBytes(bytes);
    ASSERT_TRUE(r.complete);
    ASSERT_TRUE(r.samples.count("a\rb"));
    const CSample& back = *r.samples.at("a\rb");
    EXPECT_EQ(back.GetCategory(), "C\r");
    EXPECT_EQ(back.Keywords(), (std::vector<std::string>{"k\r"}));
    EXPECT_EQ(back.GetComments(), "x\ry\r\n");
}

TEST_F(CategoryReader, LfOnlyFileReadsLikeCrLf) {
    std::string bytes = ReadFileBytes(Fixture("writer_edge_case.txt"));
    std::string lfOnly;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            lfOnly.push_back(bytes[i]);
    ReadResult r = ReadBytes(lfOnly);
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.samples.at("T")->GetComments(), "x\r\n");
}

TEST_F(CategoryReader, OpenWithoutFileNameShowsTheRegistryMessage) {
    CCategory c("Tools");
    c.SetFileName("");
    EXPECT_FALSE(c.OpenFile());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to open file associated with category Tools.\nReason: File name is "
              "missing.\nProbable cause: Tindrel could not read file name from Registry key.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(c.OpenFileForRead());
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(CategoryReader, OpenFailureShowsTheCauseText) {
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied);
    CCategory c = CategoryFor(kFile);
    EXPECT_FALSE(c.OpenFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{
                  "Unable to create/open quorrintest.txt.\nReason: The file could not be accessed. "});
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
}

TEST_F(CategoryReader, OpenFailureFromTheSystemIsMapped) {
    WriteFileBytes("plain", "x");
    CCategory c = CategoryFor("plain/quorrintest.txt");
    EXPECT_FALSE(c.OpenFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to create/open plain/quorrintest.txt.\nReason: All or "
                                       "part of the path is invalid. "});
    messages.Clear();
    CCategory d = CategoryFor("missing-folder/quorrintest.txt");
    EXPECT_FALSE(d.OpenFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to create/open missing-folder/quorrintest.txt.\n"
                                       "Reason: The file could not be located. "});
}

TEST_F(CategoryReader, ReadFailureShowsTheReadMessage) {
    WriteFileBytes(kFile, ReadFileBytes(Fixture("writer_several.txt")));
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    fileio::Faults::FailNext(fileio::Op::Read, fileio::kHardIO);
    SampleMap map;
    CLoadErrorList errors;
    EXPECT_FALSE(ReadInto(c, map, errors));
    EXPECT_TRUE(c.ReadIncomplete());
    EXPECT_TRUE(map.empty());
    EXPECT_TRUE(c.CloseFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{
                  "Unable to read from file quorrintest.txt.\nReason: There was a hardware error. "});
}

TEST_F(CategoryReader, ReadWithoutOpenIsAnInvalidHandle) {
    WriteFileBytes(kFile, "x");
    CCategory c = CategoryFor(kFile);
    SampleMap map;
    CLoadErrorList errors;
    EXPECT_FALSE(ReadInto(c, map, errors));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to read from file quorrintest.txt.\nReason: There "
                                       "was an attempt to use an invalid file handle. "});
}

TEST_F(CategoryReader, CloseFailureAfterReadingShowsTheCloseMessage) {
    WriteFileBytes(kFile, "");
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    fileio::Faults::FailNext(fileio::Op::Close, fileio::kInvalidFile);
    EXPECT_FALSE(c.CloseFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to close quorrintest.txt.\nReason: There was an "
                                       "attempt to use an invalid file handle. "});
    // The handle is gone all the same: the file can be opened again.
    EXPECT_TRUE(c.OpenFile());
    EXPECT_TRUE(c.CloseFile());
}

TEST_F(CategoryReader, ExclusiveOpenRefusesASecondOpener) {
    WriteFileBytes(kFile, "");
    CCategory first = CategoryFor(kFile);
    CCategory second = CategoryFor(kFile);
    ASSERT_TRUE(first.OpenFile());
    EXPECT_FALSE(second.OpenFile());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to create/open quorrintest.txt.\nReason: SHARE.EXE "
                                       "was not loaded, or a shared region was locked. "});
    // A read-only opener is not refused.
    CCategory reader = CategoryFor(kFile);
    EXPECT_TRUE(reader.OpenFileForRead());
    reader.CloseFile();
    first.CloseFile();
    messages.Clear();
    EXPECT_TRUE(second.OpenFile());
    second.CloseFile();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryReader, ReadOnlyOpenCreatesNothing) {
    CCategory c = CategoryFor("absent.txt");
    EXPECT_FALSE(c.OpenFileForRead());
    EXPECT_FALSE(fileio::FileExists("absent.txt"));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{
                  "Unable to create/open absent.txt.\nReason: The file could not be located. "});
    WriteFileBytes(kFile, ReadFileBytes(Fixture("writer_edge_case.txt")));
    CCategory d = CategoryFor(kFile);
    ASSERT_TRUE(d.OpenFileForRead());
    SampleMap map;
    CLoadErrorList errors;
    EXPECT_TRUE(ReadInto(d, map, errors));
    EXPECT_TRUE(d.CloseFile());
    EXPECT_EQ(map.size(), 1u);
}

} // namespace
