#include "library/MarkdownFormat.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>

#include "base/TextRules.h"
#include "library/Sample.h"

namespace markdown {

namespace {

constexpr const char* kWindows1252 = "windows-1252";

std::string FromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text)
        AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(ch)));
    return out;
}

// A field that is not valid UTF-8 is written as UTF-8 from Windows-1252, and its name
// listed under "encoding".
std::string Encoded(std::string_view value, const char* field, std::vector<std::string>& converted) {
    if (IsValidUtf8(value))
        return std::string(value);
    if (std::find(converted.begin(), converted.end(), field) == converted.end())
        converted.emplace_back(field);
    return FromWindows1252(value);
}

size_t LeadingRun(std::string_view line, char c) {
    size_t n = 0;
    while (n < line.size() && line[n] == c)
        ++n;
    return n;
}

bool OnlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; });
}

struct Line {
    size_t begin; // first byte
    size_t end;   // the LF, or the end of the data
};

std::vector<Line> LinesOf(std::string_view data) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t lf = data.find('\n', start);
        if (lf == std::string_view::npos)
            lf = data.size();
        lines.push_back({start, lf});
        start = lf + 1;
    }
    return lines;
}

} // namespace

std::string ExportSample(const CSample& sample, const std::string& language) {
    std::vector<std::string> converted;
    YAML::Emitter yaml;
    yaml << YAML::BeginMap;
    auto field = [&](const char* key, std::string_view value) {
        yaml << YAML::Key << key << YAML::Value << YAML::DoubleQuoted << Encoded(value, key, converted);
    };
    field("title", sample.GetTitle());
    field("category", sample.GetCategory());
    field("subcategory", sample.GetSubcategory());
    yaml << YAML::Key << "keywords" << YAML::Value << YAML::Flow << YAML::BeginSeq;
    for (const auto& keyword : sample.Keywords())
        yaml << YAML::DoubleQuoted << Encoded(keyword, "keywords", converted);
    yaml << YAML::EndSeq;
    if (!language.empty())
        yaml << YAML::Key << "language" << YAML::Value << language;
    const std::string comments = Encoded(sample.GetComments(), "comments", converted);
    const std::string text = Encoded(sample.GetText(), "text", converted);
    if (!converted.empty()) {
        yaml << YAML::Key << "encoding" << YAML::Value << YAML::Flow << YAML::BeginMap;
        for (const auto& name : converted)
            yaml << YAML::Key << name << YAML::Value << kWindows1252;
        yaml << YAML::EndMap;
    }
    yaml << YAML::EndMap;

    const std::string fence(std::max<size_t>(3, std::max(interchange::LongestRun(comments, '`'),
                                                         interchange::LongestRun(text, '`')) + 1),
                            '`');
    std::string out;
    out.reserve(comments.size() + text.size() + 256);
    out += "---\n";
    out += yaml.c_str();
    out += "\n---\n\n";
    out += comments;
    out += "\n\n";
    out += fence + language + "\n";
    out += text;
    out += "\n" + fence + "\n";
    return out;
}

void ImportFile(std::string_view data, const std::string& file, const std::string& fileStem,
                const std::vector<std::string>& folders, InterchangeResult& out) {
    InterchangeRecord record;
    record.file = file;
    record.line = 1;
    record.title = fileStem;
    std::vector<std::string> converted;
    bool namesCategory = false;
    bool namesSubcategory = false;

    std::string_view body = data;
    if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF")
        body = data.substr(3);
    const size_t bodyOffset = data.size() - body.size();
    const std::vector<Line> lines = LinesOf(body);
    auto lineText = [&](const Line& l) { return body.substr(l.begin, l.end - l.begin); };
    size_t first = 0; // the first line of the prose
    if (!lines.empty() && (lineText(lines[0]) == "---" || lineText(lines[0]) == "---\r")) {
        size_t close = 1;
        while (close < lines.size() && lineText(lines[close]) != "---" && lineText(lines[close]) != "---\r" &&
               lineText(lines[close]) != "..." && lineText(lines[close]) != "...\r")
            ++close;
        if (close == lines.size()) {
            out.Warn(file, 1, "the front matter has no closing \"---\" line; the file is not imported");
            return;
        }
        const std::string_view yamlText =
            body.substr(lines[0].end + 1, lines[close].begin - std::min(lines[close].begin, lines[0].end + 1));
        try {
            const YAML::Node node = YAML::Load(std::string(yamlText));
            if (node.IsMap()) {
                auto get = [&](const char* key, std::string& value) {
                    if (!node[key] || !node[key].IsScalar())
                        return false;
                    value = node[key].as<std::string>();
                    return true;
                };
                get("title", record.title);
                namesCategory = get("category", record.category);
                namesSubcategory = get("subcategory", record.subcategory);
                get("language", record.language);
                if (const YAML::Node keywords = node["keywords"]; keywords && keywords.IsSequence()) {
                    for (const auto& k : keywords)
                        record.keywords.push_back(k.as<std::string>());
                } else if (keywords && keywords.IsScalar()) {
                    record.keywords.push_back(keywords.as<std::string>());
                }
                if (const YAML::Node encoding = node["encoding"]; encoding && encoding.IsMap()) {
                    for (const auto& entry : encoding) {
                        if (entry.second.as<std::string>() == kWindows1252)
                            converted.push_back(entry.first.as<std::string>());
                        else
                            out.Warn(file, 1, "the encoding \"" + entry.second.as<std::string>() +
                                                  "\" is not known; the field \"" + entry.first.as<std::string>() +
                                                  "\" is taken as UTF-8");
                    }
                }
            } else if (!node.IsNull()) {
                out.Warn(file, 1, "the front matter is not a list of fields; it is ignored");
            }
        } catch (const YAML::Exception& e) {
            out.Warn(file, 2 + (e.mark.is_null() ? 0 : e.mark.line),
                     "the front matter cannot be read (" + e.msg + "); the file is not imported");
            return;
        }
        first = close + 1;
    }
    // Front matter that names the category places the sample; else its folders do.
    if (!namesCategory) {
        const std::string subcategory = record.subcategory;
        const std::vector<std::string> place(
            folders.begin(),
            folders.begin() + std::min<size_t>(folders.size(), namesSubcategory ? 1 : folders.size()));
        interchange::PlaceFromFolders(place, record, out);
        if (namesSubcategory)
            record.subcategory = subcategory;
    }

    // The code block: its fence is the longest backtick run that starts a line (tildes when
    // no line starts with three backticks); the first line starting with that run opens it.
    char fenceChar = '`';
    size_t fenceLength = 0;
    for (size_t i = first; i < lines.size(); ++i)
        fenceLength = std::max(fenceLength, LeadingRun(lineText(lines[i]), '`'));
    if (fenceLength < 3) {
        fenceChar = '~';
        fenceLength = 0;
        for (size_t i = first; i < lines.size(); ++i)
            fenceLength = std::max(fenceLength, LeadingRun(lineText(lines[i]), '~'));
    }
    size_t prose = first < lines.size() ? lines[first].begin : body.size();
    // The blank line written after the front matter.
    if (first > 0 && prose < body.size() && body[prose] == '\n')
        ++prose;
    else if (first > 0 && body.substr(prose, 2) == "\r\n")
        prose += 2;
    size_t open = lines.size();
    for (size_t i = first; fenceLength >= 3 && i < lines.size(); ++i)
        if (LeadingRun(lineText(lines[i]), fenceChar) == fenceLength && lines[i].begin >= prose) {
            open = i;
            break;
        }
    if (open == lines.size()) {
        out.Warn(file, 1, "no fenced code block: the prose is taken as the comments, the text is empty");
        record.comments = interchange::ToCrLf(body.substr(std::min(prose, body.size())));
    } else {
        std::string_view comments = body.substr(prose, lines[open].begin - prose);
        if (comments.ends_with("\n\n"))
            comments.remove_suffix(2);
        else if (comments.ends_with("\r\n\r\n"))
            comments.remove_suffix(4);
        else if (comments.ends_with("\n"))
            comments.remove_suffix(1);
        record.comments = interchange::ToCrLf(comments);
        std::string_view info = lineText(lines[open]).substr(fenceLength);
        const bool crlf = info.ends_with("\r");
        if (crlf)
            info.remove_suffix(1);
        if (record.language.empty())
            record.language = std::string(Trim(info));
        size_t close = open + 1;
        while (close < lines.size() && !(LeadingRun(lineText(lines[close]), fenceChar) >= fenceLength &&
                                         OnlyBlanks(lineText(lines[close]).substr(
                                             LeadingRun(lineText(lines[close]), fenceChar)))))
            ++close;
        const size_t textBegin = std::min(lines[open].end + 1, body.size());
        std::string_view text;
        if (close == lines.size()) {
            out.Warn(file, interchange::LineAt(data, bodyOffset + lines[open].begin),
                     "the code block is not closed; it runs to the end of the file");
            text = body.substr(textBegin);
        } else {
            text = body.substr(textBegin, lines[close].begin - std::min(textBegin, lines[close].begin));
            if (crlf && text.ends_with("\r\n"))
                text.remove_suffix(2);
            else if (text.ends_with("\n"))
                text.remove_suffix(1);
            std::string_view rest = body.substr(std::min(lines[close].end + 1, body.size()));
            if (!Trim(rest).empty()) {
                const size_t restAt = body.size() - rest.size() + rest.find_first_not_of(" \t\r\n");
                out.Warn(file, interchange::LineAt(data, bodyOffset + restAt),
                         "the prose after the code block is added to the comments");
                record.comments += "\r\n\r\n" + interchange::ToCrLf(Trim(rest));
            }
        }
        record.text = interchange::ToCrLf(text);
    }

    for (const auto& field : converted) {
        auto back = [&](std::string& value) {
            std::string bytes;
            if (Utf8ToWindows1252(value, bytes))
                value = std::move(bytes);
            else
                out.Warn(file, 1, "the " + field + " has characters Windows-1252 cannot hold; kept as UTF-8");
        };
        if (field == "title")
            back(record.title);
        else if (field == "category")
            back(record.category);
        else if (field == "subcategory")
            back(record.subcategory);
        else if (field == "comments")
            back(record.comments);
        else if (field == "text")
            back(record.text);
        else if (field == "keywords")
            for (auto& k : record.keywords)
                back(k);
    }
    out.records.push_back(std::move(record));
}

} // namespace markdown
