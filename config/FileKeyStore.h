// The key store on Linux: the key tree of one user held in memory and kept in one
// text file, $XDG_CONFIG_HOME/Velmora Software/Tindrel/Tindrel.conf (else below
// ~/.config). Other processes keep the same file, so Flush does not write back the
// tree as this process holds it: under the folder's write lock it reads the file as it
// is now, applies what this process changed since its load or last write (keys added
// or deleted, values set or removed), and writes the result atomically (temporary
// file, sync, rename), so a crash leaves either the old or the new file.
//
// File format, version 1 (UTF-8 safe, one item per line, "\n" line ends):
//   TindrelConfig 1
//   # comment lines and blank lines are ignored
//   key "Software" "Velmora Software" "Tindrel" "CustomCats" "Tools"
//   value "FileName" string "quorrinTools.txt"
//   value "SaveTreeState" dword 1
//   end
// A key line gives the full path of a key (parents are implied); value lines
// belong to the key line above them. Names and texts are quoted; inside quotes
// \\ is a backslash, \" a quote and \xHH any byte. Bytes below 0x20, 0x7F and
// bytes that are not part of valid UTF-8 are always written as \xHH, so every
// name keeps its exact bytes. The "end" line tells a whole file from a cut one.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "base/FileLayer.h"
#include "config/MemoryKeyStore.h"

class FileKeyStore : public MemoryKeyStore {
public:
    static constexpr int kFormatVersion = 1;

    // What loading found.
    enum class LoadState {
        Missing,    // no file yet (first run): nothing loaded, nothing reported
        Loaded,     // read whole
        Damaged,    // cut or partly unreadable: what could be read was loaded
        Newer,      // written by a newer format version: nothing loaded
        Foreign,    // not a configuration file of this program: nothing loaded
        Unreadable, // could not be read at all: nothing loaded
    };

    // Loads DefaultPath().
    FileKeyStore();
    // Loads the given file. Problems are reported once through ShowMessage; the
    // file is then copied aside before anything can overwrite it.
    explicit FileKeyStore(std::string path);

    static std::string DefaultPath();
    const std::string& Path() const { return m_path; }
    LoadState State() const { return m_state; }
    // Where a damaged file was kept, or "" when none was kept.
    const std::string& KeptCopyPath() const { return m_keptCopy; }

    // Applies this process's changes to the file as it is now (see above); writes only
    // when that changes the file. A file changed since into one that cannot be read
    // whole is not overwritten.
    bool Flush(std::string& error) override;

    // The file's text for a tree, and the reading of one.
    static std::string Serialize(const MemoryKeyStore& store);
    struct ParseReport {
        bool foreign = false;   // the first line is not this program's header
        int version = 0;        // the format version of the header
        bool truncated = false; // no "end" line, or the last line is cut
        int badLines = 0;       // lines that could not be read
        int firstBadLine = 0;   // 1-based
        bool trailing = false;  // text after the "end" line
        bool Damaged() const { return truncated || badLines > 0 || trailing; }
    };
    // Adds what text holds to store. A newer or foreign header loads nothing.
    static ParseReport Parse(const std::string& text, MemoryKeyStore& store);
    // A name or text in quotes, escaped as above.
    static std::string Quote(const std::string& bytes);

private:
    // Every key (the root too) with its values.
    using Tree = std::map<KeyPath, std::map<std::string, Value>>;
    static Tree TreeOf(const MemoryKeyStore& store);
    // Adds to onDisk what changed from before to now.
    static void ApplyChanges(const Tree& before, const Tree& now, Tree& onDisk);
    // The tree the file holds now; false with the error when it cannot be told.
    bool ReadCurrent(Tree& onDisk, std::string& error);

    void Load();
    // Copies the file aside (moving it when it cannot be copied); returns the
    // sentence for the message.
    std::string KeepAside();

    std::string m_path;
    LoadState m_state = LoadState::Missing;
    std::string m_keptCopy;
    std::uint64_t m_savedChanges = 0;
    bool m_mustWrite = false; // the file on disk does not hold the tree
    bool m_protected = false; // a damaged file could not be kept aside: never overwrite it
    // This process's tree at the load or the last write: its changes are what differs.
    Tree m_base;
    // What the file held then (as far as it could be read), its bytes and its stamp: a
    // file still the same need not be read again.
    Tree m_onDisk;
    std::optional<std::string> m_diskText;
    fileio::FileStamp m_diskStamp;
};
