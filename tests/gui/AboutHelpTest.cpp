// The version record, and the chain of programs Library Help falls back along.
#include <QLabel>
#include <QUrl>
#include <filesystem>

#include "GuiTestSupport.h"
#include "app/AboutDlg.h"
#include "app/HelpLauncher.h"
#include "app/ProcessLauncher.h"
#include "app/VersionInfo.h"

namespace {

namespace fs = std::filesystem;

std::string SelfPath() { return fs::read_symlink("/proc/self/exe").string(); }

TEST(VersionInfoTest, TheRecordIsReadFromTheProgramAndFilesWithoutOneHaveNone) {
    CVersionInfo v(SelfPath().c_str());
    EXPECT_EQ(v.m_strProductVersion + " " + v.m_strFileVersion, "1.0 1.0.198.133");
    const std::string record = ReadVersionRecord(SelfPath());
    const struct {
        const char* query;
        std::string text; // empty: not found
    } cases[] = {{"\\StringFileInfo\\040904b0\\FileDescription", "Tindrel  Application"},
                 {"\\StringFileInfo\\040904b0\\CompanyName", "Velmora Software"},
                 {"\\StringFileInfo\\040904b0\\NoSuchValue", ""},
                 {"\\StringFileInfo\\04070000\\FileDescription", ""},
                 {"\\VarFileInfo\\040904b0\\FileDescription", ""},
                 {"\\StringFileInfo\\040904b0", ""}};
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(QueryVersionValue(record, c.query, nullptr, &text), !c.text.empty()) << c.query;
        EXPECT_EQ(text, c.text) << c.query;
    }
    // A script, an ELF file without the section, no file.
    TempDir dir;
    WriteFileBytes("script", "#!/bin/sh\n");
    for (const char* file : {"script", "/bin/sh", "/no/such/file"})
        EXPECT_EQ(CVersionInfo(file).m_strFileVersion, "") << file;
}

TEST(VersionInfoTest, TheAboutBoxShowsTheVersionOfTheProgramFoundByItsFileName) {
    TempDir dir;
    // No "tindrel" beside this test program, in the current folder or along PATH.
    EnvVar path("PATH", "/usr/bin:/bin");
    {
        CAboutDlg about;
        EXPECT_EQ(Find<QLabel>(&about, "versionText")->text(), QStringLiteral("   ()"));
    }
    fs::copy_file(SelfPath(), dir.File("tindrel")); // a program that carries the record
    CAboutDlg about;
    EXPECT_EQ(Find<QLabel>(&about, "versionText")->text(), QStringLiteral("1.0   (1.0.198.133)"));
}

// Records what would be started; the first `failPrograms` starts fail.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramStarter([this](const QString& program, const QStringList& args) {
            m_started.push_back(program.toStdString());
            m_arguments = args;
            return m_started.size() > m_failPrograms;
        });
        SetUrlOpener([this](const QUrl& url) {
            m_opened.push_back(url.toLocalFile().toStdString());
            return m_urlOpens;
        });
        ResetHtmlHelpLoader();
    }
    void TearDown() override {
        GuardLaunches();
        ResetHtmlHelpLoader();
    }

    TempDir m_dir;
    // The built-in guide is written to the cache folder: keep it in the test's folder.
    EnvVar m_cache{"XDG_CACHE_HOME", m_dir.Path() + "/cache"};
    RecordingMessenger m_messages{RecordingMessenger::Unscripted::Fail};
    std::vector<std::string> m_started;
    QStringList m_arguments;
    std::vector<std::string> m_opened;
    size_t m_failPrograms = 0;
    bool m_urlOpens = true;
};

TEST_F(LaunchTest, HelpShowsTheCurrentGuideInTheViewerTheLibrarysOwnFirst) {
    LaunchLibraryHelp(nullptr);
    ASSERT_EQ(m_opened.size(), 1u);
    const std::string guide = ReadFileBytes(m_opened[0]);
    EXPECT_NE(guide.find("<title>Tindrel Help</title>"), std::string::npos);
    // A guide an older program left in the cache is replaced.
    WriteFileBytes(m_opened[0], "<html>old</html>");
    LaunchLibraryHelp(nullptr);
    EXPECT_EQ(ReadFileBytes(m_opened.at(1)), guide);
    // A missing guide falls back without giving up the viewer.
    EXPECT_EQ(HtmlHelpLoader(nullptr, "NoSuchGuide.html", 0, 0), 0u);
    WriteFileBytes("TindrelHelp.html", "<html>own</html>");
    EXPECT_NE(HtmlHelpLoader(nullptr, kHelpFile, 0, 0), 0u);
    EXPECT_EQ(m_opened.back(), m_dir.File("TindrelHelp.html"));
    EXPECT_TRUE(m_started.empty());
}

} // namespace
