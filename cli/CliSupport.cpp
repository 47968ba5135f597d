#include "cli/CliSupport.h"

#include <istream>
#include <iterator>
#include <ostream>

#include "base/FileLayer.h"
#include "library/CategoryFormat.h"
#include "library/Interchange.h"

namespace cli {

StreamMessenger::StreamMessenger(std::ostream& err) : m_err(err) {
    SetMessenger(this);
}

StreamMessenger::~StreamMessenger() {
    SetMessenger(nullptr);
}

MsgAnswer StreamMessenger::Show(const std::string& text, MsgButtons buttons, MsgIcon) {
    m_err << text << '\n';
    m_err.flush();
    ++m_count;
    if (buttons == MsgButtons::YesNoDefaultNo)
        return MsgAnswer::No;
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
}

void MessageChannelSink::OnDocumentMessage(const DocMessage& message) {
    ShowMessage(message.text, MsgButtons::Ok, message.icon);
}

Library::Library(IKeyStore& store, const std::string& folder) : config(store), doc(config, errors) {
    config.LoadProfile();
    doc.SetFolder(folder);
    doc.SetMessageSink(&sink);
    doc.OnNewDocument(LoadMode::ReadOnly);
    doc.RemoveUnplacedSamples();
}

ParsedArgs ParseArgs(const std::string& command, const std::vector<std::string>& args, size_t first,
                     const std::set<std::string>& flagNames, const std::set<std::string>& valueNames) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "-") {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            parsed.help = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (flagNames.count(name)) {
            if (hasValue)
                throw UsageError{"option " + name + " takes no value"};
            parsed.flags.insert(name);
        } else if (valueNames.count(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    throw UsageError{"option " + name + " needs a value"};
                value = args[++i];
            }
            if (parsed.values.count(name))
                throw UsageError{"option " + name + " given twice"};
            parsed.values[name] = value;
        } else {
            throw UsageError{"unknown option " + name + " for " + command};
        }
    }
    return parsed;
}

bool ReadInput(const std::string& path, std::istream& in, std::string& out) {
    if (path == "-") {
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenStream(path, cause)) {
        ShowMessage(StrFormat(filemsg::kOpen, path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    if (!file.ReadAll(out, cause)) {
        ShowMessage(StrFormat(filemsg::kRead, path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    file.Close(cause);
    return true;
}

std::string ToLibraryLineEnds(const std::string& text) {
    return interchange::ToCrLf(text);
}

std::string ToUnixLineEnds(const std::string& text) {
    return interchange::ToLf(text);
}

} // namespace cli
