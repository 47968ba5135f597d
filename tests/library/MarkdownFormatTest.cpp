// Markdown, one file per sample: the file written for an awkward sample byte for byte, the
// round trip of random samples as the library reads them back, and files of other origin.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "CategoryTestUtil.h"
#include "library/ImportSource.h"
#include "library/MarkdownFormat.h"

namespace {

CSample FromRecord(const InterchangeRecord& r) {
    CSample s;
    s.SetTitle(r.title);
    s.SetCategory(r.category);
    s.SetSubcategory(r.subcategory);
    std::string joined;
    for (const auto& k : r.keywords)
        joined += (joined.empty() ? "" : ", ") + k;
    s.SetKeywords(joined);
    s.SetComments(r.comments);
    s.SetText(r.text);
    return s;
}

InterchangeResult Import(const std::string& bytes) {
    InterchangeResult result;
    markdown::ImportFile(bytes, "x.md", "stem", {"Folder", "Sub"}, result);
    return result;
}

TEST(MarkdownFormat, AwkwardSampleAsAFileAndBack) {
    // Backtick runs in both parts, a fence-like line in the comments, blanks at the ends,
    // CR LF, a lone CR, $ and } and a Windows-1252 text (0xE9, 0x80).
    const CSample s = MakeSample("Quote \"A\": b", "C++", "GUI", "one, two", " ```x``` \r\n\r\n",
                                 "\r\n  caf\xE9 \x80 ````\r\n```\r\n${1:x}\\ \r\n\r\n");
    const std::string file = markdown::ExportSample(s, "cpp");
    ExpectFileEq(file, "interchange/awkward.md");
    const InterchangeResult back = Import(file);
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_TRUE(back.warnings.empty());
    EXPECT_EQ(Dump(FromRecord(back.records[0])), Dump(s));
    EXPECT_EQ(back.records[0].language, "cpp");
}

// Random samples, each first written to a category file and read back as the library
// would; the Markdown file of that sample must give back every byte of every field.
TEST(MarkdownFormat, RandomSamplesComeBackByteForByte) {
    std::mt19937 random(20261207);
    const std::vector<std::string> pieces = {"a",  "\xC3\xA9", "\xE9", "\x80", " ",   "\t",  "\r\n", "\r\n",
                                             "`",  "```",      "~~~",  "$1",   "}",   "\\",  "---",  "\r",
                                             "#",  "- x",      "\"",   ":",    "  ",  "\x9D", "\x01", "z"};
    auto piece = [&](int most) {
        std::string out;
        for (int n = std::uniform_int_distribution<int>(0, most)(random); n > 0; --n)
            out += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
        return out;
    };
    auto oneLine = [&](int most) {
        std::string out;
        for (char c : piece(most))
            if (c != '\n')
                out += c;
        return out;
    };
    int checked = 0;
    for (int round = 0; round < 300; ++round) {
        const CSample made = MakeSample("t" + oneLine(6), "c" + oneLine(3), oneLine(3), oneLine(5),
                                        piece(12), piece(30));
        const Parsed read = Parse(FileBytes({made}));
        if (read.samples.size() != 1 || !read.failedAt.empty())
            continue; // a field the category file cannot hold never reaches an export
        const CSample& s = *read.samples[0];
        const InterchangeResult back = Import(markdown::ExportSample(s, round % 2 ? "cpp" : ""));
        ASSERT_EQ(back.records.size(), 1u) << Dump(s);
        EXPECT_EQ(Dump(FromRecord(back.records[0])), Dump(s)) << "round " << round;
        ++checked;
    }
    EXPECT_GT(checked, 250);
}

TEST(MarkdownFormat, FilesOfOtherOrigin) {
    // No front matter: title from the file name, place from the folders; LF becomes CR LF;
    // a tilde fence; prose after the block joins the comments, with a warning.
    InterchangeResult r = Import("Some prose.\n\n~~~python\nprint(1)\n~~~\n\nMore.\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(Dump(FromRecord(r.records[0])), Dump(MakeSample("stem", "Folder", "Sub", "",
                                                             "Some prose.\r\n\r\nMore.", "print(1)")));
    EXPECT_EQ(r.records[0].language, "python");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].Describe(), "x.md:7: the prose after the code block is added to the comments");

    // Broken front matter: reported, nothing imported; an open block runs to the end.
    r = Import("---\ntitle: [unclosed\n---\n```\nx\n");
    EXPECT_TRUE(r.records.empty());
    ASSERT_EQ(r.warnings.size(), 1u);
    r = Import("---\ntitle: T\nkeywords: k\n---\n```\nx\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].text, "x\r\n");
    EXPECT_EQ(r.records[0].keywords, std::vector<std::string>{"k"});
    EXPECT_EQ(r.warnings.at(0).Describe(), "x.md:5: the code block is not closed; it runs to the end of the file");
    EXPECT_EQ(Import("---\ntitle: T\n").warnings.size(), 1u);
}

// A folder read whole: the folder right below it names the category, the next one the
// sub-category; a deeper folder is no place of the library (its samples go into the
// sub-category its path starts with, said once), and front matter places its own file.
TEST(MarkdownFormat, FoldersGiveCategoryAndSubcategory) {
    TempDir dir;
    const std::string plain = "```\nx\n```\n";
    for (const char* path :
         {"md/Cat/top.md", "md/Cat/Sub/one.md", "md/Cat/Sub/Deep/er/two.md", "md/Cat/Sub/Deep/er/three.md"}) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(path)).parent_path());
        WriteFileBytes(dir.File(path), plain);
    }
    WriteFileBytes(dir.File("md/Cat/Sub/Deep/placed.md"),
                   "---\ntitle: P\ncategory: C\nsubcategory: \"\"\n---\n" + plain);
    InterchangeResult r;
    importsource::Read("markdown", {dir.File("md")}, r);
    std::vector<std::string> places;
    for (const auto& rec : r.records)
        places.push_back(rec.title + ": " + rec.category + " / " + rec.subcategory);
    EXPECT_EQ(places, (std::vector<std::string>{"three: Cat / Sub", "two: Cat / Sub", "P: C / ",
                                                "one: Cat / Sub", "top: Cat / "}));
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].text,
              "the folder \"Cat/Sub/Deep/er\" lies deeper than a sub-category; its samples go "
              "into \"Cat\" / \"Sub\"");
}

} // namespace
