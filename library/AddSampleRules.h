// What the Add Sample wizard decides without its widgets: the check of page 1 and the
// three chunks of the page-4 summary.
#pragma once

#include <string>
#include <vector>

#include "library/EditRules.h"

class CLoadErrorList;
class CQuorrinDoc;
class CSample;

// The text of the wizard tree's root item; a category chosen by this name is refused.
constexpr const char* kWizardRootText = "Categories";

// Page 1 on leaving it, in this order: a category is chosen (and is not the root), a
// title is given, no sample holds the title, and the category file can hold the title.
InputCheck CheckAddSamplePage1(const CQuorrinDoc& doc, const std::string& category, const std::string& title);

// Every check a sample passes before it is added without the wizard (from the command
// line): those of page 1, then what the wizard's tree makes implicit: no load error holds
// the title either, the category exists, is displayed and its file was read to its end
// (a sample appended behind a sequence error would never be read), the sub-category is
// none or a shown one of it; last the content check.
InputCheck CheckNewSample(const CQuorrinDoc& doc, const CLoadErrorList& errors, const CSample& sample);

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
