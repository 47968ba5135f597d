#include "library/ImportSource.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <json/value.h>

#include "base/FileLayer.h"
#include "library/JsonInput.h"
#include "library/MarkdownFormat.h"
#include "library/SnippetDbFormat.h"
#include "library/VsCodeFormat.h"

namespace importsource {

namespace fs = std::filesystem;

namespace {

struct Extension {
    const char* ext;
    const char* word;
};
// The first extension of a word is the one an export writes.
constexpr Extension kExtensions[] = {
    {".cpp", "cpp"},    {".h", "cpp"},        {".hpp", "cpp"},    {".cc", "cpp"},     {".c", "cpp"},
    {".cs", "csharp"},  {".java", "java"},    {".vb", "vb"},      {".bas", "vb"},     {".js", "javascript"},
    {".ts", "javascript"}, {".py", "python"}, {".sh", "shell"},   {".bash", "shell"}, {".bat", "batch"},
    {".cmd", "batch"},  {".pl", "perl"},      {".rb", "ruby"},    {".lua", "lua"},    {".sql", "sql"},
    {".html", "html"},  {".htm", "html"},     {".xml", "xml"},    {".css", "css"},    {".json", "json"},
    {".yaml", "yaml"},  {".yml", "yaml"},     {".mk", "makefile"}, {".cmake", "cmake"}, {".pas", "pascal"},
    {".diff", "diff"},  {".patch", "diff"},   {".txt", "plain"},
};

bool ReadBytes(const std::string& path, std::string& data, InterchangeResult& out) {
    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(data, cause)) {
        out.Warn(path, 0, std::string("the file cannot be read: ") + fileio::CauseText(cause));
        return false;
    }
    file.Close(cause);
    return true;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The JSON formats told apart by their content.
std::string JsonFormatOf(const std::string& path) {
    std::string data;
    InterchangeResult ignored;
    Json::Value root;
    if (!ReadBytes(path, data, ignored) || !jsoninput::Parse(data, path, root, ignored) || !root.isObject())
        return {};
    if (root["contents"].isObject())
        return "snippetslab";
    if (root["snippets"].isArray() && root.isMember("folders"))
        return "masscode";
    for (const auto& name : root.getMemberNames())
        if (root[name].isObject() && root[name].isMember("body"))
            return "vscode";
    return {};
}

std::string FileFormatOf(const fs::path& path) {
    const std::string ext = Lower(path.extension().string());
    if (ext == ".code-snippets")
        return "vscode";
    if (ext == ".md")
        return "markdown";
    if (ext == ".json")
        return JsonFormatOf(path.string());
    return LanguageOfExtension(ext).empty() ? "" : "files";
}

// The files below a folder, in name order, with the folders between.
struct Found {
    fs::path path;
    std::vector<std::string> folders;
};
std::vector<Found> FilesBelow(const fs::path& root, InterchangeResult& out) {
    std::vector<Found> found;
    std::error_code error;
    fs::recursive_directory_iterator it(root, error), end;
    if (error)
        out.Warn(root.string(), 0, "the folder cannot be read: " + error.message());
    for (; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] == '.') { // .git and other hidden files
            if (it->is_directory())
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file())
            continue;
        Found f{it->path(), {}};
        for (const auto& part : it->path().parent_path().lexically_relative(root))
            if (part != ".")
                f.folders.push_back(part.string());
        found.push_back(std::move(f));
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.path < b.path; });
    return found;
}

void ReadOne(const std::string& format, const Found& f, InterchangeResult& out) {
    std::string data;
    const std::string file = f.path.string();
    if (!ReadBytes(file, data, out))
        return;
    const std::string name = f.path.filename().string();
    const std::string stem = f.path.stem().string();
    if (format == "vscode") {
        vscode::ImportFile(data, file, name, out);
    } else if (format == "markdown") {
        markdown::ImportFile(data, file, stem, f.folders, out);
    } else if (format == "files") {
        ImportSourceFile(data, file, name, f.folders, out);
    } else if (format == "snippetslab") {
        snippetdb::ImportSnippetsLab(data, file, out);
    } else if (format == "masscode") {
        if (Lower(f.path.extension().string()) == ".md") {
            // A vault's notes are below its "code" folder.
            std::vector<std::string> folders = f.folders;
            auto code = std::find(folders.begin(), folders.end(), "code");
            folders.erase(folders.begin(), code == folders.end() ? folders.begin() : code + 1);
            snippetdb::ImportMassCodeNote(data, file, stem, folders, out);
        } else {
            snippetdb::ImportMassCodeDb(data, file, out);
        }
    }
}

bool Wanted(const std::string& format, const fs::path& path) {
    const std::string ext = Lower(path.extension().string());
    if (format == "vscode")
        return ext == ".code-snippets" || ext == ".json";
    if (format == "markdown")
        return ext == ".md";
    if (format == "masscode")
        return ext == ".md" || path.filename() == "db.json";
    if (format == "snippetslab")
        return ext == ".json";
    return true;
}

} // namespace

bool IsFormat(const std::string& name) {
    return std::find_if(std::begin(kFormats), std::end(kFormats), [&](const char* f) { return name == f; }) !=
           std::end(kFormats);
}

std::string ExtensionOf(const std::string& languageWord) {
    for (const auto& e : kExtensions)
        if (languageWord == e.word)
            return e.ext;
    return ".txt";
}

std::string LanguageOfExtension(const std::string& extension) {
    const std::string ext = Lower(extension);
    for (const auto& e : kExtensions)
        if (ext == e.ext)
            return e.word;
    return {};
}

void ImportSourceFile(std::string_view data, const std::string& file, const std::string& fileName,
                      const std::vector<std::string>& folders, InterchangeResult& out) {
    InterchangeRecord record;
    const fs::path name(fileName);
    record.title = name.stem().string();
    record.file = file;
    record.line = 1;
    interchange::PlaceFromFolders(folders, record, out);
    record.language = LanguageOfExtension(name.extension().string());
    if (record.language == "plain")
        record.language.clear();
    record.text = interchange::ToCrLf(data);
    out.records.push_back(std::move(record));
}

std::string GuessFormat(const std::vector<std::string>& paths, std::string& why) {
    std::string format;
    for (const auto& p : paths) {
        std::string mine;
        const fs::path path(p);
        std::error_code error;
        if (fs::is_directory(path, error)) {
            InterchangeResult ignored;
            const auto files = FilesBelow(path, ignored);
            bool md = false, json = false;
            for (const auto& f : files) {
                md |= Lower(f.path.extension().string()) == ".md";
                json |= f.path.filename() == "db.json" || Lower(f.path.extension().string()) == ".code-snippets";
            }
            if (md && fs::is_directory(path / "code", error))
                mine = "masscode";
            else if (md)
                mine = "markdown";
            else if (json)
                mine = "vscode";
            else
                mine = "files";
        } else {
            mine = FileFormatOf(path);
        }
        if (mine.empty()) {
            why = "the format of " + p + " cannot be told";
            return {};
        }
        if (!format.empty() && mine != format) {
            why = "the paths are in different formats (" + format + ", " + mine + ")";
            return {};
        }
        format = mine;
    }
    if (format.empty())
        why = "no path to import";
    return format;
}

bool Read(const std::string& format, const std::vector<std::string>& paths, InterchangeResult& out,
          const ReadProgress& progress) {
    // Every file first, so that progress can tell how far the reading is; a path that is
    // not there is told in its turn.
    struct Step {
        Found file;
        std::string missing;
    };
    std::vector<Step> steps;
    size_t total = 0;
    for (const auto& p : paths) {
        const fs::path path(p);
        std::error_code error;
        if (!fs::exists(path, error)) {
            steps.push_back({Found{}, p});
        } else if (!fs::is_directory(path, error)) {
            steps.push_back({Found{path, {}}, {}});
            ++total;
        } else {
            for (auto& f : FilesBelow(path, out))
                if (Wanted(format, f.path)) {
                    steps.push_back({std::move(f), {}});
                    ++total;
                }
        }
    }
    size_t done = 0;
    for (const Step& step : steps) {
        if (!step.missing.empty()) {
            out.Warn(step.missing, 0, "there is no such file or folder");
            continue;
        }
        if (progress && !progress(done, total))
            return false;
        ReadOne(format, step.file, out);
        ++done;
    }
    return true;
}

} // namespace importsource
