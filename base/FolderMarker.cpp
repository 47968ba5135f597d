#include "base/FolderMarker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

CFolderMarker::~CFolderMarker() {
    Release();
}

CFolderMarker::Result CFolderMarker::Take(const std::string& folder, std::string& holder) {
    Release();
    holder.clear();
    const std::string path = folder + "/" + kFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return Result::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EWOULDBLOCK) {
            char text[512];
            const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
            holder.assign(text, n > 0 ? static_cast<size_t>(n) : 0);
            while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\r'))
                holder.pop_back();
            if (holder.empty())
                holder = "another process";
        }
        ::close(fd);
        return err == EWOULDBLOCK ? Result::HeldByOther : Result::Unavailable;
    }
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string text = "process " + std::to_string(::getpid()) + " on " + host + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
        // Locked but not named: still ours.
    }
    m_fd = fd;
    m_path = path;
    return Result::Taken;
}

void CFolderMarker::Release() {
    if (m_fd < 0)
        return;
    // Removed while still locked, so no one takes over a file that is about to go.
    ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}
