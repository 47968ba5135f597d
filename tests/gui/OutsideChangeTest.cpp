// Changes other programs make to the library while the window is open: what the user is
// typing stays, the window's own saves start no round, and files of categories added
// later and changes no file-system notice reported are seen.
#include <QCoreApplication>
#include <QFileInfo>
#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "app/LibraryWatcher.h"
#include "ui/CodeEditor.h"

namespace {

const std::string kText = "int main();\r\n";

std::string Alpha(const std::string& keywords = "one", const std::string& text = kText) {
    return SampleFileBytes("C++", "General", "Alpha", keywords, "", text);
}
std::string Beta() { return SampleFileBytes("C++", "GUI", "Beta", "", "", "void f();\r\n"); }
std::string Gamma() { return SampleFileBytes("Java", "General", "Gamma", "", "", "class G {}\r\n"); }
std::string Delta(const std::string& category = "Java") {
    return SampleFileBytes(category, "", "Delta", "", "", "added();\r\n");
}

class OutsideChangeTest : public GuiTest {
protected:
    CCodeEditor* Text() { return Child<CCodeEditor>("textEdit"); }
    QLineEdit* Keywords() { return Child<QLineEdit>("keywordsEdit"); }
    // Key presses at the end of the field, as a keyboard sends them.
    template <class Edit> void TypeAtEnd(Edit* edit, const char* text) {
        if constexpr (std::is_same_v<Edit, CCodeEditor>)
            edit->SetCaretCharPosition(edit->PlainText().size());
        else
            edit->setCursorPosition(static_cast<int>(edit->text().size()));
        for (QChar c : QString::fromLatin1(text)) {
            QKeyEvent press(QEvent::KeyPress, int(c.toUpper().unicode()), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
    }
    // Another program replaces a file, as tindrel-cli add does.
    void ReplaceOutside(const std::string& name, const std::string& bytes) {
        WriteFileBytes(File(name + ".new"), bytes);
        ASSERT_EQ(std::rename(File(name + ".new").c_str(), File(name).c_str()), 0);
    }
    // The watcher's round, as it runs while the window is idle; whatever it tells the
    // user is answered.
    bool IdleRound() {
        RecordingMessenger answered;
        return App().Watcher()->CheckNow();
    }
};

} // namespace

TEST_F(OutsideChangeTest, TypedTextSurvivesTheReloadOfAnotherCategory) {
    WriteFileBytes("quorrincpp.txt", Alpha() + Beta());
    WriteFileBytes("quorrinjava.txt", Gamma());
    Start();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Text(), "// typed");
    TypeAtEnd(Keywords(), ", two");

    ReplaceOutside("quorrinjava.txt", Gamma() + Delta());
    ASSERT_TRUE(IdleRound());
    EXPECT_NE(SampleItem("Delta"), nullptr);
    EXPECT_TRUE(Child<QWidget>("outsideChangeBar")->isVisible());
    // Still selected and still as typed.
    EXPECT_EQ(Selected(), "Alpha");
    EXPECT_TRUE(Form()->IsFormModified());
    EXPECT_EQ(Keywords()->text(), QStringLiteral("one, two"));
    EXPECT_TRUE(Text()->PlainText().endsWith(QLatin1String("// typed")));

    // Moving on commits it.
    Select(SampleItem("Beta"));
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), kText + "// typed");
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("one, two", kText + "// typed") + Beta());
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Gamma() + Delta());
}

TEST_F(OutsideChangeTest, OwnSavesStartNoRoundAndAnUnreportedWriteIsSeenOnce) {
    WriteFileBytes("quorrincpp.txt", Alpha());
    Start();
    auto* poll = App().Watcher()->findChild<QTimer*>(QStringLiteral("libraryPoll"));
    ASSERT_NE(poll, nullptr);
    EXPECT_TRUE(poll->isActive());
    Select(SampleItem("Alpha"));
    TypeAtEnd(Keywords(), ", two");
    Run(cmd::kFileSave);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("one, two"));
    EXPECT_FALSE(App().Watcher()->CheckNow());

    // Written in place, as on a share whose file system reports nothing.
    WriteFileBytes(File("quorrincpp.txt"), Alpha("one, two") + Delta("C++"));
    EXPECT_TRUE(IdleRound());
    EXPECT_NE(SampleItem("Delta"), nullptr);
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave)); // nothing to write back
    // What the file brought is in the notice's tool tip.
    EXPECT_TRUE(Child<QLabel>("outsideChangeText")->toolTip().contains(QStringLiteral("1 sample added")));
    EXPECT_FALSE(App().Watcher()->CheckNow());
}

TEST_F(OutsideChangeTest, TheFileOfACategoryAddedLaterIsWatchedOnceAnotherProgramCreatesIt) {
    Start();
    ASSERT_TRUE(Doc()->AddCategory(std::make_unique<CCategory>("Rust")));
    EXPECT_FALSE(App().Watcher()->CheckNow()); // no file yet

    ReplaceOutside("quorrinRust.txt", Delta("Rust"));
    EXPECT_TRUE(IdleRound());
    EXPECT_NE(SampleItem("Delta"), nullptr);
    const QStringList watched = App().Watcher()->WatchedFiles();
    EXPECT_TRUE(std::any_of(watched.begin(), watched.end(), [](const QString& path) {
        return QFileInfo(path).fileName() == QLatin1String("quorrinRust.txt");
    })) << watched.join(QLatin1Char(' ')).toStdString();
}

TEST_F(OutsideChangeTest, TheNoticeNamesEveryCategoryChangedUntilItIsClosed) {
    Start();
    auto* bar = Child<QWidget>("outsideChangeBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible());
    View()->OnCategoriesChangedOutside({{"Java", ""}});
    View()->OnCategoriesChangedOutside({{"C++", ""}});
    EXPECT_TRUE(bar->isVisible());
    const QString both = QStringLiteral(
        "Another program changed the files of categories \"C++\", \"Java\"; the changes have been read in.");
    EXPECT_EQ(Child<QLabel>("outsideChangeText")->text(), both);
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), both);

    Click(Child<QAbstractButton>("outsideChangeClose"));
    EXPECT_FALSE(bar->isVisible());
    View()->OnCategoriesChangedOutside({{"Java", ""}});
    EXPECT_EQ(Child<QLabel>("outsideChangeText")->text(),
              QStringLiteral("Another program changed the files of category \"Java\"; the changes have been read in."));
}
