#include "library/EditRules.h"

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "library/CategoryReader.h"
#include "library/ContentCheck.h"
#include "library/QuorrinDoc.h"

namespace {

int g_categoryCounter = 0;
int g_subcategoryCounter = 0;

// The longest file name the file systems in use take, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

// File names that differ only in ASCII letter case name one file on some systems.
bool SameFileName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// True when there is no such file, or it can be read and parsed to its end.
bool FileReadsToItsEnd(const std::string& path) {
    if (!fileio::StampOf(path).exists)
        return !fileio::FileExists(path); // a link to nowhere cannot be the category's file
    fileio::File file;
    std::string bytes;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(bytes, cause))
        return false;
    std::vector<std::unique_ptr<CSample>> samples;
    return ParseSamples(bytes, samples) == nullptr;
}

InputCheck Refuse(std::string text, MsgIcon icon = MsgIcon::None) {
    return InputCheck{std::move(text), icon};
}

} // namespace

std::string NextCategoryProposal() {
    return StrFormat("Untitled%d", ++g_categoryCounter);
}
std::string NextSubcategoryProposal() {
    return StrFormat("Untitled%d", ++g_subcategoryCounter);
}
int CategoryProposalCount() {
    return g_categoryCounter;
}
int SubcategoryProposalCount() {
    return g_subcategoryCounter;
}

InputCheck CheckNewCategoryName(const CQuorrinDoc& doc, const std::string& name) {
    if (name.empty())
        return Refuse(edit_msg::kEmptyCategoryName);
    if (doc.PeekCategory(name))
        return Refuse(edit_msg::kCategoryExists);
    std::string why = CheckFieldContent("category name", name);
    if (!why.empty())
        return Refuse(why, MsgIcon::Exclamation);
    if (name.find_first_of("/\\") != std::string::npos)
        return Refuse(edit_msg::kCategorySeparator, MsgIcon::Exclamation);
    const std::string file = CategoryFileName(name);
    if (file.size() > kMaxFileNameBytes)
        return Refuse(edit_msg::kCategoryNameTooLong, MsgIcon::Exclamation);
    // A file of that name already in the folder becomes the category's; one that cannot
    // be read to its end would lose what it holds past the break.
    if (!FileReadsToItsEnd(fileio::PathIn(doc.Folder(), file)))
        return Refuse(StrFormat(edit_msg::kCategoryFileUnreadable, file.c_str()), MsgIcon::Exclamation);
    // Two categories on one file would overwrite each other's samples at every save.
    for (const auto& [key, category] : doc.Categories()) {
        if (SameFileName(category->GetFileName(), file))
            return Refuse(StrFormat(edit_msg::kCategoryFileTaken, file.c_str(), category->GetName().c_str()),
                          MsgIcon::Exclamation);
    }
    // "cpp.txt.tmp-ab" would give "quorrincpp.txt.tmp-ab.txt", which the start removes as a
    // leftover temporary file of the C++ category's.
    const std::string refusal = CategoryFileRefusal(file, {});
    if (!refusal.empty())
        return Refuse("The file of this category would be \"" + file + "\", " + refusal +
                          ".\nPlease select a new name.",
                      MsgIcon::Exclamation);
    return {};
}

InputCheck CheckNewSubcategoryName(const CQuorrinDoc& doc, const std::string& category,
                                   const std::string& name) {
    const CCategory* record = doc.PeekCategory(std::string(Trim(category)));
    if (!record)
        return Refuse(edit_msg::kCategoryNotFound);
    if (Trim(name).empty())
        return Refuse(edit_msg::kEmptySubcategoryName);
    if (record->FindSlot(name) >= 0)
        return Refuse(edit_msg::kSubcategoryExists);
    std::string why = CheckFieldContent("sub-category name", name);
    if (!why.empty())
        return Refuse(why, MsgIcon::Exclamation);
    // Without a slot the name would show in the tree until the next rebuild and then vanish.
    if (record->FreeSlot() < 0)
        return Refuse(StrFormat(edit_msg::kNoFreeSlot, record->GetName().c_str()), MsgIcon::Exclamation);
    return {};
}

InputCheck CheckNewTitle(const CQuorrinDoc& doc, const std::string& title) {
    if (title.empty())
        return Refuse(edit_msg::kEmptyNewTitle);
    if (const CSample* holder = doc.PeekSample(title))
        return Refuse(NotUniqueTitleMessage(*holder), MsgIcon::Exclamation);
    std::string why = CheckFieldContent("title", title);
    if (!why.empty())
        return Refuse(why, MsgIcon::Exclamation);
    return {};
}

std::string NotUniqueTitleMessage(const CSample& holder) {
    return "The title you have entered is not unique.The sample in\n" +
           StrFormat("\tCategory: \"%s\",\n\tSubcategory: \"%s\" \nalready has that title.\n",
                     holder.GetCategory().c_str(), holder.GetSubcategory().c_str()) +
           "Please select another title.\n";
}
