// The folder that holds the library. The program and the command-line tool work on
// the library in the folder chosen on their command line: the current one, one named
// there, or the user's library folder. The user's library folder is the one last chosen in the window,
// remembered in the configuration (value LibraryFolder below Settings), or else
// $XDG_DATA_HOME/Velmora Software/Tindrel/library (~/.local/share/... when
// XDG_DATA_HOME is unset), which is created on first use.
#pragma once

#include <string>

class IKeyStore;

enum class LibraryPlace {
    CurrentFolder, // where the program was started
    GivenFolder,   // a folder named on the command line
    UserLibrary,   // the user's library folder
};

struct LibraryChoice {
    LibraryPlace place = LibraryPlace::CurrentFolder;
    std::string folder; // GivenFolder only
    // The window has asked already whether to make a library there (a folder chosen with
    // File > Library Folder...).
    bool asked = false;
    bool operator==(const LibraryChoice&) const = default;
};

namespace libraryfolder {

constexpr const char* kValueName = "LibraryFolder";

// The user's home folder: $HOME, else the password database's entry, else ".".
std::string UserHome();
// The default library folder.
std::string DefaultPath();
// The remembered folder; "" when none is remembered or the value is not an absolute path.
std::string Remembered(IKeyStore& store);
// Remembers folder (an absolute path) and makes the configuration durable. False,
// after telling the user, when the value could not be stored.
bool Remember(IKeyStore& store, const std::string& folder);

// The absolute path, symbolic links resolved, of a folder the library can be kept in
// (one the user may read, write and enter); "" after telling the user why not.
std::string Check(const std::string& folder);

// What Enter may do beyond finding the folder.
enum class EnterMode {
    // The window: the default folder is created when missing, and a remembered folder
    // that cannot be entered gives way to the default one (the user is told).
    Window,
    // The command-line tool: nothing is created and nothing gives way.
    Tool,
};
// The chosen folder as an absolute path, checked to be one the program can work in;
// "" after telling the user (through ShowMessage) why not. The process's working
// folder is left as it is: the library code is given this path.
std::string Enter(const LibraryChoice& choice, IKeyStore& store, EnterMode mode);

} // namespace libraryfolder
