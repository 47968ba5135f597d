// What the window does so that nothing is lost: the end of a session, a last save that
// fails, a second window on the same library, changes other programs make; and the window
// coming back as it was left.
#include <csignal>
#include <filesystem>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/SessionEnd.h"
#include "base/FolderMarker.h"
#include "ui/CodeEditor.h"

namespace {

class WindowSafetyTest : public GuiTest {
protected:
    void WriteLibrary() {
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "old", "", "x\r\n"));
    }
    void EditKeywords(const char* text) {
        Select(SampleItem("Alpha"));
        Child<QLineEdit>("keywordsEdit")->setText(QString::fromLatin1(text));
    }
};

TEST_F(WindowSafetyTest, ASignalClosesTheWindowAsExitDoesWithoutQuestions) {
    WriteLibrary();
    Start();
    EditKeywords("edited");
    std::raise(SIGTERM); // through the program's own handler
    for (int i = 0; i < 50 && Frame() && Frame()->isVisible(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(Frame() == nullptr || !Frame()->isVisible());
    m_app->ExitInstance();
    m_app.reset();
    // The unsaved edit was stored and the configuration written; nobody was asked.
    EXPECT_NE(ReadFileBytes(File("quorrincpp.txt")).find("\r\nedited\r\n"), std::string::npos);
    EXPECT_NE(ReadConfig().find("\"Settings\""), std::string::npos);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(WindowSafetyTest, ASignalOrACloseWhileTheLibraryIsReadLosesNothing) {
    for (const bool bySignal : {true, false}) {
        SCOPED_TRACE(bySignal ? "signal" : "close");
        WriteLibrary();
        m_app = std::make_unique<CQuorrinApp>();
        ASSERT_TRUE(m_app->InitInstance());
        ASSERT_TRUE(m_app->IsLoading());
        if (bySignal) {
            std::raise(SIGINT);
            for (int i = 0; i < 50 && Frame()->isVisible(); ++i)
                QTest::qWait(10);
        } else {
            Frame()->close();
        }
        EXPECT_FALSE(Frame()->isVisible());
        m_app->ExitInstance();
        m_app.reset();
        EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), SampleFileBytes("C++", "General", "Alpha", "old", "", "x\r\n"));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST(SessionEndTest, CtrlCAgainEndsTheProgramOnlyOnceTheWriteUnderWayIsComplete) {
    TempDir dir;
    WriteFileBytes(dir.File("quorrincpp.txt"), "old");
    // The second Ctrl+C comes while the file is being written.
    EXPECT_EXIT(
        {
            CSessionEnd end([] {});
            fileio::SetFaultHook([](const fileio::FaultPoint& p, std::size_t&) {
                if (p.op == fileio::Op::Write) {
                    std::raise(SIGINT);
                    std::raise(SIGINT);
                }
                return static_cast<int>(fileio::kNone);
            });
            int cause = fileio::kNone;
            fileio::WriteFileAtomically("quorrincpp.txt", "new", cause);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_EQ(ReadFileBytes(dir.File("quorrincpp.txt")), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1); // no temporary file left
    // A session's end sends SIGTERM and SIGHUP: the close goes on.
    EXPECT_EXIT(
        {
            CSessionEnd end([] {});
            std::raise(SIGTERM);
            std::raise(SIGHUP);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(WindowSafetyTest, AFailedLastSaveLetsTheUserKeepTheWindow) {
    WriteLibrary();
    Start();
    EditKeywords("edited");
    Pump();
    // Every write fails now, as on a full disk.
    fileio::SetFaultHook([](const fileio::FaultPoint& p, std::size_t& landed) {
        landed = 0;
        return p.op == fileio::Op::Write ? static_cast<int>(fileio::kDiskFull) : static_cast<int>(fileio::kNone);
    });
    // Keep the edits; two saves fail (the form's commit and the last one), each telling
    // about the category file and the configuration; then: quit anyway? No.
    m_messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::No};
    Frame()->close();
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(m_messages.shown.back().buttons, MsgButtons::YesNoDefaultNo);
    // Space again: the next close writes everything.
    fileio::SetFaultHook(nullptr);
    Exit();
    EXPECT_NE(ReadFileBytes(File("quorrincpp.txt")).find("\r\nedited\r\n"), std::string::npos);
}

TEST_F(WindowSafetyTest, ASecondWindowOnTheLibraryIsToldAndOpensItReadOnlyOrNotAtAll) {
    WriteLibrary();
    CFolderMarker other;
    std::string holder;
    ASSERT_EQ(other.Take(m_dir->Path(), holder), CFolderMarker::Result::Taken);

    m_messages.answers = {MsgAnswer::No};
    m_app = std::make_unique<CQuorrinApp>();
    EXPECT_FALSE(m_app->InitInstance());
    EXPECT_NE(m_messages.shown.at(0).text.find("is open in another Tindrel window"), std::string::npos);
    m_app.reset();

    m_messages.answers = {MsgAnswer::Yes};
    Start();
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Tindrel (read-only)"));
    Select(SampleItem("Alpha"));
    EXPECT_TRUE(Child<QLineEdit>("keywordsEdit")->isReadOnly());
    EXPECT_FALSE(CommandEnabled(cmd::kInsert));
    EXPECT_FALSE(CommandEnabled(cmd::kDelete));
    Exit();
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), SampleFileBytes("C++", "General", "Alpha", "old", "", "x\r\n"));
}

TEST_F(WindowSafetyTest, TheWindowIsUpBeforeTheLibraryIsReadAndShowsItThen) {
    // A file that breaks off: its message is shown once the library is in the window.
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "x\r\n") + ">>>>SAMPLE_BEGIN");
    m_app = std::make_unique<CQuorrinApp>();
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(m_app->IsLoading());
    EXPECT_FALSE(CommandEnabled(cmd::kInsert)); // nothing reaches the library while it is read
    m_messages.answers = {MsgAnswer::Ok};
    for (int i = 0; i < 200 && m_app->IsLoading(); ++i)
        QTest::qWait(5);
    ASSERT_FALSE(m_app->IsLoading());
    EXPECT_NE(SampleItem("Alpha"), nullptr);
    EXPECT_TRUE(CommandEnabled(cmd::kInsert));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("not in proper sequence"), std::string::npos);
}

} // namespace

TEST_F(GuiTest, TheWindowFitsTheScreenAndComesBackAsTheUserLeftIt) {
    Start();
    // First start: 1000 x 700, or nine tenths of the screen's free area.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Frame()->size(), QSize(std::min(1000, available.width() * 9 / 10),
                                     std::min(700, available.height() * 9 / 10)));
    // It can be that small even on a 1280 x 900 screen at a scale factor of 2.
    EXPECT_LE(Frame()->minimumSizeHint().width(), 1280 / 2 * 9 / 10);
    EXPECT_LE(Frame()->minimumSizeHint().height(), 900 / 2 * 9 / 10);

    Frame()->resize(640, 470);
    Frame()->move(30, 20);
    Pump();
    auto* beside = Child<QSplitter>("treeSplitter");
    auto* below = Child<QSplitter>("textSplitter");
    beside->setSizes({200, beside->width() - 200 - beside->handleWidth()});
    below->setSizes({180, below->height() - 180 - below->handleWidth()});
    const QList<int> besideSizes = beside->sizes();
    const QList<int> belowSizes = below->sizes();
    Child<CCodeEditor>("textEdit")->SetZoomLevel(3);
    Frame()->Action(cmd::kShowWhiteSpace)->setChecked(true);
    Child<QCheckBox>("treeFilterInText")->setChecked(true);
    Exit();
    EXPECT_NE(ReadConfig().find("\"AutoSaveOnSwitch\""), std::string::npos); // the options stay

    Start();
    EXPECT_EQ(Frame()->size(), QSize(640, 470));
    EXPECT_EQ(Frame()->pos(), QPoint(30, 20));
    EXPECT_EQ(Child<QSplitter>("treeSplitter")->sizes(), besideSizes);
    EXPECT_EQ(Child<QSplitter>("textSplitter")->sizes(), belowSizes);
    EXPECT_EQ(Child<CCodeEditor>("textEdit")->ZoomLevel(), 3);
    EXPECT_TRUE(Frame()->Action(cmd::kShowWhiteSpace)->isChecked());
    EXPECT_TRUE(Child<CCodeEditor>("textEdit")->IsWhitespaceShown());
    EXPECT_TRUE(Child<QCheckBox>("treeFilterInText")->isChecked());
}
