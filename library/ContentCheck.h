// What a category file cannot hold: a CR or LF inside a one-line field (title,
// category, sub-category, keyword) and a comment or text line that is exactly an
// end marker. Every place that stores user input calls this first.
#pragma once

#include <string>

class CSample;

// Empty when the sample can be stored; otherwise a message naming the field,
// e.g. "The title cannot contain a line break." Fit for a message box.
std::string CheckSampleContent(const CSample& sample);
// The same check for one field: field is "title", "category", "sub-category",
// "keywords", "comments" or "text".
std::string CheckFieldContent(const std::string& field, const std::string& value);
// The writer's check: only what the file cannot give back. An LF inside a one-line
// field or keyword, or a comment or text line the reader would take as the section's
// end marker. A lone CR inside a one-line field is stored and read back unchanged,
// so a sample read from a file always passes and its category can always be saved.
std::string CheckSampleStorable(const CSample& sample);
