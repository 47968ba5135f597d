// Other snippet managers' files, written by the formats' published descriptions: every
// fragment comes in, folders give the place, tags the keywords; bad input only warns.
#include <gtest/gtest.h>

#include "CategoryTestUtil.h"
#include "library/ImportSource.h"
#include "library/SnippetDbFormat.h"

namespace {

std::string Line(const InterchangeRecord& r) {
    std::string keywords;
    for (const auto& k : r.keywords)
        keywords += "[" + k + "]";
    return r.title + " | " + r.category + " | " + r.subcategory + " | " + keywords + " | " + r.comments + " | " +
           r.text + " | " + r.language;
}

std::vector<std::string> Lines(const InterchangeResult& r) {
    std::vector<std::string> out;
    for (const auto& rec : r.records)
        out.push_back(Line(rec));
    for (const auto& w : r.warnings)
        out.push_back("warning " + w.Describe());
    return out;
}

TEST(SnippetDbFormat, MassCodeDbWithEveryFragment) {
    InterchangeResult r;
    snippetdb::ImportMassCodeDb(ReadFileBytes(DataPath("interchange/masscode-db.json")), "db.json", r);
    EXPECT_EQ(
        Lines(r),
        (std::vector<std::string>{
            "Submit | Web | Forms | [dom][forms] | Posts the form | form.submit();\r\n | javascript",
            "Submit \xE2\x80\x94 Markup | Web | Forms | [dom][forms] | Posts the form | <form></form> | html",
            "Inbox |  |  |  |  | pass | python", "Nested | Web | Forms |  |  | a {} | css",
            "warning db.json:12: \"Gone\" is in massCode's trash; it is not imported",
            "warning db.json:15: the folder \"Web/Forms/Deep\" lies deeper than a sub-category; its "
            "samples go into \"Web\" / \"Forms\""}));
}

TEST(SnippetDbFormat, MassCodeVaultNote) {
    InterchangeResult r;
    importsource::Read("masscode", {DataPath("interchange/vault")}, r);
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(Line(r.records[0]), "Reset | Web | Forms | [dom] | Clears the form | form.reset(); | javascript");
    EXPECT_EQ(Line(r.records[1]), "Reset \xE2\x80\x94 Markup | Web | Forms | [dom] | Clears the form | <button type=\"reset\"> | html");
    std::string why;
    EXPECT_EQ(importsource::GuessFormat({DataPath("interchange/vault")}, why), "masscode");
}

TEST(SnippetDbFormat, SnippetsLabExport) {
    InterchangeResult r;
    snippetdb::ImportSnippetsLab(ReadFileBytes(DataPath("interchange/snippetslab.json")), "s.json", r);
    EXPECT_EQ(Lines(r), (std::vector<std::string>{
                            "Log | Shell | Git | [vcs] | Short log | git log --oneline | Shell",
                            "Log \xE2\x80\x94 Graph | Shell | Git | [vcs] |  | git log --graph | Shell",
                            "warning s.json:1: smart groups are not imported (1)"}));
    std::string why;
    EXPECT_EQ(importsource::GuessFormat({DataPath("interchange/snippetslab.json")}, why), "snippetslab");
    EXPECT_EQ(importsource::GuessFormat({DataPath("interchange/masscode-db.json")}, why), "masscode");
}

TEST(SnippetDbFormat, BadInputWarns) {
    for (const char* bad : {"{", "{\"snippets\": 3}", "{\"contents\": []}", "[]"}) {
        InterchangeResult a, b;
        snippetdb::ImportMassCodeDb(bad, "x", a);
        snippetdb::ImportSnippetsLab(bad, "x", b);
        EXPECT_TRUE(a.records.empty() && b.records.empty()) << bad;
        EXPECT_EQ(a.warnings.size() + b.warnings.size(), 2u) << bad;
    }
    InterchangeResult r;
    snippetdb::ImportMassCodeNote("---\nname: [\n---\n", "n.md", "n", {}, r);
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.warnings.size(), 1u);
}

} // namespace
