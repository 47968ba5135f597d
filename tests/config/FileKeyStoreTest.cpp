// The file-backed key store: the file's text, reading it (damaged, cut, foreign and newer
// files), and writing it atomically.
#include <gtest/gtest.h>

#include <filesystem>

#include "ConfigTestUtil.h"
#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "config/FileKeyStore.h"

namespace {

using LoadState = FileKeyStore::LoadState;

// Every key and value of a store, one line each: the path, then "name=value" pairs.
std::string Contents(const MemoryKeyStore& store) {
    std::string out;
    store.Visit([&](const KeyPath& path, const std::map<std::string, MemoryKeyStore::Value>& values) {
        for (const std::string& part : path)
            out += "/" + part;
        for (const auto& [name, value] : values)
            out += " " + name + "=" + (value.isDword ? std::to_string(value.number) : "'" + value.text + "'");
        out += "\n";
    });
    return out;
}

TEST(FileStoreText, TheDocumentedTextIsWrittenAndReadBack) {
    TempDir dir;
    const std::string path = dir.File("a/b c/Tindrel.conf");
    FileKeyStore store(path);
    store.PutKey(AppPath({"ExpandedCats", "C++", "caf\xC3\xA9 \xFF\n"}));
    store.PutValue(AppPath({"CustomCats", "My \"Tools\""}), "FileName",
                   {false, "quorrinMy \"Tools\".txt", 0});
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 1});
    store.PutValue(AppPath({"Settings"}), "SaveTreeState", {true, "", 0xFFFFFFFFu});
    store.PutValue(AppPath({"Settings"}), "LibraryFolder", {false, "/home/someone/My Samples", 0});
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error; // the folders are made
    ExpectFileEq(FileAt{path}, "config/documented.conf");
    MemoryKeyStore back;
    EXPECT_FALSE(FileKeyStore::Parse(ReadFileBytes(DataPath("config/documented.conf")), back).Damaged());
    EXPECT_EQ(Contents(back), Contents(store));
}

// A dword is 32 bits: ten digits above 2^32 and a sign are bad lines. A file from an editor
// on another system, with CR LF line ends and a byte-order mark, reads whole.
TEST(FileStoreText, ADwordIsThirtyTwoBitsAndCrLfWithAByteOrderMarkIsRead) {
    for (const auto& [name, bad, contents] : {std::tuple{"dwords.conf", 3, "\n/D max=4294967295\n"},
                                              std::tuple{"crlf-bom.conf", 0, "\n/A v='one'\n"}}) {
        MemoryKeyStore store;
        EXPECT_EQ(FileKeyStore::Parse(ReadFileBytes(DataPath(std::string("config/parse/") + name)), store).badLines,
                  bad) << name;
        EXPECT_EQ(Contents(store), contents) << name;
    }
}

TEST(FileStoreText, AnyNameComesBackWithItsExactBytesInValidUtf8Text) {
    const std::pair<std::string, std::string> quoted[] = {
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {std::string("\0\n\x7F", 3), "\"\\x00\\x0A\\x7F\""},
        {"a b\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\"a b\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        // Stray, overlong, surrogate and cut sequences are bytes.
        {"\xFF\xC0\xAF\xED\xA0\x80\xE2\x82", "\"\\xFF\\xC0\\xAF\\xED\\xA0\\x80\\xE2\\x82\""},
        {"\xE0\x80\x80", "\"\\xE0\\x80\\x80\""}};
    for (const auto& [bytes, text] : quoted)
        EXPECT_EQ(FileKeyStore::Quote(bytes), text);
    // (An empty key name cannot exist: opening "" gives the parent key back.)
    std::vector<std::string> names = {
        "GUI",          "gui",          " lead",    "trail ",
        "key",          "end",          "#hash",    std::string(300, 'M'),
        "\xE2\x80\xA8", "\xE0\x80\x80", "\xC0\xAF", std::string("nul\0byte", 8)};
    for (int b = 0; b < 256; ++b)
        names.push_back(std::string(1, static_cast<char>(b)) + "x");
    MemoryKeyStore store;
    for (const std::string& n : names) {
        store.PutKey(AppPath({"CustomSubcats", "C++", n}));
        store.PutValue(AppPath({"CustomCats", n}), n, {false, n + ".txt", 0});
    }
    store.PutValue({}, "root value", {true, "", 0});
    const std::string text = FileKeyStore::Serialize(store);
    MemoryKeyStore back;
    EXPECT_FALSE(FileKeyStore::Parse(text, back).Damaged());
    EXPECT_EQ(Contents(back), Contents(store));
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(text.find_first_of(std::string("\0\r\t\x7F", 4)), std::string::npos);
}

class FileStore : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    TempDir dir;
    std::string path = dir.File("Tindrel.conf");
    std::string error;
    void TearDown() override { fileio::Faults::Clear(); }
    // The messages shown and forgotten, then the last flush's error, the file's path as <file>.
    std::string Shown() {
        std::string out = Lines(messenger.Texts());
        messenger.Clear();
        out += error;
        for (size_t at; (at = out.find(path)) != std::string::npos;)
            out.replace(at, path.size(), "<file>");
        return out;
    }
};

TEST_F(FileStore, AFileNotLoadedWholeIsReportedOnceKeptAsideAndReplacedAtTheNextFlush) {
    // The messages, with the file's path as <file>, are in the fixture.
    const std::pair<std::string, LoadState> rows[] = {
        {"TindrelConfig 1\nkey \"A\"\nbroken\nkey \"C\"\nvalue \"x\"\nend\n", LoadState::Damaged},
        {"TindrelConfig 1\nkey \"A\"\n", LoadState::Damaged},
        {"TindrelConfig 2\nkey \"A\"\nend\n", LoadState::Newer},
        {"TindrelConfig x\nkey \"A\"\nend\n", LoadState::Foreign},
        {"", LoadState::Foreign},
    };
    std::string transcript;
    for (const auto& [text, state] : rows) {
        SCOPED_TRACE(text);
        std::filesystem::remove(path + ".damaged");
        WriteFileBytes(path, text);
        FileKeyStore store(path);
        EXPECT_EQ(store.State(), state);
        EXPECT_EQ(store.KeyExists({"A"}), state == LoadState::Damaged);
        transcript += "==\n" + Shown();
        EXPECT_EQ(store.KeptCopyPath(), path + ".damaged");
        ASSERT_TRUE(store.Flush(error)) << error; // even without a change
        EXPECT_EQ(FileKeyStore(path).State(), LoadState::Loaded);
        EXPECT_EQ(ReadFileBytes(path + ".damaged"), text);
    }
    ExpectFileEq(transcript, "config/not-loaded-whole.txt");
    // Copies are numbered when the name is taken.
    WriteFileBytes(path + ".damaged.2", "second");
    WriteFileBytes(path, "nonsense\n");
    EXPECT_EQ(FileKeyStore(path).KeptCopyPath(), path + ".damaged.3");
    EXPECT_EQ(ReadFileBytes(path + ".damaged.3"), "nonsense\n");
    EXPECT_EQ(ReadFileBytes(path + ".damaged.2"), "second");
}

TEST_F(FileStore, ADamagedFileThatCannotBeKeptAsideIsNeverOverwritten) {
    const std::string damaged = "TindrelConfig 1\nkey \"A\"\nbroken\nend\n";
    WriteFileBytes(path, damaged);
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied, 1); // the copy's read
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied);
    FileKeyStore store(path);
    EXPECT_TRUE(store.KeyExists({"A"}));
    store.PutKey({"B"});
    EXPECT_FALSE(store.Flush(error));
    ExpectFileEq(Shown(), "config/not-kept-aside.txt"); // the message, then the flush's error
    EXPECT_EQ(ReadFileBytes(path), damaged);
}

TEST_F(FileStore, FlushWritesOnlyAChangeAndAFailedWriteLeavesTheOldFileWhole) {
    WriteFileBytes(path + ".tmp-Ab12Cd", "TindrelConfig 1\nkey \"Half"); // a killed write's leftover
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Missing);
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(path)); // nothing to write yet
    store.PutKey({"K"});
    ASSERT_TRUE(store.Flush(error)) << error;
    const std::string written = ReadFileBytes(path);
    std::filesystem::remove(path);
    // Deleting and creating the same key again changes nothing in the text.
    KeyHandle key = kNoKey;
    bool created = false;
    ASSERT_EQ(store.DeleteKey(kCurrentUserKey, "K"), keyerr::kSuccess);
    ASSERT_EQ(store.CreateKey(kCurrentUserKey, "K", kKeyAllAccess, key, created), keyerr::kSuccess);
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(path));

    WriteFileBytes(path, written);
    store.PutKey({"New", "Key"});
    fileio::Faults::FailWritesAfter(20, fileio::kDiskFull);
    fileio::Faults::FailNext(fileio::Op::Sync, fileio::kHardIO);   // at the second flush
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kHardIO); // at the third
    for (const char* cause :
         {"The disk is full.", "There was a hardware error.", "There was a hardware error."}) {
        EXPECT_FALSE(store.Flush(error));
        EXPECT_EQ(error, "File: " + path + "\nReason: " + cause);
        EXPECT_EQ(ReadFileBytes(path), written);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2); // the leftover stays
    ASSERT_TRUE(store.Flush(error)) << error; // the next flush writes everything
    EXPECT_TRUE(FileKeyStore(path).KeyExists({"New", "Key"}));
    EXPECT_TRUE(messenger.shown.empty());
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kHardIO);
    CLibraryConfig config(store);
    SaveLibrary(config, {CustomCategory("Tools")});
    EXPECT_EQ(messenger.shown.size(), 1u); // a library save's failed flush is shown
}

// A key with an empty name cannot be addressed by name (opening "" gives the parent
// back), so a file that holds one is damaged, and rebuilding the stored state must still
// end instead of recursing into the same key for ever.
TEST_F(FileStore, AKeyWithAnEmptyNameIsRefusedAndASaveStillEnds) {
    WriteFileBytes(path, ReadFileBytes(DataPath("config/empty-name.conf")));
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Damaged);
    CLibraryConfig config = Loaded(store);
    EXPECT_EQ(config.g_customCatFiles.count("Tools"), 1u);
    SaveLibrary(config, {});
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats", "Tools"})));
    EXPECT_FALSE(FileKeyStore(path).KeyExists(AppPath({"CustomCats", "Tools"}))); // the save flushed it
}

// Two processes on one configuration file (two windows on two library folders, or a
// window and one started later): each flush applies its own changes to the file as it is
// now and keeps the other's.
TEST_F(FileStore, AFlushWritesOnlyItsOwnChangesAndKeepsAnotherProcesssChanges) {
    {
        FileKeyStore earlier(path);
        CLibraryConfig config(earlier);
        SaveLibrary(config, {CustomCategory("Old"), CustomCategory("Kept")});
    }
    FileKeyStore firstStore(path);
    FileKeyStore secondStore(path);
    CLibraryConfig first = Loaded(firstStore);
    CLibraryConfig second = Loaded(secondStore);
    SaveLibrary(first, {CustomCategory("Old"), CustomCategory("Kept"), CustomCategory("Tools")});
    // The second never knew Tools; it deletes Old and adds Games.
    SaveLibrary(second, {CustomCategory("Kept"), CustomCategory("Games")});
    second.m_bSaveTreeState = false;
    second.SaveSettings();
    // The first deletes Kept; the second chooses a language for it afterwards, which
    // brings the key back whole.
    SaveLibrary(first, {CustomCategory("Old"), CustomCategory("Tools")});
    second.SetCustomCategoryLanguage("Kept", "shell");
    FileKeyStore after(path);
    CLibraryConfig next = Loaded(after);
    EXPECT_EQ(next.g_customCatFiles, (std::map<std::string, std::string>{{"Games", "quorrinGames.txt"},
                                                                         {"Kept", "quorrinKept.txt"},
                                                                         {"Tools", "quorrinTools.txt"}}));
    EXPECT_EQ(next.CustomCategoryLanguage("Kept"), "shell");
    EXPECT_FALSE(next.m_bSaveTreeState);
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(FileStore, AFileChangedSinceIntoOneThatCannotBeReadWholeIsNotOverwritten) {
    FileKeyStore store(path);
    store.PutKey({"Mine"});
    ASSERT_TRUE(store.Flush(error)) << error;
    WriteFileBytes(path, "TindrelConfig 2\nkey \"Theirs\"\nend\n"); // a newer version's
    store.PutKey({"More"});
    EXPECT_FALSE(store.Flush(error));
    EXPECT_EQ(ReadFileBytes(path), "TindrelConfig 2\nkey \"Theirs\"\nend\n");
    EXPECT_NE(error.find("cannot be read whole now"), std::string::npos) << error;
}

// A window that opened the library read-only writes nothing of it: not a save, not the
// tree state, not the options, not a language choice.
TEST_F(FileStore, AReadOnlyConfigurationLeavesTheFileAsItWas) {
    {
        FileKeyStore earlier(path);
        CLibraryConfig config(earlier);
        SaveLibrary(config, {CustomCategory("Tools", {"Loops"})});
    }
    const std::string before = ReadFileBytes(path);
    FileKeyStore store(path);
    CLibraryConfig config = Loaded(store);
    config.SetReadOnly(true);
    SaveLibrary(config, {DefaultCategory("C++")});
    config.g_expandedSubcats = {{"C++", {"GUI"}}};
    config.WriteExpandedCats();
    config.m_bAutoSaveOnSwitch = false;
    config.SaveSettings();
    config.SetCustomCategoryLanguage("Tools", "shell");
    config.Flush();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(config.CustomCategoryLanguage("Tools"), "shell"); // shown for the run
}

} // namespace
