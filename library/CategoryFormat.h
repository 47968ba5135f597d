// The eleven marker lines of a category file and the texts of the reader's
// sequence-error positions. Shared by the reader, the writer and every module that
// writes samples in the same layout.
#pragma once

#include <string_view>

namespace marker {
inline constexpr std::string_view kSampleBegin = ">>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>";
inline constexpr std::string_view kCategory = "***CATEGORY=";
inline constexpr std::string_view kSubcategory = "***SUBCATEGORY=";
inline constexpr std::string_view kTitle = "***TITLE=";
inline constexpr std::string_view kKeywordsBegin = "***KEYWORDS_BEGIN***";
inline constexpr std::string_view kKeywordsEnd = "***KEYWORDS_END***";
inline constexpr std::string_view kCommentsBegin = "***COMMENTS_BEGIN***";
inline constexpr std::string_view kCommentsEnd = "***COMMENTS_END***";
inline constexpr std::string_view kTextBegin = "***TEXT_BEGIN***";
inline constexpr std::string_view kTextEnd = "***TEXT_END***";
inline constexpr std::string_view kSampleEnd = "<<<<SAMPLE_END<<<<<<<<<<<<<<<<<<<<<<<<<";
// The two section end markers with the LF that ends the line before them: a search for
// these finds marker lines other than a section's first line.
inline constexpr std::string_view kLfCommentsEnd = "\n***COMMENTS_END***";
inline constexpr std::string_view kLfTextEnd = "\n***TEXT_END***";
static_assert(kLfCommentsEnd.substr(1) == kCommentsEnd && kLfTextEnd.substr(1) == kTextEnd);
} // namespace marker

// Where reading a category file failed, as the sequence-error message names it.
namespace readpos {
inline constexpr const char* kStartOfSample = "at start of sample";
inline constexpr const char* kCategories = "input categories";
inline constexpr const char* kKeywords = "input keywords";
inline constexpr const char* kComments = "input comments";
inline constexpr const char* kText = "input sample text";
inline constexpr const char* kEndOfSample = "at end of sample";
} // namespace readpos

// The file-operation messages: file name, then cause text. Note the blank at the end.
namespace filemsg {
inline constexpr const char* kOpen = "Unable to create/open %s.\nReason: %s ";
inline constexpr const char* kRead = "Unable to read from file %s.\nReason: %s ";
inline constexpr const char* kWrite = "Unable to write to file %s.\nReason: %s ";
inline constexpr const char* kClose = "Unable to close %s.\nReason: %s ";
inline constexpr const char* kDelete = "Attempt to delete file %s failed.\nReason: %s ";
inline constexpr const char* kSequence = "Error processing %s.\nInput file %s not in proper sequence!";
} // namespace filemsg
