// VS Code snippet files: what a file with comments, trailing commas, list and string
// bodies gives, the way back out equal field by field, escaping, and bad input.
#include <gtest/gtest.h>

#include <map>

#include "CategoryTestUtil.h"
#include "library/VsCodeFormat.h"
#include "support/SnippetFileReader.h"

namespace {

CSample ToSample(const InterchangeRecord& r) {
    CSample s = MakeSample(r.title, vscode::CategoryForLanguage(r.language), "", "", r.comments, r.text);
    std::string joined;
    for (const auto& k : r.keywords)
        joined += (joined.empty() ? "" : ", ") + k;
    s.SetKeywords(joined);
    return s;
}

TEST(VsCodeFormat, FileInAndOutEqualFieldByField) {
    const std::string original = ReadFileBytes(DataPath("interchange/snippets.code-snippets"));
    InterchangeResult in;
    vscode::ImportFile(original, "s.code-snippets", "s.code-snippets", in);
    ASSERT_EQ(in.records.size(), 3u);
    // Two snippets without a body of text, each reported with its line.
    ASSERT_EQ(in.warnings.size(), 2u);
    EXPECT_EQ(in.warnings[0].Describe(), "s.code-snippets:17: the snippet \"No body\" has no body of text; it is not imported");
    EXPECT_EQ(in.warnings[1].Describe(), "s.code-snippets:16: the snippet \"Not a snippet\" is not an object; it is not imported");
    const InterchangeRecord& loop = in.records[1];
    EXPECT_EQ(loop.title, "For loop");
    EXPECT_EQ(loop.text, "for (int ${1:i} = 0; $1 < ${2:n}; ++$1) {\r\n\t$0\r\n}");
    EXPECT_EQ(loop.comments, "A counting loop\r\nwith a second line");
    EXPECT_EQ(loop.keywords, (std::vector<std::string>{"for", "loop", vscode::kSnippetKeyword}));
    EXPECT_EQ(vscode::CategoryForLanguage(loop.language), "C++");
    EXPECT_EQ(vscode::CategoryForLanguage(in.records[2].language), "python");
    EXPECT_EQ(vscode::CategoryForLanguage(in.records[0].language), "Java");

    // Out one file per category, and the snippets of all files are the original ones.
    std::map<std::string, std::vector<CSample>> byCategory;
    for (const auto& r : in.records)
        byCategory[ToSample(r).GetCategory()].push_back(ToSample(r));
    std::map<std::string, SnippetSeen> back;
    for (const auto& [category, samples] : byCategory) {
        std::vector<const CSample*> pointers;
        for (const auto& s : samples)
            pointers.push_back(&s);
        back.merge(SnippetsOf(vscode::ExportSamples(pointers, "x")));
    }
    EXPECT_EQ(back, SnippetsOf(original));
}

TEST(VsCodeFormat, LibraryTextIsInsertedLiterally) {
    const CSample s = MakeSample("Money", "Shell", "", "cash", "", "echo ${HOME} \\ $1\r\nnext");
    const std::string file = vscode::ExportSamples({&s}, "shellscript");
    ExpectFileEq(file, "interchange/literal.code-snippets");
    EXPECT_EQ(SnippetsOf(file)["Money"].body, "echo \\${HOME\\} \\\\ \\$1\nnext");
}

TEST(VsCodeFormat, BadInputGivesWarnings) {
    for (const char* bad : {"", "[1, 2]", "{\"a\": {\"body\": \"x\"", "{\"a\": {\"body\": [1]}}", "\xFF"}) {
        InterchangeResult r;
        vscode::ImportFile(bad, "b.json", "b.json", r);
        EXPECT_TRUE(r.records.empty()) << bad;
        EXPECT_EQ(r.warnings.size(), 1u) << bad;
    }
    // A name given twice: said, and the later one taken, as VS Code does.
    InterchangeResult r;
    vscode::ImportFile("{\"a\": {\"body\": \"1\"},\n \"a\": {\"body\": \"2\"}}", "d.json", "cpp.json", r);
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].text, "2");
    EXPECT_EQ(r.records[0].language, "cpp");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].text.find("Duplicate key: 'a'"), std::string::npos) << r.warnings[0].text;
}

} // namespace
