// The Library Info report and the load-error export, byte for byte.
#include "DocTestSupport.h"
#include "library/LibraryReport.h"
#include "library/LoadErrorExport.h"

namespace {

// --- Report ------------------------------------------------------------------------------

class Report : public DocFixture {
protected:
    void SetUp() override {
        ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
        store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
        store.PutKey(AppPath({"HiddenSubcats", "Java", "GUI"}));
        store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
        WriteFileBytes("quorrincpp.txt",
                       FileBytes({MakeSample("Zeta", "C++", "GUI"), MakeSample("Alpha", "C++", "")}));
        WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("Solo", "Java", "General")}));
        // A load error, not counted: no category has this name (letter case differs).
        WriteFileBytes("quorrinTools.txt", FileBytes({MakeSample("Odd", "tools", "Sorting")}));
        Load();
    }
};

TEST_F(Report, EmptyLibraryGivesTheLoneLine) {
    CQuorrinDoc empty(config, errors); // never loaded: no categories
    EXPECT_EQ(BuildReport(empty, kReportSummary), "No categories exist in the library\n");
    EXPECT_EQ(BuildReport(empty, kReportDetail), "No categories exist in the library\n");
}

TEST_F(Report, Summary) {
    EXPECT_EQ(BuildReport(*doc, kReportSummary),
              "Library contains 4 categories with a total of 3 sample(s).\r\n\r\n"
              "Category statistics:\r\n\r\n"
              "\tName: C++\tSample count: 2\r\n"
              "\tName: Java\tSample count: 1\r\n"
              "\tName: Tools\tSample count: 0\r\n"
              "\tName: Visual Basic\tSample count: 0\r\n");
}

TEST_F(Report, Detail) {
    EXPECT_EQ(BuildReport(*doc, kReportDetail),
              "Library contains 4 categories with a total of 3 sample(s).\r\n\r\n"
              "Category statistics:\r\n\r\n"
              "Category: C++  (2 samples)\r\n"
              "\tFile name:  quorrincpp.txt\r\n"
              "\tDefault type?  yes\r\n"
              "\tDisplayed?  yes\r\n"
              "\tHidden default sub-categories: (none hidden)\r\n"
              "\tSamples for \"C++\" : \r\n"
              "\t1. Title: Alpha\r\n\t\tSub-category: \r\n\r\n"
              "\t2. Title: Zeta\r\n\t\tSub-category: GUI\r\n\r\n"
              "\t- - - - - - - - - - - - - - -\r\n"
              "Category: Java  (1 sample)\r\n"
              "\tFile name:  quorrinjava.txt\r\n"
              "\tDefault type?  yes\r\n"
              "\tDisplayed?  yes\r\n"
              "\tHidden default sub-categories: \"GUI\" \"COM\" \r\n"
              "\tSamples for \"Java\" : \r\n"
              "\t1. Title: Solo\r\n\t\tSub-category: General\r\n\r\n"
              "\t- - - - - - - - - - - - - - -\r\n"
              "Category: Tools  (0 samples)\r\n"
              "\tFile name:  quorrinTools.txt\r\n"
              "\tDefault type?  no\r\n"
              "\tDisplayed?  yes\r\n"
              "\t- - - - - - - - - - - - - - -\r\n"
              "Category: Visual Basic  (0 samples)\r\n"
              "\tFile name:  quorrinvb.txt\r\n"
              "\tDefault type?  yes\r\n"
              "\tDisplayed?  no\r\n"
              "\tHidden default sub-categories: (none hidden)\r\n"
              "\t- - - - - - - - - - - - - - -\r\n");
}

TEST_F(Report, NamesWithPercentSignsAreCopiedAsTheyAre) {
    doc->AddCategory(std::make_unique<CCategory>("100%s"));
    std::string report = BuildReport(*doc, kReportSummary);
    EXPECT_NE(report.find("\tName: 100%s\tSample count: 0\r\n"), std::string::npos);
}

// --- Export ------------------------------------------------------------------------------

struct ScriptedChooser : ISaveAsChooser {
    std::string answer;
    bool cancel = false;
    std::vector<std::string> proposed;
    bool ChoosePath(const std::string& proposedName, std::string& path) override {
        proposed.push_back(proposedName);
        if (cancel)
            return false;
        path = answer;
        return true;
    }
};

const std::string kHeader = "// This file contains the data from unsaved samples that could not\r\n"
                            "// be loaded into the Quorrin tree.\r\n"
                            "// You will need to manually add these samples into your library.\r\n"
                            "\r\n*********************************\r\n";

const std::string kFirstRecord = "Category: C++\r\n"
                                 "Sub-category: Gone\r\n"
                                 "Title: First\r\n"
                                 "\r\n"
                                 "Keywords: \r\n"
                                 "alpha, beta\r\n"
                                 "\r\n"
                                 "Comments:\r\n"
                                 "line one\r\r\n"
                                 "\r\n"
                                 "Text:\r\n"
                                 "code\r\r\n"
                                 "\r\n"
                                 "\r\n*********************************\r\n";

const std::string kSecondRecord = "Category: Java\r\n"
                                  "Sub-category: \r\n"
                                  "Title: Second\r\n"
                                  "\r\n"
                                  "Keywords: \r\n"
                                  "\r\n"
                                  "\r\n"
                                  "Comments:\r\n"
                                  "\r\n"
                                  "Text:\r\n"
                                  "\r\n"
                                  "\r\n*********************************\r\n";

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        CSample first = MakeSample("First", "C++", "Gone", "alpha,beta", "line one\r\n", "code\r\n");
        first.SetLoadErrorReason(0);
        CSample second = MakeSample("Second", "Java", "");
        second.SetLoadErrorReason(1);
        errors.Add(first);
        errors.Add(second);
        chooser.answer = dir.File("loaderr.txt");
    }
    ~Export() override { fileio::Faults::Clear(); }

    TempDir dir;
    RecordingMessenger messages;
    CLoadErrorList errors;
    ScriptedChooser chooser;
};

TEST_F(Export, TwoRecordsByteForByte) {
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    EXPECT_EQ(chooser.proposed, (std::vector<std::string>{"loaderr.txt"}));
    EXPECT_EQ(ReadFileBytes(chooser.answer), kHeader + kFirstRecord + kSecondRecord);
    EXPECT_EQ(errors.RecordsWritten(), 2);
    EXPECT_EQ(errors.ExportPath(), chooser.answer);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Export, OneRecord) {
    errors.Remove("Second");
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    EXPECT_EQ(ReadFileBytes(chooser.answer), kHeader + kFirstRecord);
}

TEST_F(Export, AnExistingFileIsTruncated) {
    WriteFileBytes(chooser.answer, std::string(5000, 'x'));
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    EXPECT_EQ(ReadFileBytes(chooser.answer), kHeader + kFirstRecord + kSecondRecord);
}

TEST_F(Export, EmptyStoreWritesNothingAndSucceeds) {
    CLoadErrorList empty;
    EXPECT_TRUE(ExportLoadErrors(empty, chooser));
    EXPECT_TRUE(chooser.proposed.empty());
    EXPECT_FALSE(fileio::FileExists(chooser.answer));
}

TEST_F(Export, CancelReturnsFalse) {
    chooser.cancel = true;
    EXPECT_FALSE(ExportLoadErrors(errors, chooser));
    EXPECT_FALSE(fileio::FileExists(chooser.answer));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Export, CreateFailureShowsTheCause) {
    chooser.answer = dir.File("no-such-folder/loaderr.txt");
    EXPECT_FALSE(ExportLoadErrors(errors, chooser));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to create/open " + chooser.answer + ".\nReason: The file could not be located. ");
    EXPECT_EQ(errors.ExportPath(), chooser.answer);
}

TEST_F(Export, WriteFailureSkipsTheRestOfThatRecordOnly) {
    // The fourth write fails: after the header, the asterisks and "Category: C++".
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull, 3);
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to write to file " + chooser.answer + ".\nReason: The disk is full. ");
    EXPECT_EQ(errors.RecordsWritten(), 1);
    // The second record is written whole; records written was still 0 when it started,
    // so it begins with the header again.
    EXPECT_EQ(ReadFileBytes(chooser.answer), kHeader + "Category: C++" + kHeader + kSecondRecord);
}

TEST_F(Export, HeaderOnlyWhileNothingWasWritten) {
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    chooser.answer = dir.File("again.txt");
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    EXPECT_EQ(ReadFileBytes(chooser.answer), kFirstRecord + kSecondRecord);
    EXPECT_EQ(errors.RecordsWritten(), 4);
}

TEST_F(Export, CloseFailureIsShownAndStillSucceeds) {
    fileio::Faults::FailNext(fileio::Op::Close, fileio::kHardIO);
    EXPECT_TRUE(ExportLoadErrors(errors, chooser));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to close " + chooser.answer + ".\nReason: There was a hardware error. ");
}

TEST(TextMode, EveryLfGetsACr) {
    EXPECT_EQ(ToTextMode("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
    EXPECT_EQ(ToTextMode(""), "");
}

} // namespace
