#include "library/AddSampleRules.h"

#include "library/ContentCheck.h"
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
