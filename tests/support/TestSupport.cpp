#include "TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "library/Category.h"

namespace {

MsgAnswer FirstAnswer(MsgButtons buttons) {
    if (buttons == MsgButtons::YesNoDefaultNo)
        return MsgAnswer::No;
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
}

// The messenger of a test that expects no message.
class FailingMessenger : public IMessenger {
public:
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
        ADD_FAILURE() << "unexpected message: " << text;
        return FirstAnswer(buttons);
    }
};

class NoMessagesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { SetMessenger(&m_failing); }
    void TearDown() override { SetMessenger(nullptr); }

private:
    FailingMessenger m_failing;
};

[[maybe_unused]] ::testing::Environment* const g_noMessages =
    ::testing::AddGlobalTestEnvironment(new NoMessagesEnvironment);

} // namespace

RecordingMessenger::RecordingMessenger(Unscripted unscripted)
    : m_unscripted(unscripted), m_previous(&Messenger()) {
    SetMessenger(this);
}

RecordingMessenger::~RecordingMessenger() {
    SetMessenger(m_previous);
}

MsgAnswer RecordingMessenger::Show(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    shown.push_back({text, buttons, icon});
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (m_unscripted == Unscripted::Fail)
        ADD_FAILURE() << "message without a scripted answer: " << text;
    return FirstAnswer(buttons);
}

std::vector<std::string> RecordingMessenger::Texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown)
        out.push_back(m.text);
    return out;
}

TempDir::TempDir(bool inMemory) {
    std::error_code ec;
    const bool shm =
        inMemory && std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
    std::string tmpl = ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
                        "tindrel-test-XXXXXX")
                           .string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
    m_oldCwd = std::filesystem::current_path().string();
    std::filesystem::current_path(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::current_path(m_oldCwd, ec);
    std::filesystem::remove_all(m_path, ec);
}

void SeamSink::OnDocumentMessage(const DocMessage& message) {
    ShowMessage(message.text, MsgButtons::Ok, message.icon);
}

CDocMessages& SeamMessages() {
    static SeamSink sink;
    static CDocMessages messages = [] {
        CDocMessages m;
        m.SetSink(&sink);
        return m;
    }();
    return messages;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

CSample MakeSample(const std::string& title, const std::string& category, const std::string& subcategory,
                   const std::string& keywords, const std::string& comments, const std::string& text) {
    CSample s;
    s.SetTitle(title);
    s.SetCategory(category);
    s.SetSubcategory(subcategory);
    s.SetKeywords(keywords);
    s.SetComments(comments);
    s.SetText(text);
    return s;
}

// Written here from the format's rules, not by the program's writer, so that a fault of
// the writer shows in every comparison with these bytes.
std::string FileBytes(const std::vector<CSample>& samples) {
    auto lines = [](const std::string& v) {
        std::string out;
        for (char c : v) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    };
    std::string b;
    for (const CSample& s : samples) {
        b += ">>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>\r\n";
        b += "***CATEGORY=" + s.GetCategory() + "\r\n";
        b += "***SUBCATEGORY=" + s.GetSubcategory() + "\r\n";
        b += "***TITLE=" + s.GetTitle() + "\r\n";
        b += "***KEYWORDS_BEGIN***\r\n" + s.GetKeywords() + "\r\n***KEYWORDS_END***\r\n";
        b += "***COMMENTS_BEGIN***\r\n" + lines(s.GetComments()) + "\r\n***COMMENTS_END***\r\n";
        b += "***TEXT_BEGIN***\r\n" + lines(s.GetText()) + "\r\n***TEXT_END***\r\n";
        b += "<<<<SAMPLE_END<<<<<<<<<<<<<<<<<<<<<<<<<\r\n";
    }
    return b;
}

std::string DataPath(const std::string& name) {
    return std::string(TINDREL_TEST_DATA) + "/" + name;
}

void ExpectFileEq(const std::string& actualBytes, const std::string& fixture, std::source_location where) {
    const std::string path = DataPath(fixture);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        WriteFileBytes(path + ".actual", actualBytes);
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
            << "no fixture " << path << "; the actual bytes are in " << path << ".actual";
        return;
    }
    const std::string expected = ReadFileBytes(path);
    if (expected == actualBytes) {
        std::filesystem::remove(path + ".actual", ec);
        return;
    }
    size_t at = 0;
    while (at < expected.size() && at < actualBytes.size() && expected[at] == actualBytes[at])
        ++at;
    WriteFileBytes(path + ".actual", actualBytes);
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "differs from fixture " << fixture << " at byte " << at << " (" << actualBytes.size() << " bytes, "
        << expected.size() << " expected)\n  expected: " << ::testing::PrintToString(expected.substr(at, 60))
        << "\n  actual:   " << ::testing::PrintToString(actualBytes.substr(at, 60))
        << "\nthe actual bytes are in " << path << ".actual";
}

void ExpectFileEq(const FileAt& actual, const std::string& fixture, std::source_location where) {
    ExpectFileEq(ReadFileBytes(actual.path), fixture, where);
}

KeyPath AppPath(std::initializer_list<std::string> rest) {
    KeyPath path{"Software", "Velmora Software", "Tindrel"};
    path.insert(path.end(), rest.begin(), rest.end());
    return path;
}

std::string DumpApp(const MemoryKeyStore& store) {
    const KeyPath app = AppPath();
    std::string out;
    store.Visit([&](const KeyPath& path, const std::map<std::string, MemoryKeyStore::Value>& values) {
        if (path.size() <= app.size() || !std::equal(app.begin(), app.end(), path.begin()))
            return;
        for (std::size_t i = app.size(); i < path.size(); ++i)
            out += (i == app.size() ? "" : " / ") + path[i];
        if (!values.empty()) {
            out += " {";
            for (const auto& [name, value] : values)
                out += " " + name + "=" +
                       (value.isDword ? std::to_string(value.number) : "'" + value.text + "'");
            out += " }";
        }
        out += "\n";
    });
    return out;
}
