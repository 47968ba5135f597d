#include "library/VsCodeFormat.h"

#include <json/writer.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "base/TextRules.h"
#include "library/JsonInput.h"
#include "library/Sample.h"

namespace vscode {

namespace {

// VS Code's language ids and the library's language words, where they differ in name or
// in existence.
struct LanguagePair {
    const char* vscode;
    const char* word;
};
constexpr LanguagePair kLanguages[] = {
    {"cpp", "cpp"},          {"c", "cpp"},           {"csharp", "csharp"}, {"java", "java"},
    {"vb", "vb"},            {"javascript", "javascript"}, {"typescript", "javascript"},
    {"python", "python"},    {"shellscript", "shell"}, {"bat", "batch"},   {"perl", "perl"},
    {"ruby", "ruby"},        {"lua", "lua"},         {"sql", "sql"},       {"html", "html"},
    {"xml", "xml"},          {"css", "css"},         {"json", "json"},     {"jsonc", "json"},
    {"yaml", "yaml"},        {"makefile", "makefile"}, {"cmake", "cmake"}, {"pascal", "pascal"},
    {"diff", "diff"},
};

std::string Utf8(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    for (char ch : text)
        AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(ch)));
    return out;
}

// A field as a snippet holds it: the library's category file gives every text and comment
// a line end after its last line, which a snippet's body or description never had.
std::string_view WithoutLastLineEnd(std::string_view text) {
    if (text.ends_with("\r\n"))
        text.remove_suffix(2);
    return text;
}

std::string Stem(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

} // namespace

std::string LanguageWordFor(const std::string& vscodeLanguage) {
    for (const auto& pair : kLanguages)
        if (vscodeLanguage == pair.vscode)
            return pair.word;
    return {};
}

std::string VsCodeLanguageOf(const std::string& languageWord) {
    for (const auto& pair : kLanguages)
        if (languageWord == pair.word)
            return pair.vscode;
    return {};
}

std::string CategoryForLanguage(const std::string& language) {
    if (language == "cpp")
        return "C++";
    if (language == "java")
        return "Java";
    if (language == "vb")
        return "Visual Basic";
    return language;
}

std::string EscapeBody(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        if (ch == '$' || ch == '}' || ch == '\\')
            out += '\\';
        out += ch;
    }
    return out;
}

void ImportFile(std::string_view data, const std::string& file, const std::string& fileName,
                InterchangeResult& out) {
    Json::Value root;
    if (!jsoninput::Parse(data, file, root, out))
        return;
    const interchange::LineIndex lines = jsoninput::IndexOf(data);
    if (!root.isObject()) {
        out.Warn(file, 1, "not a snippet file: the file holds no object of snippets");
        return;
    }
    const std::string fileLanguage = Stem(fileName);
    for (const std::string& name : root.getMemberNames()) {
        const Json::Value& snippet = root[name];
        const int line = jsoninput::LineOf(lines, snippet);
        if (!snippet.isObject()) {
            out.Warn(file, line, "the snippet \"" + name + "\" is not an object; it is not imported");
            continue;
        }
        InterchangeRecord record;
        record.title = name;
        record.file = file;
        record.line = line;
        std::string body;
        if (!jsoninput::StringOrLines(snippet["body"], body)) {
            out.Warn(file, line, "the snippet \"" + name + "\" has no body of text; it is not imported");
            continue;
        }
        record.text = interchange::ToCrLf(body);
        std::string description;
        if (snippet.isMember("description") && !jsoninput::StringOrLines(snippet["description"], description))
            out.Warn(file, line, "the description of \"" + name + "\" is not text; it is left out");
        record.comments = interchange::ToCrLf(description);
        const Json::Value& prefix = snippet["prefix"];
        if (prefix.isString()) {
            record.keywords.push_back(prefix.asString());
        } else if (prefix.isArray()) {
            for (const auto& p : prefix)
                if (p.isString())
                    record.keywords.push_back(p.asString());
        } else if (!prefix.isNull()) {
            out.Warn(file, line, "the prefix of \"" + name + "\" is not text; it is left out");
        }
        record.keywords.push_back(kSnippetKeyword);
        std::string scope = snippet["scope"].isString() ? snippet["scope"].asString() : std::string();
        scope = std::string(Trim(scope.substr(0, scope.find(','))));
        record.language = scope.empty() ? fileLanguage : scope;
        out.records.push_back(std::move(record));
    }
}

std::string ExportSamples(const std::vector<const CSample*>& samples, const std::string& vscodeLanguage) {
    Json::Value root(Json::objectValue);
    for (const CSample* sample : samples) {
        Json::Value snippet(Json::objectValue);
        const auto& keywords = sample->Keywords();
        const bool verbatim = std::find(keywords.begin(), keywords.end(), kSnippetKeyword) != keywords.end();
        Json::Value prefix(Json::arrayValue);
        for (const auto& k : keywords)
            if (k != kSnippetKeyword)
                prefix.append(Utf8(k));
        if (prefix.size() == 1)
            snippet["prefix"] = prefix[0];
        else if (prefix.size() > 1)
            snippet["prefix"] = prefix;
        const std::string text = Utf8(WithoutLastLineEnd(sample->GetText()));
        const std::vector<std::string> lines = interchange::SplitLines(verbatim ? text : EscapeBody(text));
        if (lines.size() == 1) {
            snippet["body"] = lines[0];
        } else {
            Json::Value body(Json::arrayValue);
            for (const auto& l : lines)
                body.append(l);
            snippet["body"] = body;
        }
        if (const std::string_view comments = WithoutLastLineEnd(sample->GetComments()); !comments.empty())
            snippet["description"] = interchange::ToLf(Utf8(comments));
        if (!vscodeLanguage.empty())
            snippet["scope"] = vscodeLanguage;
        root[Utf8(sample->GetTitle())] = snippet;
    }
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    builder["emitUTF8"] = true;
    std::ostringstream text;
    const std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
    writer->write(root, &text);
    text << '\n';
    return text.str();
}

} // namespace vscode
