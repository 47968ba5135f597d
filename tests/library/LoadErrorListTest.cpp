#include <gtest/gtest.h>

#include "library/LoadErrorList.h"

namespace {

CSample Titled(const std::string& title, int reason = kReasonDuplicate) {
    CSample s;
    s.SetTitle(title);
    s.SetLoadErrorReason(reason);
    return s;
}

std::vector<std::string> Titles(const CLoadErrorList& list) {
    std::vector<std::string> out;
    CLoadErrorList::Cursor cursor;
    CSample s;
    for (bool ok = list.GetFirst(s, cursor); ok; ok = list.GetNext(s, cursor))
        out.push_back(s.GetTitle());
    return out;
}

using Strings = std::vector<std::string>;

TEST(LoadErrorList, EmptyStore) {
    CLoadErrorList list;
    CSample s;
    CLoadErrorList::Cursor cursor;
    EXPECT_FALSE(list.GetFirst(s, cursor));
    EXPECT_FALSE(list.GetNext(s, cursor));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.Remove("x"));
}

TEST(LoadErrorList, DuplicateTitlesGetTheSharedRenameCounter) {
    CLoadErrorList list;
    EXPECT_TRUE(list.Add(Titled("T")));
    EXPECT_TRUE(list.Add(Titled("T")));
    EXPECT_TRUE(list.Add(Titled("T")));
    EXPECT_TRUE(list.Add(Titled("U")));
    EXPECT_TRUE(list.Add(Titled("U")));
    EXPECT_EQ(Titles(list), (Strings{"T", "T-0", "T-1", "U", "U-2"}));
    EXPECT_EQ(list.GetCount(), 5);
}

TEST(LoadErrorList, TheNewTitleIsNotTestedAgain) {
    CLoadErrorList list;
    list.Add(Titled("a-0"));
    list.Add(Titled("a"));
    list.Add(Titled("a")); // becomes "a-0", already held: kept as it is
    EXPECT_EQ(Titles(list), (Strings{"a-0", "a", "a-0"}));
    // The counter never goes back, even after removals.
    EXPECT_TRUE(list.Remove("a"));
    list.Add(Titled("a-0"));
    EXPECT_EQ(Titles(list), (Strings{"a-0", "a-0", "a-0-1"}));
}

TEST(LoadErrorList, AddKeepsACopyWithItsReason) {
    CLoadErrorList list;
    CSample s = Titled("T", kReasonNoParent);
    s.SetKeywords("k1, k2");
    list.Add(s);
    s.SetTitle("changed");
    CSample out;
    CLoadErrorList::Cursor cursor;
    ASSERT_TRUE(list.GetFirst(out, cursor));
    EXPECT_EQ(out.GetTitle(), "T");
    EXPECT_EQ(out.GetLoadErrorReason(), kReasonNoParent);
    EXPECT_EQ(out.GetKeywords(), "k1, k2");
}

TEST(LoadErrorList, RemoveTakesTheFirstRecordWithThatTitle) {
    CLoadErrorList list;
    CSample first = Titled("x-0");
    first.SetText("first");
    list.Add(first);
    list.Add(Titled("x"));
    CSample third = Titled("x"); // renamed to "x-0"
    third.SetText("third");
    list.Add(third);
    EXPECT_FALSE(list.Remove("X"));
    EXPECT_EQ(list.GetCount(), 3);
    ASSERT_TRUE(list.Remove("x-0"));
    CSample out;
    CLoadErrorList::Cursor cursor;
    ASSERT_TRUE(list.GetFirst(out, cursor));
    EXPECT_EQ(out.GetTitle(), "x");
    ASSERT_TRUE(list.GetNext(out, cursor));
    EXPECT_EQ(out.GetText(), "third");
    EXPECT_FALSE(list.GetNext(out, cursor));
}

TEST(LoadErrorList, CursorSurvivesRemovalAndStaysAtTheEnd) {
    CLoadErrorList list;
    for (const char* t : {"a", "b", "c", "d"})
        list.Add(Titled(t));
    CSample out;
    CLoadErrorList::Cursor cursor;
    ASSERT_TRUE(list.GetFirst(out, cursor));
    ASSERT_TRUE(list.GetNext(out, cursor));
    EXPECT_EQ(out.GetTitle(), "b");
    list.Remove("b");
    list.Remove("c");
    ASSERT_TRUE(list.GetNext(out, cursor));
    EXPECT_EQ(out.GetTitle(), "d");
    EXPECT_FALSE(list.GetNext(out, cursor));
    list.Add(Titled("e"));
    EXPECT_FALSE(list.GetNext(out, cursor)); // past the end until the next GetFirst
    EXPECT_EQ(Titles(list), (Strings{"a", "d", "e"}));
}

TEST(LoadErrorList, TwoCursorsWalkIndependently) {
    CLoadErrorList list;
    for (const char* t : {"a", "b", "c"})
        list.Add(Titled(t));
    CSample one, two;
    CLoadErrorList::Cursor c1, c2;
    list.GetFirst(one, c1);
    list.GetNext(one, c1);
    list.GetFirst(two, c2);
    list.GetNext(one, c1);
    EXPECT_EQ(one.GetTitle(), "c");
    EXPECT_EQ(two.GetTitle(), "a");
}

TEST(LoadErrorList, ForEachAndStagedAndCopies) {
    CLoadErrorList list;
    list.Add(Titled("a"));
    list.Add(Titled("a"));
    std::vector<std::string> seen;
    list.ForEach([&](const CSample& s) { seen.push_back(s.GetTitle()); });
    EXPECT_EQ(seen, (Strings{"a", "a-0"}));
    list.Staged().SetTitle("staged");
    EXPECT_EQ(list.Staged().GetTitle(), "staged");
    list.ExportPath() = "/tmp/x.txt";
    list.RecordsWritten() = 2;
    CLoadErrorList copy = list;
    copy.Remove("a");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(copy.ExportPath(), "/tmp/x.txt");
    copy.Add(Titled("a-0"));
    EXPECT_EQ(Titles(copy), (Strings{"a-0", "a-0-1"}));
}

TEST(LoadErrorList, ManyDuplicatesStayFast) {
    // Linear-logarithmic bookkeeping: 20,000 records of one title are no problem.
    CLoadErrorList list;
    for (int i = 0; i < 20000; ++i)
        list.Add(Titled("same"));
    EXPECT_EQ(list.GetCount(), 20000);
    EXPECT_EQ(Titles(list).back(), "same-19998");
    for (int i = 0; i < 20000; ++i)
        ASSERT_TRUE(list.Remove(i == 0 ? "same" : "same-" + std::to_string(i - 1)));
    EXPECT_EQ(list.GetCount(), 0);
}

} // namespace
