// CQuorrinDoc: the whole library. Owns every category and every sample from load to
// exit, loads and saves them, and carries out every change.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/Category.h"
#include "library/DocMessages.h"
#include "library/FolderLayout.h"
#include "library/KeptRecords.h"
#include "library/LibrarySettings.h"
#include "library/LoadErrorList.h"
#include "library/PendingChanges.h"
#include "library/Sample.h"
#include "library/SampleStore.h"

namespace trash {
struct Deletion;
}

using CategoryMap = std::map<std::string, std::unique_ptr<CCategory>>;

// What another program's change to one category file did to the library, for the user.
struct OutsideChange {
    std::string category;
    std::string text; // what was taken over, kept twice or kept unread
};

// What the document tells the view. The window implements it; tests do too.
class IDocumentView {
public:
    virtual ~IDocumentView() = default;
    // Before the document closes: offer to keep unsaved form edits.
    virtual void OnDocumentClosing() = 0;
    // After a save while not closing: the form is clean again.
    virtual void OnDocumentSaved() = 0;
    // A sample corrected in the Load Errors dialog was added: rebuild and select it.
    virtual void OnStagedSampleAdded() = 0;
    // The load-error store has become empty: the root text goes back to "Samples".
    virtual void OnLoadErrorsEmptied() = 0;
    // Samples came in, changed or went because another program changed a category
    // file: the tree is built again.
    virtual void OnLibraryChangedOutside() {}
    // The same, naming the categories whose files brought the changes and what each
    // did; the window lists them in a notice that does not wait for an answer.
    virtual void OnCategoriesChangedOutside(const std::vector<OutsideChange>& changes) {
        (void)changes;
        OnLibraryChangedOutside();
    }
};

// How the library is loaded. ReadOnly never creates, empties, rewrites or locks a
// file: category files are opened shared for reading, a missing file is simply an
// empty category, library.txt is left alone, and nothing is saved (not even when the
// document is destroyed). The command-line tool's read-only commands use it.
enum class LoadMode { Normal, ReadOnly };

class CQuorrinDoc {
public:
    static constexpr const char* kDefaultCategories[3] = {"C++", "Java", "Visual Basic"};
    static constexpr const char* kDefaultFiles[3] = {"quorrincpp.txt", "quorrinjava.txt", "quorrinvb.txt"};
    static constexpr const char* kDefaultSubcategories[3] = {"General", "GUI", "COM"};
    static constexpr const char* kPlaceholderFile = kPlaceholderFileName;
    // How long a save waits for another writer of the library folder.
    static constexpr int kWriteLockWaitMs = 5000;

    CQuorrinDoc(ILibrarySettings& settings, CLoadErrorList& loadErrors);
    // Saves nothing: the owner ends with SaveAtClose.
    ~CQuorrinDoc();
    CQuorrinDoc(const CQuorrinDoc&) = delete;
    CQuorrinDoc& operator=(const CQuorrinDoc&) = delete;

    void SetView(IDocumentView* view) { m_view = view; }
    // What the document has to tell the user goes to sink as it happens; while there is
    // none (a load on another thread), it is kept for TakeMessages.
    void SetMessageSink(IDocMessageSink* sink) { m_messages.SetSink(sink); }
    std::vector<DocMessage> TakeMessages() { return m_messages.Take(); }
    // The library folder, before the load: every file the document reads or writes is in
    // it. Empty: the current folder.
    void SetFolder(std::string folder) { m_folder = std::move(folder); }
    const std::string& Folder() const { return m_folder; }

    // --- Load, save, close ---
    // The load sequence, in the library folder.
    bool OnNewDocument(LoadMode mode = LoadMode::Normal);
    bool IsReadOnly() const { return m_mode == LoadMode::ReadOnly; }
    // The save sequence; false when a changed category's file cannot be opened.
    bool OnSaveDocument();
    // Tells the view the document is closing.
    void OnCloseDocument();
    // The last save before the document closes: every category it can write is written.
    // False when something is left unwritten (it would be lost if the program ended).
    bool SaveAtClose();
    bool IsClosing() const { return m_closing; }

    // Command enable rules.
    bool CanSave() const; // some category is marked changed
    static bool CanNew() { return false; }
    static bool CanOpen() { return false; }

    // Reads in the changes other programs made to the files of categories that have no
    // unsaved changes here (those take them when they are saved); tells the user and the
    // view. True when anything changed.
    bool ReloadChangedCategories();

    // --- Queries ---
    bool FindCategory(const std::string& name, CCategory& out) const;
    bool FindSample(const std::string& title, CSample& out) const;
    // Read access without a copy; nullptr when absent. Valid until the next edit.
    const CCategory* PeekCategory(const std::string& name) const;
    const CSample* PeekSample(const std::string& title) const;
    const CategoryMap& Categories() const { return m_categories; }
    const SampleMap& Samples() const { return m_samples.Map(); }
    // The same samples in title order, as a list.
    const std::vector<const CSample*>& SamplesInTitleOrder() const { return m_samples.InTitleOrder(); }
    // Positions in that list, in the order the samples lie in memory: for walks over all.
    const std::vector<std::uint32_t>& SamplesInMemoryOrder() const { return m_samples.InMemoryOrder(); }
    // Changes with every change of the samples (added, removed, changed).
    std::uint64_t SamplesVersion() const { return m_samples.Version(); }

    // Walks with their own cursors. A cursor remembers the last key it gave and goes on
    // behind it, so it stays correct while the library changes under it.
    using Cursor = CSampleStore::Cursor;
    bool FirstCategory(CCategory& out, Cursor& cursor) const;
    bool NextCategory(CCategory& out, Cursor& cursor) const;
    // The same walk without copies: the library's own record, good until the library
    // next changes; nullptr at the end.
    const CSample* FirstSampleRecord(Cursor& cursor) const;
    const CSample* NextSampleRecord(Cursor& cursor) const;
    // The record the cursor stands on as the library holds it now; nullptr when that
    // sample has gone since (or the walk has not started or is over).
    const CSample* SampleRecordAt(const Cursor& cursor) const;

    int GetCategoryCount() const { return static_cast<int>(m_categories.size()); }
    int GetSampleCount() const { return static_cast<int>(m_samples.Size()); }
    int CountSamplesInCategory(const std::string& name) const;
    // The samples whose category field is name, in title order (empty when none).
    const std::vector<const CSample*>& SamplesOfCategory(const std::string& name) const;
    bool AnyHidden() const;
    void ShowAll();

    // --- Edits ---
    bool AddSample(std::unique_ptr<CSample> sample);
    bool AddStagedSample();
    void NotifyView();
    bool UpdateSample(const std::string& oldTitle, const CSample& data);
    bool DeleteSample(const std::string& title);
    // Gives a sample a title no other sample holds; false when it cannot.
    bool RetitleSample(const std::string& oldTitle, const std::string& newTitle);
    // Takes the record of that title out of the load-error store. Corrected (the library
    // now holds it as correctedTitle), it leaves the file it was read from once its new
    // place holds it; discarded (no correctedTitle), at that file's next save.
    void ReleaseLoadError(const std::string& title, const std::string& correctedTitle);
    // The records category files keep although the library does not hold them there.
    const CKeptRecords& KeptRecords() const { return m_kept; }
    void CommitPendingEdit();
    void MarkCategoryChanged(const std::string& name);
    // Adds a category. A custom category whose file is in the folder already gets that
    // file's samples (AdoptFile): the file is never overwritten.
    bool AddCategory(std::unique_ptr<CCategory> category);
    bool UpdateCategory(const std::string& name, const CCategory& data);
    bool DeleteCategory(const std::string& name);
    // The user's deletes from the tree, each a whole procedure: the samples below go
    // (and records waiting for them), the category's slots and its configuration, and
    // unsaved edits of a sample that went. The sub-category's returns the message for
    // the user when it cannot be done ("" when done).
    void DeleteCategoryAndSamples(const std::string& name);
    std::string DeleteSubcategoryAndSamples(const std::string& category, const std::string& subcategory);
    static void ResetDefaultSubcategories(CCategory& category, bool shown);
    // The same deletes through the library's trash (tindrel-trash.txt in its folder): what
    // goes is written there first and only then leaves the library. Nothing is deleted,
    // after telling the user, when the trash cannot be written. The sub-category's returns
    // the message for the user when it is not deleted ("" when done).
    bool TrashSample(const std::string& title);
    std::string TrashSubcategory(const std::string& category, const std::string& subcategory);
    bool TrashCategory(const std::string& name);
    // Brings the deletion of that id back (its category and sub-categories shown or made
    // again; a title taken since gets " (restored)") and saves; it leaves the trash once
    // the library's files hold it. restored: the titles as they are now in the library.
    bool RestoreFromTrash(std::int64_t id, std::vector<std::string>* restored = nullptr);
    // Removes those deletions from the trash for good.
    bool RemoveFromTrash(const std::vector<std::int64_t>& ids);
    // The id of the last deletion this document wrote to the trash (0 when none).
    std::int64_t LastTrashedId() const { return m_lastTrashedId; }
    // What the trash holds, oldest first; false, with the reason, when it could not be
    // read to its end (what could be read is in out).
    bool ListTrash(std::vector<trash::Deletion>& out, std::string& problem) const;
    // Empties the trash of the deletions made more than days days ago (none for 0);
    // how many went.
    int EmptyTrashOlderThan(int days);
    // The language word the library keeps for a custom category ("" when none was chosen);
    // a new choice is written with the library's next save.
    std::string CategoryLanguageWord(const std::string& category) const { return m_settings.Language(category); }
    // The structure as read from the folder (or taken from the configuration).
    const CFolderLayout& Layout() const { return m_settings; }
    void SetCategoryLanguage(const std::string& category, const std::string& word);
    void AddCustomSubcategoryToConfig(const std::string& category, const std::string& subcategory);
    void RemoveCustomSubcategoryFromConfig(const std::string& category, const std::string& subcategory);

    // --- Placement (the tree's rule) ---
    // True when the sample has a place in the tree: its category exists and is
    // displayed, and its sub-category is empty or a named, in-use slot of it.
    bool HasPlace(const CSample& sample) const;
    // The same when category is the sample's category (nullptr: none).
    bool HasPlaceIn(const CCategory* category, const CSample& sample) const;
    // Turns every sample without a place into a load error (reason 0) and removes
    // it from the library; returns how many. Linear in the number of samples.
    int RemoveUnplacedSamples();

    void ReportTreeInsertFailure(const CSample& sample, int reason, bool removeNow);
    void RemoveDeferredSamples();

    // --- Form state ---
    CSample& DisplayedSample() { return m_displayed; }
    CSample& PendingSample() { return m_pending; }
    const std::string& LastAddedTitle() const { return m_lastAddedTitle; }
    bool PlacementChanged() const { return m_placementChanged; }
    void SetPlacementChanged(bool v) { m_placementChanged = v; }

    CLoadErrorList& LoadErrors() { return m_loadErrors; }

private:
    // The library's structure from the folder, the user's choices from the settings.
    CFolderLayout m_settings;
    CLoadErrorList& m_loadErrors;
    IDocumentView* m_view = nullptr;
    CDocMessages m_messages;
    CategoryMap m_categories;
    CSampleStore m_samples;
    CKeptRecords m_kept;
    CPendingChanges m_pendingChanges;
    // Custom categories the configuration describes but the library cannot use (their
    // file is not a plain name in the folder): left out, their settings kept.
    std::vector<std::unique_ptr<CCategory>> m_skipped;
    // Sync tools' conflict copies merged at load, set aside once what they brought is
    // written.
    struct ConflictCopy {
        std::string fileName;
        std::set<std::string> categories; // those that took its samples
        bool structure = false;           // a copy of the structure file
    };
    std::vector<ConflictCopy> m_conflictCopies;
    void MergeStructureCopies();
    void MergeConflictCopies(bool whileOpen = false);
    void SetMergedCopiesAside();
    CSample m_displayed;
    CSample m_pending;
    std::string m_lastAddedTitle;
    bool m_closing = false;
    bool m_placementChanged = false;
    std::vector<std::string> m_deferred;
    LoadMode m_mode = LoadMode::Normal;
    std::string m_folder;
    // The folder as the file layer's folder calls take it.
    std::string FolderPath() const { return m_folder.empty() ? std::string(".") : m_folder; }

    void AddDefaultCategories();
    void RemoveLeftovers();
    void AddCustomCategories();
    void AddFoundCategories();
    // Merges the structure file another program changed into the library's structure
    // and tree (before each save too, under the folder's lock).
    void TakeStructureChanges();
    structuremerge::UsedNames NamesInUse() const;
    void AddSubcategoriesFromRecords();
    bool ReadRecordsOf(const std::string& fileName, std::vector<std::unique_ptr<CSample>>& records) const;
    void WriteStructureAtFirstOpen();
    // At load: the category's file opened and ready to be read (true) or not there,
    // empty or not readable. opened: false when the file is there but could not be
    // opened; bytes: true when its bytes were read and there is something to parse.
    struct LoadRead {
        bool opened = true;
        bool bytes = false;
    };
    bool OpenCategoryForLoad(CCategory& category, LoadRead& result);
    // A record read at load whose bytes are kept while its fate is decided.
    struct HeldRecord {
        std::string title;
        std::string bytes;
    };
    void FetchRecordBytes(const std::vector<ReadFile>& files,
                          const std::vector<std::pair<size_t, std::uint32_t>>& wanted,
                          std::map<std::pair<size_t, std::uint32_t>, HeldRecord>& held);
    bool MarkChangedThroughUpdate(const std::string& name);
    bool WriteToTrash(trash::Deletion& deletion);
    std::int64_t m_lastTrashedId = 0;
    bool PlaceForRestore(const std::string& category, const std::string& subcategory, const std::string& language);
    // Writes one category's file: its samples, then its kept records. A category whose
    // file was not written stays changed.
    enum class SaveResult { Written, NotOpened, NotWritten };
    SaveResult SaveCategory(CCategory& category);
    // Records waiting for samples that are now in name's file leave their own files,
    // which are marked changed; true when there were any.
    bool CompleteMovesInto(const std::string& name);
    bool NextCategoryAfter(CCategory& out, Cursor& cursor) const;
    // Outside changes (DocSync.cpp).
    struct MergeCounts {
        int added = 0;
        int changed = 0;
        int removed = 0;
        int conflicts = 0;
        int editsOverDeletes = 0;
        bool stoppedEarly = false; // the file could not be read to its end
        bool Empty() const { return added + changed + removed + conflicts + editsOverDeletes == 0 && !stoppedEarly; }
    };
    bool ChangedOnDisk(const CCategory& category) const;
    // Reads the category's open file and takes over what was changed there since we
    // read or wrote it; our own unsaved changes stand, and a sample changed on both
    // sides keeps its other version as a load error.
    MergeCounts MergeFromFile(CCategory& category);
    // After a read of the category's file: the part of it that could not be read is
    // kept, to be written back at its end.
    void KeepUnreadPart(CCategory& category, std::string_view data, const std::vector<RecordSpan>& spans,
                        bool complete);
    // The same with the bytes from where reading stopped to the end (tail).
    void KeepUnreadTail(CCategory& category, std::string_view tail, bool complete);
    // Before a category's file is rewritten: samples that leave it for a category whose
    // file does not hold them yet stay in it until that file does.
    void KeepMovesUntilWritten(const CCategory& category);
    // What a merge did, for the user ("" when nothing changed).
    static std::string DescribeMerge(const CCategory& category, const MergeCounts& counts);
    // The outside changes met during a save, told to the view once it is done.
    std::vector<OutsideChange> m_outsideChanges;
    void TellOutsideChanges();
    // A new category's file was in the folder already: its samples are read in as at
    // load, with the sub-categories they name, and the user is told.
    void AdoptFile(CCategory& category);
};
