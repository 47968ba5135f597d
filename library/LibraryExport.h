// Export: the library's samples written out in another format into a folder. Markdown:
// <category>/<sub-category>/<title>.md, every field kept. VS Code: one
// <category>.code-snippets per category (the sub-category is not carried). Files:
// <category>/<sub-category>/<title>.<extension>, title and text only (keywords and
// comments are not carried). Nothing in the folder is replaced unless asked.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CQuorrinDoc;

struct ExportOptions {
    std::string format; // "vscode", "markdown" or "files"
    std::string folder; // where to write (made when missing)
    std::vector<std::string> categories; // empty: every category
    bool overwrite = false;
    // The language word of a category ("cpp", "python", "plain").
    std::function<std::string(const std::string& category)> languageOf;
    // Told before each file is written: how many of how many are written; false stops the
    // export there.
    std::function<bool(size_t done, size_t total)> progress;
};

struct ExportReport {
    int files = 0;
    int samples = 0;
    std::vector<std::string> lost;  // what the format does not carry, once per kind
    std::string error;              // why the export stopped ("" when it did not)
    bool fileThere = false;         // stopped before writing: a file it would replace is there
    bool cancelled = false;         // progress stopped it
};

// True when every file was written. Before anything is written: an unknown category, or a
// file the export would replace without overwrite, stops it. An export stopped later (by
// progress, or a file that cannot be written) removes the files it made; a file it
// replaced (with overwrite) stays replaced. Each file is written whole or not at all.
bool ExportLibrary(const CQuorrinDoc& doc, const ExportOptions& options, ExportReport& report);
// What an export that ran to its end did, a line each: how many samples into how many
// files, then what the format did not carry.
std::vector<std::string> ExportedLines(const ExportReport& report, const std::string& folder);
