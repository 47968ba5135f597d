#include "library/LibraryExport.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "base/FileLayer.h"
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

    if (!options.overwrite) {
        for (const auto& f : files)
            if (fileio::FileExists(f.path)) {
                report.error = "The file " + f.path +
                               " is there already; nothing has been exported (--overwrite replaces such files).";
                return false;
            }
    }
    for (const auto& f : files) {
        std::error_code error;
        fs::create_directories(fs::path(f.path).parent_path(), error);
        fileio::File file;
        int cause = fileio::kNone;
        if (error || !file.OpenForWrite(f.path, cause) || !file.Write(f.bytes, cause) || !file.Close(cause)) {
            report.error = "Unable to write " + f.path + ".\nReason: " +
                           (error ? error.message() : std::string(fileio::CauseText(cause)));
            return false;
        }
        ++report.files;
    }
    return true;
}
