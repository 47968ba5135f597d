// Markdown, one file per sample: front matter (title, category, subcategory, keywords,
// language, and the fields converted from Windows-1252) between "---" lines, the
// comments as prose, then one fenced code block tagged with the language. The comments
// and the code are taken as raw byte ranges of the file, so every byte comes back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/Interchange.h"

class CSample;

namespace markdown {

// The file for one sample. language: the fence's tag (may be empty). The fence is
// longer than any backtick run in the comments and the text.
std::string ExportSample(const CSample& sample, const std::string& language);

// Reads one file. A file without front matter takes its title from fileStem and its
// place from folders (those it lies in below the folder imported, outermost first: the
// category, then the sub-category); so does front matter that leaves them out. A file
// that cannot be read gives a warning, no record.
void ImportFile(std::string_view data, const std::string& file, const std::string& fileStem,
                const std::vector<std::string>& folders, InterchangeResult& out);

} // namespace markdown
