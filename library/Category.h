// CCategory: one category with its fifteen sub-category slots and its category file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileLayer.h"
#include "library/CategoryReader.h"
#include "library/DocMessages.h"
#include "library/Sample.h"

// The empty placeholder document file every library folder holds.
inline constexpr const char* kPlaceholderFileName = "library.txt";

constexpr int kSlotCount = 15;
constexpr int kDefaultSlotCount = 3;

// The file of a new category of this name: "quorrin" + name + ".txt".
std::string CategoryFileName(const std::string& name);
// True when name names a file in the current folder itself: not empty, no path
// separator, not "." or "..", no zero byte.
bool IsPlainFileName(const std::string& name);
// Why a category cannot keep its samples in the file fileName of the library folder, as
// the end of a sentence about that file ("which is not a file in the library folder");
// "" when it can. Refused: a name that is not plain, a name the program keeps for its own
// files there (the window's marker, library.txt, the trash, a temporary file "<file>.tmp-XXXXXX", a
// backup copy "<file>.bak" or "<file>.bakN"), and a name another category uses already
// (compared exactly, as the file system does). otherFiles: the other categories' files,
// by category name. An empty name (no file) is no collision.
std::string CategoryFileRefusal(const std::string& fileName,
                                const std::map<std::string, std::string>& otherFiles);

struct SubcategorySlot {
    std::string name;
    bool custom = false; // false: one of the three default sub-categories
    bool inUse = false;  // for a default sub-category: shown
};

class CCategory {
public:
    CCategory();                                 // default category record, all empty
    explicit CCategory(const std::string& name); // new custom category, file "quorrin<name>.txt"
    CCategory(const CCategory& other);
    virtual CCategory& operator=(const CCategory& other); // not the file, buffer or changed mark
    virtual ~CCategory();

    void ResetSlots(bool changed);
    int FindSlot(const std::string& name) const;
    bool IsCustomSubcategory(const std::string& name) const;
    bool RemoveSubcategory(const std::string& name);
    // The first free custom slot (3-14 for a default category, 0-14 for a custom
    // one), or -1 when all are used.
    int FreeSlot() const;

    const std::string& GetName() const { return m_name; }
    void SetName(std::string v) { m_name = std::move(v); }
    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(std::string v) { m_fileName = std::move(v); }
    // The library folder that holds the file ("": the current folder), and the path the
    // file is opened by. Messages name the file by its name alone.
    const std::string& GetFolder() const { return m_folder; }
    void SetFolder(std::string v) { m_folder = std::move(v); }
    std::string GetFilePath() const { return fileio::PathIn(m_folder, m_fileName); }
    // Where the file operations' messages go: the document's, or (none set) the
    // category's own, for its owner to take.
    void SetMessages(CDocMessages* messages) { m_messages = messages; }
    CDocMessages& Messages() const { return m_messages ? *m_messages : m_ownMessages; }
    bool IsDisplayed() const { return m_displayed; }
    void SetDisplayed(bool v) { m_displayed = v; }
    bool IsChanged() const { return m_changed; }
    void SetChanged(bool v) { m_changed = v; }
    bool IsCustom() const { return m_custom; }
    bool IsDefault() const { return !m_custom; }
    void SetCustom(bool v) { m_custom = v; }

    SubcategorySlot& Slot(int i) { return m_slots[i]; }
    const SubcategorySlot& Slot(int i) const { return m_slots[i]; }

    // --- The category file ---
    // Opens it (exclusive, created when absent, never truncated). Tells the
    // specified message and returns false on failure.
    bool OpenFile();
    // Opens it for reading only: shared, nothing created or locked (a read-only view
    // of a library another program is using). Same messages as OpenFile. Replacing
    // files by rename means such a reader sees either the old or the new file whole.
    bool OpenFileForRead();
    // Reads every sample into out, in file order, without placing any: the document
    // places the samples of all its files at once. Shows the read and sequence-error
    // messages. True when the whole file was read; false when it was empty or reading
    // stopped at an error. buffer, when given, holds the file's bytes meanwhile and is
    // kept for the next file.
    bool ReadSampleList(std::vector<std::unique_ptr<CSample>>& out, fileio::ReadBuffer* buffer = nullptr,
                        std::vector<RecordSpan>* spans = nullptr);
    // ReadSampleList in steps, for reading and parsing on another thread than the one
    // that opens and closes the file: BeginReadBytes (on the opening thread) takes the
    // open file's stamp and makes the checks before reading; ReadBytes (after it, on any
    // thread) reads its bytes into buffer. Each is false, with the read message shown,
    // when the file could not be read or is empty: nothing to parse. TakeParse takes what
    // ParseSamples returned for them, shows the sequence message, and returns what
    // ReadSampleList would.
    bool BeginReadBytes();
    bool ReadBytes(fileio::ReadBuffer& buffer);
    // Instead of ReadBytes: the file's next bytes, up to room of them (got 0 at the end:
    // at the first read, an empty file); false, with the read message shown, when they
    // could not be read.
    bool ReadMoreBytes(char* into, size_t room, size_t& got, bool first);
    bool TakeParse(const char* failedAt);
    // The state of the file when it was last read or written by this record (exists
    // false before that): a file whose stamp differs has been changed by someone else.
    const fileio::FileStamp& Stamp() const { return m_stamp; }
    // True when the last ReadSampleList stopped before the end of a non-empty file,
    // so the file holds samples the library does not.
    bool ReadIncomplete() const { return m_readIncomplete; }
    // True when the last ReadSampleList read the whole file but its records broke off
    // (a sequence error): the bytes after the last whole record are the unread part.
    // False after a failure to read the file itself.
    bool ReadStoppedInSequence() const { return m_readStoppedInSequence; }
    // The name of the backup copy made of this category's file, in the same folder,
    // before its first rewrite after an incomplete read (empty when none was made). The
    // user is told its name once.
    const std::string& BackupPath() const { return m_backupPath; }

    // Saving: EmptyFile starts new content, WriteSample appends one sample to it,
    // CloseFile replaces the file with it atomically. A sample the format cannot
    // hold, or any write failure, leaves the old file as it was; CloseFile then
    // returns false and the caller keeps the category marked changed.
    void EmptyFile();
    bool WriteSample(const CSample& sample);
    // Appends a record exactly as another file held it (its marker lines included). A
    // record without a last line end gets one, unless nothing is to follow it.
    bool WriteRecordBytes(std::string_view record, bool last = false);
    bool CloseFile();
    // Deletes the file (it must not be open); failures show the delete message.
    void DeleteFile();
    // The file holds samples the library does not show: it is copied aside before it is
    // rewritten or deleted.
    void MarkUnreadOnDisk() { m_unreadOnDisk = true; }
    // The part of the file that could not be read is kept by the library and written
    // back with the file: a rewrite loses nothing, no copy is needed.
    void KeepUnreadPart() { m_unreadOnDisk = false; }

private:
    bool m_custom = false;
    SubcategorySlot m_slots[kSlotCount];
    std::string m_name;
    std::string m_fileName;
    std::string m_folder;
    CDocMessages* m_messages = nullptr;
    mutable CDocMessages m_ownMessages; // never copied
    bool m_displayed = true;
    bool m_changed = false;

    // Open-file state; never copied.
    std::unique_ptr<fileio::File> m_file;
    std::string m_pending;     // new content being built by WriteSample
    bool m_saving = false;     // EmptyFile was called since OpenFile
    bool m_saveFailed = false; // a sample was refused or a write failed
    bool m_readIncomplete = false;
    bool m_readStoppedInSequence = false;
    bool m_readAttempted = false; // a read ran, or a save replaced the file
    bool m_unreadOnDisk = false;  // the file may hold samples the library lacks
    std::string m_backupPath;
    fileio::FileStamp m_stamp;

    bool OpenCategoryFile(bool exclusive);
    bool StartFromCurrentContent();
    bool BackUpUnreadFile(bool deleting);
    void TellFileError(const char* format, int cause) const;
};
