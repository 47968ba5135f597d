// The tool reads the user's configuration file itself, into a store held in memory:
// opening it through the file-backed store could write (a damaged file is copied
// aside), and no command of the tool ever writes the configuration.
#include "cli/CliCommands.h"
#include "config/FileKeyStore.h"
#include "config/MemoryKeyStore.h"
#include "base/FileLayer.h"

namespace cli {

std::unique_ptr<IKeyStore> OpenUserKeyStore(std::string& warning) {
    auto store = std::make_unique<MemoryKeyStore>();
    warning.clear();
    const std::string path = FileKeyStore::DefaultPath();
    if (!fileio::FileExists(path))
        return store; // first run: an empty configuration
    fileio::File file;
    std::string text;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(text, cause)) {
        warning = "The configuration file " + path +
                  " could not be read.\nReason: " + fileio::CauseText(cause) +
                  " \nThe library is shown without its configuration.";
        return store;
    }
    file.Close(cause);
    FileKeyStore::ParseReport report = FileKeyStore::Parse(text, *store);
    if (report.foreign)
        warning = "The file " + path +
                  " is not a Tindrel configuration file.\n"
                  "The library is shown without its configuration.";
    else if (report.version > FileKeyStore::kFormatVersion)
        warning = "The configuration file " + path +
                  " was written by a newer version of Tindrel.\n"
                  "The library is shown without its configuration.";
    else if (report.Damaged())
        warning = "The configuration file " + path + " is damaged; only what could be read is used.";
    return store;
}

} // namespace cli
