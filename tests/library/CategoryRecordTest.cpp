// The category record: its fifteen sub-category slots.
#include <gtest/gtest.h>

#include "library/Category.h"

namespace {

// A default category record with General, GUI and COM shown.
CCategory DefaultRecord() {
    CCategory c;
    const char* names[] = {"General", "GUI", "COM"};
    for (int i = 0; i < kDefaultSlotCount; ++i)
        c.Slot(i) = {names[i], false, true};
    return c;
}

// Every slot: its name, "+" when in use, "*" when custom; "|" between slots.
std::string Slots(const CCategory& c) {
    std::string out;
    for (int i = 0; i < kSlotCount; ++i)
        out += (i ? "|" : "") + c.Slot(i).name + (c.Slot(i).inUse ? "+" : "") + (c.Slot(i).custom ? "*" : "");
    return out;
}

TEST(CategoryRecord, FindingRemovingAndFreeSlots) {
    CCategory c = DefaultRecord();
    c.Slot(3) = {"Mine", true, true};
    c.Slot(5) = {"GUI", true, true}; // a later duplicate: the first match wins
    EXPECT_EQ(c.FindSlot("GUI"), 1);
    EXPECT_EQ(c.FindSlot("Mine"), 3);
    EXPECT_EQ(c.FindSlot("gui"), -1); // exact, case-sensitive
    EXPECT_TRUE(c.IsCustomSubcategory("Mine"));
    EXPECT_FALSE(c.IsCustomSubcategory("GUI"));
    EXPECT_FALSE(c.IsCustomSubcategory("None"));
    CCategory tools("Tools"); // a custom category's first place is its own too
    tools.Slot(0) = {"First", true, true};
    EXPECT_TRUE(tools.IsCustomSubcategory("First"));
    EXPECT_EQ(c.FreeSlot(), 4);

    EXPECT_FALSE(c.RemoveSubcategory("Nope"));
    EXPECT_FALSE(c.IsChanged());
    // A default sub-category is hidden, keeping its name; a custom one frees its slot.
    ASSERT_TRUE(c.RemoveSubcategory("GUI"));
    EXPECT_TRUE(c.IsChanged());
    ASSERT_TRUE(c.RemoveSubcategory("Mine"));
    EXPECT_EQ(Slots(c), "General+|GUI|COM+|*|*|GUI+*|*|*|*|*|*|*|*|*|*");
    EXPECT_EQ(c.FreeSlot(), 3);

    // A custom category's slots are taken in order from the first (a full default category
    // is refused by the edit rules' tests).
    CCategory custom("Tools");
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(custom.FreeSlot(), i);
        custom.Slot(i) = {"S" + std::to_string(i), true, true};
    }
    EXPECT_EQ(custom.FreeSlot(), -1);
}

} // namespace
