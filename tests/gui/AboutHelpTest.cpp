// The About box with the version record, System Info, and the help launcher.
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

#include <gtest/gtest-spi.h>

#include "GuiTestSupport.h"
#include "app/AboutDlg.h"
#include "app/HelpLauncher.h"
#include "app/ProcessLauncher.h"
#include "app/VersionInfo.h"

namespace {

namespace fs = std::filesystem;

struct Started {
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const Started&) const = default;
};

// Records what would be started; the first `fail` attempts fail.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The built-in guide is written to the cache folder: keep it in the test's folder.
        const char* cache = std::getenv("XDG_CACHE_HOME");
        m_hadCache = cache != nullptr;
        if (cache)
            m_oldCache = cache;
        setenv("XDG_CACHE_HOME", (m_dir.Path() + "/cache").c_str(), 1);
        SetProgramStarter([this](const QString& program, const QStringList& args) {
            Started s{program.toStdString(), {}};
            for (const QString& a : args)
                s.arguments.push_back(a.toStdString());
            m_started.push_back(s);
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
        if (m_hadCache)
            setenv("XDG_CACHE_HOME", m_oldCache.c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
    }

    TempDir m_dir;
    RecordingMessenger m_messages;
    std::vector<Started> m_started;
    std::vector<std::string> m_opened;
    size_t m_failPrograms = 0;
    bool m_urlOpens = true;
    bool m_hadCache = false;
    std::string m_oldCache;
};

std::string SelfPath() {
    return fs::read_symlink("/proc/self/exe").string();
}

} // namespace

TEST(VersionInfoTest, ReadsTheRecordEmbeddedInTheProgram) {
    CVersionInfo v(SelfPath().c_str());
    EXPECT_EQ(v.m_strProductVersion, "1.0");
    EXPECT_EQ(v.m_strFileVersion, "1.0.198.133");
    EXPECT_EQ(v.m_strValue, "");
    EXPECT_EQ(VersionText(v.m_strProductVersion, v.m_strFileVersion), QStringLiteral("1.0   (1.0.198.133)"));
}

TEST(VersionInfoTest, StringTableValues) {
    const std::string self = SelfPath();
    auto value = [&](const char* block, const char* name) {
        return CVersionInfo(self.c_str(), block, name).m_strValue;
    };
    EXPECT_EQ(value("040904b0", "FileDescription"), "Tindrel  Application");
    EXPECT_EQ(value("040904b0", "FileVersion"), "1, 0, 198, 133");
    EXPECT_EQ(value("040904b0", "InternalName"), "Tindrel");
    EXPECT_EQ(value("040904b0", "OriginalFilename"), "tindrel");
    EXPECT_EQ(value("040904b0", "ProductName"), "Tindrel");
    EXPECT_EQ(value("040904b0", "ProductVersion"), "1, 0, 0, 0");
    EXPECT_EQ(value("040904b0", "CompanyName"), "Velmora Software");
    EXPECT_EQ(value("040904b0", "NoSuchValue"), "");
    EXPECT_EQ(value("04070000", "FileDescription"), "");
    // The numbers are read whether or not a value is asked for.
    EXPECT_EQ(CVersionInfo(self.c_str(), "040904b0", "NoSuchValue").m_strFileVersion, "1.0.198.133");
}

TEST(VersionInfoTest, FilesWithoutARecord) {
    TempDir dir;
    WriteFileBytes("tindrel", "#!/bin/sh\necho not the program\n");
    CVersionInfo text("tindrel");
    EXPECT_EQ(text.m_strFileVersion, "");
    EXPECT_EQ(text.m_strProductVersion, "");
    // An ELF file without the section.
    CVersionInfo other("/bin/sh");
    EXPECT_EQ(other.m_strFileVersion, "");
    CVersionInfo missing("/no/such/file");
    EXPECT_EQ(missing.m_strFileVersion, "");
    EXPECT_EQ(VersionText(missing.m_strProductVersion, missing.m_strFileVersion), QStringLiteral("   ()"));
}

TEST(VersionInfoTest, TheProgramIsLookedUpByItsFileName) {
    TempDir dir;
    // No "tindrel" beside this test program, in the current folder or along PATH.
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", "/usr/bin:/bin", 1);
    EXPECT_EQ(CVersionInfo::ResolveFile("tindrel"), "");
    {
        CAboutDlg about;
        EXPECT_EQ(about.m_strVersion, QStringLiteral("   ()"));
        EXPECT_EQ(Find<QLabel>(&about, "versionText")->text(), QStringLiteral("   ()"));
    }
    // A copy of a program that carries the record, under the program's file name.
    fs::copy_file(SelfPath(), dir.File("tindrel"));
    EXPECT_EQ(CVersionInfo::ResolveFile("tindrel"), dir.File("tindrel"));
    CAboutDlg about;
    EXPECT_EQ(about.m_strVersion, QStringLiteral("1.0   (1.0.198.133)"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tindrel"));
    EXPECT_EQ(Find<QPushButton>(&about, "systemInfoButton")->text(), QStringLiteral("System Info..."));
    EXPECT_EQ(Find<QPushButton>(&about, "okButton")->text(), QStringLiteral("OK"));
    std::vector<std::string> labels;
    for (QLabel* l : about.findChildren<QLabel*>())
        labels.push_back(l->text().toStdString());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Tindrel"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Version: "), labels.end());
    setenv("PATH", oldPath.c_str(), 1);
}

TEST(VersionInfoTest, TheBuiltProgramCarriesTheRecord) {
    const fs::path program = fs::path(SelfPath()).parent_path() / ".." / ".." / "app" / "tindrel";
    if (!fs::exists(program))
        GTEST_SKIP() << "the program is not built beside the tests";
    CVersionInfo v(program.string().c_str());
    EXPECT_EQ(v.m_strFileVersion, "1.0.198.133");
    EXPECT_EQ(v.m_strProductVersion, "1.0");
}

TEST_F(LaunchTest, SystemInfoStartsTheFirstProgramThatStarts) {
    CAboutDlg about;
    m_failPrograms = 2;
    Find<QPushButton>(&about, "systemInfoButton")->click();
    ASSERT_EQ(m_started.size(), 3u);
    EXPECT_EQ(m_started[0].program, "kinfocenter");
    EXPECT_TRUE(m_messages.shown.empty());
    // Every press starts one more.
    m_started.clear();
    m_failPrograms = 0;
    Find<QPushButton>(&about, "systemInfoButton")->click();
    Find<QPushButton>(&about, "systemInfoButton")->click();
    EXPECT_EQ(m_started.size(), 2u);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(LaunchTest, SystemInfoWithoutAnyProgram) {
    CAboutDlg about;
    m_failPrograms = 1000;
    Find<QPushButton>(&about, "systemInfoButton")->click();
    EXPECT_EQ(m_started.size(), CAboutDlg::SystemInfoPrograms().size());
    ASSERT_EQ(m_messages.shown.size(), 1u);
    // It names the programs tried.
    EXPECT_EQ(m_messages.shown[0].text, "Could not start a system information program.\n"
                                        "(Tried kinfocenter, hardinfo2, hardinfo, xfce4-about, "
                                        "mate-system-monitor or gnome-system-monitor.)\n\n"
                                        "Install one of them, for example the package hardinfo,\n"
                                        "and press System Info... again.");
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::Ok);
}

TEST_F(LaunchTest, HelpShowsTheGuideInTheViewer) {
    LaunchLibraryHelp(nullptr);
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(fs::path(m_opened[0]).filename(), "TindrelHelp.html");
    // The guide is a real page that names the commands and the files.
    const std::string guide = ReadFileBytes(m_opened[0]);
    for (const char* part : {"<title>Tindrel Help</title>", "Search", "Correct load errors", "Library Info",
                             "Tindrel.conf", "quorrincpp.txt", "nocando.txt"})
        EXPECT_NE(guide.find(part), std::string::npos) << part;
    EXPECT_TRUE(m_started.empty());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(LaunchTest, AGuideInTheLibraryFolderComesFirst) {
    WriteFileBytes("TindrelHelp.html", "<html>own</html>");
    EXPECT_NE(HtmlHelpLoader(nullptr, kHelpFile, 0, 0), 0u);
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], m_dir.File("TindrelHelp.html"));
}

TEST_F(LaunchTest, WithoutAViewerTheTextEditorOpensNocando) {
    m_urlOpens = false;
    LaunchLibraryHelp(nullptr);
    EXPECT_EQ(m_opened.size(), 1u);
    ASSERT_EQ(m_started.size(), 1u);
    EXPECT_EQ(m_started[0].arguments, (std::vector<std::string>{"nocando.txt"}));
    EXPECT_TRUE(m_messages.shown.empty());
    // No second attempt at the viewer in this run.
    LaunchLibraryHelp(nullptr);
    EXPECT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_started.size(), 2u);
    EXPECT_EQ(HtmlHelpLoader(nullptr, kHelpFile, 0, 0), 0u);
}

TEST_F(LaunchTest, AMissingGuideFallsBackWithoutGivingUpTheViewer) {
    EXPECT_EQ(HtmlHelpLoader(nullptr, "NoSuchGuide.html", 0, 0), 0u);
    EXPECT_TRUE(m_opened.empty());
    EXPECT_NE(HtmlHelpLoader(nullptr, kHelpFile, 0, 0), 0u);
}

TEST_F(LaunchTest, NeitherViewerNorEditor) {
    m_urlOpens = false;
    m_failPrograms = 1000;
    LaunchLibraryHelp(nullptr);
    EXPECT_EQ(m_started.size(), TextEditorPrograms().size());
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "Tindrel was unable to open its guide in a web browser (xdg-open)\n"
              "or \"nocando.txt\" in a text editor (gnome-text-editor, gedit, kate, "
              "kwrite, mousepad, pluma, xed, featherpad, leafpad or geany).\n"
              "You will need to manually view the file\n"
              "nocando.txt\n"
              "to view the Help information.");
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST(HelpFilesTest, NocandoShipsWithTheDemoLibrary) {
    const std::string text = ReadFileBytes(std::string(TINDREL_DEMO_DIR) + "/nocando.txt");
    EXPECT_NE(text.find("TindrelHelp.html"), std::string::npos);
    EXPECT_NE(text.find("Search"), std::string::npos);
}

TEST(LauncherTest, UnderTestAStartWithoutAHookFailsTheTestAndStartsNothing) {
    EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(StartProgram(QStringLiteral("true"), {})), "unexpected program start");
    EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(OpenUrl(QUrl(QStringLiteral("file:///tmp")))), "unexpected URL opened");
}
