// The tree editing commands in the running program: Insert by tree level (new
// categories, sub-categories, the Add Sample wizard), Delete by level, Restore defaults,
// the Insert and Delete keys, and the create-sub-category path of the form.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>
#include <filesystem>

#include "EditTestSupport.h"
#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "library/EditRules.h"
#include "config/LibraryConfig.h"

namespace {

const std::string kAskSimple = "Are you sure you want to delete this item?\n";
const std::string kAskChildren = "Deleting this item will cause all its child items\nto also be deleted!\n\n"
                                 "All samples under this item will be permanently deleted.\n\n"
                                 "Continue with the deletion?";

std::string Alpha() {
    return SampleFileBytes("C++", "General", "Alpha", "a", "", "int a;\r\n");
}
std::string Beta() {
    return SampleFileBytes("C++", "GUI", "Beta", "b", "", "int b;\r\n");
}
std::string Direct() {
    return SampleFileBytes("C++", "", "Direct", "", "", "int d;\r\n");
}
std::string Gamma() {
    return SampleFileBytes("Java", "General", "Gamma", "", "", "class G {}\r\n");
}

class TreeEditTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", Alpha() + Beta() + Direct());
        WriteFileBytes("quorrinjava.txt", Gamma());
        Start();
    }
    void Key(int key) {
        Tree()->setFocus();
        QTest::keyClick(Tree(), static_cast<Qt::Key>(key));
        Pump();
    }
    std::string Selected() { return CSampleTree::ItemName(Tree()->currentItem()); }
    int SelectedTag() { return CSampleTree::ItemTag(Tree()->currentItem()); }
    // A custom category with these sub-categories, added as the program would have it.
    void AddCustomCategory(const std::string& name, const std::vector<std::string>& subs) {
        auto c = std::make_unique<CCategory>(name);
        for (size_t i = 0; i < subs.size(); ++i)
            c->Slot(static_cast<int>(i)) = SubcategorySlot{subs[i], true, true};
        ASSERT_TRUE(Doc()->AddCategory(std::move(c)));
        Tree()->RebuildTree(std::string());
    }
    static ModalScript FillWizard(const char* title, const std::function<void(QWidget*)>& check = nullptr) {
        return [title, check](QWidget* w) {
            if (check)
                check(w);
            TypeInto(Find<QLineEdit>(w, "wizTitleEdit"), QString::fromUtf8(title));
            Click(Find<QAbstractButton>(w, "nextButton"));
            TypeInto(Find<QLineEdit>(w, "wizKeywordsEdit"), QStringLiteral("k1, k2"));
            Click(Find<QAbstractButton>(w, "nextButton"));
            TypeInto(Find<QPlainTextEdit>(w, "wizTextEdit"), QStringLiteral("code();"));
            Click(Find<QAbstractButton>(w, "nextButton"));
            Click(Find<QAbstractButton>(w, "finishButton"));
        };
    }
    static std::string WizCategory(QWidget* w) {
        return Find<QLabel>(w, "wizCategoryLabel")->text().toStdString();
    }
    static std::string WizSub(QWidget* w) {
        return Find<QLabel>(w, "wizSubcategoryLabel")->text().toStdString();
    }
};

} // namespace

// ---------------------------------------------------------------------------------
// Insert

TEST_F(TreeEditTest, InsertOnTheRootAddsACategoryInTheTreeAndTheLibrary) {
    StartWithLibrary();
    EXPECT_TRUE(CommandEnabled(cmd::kInsert));
    const std::string proposal = "Untitled" + std::to_string(CategoryProposalCount() + 1);
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        EXPECT_EQ(Find<QLineEdit>(w, "newCategoryNameEdit")->text().toStdString(), proposal);
        TypeInto(Find<QLineEdit>(w, "newCategoryNameEdit"), QStringLiteral(" Algorithms "));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"newCategoryDlg"}));
    // Sorted in, with no children, expanded; the selection stays on the root.
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"Algorithms", "C++", "Java", "Visual Basic"}));
    ASSERT_NE(CategoryItem("Algorithms"), nullptr);
    EXPECT_EQ(CategoryItem("Algorithms")->childCount(), 0);
    EXPECT_EQ(SelectedTag(), kTagRoot);
    const CCategory* created = Doc()->PeekCategory("Algorithms");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsCustom());
    EXPECT_EQ(created->GetFileName(), "quorrinAlgorithms.txt");
    EXPECT_TRUE(m_messages.shown.empty());

    // Still there after a rebuild; the save writes its file and records it in the
    // configuration, which keeps it for the next start.
    Tree()->RebuildTree(std::string());
    EXPECT_NE(CategoryItem("Algorithms"), nullptr);
    Doc()->MarkCategoryChanged("Algorithms");
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_TRUE(std::filesystem::exists(File("quorrinAlgorithms.txt")));
    Exit();
    EXPECT_NE(
        ReadConfig().find("key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Algorithms\"\n"
                          "value \"FileName\" string \"quorrinAlgorithms.txt\"\n"),
        std::string::npos);
    Start();
    EXPECT_NE(CategoryItem("Algorithms"), nullptr);
}

TEST_F(TreeEditTest, ACancelledCategoryNameUsesUpItsNumber) {
    StartWithLibrary();
    const int before = CategoryProposalCount();
    const int subsBefore = SubcategoryProposalCount();
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "cancelButton")); });
    dialogs.Then([&](QWidget* w) {
        EXPECT_EQ(Find<QLineEdit>(w, "newCategoryNameEdit")->text().toStdString(),
                  "Untitled" + std::to_string(before + 2));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Run(cmd::kInsert);
    EXPECT_EQ(Root()->childCount(), 3);
    Run(cmd::kInsert);
    // The proposal taken unchanged names the category.
    EXPECT_NE(Doc()->PeekCategory("Untitled" + std::to_string(before + 2)), nullptr);
    EXPECT_EQ(SubcategoryProposalCount(), subsBefore);
}

TEST_F(TreeEditTest, InsertOnACategoryAddsASubcategory) {
    StartWithLibrary();
    Select(CategoryItem("C++"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        EXPECT_TRUE(Find<QRadioButton>(w, "subcategoryRadio")->isChecked());
        Click(Find<QPushButton>(w, "okButton"));
    });
    dialogs.Then([](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "newSubcategoryNameEdit"), QStringLiteral("Algorithms"));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"insertItemDlg", "newSubcategoryDlg"}));
    EXPECT_EQ(ChildNames(CategoryItem("C++")),
              (std::vector<std::string>{"Algorithms", "COM", "Direct", "General", "GUI"}));
    const CCategory* cpp = Doc()->PeekCategory("C++");
    ASSERT_NE(cpp, nullptr);
    EXPECT_EQ(cpp->Slot(3).name, "Algorithms");
    EXPECT_TRUE(cpp->Slot(3).custom);
    EXPECT_TRUE(cpp->Slot(3).inUse);
    EXPECT_EQ(App().Config().g_customSubcats["C++"], (NameSet{"Algorithms"}));
    // In the configuration when the command returns.
    EXPECT_NE(ReadConfig().find("\"CustomSubcats\" \"C++\" \"Algorithms\""), std::string::npos);
    EXPECT_EQ(Selected(), "C++");
    // The new sub-category keeps its place through a rebuild.
    Tree()->RebuildTree(std::string());
    EXPECT_NE(SubcategoryItem("C++", "Algorithms"), nullptr);
}

TEST_F(TreeEditTest, ASixteenthSubcategoryIsRefusedAndNothingChanges) {
    StartWithLibrary();
    std::vector<std::string> subs;
    for (int i = 1; i <= kSlotCount; ++i)
        subs.push_back("S" + std::to_string(i));
    AddCustomCategory("Full", subs);
    Select(CategoryItem("Full"));
    // Said before a name is asked for.
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "okButton")); });
    m_messages.answers = {MsgAnswer::Ok};
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, std::vector<std::string>{"insertItemDlg"});
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{StrFormat(edit_msg::kNoFreeSlot, "Full")}));
    EXPECT_EQ(CategoryItem("Full")->childCount(), kSlotCount);
    EXPECT_EQ(App().Config().g_customSubcats.count("Full"), 0u);
}

TEST_F(TreeEditTest, InsertOnACategoryCanStartTheWizardForThatCategory) {
    StartWithLibrary();
    Select(CategoryItem("Java"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        Click(Find<QRadioButton>(w, "sampleRadio"));
        Click(Find<QPushButton>(w, "okButton"));
    });
    dialogs.Then(FillWizard("Loose", [](QWidget* w) {
        EXPECT_EQ(WizCategory(w), "Java");
        EXPECT_EQ(WizSub(w), "");
    }));
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"insertItemDlg", "addSampleWizard"}));
    // A sample without a sub-category sits directly under its category, selected.
    ASSERT_NE(SampleItem("Loose"), nullptr);
    EXPECT_EQ(SampleItem("Loose")->parent(), CategoryItem("Java"));
    EXPECT_EQ(Selected(), "Loose");
    EXPECT_EQ(Doc()->PeekSample("Loose")->GetSubcategory(), "");
}

TEST_F(TreeEditTest, CancellingTheInsertItemDialogDoesNothing) {
    StartWithLibrary();
    Select(CategoryItem("Java"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        Click(Find<QRadioButton>(w, "sampleRadio"));
        Click(Find<QPushButton>(w, "cancelButton"));
    });
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"insertItemDlg"}));
    EXPECT_EQ(Doc()->GetSampleCount(), 4);
}

TEST_F(TreeEditTest, InsertOnASubcategoryRunsTheWizardAndTheSampleIsSavedAtOnce) {
    StartWithLibrary();
    Select(SubcategoryItem("C++", "GUI"));
    DialogScripts dialogs;
    dialogs.Then(FillWizard("  Added  ", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Add Sample Wizard - Step 1 of 4"));
        EXPECT_EQ(WizCategory(w), "C++");
        EXPECT_EQ(WizSub(w), "GUI");
    }));
    // The Insert key does what the command does.
    Key(Qt::Key_Insert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"addSampleWizard"}));
    const CSample* added = Doc()->PeekSample("Added");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetCategory(), "C++");
    EXPECT_EQ(added->GetSubcategory(), "GUI");
    EXPECT_EQ(added->Keywords(), (std::vector<std::string>{"k1", "k2"}));
    EXPECT_EQ(added->GetText(), "code();");
    // Shown and selected, the form on it with its fields enabled.
    EXPECT_EQ(Selected(), "Added");
    EXPECT_EQ(SampleItem("Added")->parent(), SubcategoryItem("C++", "GUI"));
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Added"));
    EXPECT_TRUE(Child<QLineEdit>("keywordsEdit")->isEnabled());
    // On disk when the command returns.
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    const std::string file = ReadFileBytes(File("quorrincpp.txt"));
    // Title order: "Added" before "Alpha".
    EXPECT_EQ(file,
              SampleFileBytes("C++", "GUI", "Added", "k1, k2", "", "code();") + Alpha() + Beta() + Direct());
}

TEST_F(TreeEditTest, InsertOnASampleAsksFirst) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    m_messages.answers = {MsgAnswer::No};
    DialogScripts dialogs;
    Run(cmd::kInsert);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "Samples cannot have child items.\nAdd a new sample to this sub-category?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Question);
    EXPECT_TRUE(dialogs.ran.empty());

    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Yes};
    dialogs.Then(FillWizard("Alpha two", [](QWidget* w) {
        // Preselected from the sample: its sub-category below its category.
        EXPECT_EQ(WizCategory(w), "C++");
        EXPECT_EQ(WizSub(w), "General");
    }));
    Run(cmd::kInsert);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"addSampleWizard"}));
    EXPECT_EQ(SampleItem("Alpha two")->parent(), SubcategoryItem("C++", "General"));
    EXPECT_EQ(Selected(), "Alpha two");
}

TEST_F(TreeEditTest, CancellingTheWizardChangesNothing) {
    StartWithLibrary();
    Select(SubcategoryItem("Java", "General"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "wizTitleEdit"), QStringLiteral("Never"));
        Click(Find<QAbstractButton>(w, "nextButton"));
        Click(Find<QAbstractButton>(w, "cancelButton"));
    });
    Run(cmd::kInsert);
    EXPECT_EQ(Doc()->GetSampleCount(), 4);
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(Selected(), "General");
}

TEST_F(TreeEditTest, TheWizardRefusesATitleTakenElsewhere) {
    StartWithLibrary();
    Select(SubcategoryItem("C++", "COM"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "wizTitleEdit"), QStringLiteral("Gamma"));
        Click(Find<QAbstractButton>(w, "nextButton"));
        EXPECT_EQ(static_cast<QWizard*>(w)->currentId(), 0);
        Click(Find<QAbstractButton>(w, "cancelButton"));
    });
    m_messages.answers = {MsgAnswer::Ok};
    Run(cmd::kInsert);
    EXPECT_EQ(m_messages.Texts(),
              (std::vector<std::string>{
                  "The title you have entered is not unique.The sample in\n"
                  "\tCategory: \"Java\",\n\tSubcategory: \"General\" \nalready has that title.\n"
                  "Please select another title.\n"}));
}

// ---------------------------------------------------------------------------------
// Delete

TEST_F(TreeEditTest, TheRootCannotBeDeletedEvenWithTheDeleteKey) {
    StartWithLibrary();
    EXPECT_EQ(SelectedTag(), kTagRoot);
    EXPECT_FALSE(CommandEnabled(cmd::kDelete));
    m_messages.answers = {MsgAnswer::Ok};
    Key(Qt::Key_Delete);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "The root item cannot be deleted.");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(Root()->childCount(), 3);
    EXPECT_EQ(Doc()->GetSampleCount(), 4);
}

TEST_F(TreeEditTest, DeletingASampleSelectsItsSubcategoryAndTheNextSaveDropsIt) {
    StartWithLibrary();
    Select(SampleItem("Beta"));
    EXPECT_TRUE(CommandEnabled(cmd::kDelete));
    m_messages.answers = {MsgAnswer::No};
    Run(cmd::kDelete);
    EXPECT_NE(Doc()->PeekSample("Beta"), nullptr);
    EXPECT_EQ(m_messages.shown.at(0).text, kAskSimple);
    // A deletion's question has No as its default button.
    EXPECT_EQ(m_messages.shown.at(0).buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(m_messages.shown.at(0).icon, MsgIcon::None);

    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Yes};
    Key(Qt::Key_Delete); // the Delete key, answered Yes
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskSimple}));
    EXPECT_EQ(Doc()->PeekSample("Beta"), nullptr);
    EXPECT_EQ(SampleItem("Beta"), nullptr);
    EXPECT_EQ(Selected(), "GUI");
    EXPECT_EQ(Tree()->currentItem()->parent(), CategoryItem("C++"));
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Direct());

    // A sample without a sub-category: its category is selected.
    Select(SampleItem("Direct"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(Selected(), "C++");
    EXPECT_EQ(SelectedTag(), kTagCategory);
}

TEST_F(TreeEditTest, DeletingASampleWithUnsavedEditsForgetsThem) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    QTest::keyClicks(Child<QLineEdit>("keywordsEdit"), QStringLiteral(", more"));
    ASSERT_TRUE(Form()->IsFormModified());
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(Doc()->PeekSample("Alpha"), nullptr);
    EXPECT_TRUE(Doc()->PendingSample().GetTitle().empty());
    ASSERT_TRUE(View()->OnFileSave());
    // No complaint about a sample that is gone.
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskSimple}));
}

TEST_F(TreeEditTest, DeletingAnEmptyDefaultSubcategoryHidesItUntilRestoreDefaults) {
    StartWithLibrary();
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    Select(SubcategoryItem("C++", "COM"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskSimple}));
    EXPECT_EQ(SubcategoryItem("C++", "COM"), nullptr);
    EXPECT_EQ(Selected(), "C++");
    const CCategory* cpp = Doc()->PeekCategory("C++");
    EXPECT_EQ(cpp->Slot(2).name, "COM");
    EXPECT_FALSE(cpp->Slot(2).inUse);
    EXPECT_NE(ReadConfig().find("\"HiddenSubcats\" \"C++\" \"COM\""), std::string::npos);
    EXPECT_TRUE(CommandEnabled(cmd::kRestoreDefaults));

    Run(cmd::kRestoreDefaults);
    EXPECT_NE(SubcategoryItem("C++", "COM"), nullptr);
    EXPECT_TRUE(Doc()->PeekCategory("C++")->Slot(2).inUse);
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    // The selection was not a sample: nothing is selected.
    EXPECT_EQ(Tree()->currentItem(), nullptr);
}

TEST_F(TreeEditTest, RestoreDefaultsSelectsTheSameSampleAgain) {
    WriteConfig("key \"Software\" \"Velmora Software\" \"Tindrel\" \"HiddenCats\" \"Visual Basic\"\n");
    StartWithLibrary();
    EXPECT_EQ(CategoryItem("Visual Basic"), nullptr);
    Select(SampleItem("Gamma"));
    Run(cmd::kRestoreDefaults);
    EXPECT_NE(CategoryItem("Visual Basic"), nullptr);
    EXPECT_EQ(Selected(), "Gamma");
    EXPECT_EQ(SelectedTag(), kTagSample);
}

TEST_F(TreeEditTest, DeletingACustomSubcategoryDeletesItsSamplesAndFreesItsSlot) {
    WriteConfig("key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomSubcats\" \"C++\" \"Threads\"\n");
    WriteFileBytes("quorrincpp.txt",
                   Alpha() + SampleFileBytes("C++", "Threads", "Worker", "", "", "run();\r\n"));
    Start();
    ASSERT_NE(SampleItem("Worker"), nullptr);
    SubcategoryItem("C++", "Threads")->setExpanded(true);
    EXPECT_EQ(App().Config().g_expandedSubcats.count("C++"), 0u);
    CategoryItem("C++")->setExpanded(false);
    CategoryItem("C++")->setExpanded(true);
    SubcategoryItem("C++", "Threads")->setExpanded(false);
    SubcategoryItem("C++", "Threads")->setExpanded(true);
    ASSERT_EQ(App().Config().g_expandedSubcats["C++"], (NameSet{"Threads"}));

    Select(SubcategoryItem("C++", "Threads"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskChildren}));
    EXPECT_EQ(m_messages.shown.at(0).buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(Doc()->PeekSample("Worker"), nullptr);
    EXPECT_EQ(SubcategoryItem("C++", "Threads"), nullptr);
    EXPECT_EQ(Selected(), "C++");
    const CCategory* cpp = Doc()->PeekCategory("C++");
    EXPECT_EQ(cpp->FindSlot("Threads"), -1);
    EXPECT_EQ(cpp->FreeSlot(), 3);
    EXPECT_EQ(App().Config().g_customSubcats.count("C++"), 0u);
    EXPECT_TRUE(App().Config().g_expandedSubcats["C++"].empty());
    // Nothing to restore: a custom sub-category is gone for good.
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha());
}

TEST_F(TreeEditTest, DeletingADefaultCategoryDeletesItsSamplesAndHidesIt) {
    WriteConfig("key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomSubcats\" \"C++\" \"Threads\"\n");
    StartWithLibrary();
    Select(CategoryItem("C++"));
    m_messages.answers = {MsgAnswer::No};
    Run(cmd::kDelete);
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskChildren}));
    EXPECT_NE(CategoryItem("C++"), nullptr);

    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(CategoryItem("C++"), nullptr);
    EXPECT_EQ(SelectedTag(), kTagRoot);
    // The samples below its sub-categories and the one directly below it.
    for (const char* title : {"Alpha", "Beta", "Direct"})
        EXPECT_EQ(Doc()->PeekSample(title), nullptr) << title;
    EXPECT_NE(Doc()->PeekSample("Gamma"), nullptr);
    const CCategory* cpp = Doc()->PeekCategory("C++");
    ASSERT_NE(cpp, nullptr);
    EXPECT_FALSE(cpp->IsDisplayed());
    // Its file is deleted, and the save that ends the command writes it anew, empty.
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), "");
    EXPECT_NE(ReadConfig().find("\"HiddenCats\" \"C++\""), std::string::npos);

    Run(cmd::kRestoreDefaults);
    ASSERT_NE(CategoryItem("C++"), nullptr);
    EXPECT_EQ(ChildNames(CategoryItem("C++")), (std::vector<std::string>{"COM", "General", "GUI"}));
    EXPECT_EQ(App().Config().g_customSubcats.count("C++"), 0u);
}

TEST_F(TreeEditTest, DeletingACustomCategoryRemovesItAndItsFileAtOnce) {
    WriteConfig("key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\"\n"
                "value \"FileName\" string \"quorrinTools.txt\"\n"
                "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\" \"Shell\"\n");
    WriteFileBytes("quorrinTools.txt", SampleFileBytes("Tools", "Shell", "Script", "", "", "ls\r\n"));
    StartWithLibrary();
    ASSERT_NE(SampleItem("Script"), nullptr);
    Select(CategoryItem("Tools"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskChildren}));
    EXPECT_EQ(CategoryItem("Tools"), nullptr);
    EXPECT_EQ(Doc()->PeekCategory("Tools"), nullptr);
    EXPECT_EQ(Doc()->PeekSample("Script"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(File("quorrinTools.txt")));
    EXPECT_EQ(SelectedTag(), kTagRoot);
    // Nothing of it comes back.
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_FALSE(std::filesystem::exists(File("quorrinTools.txt")));
    Exit();
    EXPECT_EQ(ReadConfig().find("\"Tools\""), std::string::npos);
    Start();
    EXPECT_EQ(CategoryItem("Tools"), nullptr);
}

TEST_F(TreeEditTest, DeletingAnEmptyCustomCategoryAsksTheSimpleQuestion) {
    StartWithLibrary();
    WriteFileBytes("quorrinEmpty.txt", "");
    AddCustomCategory("Empty", {});
    Select(CategoryItem("Empty"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kDelete);
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{kAskSimple}));
    EXPECT_EQ(m_messages.shown.at(0).buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(Doc()->PeekCategory("Empty"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(File("quorrinEmpty.txt")));
}

// ---------------------------------------------------------------------------------
// The form's drop-down path

TEST_F(TreeEditTest, MovingASampleToACategoryWithoutItsSubcategoryCanCreateIt) {
    WriteConfig("key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomSubcats\" \"C++\" \"Threads\"\n");
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "Threads", "Worker", "", "", "run();\r\n"));
    Start();
    Select(SampleItem("Worker"));
    m_messages.answers = {MsgAnswer::Yes};
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        // The sample's sub-category is proposed.
        EXPECT_EQ(Find<QLineEdit>(w, "newSubcategoryNameEdit")->text(), QStringLiteral("Threads"));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Choose(Child<QComboBox>("categoryCombo"), "Java");
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"newSubcategoryDlg"}));
    EXPECT_EQ(Doc()->PeekCategory("Java")->FindSlot("Threads"), 3);
    EXPECT_EQ(App().Config().g_customSubcats["Java"], (NameSet{"Threads"}));
    ASSERT_NE(SampleItem("Worker"), nullptr);
    EXPECT_EQ(SampleItem("Worker")->parent(), SubcategoryItem("Java", "Threads"));
    EXPECT_EQ(App().GetLoadErrorCount(), 0);
}
