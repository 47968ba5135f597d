// The Library Info report and the load-error export, byte for byte against fixtures.
#include "DocTestSupport.h"
#include "library/LibraryReport.h"
#include "library/LoadErrorExport.h"

namespace {

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

TEST_F(Report, SummaryAndDetail) {
    ExpectFileEq(BuildReport(*doc, kReportSummary), "report/summary.txt");
    ExpectFileEq(BuildReport(*doc, kReportDetail), "report/detail.txt");
    // Names are copied as they are, percent signs too.
    doc->AddCategory(std::make_unique<CCategory>("100%s"));
    EXPECT_NE(BuildReport(*doc, kReportSummary).find("\tName: 100%s\tSample count: 0\r\n"),
              std::string::npos);
    CQuorrinDoc empty(config, errors); // never loaded: no categories
    EXPECT_EQ(BuildReport(empty, kReportSummary), "No categories exist in the library\n");
    EXPECT_EQ(BuildReport(empty, kReportDetail), "No categories exist in the library\n");
}

struct ScriptedChooser : ISaveAsChooser {
    std::string answer;
    std::vector<std::string> proposed;
    bool ChoosePath(const std::string& proposedName, std::string& path) override {
        proposed.push_back(proposedName);
        path = answer;
        return true;
    }
};

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        CSample first = MakeSample("First", "C++", "Gone", "alpha,beta", "line one\r\n", "code\r\n");
        first.SetLoadErrorReason(kReasonNoParent);
        CSample second = MakeSample("Second", "Java", "");
        second.SetLoadErrorReason(kReasonDuplicate);
        errors.Add(first);
        errors.Add(second);
        chooser.answer = dir.File("loaderr.txt");
        // The fixture's pieces: the header, then each record with its closing line.
        const std::string stars = "*********************************\r\n";
        const size_t h = two.find(stars) + stars.size();
        const size_t f = two.find(stars, h) + stars.size();
        header = two.substr(0, h);
        firstRecord = two.substr(h, f - h);
        secondRecord = two.substr(f);
    }
    ~Export() override { fileio::Faults::Clear(); }

    TempDir dir;
    RecordingMessenger messages;
    CLoadErrorList errors;
    ScriptedChooser chooser;
    const std::string two = ReadFileBytes(DataPath("export/two-records.txt"));
    std::string header, firstRecord, secondRecord;
};

TEST_F(Export, TwoRecordsOverAnExistingFileAndTheHeaderOnlyWhileNothingWasWritten) {
    WriteFileBytes(chooser.answer, std::string(5000, 'x'));
    EXPECT_TRUE(ExportLoadErrors(errors, chooser, SeamMessages()));
    EXPECT_EQ(chooser.proposed, (std::vector<std::string>{"loaderr.txt"}));
    ExpectFileEq(FileAt{chooser.answer}, "export/two-records.txt");
    EXPECT_EQ(errors.RecordsWritten(), 2);
    EXPECT_EQ(errors.ExportPath(), chooser.answer);
    chooser.answer = dir.File("again.txt");
    EXPECT_TRUE(ExportLoadErrors(errors, chooser, SeamMessages()));
    EXPECT_EQ(ReadFileBytes(chooser.answer), firstRecord + secondRecord);
    EXPECT_EQ(errors.RecordsWritten(), 4);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ToTextMode("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
}

TEST_F(Export, AFailedHeaderSkipsItsRecordAndTheNextBeginsWithTheHeader) {
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull);
    EXPECT_TRUE(ExportLoadErrors(errors, chooser, SeamMessages()));
    EXPECT_EQ(ReadFileBytes(chooser.answer), header + secondRecord);
    EXPECT_EQ(errors.RecordsWritten(), 1);
    EXPECT_EQ(messages.Texts().size(), 1u);
}

} // namespace
