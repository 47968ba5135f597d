#include <gtest/gtest.h>

#include "library/Category.h"

namespace {

void FillDefault(CCategory& c) {
    const char* names[] = {"General", "GUI", "COM"};
    for (int i = 0; i < kDefaultSlotCount; ++i) {
        c.Slot(i).name = names[i];
        c.Slot(i).custom = false;
        c.Slot(i).inUse = true;
    }
}

TEST(CategoryRecord, DefaultConstruction) {
    CCategory c;
    EXPECT_FALSE(c.IsCustom());
    EXPECT_TRUE(c.IsDefault());
    EXPECT_TRUE(c.IsDisplayed());
    EXPECT_FALSE(c.IsChanged());
    EXPECT_EQ(c.GetName(), "");
    EXPECT_EQ(c.GetFileName(), "");
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(c.Slot(i).name, "");
        EXPECT_FALSE(c.Slot(i).inUse);
        EXPECT_EQ(c.Slot(i).custom, i >= 3) << i;
    }
}

TEST(CategoryRecord, NamedConstructionMakesACustomCategory) {
    CCategory c("Tools");
    EXPECT_TRUE(c.IsCustom());
    EXPECT_EQ(c.GetName(), "Tools");
    EXPECT_EQ(c.GetFileName(), "quorrinTools.txt");
    EXPECT_TRUE(c.IsDisplayed());
    EXPECT_FALSE(c.IsChanged());
}

TEST(CategoryRecord, ResetSlotsSetsTheChangedMark) {
    CCategory c("Tools");
    c.Slot(0).name = "A";
    c.Slot(0).inUse = true;
    c.ResetSlots(true);
    EXPECT_TRUE(c.IsChanged());
    EXPECT_EQ(c.Slot(0).name, "");
    EXPECT_FALSE(c.Slot(0).custom);
    EXPECT_TRUE(c.Slot(14).custom);
    c.ResetSlots(false);
    EXPECT_FALSE(c.IsChanged());
}

TEST(CategoryRecord, FindSlotAndCustomKind) {
    CCategory c;
    FillDefault(c);
    c.Slot(3) = {"Mine", true, true};
    c.Slot(5) = {"GUI", true, true}; // a later duplicate: the first match wins
    EXPECT_EQ(c.FindSlot("GUI"), 1);
    EXPECT_EQ(c.FindSlot("Mine"), 3);
    EXPECT_EQ(c.FindSlot("gui"), -1); // exact, case-sensitive
    EXPECT_EQ(c.FindSlot("None"), -1);
    EXPECT_TRUE(c.IsCustomSubcategory("Mine"));
    EXPECT_FALSE(c.IsCustomSubcategory("GUI"));
    EXPECT_FALSE(c.IsCustomSubcategory("None"));
}

TEST(CategoryRecord, RemovingADefaultSubcategoryHidesIt) {
    CCategory c;
    FillDefault(c);
    ASSERT_TRUE(c.RemoveSubcategory("GUI"));
    EXPECT_EQ(c.Slot(1).name, "GUI");
    EXPECT_FALSE(c.Slot(1).inUse);
    EXPECT_FALSE(c.Slot(1).custom);
    EXPECT_TRUE(c.IsChanged());
}

TEST(CategoryRecord, RemovingACustomSubcategoryFreesItsSlot) {
    CCategory c;
    FillDefault(c);
    c.Slot(3) = {"Mine", true, true};
    ASSERT_TRUE(c.RemoveSubcategory("Mine"));
    EXPECT_EQ(c.Slot(3).name, "");
    EXPECT_TRUE(c.Slot(3).custom);
    EXPECT_FALSE(c.Slot(3).inUse);
    EXPECT_EQ(c.FreeSlot(), 3);
}

TEST(CategoryRecord, RemovingAnUnknownNameChangesNothing) {
    CCategory c;
    FillDefault(c);
    EXPECT_FALSE(c.RemoveSubcategory("Nope"));
    EXPECT_FALSE(c.IsChanged());
    c.SetChanged(true);
    EXPECT_FALSE(c.RemoveSubcategory("Nope"));
    EXPECT_TRUE(c.IsChanged());
}

TEST(CategoryRecord, FreeSlotRespectsTheCategoryKind) {
    CCategory def;
    FillDefault(def);
    EXPECT_EQ(def.FreeSlot(), 3);
    for (int i = 3; i < kSlotCount; ++i)
        def.Slot(i) = {"S" + std::to_string(i), true, true};
    EXPECT_EQ(def.FreeSlot(), -1); // at most 12 custom sub-categories
    def.RemoveSubcategory("GUI");
    EXPECT_EQ(def.FreeSlot(), -1); // a hidden default slot is not free

    CCategory custom("Tools");
    EXPECT_EQ(custom.FreeSlot(), 0);
    custom.Slot(0) = {"A", true, true};
    EXPECT_EQ(custom.FreeSlot(), 1);
    for (int i = 1; i < kSlotCount; ++i)
        custom.Slot(i) = {"S" + std::to_string(i), true, true};
    EXPECT_EQ(custom.FreeSlot(), -1); // 15 at most
}

TEST(CategoryRecord, AssignmentKeepsTheTargetsChangedMark) {
    CCategory source("Tools");
    source.Slot(0) = {"A", true, true};
    source.SetDisplayed(false);
    source.SetChanged(true);
    CCategory target;
    target.SetChanged(false);
    CCategory& base = target;
    base = source;
    EXPECT_FALSE(target.IsChanged());
    EXPECT_EQ(target.GetName(), "Tools");
    EXPECT_EQ(target.GetFileName(), "quorrinTools.txt");
    EXPECT_TRUE(target.IsCustom());
    EXPECT_FALSE(target.IsDisplayed());
    EXPECT_EQ(target.Slot(0).name, "A");
    EXPECT_TRUE(target.Slot(0).inUse);

    target.SetChanged(true);
    target = CCategory();
    EXPECT_TRUE(target.IsChanged());

    CCategory copy(source);
    EXPECT_FALSE(copy.IsChanged()); // a copy starts unchanged
    EXPECT_EQ(copy.Slot(0).name, "A");
}

} // namespace
