// The library folder in the window: File > Library Folder...
#include <QLineEdit>
#include <filesystem>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "config/LibraryFolder.h"

namespace {

namespace fs = std::filesystem;

class LibraryFolderWindowTest : public GuiTest {
protected:
    // A second library folder holding one sample.
    std::string MakeOtherLibrary() {
        fs::create_directories(File("other"));
        WriteFileBytes(File("other/quorrincpp.txt"),
                       SampleFileBytes("C++", "General", "Elsewhere", "", "", "x\r\n"));
        return fs::canonical(File("other")).string();
    }
    std::string Here() const { return fs::current_path().string(); }
};

} // namespace

TEST_F(LibraryFolderWindowTest, AnotherFolderIsOpenedAfterTheWindowClosedAsAtExit) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Here", "old", "", "x\r\n"));
    const std::string first = Here();
    const std::string other = MakeOtherLibrary();
    Start();
    Select(SampleItem("Here"));
    TypeInto(Child<QLineEdit>("keywordsEdit"), QStringLiteral("new"));

    m_files.answers.push_back(File("other"));
    m_messages.answers = {MsgAnswer::Yes};
    Run(cmd::kLibraryFolder);
    ASSERT_EQ(m_files.folderRequests.size(), 1u);
    EXPECT_EQ(m_files.folderRequests[0].startFolder, first);
    // The window closed as at exit: the unsaved edit was offered and saved.
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(ReadFileBytes(first + "/quorrincpp.txt").find("\r\nnew\r\n"), std::string::npos);
    ASSERT_TRUE(App().RestartChoice());
    EXPECT_TRUE(*App().RestartChoice() == (LibraryChoice{LibraryPlace::GivenFolder, other}));
    Exit();

    // The next run opens it; it is remembered for --library.
    EXPECT_NE(ReadConfig().find("value \"LibraryFolder\" string \"" + other + "\""), std::string::npos);
    for (const LibraryChoice& next :
         {LibraryChoice{LibraryPlace::GivenFolder, other}, LibraryChoice{LibraryPlace::UserLibrary, {}}}) {
        fs::current_path(first);
        m_app = std::make_unique<CQuorrinApp>();
        m_app->SetLibraryChoice(next);
        ASSERT_TRUE(m_app->InitInstance());
        m_app->WaitForLibrary();
        EXPECT_EQ(App().LibraryFolder(), other);
        EXPECT_NE(SampleItem("Elsewhere"), nullptr);
        EXPECT_EQ(SampleItem("Here"), nullptr);
        Exit();
    }
}
