// The checks of what the user types when the library's structure changes: names of
// new categories and sub-categories and new sample titles, and the "Untitled" names the
// name dialogs propose. No widgets here: the dialogs call these and show the result.
#pragma once

#include <string>
#include <string_view>

#include "base/Messenger.h"

class CQuorrinDoc;
class CSample;

// The result of a check: the message that refuses the input (empty when accepted) and
// the icon it is shown with.
struct InputCheck {
    std::string text;
    MsgIcon icon = MsgIcon::None;

    bool Ok() const { return text.empty(); }
};

// The most characters a sub-category name may have (the name edit refuses more).
constexpr int kMaxSubcategoryChars = 60;

// The proposals "Untitled1", "Untitled2", ... Categories and sub-categories count
// separately; each counter starts at 0 with the program, is incremented before use and
// is never reset, so a cancelled dialog uses up its number.
std::string NextCategoryProposal();
std::string NextSubcategoryProposal();
int CategoryProposalCount();
int SubcategoryProposalCount();

// The name of a new category, already trimmed. Refuses an empty name, a name taken by a
// category, a name the category file cannot hold, and a name that cannot name the
// category's own file ("quorrin" + name + ".txt"): a path separator, a file name that
// another category uses already, one too long for the file system, or a file of that
// name in the folder that cannot be read to its end (a readable one becomes the new
// category's).
InputCheck CheckNewCategoryName(const CQuorrinDoc& doc, const std::string& name);

// The name of a new sub-category of category (the category name is trimmed here, the
// sub-category name is taken as typed). Refuses an unknown category, a name that is
// blank, a name of any slot of the category (shown, hidden or free), a name the category
// file cannot hold, and any name when all fifteen slots are used.
InputCheck CheckNewSubcategoryName(const CQuorrinDoc& doc, const std::string& category,
                                   const std::string& name);

// A sample's new title, already trimmed: refuses an empty title, a title any sample of
// the library holds (exact comparison), and a title the category file cannot hold.
InputCheck CheckNewTitle(const CQuorrinDoc& doc, const std::string& title);

// "The title you have entered is not unique..." naming the sample that holds the title.
std::string NotUniqueTitleMessage(const CSample& holder);

// The texts of the refusals.
namespace edit_msg {
constexpr const char* kCategoryExists =
    "A category with this name already exists.\nPlease select a new name.";
constexpr const char* kSubcategoryExists =
    "A sub-category with this name already exists.\nPlease select a new name.";
constexpr const char* kCategoryNotFound = "Could not locate category!\n";
constexpr const char* kEmptyCategoryName = "The category name cannot be empty.\nPlease enter a name.";
constexpr const char* kEmptySubcategoryName = "The sub-category name cannot be empty.\nPlease enter a name.";
constexpr const char* kEmptyNewTitle = "The new title cannot be empty.\nPlease enter a title.";
constexpr const char* kCategorySeparator =
    "A category name cannot contain \"/\" or \"\\\", because it is part of the name of the "
    "category's file.\nPlease select a new name.";
constexpr const char* kCategoryNameTooLong =
    "This category name is too long to be part of the name of the category's file.\n"
    "Please select a shorter name.";
// Filled with the file name and the category that uses it.
constexpr const char* kCategoryFileTaken =
    "The file of this category would be \"%s\", which category \"%s\" uses already.\n"
    "Please select a new name.";
// Filled with the file name.
constexpr const char* kCategoryFileUnreadable =
    "The library folder holds a file \"%s\" already, the file of a category of this name, but it "
    "could not be read to its end.\nPlease select another name, or correct the file first.";
// Filled with the category name.
constexpr const char* kNoFreeSlot =
    "Category \"%s\" has no room for another sub-category: all 15 places are in use.\n"
    "Delete one of its sub-categories first.";
} // namespace edit_msg
