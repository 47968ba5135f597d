// Shared helpers for the core tests: a messenger that records what would be shown
// and answers from a script, and a temporary working folder.
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

// Installs itself as the messenger for its lifetime.
class RecordingMessenger : public IMessenger {
public:
    RecordingMessenger();
    ~RecordingMessenger() override;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;

    // Answers given in order; when none is queued: Yes for questions, Ok otherwise.
    std::deque<MsgAnswer> answers;
    std::vector<ShownMessage> shown;

    std::vector<std::string> Texts() const;
    void Clear() { shown.clear(); }
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
