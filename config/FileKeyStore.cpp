#include "config/FileKeyStore.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "base/QuotedLine.h"
#include "base/TextRules.h"
#include "config/LibraryFolder.h"

namespace {

const char* const kHeader = "TindrelConfig ";
// Larger files are not configuration files of this program: the tree holds a few
// hundred short names.
constexpr std::uint64_t kMaxFileSize = 64u * 1024 * 1024;
// How long a flush waits for another process writing the file.
constexpr int kWriteLockWaitMs = 5000;
// Deeper paths are not read (the tree written by this program is six deep).
constexpr std::size_t kMaxDepth = 512;

bool ParseDword(std::string_view word, std::uint32_t& value) {
    if (word.empty() || word.size() > 10)
        return false;
    std::uint64_t v = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > 0xFFFFFFFFu)
        return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

std::string FileError(const std::string& path, int cause) {
    return "File: " + path + "\nReason: " + fileio::CauseText(cause);
}

} // namespace

// --- Text form ---

std::string FileKeyStore::Quote(const std::string& bytes) {
    return QuoteBytes(bytes);
}

std::string FileKeyStore::Serialize(const MemoryKeyStore& store) {
    std::string out = kHeader + std::to_string(kFormatVersion) + "\n";
    out +=
        "# The library configuration of Tindrel, written by Tindrel; edit it only while Tindrel is closed.\n"
        "# Names and texts are quoted: \\\\ is a backslash, \\\" a quote, \\xHH any other byte.\n";
    store.Visit([&](const KeyPath& path, const std::map<std::string, Value>& values) {
        if (path.empty() && values.empty())
            return; // the root is implied
        out += "key";
        for (const std::string& part : path) {
            out.push_back(' ');
            out += Quote(part);
        }
        out.push_back('\n');
        for (const auto& [name, value] : values) {
            out += "value ";
            out += Quote(name);
            if (value.isDword) {
                out += " dword ";
                out += std::to_string(value.number);
            } else {
                out += " string ";
                out += Quote(value.text);
            }
            out.push_back('\n');
        }
    });
    out += "end\n";
    return out;
}

FileKeyStore::ParseReport FileKeyStore::Parse(const std::string& text, MemoryKeyStore& store) {
    ParseReport report;
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3); // a byte-order mark left by an editor
    auto badLine = [&](int number) {
        if (report.badLines++ == 0)
            report.firstBadLine = number;
    };

    bool first = true;
    bool ended = false;
    bool haveKey = true; // values before any key line belong to the root
    KeyPath current;
    int number = 0;
    while (!rest.empty()) {
        std::size_t eol = rest.find('\n');
        if (eol == std::string_view::npos) {
            // The last line is cut: what it says cannot be trusted.
            std::string_view header(kHeader);
            if (first && rest.substr(0, header.size()) != header.substr(0, rest.size())) {
                report.foreign = true;
                return report;
            }
            if (ended)
                report.trailing = !QuotedLineReader(rest).AtEnd();
            else
                report.truncated = true;
            return report;
        }
        std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol + 1);
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (first) {
            first = false;
            if (line.substr(0, std::string_view(kHeader).size()) != kHeader) {
                report.foreign = true;
                return report;
            }
            std::uint32_t version = 0;
            std::string_view digits = line.substr(std::string_view(kHeader).size());
            if (!ParseDword(digits, version) || version == 0 || version > 1000000) {
                report.foreign = true;
                return report;
            }
            report.version = static_cast<int>(version);
            if (report.version > kFormatVersion)
                return report;
            continue;
        }

        QuotedLineReader reader(line);
        if (reader.AtEnd())
            continue;
        std::string_view word = reader.Word();
        if (word.substr(0, 1) == "#")
            continue;
        if (ended) {
            report.trailing = true;
            break;
        }
        if (word == "end" && reader.AtEnd()) {
            ended = true;
        } else if (word == "key") {
            KeyPath path;
            std::string part;
            bool ok = true;
            while (ok && !reader.AtEnd()) {
                // A key with an empty name cannot be addressed by name, so it cannot exist.
                ok = reader.Quoted(part) && !part.empty() && path.size() < kMaxDepth;
                path.push_back(part);
            }
            if (ok) {
                store.PutKey(path);
                current = std::move(path);
                haveKey = true;
            } else {
                badLine(number);
                haveKey = false; // its values cannot be placed
            }
        } else if (word == "value") {
            std::string name, text;
            std::uint32_t number32 = 0;
            bool ok = reader.Quoted(name);
            std::string_view type = ok ? reader.Word() : std::string_view();
            Value value;
            if (ok && type == "string") {
                ok = reader.Quoted(text) && reader.AtEnd();
                value.text = std::move(text);
            } else if (ok && type == "dword") {
                ok = ParseDword(reader.Word(), number32) && reader.AtEnd();
                value.isDword = true;
                value.number = number32;
            } else {
                ok = false;
            }
            if (!ok)
                badLine(number);
            else if (haveKey)
                store.PutValue(current, name, value);
        } else {
            badLine(number);
        }
    }
    if (first)
        report.foreign = true; // empty
    else if (!ended)
        report.truncated = true;
    return report;
}

// --- The file ---

std::string FileKeyStore::DefaultPath() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        base = libraryfolder::UserHome() + "/.config";
    }
    return base + "/Velmora Software/Tindrel/Tindrel.conf";
}

FileKeyStore::FileKeyStore() : FileKeyStore(DefaultPath()) {}

FileKeyStore::FileKeyStore(std::string path) : m_path(std::move(path)) {
    // Temporary files a crash left beside the configuration; only old ones, since
    // another window (on another library folder) may be writing its own just now.
    const size_t slash = m_path.rfind('/');
    if (slash != std::string::npos)
        fileio::RemoveLeftoverTemporaries(m_path.substr(0, slash), {m_path.substr(slash + 1)}, 60);
    Load();
}

void FileKeyStore::Load() {
    if (!fileio::FileExists(m_path)) {
        m_state = LoadState::Missing;
        m_savedChanges = ChangeCount();
        return;
    }

    std::string problem;
    std::string loaded = "Tindrel starts with an empty library configuration.";
    fileio::File file;
    std::string text;
    std::uint64_t size = 0;
    int cause = 0;
    fileio::FileStamp stamp;
    if (!file.OpenForRead(m_path, cause) || !file.Stamp(stamp, cause) || !file.Size(size, cause) ||
        (size <= kMaxFileSize && !file.ReadAll(text, cause))) {
        m_state = LoadState::Unreadable;
        problem = "cannot be read.\nReason: " + std::string(fileio::CauseText(cause));
    } else if (size > kMaxFileSize) {
        m_state = LoadState::Foreign;
        problem = "is too large to be a Tindrel configuration file.";
    } else {
        ParseReport report = Parse(text, *this);
        if (report.foreign) {
            m_state = LoadState::Foreign;
            problem = text.empty() ? "is empty." : "is not a Tindrel configuration file.";
        } else if (report.version > kFormatVersion) {
            m_state = LoadState::Newer;
            problem = "was written by a newer version of Tindrel (file format " +
                      std::to_string(report.version) + "; this version reads format " +
                      std::to_string(kFormatVersion) + ").";
        } else if (report.Damaged()) {
            m_state = LoadState::Damaged;
            problem = "is damaged.";
            if (report.badLines > 0)
                problem +=
                    "\n" + std::to_string(report.badLines) + (report.badLines == 1 ? " line" : " lines") +
                    " could not be read, the first is line " + std::to_string(report.firstBadLine) + ".";
            if (report.truncated)
                problem += "\nIt ends before its last line: the file is cut short.";
            if (report.trailing)
                problem += "\nIt has text after its last line.";
            loaded = "Tindrel starts with the part of the configuration that could be read.";
        } else {
            m_state = LoadState::Loaded;
        }
    }
    int ignored = 0;
    file.Close(ignored);
    // What the file holds as far as it was read: a file not loaded whole is written anew
    // from it at the next flush, once it has been kept aside.
    m_base = TreeOf(*this);
    m_onDisk = m_base;
    m_diskStamp = stamp;
    if (m_state != LoadState::Unreadable && size <= kMaxFileSize)
        m_diskText = text;

    if (m_state == LoadState::Loaded) {
        m_savedChanges = ChangeCount();
        return;
    }
    std::string kept = KeepAside();
    m_savedChanges = ChangeCount();
    // The file on disk no longer says what the tree holds: write it at the next flush.
    m_mustWrite = !m_protected;
    ShowMessage("The library configuration file\n" + m_path + "\n" + problem + "\n" + loaded + "\n" + kept,
                MsgButtons::Ok, MsgIcon::Exclamation);
}

std::string FileKeyStore::KeepAside() {
    const std::string base = m_path + ".damaged";
    std::string target;
    for (int n = 1; n <= 1000 && target.empty(); ++n) {
        std::string candidate = n == 1 ? base : base + "." + std::to_string(n);
        if (!fileio::FileExists(candidate))
            target = candidate;
    }
    if (target.empty()) {
        m_protected = true;
        return "No copy of it could be kept (too many copies exist already), so Tindrel will not overwrite "
               "it.";
    }
    int cause = 0;
    if (fileio::CopyFile(m_path, target, cause)) {
        m_keptCopy = target;
        return "A copy of the file was kept as\n" + target;
    }
    // An unreadable file cannot be copied, but it can be moved out of the way.
    int moveCause = 0;
    if (fileio::RenameFile(m_path, target, moveCause)) {
        m_keptCopy = target;
        return "The file was moved to\n" + target;
    }
    m_protected = true;
    return "No copy of it could be kept (" + std::string(fileio::CauseText(cause)) +
           "), so Tindrel will not overwrite it.";
}

FileKeyStore::Tree FileKeyStore::TreeOf(const MemoryKeyStore& store) {
    Tree tree;
    store.Visit([&tree](const KeyPath& path, const std::map<std::string, Value>& values) {
        tree.emplace(path, values);
    });
    return tree;
}

namespace {

bool IsBelow(const KeyPath& path, const KeyPath& branch) {
    return path.size() >= branch.size() && std::equal(branch.begin(), branch.end(), path.begin());
}

// A key and every key below it; those follow it in the tree's order.
template <typename Tree> void EraseBranch(Tree& tree, const KeyPath& branch) {
    for (auto it = tree.lower_bound(branch); it != tree.end() && IsBelow(it->first, branch);)
        it = tree.erase(it);
}

template <typename Tree> void CopyBranch(const Tree& from, Tree& to, const KeyPath& branch) {
    for (auto it = from.lower_bound(branch); it != from.end() && IsBelow(it->first, branch); ++it)
        to[it->first] = it->second;
}

} // namespace

void FileKeyStore::ApplyChanges(const Tree& before, const Tree& now, Tree& onDisk) {
    // Keys this process deleted go, with whatever others put below them meanwhile.
    for (const auto& [path, values] : before) {
        if (!now.count(path))
            EraseBranch(onDisk, path);
    }
    for (const auto& [path, values] : now) {
        const auto was = before.find(path);
        if (was != before.end() && was->second == values)
            continue;
        // Changed here but deleted by another process: the key comes back as this process
        // has it, whole (a category's key keeps its file name), from the highest key gone.
        for (size_t depth = 1; depth <= path.size(); ++depth) {
            const KeyPath upper(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(depth));
            if (!onDisk.count(upper)) {
                CopyBranch(now, onDisk, upper);
                break;
            }
        }
        std::map<std::string, Value>& into = onDisk[path];
        for (const auto& [name, value] : values) {
            if (was == before.end())
                into[name] = value;
            else if (auto old = was->second.find(name); old == was->second.end() || !(old->second == value))
                into[name] = value;
        }
        if (was != before.end()) {
            for (const auto& [name, value] : was->second) {
                if (!values.count(name))
                    into.erase(name);
            }
        }
    }
}

bool FileKeyStore::ReadCurrent(Tree& onDisk, std::string& error) {
    const fileio::FileStamp stamp = fileio::StampOf(m_path);
    if (!stamp.exists) {
        onDisk = Tree{{KeyPath(), {}}};
        return true;
    }
    if (stamp == m_diskStamp) {
        onDisk = m_onDisk;
        return true;
    }
    fileio::File file;
    std::string text;
    std::uint64_t size = 0;
    int cause = 0;
    if (!file.OpenForRead(m_path, cause) || !file.Size(size, cause) ||
        (size <= kMaxFileSize && !file.ReadAll(text, cause))) {
        error = FileError(m_path, cause);
        return false;
    }
    int ignored = 0;
    file.Close(ignored);
    if (m_diskText && size <= kMaxFileSize && text == *m_diskText) {
        onDisk = m_onDisk;
        return true;
    }
    MemoryKeyStore current;
    const ParseReport report = size <= kMaxFileSize ? Parse(text, current) : ParseReport{true};
    if (report.foreign || report.version > kFormatVersion || report.Damaged()) {
        error =
            "File: " + m_path +
            "\nReason: it has been changed since Tindrel read it, and it cannot be read whole now, so it is "
            "not overwritten.";
        return false;
    }
    onDisk = TreeOf(current);
    return true;
}

bool FileKeyStore::Flush(std::string& error) {
    error.clear();
    if (ChangeCount() == m_savedChanges && !m_mustWrite)
        return true;
    if (m_protected) {
        error = "File: " + m_path +
                "\nReason: the damaged file could not be kept aside, so it is not overwritten.";
        return false;
    }
    // A save rebuilds keys with the same content: only a real change is written.
    Tree mine = TreeOf(*this);
    if (!m_mustWrite && mine == m_base) {
        m_savedChanges = ChangeCount();
        return true;
    }
    std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = FileError(m_path, fileio::CauseFromErrno(ec.value()));
            return false;
        }
    }
    // No other process writes the file between the read and the rename.
    fileio::FolderWriteLock lock;
    int cause = 0;
    if (!lock.Acquire(folder.empty() ? std::string(".") : folder.string(), kWriteLockWaitMs, cause)) {
        error = FileError(m_path, cause);
        return false;
    }
    Tree onDisk;
    if (!ReadCurrent(onDisk, error))
        return false;
    Tree merged = onDisk;
    ApplyChanges(m_base, mine, merged);
    std::optional<std::string> text;
    if (m_mustWrite || merged != onDisk) {
        MemoryKeyStore out;
        for (const auto& [path, values] : merged) {
            out.PutKey(path);
            for (const auto& [name, value] : values)
                out.PutValue(path, name, value);
        }
        text = Serialize(out);
        if (!fileio::WriteFileAtomically(m_path, *text, cause)) {
            error = FileError(m_path, cause);
            return false;
        }
    }
    m_savedChanges = ChangeCount();
    m_mustWrite = false;
    m_base = std::move(mine);
    if (text) {
        m_onDisk = std::move(merged);
        m_diskText = std::move(text);
        m_diskStamp = fileio::StampOf(m_path);
    }
    return true;
}
