// The marker a window keeps in the library folder while it has the library open: the file
// ".tindrel.lock", naming the process and the host, locked for as long as the window
// lives. A second window finds it locked and can tell the user who has the library. The
// lock goes with its process, so a marker left by a crash is simply taken over.
#pragma once

#include <string>

class CFolderMarker {
public:
    static constexpr const char* kFileName = ".tindrel.lock";

    enum class Result {
        Taken,       // ours now
        HeldByOther, // another process has the library open; detail names it
        // Something that is not a regular file has the marker's name (a symbolic link, a
        // folder, a pipe...; detail says which): no marker is held, and whether another
        // window has the library cannot be told. Nothing was opened through it.
        NotAFile,
        Unavailable // no marker can be kept here (a read-only folder): none is held
    };

    CFolderMarker() = default;
    CFolderMarker(const CFolderMarker&) = delete;
    CFolderMarker& operator=(const CFolderMarker&) = delete;
    ~CFolderMarker();

    // detail: "process 1234 on host name" when another holds the marker; "a symbolic
    // link", "a folder", ... when the name is not a regular file.
    Result Take(const std::string& folder, std::string& detail);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::string m_path;
};
