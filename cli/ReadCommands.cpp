// The reading commands of tindrel-cli: list, show, search, info and check.
#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string_view>

#include "base/TextRules.h"
#include "cli/CliSupport.h"
#include "cli/JsonOut.h"
#include "cli/LibraryCheck.h"
#include "library/LibraryReport.h"
#include "library/LibrarySearch.h"

namespace cli {

namespace {

const char* const kListHelp =
    "Usage: tindrel-cli list [--json | --titles | --categories]\n"
    "\n"
    "Prints the sample tree as the window shows it: the root, the displayed categories\n"
    "in library order, their shown sub-categories together with the samples that have\n"
    "no sub-category, and the samples of each sub-category, each level indented by two\n"
    "blanks. Children are sorted as the window sorts them: alphabetically, letter case\n"
    "deciding only between names that are otherwise equal. Samples that have no place\n"
    "in the tree follow under \"Load errors:\", one line each: title, a tab, the reason.\n"
    "  --json   the same as one JSON object: root, categories (name, subcategories with\n"
    "           their samples, samples without a sub-category) and loadErrors\n"
    "  --titles       only the samples' titles, one a line, in title order\n"
    "  --categories   only the displayed categories' names, one a line\n";

const char* const kShowHelp =
    "Usage: tindrel-cli show TITLE [--raw | --all | --json]\n"
    "\n"
    "Prints the text of the sample with that exact title, its CR LF line ends shown\n"
    "as LF.\n"
    "  --raw   write the text's bytes exactly as the library holds them\n"
    "  --all   print every field: title, category, sub-category, keywords, comments\n"
    "          and text\n"
    "  --json  every field as one JSON object (keywords as a list, LF line ends)\n";

const char* const kSearchHelp =
    "Usage: tindrel-cli search TEXT [--regex] [--keywords-only] [--match-case] [--category NAME]\n"
    "\n"
    "Counts the occurrences of TEXT in every sample (keywords, title, comments, text)\n"
    "and prints one line per sample that holds it: title, a tab, the count, in title\n"
    "order; then \"Found N occurrence(s) in M sample(s)\".\n"
    "  --regex           TEXT is a regular expression (PCRE2, as the Search dialog's\n"
    "                    \"Regular expression\" option): ^ and $ at each line, matches\n"
    "                    of no characters not counted, Windows-1252 fields matched as\n"
    "                    the window shows them\n"
    "  --keywords-only   search the keywords only\n"
    "  --match-case      compare letter case exactly\n"
    "  --category NAME   only samples of that category (exact name)\n";

const char* const kInfoHelp = "Usage: tindrel-cli info [--detail]\n"
                              "\n"
                              "Prints the Library Info report (Summary), with LF line ends.\n"
                              "  --detail   the Detail report: settings and samples of every category\n";

const char* const kCheckHelp =
    "Usage: tindrel-cli check\n"
    "\n"
    "Loads the library as the program does and prints every load error, one line each:\n"
    "title, a tab, the reason. Exit status 1 when there are any, 0 otherwise.\n";

// The tree as the window shows it: the displayed categories in library order, each
// with its children sorted as the window sorts them; a sub-category's samples below it.
struct ListedChild {
    std::string_view text;
    bool subcategory;
    std::vector<std::string_view> samples; // of a sub-category
};
struct ListedCategory {
    std::string_view name;
    std::vector<ListedChild> children;
};

std::vector<ListedCategory> ListTree(const CQuorrinDoc& doc) {
    // Every sample left in the library has a place: group the titles by category and
    // sub-category in one pass (they come in title order).
    std::map<std::string_view, std::map<std::string_view, std::vector<std::string_view>>> placed;
    for (const auto& [title, sample] : doc.Samples())
        placed[sample->GetCategory()][sample->GetSubcategory()].push_back(title);

    std::vector<ListedCategory> tree;
    for (const auto& [name, category] : doc.Categories()) {
        if (!category->IsDisplayed())
            continue;
        ListedCategory& listed = tree.emplace_back();
        listed.name = name;
        auto bySub = placed.find(name);
        std::vector<ListedChild>& children = listed.children;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const SubcategorySlot& s = category->Slot(slot);
            if (!s.name.empty() && s.inUse)
                children.push_back({s.name, true, {}});
        }
        if (bySub != placed.end()) {
            auto direct = bySub->second.find(std::string_view());
            if (direct != bySub->second.end()) {
                for (std::string_view title : direct->second)
                    children.push_back({title, false, {}});
            }
        }
        std::stable_sort(children.begin(), children.end(),
                         [](const ListedChild& a, const ListedChild& b) { return NameLess(a.text, b.text); });
        std::set<std::string_view> filled; // a name held by two slots gets its samples once
        for (ListedChild& child : children) {
            if (!child.subcategory || bySub == placed.end() || !filled.insert(child.text).second)
                continue;
            auto titles = bySub->second.find(child.text);
            if (titles == bySub->second.end())
                continue;
            // The library holds titles in byte order; the list shows them as the tree does.
            child.samples = titles->second;
            std::stable_sort(child.samples.begin(), child.samples.end(), NameLess);
        }
    }
    return tree;
}

const char* RootText(const CLoadErrorList& errors) {
    return errors.GetCount() > 0 ? "Samples (*Load errors exist*)" : "Samples";
}

void PrintTree(const CQuorrinDoc& doc, const CLoadErrorList& errors, std::ostream& out) {
    out << RootText(errors) << '\n';
    for (const ListedCategory& category : ListTree(doc)) {
        out << "  " << category.name << '\n';
        for (const ListedChild& child : category.children) {
            out << "    " << child.text << '\n';
            for (std::string_view title : child.samples)
                out << "      " << title << '\n';
        }
    }
    if (errors.GetCount() > 0) {
        out << "Load errors:\n";
        errors.ForEach([&](const CSample& s) {
            out << "  " << s.GetTitle() << '\t' << LoadErrorReasonText(s.GetLoadErrorReason()) << '\n';
        });
    }
}

// The same tree as one JSON object, the samples of each level in a list of titles.
void PrintTreeJson(const CQuorrinDoc& doc, const CLoadErrorList& errors, std::ostream& out) {
    auto titles = [](const std::vector<std::string_view>& list) {
        return JsonStrings(std::vector<std::string>(list.begin(), list.end()));
    };
    std::string json = "{\"root\":" + JsonString(RootText(errors)) + ",\"categories\":[";
    bool firstCategory = true;
    for (const ListedCategory& category : ListTree(doc)) {
        json += firstCategory ? "\n" : ",\n";
        firstCategory = false;
        std::vector<std::string_view> direct;
        std::string subs;
        for (const ListedChild& child : category.children) {
            if (!child.subcategory) {
                direct.push_back(child.text);
                continue;
            }
            subs += subs.empty() ? "" : ",";
            subs += "{\"name\":" + JsonString(child.text) + ",\"samples\":" + titles(child.samples) + "}";
        }
        json += "{\"name\":" + JsonString(category.name) + ",\"subcategories\":[" + subs +
                "],\"samples\":" + titles(direct) + "}";
    }
    json += "],\n\"loadErrors\":[";
    bool firstError = true;
    errors.ForEach([&](const CSample& s) {
        json += firstError ? "" : ",";
        firstError = false;
        json += "{\"title\":" + JsonString(s.GetTitle()) +
                ",\"reason\":" + JsonString(LoadErrorReasonText(s.GetLoadErrorReason())) + "}";
    });
    out << json << "]}\n";
}

} // namespace

int CmdList(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("list", args, 1, {"--json", "--titles", "--categories"}, {});
    if (parsed.help) {
        io.out << kListHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"list takes no arguments"};
    if (parsed.flags.size() > 1)
        throw UsageError{"--json, --titles and --categories exclude each other"};
    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    if (parsed.flags.count("--titles")) {
        std::string lines;
        for (const auto& [title, sample] : library.doc.Samples()) {
            lines += title;
            lines += '\n';
        }
        io.out << lines;
    } else if (parsed.flags.count("--categories")) {
        for (const auto& [name, category] : library.doc.Categories())
            if (category->IsDisplayed())
                io.out << name << '\n';
    } else if (parsed.flags.count("--json"))
        PrintTreeJson(library.doc, library.errors, io.out);
    else
        PrintTree(library.doc, library.errors, io.out);
    return kExitOk;
}

int CmdShow(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("show", args, 1, {"--raw", "--all", "--json"}, {});
    if (parsed.help) {
        io.out << kShowHelp;
        return kExitOk;
    }
    if (parsed.positionals.empty())
        throw UsageError{"missing TITLE"};
    if (parsed.positionals.size() > 1)
        throw UsageError{"too many arguments: show takes one TITLE (quote a title with blanks)"};
    const bool raw = parsed.flags.count("--raw") > 0;
    const bool all = parsed.flags.count("--all") > 0;
    const bool json = parsed.flags.count("--json") > 0;
    if (raw + all + json > 1)
        throw UsageError{"--raw, --all and --json exclude each other"};
    const std::string& title = parsed.positionals[0];

    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    const CSample* sample = library.doc.PeekSample(title);
    if (!sample) {
        std::string reason;
        library.errors.ForEach([&](const CSample& s) {
            if (reason.empty() && s.GetTitle() == title)
                reason = LoadErrorReasonText(s.GetLoadErrorReason());
        });
        if (reason.empty())
            ShowMessage("Sample \"" + title + "\" is not in the library.");
        else
            ShowMessage("Sample \"" + title + "\" is not in the library: it is a load error (" + reason +
                        ")");
        return kExitError;
    }
    if (json) {
        io.out << JsonSample(*sample, true) << '\n';
    } else if (raw) {
        io.out << sample->GetText();
    } else if (all) {
        std::string text = "Title:  " + sample->GetTitle() + "\n\nCategory:  " + sample->GetCategory() +
                           "\nSub-category:  " + sample->GetSubcategory() + "\nKeywords:\n" +
                           sample->GetKeywords() + "\n\nComments:\n" + ToUnixLineEnds(sample->GetComments()) +
                           "\n\nSample:\n" + ToUnixLineEnds(sample->GetText());
        if (text.back() != '\n')
            text += '\n';
        io.out << text;
    } else {
        io.out << ToUnixLineEnds(sample->GetText());
    }
    return kExitOk;
}

int CmdSearch(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("search", args, 1, {"--keywords-only", "--match-case", "--regex"}, {"--category"});
    if (parsed.help) {
        io.out << kSearchHelp;
        return kExitOk;
    }
    if (parsed.positionals.empty())
        throw UsageError{"missing TEXT"};
    if (parsed.positionals.size() > 1)
        throw UsageError{"too many arguments: search takes one TEXT (quote a text with blanks)"};
    SearchOptions options;
    options.text = parsed.positionals[0];
    options.keywordsOnly = parsed.flags.count("--keywords-only") > 0;
    options.matchCase = parsed.flags.count("--match-case") > 0;
    options.regex = parsed.flags.count("--regex") > 0;
    if (auto it = parsed.values.find("--category"); it != parsed.values.end())
        options.category = it->second;
    if (options.text.empty()) {
        ShowMessage("Please enter a string you wish to search for.");
        return kExitError;
    }

    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    if (!options.category.empty() && options.category != kNoLimit &&
        !library.doc.PeekCategory(options.category)) {
        ShowMessage("Category \"" + options.category + "\" does not exist in the library.");
        return kExitError;
    }
    std::string lines;
    SearchTotals totals = SearchLibrary(library.doc, options, [&](const CSample& sample, unsigned count) {
        lines += sample.GetTitle();
        lines += '\t';
        lines += std::to_string(count);
        lines += '\n';
        return true;
    });
    io.out << lines;
    if (!totals.error.empty()) {
        ShowMessage(totals.error);
        return kExitError;
    }
    io.out << FoundLine(totals.occurrences, totals.samples) << '\n';
    return kExitOk;
}

int CmdInfo(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("info", args, 1, {"--detail"}, {});
    if (parsed.help) {
        io.out << kInfoHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"info takes no arguments"};
    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    const int kind = parsed.flags.count("--detail") ? kReportDetail : kReportSummary;
    io.out << ToUnixLineEnds(BuildReport(library.doc, kind));
    return kExitOk;
}

int CmdCheck(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("check", args, 1, {}, {});
    if (parsed.help) {
        io.out << kCheckHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"check takes no arguments"};
    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    std::string lines;
    library.errors.ForEach([&](const CSample& s) {
        lines += s.GetTitle();
        lines += '\t';
        lines += LoadErrorReasonText(s.GetLoadErrorReason());
        lines += '\n';
    });
    io.out << lines;
    return library.errors.GetCount() > 0 ? kExitError : kExitOk;
}

} // namespace cli
