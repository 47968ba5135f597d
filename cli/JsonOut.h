// JSON for the --json output of tindrel-cli: strings written as JSON wants them (UTF-8,
// escaped); a field in Windows-1252 is decoded first, as the window shows it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CSample;

namespace cli {

// text as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// A list of strings as a JSON array.
std::string JsonStrings(const std::vector<std::string>& items);
// A sample's fields as one JSON object: title, category, subcategory, keywords (a list)
// and, with body, comments and text (LF line ends).
std::string JsonSample(const CSample& sample, bool body);

} // namespace cli
