// tindrel-cli run as a subprocess on a small library in a temporary folder, with its
// configuration file in a temporary configuration folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "config/FileKeyStore.h"
#include "library/Category.h"
#include "support/TestSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Every file below a folder: bytes, modification time and inode.
struct FileState {
    std::string bytes;
    long long mtimeNs;
    unsigned long long inode;
    bool operator==(const FileState&) const = default;
};
using Snapshot = std::map<std::string, FileState>;

Snapshot Take(const std::string& root) {
    Snapshot snap;
    if (!fs::exists(root))
        return snap;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        lstat(entry.path().c_str(), &st);
        FileState state{entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : std::string(),
                        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                        static_cast<unsigned long long>(st.st_ino)};
        snap[fs::relative(entry.path(), root).string()] = state;
    }
    return snap;
}

// Sets every file's times to a fixed past moment, so that any rewrite shows.
void AgeFiles(const std::string& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
}

class Cli : public ::testing::Test {
protected:
    Cli() : lib(dir.File("lib")), cfgHome(dir.File("cfg")) {
        fs::create_directories(lib);
        confPath = cfgHome + "/Velmora Software/Tindrel/Tindrel.conf";
    }

    // Runs the tool in the library folder with the test's configuration folder.
    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        return Finish(Start(args, "", input), "");
    }
    // Starts the tool without waiting; its output goes to files named after tag.
    pid_t Start(const std::vector<std::string>& args, const std::string& tag, const std::string& input = "") {
        const char* tool = std::getenv("TINDREL_CLI");
        EXPECT_NE(tool, nullptr) << "TINDREL_CLI is not set";
        if (!tool)
            return -1;
        const std::string inPath = dir.File("stdin" + tag + ".txt");
        const std::string outPath = dir.File("stdout" + tag + ".txt");
        const std::string errPath = dir.File("stderr" + tag + ".txt");
        WriteFileBytes(inPath, input);

        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string var = *e;
            if (var.rfind("XDG_CONFIG_HOME=", 0) != 0 && var.rfind("HOME=", 0) != 0 &&
                var.rfind("XDG_DATA_HOME=", 0) != 0)
                env.push_back(var);
        }
        env.push_back("XDG_CONFIG_HOME=" + cfgHome);
        env.push_back("HOME=" + dir.File("home"));
        std::vector<char*> envp;
        for (std::string& v : env)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        std::vector<std::string> argStrings = {tool};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStrings)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        pid_t pid = fork();
        if (pid == 0) {
            int in = open(inPath.c_str(), O_RDONLY);
            int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0 || chdir(lib.c_str()) != 0)
                _exit(127);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            execve(tool, argv.data(), envp.data());
            _exit(127);
        }
        return pid;
    }
    Result Finish(pid_t pid, const std::string& tag) {
        Result result;
        if (pid < 0)
            return result;
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFileBytes(dir.File("stdout" + tag + ".txt"));
        result.err = ReadFileBytes(dir.File("stderr" + tag + ".txt"));
        return result;
    }

    std::string LibFile(const std::string& name) const { return lib + "/" + name; }

    // The configuration file as the program leaves it.
    void WriteConfig(const std::vector<KeyPath>& keys,
                     const std::vector<std::pair<KeyPath, std::string>>& files) {
        FileKeyStore store(confPath);
        const KeyPath app = {"Software", "Velmora Software", "Tindrel"};
        for (KeyPath key : keys) {
            key.insert(key.begin(), app.begin(), app.end());
            store.PutKey(key);
        }
        for (auto [key, file] : files) {
            key.insert(key.begin(), app.begin(), app.end());
            store.PutValue(key, "FileName", MemoryKeyStore::Value{false, file, 0});
        }
        std::string error;
        ASSERT_TRUE(store.Flush(error)) << error;
    }

    // A small library: a custom category Tools, a hidden category, a hidden default
    // sub-category, a custom sub-category of Java, a duplicate and unplaced samples.
    void MakeLibrary() {
        WriteConfig({{"CustomCats", "Tools", "Sorting"},
                     {"CustomSubcats", "Java", "Swing"},
                     {"HiddenCats", "Visual Basic"},
                     {"HiddenSubcats", "Java", "COM"}},
                    {{{"CustomCats", "Tools"}, "quorrinTools.txt"}});
        cpp = {MakeSample("Hello", "C++", "General", "greeting, main", "Prints hello.\r\n",
                          "int main() {\r\n  puts(\"hello\");\r\n}\r\n"),
               MakeSample("Direct", "C++", "", "", "", "no sub-category\r\n")};
        java = {MakeSample("Swingy", "Java", "Swing", "ui", "", "JFrame f;\r\n"),
                MakeSample("Hello", "Java", "General", "", "", "duplicate\r\n"),
                MakeSample("Stray", "Nowhere", "X", "", "", "hello stray\r\n")};
        tools = {MakeSample("Quick", "Tools", "Sorting", "sort", "", "quick HELLO sort\r\n")};
        vb = {MakeSample("VbThing", "Visual Basic", "General")};
        WriteFileBytes(LibFile("quorrincpp.txt"), FileBytes(cpp));
        WriteFileBytes(LibFile("quorrinjava.txt"), FileBytes(java));
        WriteFileBytes(LibFile("quorrinTools.txt"), FileBytes(tools));
        WriteFileBytes(LibFile("quorrinvb.txt"), FileBytes(vb));
        AgeFiles(dir.Path());
    }

    Snapshot TakeAll() {
        Snapshot all;
        for (auto& [name, state] : Take(lib))
            all["lib/" + name] = state;
        for (auto& [name, state] : Take(cfgHome))
            all["cfg/" + name] = state;
        return all;
    }

    TempDir dir;
    std::string lib;
    std::string cfgHome;
    std::string confPath;
    std::vector<CSample> cpp, java, tools, vb;
};

const char* const kTree = "Samples (*Load errors exist*)\n"
                          "  C++\n"
                          "    COM\n"
                          "    Direct\n"
                          "    General\n"
                          "      Hello\n"
                          "    GUI\n"
                          "  Java\n"
                          "    General\n"
                          "    GUI\n"
                          "    Swing\n"
                          "      Swingy\n"
                          "  Tools\n"
                          "    Sorting\n"
                          "      Quick\n"
                          "Load errors:\n"
                          "  Hello\tDuplicate title.\n"
                          "  Stray\tCould not find parent item.\n"
                          "  VbThing\tCould not find parent item.\n";

// --- Help and command line -----------------------------------------------------------------

TEST_F(Cli, HelpForTheToolAndEveryCommand) {
    Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: tindrel-cli [--library | --folder DIR] COMMAND"), std::string::npos);
    for (const char* command : {"list", "show", "search", "info", "check", "add"}) {
        r = Run({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: tindrel-cli ") + command, 0), 0u) << r.out;
    }
    EXPECT_TRUE(Take(lib).empty()); // help reads nothing and creates nothing
}

TEST_F(Cli, BadCommandLinesExitWithTwo) {
    EXPECT_EQ(Run({}).status, 2);
    Result r = Run({"frobnicate"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(Run({"list", "--bogus"}).status, 2);
    EXPECT_EQ(Run({"list", "extra"}).status, 2);
    EXPECT_EQ(Run({"show"}).status, 2);
    EXPECT_EQ(Run({"show", "Hello", "--raw", "--all"}).status, 2);
    EXPECT_EQ(Run({"search"}).status, 2);
    EXPECT_EQ(Run({"search", "x", "--category"}).status, 2);
    EXPECT_EQ(Run({"add", "--title"}).status, 2);
    EXPECT_EQ(Run({"add", "--comments-file", "-", "--text-file", "-"}).status, 2);
    EXPECT_EQ(Run({"--folder"}).status, 2);
    EXPECT_EQ(Run({"--folder=", "list"}).status, 2);
    EXPECT_EQ(Run({"--library", "--folder", ".", "list"}).status, 2);
}

TEST_F(Cli, TheFolderOptionsChooseTheLibraryAndCreateNothing) {
    MakeLibrary();
    const std::string other = dir.File("other");
    fs::create_directories(other);
    WriteFileBytes(other + "/quorrincpp.txt", FileBytes({MakeSample("Elsewhere", "C++", "General")}));
    EXPECT_EQ(Run({"--folder", other, "show", "Elsewhere"}).status, 0);
    EXPECT_EQ(Run({"--folder=" + other, "show", "Hello"}).status, 1);
    EXPECT_EQ(Run({"show", "Hello"}).status, 0);

    // --library: the folder the program remembered, else the default one, which the
    // tool does not create.
    const std::string home = dir.File("home");
    Result r = Run({"--library", "list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The library folder\n" + home +
                         "/.local/share/Velmora Software/Tindrel/library\ncannot be opened.\n"
                         "Reason: The file could not be located.\n");
    EXPECT_FALSE(fs::exists(home));
    {
        FileKeyStore store(confPath);
        store.PutValue({"Software", "Velmora Software", "Tindrel", "Settings"}, "LibraryFolder",
                       MemoryKeyStore::Value{false, other, 0});
        std::string error;
        ASSERT_TRUE(store.Flush(error)) << error;
    }
    r = Run({"--library", "list"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Elsewhere"), std::string::npos);
    EXPECT_EQ(Run({"--library", "--help"}).status, 0);

    r = Run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("tindrel-cli ", 0), 0u);
}

// --- Read-only commands --------------------------------------------------------------------

TEST_F(Cli, ListShowsTheTreeThenTheLoadErrors) {
    MakeLibrary();
    Result r = Run({"list"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kTree);
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, ListOfAnEmptyFolderShowsTheDefaults) {
    Result r = Run({"list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Samples\n"
                     "  C++\n    COM\n    General\n    GUI\n"
                     "  Java\n    COM\n    General\n    GUI\n"
                     "  Visual Basic\n    COM\n    General\n    GUI\n");
}

TEST_F(Cli, ShowTextRawAndAll) {
    MakeLibrary();
    Result r = Run({"show", "Hello"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "int main() {\n  puts(\"hello\");\n}\n");
    r = Run({"show", "Hello", "--raw"});
    EXPECT_EQ(r.out, "int main() {\r\n  puts(\"hello\");\r\n}\r\n");
    r = Run({"show", "--all", "Hello"});
    EXPECT_EQ(r.out, "Title:  Hello\n\nCategory:  C++\nSub-category:  General\nKeywords:\ngreeting, main\n\n"
                     "Comments:\nPrints hello.\n\n\nSample:\nint main() {\n  puts(\"hello\");\n}\n");
}

TEST_F(Cli, ShowOfAMissingTitleOrALoadError) {
    MakeLibrary();
    Result r = Run({"show", "hello"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Sample \"hello\" is not in the library.\n");
    r = Run({"show", "Stray"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Sample \"Stray\" is not in the library: it is a load error (Could not find parent item.)\n");
}

TEST_F(Cli, SearchPrintsRowsAndTheFoundLine) {
    MakeLibrary();
    Result r = Run({"search", "hello"});
    EXPECT_EQ(r.status, 0);
    // Load errors are not in the library and are not searched.
    EXPECT_EQ(r.out, "Hello\t3\nQuick\t1\nFound 4 occurrence(s) in 2 sample(s)\n");
    r = Run({"search", "hello", "--match-case"});
    EXPECT_EQ(r.out, "Hello\t2\nFound 2 occurrence(s) in 1 sample(s)\n");
    r = Run({"search", "MAIN", "--keywords-only"});
    EXPECT_EQ(r.out, "Hello\t1\nFound 1 occurrence(s) in 1 sample(s)\n");
    r = Run({"search", "--category", "Tools", "hello"});
    EXPECT_EQ(r.out, "Quick\t1\nFound 1 occurrence(s) in 1 sample(s)\n");
    r = Run({"search", "--category=(no limit)", "zzz"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Found 0 occurrence(s) in 0 sample(s)\n");
    r = Run({"search", "--", "--x"});
    EXPECT_EQ(r.out, "Found 0 occurrence(s) in 0 sample(s)\n");
}

TEST_F(Cli, SearchRefusesAnEmptyTextAndAnUnknownCategory) {
    MakeLibrary();
    Result r = Run({"search", ""});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Please enter a string you wish to search for.\n");
    r = Run({"search", "x", "--category", "tools"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Category \"tools\" does not exist in the library.\n");
}

TEST_F(Cli, InfoSummaryAndDetailWithLfLineEnds) {
    MakeLibrary();
    Result r = Run({"info"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Library contains 4 categories with a total of 4 sample(s).\n\n"
                     "Category statistics:\n\n"
                     "\tName: C++\tSample count: 2\n"
                     "\tName: Java\tSample count: 1\n"
                     "\tName: Tools\tSample count: 1\n"
                     "\tName: Visual Basic\tSample count: 0\n");
    r = Run({"info", "--detail"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Category: Java  (1 sample)\n\tFile name:  quorrinjava.txt\n\tDefault type?  yes\n"
                         "\tDisplayed?  yes\n\tHidden default sub-categories: \"COM\" \n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Category: Visual Basic  (0 samples)\n"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(Cli, CheckListsLoadErrorsAndSetsTheStatus) {
    MakeLibrary();
    Result r = Run({"check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Hello\tDuplicate title.\nStray\tCould not find parent item.\nVbThing\tCould not find "
                     "parent item.\n");

    WriteFileBytes(LibFile("quorrinjava.txt"), FileBytes({java[0]}));
    WriteFileBytes(LibFile("quorrinvb.txt"), "");
    r = Run({"check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(Cli, ReadingCommandsChangeNoFileAndCreateNothing) {
    MakeLibrary();
    const Snapshot before = TakeAll();
    ASSERT_EQ(before.size(), 7u); // 4 category files; 2 configuration folders and the file
    const std::vector<std::vector<std::string>> commands = {
        {"list"},  {"show", "Hello"},  {"show", "Hello", "--all"}, {"search", "hello"}, {"info", "--detail"},
        {"check"}, {"show", "missing"}};
    for (const auto& command : commands) {
        Run(command);
        EXPECT_EQ(TakeAll(), before) << command[0];
    }
    EXPECT_FALSE(fs::exists(LibFile("library.txt")));
}

TEST_F(Cli, ReadingCommandsInAnEmptyFolderCreateNothing) {
    for (const char* command : {"list", "info", "check"}) {
        Result r = Run({command});
        EXPECT_EQ(r.status, 0) << command;
    }
    EXPECT_TRUE(Take(lib).empty());
    EXPECT_FALSE(fs::exists(cfgHome));
}

TEST_F(Cli, ReadingCommandsDoNotLockOutTheProgram) {
    MakeLibrary();
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive(LibFile("quorrincpp.txt"), cause));
    Result r = Run({"list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kTree);
}

TEST_F(Cli, ASequenceErrorIsReportedAndMakesTheStatusOne) {
    MakeLibrary();
    WriteFileBytes(LibFile("quorrinTools.txt"),
                   FileBytes(tools) + "junk\r\n" + FileBytes({MakeSample("Behind", "Tools")}));
    Result r = Run({"list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kTree);
    EXPECT_EQ(r.err,
              "Error processing at start of sample.\nInput file quorrinTools.txt not in proper sequence!\n");
}

TEST_F(Cli, ADamagedConfigurationIsReportedAndLeftAlone) {
    MakeLibrary();
    std::string text = ReadFileBytes(confPath);
    text.resize(text.size() - 4); // cut off the end line
    WriteFileBytes(confPath, text);
    AgeFiles(cfgHome);
    const Snapshot before = TakeAll();
    Result r = Run({"list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(TakeAll(), before);
}

// --- add ----------------------------------------------------------------------------------

TEST_F(Cli, AddAppendsTheSampleAndTouchesNoOtherFile) {
    MakeLibrary();
    WriteFileBytes(dir.File("comments.txt"), "From a file.\nSecond line\n");
    WriteFileBytes(dir.File("code.txt"), "line one\nline two\r\nno end");
    Snapshot before = TakeAll();

    Result r =
        Run({"add", "--title", "  Fresh  ", "--category", "Java", "--subcategory", "Swing", "--keywords",
             "a , b,c", "--comments-file", dir.File("comments.txt"), "--text-file", dir.File("code.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Added sample \"Fresh\" to Java / Swing.\n");
    EXPECT_EQ(r.err, "");

    CSample added = MakeSample("Fresh", "Java", "Swing", "a,b,c", "From a file.\r\nSecond line\r\n",
                               "line one\r\nline two\r\nno end");
    // The duplicate and the sample without a place stay in the Java file.
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinjava.txt")), FileBytes(java) + FileBytes({added}));
    Snapshot after = TakeAll();
    before.erase("lib/quorrinjava.txt");
    after.erase("lib/quorrinjava.txt");
    EXPECT_EQ(after, before);

    r = Run({"show", "Fresh", "--raw"});
    EXPECT_EQ(r.out, "line one\r\nline two\r\nno end\r\n"); // the reader's final line end
}

TEST_F(Cli, ConcurrentAddsWaitForEachOther) {
    // Eight adds at once: four of one title (exactly one may win), four of their own.
    std::vector<pid_t> same, own;
    for (int i = 0; i < 4; ++i) {
        same.push_back(Start({"add", "--title", "Same", "--category", "C++"}, "s" + std::to_string(i)));
        own.push_back(Start({"add", "--title", "Own" + std::to_string(i), "--category", "Java"},
                            "o" + std::to_string(i)));
    }
    int won = 0;
    for (int i = 0; i < 4; ++i) {
        const Result r = Finish(same[static_cast<size_t>(i)], "s" + std::to_string(i));
        if (r.status == 0)
            ++won;
        else
            EXPECT_NE(r.err.find("is not unique"), std::string::npos) << r.err;
        EXPECT_EQ(Finish(own[static_cast<size_t>(i)], "o" + std::to_string(i)).status, 0);
    }
    EXPECT_EQ(won, 1);
    const Result check = Run({"check"});
    EXPECT_EQ(check.status, 0) << check.out; // no duplicate was written
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinjava.txt")).size(),
              4 * FileBytes({MakeSample("Own0", "Java", "")}).size());
}

TEST_F(Cli, AddReadsTheTextFromStandardInputAndCreatesAMissingFile) {
    MakeLibrary();
    fs::remove(LibFile("quorrincpp.txt"));
    Result r = Run({"add", "--title=Piped", "--category=C++"}, "");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Run({"add", "--title", "Piped2", "--category", "C++", "--subcategory", "GUI", "--text-file", "-"},
            "x = 1\ny = 2\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(LibFile("quorrincpp.txt")),
              FileBytes({MakeSample("Piped", "C++", ""),
                         MakeSample("Piped2", "C++", "GUI", "", "", "x = 1\r\ny = 2\r\n")}));
    EXPECT_FALSE(fs::exists(LibFile("library.txt")));
}

TEST_F(Cli, AddEndsAnUnterminatedLastLineFirst) {
    MakeLibrary();
    std::string old = FileBytes(tools);
    old.resize(old.size() - 2); // the SAMPLE_END marker without its CR LF
    WriteFileBytes(LibFile("quorrinTools.txt"), old);
    Result r = Run({"add", "--title", "Merge", "--category", "Tools", "--subcategory", "Sorting"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinTools.txt")),
              old + "\r\n" + FileBytes({MakeSample("Merge", "Tools", "Sorting")}));
    r = Run({"check"});
    EXPECT_EQ(r.out.find("Merge"), std::string::npos);
    r = Run({"show", "Merge", "--all"});
    EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, AddKeepsSamplesBehindASequenceErrorAndRefusesThatFile) {
    MakeLibrary();
    const std::string broken =
        FileBytes(tools) + "junk\r\n" + FileBytes({MakeSample("Behind", "Tools", "Sorting")});
    WriteFileBytes(LibFile("quorrinTools.txt"), broken);

    Result r = Run({"add", "--title", "Elsewhere", "--category", "C++"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinTools.txt")), broken);
    EXPECT_EQ(ReadFileBytes(LibFile("quorrincpp.txt")),
              FileBytes(cpp) + FileBytes({MakeSample("Elsewhere", "C++", "")}));

    r = Run({"add", "--title", "Into", "--category", "Tools", "--subcategory", "Sorting"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The file quorrinTools.txt could not be read to its end"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinTools.txt")), broken);
}

TEST_F(Cli, AddRunsTheWizardChecksInOrder) {
    MakeLibrary();
    const Snapshot before = TakeAll();
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"add"}, "You must specify a category.\n"},
        {{"add", "--title", "T", "--category", "Categories"}, "You must specify a category.\n"},
        {{"add", "--title", "   ", "--category", "C++"}, "You must specify a title.\n"},
        {{"add", "--title", "Hello", "--category", "Java"},
         "The title you have entered is not unique.The sample in\n\tCategory: \"C++\",\n\tSubcategory: "
         "\"General\" "
         "\nalready has that title.\nPlease select another title.\n\n"},
        // A sample without a place still holds its title on disk.
        {{"add", "--title", "Stray", "--category", "Java"},
         "The title you have entered is not unique.The sample in\n\tCategory: \"Nowhere\",\n\tSubcategory: "
         "\"X\" "
         "\nalready has that title.\nPlease select another title.\n\n"},
        {{"add", "--title", "T", "--category", "Nowhere"},
         "Category \"Nowhere\" does not exist in the library.\n"},
        {{"add", "--title", "T", "--category", "Visual Basic"},
         "Category \"Visual Basic\" is hidden; a sample added to it would have no place in the tree.\n"},
        {{"add", "--title", "T", "--category", "Java", "--subcategory", "Spring"},
         "Sub-category \"Spring\" does not exist in category \"Java\".\n"},
        {{"add", "--title", "T", "--category", "Java", "--subcategory", "COM"},
         "Sub-category \"COM\" of category \"Java\" is hidden; a sample added to it would have no place in "
         "the "
         "tree.\n"},
        {{"add", "--title", "T", "--category", "Java", "--text-file", "-"},
         "A line of the text cannot be exactly \"***TEXT_END***\".\n"},
        {{"add", "--title", "T", "--category", "Java", "--comments-file", dir.File("missing.txt")},
         "Unable to create/open " + dir.File("missing.txt") + ".\nReason: The file could not be located. \n"},
    };
    for (const Case& c : cases) {
        // CR LF line ends inside the text are stored as CR CR LF, so only a last line
        // without a line end can equal the end marker.
        Result r = Run(c.args, "ok\n***TEXT_END***");
        EXPECT_EQ(r.status, 1) << c.args.back();
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
    }
    Result r = Run({"add", "--title", "Bad\rTitle", "--category", "Java"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The title cannot contain a line break.\n");
    EXPECT_EQ(TakeAll(), before);
}

TEST_F(Cli, AddedSampleTakesTheNextTitleOrderInTheTree) {
    MakeLibrary();
    ASSERT_EQ(Run({"add", "--title", "Another", "--category", "C++", "--subcategory", "General"}).status, 0);
    Result r = Run({"list"});
    EXPECT_NE(r.out.find("    General\n      Another\n      Hello\n"), std::string::npos) << r.out;
}

} // namespace
