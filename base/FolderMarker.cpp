#include "base/FolderMarker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// What is at the marker's name instead of a regular file.
std::string KindOf(mode_t mode) {
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

} // namespace

CFolderMarker::~CFolderMarker() {
    Release();
}

CFolderMarker::Result CFolderMarker::Take(const std::string& folder, std::string& detail) {
    Release();
    detail.clear();
    const std::string path = folder + "/" + kFileName;
    // Whatever is not a regular file is not opened at all: a pipe or a device could block
    // or act, and a link could lead the marker's writes elsewhere.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        detail = KindOf(st.st_mode);
        return Result::NotAFile;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        // Planted between the look and the open.
        struct stat now;
        if ((fd >= 0 || err == ELOOP || err == EISDIR || err == ENXIO) && ::lstat(path.c_str(), &now) == 0 &&
            !S_ISREG(now.st_mode)) {
            detail = KindOf(now.st_mode);
            return Result::NotAFile;
        }
        return Result::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EWOULDBLOCK) {
            char text[512];
            const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
            detail.assign(text, n > 0 ? static_cast<size_t>(n) : 0);
            while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r'))
                detail.pop_back();
            if (detail.empty())
                detail = "another process";
        }
        ::close(fd);
        return err == EWOULDBLOCK ? Result::HeldByOther : Result::Unavailable;
    }
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string text = "process " + std::to_string(::getpid()) + " on " + host + "\n";
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
        // Locked but not named: still ours.
    }
    m_fd = fd;
    m_path = path;
    return Result::Taken;
}

void CFolderMarker::Release() {
    if (m_fd < 0)
        return;
    // Removed while still locked, so no one takes over a file that is about to go; and
    // only when the name still is our file (not another window's marker made after ours
    // was removed, nor anything planted in its place).
    struct stat ours, named;
    if (::fstat(m_fd, &ours) == 0 && ::lstat(m_path.c_str(), &named) == 0 && ours.st_dev == named.st_dev &&
        ours.st_ino == named.st_ino)
        ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}
