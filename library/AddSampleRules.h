// What the Add Sample wizard decides without its widgets: the check of page 1 and the
// three chunks of the page-4 summary.
#pragma once

#include <string>
#include <vector>

#include "library/EditRules.h"

class CQuorrinDoc;

// The text of the wizard tree's root item; a category chosen by this name is refused.
constexpr const char* kWizardRootText = "Categories";

// Page 1 on leaving it, in this order: a category is chosen (and is not the root), a
// title is given, no sample holds the title, and the category file can hold the title.
InputCheck CheckAddSamplePage1(const CQuorrinDoc& doc, const std::string& category, const std::string& title);

// A chunk as its pieces: fixed texts and values in turn. Joined they give the chunk's
// bytes; the window decodes each piece on its own (values may differ in encoding).
using ChunkPieces = std::vector<std::string>;

ChunkPieces HeaderChunkPieces(const std::string& title, const std::string& category,
                              const std::string& subcategory);
ChunkPieces NotesChunkPieces(const std::string& keywords, const std::string& comments);
ChunkPieces SampleChunkPieces(const std::string& text);
std::string JoinPieces(const ChunkPieces& pieces);

namespace wizard_msg {
constexpr const char* kNoCategory = "You must specify a category.";
constexpr const char* kNoTitle = "You must specify a title.";
} // namespace wizard_msg
