// JSON read as VS Code reads its settings and snippets: comments and trailing commas
// are accepted, and a key given twice is reported (the later value is used, as there).
// Built on jsoncpp, whose reader has options for all three.
#pragma once

#include <json/value.h>

#include <string>
#include <string_view>

#include "library/Interchange.h"

namespace jsoninput {

// False (after a warning naming the file and position) when data is not JSON.
bool Parse(std::string_view data, const std::string& file, Json::Value& root, InterchangeResult& out);
// The line index of data as Parse reads it (without a byte order mark).
interchange::LineIndex IndexOf(std::string_view data);
// The 1-based line of a value parsed from the data of index.
int LineOf(const interchange::LineIndex& index, const Json::Value& value);
// A string, or a list of strings joined with LF; false for anything else.
bool StringOrLines(const Json::Value& value, std::string& text);

} // namespace jsoninput
