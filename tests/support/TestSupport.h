// Shared helpers for the tests: a messenger that records what would be shown and
// answers from a script, and a temporary working folder.
//
// Messages in tests: while no test messenger is installed, any message fails the test
// with its text. A test that expects messages installs a RecordingMessenger for its
// lifetime; it records every message and answers from its script. A strict one (the
// window tests' fixtures) also fails the test on a message that finds no scripted answer
// left, so every message such a test meets is one it has scripted.
#pragma once

#include <cstdlib>
#include <deque>
#include <initializer_list>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "config/MemoryKeyStore.h"
#include "library/DocMessages.h"
#include "library/Sample.h"
#include "support/Faults.h"

struct ShownMessage {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
};

// Installs itself as the messenger for its lifetime, then puts back the one before.
class RecordingMessenger : public IMessenger {
public:
    enum class Unscripted {
        Answer, // Yes for questions, Ok otherwise
        Fail,   // the test fails, naming the message; then answered as above
    };
    explicit RecordingMessenger(Unscripted unscripted = Unscripted::Answer);
    ~RecordingMessenger() override;
    RecordingMessenger(const RecordingMessenger&) = delete;
    RecordingMessenger& operator=(const RecordingMessenger&) = delete;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;

    // Answers given in order, one per message.
    std::deque<MsgAnswer> answers;
    std::vector<ShownMessage> shown;

    std::vector<std::string> Texts() const;
    void Clear() { shown.clear(); }

private:
    Unscripted m_unscripted;
    IMessenger* m_previous;
};

// Passes what a document or category has to say to the messenger in use, as the
// window and the command-line tool do.
class SeamSink : public IDocMessageSink {
public:
    void OnDocumentMessage(const DocMessage& message) override;
};
// Messages of categories that belong to no document, passed on the same way.
CDocMessages& SeamMessages();

// Makes a fresh folder, changes into it, and on destruction changes back and removes it.
// inMemory: in /dev/shm when there is one, where a sync costs nothing (for tests that
// save thousands of times).
class TempDir {
public:
    explicit TempDir(bool inMemory = false);
    ~TempDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    std::string m_oldCwd;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Sets an environment variable for its lifetime (unset with nullopt).
class EnvVar {
public:
    EnvVar(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~EnvVar() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A sample with the given fields (keywords as the comma-separated string).
CSample MakeSample(const std::string& title, const std::string& category = "Tools",
                   const std::string& subcategory = "General", const std::string& keywords = "",
                   const std::string& comments = "", const std::string& text = "");
// The bytes of a category file holding these samples, in the given order.
std::string FileBytes(const std::vector<CSample>& samples);

// --- Fixture files under tests/data ---
// The full path of a file under tests/data, e.g. DataPath("report/summary.txt").
std::string DataPath(const std::string& name);
// A file to compare by its bytes.
struct FileAt {
    std::string path;
};
// Fails the test (at the caller's line) unless actual holds exactly the bytes of the
// fixture under tests/data. On a mismatch the actual bytes are written beside the fixture
// as <fixture>.actual, so a deliberate change of a format is a copy of that file.
void ExpectFileEq(const std::string& actualBytes, const std::string& fixture,
                  std::source_location where = std::source_location::current());
void ExpectFileEq(const FileAt& actual, const std::string& fixture,
                  std::source_location where = std::source_location::current());

// --- The configuration's keys ---
// The path of a key below the application key.
KeyPath AppPath(std::initializer_list<std::string> rest = {});
// Every key below the application key, one line each, parents first: the path below the
// application key joined with " / ", then its values in braces.
std::string DumpApp(const MemoryKeyStore& store);
