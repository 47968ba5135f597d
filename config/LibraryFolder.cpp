#include "config/LibraryFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "config/KeyStore.h"
#include "config/LibraryConfig.h"
#include "config/WindowSettings.h"
#include "base/FileLayer.h"
#include "base/Messenger.h"

namespace libraryfolder {

namespace {

std::string CurrentFolder() {
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd ? std::string(cwd.get()) : std::string();
}

std::string Reason(int err) {
    return std::string("\nReason: ") + fileio::CauseText(fileio::CauseFromErrno(err));
}

std::string CannotOpen(const std::string& folder, int err) {
    return "The library folder\n" + folder + "\ncannot be opened." + Reason(err);
}

// The folder as the system names it: absolute, links resolved.
std::string Entered(const std::string& folder) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : folder;
}

// True when folder is one the program could work in (a folder it may enter); errno is
// kept for the caller otherwise. The process's own working folder never changes.
bool CanEnter(const std::string& folder) {
    if (folder.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return ::access(folder.c_str(), X_OK) == 0;
}

// Creates folder and its missing parents, private to the user as the data folder's
// convention asks. False with errno set when a part cannot be made.
bool MakeFolders(const std::string& folder) {
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Opens (or, with create, makes) the key path below the root; kNoKey on failure with
// the code in rc.
KeyHandle OpenSettings(IKeyStore& store, bool create, long& rc) { return OpenSettingsKey(store, create, rc); }

} // namespace

std::string UserHome() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return home && *home ? home : ".";
}

std::string DefaultPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string base = xdg && xdg[0] == '/' ? std::string(xdg) : UserHome() + "/.local/share";
    return base + "/Velmora Software/Tindrel/library";
}

std::string Remembered(IKeyStore& store) {
    long rc = keyerr::kSuccess;
    const KeyHandle settings = OpenSettings(store, false, rc);
    if (settings == kNoKey)
        return {};
    std::string folder;
    rc = store.QueryString(settings, kValueName, folder);
    store.CloseKey(settings);
    // A relative path would depend on where the program happens to start.
    if (rc != keyerr::kSuccess || folder.empty() || folder[0] != '/')
        return {};
    return folder;
}

bool Remember(IKeyStore& store, const std::string& folder) {
    long rc = keyerr::kSuccess;
    const KeyHandle settings = OpenSettings(store, true, rc);
    if (settings != kNoKey) {
        rc = store.SetString(settings, kValueName, folder);
        store.CloseKey(settings);
    }
    if (rc != keyerr::kSuccess) {
        ShowMessage("Tindrel was unable to remember the library folder\n" + folder +
                        "\nReason: " + store.ErrorText(rc),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    CLibraryConfig(store).Flush();
    return true;
}

std::string Check(const std::string& folder) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
    struct stat st {};
    int err = 0;
    if (!resolved || ::stat(resolved.get(), &st) != 0)
        err = errno;
    else if (!S_ISDIR(st.st_mode))
        err = ENOTDIR;
    else if (::access(resolved.get(), R_OK | W_OK | X_OK) != 0)
        err = errno;
    if (err != 0) {
        ShowMessage(CannotOpen(folder, err), MsgButtons::Ok, MsgIcon::Exclamation);
        return {};
    }
    return resolved.get();
}

std::string Enter(const LibraryChoice& choice, IKeyStore& store, EnterMode mode) {
    switch (choice.place) {
    case LibraryPlace::CurrentFolder: {
        // Only fails when the folder has been removed or cannot be read.
        std::string here = CurrentFolder();
        if (here.empty())
            ShowMessage(CannotOpen(".", errno), MsgButtons::Ok, MsgIcon::Stop);
        return here;
    }
    case LibraryPlace::GivenFolder:
        if (CanEnter(choice.folder))
            return Entered(choice.folder);
        ShowMessage(CannotOpen(choice.folder, errno), MsgButtons::Ok, MsgIcon::Stop);
        return {};
    case LibraryPlace::UserLibrary:
        break;
    }

    const std::string fallback = DefaultPath();
    const std::string remembered = Remembered(store);
    if (!remembered.empty()) {
        if (CanEnter(remembered))
            return Entered(remembered);
        const int err = errno;
        if (mode == EnterMode::Tool || remembered == fallback) {
            ShowMessage(CannotOpen(remembered, err), MsgButtons::Ok, MsgIcon::Stop);
            return {};
        }
        // The remembered value stays: the folder may be back at the next start (a
        // drive that is not mounted now).
        ShowMessage(CannotOpen(remembered, err) + "\n\nTindrel opens the default library folder\n" +
                        fallback + "\ninstead.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
    }
    if (mode == EnterMode::Window && !MakeFolders(fallback)) {
        ShowMessage("The library folder\n" + fallback + "\ncannot be created." + Reason(errno),
                    MsgButtons::Ok, MsgIcon::Stop);
        return {};
    }
    if (CanEnter(fallback))
        return Entered(fallback);
    ShowMessage(CannotOpen(fallback, errno), MsgButtons::Ok, MsgIcon::Stop);
    return {};
}

} // namespace libraryfolder
