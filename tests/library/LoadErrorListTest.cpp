// The load-error store: renamed duplicates, removal, origins and walks.
#include <gtest/gtest.h>

#include "library/LoadErrorList.h"

namespace {

using Strings = std::vector<std::string>;

CSample Titled(const std::string& title, const std::string& text = "") {
    CSample s;
    s.SetTitle(title);
    s.SetText(text);
    s.SetLoadErrorReason(kReasonDuplicate);
    return s;
}

Strings Titles(const CLoadErrorList& list) {
    Strings out;
    list.ForEach([&](const CSample& s) { out.push_back(s.GetTitle()); });
    return out;
}

// A taken title gets the rename counter all titles share, once: a new title that is
// taken too stays as it is.
TEST(LoadErrorList, ATakenTitleGetsTheSharedRenameCounterOnce) {
    CLoadErrorList list;
    for (const char* t : {"T-1", "T", "T", "T", "U", "U"})
        EXPECT_TRUE(list.Add(Titled(t)));
    EXPECT_EQ(Titles(list), (Strings{"T-1", "T", "T-0", "T-1", "U", "U-2"}));
}

TEST(LoadErrorList, RemovalTakesTheFirstRecordOfATitleOrOfAnOrigin) {
    CLoadErrorList list;
    list.Add(Titled("x-0", "first"), 7);
    list.Add(Titled("x"), 8);
    list.Add(Titled("x", "third"), 9); // renamed to "x-0"
    EXPECT_EQ(list.OriginOf("x-0"), 7u);
    EXPECT_EQ(list.OriginOf("X"), 0u);
    EXPECT_FALSE(list.Remove("X"));
    ASSERT_TRUE(list.Remove("x-0"));
    EXPECT_EQ(list.OriginOf("x-0"), 9u);
    CSample out;
    CLoadErrorList::Cursor cursor;
    ASSERT_TRUE(list.GetFirst(out, cursor));
    EXPECT_EQ(out.GetTitle(), "x");
    EXPECT_EQ(out.GetLoadErrorReason(), kReasonDuplicate);
    ASSERT_TRUE(list.GetNext(out, cursor));
    EXPECT_EQ(out.GetText(), "third");
    EXPECT_FALSE(list.GetNext(out, cursor));

    EXPECT_FALSE(list.RemoveOrigin(0));
    EXPECT_FALSE(list.RemoveOrigin(7));
    EXPECT_TRUE(list.RemoveOrigin(9));
    EXPECT_EQ(Titles(list), Strings{"x"});
    EXPECT_EQ(list.OriginOf("x-0"), 0u);
}

} // namespace
