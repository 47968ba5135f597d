#include "library/SnippetDbFormat.h"

#include <yaml-cpp/yaml.h>

#include <map>

#include "base/TextRules.h"
#include "library/JsonInput.h"

namespace snippetdb {

namespace {

struct Fragment {
    std::string label;
    std::string language;
    std::string value;
    std::string note;
};

// One record per fragment; a snippet without fragments is one empty sample.
void AddFragments(const InterchangeRecord& base, const std::vector<Fragment>& fragments, InterchangeResult& out) {
    if (fragments.empty()) {
        out.records.push_back(base);
        return;
    }
    for (size_t i = 0; i < fragments.size(); ++i) {
        InterchangeRecord record = base;
        if (i > 0)
            record.title = FragmentTitle(base.title, fragments[i].label, static_cast<int>(i) + 1);
        record.text = interchange::ToCrLf(fragments[i].value);
        record.language = fragments[i].language;
        if (!fragments[i].note.empty())
            record.comments += (record.comments.empty() ? "" : "\r\n\r\n") + interchange::ToCrLf(fragments[i].note);
        out.records.push_back(std::move(record));
    }
}

std::string Str(const Json::Value& v, const char* key) {
    return v.isObject() && v[key].isString() ? v[key].asString() : std::string();
}

std::string IdOf(const Json::Value& v, const char* key) {
    if (!v.isObject())
        return {};
    const Json::Value& id = v[key];
    return id.isString() ? id.asString() : id.isNumeric() ? id.asString() : std::string();
}

// The path of each folder by its id: the folder names, outermost first.
std::map<std::string, std::vector<std::string>> FolderPaths(const Json::Value& folders, const char* idKey,
                                                            const char* nameKey, const char* parentKey) {
    std::map<std::string, std::pair<std::string, std::string>> byId; // id: name, parent
    for (const auto& f : folders)
        byId[IdOf(f, idKey)] = {Str(f, nameKey), IdOf(f, parentKey)};
    std::map<std::string, std::vector<std::string>> paths;
    for (const auto& [id, entry] : byId) {
        std::vector<std::string> path{entry.first};
        std::string parent = entry.second;
        for (int depth = 0; !parent.empty() && byId.count(parent) && depth < 64; ++depth) {
            path.insert(path.begin(), byId[parent].first);
            parent = byId[parent].second;
        }
        paths[id] = std::move(path);
    }
    return paths;
}

} // namespace

std::string FragmentTitle(const std::string& title, const std::string& label, int index) {
    return title + " \xE2\x80\x94 " + (label.empty() ? "fragment " + std::to_string(index) : label);
}

void ImportMassCodeDb(std::string_view data, const std::string& file, InterchangeResult& out) {
    Json::Value root;
    if (!jsoninput::Parse(data, file, root, out))
        return;
    const interchange::LineIndex lines = jsoninput::IndexOf(data);
    if (!root.isObject() || !root["snippets"].isArray()) {
        out.Warn(file, 1, "not a massCode db.json: no list of snippets");
        return;
    }
    const auto folders = FolderPaths(root["folders"], "id", "name", "parentId");
    std::map<std::string, std::string> tags;
    for (const auto& t : root["tags"])
        tags[IdOf(t, "id")] = Str(t, "name");
    for (const auto& s : root["snippets"]) {
        const int line = jsoninput::LineOf(lines, s);
        if (!s.isObject()) {
            out.Warn(file, line, "a snippet that is not an object is not imported");
            continue;
        }
        InterchangeRecord base;
        base.title = Str(s, "name");
        base.file = file;
        base.line = line;
        if (s["isDeleted"].isBool() && s["isDeleted"].asBool()) {
            out.Warn(file, line, "\"" + base.title + "\" is in massCode's trash; it is not imported");
            continue;
        }
        if (auto f = folders.find(IdOf(s, "folderId")); f != folders.end())
            interchange::PlaceFromFolders(f->second, base, out);
        base.comments = interchange::ToCrLf(Str(s, "description"));
        for (const auto& id : s["tagsIds"])
            if (auto t = tags.find(id.isString() ? id.asString() : id.asString()); t != tags.end())
                base.keywords.push_back(t->second);
        std::vector<Fragment> fragments;
        for (const auto& c : s["content"])
            fragments.push_back({Str(c, "label"), Str(c, "language"), Str(c, "value"), {}});
        AddFragments(base, fragments, out);
    }
}

void ImportMassCodeNote(std::string_view data, const std::string& file, const std::string& fileStem,
                        const std::vector<std::string>& folders, InterchangeResult& out) {
    InterchangeRecord base;
    base.title = fileStem;
    base.file = file;
    base.line = 1;
    interchange::PlaceFromFolders(folders, base, out);
    std::string_view body = data;
    std::vector<Fragment> fragments;
    if (body.starts_with("---")) {
        const size_t close = body.find("\n---", 3);
        if (close == std::string_view::npos) {
            out.Warn(file, 1, "the front matter has no closing \"---\" line; the file is not imported");
            return;
        }
        try {
            const YAML::Node node = YAML::Load(std::string(body.substr(3, close - 3)));
            if (node["name"] && node["name"].IsScalar())
                base.title = node["name"].as<std::string>();
            if (node["description"] && node["description"].IsScalar())
                base.comments = interchange::ToCrLf(node["description"].as<std::string>());
            if (node["tags"] && node["tags"].IsSequence())
                for (const auto& t : node["tags"])
                    base.keywords.push_back(t.as<std::string>());
            if (node["contents"] && node["contents"].IsSequence())
                for (const auto& c : node["contents"])
                    fragments.push_back({c["label"] ? c["label"].as<std::string>() : "",
                                         c["language"] ? c["language"].as<std::string>() : "", "", ""});
        } catch (const YAML::Exception& e) {
            out.Warn(file, 2 + (e.mark.is_null() ? 0 : e.mark.line),
                     "the front matter cannot be read (" + e.msg + "); the file is not imported");
            return;
        }
        const size_t next = body.find('\n', close + 4);
        body = next == std::string_view::npos ? std::string_view() : body.substr(next + 1);
    }
    // Each "## Fragment:" section holds its fragment's code block.
    constexpr std::string_view kHeading = "## Fragment:";
    size_t at = body.starts_with(kHeading) ? 0 : body.find(std::string("\n") + std::string(kHeading));
    size_t index = 0;
    while (at != std::string_view::npos) {
        if (body[at] == '\n')
            ++at;
        const size_t headingEnd = body.find('\n', at);
        const std::string label(Trim(body.substr(at + kHeading.size(), headingEnd - at - kHeading.size())));
        size_t next = headingEnd == std::string_view::npos ? std::string_view::npos
                                                           : body.find(std::string("\n") + std::string(kHeading), headingEnd);
        std::string_view section =
            headingEnd == std::string_view::npos ? std::string_view() : body.substr(headingEnd + 1, next - headingEnd - 1);
        const size_t open = section.find("```");
        std::string value;
        std::string language;
        if (open != std::string_view::npos) {
            size_t fence = 3;
            while (open + fence < section.size() && section[open + fence] == '`')
                ++fence;
            const size_t lineEnd = section.find('\n', open);
            language = std::string(Trim(section.substr(open + fence, lineEnd - open - fence)));
            const size_t close = section.rfind(std::string("\n") + std::string(fence, '`'));
            if (lineEnd != std::string_view::npos && close != std::string_view::npos && close >= lineEnd)
                value = std::string(section.substr(lineEnd + 1, close - lineEnd - 1));
            else if (lineEnd != std::string_view::npos)
                value = std::string(section.substr(lineEnd + 1));
        } else {
            out.Warn(file, interchange::LineAt(data, data.size() - body.size() + at),
                     "the fragment \"" + label + "\" has no code block; its text is empty");
        }
        if (index >= fragments.size())
            fragments.push_back({});
        fragments[index].label = label.empty() ? fragments[index].label : label;
        fragments[index].value = value;
        if (fragments[index].language.empty())
            fragments[index].language = language;
        ++index;
        at = next;
    }
    if (index == 0 && !Trim(body).empty())
        fragments.assign(1, Fragment{"", "", std::string(body), ""});
    AddFragments(base, fragments, out);
}

void ImportSnippetsLab(std::string_view data, const std::string& file, InterchangeResult& out) {
    Json::Value root;
    if (!jsoninput::Parse(data, file, root, out))
        return;
    const interchange::LineIndex lines = jsoninput::IndexOf(data);
    const Json::Value& contents = root.isObject() ? root["contents"] : Json::Value::nullSingleton();
    if (!contents.isObject() || !contents["snippets"].isArray()) {
        out.Warn(file, 1, "not a SnippetsLab export: no contents with a list of snippets");
        return;
    }
    const auto folders = FolderPaths(contents["folders"], "uuid", "title", "parentUUID");
    std::map<std::string, std::string> tags;
    for (const auto& t : contents["tags"])
        tags[IdOf(t, "uuid")] = Str(t, "title");
    if (contents.isMember("smartGroups") && contents["smartGroups"].size() > 0)
        out.Warn(file, 1, "smart groups are not imported (" + std::to_string(contents["smartGroups"].size()) + ")");
    for (const auto& s : contents["snippets"]) {
        const int line = jsoninput::LineOf(lines, s);
        if (!s.isObject()) {
            out.Warn(file, line, "a snippet that is not an object is not imported");
            continue;
        }
        InterchangeRecord base;
        base.title = Str(s, "title");
        base.file = file;
        base.line = line;
        if (auto f = folders.find(IdOf(s, "folder")); f != folders.end())
            interchange::PlaceFromFolders(f->second, base, out);
        for (const auto& id : s["tags"])
            if (auto t = tags.find(id.asString()); t != tags.end())
                base.keywords.push_back(t->second);
        std::vector<Fragment> fragments;
        for (const auto& f : s["fragments"])
            fragments.push_back({Str(f, "title"), Str(f, "language"), Str(f, "content"), Str(f, "note")});
        AddFragments(base, fragments, out);
    }
}

} // namespace snippetdb
