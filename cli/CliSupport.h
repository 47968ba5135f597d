// What the commands of tindrel-cli share: the message channel to standard error, the
// library loaded read-only, and the parsing of a command's arguments.
#pragma once

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "cli/CliStreams.h"
#include "config/LibraryConfig.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

namespace cli {

// Bare LF line ends become CR LF; CR LF pairs stay as they are.
std::string ToLibraryLineEnds(const std::string& text);
// CR LF pairs become LF; any other byte stays.
std::string ToUnixLineEnds(const std::string& text);

// Prints every message the library would show in a box to standard error and counts
// them: any message makes the exit status 1.
class StreamMessenger : public IMessenger {
public:
    explicit StreamMessenger(std::ostream& err);
    ~StreamMessenger() override;
    StreamMessenger(const StreamMessenger&) = delete;
    StreamMessenger& operator=(const StreamMessenger&) = delete;

    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override;
    int Count() const { return m_count; }

private:
    std::ostream& m_err;
    int m_count = 0;
};

// Passes what the library has to say to the message channel above.
class MessageChannelSink : public IDocMessageSink {
public:
    void OnDocumentMessage(const DocMessage& message) override;
};

// The library as the program sees it after building its tree, loaded without
// touching any file.
struct Library {
    Library(IKeyStore& store, const std::string& folder);
    MessageChannelSink sink;
    CLibraryConfig config;
    CLoadErrorList errors;
    CQuorrinDoc doc;
};

struct UsageError {
    std::string text;
};

// Splits a command's arguments into options and positionals. Options with a value
// take it from "--name=value" or from the next argument; "--" ends the options.
struct ParsedArgs {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positionals;
    bool help = false;
};
ParsedArgs ParseArgs(const std::string& command, const std::vector<std::string>& args, size_t first,
                     const std::set<std::string>& flagNames, const std::set<std::string>& valueNames);

// Reads a whole file ("-": standard input); false after showing the read message.
bool ReadInput(const std::string& path, std::istream& in, std::string& out);

// The commands; each gets the whole command line (its name first).
int CmdList(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdShow(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdSearch(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdInfo(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdCheck(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdFind(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdCategory(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdSubcategory(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdAdd(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdImport(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdExport(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdSync(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);
int CmdMergeFile(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);

} // namespace cli
