// The quick-pick window's Shift+Enter reaches the main window open on the library
// through its local socket: the sample is selected there, an unknown title is refused.
#include <QCoreApplication>
#include <QLineEdit>
#include <future>
#include <thread>

#include "GuiTestSupport.h"
#include "app/CommandLine.h"
#include "app/ShowChannel.h"

namespace {

class ShowChannelTest : public GuiTest {
protected:
    // Asks as the pick process does, from another thread, while the window answers.
    ShowAnswer Ask(const std::string& title) {
        std::promise<ShowAnswer> promise;
        std::future<ShowAnswer> answer = promise.get_future();
        std::thread asker([&] { promise.set_value(AskWindowToShow(App().LibraryFolder(), title)); });
        while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        asker.join();
        Pump();
        return answer.get();
    }
};

TEST_F(ShowChannelTest, TheWindowOnTheLibraryShowsTheSampleAsked) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "a();\r\n") +
                                         SampleFileBytes("C++", "GUI", "Beta", "", "", "b();\r\n"));
    Start();
    EXPECT_EQ(Ask("Beta"), ShowAnswer::Shown);
    EXPECT_EQ(Selected(), "Beta");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Beta"));
    EXPECT_EQ(Ask("Gamma"), ShowAnswer::NotFound);
    EXPECT_EQ(Selected(), "Beta");
    // Another library's window is not asked.
    EXPECT_EQ(AskWindowToShow(App().LibraryFolder() + "/other", "Beta", 200), ShowAnswer::NoWindow);
}

TEST_F(ShowChannelTest, TheCommandLineNamesTheSampleToShow) {
    const CommandLine line = ParseCommandLine({"/lib", "--show", "-odd title"});
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.showTitle, "-odd title");
    EXPECT_EQ(ParseCommandLine({"--show"}).action, CommandLine::Action::Error);
    EXPECT_EQ(ParseCommandLine({"--pick", "--show", "x"}).action, CommandLine::Action::Error);
}

} // namespace
