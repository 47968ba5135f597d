// Sample and category edits: changed marks, the placement flag, the messages and what the
// next save writes.
#include <functional>
#include <map>
#include <random>

#include "DocTestSupport.h"

namespace {

using Strings = std::vector<std::string>;

class DocEdit : public DocFixture {
protected:
    void SetUp() override {
        ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
        WriteFileBytes("quorrincpp.txt",
                       FileBytes({MakeSample("Alpha", "C++", "General", "a, b", "note\r\n", "x\r\n"),
                                  MakeSample("Beta", "C++", "GUI")}));
        WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("Gamma", "Java")}));
        Load();
        ASSERT_TRUE(messages.shown.empty());
        ASSERT_TRUE(ChangedCategories().empty());
    }
    // Changes the displayed sample Alpha in the form and commits it.
    void CommitAlpha(const std::function<void(CSample&)>& edit) {
        doc->DisplayedSample() = *doc->PeekSample("Alpha");
        CSample pending = *doc->PeekSample("Alpha");
        edit(pending);
        doc->PendingSample() = pending;
        doc->CommitPendingEdit();
    }
};

TEST_F(DocEdit, ACommitMarksTheCategoriesItTouchesAndAPlaceChangeSetsTheFlag) {
    doc->CommitPendingEdit(); // no pending title: nothing
    CommitAlpha([](CSample& s) { s.SetComments("changed\r\n"); });
    EXPECT_EQ(doc->PeekSample("Alpha")->GetComments(), "changed\r\n");
    EXPECT_EQ(doc->PeekSample("Alpha")->GetKeywords(), "a, b");
    EXPECT_EQ(ChangedCategories(), Strings{"C++"});
    EXPECT_FALSE(doc->PlacementChanged());

    ClearChanged();
    CommitAlpha([](CSample& s) { s.SetSubcategory("COM"); });
    EXPECT_EQ(doc->PeekSample("Alpha")->GetSubcategory(), "COM");
    EXPECT_EQ(ChangedCategories(), Strings{"C++"});
    EXPECT_TRUE(doc->PlacementChanged());
    doc->SetPlacementChanged(false);

    ClearChanged();
    CommitAlpha([](CSample& s) {
        s.SetCategory("Tools");
        s.SetSubcategory("Sorting");
    });
    EXPECT_EQ(ChangedCategories(), (Strings{"C++", "Tools"}));
    EXPECT_TRUE(doc->PlacementChanged());
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Beta", "C++", "GUI")}));
    EXPECT_EQ(ReadFileBytes("quorrinTools.txt"),
              FileBytes({MakeSample("Alpha", "Tools", "Sorting", "a, b", "changed\r\n", "x\r\n")}));
    EXPECT_TRUE(messages.shown.empty());

    doc->PendingSample() = MakeSample("Vanished", "C++");
    doc->CommitPendingEdit();
    EXPECT_EQ(messages.Texts(),
              Strings{"Internal error! Cannot find sample data for original title Vanished."});
    EXPECT_EQ(doc->PendingSample().GetTitle(), "");
}

TEST_F(DocEdit, ADeletedDefaultCategoryIsHiddenAndADeletedCustomOneGoes) {
    config.g_customSubcats["Java"].insert("Swing");
    EXPECT_TRUE(doc->DeleteSample("Gamma")); // the command deletes the samples first
    EXPECT_TRUE(doc->DeleteCategory("Java"));
    EXPECT_FALSE(fileio::FileExists("quorrinjava.txt"));
    EXPECT_FALSE(doc->PeekCategory("Java")->IsDisplayed());
    EXPECT_TRUE(doc->PeekCategory("Java")->IsChanged());
    EXPECT_EQ(config.g_customSubcats.count("Java"), 0u);

    Add(MakeSample("T1", "Tools", "Sorting"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    EXPECT_TRUE(store.KeyExists(AppPath({"HiddenCats", "Java"})));
    EXPECT_TRUE(doc->DeleteSample("T1"));
    EXPECT_TRUE(doc->DeleteCategory("Tools"));
    EXPECT_FALSE(fileio::FileExists("quorrinTools.txt"));
    EXPECT_EQ(doc->PeekCategory("Tools"), nullptr);
    EXPECT_EQ(config.g_customCatSubcats.count("Tools"), 0u);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_FALSE(fileio::FileExists("quorrinTools.txt"));
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats", "Tools"})));
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_TRUE(doc->AddCategory(std::make_unique<CCategory>("Web")));
    fileio::Faults::FailNext(fileio::Op::Remove, fileio::kAccessDenied);
    EXPECT_TRUE(doc->DeleteCategory("Web"));
    EXPECT_EQ(
        messages.Texts(),
        Strings{"Attempt to delete file quorrinWeb.txt failed.\nReason: The file could not be accessed. "});
    EXPECT_EQ(doc->PeekCategory("Web"), nullptr);
}

// The tree's deletes as whole procedures of the document.
TEST_F(DocEdit, DeletingASubcategoryOrACategoryTakesItsSamplesSlotsAndUnsavedEdits) {
    // (First: a retitle onto a title another sample holds is refused and loses nothing.)
    CSample onto = *doc->PeekSample("Alpha");
    onto.SetTitle("Beta");
    EXPECT_FALSE(doc->UpdateSample("Alpha", onto));
    EXPECT_EQ(doc->PeekSample("Beta")->GetSubcategory(), "GUI");
    messages.Clear();
    Add(MakeSample("S1", "Tools", "Sorting"));
    Add(MakeSample("S2", "Tools", ""));
    doc->PendingSample() = *doc->PeekSample("S1");
    doc->PendingSample().SetText("typed\r\n");
    EXPECT_EQ(doc->DeleteSubcategoryAndSamples("Tools", "Sorting"), "");
    EXPECT_EQ(doc->PeekSample("S1"), nullptr);
    EXPECT_NE(doc->PeekSample("S2"), nullptr);
    EXPECT_EQ(doc->PendingSample().GetTitle(), ""); // never committed later
    EXPECT_LT(doc->PeekCategory("Tools")->FindSlot("Sorting"), 0);
    EXPECT_NE(doc->DeleteSubcategoryAndSamples("Tools", "Sorting"), ""); // gone already
    EXPECT_NE(doc->DeleteSubcategoryAndSamples("Nope", "General"), "");

    // A default sub-category: only its samples go; the C++ file keeps the others.
    EXPECT_EQ(doc->DeleteSubcategoryAndSamples("C++", "GUI"), "");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("Alpha", "C++", "General", "a, b", "note\r\n", "x\r\n")}));
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats", "Tools", "Sorting"})));
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Tools"})));

    doc->DeleteCategoryAndSamples("C++");
    EXPECT_EQ(doc->PeekSample("Alpha"), nullptr);
    EXPECT_FALSE(doc->PeekCategory("C++")->IsDisplayed());
    EXPECT_FALSE(fileio::FileExists("quorrincpp.txt"));
    doc->DeleteCategoryAndSamples("Tools");
    EXPECT_EQ(doc->PeekCategory("Tools"), nullptr);
    EXPECT_EQ(doc->PeekSample("S2"), nullptr);
    EXPECT_TRUE(messages.shown.empty());
    // Closing asks the view first (it offers to keep unsaved form edits).
    view.calls.clear();
    doc->OnCloseDocument();
    EXPECT_EQ(view.calls, Strings{"closing"});
}

TEST_F(DocEdit, ShowAllShowsWhatIsHiddenWithoutMarkingAnything) {
    // The free slots of a custom category hide nothing (Restore defaults would show nothing).
    EXPECT_FALSE(doc->AnyHidden());
    CCategory java = *doc->PeekCategory("Java");
    java.SetDisplayed(false);
    java.Slot(1).inUse = false;
    doc->UpdateCategory("Java", java);
    ClearChanged();
    EXPECT_TRUE(doc->AnyHidden());
    doc->ShowAll();
    EXPECT_FALSE(doc->AnyHidden());
    EXPECT_TRUE(doc->PeekCategory("Java")->IsDisplayed());
    EXPECT_TRUE(doc->PeekCategory("Java")->Slot(1).inUse);
    EXPECT_TRUE(ChangedCategories().empty());
}

// Random adds, in-place moves between categories, retitles and deletes; after each round
// every file holds exactly what a walk over the whole library finds for its category, in
// title order.
TEST_F(DocEdit, EverySaveWritesExactlyTheSamplesWhoseCategoryItIs) {
    const Strings categories = {"C++", "Java", "Visual Basic", "Tools"};
    const std::map<std::string, std::string> files = {{"C++", "quorrincpp.txt"},
                                                      {"Java", "quorrinjava.txt"},
                                                      {"Visual Basic", "quorrinvb.txt"},
                                                      {"Tools", "quorrinTools.txt"}};
    std::mt19937 rng(5);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int round = 0; round < 40; ++round) {
        for (int step = 0; step < 12; ++step) {
            std::string title;
            if (!doc->Samples().empty())
                title =
                    std::next(doc->Samples().begin(), static_cast<long>(pick(doc->Samples().size())))->first;
            const size_t what = pick(4);
            if (what == 0) {
                Add(MakeSample("T" + std::to_string(pick(300)), categories[pick(4)], "General"));
            } else if (title.empty()) {
            } else if (what == 1) {
                CSample moved = *doc->PeekSample(title);
                moved.SetCategory(categories[pick(4)]);
                moved.SetComments("round " + std::to_string(round) + "\r\n");
                doc->UpdateSample(title, moved);
            } else if (what == 2) {
                CSample renamed = *doc->PeekSample(title);
                renamed.SetTitle("R" + std::to_string(pick(300)));
                doc->UpdateSample(title, renamed);
            } else {
                doc->DeleteSample(title);
            }
        }
        for (const std::string& name : categories)
            doc->MarkCategoryChanged(name);
        messages.Clear();
        ASSERT_TRUE(doc->OnSaveDocument());
        for (const std::string& name : categories) {
            std::vector<CSample> expected;
            for (const auto& [title, sample] : doc->Samples())
                if (sample->GetCategory() == name)
                    expected.push_back(*sample);
            ASSERT_EQ(ReadFileBytes(files.at(name)), FileBytes(expected)) << name << " after round " << round;
        }
    }
}

TEST_F(DocEdit, TheStoredSampleChangedInPlaceIsSavedUnderItsNewCategory) {
    // A caller that changes the stored record itself and hands it to UpdateSample: the
    // next saves still write it where its fields say, and only there.
    CSample& stored = const_cast<CSample&>(*doc->PeekSample("Beta"));
    stored.SetCategory("Java");
    ASSERT_TRUE(doc->UpdateSample("Beta", stored));
    for (const char* name : {"C++", "Java"})
        doc->MarkCategoryChanged(name);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("Alpha", "C++", "General", "a, b", "note\r\n", "x\r\n")}));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"),
              FileBytes({MakeSample("Beta", "Java", "GUI"), MakeSample("Gamma", "Java")}));
    ASSERT_TRUE(doc->DeleteSample("Beta"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("Gamma", "Java")}));
}

} // namespace
