// Writing a category file: one sample as the file holds it.
#include "library/CategoryWriter.h"

#include <cstring>

#include "library/CategoryFormat.h"
#include "library/LineScan.h"

namespace {

// Appends value with every LF written as CR LF. Returns whether the reader gets the
// value back: a one-line field (no end marker given) must hold no LF; in a section, no
// piece after an LF may be exactly its end marker (the reader would end the section
// there; the first line is always taken as content).
bool AppendTranslated(std::string& out, std::string_view value, std::string_view endMarker = {}) {
    linescan::LfFinder lfs(value);
    size_t lf = lfs.Next();
    if (lf == value.size()) {
        out.append(value);
        return true;
    }
    if (endMarker.empty()) {
        out.append(value); // refused; what is appended does not matter
        return false;
    }
    // Each LF grows by one byte, so twice the value always fits; the rest is cut off.
    const size_t start = out.size();
    out.resize(start + 2 * value.size() + linescan::kCopySlack);
    char* const base = out.data() + start;
    char* o = base;
    const char* const stop = value.data() + value.size();
    bool storable = true;
    size_t from = 0;
    while (lf < value.size()) {
        linescan::CopyLine(o, value.data() + from, lf - from, stop);
        o += lf - from;
        *o++ = '\r';
        *o++ = '\n';
        from = lf + 1;
        lf = lfs.Next();
        // The piece from here to the next LF (or the end) must not be the end marker.
        if (lf - from == endMarker.size() && std::memcmp(value.data() + from, endMarker.data(), endMarker.size()) == 0)
            storable = false;
    }
    std::memcpy(o, value.data() + from, value.size() - from);
    o += value.size() - from;
    out.resize(start + static_cast<size_t>(o - base));
    return storable;
}

void AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

} // namespace

bool AppendSampleBytes(std::string& out, const CSample& sample) {
    bool storable = true;
    AppendLine(out, marker::kSampleBegin);
    out.append(marker::kCategory);
    storable &= AppendTranslated(out, sample.GetCategory());
    out.append("\r\n");
    out.append(marker::kSubcategory);
    storable &= AppendTranslated(out, sample.GetSubcategory());
    out.append("\r\n");
    out.append(marker::kTitle);
    storable &= AppendTranslated(out, sample.GetTitle());
    out.append("\r\n");
    AppendLine(out, marker::kKeywordsBegin);
    // The keywords joined with ", " (GetKeywords), without building the joined string.
    for (size_t i = 0; i < sample.GetKeywordCount(); ++i) {
        if (i > 0)
            out.append(", ");
        storable &= AppendTranslated(out, sample.GetKeyword(i));
    }
    out.append("\r\n");
    AppendLine(out, marker::kKeywordsEnd);
    AppendLine(out, marker::kCommentsBegin);
    storable &= AppendTranslated(out, sample.GetComments(), marker::kCommentsEnd);
    out.append("\r\n");
    AppendLine(out, marker::kCommentsEnd);
    AppendLine(out, marker::kTextBegin);
    storable &= AppendTranslated(out, sample.GetText(), marker::kTextEnd);
    out.append("\r\n");
    AppendLine(out, marker::kTextEnd);
    AppendLine(out, marker::kSampleEnd);
    return storable;
}
