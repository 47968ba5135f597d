#include "app/NewLibraryQuestion.h"

#include "base/Messenger.h"
#include "config/LibraryFolder.h"
#include "library/LibraryPresence.h"
#include "ui/FileDialogs.h"

std::string FolderForLibrary(std::string folder, QWidget* parent) {
    while (!folder.empty()) {
        if (HoldsLibrary(folder) ||
            ShowMessage("Make a new library in " + folder + "?", MsgButtons::YesNoDefaultNo, MsgIcon::Question) ==
                MsgAnswer::Yes)
            return folder;
        // Nothing is made there; another folder is offered.
        const auto chosen = FileDialogs().GetExistingFolder(parent, FolderRequest{QStringLiteral("Library Folder"), folder});
        if (!chosen || chosen->empty())
            return std::string();
        folder = libraryfolder::Check(*chosen);
    }
    return folder;
}
