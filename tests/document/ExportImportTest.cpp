// A library with awkward texts exported and imported into an empty folder: as Markdown
// its category files come back byte for byte; as source files title and text come back;
// an export replaces no file unless asked.
#include <filesystem>

#include "DocTestSupport.h"
#include "library/ImportPlan.h"
#include "library/ImportSource.h"
#include "library/LibraryExport.h"
#include "support/SnippetFileReader.h"

namespace {

namespace fs = std::filesystem;

// The library in a folder as a new window would read it.
struct ReadBack {
    explicit ReadBack(const std::string& folder) {
        config.LoadProfile();
        doc.SetFolder(folder);
        EXPECT_TRUE(doc.OnNewDocument(LoadMode::ReadOnly));
    }
    MemoryKeyStore store;
    CLibraryConfig config{store};
    CLoadErrorList errors;
    CQuorrinDoc doc{config, errors};
};

class ExportImportTest : public DocFixture {
protected:
    void Fill() {
        Load();
        ConfigureCustom("Shell", "quorrinShell.txt", {"Git"});
        Close();
        Load();
        ASSERT_TRUE(Add(MakeSample("CR LF and blanks", "C++", "GUI", "a, b", "  lead\r\n\r\n", "\r\n x \r\n\r\n")));
        ASSERT_TRUE(Add(MakeSample("Backticks", "Java", "COM", "", "```", "````\r\n`` ` ```````\r\n$1 }")));
        ASSERT_TRUE(Add(MakeSample("caf\xE9", "Java", "", "\xE9t\xE9", "\x80 euro", "na\xEFve\r\n")));
        ASSERT_TRUE(Add(MakeSample("a/b: \"slash\"", "Shell", "", "", "", "echo\r\n***TEXT_END*** x\r\n")));
        ASSERT_TRUE(doc->OnSaveDocument());
        Close();
        Load(); // the samples as the library reads them back
    }
    ExportReport Export(const std::string& format, const std::string& out, bool overwrite = false) {
        ExportOptions options;
        options.format = format;
        options.folder = out;
        options.overwrite = overwrite;
        options.languageOf = [](const std::string& c) { return c == "C++" ? "cpp" : "plain"; };
        ExportReport report;
        const bool ok = ExportLibrary(*doc, options, report);
        EXPECT_EQ(ok, report.error.empty()) << report.error;
        return report;
    }
    // Imports the folder into a library of its own in folder `into`; returns its samples.
    void ImportInto(const std::string& format, const std::string& from, const std::string& into) {
        fs::create_directories(into);
        MemoryKeyStore otherStore;
        CLibraryConfig otherConfig(otherStore);
        otherConfig.LoadProfile();
        CLoadErrorList otherErrors;
        CQuorrinDoc other(otherConfig, otherErrors);
        other.SetFolder(into);
        ASSERT_TRUE(other.OnNewDocument());
        InterchangeResult read;
        importsource::Read(format, {from}, read);
        const ImportPlan plan = PlanImport(other, otherErrors, read, {});
        EXPECT_TRUE(plan.warnings.empty()) << plan.Describe();
        ASSERT_TRUE(ApplyImport(other, plan));
        described = plan.Describe();
    }
    std::string described; // what the last import said it would do
};

TEST_F(ExportImportTest, MarkdownComesBackByteForByte) {
    Fill();
    const ExportReport report = Export("markdown", dir.File("md"));
    EXPECT_EQ(report.files, 4);
    EXPECT_TRUE(fs::exists(dir.File("md/Java/COM/Backticks.md")));
    EXPECT_TRUE(fs::exists(dir.File("md/Shell/a_b: \"slash\".md")));
    ImportInto("markdown", dir.File("md"), dir.File("again"));
    // Read back from the new folder, every sample is the one read from the old.
    ReadBack again(dir.File("again"));
    const CQuorrinDoc& back = again.doc;
    ASSERT_EQ(back.GetSampleCount(), 4);
    for (const auto& [key, sample] : doc->Samples()) {
        const std::string& title = sample->GetTitle();
        ASSERT_NE(back.PeekSample(title), nullptr) << title;
        EXPECT_TRUE(SameRecord(*back.PeekSample(title), *sample)) << title;
    }
}

// Snippet files of six languages as users keep them (289 snippets: list and string
// bodies, list prefixes, snippet syntax, escapes, comments, trailing commas) imported into
// an empty library and exported from it as it reads back: each file's snippets come back
// with the same prefix, body and description, in its language's category. A name an
// earlier file took comes back as the import's rename said.
TEST_F(ExportImportTest, VsCodeFilesComeBackFieldByField) {
    const std::string from = DataPath("interchange/vscode");
    ImportInto("vscode", from, dir.File("lib"));
    for (const char* rename : {"\"main\" to \"main (2)\"", "\"Struct\" to \"Struct (2)\"",
                               "\"Class\" to \"Class (4)\"", "\"Try catch\" to \"Try catch (2)\""})
        EXPECT_NE(described.find(rename), std::string::npos) << rename;
    ReadBack again(dir.File("lib"));
    ExportOptions options;
    options.format = "vscode";
    options.folder = dir.File("out");
    ExportReport report;
    ASSERT_TRUE(ExportLibrary(again.doc, options, report)) << report.error;
    EXPECT_EQ(report.samples, 289);
    struct Expected {
        const char* file;
        const char* category;
        std::map<std::string, std::string> renamed;
    };
    const Expected files[] = {
        {"cpp.json", "C++", {}},
        {"go.json", "go", {{"main", "main (2)"}, {"Struct", "Struct (2)"}}},
        {"java.json", "Java", {{"Class", "Class (2)"}}},
        {"python.code-snippets", "python", {{"Class", "Class (3)"}, {"main", "main (3)"}}},
        {"shellscript.json", "shellscript", {{"Shebang", "Shebang (2)"}}},
        {"web.code-snippets", "javascript", {{"Class", "Class (4)"}, {"Try catch", "Try catch (2)"}}},
    };
    for (const auto& f : files) {
        std::map<std::string, SnippetSeen> expected;
        for (auto& [name, snippet] : SnippetsOf(ReadFileBytes(from + "/" + f.file)))
            expected[f.renamed.count(name) ? f.renamed.at(name) : name] = snippet;
        EXPECT_GT(expected.size(), 20u) << f.file;
        EXPECT_EQ(SnippetsOf(ReadFileBytes(dir.File("out/" + std::string(f.category) + ".code-snippets"))),
                  expected)
            << f.file;
    }
}

TEST_F(ExportImportTest, SourceFilesKeepTitleAndTextAndSaySo) {
    Fill();
    const ExportReport report = Export("files", dir.File("src"));
    EXPECT_EQ(report.lost, std::vector<std::string>{"keywords and comments (a source file holds only the text)"});
    EXPECT_EQ(ReadFileBytes(dir.File("src/C++/GUI/CR LF and blanks.cpp")), "\n x \n\n");
    ImportInto("files", dir.File("src"), dir.File("again"));
    Close();
    ReadBack again(dir.File("again"));
    const CQuorrinDoc& back = again.doc;
    ASSERT_NE(back.PeekSample("CR LF and blanks"), nullptr);
    EXPECT_EQ(back.PeekSample("CR LF and blanks")->GetText(), "\r\n x \r\n\r\n");
    EXPECT_EQ(back.PeekSample("CR LF and blanks")->GetSubcategory(), "GUI");
}

TEST_F(ExportImportTest, NothingReplacedUnlessAsked) {
    Fill();
    fs::create_directories(dir.File("vs"));
    WriteFileBytes(dir.File("vs/Shell.code-snippets"), "mine");
    ExportReport refused = Export("vscode", dir.File("vs"));
    EXPECT_NE(refused.error.find("Shell.code-snippets is there already"), std::string::npos);
    EXPECT_TRUE(refused.fileThere);
    EXPECT_EQ(refused.files, 0);
    EXPECT_FALSE(fs::exists(dir.File("vs/C++.code-snippets")));
    EXPECT_EQ(ReadFileBytes(dir.File("vs/Shell.code-snippets")), "mine");
    const ExportReport done = Export("vscode", dir.File("vs"), true);
    EXPECT_EQ(done.files, 3);
    EXPECT_EQ(done.lost, std::vector<std::string>{"sub-categories (a VS Code snippet has no place for one)"});
}

} // namespace
