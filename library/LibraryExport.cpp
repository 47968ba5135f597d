#include "library/LibraryExport.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "library/ImportSource.h"
#include "library/Interchange.h"
#include "library/MarkdownFormat.h"
#include "library/QuorrinDoc.h"
#include "library/VsCodeFormat.h"

namespace fs = std::filesystem;

namespace {

struct OutFile {
    std::string path;
    std::string bytes;
};

// A name not yet used in its folder: "name", "name (2)"... before the extension.
std::string Unique(std::set<std::string>& used, const std::string& folder, const std::string& name,
                   const std::string& ext) {
    for (int n = 1;; ++n) {
        const std::string candidate = folder + "/" + name + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ext;
        if (used.insert(candidate).second)
            return candidate;
    }
}

// Writes a file that is whole or not there: a new one is removed when its write fails, one
// being replaced is written beside it and renamed over it. No sync: an export is a copy,
// and thousands of files are written.
bool WriteWhole(const std::string& path, const std::string& bytes, bool replacing, int& cause) {
    const std::string target = replacing ? path + fileio::kTempInfix + "export" : path;
    fileio::File file;
    if (!file.OpenForWrite(target, cause) || !file.Write(bytes, cause) || !file.Close(cause) ||
        (replacing && !fileio::RenameFile(target, path, cause))) {
        int ignored = fileio::kNone;
        file.Close(ignored);
        fileio::RemoveFile(target, ignored);
        return false;
    }
    return true;
}

} // namespace

bool ExportLibrary(const CQuorrinDoc& doc, const ExportOptions& options, ExportReport& report) {
    std::vector<std::string> categories = options.categories;
    if (categories.empty())
        for (const auto& [name, category] : doc.Categories())
            categories.push_back(name);
    for (const auto& c : categories)
        if (!doc.PeekCategory(c)) {
            report.error = "There is no category \"" + c + "\"; nothing has been exported.";
            return false;
        }
    const std::string root = options.folder;
    std::vector<OutFile> files;
    std::set<std::string> used;
    bool droppedNotes = false;
    bool droppedSubcategories = false;
    for (const auto& category : categories) {
        const std::string language = options.languageOf ? options.languageOf(category) : std::string();
        const auto& samples = doc.SamplesOfCategory(category);
        const std::string catFolder = root + "/" + interchange::SafeFileName(category);
        if (options.format == "vscode") {
            if (samples.empty())
                continue;
            for (const CSample* s : samples)
                droppedSubcategories |= !s->GetSubcategory().empty();
            files.push_back({Unique(used, root, interchange::SafeFileName(category), ".code-snippets"),
                             vscode::ExportSamples(samples, vscode::VsCodeLanguageOf(language))});
        } else {
            for (const CSample* s : samples) {
                const std::string folder = s->GetSubcategory().empty()
                                               ? catFolder
                                               : catFolder + "/" + interchange::SafeFileName(s->GetSubcategory());
                const std::string name = interchange::SafeFileName(s->GetTitle());
                if (options.format == "markdown") {
                    files.push_back({Unique(used, folder, name, ".md"), markdown::ExportSample(*s, language)});
                } else {
                    droppedNotes |= !s->GetComments().empty() || s->GetKeywordCount() > 0;
                    files.push_back({Unique(used, folder, name, importsource::ExtensionOf(language)),
                                     interchange::ToLf(s->GetText())});
                }
            }
        }
        report.samples += static_cast<int>(samples.size());
    }
    if (droppedSubcategories)
        report.lost.push_back("sub-categories (a VS Code snippet has no place for one)");
    if (droppedNotes)
        report.lost.push_back("keywords and comments (a source file holds only the text)");

    // Whether each folder was there before the export: only a folder that was can hold a
    // file the export would replace (one look per folder, not per file).
    std::map<std::string, bool> folderWasThere;
    auto mayBeThere = [&folderWasThere](const std::string& path) {
        const std::string folder = fs::path(path).parent_path().string();
        auto it = folderWasThere.find(folder);
        if (it == folderWasThere.end()) {
            std::error_code error;
            it = folderWasThere.emplace(folder, fs::exists(folder, error) || error).first;
        }
        return it->second && fileio::FileExists(path);
    };
    if (!options.overwrite) {
        for (const auto& f : files)
            if (mayBeThere(f.path)) {
                report.error = "The file " + f.path + " is there already; nothing has been exported.";
                report.fileThere = true;
                return false;
            }
    }
    // The files and folders made so far go again when the export stops before its end.
    std::vector<std::string> made;
    std::vector<fs::path> madeFolders;
    std::set<std::string> ready; // folders there now
    auto takeBack = [&made, &madeFolders] {
        for (const auto& path : made) {
            int ignored = fileio::kNone;
            fileio::RemoveFile(path, ignored);
        }
        for (auto it = madeFolders.rbegin(); it != madeFolders.rend(); ++it) {
            std::error_code ignored;
            fs::remove(*it, ignored); // only when empty
        }
    };
    for (size_t i = 0; i < files.size(); ++i) {
        const OutFile& f = files[i];
        if (options.progress && !options.progress(i, files.size())) {
            takeBack();
            report.cancelled = true;
            report.files = 0;
            report.error = "The export was cancelled; the files it had written have been removed.";
            return false;
        }
        const bool existed = mayBeThere(f.path);
        std::error_code error;
        const fs::path folder = fs::path(f.path).parent_path();
        if (!ready.count(folder.string())) {
            std::vector<fs::path> missing;
            for (fs::path p = folder; !p.empty() && !fs::exists(p, error); p = p.parent_path()) {
                missing.push_back(p);
                if (p == p.parent_path())
                    break;
            }
            fs::create_directories(folder, error);
            if (!error) {
                madeFolders.insert(madeFolders.end(), missing.rbegin(), missing.rend());
                ready.insert(folder.string());
            }
        }
        int cause = fileio::kNone;
        if (error || !WriteWhole(f.path, f.bytes, existed, cause)) {
            takeBack();
            report.files = 0;
            report.error = "Unable to write " + f.path + ".\nReason: " +
                           (error ? error.message() : std::string(fileio::CauseText(cause))) +
                           "\nThe files the export had written have been removed.";
            return false;
        }
        if (!existed)
            made.push_back(f.path);
        ++report.files;
    }
    return true;
}

std::vector<std::string> ExportedLines(const ExportReport& report, const std::string& folder) {
    std::vector<std::string> lines{"Exported " + CountOf(report.samples, "sample", "samples") + " into " +
                                   CountOf(report.files, "file", "files") + " in " + folder + "."};
    for (const auto& lost : report.lost)
        lines.push_back("Not carried by this format: " + lost + ".");
    return lines;
}
