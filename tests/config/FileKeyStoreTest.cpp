// The file-backed key store: the file format, atomic writes, damaged files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ConfigTestUtil.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "base/FileLayer.h"
#include "support/TestSupport.h"

namespace {

using LoadState = FileKeyStore::LoadState;
using Value = MemoryKeyStore::Value;

// Every key and value of a store, for exact comparison.
std::vector<std::pair<KeyPath, std::map<std::string, Value>>> Contents(const MemoryKeyStore& store) {
    std::vector<std::pair<KeyPath, std::map<std::string, Value>>> out;
    store.Visit([&](const KeyPath& path, const std::map<std::string, Value>& values) {
        out.emplace_back(path, values);
    });
    return out;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileStore : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    TempDir dir;
    std::string path = dir.File("Tindrel.conf");

    void TearDown() override { fileio::Faults::Clear(); }

    // A valid file with a few keys and values.
    std::string GoodFile() {
        return "TindrelConfig 1\n"
               "key \"A\"\n"
               "value \"v\" string \"one\"\n"
               "key \"A\" \"B\"\n"
               "key \"C\"\n"
               "value \"n\" dword 5\n"
               "end\n";
    }
};

TEST_F(FileStore, WritesTheDocumentedTextExactly) {
    FileKeyStore store(path);
    store.PutKey(AppPath({"ExpandedCats", "C++"}));
    store.PutValue(AppPath({"CustomCats", "My \"Tools\""}), "FileName",
                   {false, "quorrinMy \"Tools\".txt", 0});
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 1});
    store.PutValue(AppPath({"Settings"}), "SaveTreeState", {true, "", 0});
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error;
    EXPECT_EQ(
        ReadFileBytes(path),
        "TindrelConfig 1\n"
        "# The library configuration of Tindrel, written by Tindrel; edit it only while Tindrel is closed.\n"
        "# Names and texts are quoted: \\\\ is a backslash, \\\" a quote, \\xHH any other byte.\n"
        "key \"Software\"\n"
        "key \"Software\" \"Velmora Software\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"My \\\"Tools\\\"\"\n"
        "value \"FileName\" string \"quorrinMy \\\"Tools\\\".txt\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\" \"ExpandedCats\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\" \"ExpandedCats\" \"C++\"\n"
        "key \"Software\" \"Velmora Software\" \"Tindrel\" \"Settings\"\n"
        "value \"AutoSaveOnSwitch\" dword 1\n"
        "value \"SaveTreeState\" dword 0\n"
        "end\n");
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(FileStore, EscapesOnlyWhatIsNotPlainPrintableOrValidUtf8) {
    EXPECT_EQ(FileKeyStore::Quote("a b+c/%#"), "\"a b+c/%#\"");
    EXPECT_EQ(FileKeyStore::Quote("q\"b\\"), "\"q\\\"b\\\\\"");
    EXPECT_EQ(FileKeyStore::Quote(std::string("\0\n\r\t\x7F", 5)), "\"\\x00\\x0A\\x0D\\x09\\x7F\"");
    EXPECT_EQ(FileKeyStore::Quote("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"");
    // Stray, overlong, surrogate and cut sequences are bytes.
    EXPECT_EQ(FileKeyStore::Quote("\xFF\xC0\xAF\xED\xA0\x80\xE2\x82"),
              "\"\\xFF\\xC0\\xAF\\xED\\xA0\\x80\\xE2\\x82\"");
}

TEST_F(FileStore, ReloadsExactlyWhatWasWritten) {
    // (An empty key name cannot exist: opening "" gives the parent key back.)
    const std::vector<std::string> names = {" lead",
                                            "trail ",
                                            "a+b",
                                            "\"quoted\"",
                                            "back\\slash",
                                            "\xC3\xA9t\xC3\xA9",
                                            "GUI",
                                            "gui",
                                            "\xFF\xFE raw",
                                            "\xC0\xAF",
                                            "\xED\xA0\x80",
                                            "\xE2\x82",
                                            "#hash",
                                            "key",
                                            "end",
                                            "x\ny",
                                            "tab\there",
                                            "\r",
                                            std::string("nul\0byte", 8),
                                            std::string(259, 'L'),
                                            std::string(300, 'M'),
                                            "\xE2\x80\xA8"};
    {
        FileKeyStore store(path);
        for (const std::string& n : names) {
            store.PutKey(AppPath({"CustomSubcats", "C++", n}));
            store.PutValue(AppPath({"CustomCats", n}), "FileName", {false, n + ".txt", 0});
            store.PutValue(AppPath({"CustomCats", n}), n, {true, "", 0xFFFFFFFFu});
        }
        store.PutValue({}, "root value", {true, "", 0});
        std::string error;
        ASSERT_TRUE(store.Flush(error)) << error;
    }
    FileKeyStore again(path);
    EXPECT_EQ(again.State(), LoadState::Loaded);
    EXPECT_TRUE(messenger.shown.empty());
    MemoryKeyStore expected;
    for (const std::string& n : names) {
        expected.PutKey(AppPath({"CustomSubcats", "C++", n}));
        expected.PutValue(AppPath({"CustomCats", n}), "FileName", {false, n + ".txt", 0});
        expected.PutValue(AppPath({"CustomCats", n}), n, {true, "", 0xFFFFFFFFu});
    }
    expected.PutValue({}, "root value", {true, "", 0});
    EXPECT_TRUE(Contents(again) == Contents(expected));
    EXPECT_EQ(again.SubKeyNames(AppPath({"CustomSubcats", "C++"})).size(), names.size());

    // The file is text: no control byte other than the line ends.
    for (char c : ReadFileBytes(path))
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
}

TEST_F(FileStore, ConfigurationSurvivesARestartIncludingCaseDistinctNames) {
    {
        FileKeyStore store(path);
        CLibraryConfig config(store);
        config.LoadProfile();
        config.BeginLibrarySave();
        config.RecordCategory(DefaultCategory("C++", {"GUI2", "gui2"}));
        config.RecordCategory(CustomCategory("Tools", {"Loops", "loops"}));
        config.EndLibrarySave();
        config.g_expandedSubcats = {{"Tools", {"loops"}}};
        config.m_bSaveTreeState = false;
        config.WriteExpandedCats();
        config.SaveSettings();
    }
    FileKeyStore store(path);
    CLibraryConfig config(store);
    config.LoadProfile();
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(config.g_customSubcats, (NameSetMap{{"C++", {"GUI2", "gui2"}}}));
    EXPECT_EQ(config.g_customCatSubcats, (NameSetMap{{"Tools", {"Loops", "loops"}}}));
    EXPECT_EQ(config.g_customCatFiles.at("Tools"), "quorrinTools.txt");
    EXPECT_EQ(config.g_expandedSubcats, (NameSetMap{{"Tools", {"loops"}}}));
    EXPECT_TRUE(config.m_bAutoSaveOnSwitch);
    EXPECT_FALSE(config.m_bSaveTreeState);
}

TEST_F(FileStore, FlushCreatesTheFoldersAndWritesOnlyWhenSomethingChanged) {
    std::string nested = dir.File("a/b c/Tindrel.conf");
    FileKeyStore store(nested);
    std::string error;
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(nested)); // nothing to write yet
    store.PutKey({"K"});
    ASSERT_TRUE(store.Flush(error)) << error;
    EXPECT_TRUE(fileio::FileExists(nested));
    std::filesystem::remove(nested);
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(nested));
    // Deleting and creating the same key again changes nothing in the text.
    KeyHandle key = kNoKey;
    ASSERT_EQ(store.DeleteKey(kCurrentUserKey, "K"), keyerr::kSuccess);
    bool created = false;
    ASSERT_EQ(store.CreateKey(kCurrentUserKey, "K", kKeyAllAccess, key, created), keyerr::kSuccess);
    store.CloseKey(key);
    EXPECT_TRUE(store.Flush(error));
    EXPECT_FALSE(fileio::FileExists(nested));
    store.PutKey({"K2"});
    ASSERT_TRUE(store.Flush(error)) << error;
    EXPECT_TRUE(fileio::FileExists(nested));
    EXPECT_EQ(FolderEntries(dir.File("a/b c")), std::vector<std::string>{"Tindrel.conf"});
}

TEST_F(FileStore, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    WriteFileBytes(path, GoodFile());
    FileKeyStore store(path);
    store.PutKey({"New", "Key"});
    std::string error;
    for (fileio::Op op : {fileio::Op::Write, fileio::Op::Sync, fileio::Op::Rename}) {
        if (op == fileio::Op::Write)
            fileio::Faults::FailWritesAfter(20, fileio::kDiskFull);
        else
            fileio::Faults::FailNext(op, fileio::kHardIO);
        EXPECT_FALSE(store.Flush(error));
        EXPECT_EQ(error,
                  "File: " + path + "\nReason: " +
                      fileio::CauseText(op == fileio::Op::Write ? fileio::kDiskFull : fileio::kHardIO));
        EXPECT_EQ(ReadFileBytes(path), GoodFile());
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Tindrel.conf"});
        fileio::Faults::Clear();
    }
    // The next flush writes everything.
    ASSERT_TRUE(store.Flush(error)) << error;
    FileKeyStore again(path);
    EXPECT_TRUE(again.KeyExists({"New", "Key"}));
    EXPECT_EQ(again.GetValue({"C"}, "n"), (Value{true, "", 5}));
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(FileStore, ATemporaryFileLeftByAKilledWriteIsIgnored) {
    WriteFileBytes(path, GoodFile());
    WriteFileBytes(path + ".tmp-Ab12Cd", "TindrelConfig 1\nkey \"Half");
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Loaded);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.GetValue({"A"}, "v"), (Value{false, "one", 0}));
    store.PutKey({"D"});
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error;
    EXPECT_TRUE(FileKeyStore(path).KeyExists({"D"}));
}

TEST_F(FileStore, DamagedLinesAreReportedOnceAndTheRestIsLoaded) {
    const std::string text = "TindrelConfig 1\n"
                             "key \"A\"\n"
                             "value \"v\" string \"one\"\n"
                             "key \"B\" \"unclosed\n"
                             "value \"lost\" dword 1\n"
                             "key \"C\"\n"
                             "value \"n\" dword 99999999999\n"
                             "value \"m\" dword 7\n"
                             "garbage\n"
                             "end\n";
    WriteFileBytes(path, text);
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Damaged);
    ASSERT_EQ(messenger.Texts(), (std::vector<std::string>{
                                     "The library configuration file\n" + path +
                                     "\nis damaged.\n3 lines could not be read, the first is line 4.\n"
                                     "Tindrel starts with the part of the configuration that could be read.\n"
                                     "A copy of the file was kept as\n" +
                                     path + ".damaged"}));
    EXPECT_EQ(messenger.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ReadFileBytes(path + ".damaged"), text);
    EXPECT_EQ(store.KeptCopyPath(), path + ".damaged");
    EXPECT_EQ(store.GetValue({"A"}, "v"), (Value{false, "one", 0}));
    EXPECT_FALSE(store.KeyExists({"B"}));
    EXPECT_FALSE(store.GetValue({"A"}, "lost").has_value());
    EXPECT_EQ(store.GetValue({"C"}, "m"), (Value{true, "", 7}));
    EXPECT_FALSE(store.GetValue({"C"}, "n").has_value());

    // The damaged file is replaced at the next flush, even without a change; then
    // the file reads cleanly.
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error;
    messenger.Clear();
    FileKeyStore again(path);
    EXPECT_EQ(again.State(), LoadState::Loaded);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(ReadFileBytes(path + ".damaged"), text);
}

TEST_F(FileStore, ACutFileLoadsTheWholeLinesBeforeTheCut) {
    const std::string good = GoodFile();
    for (std::size_t cut : {good.find("value \"n\" dword 5") + 16, good.find("end\n")}) {
        SCOPED_TRACE(cut);
        TempDir sub;
        std::string p = sub.File("Tindrel.conf");
        WriteFileBytes(p, good.substr(0, cut));
        messenger.Clear();
        FileKeyStore store(p);
        EXPECT_EQ(store.State(), LoadState::Damaged);
        ASSERT_EQ(messenger.shown.size(), 1u);
        EXPECT_EQ(messenger.shown[0].text,
                  "The library configuration file\n" + p +
                      "\nis damaged.\nIt ends before its last line: the file is cut short.\n"
                      "Tindrel starts with the part of the configuration that could be read.\n"
                      "A copy of the file was kept as\n" +
                      p + ".damaged");
        EXPECT_EQ(ReadFileBytes(p + ".damaged"), good.substr(0, cut));
        EXPECT_TRUE(store.KeyExists({"A", "B"}));
        EXPECT_TRUE(store.KeyExists({"C"}));
        // "dword 5" cut to "dword " is not taken; a whole line is.
        EXPECT_EQ(store.GetValue({"C"}, "n").has_value(), cut == good.find("end\n"));
    }
}

TEST_F(FileStore, NewerForeignEmptyAndHeaderOnlyFilesLoadNothing) {
    const struct {
        std::string text;
        LoadState state;
        std::string problem;
    } cases[] = {
        {"TindrelConfig 2\nkey \"A\"\nend\n", LoadState::Newer,
         "was written by a newer version of Tindrel (file format 2; this version reads format 1)."},
        {"[Settings]\nkey \"A\"\n", LoadState::Foreign, "is not a Tindrel configuration file."},
        {"", LoadState::Foreign, "is empty."},
        {"TindrelConfig x\nkey \"A\"\nend\n", LoadState::Foreign, "is not a Tindrel configuration file."},
        {"TindrelConf", LoadState::Damaged,
         "is damaged.\nIt ends before its last line: the file is cut short."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir sub;
        std::string p = sub.File("Tindrel.conf");
        WriteFileBytes(p, c.text);
        messenger.Clear();
        FileKeyStore store(p);
        EXPECT_EQ(store.State(), c.state);
        EXPECT_FALSE(store.KeyExists({"A"}));
        const std::string loaded =
            c.state == LoadState::Damaged
                ? "Tindrel starts with the part of the configuration that could be read.\n"
                : "Tindrel starts with an empty library configuration.\n";
        EXPECT_EQ(messenger.Texts(),
                  (std::vector<std::string>{"The library configuration file\n" + p + "\n" + c.problem + "\n" +
                                            loaded + "A copy of the file was kept as\n" + p + ".damaged"}));
        EXPECT_EQ(ReadFileBytes(p + ".damaged"), c.text);
    }
}

TEST_F(FileStore, CopiesAreNumberedWhenTheNameIsTaken) {
    WriteFileBytes(path + ".damaged", "first");
    WriteFileBytes(path + ".damaged.2", "second");
    WriteFileBytes(path, "nonsense\n");
    FileKeyStore store(path);
    EXPECT_EQ(store.KeptCopyPath(), path + ".damaged.3");
    EXPECT_EQ(ReadFileBytes(path + ".damaged"), "first");
    EXPECT_EQ(ReadFileBytes(path + ".damaged.3"), "nonsense\n");
}

TEST_F(FileStore, AnUnreadableFileIsMovedAsideWhenItCannotBeCopied) {
    std::filesystem::create_directory(path); // reading a folder fails
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Unreadable);
    ASSERT_EQ(messenger.shown.size(), 1u);
    const std::string& text = messenger.shown[0].text;
    EXPECT_EQ(text.rfind("The library configuration file\n" + path + "\ncannot be read.\nReason: ", 0), 0u);
    EXPECT_NE(text.find("\nTindrel starts with an empty library configuration.\nThe file was moved to\n" +
                        path + ".damaged"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path + ".damaged"));
    store.PutKey({"K"});
    std::string error;
    ASSERT_TRUE(store.Flush(error)) << error;
    EXPECT_TRUE(FileKeyStore(path).KeyExists({"K"}));
}

TEST_F(FileStore, ADamagedFileThatCannotBeKeptAsideIsNeverOverwritten) {
    WriteFileBytes(path, "TindrelConfig 1\nkey \"A\"\nbroken\nend\n");
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied, 1); // the copy's read
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied);
    FileKeyStore store(path);
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_NE(
        messenger.shown[0].text.find("\nNo copy of it could be kept (The file could not be accessed.), so "
                                     "Tindrel will not overwrite it."),
        std::string::npos);
    EXPECT_TRUE(store.KeyExists({"A"}));
    store.PutKey({"B"});
    std::string error;
    EXPECT_FALSE(store.Flush(error));
    EXPECT_EQ(error, "File: " + path +
                         "\nReason: the damaged file could not be kept aside, so it is not overwritten.");
    EXPECT_EQ(ReadFileBytes(path), "TindrelConfig 1\nkey \"A\"\nbroken\nend\n");
}

TEST_F(FileStore, WindowsLineEndsAndAByteOrderMarkFromAnEditorAreAccepted) {
    std::string text = GoodFile();
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFileBytes(path, "\xEF\xBB\xBF" + crlf);
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Loaded);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.GetValue({"A"}, "v"), (Value{false, "one", 0}));
}

TEST(FileStorePath, FollowsXdgConfigHomeElseHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/cfg/here", 1);
    EXPECT_EQ(FileKeyStore::DefaultPath(), "/cfg/here/Velmora Software/Tindrel/Tindrel.conf");
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(FileKeyStore::DefaultPath(), "/home/someone/.config/Velmora Software/Tindrel/Tindrel.conf");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FileKeyStore::DefaultPath(), "/home/someone/.config/Velmora Software/Tindrel/Tindrel.conf");
    if (oldXdg)
        setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    if (oldHome)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

} // namespace

// A key with an empty name cannot be addressed by name (opening "" gives the parent
// back), so a file that holds one is damaged, and rebuilding the stored state must
// still end instead of recursing into the same key for ever.
TEST_F(FileStore, AKeyWithAnEmptyNameIsRefusedAndASaveStillEnds) {
    WriteFileBytes(path, "TindrelConfig 1\n"
                         "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\"\n"
                         "key \"Software\" \"Velmora Software\" \"Tindrel\" \"CustomCats\" \"Tools\" \"\"\n"
                         "end\n");
    FileKeyStore store(path);
    EXPECT_EQ(store.State(), LoadState::Damaged);
    EXPECT_TRUE(store.KeyExists({"Software", "Velmora Software", "Tindrel", "CustomCats", "Tools"}));
    EXPECT_FALSE(store.KeyExists({"Software", "Velmora Software", "Tindrel", "CustomCats", "Tools", ""}));

    CLibraryConfig config(store);
    config.LoadProfile();
    EXPECT_EQ(config.g_customCatFiles.count("Tools"), 1u);
    config.BeginLibrarySave();
    config.EndLibrarySave();
    EXPECT_FALSE(store.KeyExists({"Software", "Velmora Software", "Tindrel", "CustomCats", "Tools"}));
}
