// The quick-pick window: typed words find the samples best first, Enter puts the
// chosen sample's text on the clipboard and closes the window, Escape closes it.
#include <filesystem>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/PickWindow.h"
#include "config/MemoryKeyStore.h"
#include "support/TestSupport.h"

namespace {

TEST(PickWindow, EnterPutsTheTextOnTheClipboardAndCloses) {
    TempDir dir;
    WriteFileBytes(dir.File("quorrincpp.txt"),
                   FileBytes({MakeSample("Thread pool", "C++", "General", "socket", "", "pool();\r\nrun();\r\n"),
                              MakeSample("Socket thread", "C++", "General", "", "", "socket();\r\n"),
                              MakeSample("Timer", "C++", "General", "", "", "tick();\r\n")}));
    MemoryKeyStore store;
    CPickWindow window(store);
    ASSERT_TRUE(window.Open(dir.Path()));
    window.show();
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("pickField"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("pickList"));
    ASSERT_TRUE(field && list);
    QTest::keyClicks(field, QStringLiteral("thread SOCK"));
    // Both words in the title first, one of them a keyword after.
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Socket thread"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Thread pool"));

    QSignalSpy copied(&window, &CPickWindow::Copied);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(copied.count(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("pool();\nrun();\n"));
    EXPECT_FALSE(window.isVisible());
    // Writes nothing into the library folder.
    EXPECT_FALSE(std::filesystem::exists(dir.File("library.txt")));
}

TEST(PickWindow, EscapeClosesWithoutCopying) {
    TempDir dir;
    MemoryKeyStore store;
    CPickWindow window(store);
    ASSERT_TRUE(window.Open(dir.Path()));
    window.show();
    QSignalSpy cancelled(&window, &CPickWindow::Cancelled);
    QSignalSpy copied(&window, &CPickWindow::Copied);
    QTest::keyClick(window.findChild<QLineEdit*>(QStringLiteral("pickField")), Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(copied.count(), 0);
    EXPECT_FALSE(window.isVisible());
}

TEST(PickWindow, ShiftEnterClosesItAndAsksForTheSampleInTheMainWindow) {
    TempDir dir;
    WriteFileBytes(dir.File("quorrincpp.txt"), FileBytes({MakeSample("Timer", "C++", "General", "", "", "t();\r\n")}));
    MemoryKeyStore store;
    CPickWindow window(store);
    ASSERT_TRUE(window.Open(dir.Path()));
    window.show();
    std::vector<std::string> asked;
    QObject::connect(&window, &CPickWindow::ShowAsked, [&asked](const std::string& title) { asked.push_back(title); });
    QSignalSpy copied(&window, &CPickWindow::Copied);
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("pickField"));
    QTest::keyClicks(field, QStringLiteral("tim"));
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(asked, std::vector<std::string>{"Timer"});
    EXPECT_EQ(copied.count(), 0);
    EXPECT_FALSE(window.isVisible());
}

TEST(PickWindow, TheCommandLineAsksForIt) {
    const CommandLine line = ParseCommandLine({"--pick", "--library"});
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_TRUE(line.pick);
    EXPECT_EQ(line.library.place, LibraryPlace::UserLibrary);
    EXPECT_EQ(ParseCommandLine({"--pick", "--pick"}).action, CommandLine::Action::Error);
}

} // namespace
