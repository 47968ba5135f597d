// Where an import reads from: the files and folders the user names, the format each is
// in (guessed when not given), and the folder-of-source-files format in both directions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/Interchange.h"

namespace importsource {

// The formats, as the command line names them.
inline constexpr const char* kFormats[] = {"vscode", "markdown", "files", "masscode", "snippetslab"};
bool IsFormat(const std::string& name);

// The format of the paths, from their names and (for JSON) their content; "" with the
// reason in why when it cannot be told or the paths are of different formats.
std::string GuessFormat(const std::vector<std::string>& paths, std::string& why);

// Told before each file is read: how many have been read of how many; false stops the
// reading there.
using ReadProgress = std::function<bool(size_t done, size_t total)>;

// Reads every path in the format: a file, or every file of that format below a folder
// (the folders below it give category and sub-category). A file that cannot be read is
// a warning; the others are read. False when progress stopped it (out then holds what
// was read before).
bool Read(const std::string& format, const std::vector<std::string>& paths, InterchangeResult& out,
          const ReadProgress& progress = {});

// The extension of a language word's source files ("cpp": ".cpp", "plain": ".txt"), and
// the language word of an extension ("" when unknown).
std::string ExtensionOf(const std::string& languageWord);
std::string LanguageOfExtension(const std::string& extension);

// One source file of a folder: its title is the file name without the extension, its text
// the bytes (line ends made CR LF); folders the folders between the root and the file.
void ImportSourceFile(std::string_view data, const std::string& file, const std::string& fileName,
                      const std::vector<std::string>& folders, InterchangeResult& out);

} // namespace importsource
