// VS Code snippet files (*.code-snippets, <language>.json): an object keyed by the
// snippet's name, each with prefix (string or list), body (string or list of lines),
// description and scope. name <-> title, prefix <-> keywords, description <-> comments,
// body <-> text. The sub-category is not carried (a snippet has no place for it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/Interchange.h"

class CSample;

namespace vscode {

// The keyword an imported snippet carries: its body is snippet syntax ($1, ${1:name},
// $TM_FILENAME) and goes out again verbatim. A sample without it is exported with $, }
// and \ escaped, so VS Code inserts it literally.
inline constexpr const char* kSnippetKeyword = "vscode-snippet";

// Reads one file. The language comes from a snippet's scope (its first entry), else from
// the file name ("cpp.json": cpp; "x.code-snippets": x).
void ImportFile(std::string_view data, const std::string& file, const std::string& fileName,
                InterchangeResult& out);

// The category a language picks when the import names none: cpp C++, java Java, vb
// Visual Basic, any other a custom category named after the language.
std::string CategoryForLanguage(const std::string& language);
// The language word (SampleLanguage) for a VS Code language id; "" when unknown.
std::string LanguageWordFor(const std::string& vscodeLanguage);
// The VS Code language id of a language word ("shell": shellscript); "" for plain text.
std::string VsCodeLanguageOf(const std::string& languageWord);

// One category's samples as one .code-snippets file. vscodeLanguage: the scope written
// (empty: none). Text that is not UTF-8 is written as UTF-8 from Windows-1252.
std::string ExportSamples(const std::vector<const CSample*>& samples, const std::string& vscodeLanguage);

// Text as a body VS Code inserts literally: $, } and \ escaped.
std::string EscapeBody(std::string_view text);

} // namespace vscode
