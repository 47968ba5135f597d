// The file-backed key store: the file's text, reading it (damaged, cut, foreign and newer
// files), and writing it atomically.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ConfigTestUtil.h"
#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "config/FileKeyStore.h"

namespace {

using LoadState = FileKeyStore::LoadState;
using Value = MemoryKeyStore::Value;
using Texts = std::vector<std::string>;

// Every key and value of a store, for exact comparison.
std::vector<std::pair<KeyPath, std::map<std::string, Value>>> Contents(const MemoryKeyStore& store) {
    std::vector<std::pair<KeyPath, std::map<std::string, Value>>> out;
    store.Visit([&](const KeyPath& path, const std::map<std::string, Value>& values) { out.emplace_back(path, values); });
    return out;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The message about a file that was not loaded whole.
std::string Problem(const std::string& path, const std::string& problem, bool partly,
                    const std::string& kept = ".damaged") {
    return "The library configuration file\n" + path + "\n" + problem + "\nTindrel starts with " +
           (partly ? "the part of the configuration that could be read" : "an empty library configuration") +
           ".\nA copy of the file was kept as\n" + path + kept;
}

const std::string kGood = "TindrelConfig 1\n"
                          "key \"A\"\n"
                          "value \"v\" string \"one\"\n"
                          "key \"A\" \"B\"\n"
                          "key \"C\"\n"
                          "value \"n\" dword 5\n"
                          "end\n";

TEST(FileStoreText, TheDocumentedTextIsWrittenAndReadBack) {
    TempDir dir;
    const std::string path = dir.File("a/b c/Tindrel.conf");
    FileKeyStore store(path);
    store.PutKey(AppPath({"ExpandedCats", "C++", "caf\xC3\xA9 \xFF\n"}));
    store.PutValue(AppPath({"CustomCats", "My \"Tools\""}), "FileName", {false, "quorrinMy \"Tools\".txt", 0});
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 1});
    store.PutValue(AppPath({"Settings"}), "SaveTreeState", {true, "", 0xFFFFFFFFu});
    store.PutValue(AppPath({"Settings"}), "LibraryFolder", {false, "/home/someone/My Samples", 0});
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error; // the folders are made
    ExpectFileEq(FileAt{path}, "config/documented.conf");
    EXPECT_EQ(FolderEntries(dir.File("a/b c")), Texts{"Tindrel.conf"});

    MemoryKeyStore back;
    const FileKeyStore::ParseReport report = FileKeyStore::Parse(ReadFileBytes(DataPath("config/documented.conf")), back);
    EXPECT_FALSE(report.Damaged());
    EXPECT_EQ(report.version, 1);
    EXPECT_TRUE(Contents(back) == Contents(store));
}

TEST(FileStoreText, EscapesOnlyWhatIsNotPlainPrintableOrValidUtf8) {
    const struct {
        std::string bytes;
        std::string quoted;
    } rows[] = {
        {"a b+c/%#", "\"a b+c/%#\""},
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {std::string("\0\n\r\t\x7F\x1F", 6), "\"\\x00\\x0A\\x0D\\x09\\x7F\\x1F\""},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        // Stray, overlong, surrogate and cut sequences are bytes.
        {"\xFF\xC0\xAF\xED\xA0\x80\xE2\x82", "\"\\xFF\\xC0\\xAF\\xED\\xA0\\x80\\xE2\\x82\""},
        {"\xE0\x80\x80", "\"\\xE0\\x80\\x80\""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FileKeyStore::Quote(r.bytes), r.quoted);
}

TEST(FileStoreText, AnyNameComesBackWithItsExactBytes) {
    // (An empty key name cannot exist: opening "" gives the parent key back.)
    const std::vector<std::string> names = {" lead",        "trail ",     "a+b",    "\"quoted\"",
                                            "back\\slash",  "GUI",        "gui",    "\xFF\xFE raw",
                                            "\xC0\xAF",     "\xED\xA0\x80", "\xE2\x82", "#hash",
                                            "key",          "end",        "x\ny",   "tab\there",
                                            "\r",           std::string("nul\0byte", 8), std::string(300, 'M'),
                                            "\xE2\x80\xA8", "\xE0\x80\x80"};
    MemoryKeyStore store;
    for (const std::string& n : names) {
        store.PutKey(AppPath({"CustomSubcats", "C++", n}));
        store.PutValue(AppPath({"CustomCats", n}), "FileName", {false, n + ".txt", 0});
        store.PutValue(AppPath({"CustomCats", n}), n, {true, "", 0xFFFFFFFFu});
    }
    store.PutValue({}, "root value", {true, "", 0});
    const std::string text = FileKeyStore::Serialize(store);
    MemoryKeyStore back;
    EXPECT_FALSE(FileKeyStore::Parse(text, back).Damaged());
    EXPECT_TRUE(Contents(back) == Contents(store));
    // The file is valid UTF-8 text: no control byte other than the line ends.
    EXPECT_TRUE(IsValidUtf8(text));
    for (char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
}

TEST(FileStoreText, DamagedLinesAreCountedAndTheRestIsRead) {
    const struct {
        std::string text;
        int badLines;
        int firstBad;
        bool truncated;
        bool trailing;
        std::vector<std::pair<KeyPath, std::string>> values; // read: key, value name
        std::vector<std::pair<KeyPath, std::string>> lost;
    } rows[] = {
        {kGood, 0, 0, false, false, {{{"A"}, "v"}, {{"C"}, "n"}}, {}},
        // From an editor on another system: CR LF line ends and a byte-order mark.
        {"\xEF\xBB\xBFTindrelConfig 1\r\nkey \"A\"\r\nvalue \"v\" string \"one\"\r\nend\r\n", 0, 0, false, false,
         {{{"A"}, "v"}}, {}},
        {"TindrelConfig 1\nkey \"A\"\nvalue \"v\" string \"one\"\nkey \"B\" \"unclosed\nvalue \"lost\" dword 1\n"
         "key \"C\"\nvalue \"n\" dword 99999999999\nvalue \"m\" dword 7\ngarbage\nend\n",
         3, 4, false, false, {{{"A"}, "v"}, {{"C"}, "m"}}, {{{"A"}, "lost"}, {{"C"}, "n"}}},
        // A dword is 32 bits: ten digits above 2^32 are a bad line too.
        {"TindrelConfig 1\nkey \"D\"\nvalue \"max\" dword 4294967295\nvalue \"over\" dword 4294967296\n"
         "value \"nines\" dword 9999999999\nvalue \"sign\" dword -1\nend\n",
         3, 4, false, false, {{{"D"}, "max"}}, {{{"D"}, "over"}, {{"D"}, "nines"}, {{"D"}, "sign"}}},
        {"TindrelConfig 1\nkey \"E\"\nvalue \"s\" string \"one\" more\nvalue \"t\" string\nvalue \"u\" text \"x\"\n"
         "key \"E\" \"\"\nend\n",
         4, 3, false, false, {}, {{{"E"}, "s"}, {{"E"}, "t"}, {{"E"}, "u"}}},
        // Cut inside the last line, or before the end line: whole lines before the cut count.
        {kGood.substr(0, kGood.find("dword 5") + 6), 0, 0, true, false, {{{"A"}, "v"}}, {{{"C"}, "n"}}},
        {kGood.substr(0, kGood.find("end\n")), 0, 0, true, false, {{{"A"}, "v"}, {{"C"}, "n"}}, {}},
        {kGood + "key \"Z\"\n", 0, 0, false, true, {{{"A"}, "v"}}, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        MemoryKeyStore store;
        const FileKeyStore::ParseReport report = FileKeyStore::Parse(r.text, store);
        EXPECT_EQ(report.badLines, r.badLines);
        EXPECT_EQ(report.firstBadLine, r.firstBad);
        EXPECT_EQ(report.truncated, r.truncated);
        EXPECT_EQ(report.trailing, r.trailing);
        for (const auto& [key, name] : r.values)
            EXPECT_TRUE(store.GetValue(key, name).has_value()) << name;
        for (const auto& [key, name] : r.lost)
            EXPECT_FALSE(store.GetValue(key, name).has_value()) << name;
    }
    MemoryKeyStore store;
    FileKeyStore::Parse(kGood, store);
    EXPECT_EQ(store.GetValue({"C"}, "n"), (Value{true, "", 5}));
    EXPECT_EQ(store.GetValue({"A"}, "v"), (Value{false, "one", 0}));
    EXPECT_TRUE(store.KeyExists({"A", "B"}));
}

class FileStore : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    TempDir dir;
    std::string path = dir.File("Tindrel.conf");
    void TearDown() override { fileio::Faults::Clear(); }
};

TEST_F(FileStore, AFileNotLoadedWholeIsReportedOnceKeptAsideAndReplacedAtTheNextFlush) {
    const struct {
        std::string text;
        LoadState state;
        std::string problem;
    } rows[] = {
        {"TindrelConfig 1\nkey \"A\"\nbroken\nkey \"C\"\nvalue \"x\"\nend\n", LoadState::Damaged,
         "is damaged.\n2 lines could not be read, the first is line 3."},
        {"TindrelConfig 1\nkey \"A\"\n", LoadState::Damaged,
         "is damaged.\nIt ends before its last line: the file is cut short."},
        {"TindrelConfig 2\nkey \"A\"\nend\n", LoadState::Newer,
         "was written by a newer version of Tindrel (file format 2; this version reads format 1)."},
        {"[Settings]\nkey \"A\"\n", LoadState::Foreign, "is not a Tindrel configuration file."},
        {"TindrelConfig x\nkey \"A\"\nend\n", LoadState::Foreign, "is not a Tindrel configuration file."},
        {"", LoadState::Foreign, "is empty."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        std::filesystem::remove(path + ".damaged");
        WriteFileBytes(path, r.text);
        messenger.Clear();
        FileKeyStore store(path);
        EXPECT_EQ(store.State(), r.state);
        EXPECT_EQ(store.KeyExists({"A"}), r.state == LoadState::Damaged);
        EXPECT_EQ(messenger.Texts(), Texts{Problem(path, r.problem, r.state == LoadState::Damaged)});
        EXPECT_EQ(ReadFileBytes(path + ".damaged"), r.text);
        EXPECT_EQ(store.KeptCopyPath(), path + ".damaged");
        std::string error;
        ASSERT_TRUE(store.Flush(error)) << error; // even without a change
        messenger.Clear();
        EXPECT_EQ(FileKeyStore(path).State(), LoadState::Loaded);
        EXPECT_TRUE(messenger.shown.empty());
        EXPECT_EQ(ReadFileBytes(path + ".damaged"), r.text);
    }
    // Copies are numbered when the name is taken.
    WriteFileBytes(path + ".damaged.2", "second");
    WriteFileBytes(path, "nonsense\n");
    messenger.Clear();
    EXPECT_EQ(FileKeyStore(path).KeptCopyPath(), path + ".damaged.3");
    EXPECT_EQ(ReadFileBytes(path + ".damaged.3"), "nonsense\n");
    EXPECT_EQ(ReadFileBytes(path + ".damaged.2"), "second");
}

TEST_F(FileStore, AFileThatCannotBeCopiedIsMovedAsideOrNeverOverwritten) {
    std::filesystem::create_directory(path); // reading a folder fails, and it cannot be copied
    FileKeyStore unreadable(path);
    EXPECT_EQ(unreadable.State(), LoadState::Unreadable);
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_EQ(messenger.shown[0].text.rfind("The library configuration file\n" + path + "\ncannot be read.\nReason: ", 0),
              0u);
    EXPECT_NE(messenger.shown[0].text.find("\nTindrel starts with an empty library configuration.\nThe file was moved "
                                           "to\n" + path + ".damaged"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path + ".damaged"));
    std::filesystem::remove(path + ".damaged");

    const std::string damaged = "TindrelConfig 1\nkey \"A\"\nbroken\nend\n";
    WriteFileBytes(path, damaged);
    messenger.Clear();
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied, 1); // the copy's read
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied);
    FileKeyStore store(path);
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_NE(messenger.shown[0].text.find("\nNo copy of it could be kept (The file could not be accessed.), so "
                                           "Tindrel will not overwrite it."),
              std::string::npos);
    EXPECT_TRUE(store.KeyExists({"A"}));
    store.PutKey({"B"});
    std::string error;
    EXPECT_FALSE(store.Flush(error));
    EXPECT_EQ(error, "File: " + path + "\nReason: the damaged file could not be kept aside, so it is not overwritten.");
    EXPECT_EQ(ReadFileBytes(path), damaged);
}

TEST_F(FileStore, FlushWritesOnlyAChangeAndAFailedWriteLeavesTheOldFileWhole) {
    WriteFileBytes(path + ".tmp-Ab12Cd", "TindrelConfig 1\nkey \"Half"); // a killed write's leftover
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Missing);
    std::string error;
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
    store.CloseKey(key);
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(path));

    WriteFileBytes(path, written);
    store.PutKey({"New", "Key"});
    for (fileio::Op op : {fileio::Op::Write, fileio::Op::Sync, fileio::Op::Rename}) {
        if (op == fileio::Op::Write)
            fileio::Faults::FailWritesAfter(20, fileio::kDiskFull);
        else
            fileio::Faults::FailNext(op, fileio::kHardIO);
        EXPECT_FALSE(store.Flush(error));
        EXPECT_EQ(error, "File: " + path + "\nReason: " +
                             (op == fileio::Op::Write ? "The disk is full." : "There was a hardware error."));
        EXPECT_EQ(ReadFileBytes(path), written);
        fileio::Faults::Clear();
    }
    EXPECT_EQ(FolderEntries(dir.Path()), (Texts{"Tindrel.conf", "Tindrel.conf.tmp-Ab12Cd"}));
    ASSERT_TRUE(store.Flush(error)) << error; // the next flush writes everything
    EXPECT_TRUE(FileKeyStore(path).KeyExists({"New", "Key"}));
    EXPECT_TRUE(messenger.shown.empty());
}

TEST(FileStorePath, FollowsXdgConfigHomeElseHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/cfg/here", 1);
    EXPECT_EQ(FileKeyStore::DefaultPath(), "/cfg/here/Velmora Software/Tindrel/Tindrel.conf");
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(FileKeyStore::DefaultPath(), "/home/someone/.config/Velmora Software/Tindrel/Tindrel.conf");
    oldXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

// A key with an empty name cannot be addressed by name (opening "" gives the parent
// back), so a file that holds one is damaged, and rebuilding the stored state must still
// end instead of recursing into the same key for ever.
TEST_F(FileStore, AKeyWithAnEmptyNameIsRefusedAndASaveStillEnds) {
    const KeyPath tools = AppPath({"CustomCats", "Tools"});
    WriteFileBytes(path, "TindrelConfig 1\n"
                         "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\"\n"
                         "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\" \"\"\n"
                         "end\n");
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Damaged);
    EXPECT_TRUE(store.KeyExists(tools));
    CLibraryConfig config(store);
    config.LoadProfile();
    EXPECT_EQ(config.g_customCatFiles.count("Tools"), 1u);
    SaveLibrary(config, {});
    EXPECT_FALSE(store.KeyExists(tools));
}

} // namespace
