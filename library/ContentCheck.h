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
