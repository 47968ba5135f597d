// The window on a library folder that is a git repository: what another copy pushed comes
// in at start and on File > Sync Now as an outside change, and the indicator tells.
#include <QLabel>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/SyncControl.h"
#include "base/ProcessRunner.h"
#include "library/LibrarySync.h"

namespace {

std::string Alpha() { return SampleFileBytes("C++", "General", "Alpha", "", "", "int a;\r\n"); }
std::string Beta() { return SampleFileBytes("C++", "General", "Beta", "", "", "int b;\r\n"); }
std::string Gamma() { return SampleFileBytes("C++", "General", "Gamma", "", "", "int c;\r\n"); }

class SyncWindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(proc::Run({"git", "init", "-q", "--bare", File("remote.git")}).Ok());
        WriteFileBytes(File("quorrincpp.txt"), Alpha());
        ASSERT_TRUE(librarysync::Init(m_dir->Path(), File("remote.git"), {}).ok);
        ASSERT_TRUE(librarysync::Clone(File("remote.git"), File("other"), {}).ok);
    }
    // The other copy changes its category file and syncs.
    void OtherCopyWrites(const std::string& bytes) {
        WriteFileBytes(File("other/quorrincpp.txt"), bytes);
        ASSERT_TRUE(librarysync::Sync(File("other"), {}).ok);
    }
    // Waits until the window's sync has run and none is under way.
    void WaitForSync() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Indicator()->isVisible() && !Frame()->Sync()->Running(); },
                                    60000));
    }
    QLabel* Indicator() { return Child<QLabel>("indicatorSync"); }

    EnvVar m_noGlobal{"GIT_CONFIG_GLOBAL", "/dev/null"};
};

} // namespace

TEST_F(SyncWindowTest, WhatAnotherCopyPushedComesInAtStartAndOnSyncNow) {
    OtherCopyWrites(Alpha() + Beta());
    Start();
    WaitForSync();
    EXPECT_NE(SampleItem("Beta"), nullptr);
    EXPECT_EQ(Indicator()->text(), QStringLiteral("In sync"));
    ASSERT_TRUE(CommandEnabled(cmd::kSyncNow));

    OtherCopyWrites(Alpha() + Beta() + Gamma());
    Run(cmd::kSyncNow);
    EXPECT_TRUE(Frame()->Sync()->Running());
    WaitForSync();
    EXPECT_NE(SampleItem("Gamma"), nullptr);
    EXPECT_TRUE(Child<QWidget>("outsideChangeBar")->isVisible());
    EXPECT_EQ(Indicator()->text(), QStringLiteral("In sync"));
}
