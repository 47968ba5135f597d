// The library folder: the remembered folder in the configuration, the default one below
// the data folder, and changing into the folder chosen at start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ConfigTestUtil.h"
#include "config/LibraryFolder.h"

namespace {

namespace fs = std::filesystem;

class LibraryFolderTest : public ::testing::Test {
protected:
    std::string Enter(LibraryChoice choice, libraryfolder::EnterMode mode) {
        return libraryfolder::Enter(choice, store, mode);
    }
    std::string CannotOpen(const std::string& folder, const std::string& reason) {
        return "The library folder\n" + folder + "\ncannot be opened.\nReason: " + reason;
    }

    TempDir dir;
    const std::string root = fs::canonical(dir.Path()).string();
    EnvVar home{"HOME", root + "/home"};
    EnvVar data{"XDG_DATA_HOME", std::nullopt};
    RecordingMessenger messages;
    MemoryKeyStore store;
    const std::string defaultFolder = root + "/home/.local/share/Velmora Software/Tindrel/library";
    const LibraryChoice kUser{LibraryPlace::UserLibrary, {}};
    static constexpr auto kWindow = libraryfolder::EnterMode::Window;
    static constexpr auto kTool = libraryfolder::EnterMode::Tool;
};

// Only absolute folders count: a relative one would depend on where the program starts.
TEST_F(LibraryFolderTest, RelativeFoldersAreIgnored) {
    EnvVar relativeData("XDG_DATA_HOME", "data");
    EnvVar relativeConfig("XDG_CONFIG_HOME", "cfg");
    EXPECT_EQ(libraryfolder::DefaultPath(), defaultFolder);
    EXPECT_EQ(FileKeyStore::DefaultPath(), root + "/home/.config/Velmora Software/Tindrel/Tindrel.conf");
    EXPECT_TRUE(libraryfolder::Remember(store, "samples"));
    EXPECT_EQ(libraryfolder::Remembered(store), "");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(LibraryFolderTest, TheCurrentAGivenAndABadFolder) {
    const std::string here = fs::current_path().string();
    EXPECT_EQ(Enter({}, kWindow), here);
    fs::create_directories(dir.File("given"));
    fs::create_directory_symlink(dir.File("given"), dir.File("link"));
    const std::string given = fs::canonical(dir.File("given")).string();
    EXPECT_EQ(Enter({LibraryPlace::GivenFolder, "given"}, kWindow), given);
    EXPECT_EQ(Enter({LibraryPlace::GivenFolder, dir.File("link")}, kWindow), given);
    EXPECT_EQ(fs::current_path().string(), here); // the working folder never moves
    EXPECT_EQ(libraryfolder::Check(dir.File("link")), given);
    EXPECT_TRUE(messages.shown.empty());
    // Missing or not a folder: told, and the program cannot go on. Nothing is created.
    WriteFileBytes(dir.File("plain"), "x");
    for (const auto& [folder, reason] :
         {std::pair{dir.File("missing"), "The file could not be located."},
          std::pair{dir.File("plain"), "All or part of the path is invalid."}}) {
        messages.Clear();
        EXPECT_EQ(Enter({LibraryPlace::GivenFolder, folder}, kWindow), "");
        EXPECT_EQ(libraryfolder::Check(folder), "");
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>(2, CannotOpen(folder, reason))));
    }
    EXPECT_FALSE(fs::exists(dir.File("missing")));
}

TEST_F(LibraryFolderTest, AMissingRememberedFolderGivesWayToTheDefaultInTheWindowOnly) {
    const std::string gone = dir.File("unmounted/samples");
    libraryfolder::Remember(store, gone);
    EXPECT_EQ(Enter(kUser, kTool), "");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{CannotOpen(gone, "The file could not be located.")});
    EXPECT_FALSE(fs::exists(defaultFolder));
    messages.Clear();
    EXPECT_EQ(Enter(kUser, kWindow), defaultFolder);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{CannotOpen(gone, "The file could not be located.") +
                                                         "\n\nTindrel opens the default library folder\n" +
                                                         defaultFolder + "\ninstead."});
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    for (const std::string& made : {defaultFolder, dir.File("home/.local")}) { // with the parents it made
        struct stat st {};
        ASSERT_EQ(stat(made.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
    // Kept for the next start, when the folder may be back; nothing was made in its place.
    EXPECT_EQ(libraryfolder::Remembered(store), gone);
    EXPECT_FALSE(fs::exists(dir.File("unmounted")));
}

} // namespace
