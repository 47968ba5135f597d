// The sample form: edits committed on a switch or a close, samples moved
// through the drop-downs, refused content, and every byte of the fields kept.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QStatusBar>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "config/LibraryConfig.h"
#include "ui/CodeEditor.h"

namespace {

const std::string kText = "int main() {\r\n    return 0;\r\n}\r\n";

std::string Alpha(const std::string& category = "C++", const std::string& sub = "General",
                  const std::string& keywords = "one, two", const std::string& text = kText) {
    return SampleFileBytes(category, sub, "Alpha", keywords, "First\r\nSecond\r\n", text);
}
std::string Beta(const std::string& keywords = "gui") {
    return SampleFileBytes("C++", "GUI", "Beta", keywords, "", "void f();\r\n");
}
std::string Gamma() { return SampleFileBytes("Java", "General", "Gamma", "", "", "class G {}\r\n"); }

class FormTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", Alpha() + Beta());
        WriteFileBytes("quorrinjava.txt", Gamma());
        Start();
    }
    QLineEdit* Keywords() { return Child<QLineEdit>("keywordsEdit"); }
    CCodeEditor* Text() { return Child<CCodeEditor>("textEdit"); }
    QComboBox* Category() { return Child<QComboBox>("categoryCombo"); }
    QComboBox* Subcategory() { return Child<QComboBox>("subcategoryCombo"); }
    std::string Cpp() { return ReadFileBytes(File("quorrincpp.txt")); }
    // Key presses carrying the characters at the end of the field, as a keyboard sends them.
    static void Type(QWidget* w, const char* utf8) {
        for (QChar c : QString::fromUtf8(utf8)) {
            const int key = c.unicode() < 0x80 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    void TypeAtEnd(QLineEdit* edit, const char* text) {
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        Type(edit, text);
    }
    void TypeAtEnd(CCodeEditor* edit, const char* text) {
        edit->SetCaretCharPosition(edit->PlainText().size());
        Type(edit, text);
    }
};

} // namespace

TEST_F(FormTest, EditsAreCommittedOnASwitchOrACloseOrDroppedWhenTheUserSaysNo) {
    struct Case {
        bool autoSave;
        std::deque<MsgAnswer> answers;
        bool kept;
        bool byClosing; // the window closed instead of another sample selected
    };
    for (const Case& c : {Case{true, {}, true, false}, Case{false, {MsgAnswer::Yes}, true, false},
                          Case{false, {MsgAnswer::No}, false, false}, Case{true, {MsgAnswer::Yes}, true, true},
                          Case{true, {MsgAnswer::No}, false, true}}) {
        SCOPED_TRACE(testing::Message() << c.autoSave << c.answers.size() << c.kept << c.byClosing);
        StartWithLibrary();
        App().Config().m_bAutoSaveOnSwitch = c.autoSave;
        Select(SampleItem("Alpha"));
        TypeAtEnd(Keywords(), ", three");
        EXPECT_TRUE(CommandEnabled(cmd::kFileSave));
        EXPECT_EQ(Cpp(), Alpha() + Beta()); // nothing written before the switch
        m_messages.answers = c.answers;
        if (!c.byClosing) {
            Select(SampleItem("Beta"));
            EXPECT_EQ(Tree()->currentItem(), SampleItem("Beta"));
            EXPECT_FALSE(Form()->IsFormModified());
            // Neither a later save nor the exit brings dropped edits back.
            Frame()->Action(cmd::kFileSave)->trigger();
        }
        Exit();
        EXPECT_EQ(m_messages.shown.size(), c.answers.size());
        EXPECT_EQ(Cpp(), (c.kept ? Alpha("C++", "General", "one, two, three") : Alpha()) + Beta());
        EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Gamma()); // an unchanged category is not written
        m_messages.Clear();
    }
}

TEST_F(FormTest, EditsMadeBeforeThePostedCommitRunsAreKeptForTheNextSample) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("alpha edit"));
    // Select without running the posted commit, then type into the next sample at once.
    Tree()->setCurrentItem(SampleItem("Beta"));
    TypeAtEnd(Keywords(), ", typed");
    Pump();
    EXPECT_EQ(Cpp(), Alpha("C++", "General", "alpha edit") + Beta());
    EXPECT_TRUE(Form()->IsFormModified());
    Select(SampleItem("Gamma"));
    EXPECT_EQ(Cpp(), Alpha("C++", "General", "alpha edit") + Beta("gui, typed"));
}

TEST_F(FormTest, TheDropDownsMoveTheSampleWithItsEditsAndKeepItSelected) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("moved"));
    Choose(Subcategory(), "GUI");
    EXPECT_EQ(SampleItem("Alpha")->parent(), SubcategoryItem("C++", "GUI"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    EXPECT_EQ(Cpp(), Alpha("C++", "GUI", "moved") + Beta());
    EXPECT_FALSE(Form()->IsFormModified());
    // Java has a GUI sub-category too: no question.
    Choose(Category(), "Java");
    EXPECT_EQ(SampleItem("Alpha")->parent(), SubcategoryItem("Java", "GUI"));
    EXPECT_EQ(Cpp(), Beta());
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Alpha("Java", "GUI", "moved") + Gamma());
    Choose(Subcategory(), " (none assigned) ");
    EXPECT_EQ(SampleItem("Alpha")->parent(), CategoryItem("Java"));
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Alpha("Java", "", "moved") + Gamma());
}

TEST_F(FormTest, ContentTheFileCannotHoldIsRefusedAndTheSampleStaysSelected) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("broken\nkeyword"));
    // Refused by the switch, by Save and by a move through the drop-downs alike.
    m_messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok};
    Select(SampleItem("Beta"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    Frame()->Action(cmd::kFileSave)->trigger();
    Choose(Category(), "Java");
    EXPECT_EQ(m_messages.shown.size(), 3u);
    EXPECT_EQ(m_messages.shown.at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(ComboCurrent(Category()), "C++");
    EXPECT_TRUE(Form()->IsFormModified());
    EXPECT_EQ(Cpp(), Alpha() + Beta());
    Keywords()->setText(QStringLiteral("mended"));
    Select(SampleItem("Beta"));
    EXPECT_EQ(Cpp(), Alpha("C++", "General", "mended") + Beta());
}

TEST_F(FormTest, EveryByteOfTheFieldsIsKeptAndTypedTextTakesTheFieldsEncoding) {
    const std::string title = "Caf\xE9 menu";
    const std::string comments = "caf\xE9 \x80 \x81\x8D\x8F\x90\x9D \x93quoted\x94\r\n";
    const std::string text = "Print \"na\xEFve\"\r\n\r\nEnd\r\n";
    const std::string utf8 = "na\xC3\xAFve \xE2\x86\x92 \xE2\x9C\x93\r\n\xC2\xA0indented\r\n";
    auto vb = [&](const std::string& keywords, const std::string& t, const std::string& u) {
        return SampleFileBytes("Visual Basic", "General", title, keywords, comments, t) +
               SampleFileBytes("Visual Basic", "General", "Other", "", utf8, u);
    };
    WriteFileBytes("quorrinvb.txt", vb("caf\xE9", text, "x\r\n"));
    Start();
    ASSERT_NE(SampleItem(title), nullptr);
    EXPECT_EQ(SampleItem(title)->text(0), QString::fromUtf8("Caf\xC3\xA9 menu"));
    Select(SampleItem(title));
    EXPECT_TRUE(Child<QPlainTextEdit>("commentsEdit")->toPlainText().contains(QString::fromUtf8("\xE2\x80\x9Cquoted")));
    // Windows-1252 fields: typed text is written in Windows-1252.
    TypeAtEnd(Keywords(), ", cr\xC3\xA8me");
    TypeAtEnd(Text(), "\xE2\x82\xAC" "5");
    Select(SampleItem("Other"));
    // UTF-8 fields stay UTF-8.
    TypeAtEnd(Text(), "// \xC3\xBC");
    Select(SampleItem(title));
    EXPECT_EQ(ReadFileBytes(File("quorrinvb.txt")), vb("caf\xE9, cr\xE8me", text + "\x80" "5", "x\r\n// \xC3\xBC"));
}

TEST_F(FormTest, TextEditsAreTakenFromTheEditorWhenSavedOrMoved) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Text(), "// x");
    TypeAtEnd(Keywords(), ", k");
    // Until it is needed the pending sample holds the library's text, never a stale edit.
    EXPECT_EQ(Doc()->PendingSample().GetText(), kText);
    Run(cmd::kFileSave);
    EXPECT_EQ(Cpp(), Alpha("C++", "General", "one, two, k", kText + "// x") + Beta());
    // A rebuild of the tree (as after an outside change) keeps the text edit pending.
    TypeAtEnd(Text(), "z");
    Tree()->RebuildTree("Beta");
    Run(cmd::kFileSave);
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), kText + "// xz");
    // Moving the sample with a drop-down commits the text as the editor has it.
    Select(SampleItem("Alpha"));
    TypeAtEnd(Text(), "y");
    Choose(Category(), "Java");
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Alpha("Java", "General", "one, two, k", kText + "// xzy") + Gamma());
}

TEST_F(FormTest, TheTextIsShownInItsCategorysLanguageWhichACustomCategoryCanChoose) {
    WriteFileBytes("quorrincpp.txt", Alpha());
    WriteFileBytes("quorrinShell.txt", SampleFileBytes("Shell", "", "Backup", "", "", "tar czf b.tgz .\r\n"));
    WriteConfig(std::string(kAppKey) + "\"CustomCats\" \"Shell\"\nvalue \"FileName\" string \"quorrinShell.txt\"\n");
    Start();
    auto* language = Child<QComboBox>("languageCombo");
    Select(SampleItem("Alpha"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Cpp);
    EXPECT_FALSE(language->isEnabled()); // a default category's own
    // A custom category's guess from its name, changed by the user and kept at once.
    Select(SampleItem("Backup"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Shell);
    language->setCurrentIndex(0); // the list's first entry can be chosen too
    emit language->activated(0);
    EXPECT_EQ(Text()->Language(), AllSampleLanguages().front());
    language->setCurrentIndex(language->findData(QStringLiteral("python")));
    emit language->activated(language->currentIndex());
    EXPECT_EQ(Text()->Language(), SampleLanguage::Python);
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_NE(ReadConfig().find("value \"Language\" string \"python\"\n"), std::string::npos);
    Exit();
    Start();
    Select(SampleItem("Backup"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Python);
}

TEST_F(FormTest, CopySampleToClipboardLeavesTheSelectionAndCountsTheLines) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    Text()->setSelection(1, 4, 1, 10);
    Run(cmd::kCopySampleToClipboard);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("int main() {\n    return 0;\n}\n"));
    EXPECT_EQ(Text()->selectedText(), QStringLiteral("return"));
    EXPECT_EQ(Text()->CaretCharPosition(), 23);
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("Copied 3 lines"));
}

TEST_F(FormTest, ATextWithoutIndentationIsIndentedAsMostOfItsCategory) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Flat", "", "", "f();\r\n") +
                                         SampleFileBytes("C++", "General", "Tabbed", "", "", "{\r\n\tg();\r\n}\r\n"));
    Start();
    Select(SampleItem("Flat"));
    Text()->selectAll();
    QTest::keyClick(Text(), Qt::Key_Tab);
    EXPECT_EQ(Text()->PlainText(), QStringLiteral("\tf();\n"));
}
