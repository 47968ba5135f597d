#include "library/AddSampleRules.h"

#include "library/ContentCheck.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

InputCheck CheckAddSamplePage1(const CQuorrinDoc& doc, const std::string& category,
                               const std::string& title) {
    if (category.empty() || category == kWizardRootText)
        return InputCheck{wizard_msg::kNoCategory, MsgIcon::None};
    if (title.empty())
        return InputCheck{wizard_msg::kNoTitle, MsgIcon::None};
    if (const CSample* holder = doc.PeekSample(title))
        return InputCheck{NotUniqueTitleMessage(*holder), MsgIcon::Exclamation};
    std::string why = CheckFieldContent("title", title);
    if (!why.empty())
        return InputCheck{why, MsgIcon::Exclamation};
    return {};
}

InputCheck CheckNewSample(const CQuorrinDoc& doc, const CLoadErrorList& errors, const CSample& sample) {
    const std::string& category = sample.GetCategory();
    InputCheck check = CheckAddSamplePage1(doc, category, sample.GetTitle());
    if (!check.Ok())
        return check;
    // A sample that could not be placed is still on disk under its title; a second
    // sample of that title would turn one of the two into a load error.
    CSample holder;
    bool held = false;
    errors.ForEach([&](const CSample& s) {
        if (!held && s.GetTitle() == sample.GetTitle()) {
            holder = s;
            held = true;
        }
    });
    if (held)
        return InputCheck{NotUniqueTitleMessage(holder), MsgIcon::Exclamation};
    const CCategory* target = doc.PeekCategory(category);
    if (!target)
        return InputCheck{"Category \"" + category + "\" does not exist in the library."};
    if (!target->IsDisplayed())
        return InputCheck{"Category \"" + category +
                          "\" is hidden; a sample added to it would have no place in the tree."};
    if (target->ReadIncomplete())
        return InputCheck{"The file " + target->GetFileName() +
                          " could not be read to its end, so a sample added to it could not be read either.\n"
                          "Correct the file first; it has not been changed."};
    if (!doc.HasPlace(sample)) {
        if (target->FindSlot(sample.GetSubcategory()) < 0)
            return InputCheck{"Sub-category \"" + sample.GetSubcategory() + "\" does not exist in category \"" +
                              category + "\"."};
        return InputCheck{"Sub-category \"" + sample.GetSubcategory() + "\" of category \"" + category +
                          "\" is hidden; a sample added to it would have no place in the tree."};
    }
    const std::string problem = CheckSampleContent(sample);
    if (!problem.empty())
        return InputCheck{problem, MsgIcon::Exclamation};
    return {};
}

ChunkPieces HeaderChunkPieces(const std::string& title, const std::string& category,
                              const std::string& subcategory) {
    return {"Title:  ",        title,       "\r\n\r\n", "Category:  ", category, "\r\n",
            "Sub-category:  ", subcategory, "\r\n"};
}

ChunkPieces NotesChunkPieces(const std::string& keywords, const std::string& comments) {
    return {"Keywords:\r\n", keywords, "\r\n\r\n", "Comments:\r\n", comments, "\r\n\r\n"};
}

ChunkPieces SampleChunkPieces(const std::string& text) {
    return {"Sample:\r\n", text};
}

std::string JoinPieces(const ChunkPieces& pieces) {
    size_t size = 0;
    for (const auto& p : pieces)
        size += p.size();
    std::string out;
    out.reserve(size);
    for (const auto& p : pieces)
        out += p;
    return out;
}
