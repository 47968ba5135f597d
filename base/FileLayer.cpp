#include "base/FileLayer.h"
#include "base/WriteGate.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <tuple>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fileio {

namespace {

const char* const kCauseTexts[] = {
    "No error occurred.",
    "An unspecified error occurred.",
    "The file could not be located.",
    "All or part of the path is invalid.",
    "The permitted number of open files was exceeded.",
    "The file could not be accessed.",
    "There was an attempt to use an invalid file handle.",
    "The current working directory cannot be removed.",
    "There are no more directory entries.",
    "There was an error trying to set the file pointer.",
    "There was a hardware error.",
    "SHARE.EXE was not loaded, or a shared region was locked.",
    "There was an attempt to lock a region that was already locked.",
    "The disk is full.",
    "The end of file was reached.",
};

FaultHook g_hook;

// True (and cause set) when the fault hook fails this call.
bool Injected(Op op, const std::string& path, int& cause, std::size_t size = 0, std::size_t* landed = nullptr) {
    if (!g_hook)
        return false;
    std::size_t land = size;
    const int fault = g_hook(FaultPoint{op, path, size}, land);
    if (fault == kNone)
        return false;
    cause = fault;
    if (landed)
        *landed = std::min(land, size);
    return true;
}

bool Fail(int& cause, int err) {
    cause = CauseFromErrno(err);
    return false;
}

bool RawWrite(int fd, std::string_view data, int& cause) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(cause, errno);
        }
        if (n == 0) {
            cause = kDiskFull;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Opens path, which must be a regular file (a pipe or a device would block the program
// or be read for ever): returns the descriptor, or -1 with cause set. With create, a
// missing file is made anew; a symbolic link that points nowhere is not followed, so
// no file is ever created outside the folder through one.
int OpenRegular(const std::string& path, int flags, int& cause, bool create = true) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        cause = kAccessDenied;
        return -1;
    }
    for (int attempt = 0; attempt < 10; ++attempt) {
        int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT && create) {
            struct stat link;
            if (::lstat(path.c_str(), &link) == 0) {
                cause = kAccessDenied; // a dangling symbolic link
                return -1;
            }
            fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST)
                continue; // made by someone else meanwhile: open that one
        }
        if (fd < 0) {
            Fail(cause, errno);
            return -1;
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            cause = kAccessDenied;
            return -1;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    cause = kSharingViolation;
    return -1;
}

} // namespace

std::string PathIn(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

namespace {

mode_t NewFileMode() {
    // The process's umask as the kernel reports it: reading it through umask() would set
    // it, for a moment, for every thread of the process.
    mode_t mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned value = 0;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value & 0777);
                break;
            }
        }
        std::fclose(status);
    }
    return static_cast<mode_t>(0666 & ~mask);
}

// The folder that holds path ("." for a bare name).
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Where a write to path really lands: the target of a symbolic link, so that
// replacing the file keeps the link.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out(real);
    std::free(real);
    return out;
}

bool SyncFolder(const std::string& folder, int& cause) {
    if (Injected(Op::Sync, folder, cause))
        return false;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Fail(cause, errno);
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; that is not a failure of the save.
    if (rc != 0 && err != EINVAL && err != ENOTSUP)
        return Fail(cause, err);
    return true;
}

} // namespace

const char* CauseText(int cause) {
    if (cause < 0 || cause > 14)
        return "";
    return kCauseTexts[cause];
}

int CauseFromErrno(int err) {
    switch (err) {
    case 0:
        return kNone;
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EISDIR:
        return kBadPath;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return kAccessDenied;
    case EBADF:
        return kInvalidFile;
    case EBUSY:
        return kRemoveCurrentDir;
    case EMLINK:
        return kDirectoryFull;
    case ESPIPE:
    case EOVERFLOW:
        return kBadSeek;
    case EIO:
        return kHardIO;
    case EWOULDBLOCK:
        return kSharingViolation;
    case ENOLCK:
    case EDEADLK:
        return kLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    default:
        return kGeneric;
    }
}

File::~File() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool File::MayOpen(const std::string& path, int& cause) {
    if (m_fd >= 0) {
        cause = kInvalidFile;
        return false;
    }
    return !Injected(Op::Open, path, cause);
}

bool File::Adopt(int fd, const std::string& path, int& cause) {
    if (fd < 0)
        return Fail(cause, errno);
    m_fd = fd;
    m_path = path;
    return true;
}

bool File::OpenExclusive(const std::string& path, int& cause) {
    if (!MayOpen(path, cause))
        return false;
    // Files are replaced by rename while locked, so the lock may be won on a file that
    // has just been replaced; then the path names another file and we open it again.
    for (int attempt = 0;; ++attempt) {
        int fd = OpenRegular(path, O_RDWR, cause);
        if (fd < 0)
            return false;
        if (Injected(Op::Lock, path, cause)) {
            ::close(fd);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int err = errno;
            ::close(fd);
            cause = (err == EWOULDBLOCK) ? kSharingViolation : CauseFromErrno(err);
            return false;
        }
        struct stat held, named;
        bool same = ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
                    held.st_dev == named.st_dev && held.st_ino == named.st_ino;
        if (same || attempt == 10) {
            if (!same) {
                ::close(fd);
                cause = kSharingViolation;
                return false;
            }
            return Adopt(fd, path, cause);
        }
        ::close(fd);
    }
}

bool File::OpenForRead(const std::string& path, int& cause) {
    if (!MayOpen(path, cause))
        return false;
    const int fd = OpenRegular(path, O_RDONLY, cause, false);
    return fd >= 0 && Adopt(fd, path, cause);
}

bool File::OpenStream(const std::string& path, int& cause) {
    return MayOpen(path, cause) && Adopt(::open(path.c_str(), O_RDONLY | O_CLOEXEC), path, cause);
}

bool File::OpenForWrite(const std::string& path, int& cause) {
    // Never blocks on a pipe that nobody reads.
    return MayOpen(path, cause) &&
           Adopt(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644), path, cause);
}

bool File::CreateUnique(std::string& pathTemplate, int& cause) {
    return MayOpen(pathTemplate, cause) && Adopt(::mkstemp(pathTemplate.data()), pathTemplate, cause);
}

bool File::Size(std::uint64_t& size, int& cause) {
    FileStamp stamp;
    if (!Stamp(stamp, cause))
        return false;
    size = stamp.size;
    return true;
}

namespace {

FileStamp StampFrom(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.exists = true;
    return stamp;
}

} // namespace

FileStamp StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return FileStamp();
    return StampFrom(st);
}

bool File::Stamp(FileStamp& stamp, int& cause) {
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return Fail(cause, errno);
    stamp = StampFrom(st);
    return true;
}

namespace {

// Reads a whole file from its start into memory that grows on demand, about its size at
// first; the loop also copes with a file that grows or shrinks meanwhile. room(n, have)
// gives memory for at least n bytes, keeping the first `have`, as {start, capacity}.
// Returns the bytes read, or -1 with errno set.
template <class Room>
ssize_t ReadWhole(int fd, std::uint64_t size, Room room) {
    size_t have = 0;
    auto [data, capacity] = room(static_cast<size_t>(size) + 1, have);
    for (;;) {
        if (have == capacity)
            std::tie(data, capacity) = room(capacity * 2, have);
        const ssize_t n = ::pread(fd, data + have, capacity - have, static_cast<off_t>(have));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            return static_cast<ssize_t>(have);
        have += static_cast<size_t>(n);
    }
}

} // namespace

bool File::BeginReadAll(std::uint64_t& size, int& cause) {
    return CheckRead(cause) && Size(size, cause);
}

bool File::ReadAll(std::string& out, int& cause) {
    out.clear();
    std::uint64_t size = 0;
    if (!BeginReadAll(size, cause))
        return false;
    // One read of the whole file where possible.
    const ssize_t n = ReadWhole(m_fd, size, [&out](size_t wanted, size_t) {
        if (out.size() < wanted)
            out.resize(wanted);
        return std::pair<char*, size_t>(out.data(), out.size());
    });
    if (n < 0) {
        const int err = errno;
        out.clear();
        return Fail(cause, err);
    }
    out.resize(static_cast<size_t>(n));
    return true;
}

bool File::ReadAll(ReadBuffer& buffer, int& cause) {
    return CheckRead(cause) && ReadChecked(buffer, cause);
}

bool File::CheckRead(int& cause) {
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    return !Injected(Op::Read, m_path, cause);
}

bool File::ReadChecked(ReadBuffer& buffer, int& cause) {
    buffer.size = 0;
    std::uint64_t size = 0;
    if (!Size(size, cause)) // kInvalidFile when not open
        return false;
    // The buffer is only ever grown, never filled first.
    const ssize_t n = ReadWhole(m_fd, size, [&buffer](size_t wanted, size_t have) {
        if (buffer.capacity < wanted) {
            auto bigger = std::make_unique_for_overwrite<char[]>(wanted);
            if (have > 0)
                std::memcpy(bigger.get(), buffer.data.get(), have);
            buffer.data = std::move(bigger);
            buffer.capacity = wanted;
        }
        return std::pair<char*, size_t>(buffer.data.get(), buffer.capacity);
    });
    if (n < 0)
        return Fail(cause, errno);
    buffer.size = static_cast<size_t>(n);
    return true;
}

bool File::ReadOn(char* into, size_t room, size_t& got, int& cause) {
    got = 0;
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, into, room);
        if (n >= 0) {
            got = static_cast<size_t>(n);
            return true;
        }
        if (errno != EINTR)
            return Fail(cause, errno);
    }
}

bool File::Write(std::string_view data, int& cause) {
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    std::size_t landed = 0;
    if (Injected(Op::Write, m_path, cause, data.size(), &landed)) {
        // The bytes before the failure land, as on a disk that fills up.
        int ignored = 0;
        RawWrite(m_fd, data.substr(0, landed), ignored);
        return false;
    }
    return RawWrite(m_fd, data, cause);
}

bool File::Sync(int& cause) {
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    if (Injected(Op::Sync, m_path, cause))
        return false;
    if (::fsync(m_fd) != 0) {
        int err = errno;
        if (err != EINVAL && err != ENOTSUP) // special files (/dev/full) cannot sync
            return Fail(cause, err);
    }
    return true;
}

bool File::Close(int& cause) {
    if (m_fd < 0) {
        cause = kInvalidFile;
        return false;
    }
    int fd = m_fd;
    m_fd = -1;
    const std::string path = std::move(m_path);
    m_path.clear();
    if (Injected(Op::Close, path, cause)) {
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0 && errno != EINTR)
        return Fail(cause, errno);
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        const std::string name = entry->d_name;
        if (::lstat(PathIn(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveFile(const std::string& path, int& cause) {
    if (Injected(Op::Remove, path, cause))
        return false;
    if (::unlink(path.c_str()) != 0)
        return Fail(cause, errno);
    return true;
}

bool RenameFile(const std::string& from, const std::string& to, int& cause) {
    if (Injected(Op::Rename, from, cause))
        return false;
    if (::rename(from.c_str(), to.c_str()) != 0)
        return Fail(cause, errno);
    return true;
}

bool MakeFolder(const std::string& path, int& cause) {
    if (Injected(Op::Rename, path, cause))
        return false;
    struct stat info {};
    if (::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return true;
    return Fail(cause, errno == EEXIST ? ENOTDIR : errno);
}

bool WriteFileAtomically(const std::string& path, std::string_view data, int& cause, bool* inPlace) {
    // The program is not ended between the temporary file and the folder's sync.
    const WriteSection section;
    if (inPlace)
        *inPlace = false;
    const std::string target = ResolveTarget(path);
    std::string temp = target + kTempInfix + "XXXXXX";
    File out;
    if (!out.CreateUnique(temp, cause))
        return false;
    // Keep the permissions, owner and group of the file being replaced, as far as we may.
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        ::fchmod(out.m_fd, st.st_mode & 07777);
        if (::fchown(out.m_fd, st.st_uid, st.st_gid) != 0 && ::fchown(out.m_fd, static_cast<uid_t>(-1), st.st_gid) == 0)
            ::fchmod(out.m_fd, st.st_mode & 07777); // a group change clears the set-id bits
    } else {
        ::fchmod(out.m_fd, NewFileMode());
    }

    int ignored = 0;
    if (!out.Write(data, cause) || !out.Sync(cause)) {
        out.Close(ignored);
        ::unlink(temp.c_str());
        return false;
    }
    if (!out.Close(cause) || !RenameFile(temp, target, cause)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (inPlace)
        *inPlace = true;
    // The new file is in place; a failed folder sync still counts as a failure, since
    // the rename may not survive a crash. The caller decides how grave that is.
    return SyncFolder(FolderOf(target), cause);
}

int RemoveLeftoverTemporaries(const std::string& folder, const std::vector<std::string>& fileNames,
                              int minAgeSeconds) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const std::string infix = kTempInfix;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // name + ".tmp-" + the six characters mkstemp chose.
        if (name.size() < infix.size() + 6)
            continue;
        const std::string stem = name.substr(0, name.size() - infix.size() - 6);
        if (name.compare(stem.size(), infix.size(), infix) != 0)
            continue;
        bool ours = false;
        for (const std::string& file : fileNames)
            ours = ours || stem == file || (stem.size() > file.size() && stem.compare(0, file.size(), file) == 0 &&
                                            stem.compare(file.size(), 4, ".bak") == 0);
        struct stat st;
        const std::string path = folder + "/" + name;
        if (!ours || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (minAgeSeconds > 0 && ::time(nullptr) - st.st_mtime < minAgeSeconds)
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

FolderWriteLock::~FolderWriteLock() {
    Release();
}

bool FolderWriteLock::Acquire(const std::string& folder, int waitMs, int& cause) {
    Release();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Fail(cause, errno);
    for (int waited = 0;; waited += 20) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // No locks on this file system: go on unlocked.
            ::close(fd);
            return true;
        }
        if (waited >= waitMs) {
            ::close(fd);
            cause = kSharingViolation;
            return false;
        }
        ::usleep(20 * 1000);
    }
}

void FolderWriteLock::Release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool CopyFile(const std::string& from, const std::string& to, int& cause) {
    File in;
    if (!in.OpenForRead(from, cause))
        return false;
    std::string bytes;
    if (!in.ReadAll(bytes, cause))
        return false;
    int ignored = 0;
    in.Close(ignored);
    return WriteFileAtomically(to, bytes, cause);
}

void SetFaultHook(FaultHook hook) {
    g_hook = std::move(hook);
}

} // namespace fileio
