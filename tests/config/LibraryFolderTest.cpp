// The library folder: the remembered folder in the configuration, the default one
// below the data folder, and changing into the folder chosen at start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "ConfigTestUtil.h"
#include "config/LibraryFolder.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using Op = MemoryKeyStore::Op;

// Sets an environment variable for the fixture's lifetime (unset with nullopt).
class EnvVar {
public:
    EnvVar(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class LibraryFolderTest : public ::testing::Test {
protected:
    std::string Here() const { return fs::current_path().string(); }
    std::string Made(const std::string& name) {
        fs::create_directories(dir.File(name));
        return fs::canonical(dir.File(name)).string();
    }
    std::string Enter(LibraryChoice choice, libraryfolder::EnterMode mode) {
        return libraryfolder::Enter(choice, store, mode);
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

TEST_F(LibraryFolderTest, TheDefaultFolderIsBelowTheDataFolder) {
    EXPECT_EQ(libraryfolder::DefaultPath(), defaultFolder);
    {
        EnvVar xdg("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(libraryfolder::DefaultPath(), "/srv/data/Velmora Software/Tindrel/library");
    }
    // A relative data folder is not one (the base directory rules).
    EnvVar relative("XDG_DATA_HOME", "data");
    EXPECT_EQ(libraryfolder::DefaultPath(), defaultFolder);
}

TEST_F(LibraryFolderTest, TheRememberedFolderSitsBesideTheOptions) {
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 0});
    EXPECT_EQ(libraryfolder::Remembered(store), "");
    EXPECT_TRUE(libraryfolder::Remember(store, "/data/my samples"));
    EXPECT_EQ(libraryfolder::Remembered(store), "/data/my samples");
    EXPECT_EQ(DumpApp(store), "Settings { AutoSaveOnSwitch=0 LibraryFolder='/data/my samples' }\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    // Only an absolute path counts: a relative one would depend on where the program starts.
    EXPECT_TRUE(libraryfolder::Remember(store, "samples"));
    EXPECT_EQ(libraryfolder::Remembered(store), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LibraryFolderTest, AFolderThatCannotBeRememberedIsReported) {
    store.FailCall(Op::SetString, keyerr::kAccessDenied);
    EXPECT_FALSE(libraryfolder::Remember(store, "/data/samples"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text.rfind("Tindrel was unable to remember the library folder\n/data/samples\n"
                                     "Reason: ",
                                     0),
        0u);
    EXPECT_EQ(libraryfolder::Remembered(store), "");
}

TEST_F(LibraryFolderTest, TheCurrentAndAGivenFolder) {
    const std::string start = Here();
    EXPECT_EQ(Enter({}, kWindow), start);
    const std::string given = Made("given");
    EXPECT_EQ(Enter({LibraryPlace::GivenFolder, "given"}, kWindow), given);
    EXPECT_EQ(Here(), given);
    EXPECT_TRUE(messages.shown.empty());

    // Missing or not a folder: told, and the program cannot go on. Nothing is created.
    WriteFileBytes(dir.File("plain"), "x");
    const struct {
        std::string folder;
        const char* reason;
    } bad[] = {{dir.File("missing"), "The file could not be located."},
               {dir.File("plain"), "All or part of the path is invalid."}};
    for (const auto& b : bad) {
        messages.Clear();
        EXPECT_EQ(Enter({LibraryPlace::GivenFolder, b.folder}, kWindow), "");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "The library folder\n" + b.folder + "\ncannot be opened.\nReason: " + b.reason);
        EXPECT_EQ(Here(), given);
    }
    EXPECT_FALSE(fs::exists(dir.File("missing")));
}

TEST_F(LibraryFolderTest, TheWindowMakesTheDefaultFolderTheToolDoesNot) {
    EXPECT_EQ(Enter(kUser, kTool), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(fs::exists(dir.File("home")));

    messages.Clear();
    EXPECT_EQ(Enter(kUser, kWindow), defaultFolder);
    EXPECT_EQ(Here(), defaultFolder);
    EXPECT_TRUE(messages.shown.empty());
    // Private to the user, as are the parents it had to make.
    for (const std::string& made : {defaultFolder, dir.File("home/.local")}) {
        struct stat st {};
        ASSERT_EQ(stat(made.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
    // Once it exists, the tool works on it too.
    EXPECT_EQ(Enter(kUser, kTool), defaultFolder);
}

TEST_F(LibraryFolderTest, AMissingRememberedFolderGivesWayToTheDefaultInTheWindowOnly) {
    const std::string gone = dir.File("unmounted/samples");
    libraryfolder::Remember(store, gone);

    EXPECT_EQ(Enter(kUser, kTool), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The library folder\n" + gone + "\ncannot be opened.\nReason: The file could not be located.");
    EXPECT_FALSE(fs::exists(defaultFolder));

    messages.Clear();
    EXPECT_EQ(Enter(kUser, kWindow), defaultFolder);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The library folder\n" + gone +
                                          "\ncannot be opened.\nReason: The file could not be located.\n\n"
                                          "Tindrel opens the default library folder\n" +
                                          defaultFolder + "\ninstead.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    // Kept for the next start, when the folder may be back; nothing was made in its place.
    EXPECT_EQ(libraryfolder::Remembered(store), gone);
    EXPECT_FALSE(fs::exists(dir.File("unmounted")));
}

TEST_F(LibraryFolderTest, CheckAcceptsOnlyFoldersTheLibraryCanLiveIn) {
    const std::string real = Made("real");
    fs::create_directory_symlink(real, dir.File("link"));
    EXPECT_EQ(libraryfolder::Check(dir.File("link")), real);
    EXPECT_EQ(libraryfolder::Check("real"), real);
    EXPECT_TRUE(messages.shown.empty());

    WriteFileBytes(dir.File("plain"), "x");
    EXPECT_EQ(libraryfolder::Check(dir.File("plain")), "");
    EXPECT_EQ(libraryfolder::Check(dir.File("missing")), "");
    EXPECT_EQ(messages.shown.size(), 2u);
}

} // namespace
