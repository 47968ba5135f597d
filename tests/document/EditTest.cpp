// Sample and category edits: changed marks, the placement flag, messages, and the
// mended cases (a retitle onto a taken title).
#include <map>
#include <random>

#include "DocTestSupport.h"

namespace {

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
};

// --- AddSample, AddStagedSample, NotifyView ------------------------------------------------

TEST_F(DocEdit, AddSampleInsertsAndMarksItsCategory) {
    EXPECT_TRUE(doc->AddSample(std::make_unique<CSample>(MakeSample("New", "Java"))));
    EXPECT_EQ(doc->LastAddedTitle(), "New");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Java"}));
    EXPECT_EQ(doc->GetSampleCount(), 4);
}

TEST_F(DocEdit, AddSampleOfATakenTitleIsRefusedButStillMarks) {
    EXPECT_FALSE(doc->AddSample(std::make_unique<CSample>(MakeSample("Alpha", "Java", "GUI"))));
    EXPECT_EQ(doc->PeekSample("Alpha")->GetCategory(), "C++");
    EXPECT_EQ(doc->LastAddedTitle(), "Alpha");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Java"}));
    EXPECT_FALSE(doc->AddSample(nullptr));
}

TEST_F(DocEdit, AddSampleToAMissingCategoryMarksNothing) {
    EXPECT_TRUE(doc->AddSample(std::make_unique<CSample>(MakeSample("Lost", "Nowhere"))));
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocEdit, AddStagedSampleAddsACopyAndTellsTheView) {
    errors.Staged() = MakeSample("Fixed", "Tools", "Sorting");
    EXPECT_TRUE(doc->AddStagedSample());
    EXPECT_EQ(doc->PeekSample("Fixed")->GetSubcategory(), "Sorting");
    EXPECT_EQ(errors.Staged().GetTitle(), "Fixed"); // the store keeps its record
    EXPECT_EQ(view.calls, (std::vector<std::string>{"staged"}));
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Tools"}));

    errors.Staged() = MakeSample("Fixed", "C++");
    EXPECT_FALSE(doc->AddStagedSample());
    doc->NotifyView();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"staged", "staged", "emptied"}));
}

// --- UpdateSample ------------------------------------------------------------------------

TEST_F(DocEdit, UpdateSampleOfAMissingTitleShowsTheInternalError) {
    EXPECT_FALSE(doc->UpdateSample("Nope", MakeSample("Nope", "C++")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Internal error - unable to update sample data!\nCould not find sample Nope in Library.\n");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(ChangedCategories().empty());
}

TEST_F(DocEdit, UpdateSampleInPlaceKeepsTheReasonAndMarksNothing) {
    doc->PeekSample("Alpha"); // stored with reason -1
    CSample data = MakeSample("Alpha", "C++", "GUI", "z", "new\r\n", "y\r\n");
    data.SetLoadErrorReason(1);
    EXPECT_TRUE(doc->UpdateSample("Alpha", data));
    const CSample* stored = doc->PeekSample("Alpha");
    EXPECT_EQ(stored->GetSubcategory(), "GUI");
    EXPECT_EQ(stored->GetKeywords(), "z");
    EXPECT_EQ(stored->GetComments(), "new\r\n");
    EXPECT_EQ(stored->GetText(), "y\r\n");
    EXPECT_EQ(stored->GetLoadErrorReason(), -1);
    EXPECT_TRUE(ChangedCategories().empty());
}

TEST_F(DocEdit, UpdateSampleWithoutKeywordsClearsThem) {
    EXPECT_TRUE(doc->UpdateSample("Alpha", MakeSample("Alpha", "C++")));
    EXPECT_EQ(doc->PeekSample("Alpha")->GetKeywordCount(), 0u);
}

TEST_F(DocEdit, RetitleMovesTheSampleAndMarksBothCategories) {
    CSample data = *doc->PeekSample("Alpha");
    data.SetTitle("Zulu");
    data.SetCategory("Java");
    EXPECT_TRUE(doc->UpdateSample("Alpha", data));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Beta", "Gamma", "Zulu"}));
    EXPECT_EQ(doc->PeekSample("Zulu")->GetComments(), "note\r\n");
    EXPECT_EQ(doc->PeekSample("Zulu")->GetKeywords(), "a, b");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++", "Java"}));
    EXPECT_EQ(doc->LastAddedTitle(), "Zulu");
}

TEST_F(DocEdit, RetitleWithTheStoredSampleItselfAsData) {
    CSample& stored = const_cast<CSample&>(*doc->PeekSample("Beta"));
    stored.SetTitle("Aardvark"); // the map key is still "Beta"
    EXPECT_TRUE(doc->UpdateSample("Beta", stored));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Aardvark", "Alpha", "Gamma"}));
    EXPECT_EQ(doc->PeekSample("Aardvark")->GetSubcategory(), "GUI");
}

TEST_F(DocEdit, RetitleOntoATakenTitleIsRefusedAndLosesNothing) {
    CSample data = *doc->PeekSample("Alpha");
    data.SetTitle("Gamma");
    EXPECT_FALSE(doc->UpdateSample("Alpha", data));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Internal error - unable to update sample data!\n"
                                      "Another sample already has the title Gamma in Library.\n");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(doc->PeekSample("Gamma")->GetCategory(), "Java");
    EXPECT_EQ(doc->PeekSample("Alpha")->GetCategory(), "C++");
    EXPECT_TRUE(ChangedCategories().empty());
}

// --- DeleteSample ------------------------------------------------------------------------

TEST_F(DocEdit, DeleteSampleMarksItsCategory) {
    EXPECT_TRUE(doc->DeleteSample("Gamma"));
    EXPECT_EQ(doc->PeekSample("Gamma"), nullptr);
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Java"}));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
}

TEST_F(DocEdit, DeleteSampleOfAMissingTitleIsSilent) {
    EXPECT_FALSE(doc->DeleteSample("Nope"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(ChangedCategories().empty());
}

TEST_F(DocEdit, DeleteSampleWhoseCategoryIsGoneShowsNothing) {
    doc->AddSample(std::make_unique<CSample>(MakeSample("Orphan", "Gone")));
    EXPECT_TRUE(doc->DeleteSample("Orphan"));
    EXPECT_TRUE(messages.shown.empty());
}

// --- CommitPendingEdit -------------------------------------------------------------------

TEST_F(DocEdit, CommitWithoutPendingTitleDoesNothing) {
    doc->CommitPendingEdit();
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_FALSE(doc->PlacementChanged());
}

TEST_F(DocEdit, CommitOfCommentsMarksOnlyTheDisplayedCategory) {
    doc->DisplayedSample() = *doc->PeekSample("Alpha");
    CSample pending = *doc->PeekSample("Alpha");
    pending.SetComments("changed\r\n");
    doc->PendingSample() = pending;
    doc->CommitPendingEdit();
    EXPECT_EQ(doc->PeekSample("Alpha")->GetComments(), "changed\r\n");
    EXPECT_EQ(doc->PeekSample("Alpha")->GetKeywords(), "a, b");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++"}));
    EXPECT_FALSE(doc->PlacementChanged());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocEdit, CommitOfAnotherSubcategorySetsThePlacementFlag) {
    doc->DisplayedSample() = *doc->PeekSample("Alpha");
    CSample pending = *doc->PeekSample("Alpha");
    pending.SetSubcategory("COM");
    doc->PendingSample() = pending;
    doc->CommitPendingEdit();
    EXPECT_EQ(doc->PeekSample("Alpha")->GetSubcategory(), "COM");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++"}));
    EXPECT_TRUE(doc->PlacementChanged());
    doc->SetPlacementChanged(false);
    EXPECT_FALSE(doc->PlacementChanged());
}

TEST_F(DocEdit, CommitOfAnotherCategoryMarksBothAndSaveMovesTheSample) {
    doc->DisplayedSample() = *doc->PeekSample("Alpha");
    CSample pending = *doc->PeekSample("Alpha");
    pending.SetCategory("Tools");
    pending.SetSubcategory("Sorting");
    doc->PendingSample() = pending;
    doc->CommitPendingEdit();
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++", "Tools"}));
    EXPECT_TRUE(doc->PlacementChanged());

    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Beta", "C++", "GUI")}));
    EXPECT_EQ(ReadFileBytes("quorrinTools.txt"), FileBytes({pending}));
}

TEST_F(DocEdit, CommitOfAVanishedTitleShowsTheMessageAndResetsThePendingSample) {
    doc->PendingSample() = MakeSample("Vanished", "C++");
    doc->CommitPendingEdit();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Internal error! Cannot find sample data for original title Vanished.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(doc->PendingSample().GetTitle(), "");
    EXPECT_EQ(doc->PendingSample().GetLoadErrorReason(), -1);
}

TEST_F(DocEdit, CommitWithoutKeywordsClearsThem) {
    doc->DisplayedSample() = *doc->PeekSample("Alpha");
    doc->PendingSample() = MakeSample("Alpha", "C++", "General", "", "note\r\n", "x\r\n");
    doc->CommitPendingEdit();
    EXPECT_EQ(doc->PeekSample("Alpha")->GetKeywordCount(), 0u);
}

// --- Categories --------------------------------------------------------------------------

TEST_F(DocEdit, MarkCategoryChangedOfAMissingNameDoesNothing) {
    doc->MarkCategoryChanged("Nope");
    EXPECT_TRUE(ChangedCategories().empty());
    doc->MarkCategoryChanged("Tools");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Tools"}));
}

TEST_F(DocEdit, AddCategoryRefusesATakenName) {
    EXPECT_TRUE(doc->AddCategory(std::make_unique<CCategory>("Networking")));
    EXPECT_FALSE(doc->AddCategory(std::make_unique<CCategory>("Java")));
    EXPECT_TRUE(doc->PeekCategory("Java")->IsDefault());
    EXPECT_EQ(doc->GetCategoryCount(), 5);
}

TEST_F(DocEdit, UpdateCategoryCopiesNameSlotsAndDisplayedButNotTheFile) {
    CCategory data("Renamed");
    data.SetFileName("elsewhere.txt");
    data.Slot(0) = SubcategorySlot{"One", true, true};
    data.SetDisplayed(false);
    EXPECT_TRUE(doc->UpdateCategory("Tools", data));
    const CCategory* stored = doc->PeekCategory("Tools"); // the key stays
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetName(), "Renamed");
    EXPECT_EQ(stored->GetFileName(), "quorrinTools.txt");
    EXPECT_EQ(stored->Slot(0).name, "One");
    EXPECT_FALSE(stored->IsDisplayed());
    EXPECT_TRUE(stored->IsChanged());
}

TEST_F(DocEdit, UpdateCategoryOfAMissingNameShowsTheInternalError) {
    EXPECT_FALSE(doc->UpdateCategory("Nope", CCategory()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Internal error - unable to update category data!\nCould not find category Nope in Library.\n");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST_F(DocEdit, DeletingADefaultCategoryHidesItAndDeletesItsFile) {
    config.g_customSubcats["Java"].insert("Swing");
    EXPECT_TRUE(doc->DeleteSample("Gamma")); // the command deletes the samples first
    EXPECT_TRUE(doc->DeleteCategory("Java"));
    EXPECT_FALSE(fileio::FileExists("quorrinjava.txt"));
    const CCategory* java = doc->PeekCategory("Java");
    ASSERT_NE(java, nullptr);
    EXPECT_FALSE(java->IsDisplayed());
    EXPECT_TRUE(java->IsChanged());
    EXPECT_EQ(config.g_customSubcats.count("Java"), 0u);

    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_TRUE(fileio::FileExists("quorrinjava.txt"));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    EXPECT_TRUE(store.KeyExists(AppPath({"HiddenCats", "Java"})));
}

TEST_F(DocEdit, DeletingACustomCategoryRemovesItAtOnce) {
    doc->AddSample(std::make_unique<CSample>(MakeSample("T1", "Tools", "Sorting")));
    ASSERT_TRUE(doc->OnSaveDocument());
    ASSERT_TRUE(fileio::FileExists("quorrinTools.txt"));
    EXPECT_TRUE(doc->DeleteSample("T1"));
    EXPECT_TRUE(doc->DeleteCategory("Tools"));
    EXPECT_FALSE(fileio::FileExists("quorrinTools.txt"));
    EXPECT_EQ(doc->PeekCategory("Tools"), nullptr);
    EXPECT_EQ(config.g_customCatSubcats.count("Tools"), 0u);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_FALSE(fileio::FileExists("quorrinTools.txt"));
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats", "Tools"})));
}

TEST_F(DocEdit, DeletingAMissingCategoryShowsTheInternalError) {
    EXPECT_FALSE(doc->DeleteCategory("Nope"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Internal error.\nUnable to locate category to be deleted!\nCategory: Nope");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST_F(DocEdit, DeleteFileFailureOnlyShowsItsMessage) {
    fileio::Faults::FailNext(fileio::Op::Remove, fileio::kAccessDenied);
    EXPECT_TRUE(doc->DeleteCategory("Tools"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Attempt to delete file quorrinTools.txt failed.\nReason: The file could not be accessed. ");
    EXPECT_EQ(doc->PeekCategory("Tools"), nullptr);
}

TEST_F(DocEdit, ResetDefaultSubcategories) {
    CCategory category;
    CQuorrinDoc::ResetDefaultSubcategories(category, false);
    EXPECT_EQ(category.Slot(0).name, "General");
    EXPECT_EQ(category.Slot(1).name, "GUI");
    EXPECT_EQ(category.Slot(2).name, "COM");
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_FALSE(category.Slot(slot).custom);
        EXPECT_FALSE(category.Slot(slot).inUse);
    }
    CQuorrinDoc::ResetDefaultSubcategories(category, true);
    EXPECT_TRUE(category.Slot(2).inUse);
}

TEST_F(DocEdit, CustomSubcategoryConfigListIsAnOrderedSet) {
    doc->AddCustomSubcategoryToConfig("C++", "Templates");
    doc->AddCustomSubcategoryToConfig("C++", "Templates");
    doc->AddCustomSubcategoryToConfig("C++", "Allocators");
    EXPECT_EQ(config.g_customSubcats["C++"], (NameSet{"Allocators", "Templates"}));
    doc->RemoveCustomSubcategoryFromConfig("C++", "Templates");
    EXPECT_EQ(config.g_customSubcats["C++"], (NameSet{"Allocators"}));
    doc->RemoveCustomSubcategoryFromConfig("C++", "Allocators");
    EXPECT_EQ(config.g_customSubcats.count("C++"), 0u);
    doc->RemoveCustomSubcategoryFromConfig("Java", "Nope"); // nothing to remove
    EXPECT_EQ(config.g_customSubcats.count("Java"), 0u);
}

TEST_F(DocEdit, AnyHiddenAndShowAll) {
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

TEST_F(DocEdit, FindCopiesOut) {
    CSample sample;
    EXPECT_TRUE(doc->FindSample("Alpha", sample));
    EXPECT_EQ(sample.GetKeywords(), "a, b");
    sample.SetText("changed");
    EXPECT_EQ(doc->PeekSample("Alpha")->GetText(), "x\r\n");
    EXPECT_FALSE(doc->FindSample("alpha", sample)); // exact comparison

    CCategory category;
    EXPECT_TRUE(doc->FindCategory("Tools", category));
    EXPECT_EQ(category.GetFileName(), "quorrinTools.txt");
    EXPECT_FALSE(doc->FindCategory("tools", category));
    EXPECT_EQ(doc->CountSamplesInCategory("C++"), 2);
    EXPECT_EQ(doc->CountSamplesInCategory("c++"), 0);
}

} // namespace

// --- The per-category sample lists a save writes from ---------------------------------------

TEST_F(DocEdit, EverySaveWritesExactlyTheSamplesWhoseCategoryItIs) {
    // Random adds, in-place moves between categories, retitles and deletes; after each
    // round every file must hold exactly what a walk over the whole library finds for
    // its category, in title order.
    const std::vector<std::string> categories = {"C++", "Java", "Visual Basic", "Tools"};
    const std::map<std::string, std::string> files = {{"C++", "quorrincpp.txt"},
                                                      {"Java", "quorrinjava.txt"},
                                                      {"Visual Basic", "quorrinvb.txt"},
                                                      {"Tools", "quorrinTools.txt"}};
    std::mt19937 rng(5);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto anyTitle = [&]() -> std::string {
        if (doc->Samples().empty())
            return {};
        auto it = doc->Samples().begin();
        std::advance(it, static_cast<long>(pick(doc->Samples().size())));
        return it->first;
    };
    for (int round = 0; round < 40; ++round) {
        for (int step = 0; step < 12; ++step) {
            const std::string title = anyTitle();
            switch (pick(4)) {
            case 0:
                doc->AddSample(std::make_unique<CSample>(
                    MakeSample("T" + std::to_string(pick(300)), categories[pick(4)], "General")));
                break;
            case 1:
                if (!title.empty()) {
                    CSample moved = *doc->PeekSample(title);
                    moved.SetCategory(categories[pick(4)]);
                    moved.SetComments("round " + std::to_string(round) + "\r\n");
                    doc->UpdateSample(title, moved);
                }
                break;
            case 2:
                if (!title.empty()) {
                    CSample renamed = *doc->PeekSample(title);
                    renamed.SetTitle("R" + std::to_string(pick(300)));
                    doc->UpdateSample(title, renamed);
                }
                break;
            default:
                if (!title.empty())
                    doc->DeleteSample(title);
            }
        }
        for (const std::string& name : categories)
            doc->MarkCategoryChanged(name);
        messages.shown.clear();
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
    // Deleting it afterwards leaves nothing behind.
    ASSERT_TRUE(doc->DeleteSample("Beta"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("Gamma", "Java")}));
}
