#include "library/LibraryStructure.h"

#include "base/QuotedLine.h"

namespace {

const std::string_view kHeader = "TindrelLibrary ";
constexpr int kVersion = 1;

} // namespace

std::string StructureText(const LibraryStructure& structure) {
    std::string out = std::string(kHeader) + std::to_string(kVersion) + "\n";
    for (const auto& [name, category] : structure) {
        out += "category " + QuoteBytes(name);
        if (!category.fileName.empty())
            out += " file " + QuoteBytes(category.fileName);
        if (!category.language.empty())
            out += " language " + QuoteBytes(category.language);
        out += "\n";
        for (const std::string& sub : category.subcategories)
            out += "subcategory " + QuoteBytes(name) + " " + QuoteBytes(sub) + "\n";
    }
    return out + "end\n";
}

StructureReadResult ParseStructure(std::string_view text, LibraryStructure& out) {
    StructureReadResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3); // a byte-order mark left by an editor
    const size_t firstEnd = text.find('\n');
    std::string_view first = text.substr(0, firstEnd);
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    if (first.substr(0, kHeader.size()) != kHeader) {
        result.foreign = true;
        return result;
    }
    const std::string_view version = first.substr(kHeader.size());
    if (version.empty() || version.find_first_not_of("0123456789") != std::string_view::npos ||
        version.size() > 6) {
        result.foreign = true;
        return result;
    }
    if (std::stoi(std::string(version)) > kVersion) {
        result.newer = true;
        return result;
    }
    if (firstEnd == std::string_view::npos)
        return result;
    std::string_view rest = text.substr(firstEnd + 1);
    int number = 1;
    bool ended = false;
    auto bad = [&] {
        if (result.firstBadLine == 0)
            result.firstBadLine = number;
    };
    while (!rest.empty()) {
        const size_t eol = rest.find('\n');
        ++number;
        if (eol == std::string_view::npos) {
            bad(); // cut in the middle of a line: what it says cannot be trusted
            break;
        }
        std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        QuotedLineReader reader(line);
        if (reader.AtEnd() || line.front() == '#')
            continue;
        if (ended) {
            bad(); // anything after the end is not the file this program wrote
            continue;
        }
        const std::string_view word = reader.Word();
        std::string name;
        if (word == "end" && reader.AtEnd()) {
            ended = true;
        } else if (word == "category" && reader.Quoted(name) && !name.empty()) {
            StructureCategory entry;
            bool ok = true;
            while (ok && !reader.AtEnd()) {
                const std::string_view key = reader.Word();
                std::string value;
                ok = reader.Quoted(value) && (key == "file" || key == "language");
                (key == "file" ? entry.fileName : entry.language) = value;
            }
            if (!ok) {
                bad();
                continue;
            }
            StructureCategory& into = out[name];
            into.fileName = entry.fileName;
            into.language = entry.language;
        } else if (std::string sub; word == "subcategory" && reader.Quoted(name) && !name.empty() &&
                                    reader.Quoted(sub) && !sub.empty() && reader.AtEnd()) {
            std::vector<std::string>& subs = out[name].subcategories;
            bool known = false;
            for (const std::string& s : subs)
                known = known || s == sub;
            if (!known)
                subs.push_back(std::move(sub));
        } else {
            bad();
        }
    }
    result.whole = ended && result.firstBadLine == 0;
    return result;
}
