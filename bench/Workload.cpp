#include "bench/Workload.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "bench/BenchUtil.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "library/Category.h"
#include "library/CategoryWriter.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

namespace bench {
namespace {

// splitmix64: small, fast and the same on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    // lo .. hi
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    template <size_t N> const char* Pick(const char* const (&pool)[N]) {
        return pool[Below(static_cast<int>(N))];
    }

private:
    std::uint64_t m_state;
};

const char* const kNames[] = {
    "count",  "index",  "buffer", "value",  "result", "item",   "node",    "list",   "key",    "name",
    "size",   "total",  "offset", "length", "handle", "stream", "reader",  "writer", "parser", "token",
    "config", "state",  "queue",  "stack",  "cache",  "entry",  "record",  "field",  "column", "row",
    "table",  "query",  "socket", "packet", "header", "body",   "timer",   "thread", "mutex",  "event",
    "signal", "window", "widget", "button", "label",  "image",  "pixel",   "color",  "point",  "matrix",
    "scale",  "angle",  "delta",  "limit",  "range",  "first",  "last",    "step",   "path",   "file",
    "folder", "line",   "text",   "word",   "block",  "chunk",  "page",    "frame",  "layer",  "shape",
    "edge",   "graph",  "tree",   "leaf",   "parent", "child",  "order",   "weight", "bias",   "seed",
    "target", "source", "cursor", "slot",   "flag",   "mask",   "payload", "digest", "region", "span"};
const char* const kVerbs[] = {
    "Parse",   "Format", "Merge",   "Split",  "Filter",  "Sort",   "Find",     "Insert",  "Remove",  "Update",
    "Load",    "Save",   "Read",    "Write",  "Open",    "Close",  "Encode",   "Decode",  "Hash",    "Verify",
    "Compare", "Copy",   "Move",    "Swap",   "Build",   "Render", "Resize",   "Convert", "Collect", "Count",
    "Draw",    "Scan",   "Reverse", "Rotate", "Flatten", "Group",  "Schedule", "Queue",   "Cache",   "Trace"};
const char* const kFuncs[] = {"compute", "fetch", "apply", "update", "lookup", "resolve", "emit",  "push",
                              "pop",     "clear", "reset", "append", "check",  "visit",   "flush", "bind"};
const char* const kTypes[] = {"int", "auto", "size_t", "double", "bool", "std::string", "Node*", "uint32_t"};
const char* const kWords[] = {
    "the",    "a",        "of",     "to",    "when",    "each",   "every",   "new",   "old",     "current",
    "next",   "previous", "empty",  "whole", "first",   "last",   "value",   "list",  "buffer",  "caller",
    "handle", "result",   "error",  "case",  "returns", "keeps",  "takes",   "gives", "checks",  "stops",
    "skips",  "counts",   "before", "after", "while",   "unless", "without", "only",  "already", "again"};
const char* const kKeywords[] = {
    "sorting", "parsing", "strings", "containers", "threads", "sockets",  "files",    "memory",
    "hashing", "graphs",  "trees",   "recursion",  "lambda",  "template", "iterator", "callback",
    "regex",   "json",    "xml",     "unicode",    "testing", "logging",  "config",   "cache",
    "queue",   "stack",   "matrix",  "geometry",   "timer",   "events",   "dialogs",  "printing"};

struct CategoryDef {
    std::string name;
    std::string file;
    std::vector<std::string> subcategories; // what samples may name
};

std::vector<CategoryDef> Categories(Rng& rng) {
    std::vector<CategoryDef> out;
    const char* defaults[3][2] = {
        {"C++", "quorrincpp.txt"}, {"Java", "quorrinjava.txt"}, {"Visual Basic", "quorrinvb.txt"}};
    const char* defaultExtra[3][2] = {
        {"Templates", "Containers"}, {"Swing", "Streams"}, {"Forms", "Database"}};
    for (int i = 0; i < 3; ++i)
        out.push_back({defaults[i][0],
                       defaults[i][1],
                       {"General", "GUI", "COM", defaultExtra[i][0], defaultExtra[i][1]}});
    const char* custom[] = {"Algorithms", "Assembly", "Databases",  "Fortran", "Go",
                            "Graphics",   "Haskell",  "JavaScript", "Kotlin",  "Lua",
                            "Networking", "Perl",     "Python",     "Ruby",    "Rust",
                            "Scheme",     "Shell",    "SQL",        "Swift",   "TypeScript"};
    const char* subs[] = {"Basics", "Parsing", "Sorting", "Threads", "IO",      "Testing",
                          "Memory", "Strings", "Errors",  "Maps",    "Drawing", "Tools"};
    for (const char* name : custom) {
        CategoryDef def{name, std::string("quorrin") + name + ".txt", {}};
        const int n = rng.Between(2, 6);
        const int first = rng.Below(12);
        for (int k = 0; k < n; ++k)
            def.subcategories.push_back(subs[(first + k * 5) % 12]);
        out.push_back(std::move(def));
    }
    return out;
}

std::string Identifier(Rng& rng) {
    std::string id = rng.Pick(kNames);
    if (rng.Below(6) == 0) {
        std::string second = rng.Pick(kNames);
        second[0] = static_cast<char>(second[0] - 'a' + 'A');
        id += second;
    }
    return id;
}

// One line of code-like text; depth is the nesting, kept between 0 and 2.
std::string CodeLine(Rng& rng, int& depth) {
    std::string line(static_cast<size_t>(depth) * 4, ' ');
    switch (rng.Below(14)) {
    case 0:
    case 1:
        line += Identifier(rng) + " = " + rng.Pick(kFuncs) + "(" + rng.Pick(kNames) + ");";
        break;
    case 2:
        if (depth < 2) {
            line += "if (" + Identifier(rng) + ") {";
            ++depth;
        } else {
            line += "return " + Identifier(rng) + ";";
        }
        break;
    case 3:
        if (depth < 2) {
            line += "for (i = 0; i < n; i++) {";
            ++depth;
        } else {
            line += "i++;";
        }
        break;
    case 4:
        line += std::string(rng.Pick(kTypes)) + " " + rng.Pick(kNames) + ";";
        break;
    case 5:
        line += "return " + Identifier(rng) + ";";
        break;
    case 6:
    case 7:
    case 8:
        if (depth > 0) {
            --depth;
            line.resize(static_cast<size_t>(depth) * 4);
            line += "}";
        } else {
            line += std::string(rng.Pick(kNames)) + "++;";
        }
        break;
    case 9:
        line += std::string("// ") + rng.Pick(kWords) + " " + rng.Pick(kNames);
        break;
    case 10:
        line.clear(); // a blank line
        break;
    case 11:
        line += "RETURN_IF(" + std::string(rng.Pick(kNames)) + ");";
        break;
    default:
        line += rng.Pick(kFuncs) + std::string("(") + rng.Pick(kNames) + ");";
        break;
    }
    return line;
}

std::string Sentence(Rng& rng) {
    std::string s = rng.Below(4) == 0 ? "Returns" : "Takes";
    const int n = rng.Between(2, 5);
    for (int i = 0; i < n; ++i) {
        s += ' ';
        s += (i % 2) ? rng.Pick(kNames) : rng.Pick(kWords);
    }
    return s + ".";
}

CSample MakeSample(Rng& rng, const CategoryDef& def, int id, bool rare) {
    CSample s;
    s.SetCategory(def.name);
    // One sample in ten sits directly below its category.
    if (rng.Below(10) != 0)
        s.SetSubcategory(
            def.subcategories[static_cast<size_t>(rng.Below(static_cast<int>(def.subcategories.size())))]);
    char number[16];
    std::snprintf(number, sizeof number, "%06d", id);
    s.SetTitle(std::string(rng.Pick(kVerbs)) + " " + rng.Pick(kNames) + " " + rng.Pick(kNames) + " " +
               number);

    const int keywords = rng.Between(0, 6);
    std::string joined;
    for (int k = 0; k < keywords; ++k) {
        if (k)
            joined += ", ";
        joined += rng.Pick(kKeywords);
    }
    s.SetKeywords(joined);

    std::string comments;
    const int commentLines = rng.Between(0, 10);
    for (int k = 0; k < commentLines; ++k)
        comments += Sentence(rng) + "\r\n";
    if (rare && rng.Below(3) == 0)
        comments += std::string("Zygomorphic layout of the ") + rng.Pick(kNames) + ".\r\n";
    s.SetComments(std::move(comments));

    std::string text;
    int depth = 0;
    const int lines = rng.Between(10, 80);
    const int rareLine = rare ? rng.Below(lines) : -1;
    for (int k = 0; k < lines; ++k) {
        text += CodeLine(rng, depth);
        if (k == rareLine)
            text += std::string(" // ") + kRareWord;
        text += "\r\n";
    }
    while (depth > 0) {
        --depth;
        text += std::string(static_cast<size_t>(depth) * 4, ' ') + "}\r\n";
    }
    s.SetText(std::move(text));
    return s;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// The configuration: custom categories with their files and sub-categories, custom
// sub-categories of the default categories, and a few expanded branches.
void WriteConfiguration(const Workload& w, const std::vector<CategoryDef>& defs) {
    FileKeyStore store(w.configPath);
    CLibraryConfig config(store);
    config.LoadProfile();
    for (size_t i = 0; i < defs.size(); ++i) {
        const CategoryDef& def = defs[i];
        if (i < 3) {
            for (size_t k = 3; k < def.subcategories.size(); ++k)
                config.g_customSubcats[def.name].insert(def.subcategories[k]);
        } else {
            config.g_customCatFiles[def.name] = def.file;
            config.g_customCatSubcats[def.name] = NameSet(def.subcategories.begin(), def.subcategories.end());
        }
    }
    CLoadErrorList errors;
    {
        // Recording every category writes the library part of the configuration.
        CQuorrinDoc doc(config, errors);
        doc.SetFolder(w.dir);
        doc.OnNewDocument();
        doc.OnSaveDocument();
    }
    config.g_expandedSubcats.clear();
    config.g_expandedSubcats[w.bigCategory] = {"General"};
    config.g_expandedSubcats[w.rareCategory] = {};
    config.WriteExpandedCats();
    config.SaveSettings();
}

} // namespace

Workload GenerateWorkload(const std::string& dir, int samples, std::uint64_t seed) {
    Workload w;
    w.dir = dir;
    w.configPath = dir + "/config/Tindrel.conf";
    w.samples = samples;
    ::mkdir(dir.c_str(), 0755);
    ::mkdir((dir + "/config").c_str(), 0755);

    Rng rng(seed);
    const std::vector<CategoryDef> defs = Categories(rng);
    w.bigCategory = defs[0].name;
    w.bigFile = dir + "/" + defs[0].file;
    size_t rareIndex = 0;
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].name == "Haskell")
            rareIndex = i;
    }
    w.rareCategory = defs[rareIndex].name;

    // How many samples each category gets: a tenth in the big one, the rest spread
    // evenly with a little noise.
    std::vector<int> counts(defs.size(), 0);
    counts[0] = samples / 10;
    const int rest = samples - counts[0];
    const int others = static_cast<int>(defs.size()) - 1;
    for (int i = 0; i < rest; ++i)
        ++counts[static_cast<size_t>(1 + (i % others))];
    w.bigCount = counts[0];
    w.rareCount = std::min(counts[rareIndex], std::max(1, samples * 3 / 1000));

    {
        QuietMessenger quiet;
        WriteConfiguration(w, defs);
    }

    int id = 0;
    for (size_t c = 0; c < defs.size(); ++c) {
        Rng local(seed * 31 + c + 1);
        std::vector<CSample> list;
        list.reserve(static_cast<size_t>(counts[c]));
        for (int k = 0; k < counts[c]; ++k)
            list.push_back(MakeSample(local, defs[c], id++, c == rareIndex && k < w.rareCount));
        // The program writes a category in title order.
        std::sort(list.begin(), list.end(),
                  [](const CSample& a, const CSample& b) { return a.GetTitle() < b.GetTitle(); });
        if (c == 0 && !list.empty())
            w.selectTitle = list[list.size() / 2].GetTitle();
        std::string bytes;
        for (const CSample& s : list)
            AppendSampleBytes(bytes, s);
        const std::string path = dir + "/" + defs[c].file;
        WriteWhole(path, bytes);
        w.files.push_back(path);
        w.diskBytes += bytes.size();
    }
    return w;
}

} // namespace bench
