#include "library/JsonInput.h"

#include <json/reader.h>

#include <memory>

namespace jsoninput {

namespace {

bool ParseWith(std::string_view data, bool rejectDuplicates, Json::Value& root, std::string& errors) {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["allowTrailingCommas"] = true;
    builder["rejectDupKeys"] = rejectDuplicates;
    builder["failIfExtra"] = true;
    builder["allowSpecialFloats"] = false;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    return reader->parse(data.data(), data.data() + data.size(), &root, &errors);
}

// jsoncpp's "* Line 3, Column 5\n  Duplicate key: 'x'\n" as one line.
std::string OneLine(const std::string& errors) {
    std::string out;
    for (char ch : errors) {
        if (ch == '\n') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else if (!(ch == ' ' && (out.empty() || out.back() == ' ')) && !(ch == '*' && out.empty())) {
            out += ch;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

bool Parse(std::string_view data, const std::string& file, Json::Value& root, InterchangeResult& out) {
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3);
    std::string errors;
    if (ParseWith(data, true, root, errors))
        return true;
    if (errors.find("Duplicate key") != std::string::npos) {
        std::string again;
        if (ParseWith(data, false, root, again)) {
            out.Warn(file, 0, OneLine(errors) + ": the later value is used");
            return true;
        }
        errors = again;
    }
    out.Warn(file, 0, "not readable as JSON: " + OneLine(errors));
    return false;
}

interchange::LineIndex IndexOf(std::string_view data) {
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3);
    return interchange::LineIndex(data);
}

int LineOf(const interchange::LineIndex& index, const Json::Value& value) {
    const auto offset = value.getOffsetStart();
    return offset < 0 ? 0 : index.LineAt(static_cast<size_t>(offset));
}

bool StringOrLines(const Json::Value& value, std::string& text) {
    text.clear();
    if (value.isString()) {
        text = value.asString();
        return true;
    }
    if (!value.isArray())
        return false;
    for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
        if (!value[i].isString())
            return false;
        if (i > 0)
            text += '\n';
        text += value[i].asString();
    }
    return true;
}

} // namespace jsoninput
