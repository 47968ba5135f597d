// The program's one file layer. Failures come back as cause codes 0-14, whose texts
// the messages show. Tests make operations fail through one hook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes without reporting

    // Read and write, created when absent, never truncated; holds an exclusive
    // advisory lock so a second opener is refused with kSharingViolation.
    bool OpenExclusive(const std::string& path, int& cause);
    // Read only, shared (no lock taken, nothing created).
    bool OpenForRead(const std::string& path, int& cause);
    // Write only, created or truncated.
    bool OpenForWrite(const std::string& path, int& cause);
    // A new file from a mkstemp template ("...XXXXXX"), which receives the name.
    bool CreateUnique(std::string& pathTemplate, int& cause);
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

    bool Size(std::uint64_t& size, int& cause);
    // Reads from the start to the end.
    bool ReadAll(std::string& out, int& cause);
    bool ReadAll(ReadBuffer& buffer, int& cause);
    // Appends at the current position.
    bool Write(std::string_view data, int& cause);
    bool Sync(int& cause);
    bool Close(int& cause);

private:
    friend bool WriteFileAtomically(const std::string& path, std::string_view data, int& cause);
    // The start of every Open*: refused while open, or when the fault hook says so.
    bool MayOpen(const std::string& path, int& cause);
    // Keeps fd as the open file, or fails with its errno when it is negative.
    bool Adopt(int fd, const std::string& path, int& cause);
    int m_fd = -1;
    std::string m_path;
};

bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path, int& cause);
bool RenameFile(const std::string& from, const std::string& to, int& cause);
// Writes data to path + a temporary suffix, syncs it, renames it over path and
// syncs the folder. On failure the temporary file is removed and the old file at
// path is untouched (unless only the final folder sync failed: the new file is then
// in place, but not known to be durable). A symbolic link at path is kept: the file
// it points to is replaced. The permissions of the old file are kept.
bool WriteFileAtomically(const std::string& path, std::string_view data, int& cause);
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
