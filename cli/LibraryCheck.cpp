#include "cli/LibraryCheck.h"

#include <ostream>

#include "base/FileLayer.h"
#include "cli/CliSupport.h"
#include "library/LibraryStructure.h"
#include "library/Trash.h"

namespace cli {

bool LibraryIsHere(const Library& library, std::ostream& err) {
    const std::string& folder = library.doc.Folder();
    for (const char* own : {kStructureFileName, kPlaceholderFileName, trash::kFileName})
        if (fileio::FileExists(fileio::PathIn(folder, own)))
            return true;
    for (const auto& [name, category] : library.doc.Categories())
        if (fileio::FileExists(category->GetFilePath()))
            return true;
    err << "tindrel-cli: there is no library in " << (folder.empty() ? std::string(".") : folder)
        << "\n(no category file, no " << kStructureFileName << ").\n"
        << "Give --library to work on your library folder (the one the program opens), or\n"
           "--folder DIR for the library in DIR.\n";
    return false;
}

} // namespace cli
