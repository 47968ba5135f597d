#include "cli/GlobalOptions.h"

#ifndef TINDREL_VERSION
#error "TINDREL_VERSION is set by the build"
#endif

namespace cli {

GlobalOptions ParseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions options;
    bool placed = false;
    auto place = [&](LibraryChoice choice, const std::string& option) {
        if (placed) {
            options.error = option + ": only one of --library and --folder can be given";
            return false;
        }
        placed = true;
        options.library = std::move(choice);
        return true;
    };
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            options.version = true;
        } else if (arg == "--library") {
            if (!place({LibraryPlace::UserLibrary, {}}, arg))
                return options;
        } else if (arg == "--folder" || arg.rfind("--folder=", 0) == 0) {
            std::string folder;
            if (arg == "--folder") {
                if (i + 1 == args.size()) {
                    options.error = "option --folder needs a value";
                    return options;
                }
                folder = args[++i];
            } else {
                folder = arg.substr(9);
            }
            if (folder.empty()) {
                options.error = "the folder of --folder is empty";
                return options;
            }
            if (!place({LibraryPlace::GivenFolder, folder}, "--folder"))
                return options;
        } else {
            break;
        }
    }
    options.rest.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return options;
}

std::string VersionLine() {
    return std::string("tindrel-cli ") + TINDREL_VERSION + "\n";
}

} // namespace cli
