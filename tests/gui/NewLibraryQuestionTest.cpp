// Switching library folders: a library made under another configuration shows its
// categories; a folder that holds no library is asked about before anything is written
// there, and No leaves it untouched and offers another folder.
#include "GuiTestSupport.h"

#include "app/Commands.h"

#include "base/FileLayer.h"
#include "library/LibraryStructure.h"

namespace {

using NewLibraryQuestion = GuiTest;

TEST_F(NewLibraryQuestion, ASwitchToALibraryMadeUnderAnotherConfigurationShowsItsCategories) {
    // Made by another user: the structure file and the category's file, nothing of it in
    // this user's configuration.
    const std::string other = File("shared");
    ASSERT_TRUE([&] { int cause = 0; return fileio::MakeFolder(other, cause); }());
    WriteFileBytes(other + "/tindrel-library.txt", "TindrelLibrary 1\n"
                                                   "category \"Tools\" file \"quorrinTools.txt\"\n"
                                                   "subcategory \"Tools\" \"Sorting\"\n"
                                                   "subcategory \"Tools\" \"Empty\"\n"
                                                   "end\n");
    WriteFileBytes(other + "/quorrinTools.txt", SampleFileBytes("Tools", "Sorting", "Quick", "", "", "q"));
    Start();
    m_files.answers = {other};
    Run(cmd::kLibraryFolder);
    Pump();
    ASSERT_TRUE(App().RestartChoice().has_value());
    const LibraryChoice next = *App().RestartChoice();
    App().ExitInstance();
    m_app.reset();
    Pump();

    m_app = std::make_unique<CQuorrinApp>();
    m_app->SetLibraryChoice(next);
    ASSERT_TRUE(m_app->InitInstance()); // no question: the folder holds a library
    m_app->WaitForLibrary();
    Pump();
    EXPECT_EQ(ChildNames(CategoryItem("Tools")), (std::vector<std::string>{"Empty", "Sorting"}));
    EXPECT_NE(SampleItem("Quick"), nullptr);
}

TEST_F(NewLibraryQuestion, NoLeavesTheFolderUntouchedAndOffersAnother) {
    const std::string other = File("other");
    ASSERT_TRUE([&] { int cause = 0; return fileio::MakeFolder(other, cause); }());
    WriteFileBytes(other + "/quorrinRust.txt", SampleFileBytes("Rust", "", "Borrow", "", "", "x"));

    // No, then another folder that holds a library: opened without a question.
    m_messages.answers = {MsgAnswer::No, MsgAnswer::Ok}; // the question; the category found there
    m_files.answers = {other};
    m_app = std::make_unique<CQuorrinApp>();
    m_app->SetLibraryChoice(LibraryChoice{LibraryPlace::CurrentFolder, {}});
    ASSERT_TRUE(m_app->InitInstance());
    m_app->WaitForLibrary();
    Pump();
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].text, "Make a new library in " + m_dir->Path() + "?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_NE(SampleItem("Borrow"), nullptr);
    Exit();
    EXPECT_TRUE(fileio::FileNamesIn(m_dir->Path()).empty());

    // No, then no other folder: the program ends, the folder as it was.
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::No};
    m_files.answers = {std::nullopt};
    m_app = std::make_unique<CQuorrinApp>();
    m_app->SetLibraryChoice(LibraryChoice{LibraryPlace::CurrentFolder, {}});
    EXPECT_FALSE(m_app->InitInstance());
    m_app.reset();
    EXPECT_TRUE(fileio::FileNamesIn(m_dir->Path()).empty());

    // Yes: the library is made there.
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Yes};
    m_app = std::make_unique<CQuorrinApp>();
    m_app->SetLibraryChoice(LibraryChoice{LibraryPlace::CurrentFolder, {}});
    ASSERT_TRUE(m_app->InitInstance());
    m_app->WaitForLibrary();
    Pump();
    EXPECT_EQ(m_messages.shown.size(), 1u);
}

} // namespace
