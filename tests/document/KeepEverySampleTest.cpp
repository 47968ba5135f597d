// The library's promise: every sample record that was in a category file and that the
// user did not delete or change is still in some category file. First as a property,
// after any sequence of edits, saves, crashes in the middle of a save, reloads and changes
// other programs make to the files; then the paths on which samples used to leave the
// disk without the user deleting them.
#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "DocTestSupport.h"
#include "library/CategoryFormat.h"
#include "library/CategoryReader.h"
#include "library/EditRules.h"

namespace {

const char* const kFiles[] = {"quorrincpp.txt", "quorrinjava.txt", "quorrinvb.txt", "quorrinTools.txt"};
const char* const kOwners[] = {"C++", "Java", "Visual Basic", "Tools"};

// Every record in the category files, also those behind a part the reader cannot read
// (the reader stops there; this search starts again at the next record's first line).
std::vector<CSample> RecordsOnDisk() {
    std::vector<CSample> all;
    for (const char* file : kFiles) {
        const std::string bytes = ReadFileBytes(file);
        const std::string_view view(bytes);
        size_t pos = 0;
        while (pos < bytes.size()) {
            size_t at = view.substr(pos, marker::kSampleBegin.size()) == marker::kSampleBegin && (pos == 0 || bytes[pos - 1] == '\n')
                            ? pos
                            : bytes.find("\n" + std::string(marker::kSampleBegin), pos);
            if (at == std::string::npos)
                break;
            if (at != pos || bytes.compare(at, marker::kSampleBegin.size(), marker::kSampleBegin) != 0)
                ++at; // past the LF
            std::vector<std::unique_ptr<CSample>> samples;
            std::vector<RecordSpan> spans;
            ParseSamples(view.substr(at), samples, &spans);
            for (auto& s : samples)
                all.push_back(*s);
            pos = at + (spans.empty() ? 1 : spans.back().end);
        }
    }
    return all;
}

class KeepEverySample : public DocFixture {
protected:
    KeepEverySample() : DocFixture(true) {} // thousands of saves: in memory

    std::string Pick(const std::vector<std::string>& from) { return from[rng() % from.size()]; }

    // A record as a hand-edited or foreign file may hold it: duplicate titles, places the
    // tree does not have, samples filed under another category, keywords as typed.
    void WriteRandomFiles() {
        const std::vector<std::string> categories = {"C++", "Java", "Visual Basic", "Tools", "Ghost"};
        const std::vector<std::string> subs = {"General", "GUI", "COM", "Sorting", "Lists", "", "Nope"};
        for (int f = 0; f < 4; ++f) {
            std::string bytes;
            for (int i = static_cast<int>(rng() % 5); i > 0; --i)
                bytes += FileBytes({MakeSample(
                    "t" + std::to_string(rng() % 12), rng() % 4 == 0 ? Pick(categories) : kOwners[f],
                    Pick(subs), rng() % 3 == 0 ? "a,b ,c" : "k", "note " + std::to_string(i) + "\r\n",
                    "line\r\nline " + std::to_string(rng() % 100) + "\r\n")});
            WriteFileBytes(kFiles[f], bytes);
        }
        for (CSample& s : RecordsOnDisk())
            required.push_back(std::move(s));
    }

    // A fresh start of the program.
    void Reload() {
        doc.reset();
        errors = CLoadErrorList();
        Load();
        doc->RemoveUnplacedSamples(); // what the tree does; nothing is left to place
    }

    // Adds, changes or removes one record of a category file, as an editor or another
    // program would; the file is replaced or rewritten in place. Some changes move a
    // record to another or an unknown category, or write a title twice.
    void EditOutside() {
        const int f = static_cast<int>(rng() % 4);
        const std::string file = kFiles[f];
        const std::string bytes = ReadFileBytes(file);
        std::vector<std::unique_ptr<CSample>> records;
        std::vector<RecordSpan> spans;
        ParseSamples(bytes, records, &spans);
        std::string out;
        const unsigned what = records.empty() ? 0 : rng() % 5;
        if (what == 0) {
            CSample added = MakeSample("o" + std::to_string(next++), kOwners[f],
                                       rng() % 2 ? "General" : "Sorting", "", "", "outside\r\n");
            // Behind the last record it can read (a part it cannot read stays last).
            const size_t end = spans.empty() ? 0 : spans.back().end;
            out = bytes.substr(0, end) + FileBytes({added}) + bytes.substr(end);
            required.push_back(added);
        } else {
            const size_t k = rng() % records.size();
            out = bytes.substr(0, spans[k].begin);
            if (what == 4) {
                // The same title once more, with other text.
                CSample twice = *records[k];
                twice.SetText("twice\r\n");
                out += bytes.substr(spans[k].begin, spans[k].end - spans[k].begin) + FileBytes({twice});
                required.push_back(twice);
            } else {
                Release(*records[k]);
                if (what != 1) {
                    CSample changed = *records[k];
                    if (what == 2)
                        changed.SetText(changed.GetText() + "changed outside\r\n");
                    else
                        changed.SetCategory(rng() % 2 ? "Ghost" : kOwners[rng() % 4]);
                    out += FileBytes({changed});
                    required.push_back(changed);
                }
            }
            out += bytes.substr(spans[k].end);
        }
        WriteOutside(file, out);
    }

    void WriteOutside(const std::string& file, const std::string& bytes) {
        if (rng() % 2) {
            WriteFileBytes(file + ".new", bytes);
            std::rename((file + ".new").c_str(), file.c_str());
        } else {
            WriteFileBytes(file, bytes);
        }
    }

    // Another program leaves a file it could not finish: cut off, with a line of garbage,
    // or with CR-only line ends. The window notices it while idle and then saves; what the
    // damage took from the file is back, and what could not be read stays in it.
    void DamageOutside() {
        // What another program wrote before is in the library first: what it never read,
        // the damage takes with it.
        doc->ReloadChangedCategories();
        Save();
        const std::string file = kFiles[rng() % 4];
        std::string bytes = ReadFileBytes(file);
        if (bytes.empty())
            return;
        const unsigned what = rng() % 3;
        const size_t at = rng() % bytes.size();
        if (what == 0) {
            bytes.resize(at);
        } else if (what == 1) {
            // Between two records (inside one it would be an edit of that record).
            const size_t record = bytes.rfind(marker::kSampleBegin, at);
            bytes.insert(record == std::string::npos ? 0 : record, "garbage\r\n");
        } else {
            std::string cr;
            for (char c : bytes)
                if (c != '\n')
                    cr += c;
            bytes = cr;
        }
        trace += "(" + file + " " + std::to_string(what) + "@" + std::to_string(at) + ") ";
        WriteOutside(file, bytes);
        doc->ReloadChangedCategories();
        Save();
    }

    void Save() {
        if (doc->OnSaveDocument() && !doc->CanSave()) {
            for (auto& [title, s] : unsaved)
                required.push_back(s);
            unsaved.clear();
        }
    }

    // The user changed or deleted this record: it no longer has to stay.
    void Release(const CSample& record) {
        auto it = std::find_if(required.begin(), required.end(),
                               [&](const CSample& r) { return SameRecord(r, record); });
        if (it != required.end())
            required.erase(it);
    }
    void ReleaseTitle(const std::string& title) {
        if (const CSample* s = doc->PeekSample(title))
            Release(*s);
        unsaved.erase(title);
    }

    // A place the tree shows.
    std::pair<std::string, std::string> Place() {
        const std::vector<std::pair<std::string, std::string>> places = {
            {"C++", "General"}, {"C++", ""}, {"Java", "GUI"}, {"Tools", "Sorting"}, {"Tools", "Lists"}};
        return places[rng() % places.size()];
    }

    void Step() {
        const std::vector<std::string> titles = Titles();
        const unsigned op = rng() % 13;
        trace += std::to_string(op) + " ";
        switch (op) {
        case 0: { // add
            auto [category, sub] = Place();
            const std::string title = "n" + std::to_string(next++);
            CSample s = MakeSample(title, category, sub, "x", "", "added\r\n");
            doc->AddSample(std::make_unique<CSample>(s));
            unsaved[title] = s;
            break;
        }
        case 1:
        case 2: { // edit, or move to another place
            if (titles.empty())
                break;
            const std::string title = Pick(titles);
            CSample s = *doc->PeekSample(title);
            ReleaseTitle(title);
            if (rng() % 2) {
                auto [category, sub] = Place();
                s.SetCategory(category);
                s.SetSubcategory(sub);
            } else {
                s.SetText(s.GetText() + "more\r\n");
            }
            doc->UpdateSample(title, s); // marks both categories changed itself
            unsaved[title] = s;
            break;
        }
        case 3: { // retitle
            if (titles.empty())
                break;
            const std::string title = Pick(titles);
            const std::string renamed = "r" + std::to_string(next++);
            CSample s = *doc->PeekSample(title);
            ReleaseTitle(title);
            ASSERT_TRUE(doc->RetitleSample(title, renamed));
            s.SetTitle(renamed);
            unsaved[renamed] = s;
            break;
        }
        case 4: // delete
            if (!titles.empty()) {
                const std::string title = Pick(titles);
                ReleaseTitle(title);
                doc->DeleteSample(title);
            }
            break;
        case 5: { // correct or discard a load error
            CSample error;
            CLoadErrorList::Cursor cursor;
            if (!errors.GetFirst(error, cursor))
                break;
            // The store may have renamed the title ("-N"); the record is what was read.
            auto matches = [&](const CSample& r) {
                return r.GetCategory() == error.GetCategory() && r.GetText() == error.GetText() &&
                       r.GetComments() == error.GetComments() && error.GetTitle().rfind(r.GetTitle(), 0) == 0;
            };
            auto it = std::find_if(required.begin(), required.end(), matches);
            const bool released = it != required.end();
            if (released)
                required.erase(it);
            for (auto it = unsaved.begin(); !released && it != unsaved.end(); ++it) {
                if (matches(it->second)) {
                    unsaved.erase(it);
                    break;
                }
            }
            if (rng() % 2) {
                doc->ReleaseLoadError(error.GetTitle(), "");
            } else {
                auto [category, sub] = Place();
                CSample corrected = error;
                corrected.SetTitle("c" + std::to_string(next++));
                corrected.SetCategory(category);
                corrected.SetSubcategory(sub);
                errors.Staged() = corrected;
                ASSERT_TRUE(doc->AddStagedSample());
                doc->ReleaseLoadError(error.GetTitle(), corrected.GetTitle());
                unsaved[corrected.GetTitle()] = corrected;
            }
            break;
        }
        case 6:
        case 7: // save
            Save();
            break;
        case 8: { // a crash at some file operation of a save, then a fresh start
            const int crashAt = static_cast<int>(rng() % 12);
            int seen = 0;
            fileio::SetFaultHook([&seen, crashAt](const fileio::FaultPoint&, std::size_t& landed) {
                if (seen++ < crashAt)
                    return fileio::kNone;
                landed = 0;
                return fileio::kHardIO; // from here on nothing reaches the disk
            });
            doc->OnSaveDocument();
            doc.reset(); // its last save cannot reach the disk either
            fileio::SetFaultHook(nullptr);
            unsaved.clear(); // what was not saved before the crash may be gone
            Reload();
            break;
        }
        case 9: // close and start again
            Save();
            doc.reset();
            Reload();
            break;
        case 10: // another program changes a category file
            EditOutside();
            break;
        case 11:
            DamageOutside();
            break;
        default: // noticed while idle
            doc->ReloadChangedCategories();
            break;
        }
    }

    void ExpectKept(const std::string& when) {
        std::vector<CSample> disk = RecordsOnDisk();
        for (const CSample& r : required) {
            auto it =
                std::find_if(disk.begin(), disk.end(), [&](const CSample& d) { return SameRecord(d, r); });
            ASSERT_NE(it, disk.end()) << when << ": lost \"" << r.GetTitle() << "\" of " << r.GetCategory()
                                      << " / " << r.GetSubcategory() << " after " << trace;
            disk.erase(it); // each record once
        }
    }

    std::mt19937 rng;
    std::vector<CSample> required;          // in the files: read there, put there by others, or saved
    std::map<std::string, CSample> unsaved; // made by the user, not saved yet
    int next = 0;
    std::string trace; // the operations of the current sequence
};

TEST_F(KeepEverySample, ThroughEditsSavesCrashesAndReloads) {
    ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting", "Lists"});
    store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
    store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
    for (unsigned seed = 1; seed <= 150; ++seed) {
        rng.seed(seed);
        required.clear();
        unsaved.clear();
        trace.clear();
        doc.reset();
        WriteRandomFiles();
        Reload();
        ExpectKept("seed " + std::to_string(seed) + " at load");
        for (int step = 0; step < 25 && !HasFatalFailure(); ++step) {
            Step();
            if (HasFatalFailure())
                break;
            ExpectKept("seed " + std::to_string(seed) + " step " + std::to_string(step));
        }
        if (HasFatalFailure())
            break;
    }
}

// --- The paths on which samples used to be lost ------------------------------------------

using DiskSafety = DocFixture;

TEST_F(DiskSafety, LoadErrorsStayInTheirFileUntilCorrectedOrDiscarded) {
    // A duplicate, a sample in a sub-category the configuration lacks, one whose keywords
    // a save would write differently, and one in a hidden category.
    const std::string dup = FileBytes({MakeSample("Dup", "C++", "General", "x,y ,z", "", "second\r\n")});
    std::string lost = FileBytes({MakeSample("Lost", "C++", "Gone", "a,b ,c", "", "x")});
    lost.resize(lost.size() - 2); // no final line end
    WriteFileBytes("quorrincpp.txt",
                   FileBytes({MakeSample("Dup", "C++"), MakeSample("Keep", "C++")}) + dup + lost);
    Load();
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"Dup", "Lost"}));
    EXPECT_FALSE(doc->CanSave()); // placing them changed nothing

    // A save of C++ keeps both records exactly as they were read.
    doc->DeleteSample("Keep");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}) + dup + lost + "\r\n");

    // Corrected: it moves to its new place, and leaves the old file in the same save.
    errors.Staged() = MakeSample("Lost again", "Java", "General", "a, b, c", "", "x\r\n");
    ASSERT_TRUE(doc->AddStagedSample());
    doc->ReleaseLoadError("Lost", "Lost again");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"),
              FileBytes({MakeSample("Lost again", "Java", "General", "a, b, c", "", "x\r\n")}));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}) + dup);

    // Discarded: it leaves at the next save.
    doc->ReleaseLoadError("Dup", "");
    EXPECT_EQ(errors.GetCount(), 0);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}));
}

TEST_F(DiskSafety, ADuplicateStaysWhenItsFileCannotBeReadAgainWhileTheLibraryLoads) {
    const std::string bytes =
        FileBytes({MakeSample("Dup", "C++"), MakeSample("Dup", "C++", "GUI", "k", "", "two\r\n")});
    WriteFileBytes("quorrincpp.txt", bytes);
    // The duplicate's record is fetched from its file once every file has been read; that
    // second open fails, so the record is written as it was read.
    int opens = 0;
    fileio::SetFaultHook([&opens](const fileio::FaultPoint& p, std::size_t&) {
        const bool again = p.op == fileio::Op::Open && p.path == "quorrincpp.txt" && ++opens == 2;
        return static_cast<int>(again ? fileio::kAccessDenied : fileio::kNone);
    });
    Load();
    fileio::SetFaultHook(nullptr);
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"Dup"});
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), bytes);
}

TEST_F(DiskSafety, AFileTheConfigurationNamesOutsideTheFolderIsLeftAloneWithItsKeys) {
    // Beside this test's own folder, under a name no other run uses; removed at the end.
    struct Outside {
        std::string path;
        ~Outside() { std::remove(path.c_str()); }
    } outside{dir.Path() + "-escape.txt"};
    const std::string name = "../" + outside.path.substr(outside.path.rfind('/') + 1);
    ASSERT_FALSE(fileio::FileExists(name));
    ConfigureCustom("Escape", name, {"Sub"});
    ConfigureCustom("Tools", "quorrinTools.txt", {});
    Load();
    // Not a file in this folder: not part of this library.
    EXPECT_EQ(doc->PeekCategory("Escape"), nullptr);
    doc->MarkCategoryChanged("Tools");
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    EXPECT_FALSE(fileio::FileExists(name));
    EXPECT_FALSE(fileio::FileExists(outside.path));
    // Every save rebuilds the keys; the left-out category's stay as they were.
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Escape", "Sub"})));
}

TEST_F(DiskSafety, ADeletedCustomSubcategoryStaysDeleted) {
    ConfigureCustom("Tools", "quorrinTools.txt", {"One", "Two"});
    Load();
    CCategory tools;
    ASSERT_TRUE(doc->FindCategory("Tools", tools));
    ASSERT_TRUE(tools.RemoveSubcategory("One"));
    ASSERT_TRUE(doc->UpdateCategory("Tools", tools));
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    config.LoadProfile();
    Load();
    ASSERT_TRUE(doc->FindCategory("Tools", tools));
    EXPECT_LT(tools.FindSlot("One"), 0);
    EXPECT_GE(tools.FindSlot("Two"), 0);
}

TEST_F(DiskSafety, ANewCategoryOverAnExistingFileTakesItsSamples) {
    const std::string bytes =
        FileBytes({MakeSample("Bash loop", "Shell", "Bash"), MakeSample("Bash test", "Shell", "Bash"),
                   MakeSample("Plain", "Shell", ""), MakeSample("Taken", "Shell", ""),
                   MakeSample("Filed here", "Java", "")}); // stays until Java's own file holds it
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("Taken", "C++")}));
    Load();
    // Files that came after the load (a copy, a sync).
    WriteFileBytes("quorrinShell.txt", bytes);
    WriteFileBytes("quorrinBroken.txt", bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(CheckNewCategoryName(*doc, "Shell").Ok());
    // A file that cannot be read to its end would lose its tail: the name is refused.
    EXPECT_FALSE(CheckNewCategoryName(*doc, "Broken").Ok());

    ASSERT_TRUE(doc->AddCategory(std::make_unique<CCategory>("Shell")));
    ASSERT_NE(doc->PeekSample("Bash loop"), nullptr);
    ASSERT_NE(doc->PeekSample("Plain"), nullptr);
    CCategory shell;
    ASSERT_TRUE(doc->FindCategory("Shell", shell));
    EXPECT_GE(shell.FindSlot("Bash"), 0);
    EXPECT_EQ(shell.Slot(shell.FindSlot("Bash") + 1).name, ""); // one slot for the two samples
    EXPECT_EQ(view.calls, std::vector<std::string>{"outside"}); // the tree is built again
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"Taken"});
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("\n1 sample could not be placed; it is listed"), std::string::npos);
    // The file was not rewritten, and a save keeps all three records.
    EXPECT_EQ(ReadFileBytes("quorrinShell.txt"), bytes);
    doc->MarkCategoryChanged("Shell");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinShell.txt"), bytes);
}

// Another program files a sample under another category: it moves there at the next save,
// and leaves its old file only then.
TEST_F(DiskSafety, ASampleAnotherProgramFiledElsewhereMovesAtTheNextSave) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("A", "C++"), MakeSample("B", "C++")}));
    Load();
    const std::string moved = FileBytes({MakeSample("A", "Java")});
    WriteFileBytes("quorrincpp.txt", moved + FileBytes({MakeSample("B", "C++")}));
    EXPECT_TRUE(doc->ReloadChangedCategories());
    EXPECT_EQ(doc->PeekSample("A")->GetCategory(), "Java");
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), moved);
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("B", "C++")}));

    // Removed there: removed here, and the notice says what was taken over.
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("C", "Java")}));
    view.outside.clear();
    EXPECT_TRUE(doc->ReloadChangedCategories());
    EXPECT_EQ(doc->PeekSample("A"), nullptr);
    EXPECT_EQ(view.outside, std::vector<std::string>{
                                "Java: The file quorrinjava.txt of category \"Java\" was changed by another "
                                "program.\nIts changes have been taken over: 1 sample added or changed there, "
                                "1 removed there."});

    // Filed under a category that does not exist: B leaves the tree and stays in its file
    // as a load error, once (the library's version is not written beside it).
    const std::string lost = FileBytes({MakeSample("B", "Ghost")});
    WriteFileBytes("quorrincpp.txt", lost);
    EXPECT_TRUE(doc->ReloadChangedCategories());
    EXPECT_EQ(doc->PeekSample("B"), nullptr);
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"B"});
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), lost);
}

// Another program writes a part the reader cannot read: it stays at the file's end
// through every save until that program mends the file.
TEST_F(DiskSafety, AnUnreadablePartWrittenOutsideStaysUntilItIsMended) {
    const CSample a = MakeSample("A", "C++"), b = MakeSample("B", "C++"), r = MakeSample("R", "C++");
    WriteFileBytes("quorrincpp.txt", FileBytes({a}));
    Load();
    WriteFileBytes("quorrincpp.txt", FileBytes({a}) + "junk\r\n" + FileBytes({r}));
    doc->ReloadChangedCategories();
    EXPECT_EQ(doc->PeekSample("R"), nullptr);
    EXPECT_EQ(view.outside, std::vector<std::string>{
                                "C++: The file quorrincpp.txt of category \"C++\" was changed by another "
                                "program.\nIts changes have been taken over: 0 samples added or changed there, "
                                "0 removed there.\nThe file could not be read to its end: nothing was removed from "
                                "the library, and the part that could not be read stays at the end of the file "
                                "until it is corrected."});
    Add(b);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({a, b}) + "junk\r\n" + FileBytes({r}));
    // Mended there: read to its end, the old part is not written again.
    WriteFileBytes("quorrincpp.txt", FileBytes({a, b, r}));
    EXPECT_TRUE(doc->ReloadChangedCategories());
    ASSERT_NE(doc->PeekSample("R"), nullptr);
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({a, b, r}));
}

} // namespace

namespace {

// Every operation that writes more than one file, stopped after its k-th rename or sync
// for every k (nothing reaches the disk after that point, as in a crash), then read again
// from disk by a fresh start: no title the user did not delete is missing.
class CrashPoints : public DocFixture {
protected:
    CrashPoints() : DocFixture(true) {}

    std::set<std::string> TitlesOnDisk() {
        std::set<std::string> titles;
        for (const CSample& s : RecordsOnDisk())
            titles.insert(s.GetTitle());
        return titles;
    }

    // Runs change on a fresh library, then saves with a crash after the k-th rename or
    // sync, for every k until a save runs through. expected: titles that must be on disk
    // after the crash; "X|Y" is met by either (a retitle may or may not have landed).
    void ForEveryCrashPoint(const std::function<void()>& change, const std::set<std::string>& expected) {
        for (int k = 0;; ++k) {
            SCOPED_TRACE("crash after step " + std::to_string(k));
            WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("A", "C++"), MakeSample("Keep", "C++")}));
            WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J", "Java")}));
            WriteFileBytes("quorrinvb.txt", FileBytes({MakeSample("Lost", "Visual Basic", "Nowhere")}));
            doc.reset();
            errors = CLoadErrorList();
            Load();
            doc->RemoveUnplacedSamples();
            change();
            int steps = 0;
            bool crashed = false;
            fileio::SetFaultHook([&](const fileio::FaultPoint& p, std::size_t& landed) {
                if (crashed)
                    return (landed = 0, static_cast<int>(fileio::kHardIO));
                if ((p.op == fileio::Op::Rename || p.op == fileio::Op::Sync) && steps++ == k)
                    crashed = true;
                return static_cast<int>(fileio::kNone);
            });
            doc->OnSaveDocument();
            doc.reset();
            fileio::SetFaultHook(nullptr);
            const std::set<std::string> titles = TitlesOnDisk();
            for (const std::string& title : expected) {
                const size_t bar = title.find('|');
                EXPECT_TRUE(titles.count(title.substr(0, bar)) ||
                            (bar != std::string::npos && titles.count(title.substr(bar + 1))))
                    << "\"" << title << "\" is missing";
            }
            if (!crashed || HasFailure())
                break;
        }
    }
};

TEST_F(CrashPoints, MovesAndCorrectionsWriteTheDestinationFirst) {
    // Through the form to a category whose file is written after the source's.
    ForEveryCrashPoint(
        [&] {
            CSample moved = *doc->PeekSample("A");
            moved.SetCategory("Visual Basic");
            doc->PendingSample() = moved;
            doc->DisplayedSample() = *doc->PeekSample("A");
            doc->CommitPendingEdit();
        },
        {"A", "Keep", "J", "Lost"});
    // And back the other way, with a retitle.
    ForEveryCrashPoint(
        [&] {
            CSample moved = *doc->PeekSample("J");
            moved.SetCategory("C++");
            moved.SetTitle("J2");
            ASSERT_TRUE(doc->UpdateSample("J", moved));
        },
        {"A", "Keep", "Lost", "J2|J"});
    // A load error corrected into another category.
    ForEveryCrashPoint(
        [&] {
            errors.Staged() = MakeSample("Found", "C++");
            ASSERT_TRUE(doc->AddStagedSample());
            doc->ReleaseLoadError("Lost", "Found");
        },
        {"A", "Keep", "J"});
}

TEST_F(CrashPoints, AnOutsideMoveToALaterCategoryIsWrittenThereFirst) {
    // Another program changed A's category line: the merge inside the save moves it.
    ForEveryCrashPoint(
        [&] {
            WriteFileBytes("quorrincpp.txt",
                           FileBytes({MakeSample("A", "Java"), MakeSample("Keep", "C++", "GUI")}));
            doc->MarkCategoryChanged("C++");
        },
        {"A", "Keep", "J", "Lost"});
}

} // namespace
