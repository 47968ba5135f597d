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
#include "support/TestSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct Result {
    int status = -1;
    std::string out, err;
};

// Every file below a folder with its bytes, modification time and inode.
using Snapshot = std::map<std::string, std::string>;
Snapshot Take(const std::string& root) {
    Snapshot snap;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        lstat(entry.path().c_str(), &st);
        snap[fs::relative(entry.path(), root).string()] =
            (entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : "") + "@" +
            std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + "#" +
            std::to_string(st.st_ino);
    }
    return snap;
}

class Cli : public ::testing::Test {
protected:
    Cli() { fs::create_directories(lib); }

    Result Run(const Args& args, const std::string& input = "") { return Finish(Start(args, "", input), ""); }
    // Starts the tool in the library folder without waiting; its output goes to files named after tag.
    pid_t Start(const Args& args, const std::string& tag, const std::string& input = "") {
        const char* tool = std::getenv("TINDREL_CLI");
        EXPECT_NE(tool, nullptr) << "TINDREL_CLI is not set";
        if (!tool)
            return -1;
        WriteFileBytes(dir.File("in" + tag), input);
        std::vector<std::string> env = {"XDG_CONFIG_HOME=" + cfg, "HOME=" + dir.File("home")};
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("XDG_", 0) != 0 && var.rfind("HOME=", 0) != 0)
                env.push_back(var);
        }
        Args argStrings = {tool};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (std::string& a : argStrings)
            argv.push_back(a.data());
        for (std::string& v : env)
            envp.push_back(v.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            const int in = open(dir.File("in" + tag).c_str(), O_RDONLY);
            const int out = open(dir.File("out" + tag).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(dir.File("err" + tag).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
        Result r;
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid)
            return r;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadFileBytes(dir.File("out" + tag));
        r.err = ReadFileBytes(dir.File("err" + tag));
        return r;
    }
    std::string LibFile(const std::string& name) const { return lib + "/" + name; }
    Snapshot TakeAll() {
        Snapshot all = Take(lib);
        if (fs::exists(cfg))
            for (auto& [name, state] : Take(cfg))
                all["cfg/" + name] = state;
        return all;
    }

    // A small library: a custom category Tools, a hidden category, a hidden default
    // sub-category, a custom sub-category of Java, a duplicate and unplaced samples.
    void MakeLibrary() {
        FileKeyStore store(confPath);
        store.PutKey(AppPath({"CustomCats", "Tools", "Sorting"}));
        store.PutKey(AppPath({"CustomSubcats", "Java", "Swing"}));
        store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
        store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
        store.PutValue(AppPath({"CustomCats", "Tools"}), "FileName", {false, "quorrinTools.txt", 0});
        std::string error;
        ASSERT_TRUE(store.Flush(error)) << error;
        WriteFileBytes(LibFile("quorrincpp.txt"),
                       FileBytes({MakeSample("Hello", "C++", "General", "greeting, main", "Prints hello.\r\n",
                                             "int main() {\r\n  puts(\"hello\");\r\n}\r\n"),
                                  MakeSample("Direct", "C++", "", "", "", "no sub-category\r\n")}));
        WriteFileBytes(LibFile("quorrinjava.txt"), java);
        WriteFileBytes(LibFile("quorrinTools.txt"), tools);
        WriteFileBytes(LibFile("quorrinvb.txt"),
                       FileBytes({MakeSample("VbThing", "Visual Basic", "General")}));
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) { // any rewrite shows
            struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
            utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
        }
    }

    // Runs each command line, expecting each to change and create nothing, and gives what they
    // printed as the fixture holds it: "$" and the arguments, the status, the output and the
    // error output, with the temporary folder as <tmp>.
    std::string Transcript(const std::vector<Args>& runs, const std::string& input = "") {
        const Snapshot before = TakeAll();
        std::string out;
        for (const Args& args : runs) {
            const Result r = Run(args, input);
            out += "$";
            for (const std::string& a : args)
                out += " " + a;
            out += "\n[status " + std::to_string(r.status) + "]\n" + r.out + "[stderr]\n" + r.err;
            EXPECT_EQ(TakeAll(), before) << out;
        }
        for (size_t at = out.find(dir.Path()); at != std::string::npos; at = out.find(dir.Path(), at))
            out.replace(at, dir.Path().size(), "<tmp>");
        return out;
    }

    TempDir dir;
    const std::string lib = dir.File("lib");
    const std::string cfg = dir.File("cfg");
    const std::string confPath = cfg + "/Velmora Software/Tindrel/Tindrel.conf";
    const std::string java = FileBytes({MakeSample("Swingy", "Java", "Swing", "ui", "", "JFrame f;\r\n"),
                                        MakeSample("Hello", "Java", "General", "", "", "duplicate\r\n"),
                                        MakeSample("Stray", "Nowhere", "X", "", "", "hello stray\r\n")});
    const std::string tools =
        FileBytes({MakeSample("Quick", "Tools", "Sorting", "sort", "", "quick HELLO sort\r\n")});
};

// The reading commands: what they print and their status. They change and create nothing,
// not even with a category file held by another program. Load errors are not in the
// library and are not searched.
TEST_F(Cli, ReadingCommandsPrintAndChangeNothing) {
    MakeLibrary();
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive(LibFile("quorrincpp.txt"), cause));
    ExpectFileEq(Transcript({{"list"},
                             {"show", "Hello"},
                             {"show", "Hello", "--raw"},
                             {"show", "--all", "Hello"},
                             {"show", "hello"},
                             {"show", "Stray"},
                             {"search", "hello"},
                             {"search", "hello", "--match-case"},
                             {"search", "MAIN", "--keywords-only"},
                             {"search", "--category", "Tools", "hello"},
                             {"search", "--category=(no limit)", "zzz"},
                             {"search", "--", "--x"},
                             {"search", ""},
                             {"search", "x", "--category", "tools"},
                             {"info"},
                             {"info", "--detail"},
                             {"check"}}),
                 "cli/reading.txt");
    EXPECT_FALSE(fs::exists(LibFile("library.txt")));

    // A file read only in part, and a damaged configuration (its end line cut off):
    // reported, left alone.
    WriteFileBytes(LibFile("quorrinTools.txt"),
                   tools + "junk\r\n" + FileBytes({MakeSample("Behind", "Tools")}));
    std::string conf = ReadFileBytes(confPath);
    WriteFileBytes(confPath, conf.substr(0, conf.size() - 4));
    ExpectFileEq(Transcript({{"list"}}), "cli/damaged.txt");
}

TEST_F(Cli, AnEmptyFolderHoldsNoLibraryAndBadCommandLinesExitWithTwo) {
    ExpectFileEq(Transcript({{"list"}, {"frobnicate"}}), "cli/empty.txt");
    EXPECT_TRUE(Take(lib).empty());
    EXPECT_FALSE(fs::exists(cfg));
    for (const Args& args :
         {Args{}, Args{"list", "--bogus"}, Args{"list", "extra"}, Args{"show"},
          Args{"show", "Hello", "--raw", "--all"}, Args{"search"}, Args{"search", "x", "--category"},
          Args{"add", "--title"}, Args{"add", "--comments-file", "-", "--text-file", "-"}, Args{"--folder"},
          Args{"--folder=", "list"}, Args{"--library", "--folder", ".", "list"}})
        EXPECT_EQ(Run(args).status, 2) << (args.empty() ? "" : args.back());
    for (const char* command : {"list", "show", "search", "info", "check", "add"})
        EXPECT_EQ(Run({command, "--help"}).out.rfind(std::string("Usage: tindrel-cli ") + command, 0), 0u)
            << command;
    EXPECT_TRUE(Take(lib).empty()); // help reads nothing and creates nothing
}

// A missing argument is named first, before the folder is looked at: the folder here holds
// no library, which alone would give status 1.
TEST_F(Cli, AMissingArgumentIsNamedFirstWithStatusTwo) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"show"}, "tindrel-cli show: missing TITLE"},
        {{"search", "--match-case"}, "tindrel-cli search: missing TEXT"},
        {{"find", "--text"}, "tindrel-cli find: missing WORD"},
        {{"add", "--category", "Java"}, "tindrel-cli add: missing --title"},
        {{"add", "--title", "T"}, "tindrel-cli add: missing --category"},
        {{"export", "--format", "files"}, "tindrel-cli export: missing --out DIR"},
        {{"import", "--dry-run"}, "tindrel-cli import: missing PATH (a file or folder to import)"},
        {{"subcategory", "add"}, "tindrel-cli subcategory: missing CATEGORY"},
    };
    for (const auto& [args, line] : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), line);
    }
    EXPECT_EQ(Run({"show", "Hello"}).status, 1);
    // Completion's lists: the titles in title order, the displayed categories.
    MakeLibrary();
    EXPECT_EQ(Run({"list", "--titles"}).out, "Direct\nHello\nQuick\nSwingy\n");
    EXPECT_EQ(Run({"list", "--categories"}).out, "C++\nJava\nTools\n");
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
    // The duplicate and the sample without a place stay in the Java file.
    ExpectFileEq(FileAt{LibFile("quorrinjava.txt")}, "cli/add-java.txt");
    Snapshot after = TakeAll();
    before.erase("quorrinjava.txt");
    after.erase("quorrinjava.txt");
    EXPECT_EQ(after, before);
    EXPECT_EQ(Run({"show", "Fresh", "--raw"}).out,
              "line one\r\nline two\r\nno end\r\n"); // the reader's line end
    ASSERT_EQ(Run({"add", "--title", "another", "--category", "C++", "--subcategory", "General"}).status, 0);
    EXPECT_NE(Run({"list"}).out.find("    General\n      another\n      Hello\n"), std::string::npos);
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

TEST_F(Cli, AddReadsStandardInputCreatesAMissingFileAndEndsAnUnterminatedLastLine) {
    MakeLibrary();
    fs::remove(LibFile("quorrincpp.txt"));
    ASSERT_EQ(Run({"add", "--title=Piped", "--category=C++"}).status, 0);
    ASSERT_EQ(
        Run({"add", "--title", "Piped2", "--category", "C++", "--subcategory", "GUI", "--text-file", "-"},
            "x = 1\ny = 2\n")
            .status,
        0);
    ExpectFileEq(FileAt{LibFile("quorrincpp.txt")}, "cli/add-piped.txt");
    EXPECT_FALSE(fs::exists(LibFile("library.txt")));

    // The end marker without its CR LF.
    WriteFileBytes(LibFile("quorrinTools.txt"), tools.substr(0, tools.size() - 2));
    ASSERT_EQ(Run({"add", "--title", "Merge", "--category", "Tools", "--subcategory", "Sorting"}).status, 0);
    ExpectFileEq(FileAt{LibFile("quorrinTools.txt")}, "cli/add-after-cut.txt");
    EXPECT_EQ(Run({"check"}).out, // Java's Hello is no duplicate now
              "Stray\tCould not find parent item.\nVbThing\tCould not find parent item.\n");
}

TEST_F(Cli, AddRunsTheWizardChecksInOrderAndRefusesAFileNotReadWhole) {
    MakeLibrary();
    // CR LF line ends inside the text are stored as CR CR LF, so only a last line without a
    // line end can equal the end marker. A sample without a place still holds its title.
    ExpectFileEq(
        Transcript({{"add", "--title", "T", "--category", ""},
                    {"add", "--title", "T", "--category", "Categories"},
                    {"add", "--title", "   ", "--category", "C++"},
                    {"add", "--title", "Hello", "--category", "Java"},
                    {"add", "--title", "Stray", "--category", "Java"},
                    {"add", "--title", "T", "--category", "Nowhere"},
                    {"add", "--title", "T", "--category", "Visual Basic"},
                    {"add", "--title", "T", "--category", "Java", "--subcategory", "Spring"},
                    {"add", "--title", "T", "--category", "Java", "--subcategory", "COM"},
                    {"add", "--title", "T", "--category", "Java", "--text-file", "-"},
                    {"add", "--title", "T", "--category", "Java", "--comments-file", dir.File("missing.txt")},
                    {"add", "--title", "Bad\rTitle", "--category", "Java"}},
                   "ok\n***TEXT_END***"),
        "cli/add-refused.txt");

    const std::string broken = tools + "junk\r\n" + FileBytes({MakeSample("Behind", "Tools", "Sorting")});
    WriteFileBytes(LibFile("quorrinTools.txt"), broken);
    const Result into = Run({"add", "--title", "Into", "--category", "Tools", "--subcategory", "Sorting"});
    EXPECT_EQ(into.status, 1);
    EXPECT_NE(into.err.find("The file quorrinTools.txt could not be read to its end"), std::string::npos)
        << into.err;
    // Another category's file takes a sample all the same.
    ASSERT_EQ(Run({"add", "--title", "Elsewhere", "--category", "C++"}).status, 0);
    EXPECT_EQ(ReadFileBytes(LibFile("quorrinTools.txt")), broken);
}

TEST_F(Cli, CategoryAndSubcategoryAddChangeTheStructureFileOnly) {
    ASSERT_EQ(Run({"category", "add", " Rust ", "--language", "rust"}).status, 0);
    ASSERT_EQ(Run({"subcategory", "add", "Rust", "Async"}).status, 0);
    ASSERT_EQ(Run({"subcategory", "add", "Java", "Streams"}).status, 0);
    const std::string structure = "TindrelLibrary 1\n"
                                  "category \"Java\"\n"
                                  "subcategory \"Java\" \"Streams\"\n"
                                  "category \"Rust\" file \"quorrinRust.txt\" language \"rust\"\n"
                                  "subcategory \"Rust\" \"Async\"\n"
                                  "end\n";
    EXPECT_EQ(ReadFileBytes(LibFile("tindrel-library.txt")), structure);
    EXPECT_EQ(Take(lib).size(), 1u); // no category file, no configuration change in the folder
    EXPECT_NE(Run({"list"}).out.find("Rust\n    Async\n"), std::string::npos);
    // Refused as the dialogs refuse, nothing written; a bad command line is status 2.
    for (const Args& args : {Args{"category", "add", "Rust"}, Args{"category", "add", "a/b"},
                             Args{"subcategory", "add", "Rust", "Async"}, Args{"subcategory", "add", "Nowhere", "X"}})
        EXPECT_EQ(Run(args).status, 1) << args[2];
    for (const Args& args : {Args{"category", "add", "Go", "--language", "klingon"}, Args{"category", "add"},
                             Args{"subcategory", "add", "Rust"}, Args{"category", "remove", "Rust"}})
        EXPECT_EQ(Run(args).status, 2) << args.back();
    EXPECT_EQ(ReadFileBytes(LibFile("tindrel-library.txt")), structure);
    // Fifteen places a category.
    for (int i = 0; i < 14; ++i)
        ASSERT_EQ(Run({"subcategory", "add", "Rust", "S" + std::to_string(i)}).status, 0) << i;
    EXPECT_EQ(Run({"subcategory", "add", "Rust", "One more"}).status, 1);
}

} // namespace

// find: every word in any order, best first; --json on find, show and list; search
// with a regular expression.
TEST_F(Cli, FindRanksEveryWordAndJsonSpeaksForScripts) {
    MakeLibrary();
    ExpectFileEq(Transcript({{"find", "hello"},
                             {"find", "HELLO", "--text"},
                             {"find", "sort", "quick"},
                             {"find", "quick sort"},
                             {"find", "hello", "sort"},
                             {"find", "--json", "--text", "hello"},
                             {"show", "Hello", "--json"},
                             {"list", "--json"},
                             {"find", " "},
                             {"search", "--regex", "h[ae]llo|sort"},
                             {"search", "--regex", "^[a-z]+", "--match-case", "--keywords-only"},
                             {"search", "--regex", "(hello"}}),
                 "cli/find.txt");
}
