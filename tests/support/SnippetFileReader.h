// VS Code snippet files read straight through jsoncpp (comments and trailing commas
// allowed), not through the importer, for tests that check what an export wrote.
#pragma once

#include <gtest/gtest.h>
#include <json/reader.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A snippet as VS Code sees it: body and description as joined text, prefix as a list.
struct SnippetSeen {
    std::vector<std::string> prefix;
    std::string body;
    std::string description;
    bool operator==(const SnippetSeen&) const = default;
};

inline std::string JoinedLines(const Json::Value& v) {
    if (v.isString())
        return v.asString();
    std::string out;
    for (Json::ArrayIndex i = 0; i < v.size(); ++i)
        out += (i ? "\n" : "") + v[i].asString();
    return out;
}

// The snippets of one file by name.
inline std::map<std::string, SnippetSeen> SnippetsOf(const std::string& bytes) {
    Json::CharReaderBuilder builder;
    builder["allowTrailingCommas"] = true;
    Json::Value root;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    EXPECT_TRUE(reader->parse(bytes.data(), bytes.data() + bytes.size(), &root, &errors)) << errors;
    std::map<std::string, SnippetSeen> out;
    for (const auto& name : root.getMemberNames()) {
        const Json::Value& s = root[name];
        if (!s.isObject() || !s.isMember("body"))
            continue;
        SnippetSeen snippet;
        if (s["prefix"].isString())
            snippet.prefix.push_back(s["prefix"].asString());
        for (const auto& p : s["prefix"].isArray() ? s["prefix"] : Json::Value(Json::arrayValue))
            snippet.prefix.push_back(p.asString());
        snippet.body = JoinedLines(s["body"]);
        snippet.description = s.isMember("description") ? JoinedLines(s["description"]) : "";
        out[name] = snippet;
    }
    return out;
}
