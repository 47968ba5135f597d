// Shared helpers for the tests: a messenger that records what would be shown and
// answers from a script, and a temporary working folder.
//
// Messages in tests: while no test messenger is installed, any message fails the test
// with its text. A test that expects messages installs a RecordingMessenger for its
// lifetime; it records every message and answers from its script. A strict one (the
// window tests' fixtures) also fails the test on a message that finds no scripted answer
// left, so every message such a test meets is one it has scripted.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "support/Faults.h"
#include "library/Sample.h"

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

// A sample with the given fields (keywords as the comma-separated string).
CSample MakeSample(const std::string& title, const std::string& category = "Tools",
                   const std::string& subcategory = "General", const std::string& keywords = "",
                   const std::string& comments = "", const std::string& text = "");
// The bytes of a category file holding these samples, in the given order.
std::string FileBytes(const std::vector<CSample>& samples);
