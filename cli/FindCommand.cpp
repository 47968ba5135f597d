// tindrel-cli find: the window's instant find for the terminal, best first.
#include <ostream>

#include "cli/CliSupport.h"
#include "cli/LibraryCheck.h"
#include "cli/JsonOut.h"
#include "library/WordFind.h"

namespace cli {

namespace {

const char* const kFindHelp =
    "Usage: tindrel-cli find WORDS... [--text] [--json]\n"
    "\n"
    "Finds the samples as the window's find above the tree does: every word must occur,\n"
    "in any order, in the title or a keyword, letter case ignored. Prints the titles,\n"
    "one a line, best first: words in the title before words in keywords before words\n"
    "in the text, then words that start or end a word of the field.\n"
    "  --text   the comments and the sample text count too (the window's \"In text\")\n"
    "  --json   one JSON array instead: each sample's title, category, subcategory,\n"
    "           keywords and score\n"
    "Exit status 0 also when nothing is found.\n";

} // namespace

int CmdFind(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("find", args, 1, {"--text", "--json"}, {});
    if (parsed.help) {
        io.out << kFindHelp;
        return kExitOk;
    }
    std::string typed;
    for (const std::string& word : parsed.positionals)
        typed += word + ' ';
    if (SplitWords(typed).empty())
        throw UsageError{"missing WORD"};
    const bool json = parsed.flags.count("--json") > 0;

    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    const std::vector<RankedSample> found = FindWords(library.doc, typed, parsed.flags.count("--text") > 0);
    std::string out;
    if (json) {
        out = "[";
        for (size_t i = 0; i < found.size(); ++i) {
            std::string row = JsonSample(*found[i].sample, false);
            row.insert(row.size() - 1, ",\"score\":" + std::to_string(found[i].score));
            out += (i > 0 ? ",\n" : "\n") + row;
        }
        out += "\n]\n";
    } else {
        for (const RankedSample& hit : found) {
            out += hit.sample->GetTitle();
            out += '\n';
        }
    }
    io.out << out;
    return kExitOk;
}

} // namespace cli
