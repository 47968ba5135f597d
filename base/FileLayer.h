// The program's one file layer. Failures come back as cause codes 0-14, whose texts
// the messages show. Tests make operations fail through one hook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fileio {

enum Cause {
    kNone = 0,
    kGeneric = 1,
    kFileNotFound = 2,
    kBadPath = 3,
    kTooManyOpenFiles = 4,
    kAccessDenied = 5,
    kInvalidFile = 6,
    kRemoveCurrentDir = 7,
    kDirectoryFull = 8,
    kBadSeek = 9,
    kHardIO = 10,
    kSharingViolation = 11,
    kLockViolation = 12,
    kDiskFull = 13,
    kEndOfFile = 14,
};

// The cause text, e.g. "The disk is full."; "" outside 0-14.
const char* CauseText(int cause);
int CauseFromErrno(int err);

// A buffer for reading whole files that keeps its memory from read to read and is never
// cleared: reading many files into it touches fresh memory only for the largest.
struct ReadBuffer {
    std::unique_ptr<char[]> data;
    size_t capacity = 0;
    size_t size = 0; // bytes of the last read
    std::string_view View() const { return std::string_view(data.get(), size); }
};

// What identifies one state of a file: any write, replacement or change of its times
// changes it (the change time cannot be set back by anyone).
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;  // nanoseconds
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at path now (exists false when there is none).
FileStamp StampOf(const std::string& path);

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes without reporting

    // Read and write, created when absent (never through a symbolic link that points
    // nowhere), never truncated; holds an exclusive advisory lock so a second opener is
    // refused with kSharingViolation. Only a regular file is opened (kAccessDenied
    // otherwise): a pipe or a device is never waited on.
    bool OpenExclusive(const std::string& path, int& cause);
    // Read only, shared (no lock taken, nothing created); a regular file only.
    bool OpenForRead(const std::string& path, int& cause);
    // Read only, anything that can be read (a pipe too): for input the user names.
    bool OpenStream(const std::string& path, int& cause);
    // Write only, created or truncated.
    bool OpenForWrite(const std::string& path, int& cause);
    // A new file from a mkstemp template ("...XXXXXX"), which receives the name.
    bool CreateUnique(std::string& pathTemplate, int& cause);
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

    bool Size(std::uint64_t& size, int& cause);
    // The open file's stamp.
    bool Stamp(FileStamp& stamp, int& cause);
    // Reads from the start to the end.
    bool ReadAll(std::string& out, int& cause);
    bool ReadAll(ReadBuffer& buffer, int& cause);
    // ReadAll(buffer) in two steps: CheckRead makes the checks before the reading (an
    // open file, the fault hook) on the thread that opened the file, so that a hook sees
    // the operations in a fixed order; ReadChecked then reads on any thread.
    bool CheckRead(int& cause);
    bool ReadChecked(ReadBuffer& buffer, int& cause);
    // After CheckRead: the next bytes from where the last read stopped (the start at
    // first), up to room of them, into into; got is 0 at the end of the file.
    bool ReadOn(char* into, size_t room, size_t& got, int& cause);
    // Appends at the current position.
    bool Write(std::string_view data, int& cause);
    bool Sync(int& cause);
    bool Close(int& cause);

private:
    // The checks before a whole-file read: an open file, no injected fault; its size.
    bool BeginReadAll(std::uint64_t& size, int& cause);
    friend bool WriteFileAtomically(const std::string& path, std::string_view data, int& cause, bool* inPlace);
    // The start of every Open*: refused while open, or when the fault hook says so.
    bool MayOpen(const std::string& path, int& cause);
    // Keeps fd as the open file, or fails with its errno when it is negative.
    bool Adopt(int fd, const std::string& path, int& cause);
    int m_fd = -1;
    std::string m_path;
};

bool FileExists(const std::string& path);
// The names of the regular files in folder ("": the current one), sorted; none when it
// cannot be read.
std::vector<std::string> FileNamesIn(const std::string& folder);
// The path of the file name in folder; name itself for an empty folder (the current one).
std::string PathIn(const std::string& folder, const std::string& name);
bool RemoveFile(const std::string& path, int& cause);
bool RenameFile(const std::string& from, const std::string& to, int& cause);
// Makes the folder unless it is there already.
bool MakeFolder(const std::string& path, int& cause);
// The temporary files of WriteFileAtomically are named path + kTempInfix + six
// characters.
inline constexpr const char* kTempInfix = ".tmp-";
// Writes data to a temporary file beside path, syncs it, renames it over path and
// syncs the folder. On failure the temporary file is removed and the old file at
// path is untouched, unless only the final folder sync failed: the new file is then
// in place (inPlace, when given, says so), but not known to survive a crash. A
// symbolic link at path is kept: the file it points to is replaced. The permissions,
// owner and group of the old file are kept where the system lets us.
bool WriteFileAtomically(const std::string& path, std::string_view data, int& cause, bool* inPlace = nullptr);
// Removes the temporary files that a crash in WriteFileAtomically left beside any of
// these files (or their backup copies) in folder; returns how many. Only those at least
// minAgeSeconds old, unless the caller holds the folder's write lock (no other writer
// of these files can be at work then).
int RemoveLeftoverTemporaries(const std::string& folder, const std::vector<std::string>& fileNames,
                              int minAgeSeconds = 0);

// The short write lock of a folder: whoever checks a file and then replaces it holds it
// from the check to the rename, so that two writers never interleave. Another holder is
// waited for up to waitMs; kSharingViolation after that. A folder that cannot be locked
// at all (a file system without locks) is not locked, and that is not an error.
class FolderWriteLock {
public:
    FolderWriteLock() = default;
    FolderWriteLock(const FolderWriteLock&) = delete;
    FolderWriteLock& operator=(const FolderWriteLock&) = delete;
    ~FolderWriteLock();
    bool Acquire(const std::string& folder, int waitMs, int& cause);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
// Copies a file byte for byte (used for backup copies).
bool CopyFile(const std::string& from, const std::string& to, int& cause);

// The one seam for tests: a hook asked before each operation that can fail. Open covers
// every Open* and CreateUnique (also the temporary file of WriteFileAtomically); Lock is
// asked after OpenExclusive has opened its file and before it takes the lock; Sync
// covers File::Sync and the folder sync of WriteFileAtomically. path is the file's (the
// source of a rename, the folder of a folder sync), size the bytes of a write. The hook
// returns kNone to let the call run, or the cause it fails with; a failing write first
// writes `landed` bytes (all of them unless the hook lowers it).
enum class Op { Open, Read, Write, Sync, Close, Remove, Rename, Lock };
struct FaultPoint {
    Op op;
    const std::string& path;
    std::size_t size;
};
using FaultHook = std::function<int(const FaultPoint& point, std::size_t& landed)>;
// nullptr: no hook.
void SetFaultHook(FaultHook hook);

} // namespace fileio
