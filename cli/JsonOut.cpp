#include "cli/JsonOut.h"

#include "base/TextRules.h"
#include "cli/CliSupport.h"
#include "library/Sample.h"

namespace cli {

namespace {

void AppendEscaped(std::string& out, char32_t cp) {
    static const char* const kHex = "0123456789abcdef";
    switch (cp) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
        out += "\\u00";
        out += kHex[(cp >> 4) & 0xF];
        out += kHex[cp & 0xF];
        return;
    }
    AppendUtf8(out, cp);
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    if (IsValidUtf8(text)) {
        size_t i = 0;
        char32_t cp = 0;
        while (i < text.size() && NextUtf8(text, i, cp))
            AppendEscaped(out, cp);
    } else {
        for (const char c : text)
            AppendEscaped(out, Windows1252Char(static_cast<unsigned char>(c)));
    }
    out += '"';
    return out;
}

std::string JsonStrings(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += JsonString(items[i]);
    }
    return out + "]";
}

std::string JsonSample(const CSample& sample, bool body) {
    std::string out = "{\"title\":" + JsonString(sample.GetTitle()) + ",\"category\":" +
                      JsonString(sample.GetCategory()) + ",\"subcategory\":" + JsonString(sample.GetSubcategory()) +
                      ",\"keywords\":" + JsonStrings(sample.Keywords());
    if (body) {
        out += ",\"comments\":" + JsonString(ToUnixLineEnds(sample.GetComments()));
        out += ",\"text\":" + JsonString(ToUnixLineEnds(sample.GetText()));
    }
    return out + "}";
}

} // namespace cli
