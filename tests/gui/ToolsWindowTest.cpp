// The tool commands in the window: Correct load errors, printing, and text into and out
// of the library by the clipboard and by drops.
#include <QClipboard>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "browser/ClipboardAndDrop.h"
#include "ui/CodeEditor.h"

namespace {

std::unique_ptr<QMimeData> TextData(const std::string& bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/plain"), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
}

class ToolsWindowTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "list", "", "int a;\r\n") +
                                             SampleFileBytes("C++", "GUI", "Beta", "", "", "list\r\n"));
        Start();
    }
    CCodeEditor* TextEdit() { return Child<CCodeEditor>("textEdit"); }
    // Drags data over the view and drops it as a window system would; the drop's answer.
    bool DropOnView(const QMimeData* data, Qt::DropAction* enterAction = nullptr) {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(View(), &enter);
        if (enterAction)
            *enterAction = enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(View(), &drop);
        Pump();
        return drop.isAccepted();
    }
};

} // namespace

TEST_F(ToolsWindowTest, CorrectLoadErrorsFromTheMenuWritesTheSampleToItsPlace) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "Gone", "Lost", "", "", "x\r\n"));
    Start();
    ASSERT_TRUE(Doc()->AddCategory(std::make_unique<CCategory>("Misc")));
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* list = Find<QTreeWidget>(w, "loadErrorList");
        list->topLevelItem(0)->setSelected(true);
        emit list->itemClicked(list->topLevelItem(0), 1);
        Choose(Find<QComboBox>(w, "subcategoryCombo"), "GUI");
        // A category without sub-categories offers none and gives an empty one.
        Choose(Find<QComboBox>(w, "categoryCombo"), "Misc");
        EXPECT_EQ(Find<QComboBox>(w, "subcategoryCombo")->count(), 0);
        m_messages.answers = {MsgAnswer::Ok}; // "Sample has been corrected"
        Find<QPushButton>(w, "updateButton")->click();
        EXPECT_FALSE(Find<QPushButton>(w, "updateButton")->isEnabled()); // the last one
    });
    Run(cmd::kCorrectLoadErrors);
    EXPECT_EQ(Selected(), "Lost");
    EXPECT_EQ(SampleItem("Lost")->parent(), CategoryItem("Misc"));
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples"));
    EXPECT_FALSE(CommandEnabled(cmd::kCorrectLoadErrors));
    EXPECT_EQ(ReadFileBytes(File("quorrinMisc.txt")), SampleFileBytes("Misc", "", "Lost", "", "", "x\r\n"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), "");
}

TEST_F(ToolsWindowTest, PrintingTakesTheSampleAsTheFormShowsIt) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    // Unsaved lines in the editor make the sample long enough for several pages.
    TextEdit()->InsertPlainText(QString(QStringLiteral("line\n")).repeated(300));
    int pages = 0;
    const std::string out = File("printed.pdf");
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* p = qobject_cast<QPrintDialog*>(w);
        p->printer()->setOutputFormat(QPrinter::PdfFormat);
        p->printer()->setOutputFileName(QString::fromStdString(out));
        p->done(QDialog::Accepted); // OK as it is, without taking its fields into the printer
    });
    dialogs.Then([&](QWidget* w) { pages = Find<QPrintPreviewWidget>(w, "")->pageCount(); });
    Run(cmd::kFilePrint);
    EXPECT_EQ(ReadFileBytes(out).rfind("%PDF", 0), 0u);
    Run(cmd::kFilePrintPreview);
    EXPECT_GT(pages, 2);
}

TEST_F(ToolsWindowTest, CutCopyAndPasteFollowTheFocusAndPasteCutsAtAZeroByte) {
    StartWithLibrary();
    Frame()->activateWindow();
    Select(SampleItem("Alpha"));
    auto* title = Child<QLineEdit>("titleEdit");
    title->setFocus();
    title->selectAll();
    Run(cmd::kEditCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Alpha"));
    EXPECT_FALSE(CommandEnabled(cmd::kEditPaste)); // the title is read-only
    auto* keywords = Child<QLineEdit>("keywordsEdit");
    keywords->setFocus();
    keywords->end(false);
    EXPECT_FALSE(CommandEnabled(cmd::kEditCut)); // nothing selected
    QGuiApplication::clipboard()->setMimeData(TextData(std::string(", more\0hidden", 13)).release());
    Run(cmd::kEditPaste);
    EXPECT_EQ(keywords->text(), QStringLiteral("list, more"));
    EXPECT_TRUE(Form()->IsFormModified());
    // The code editor's own paste key takes the same rule; its selection enables Cut and Copy.
    TextEdit()->setFocus();
    TextEdit()->SetCaretCharPosition(0);
    QGuiApplication::clipboard()->setMimeData(TextData(std::string("x\r\ny\0z", 7)).release());
    EXPECT_FALSE(CommandEnabled(cmd::kEditCopy));
    QTest::keyClick(TextEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(TextEdit()->PlainText(), QStringLiteral("x\nyint a;\n"));
    TextEdit()->selectAll();
    EXPECT_TRUE(CommandEnabled(cmd::kEditCut));
    Tree()->setFocus();
    for (int id : {cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste})
        EXPECT_FALSE(CommandEnabled(id)) << id;
}

TEST_F(ToolsWindowTest, TextDroppedOnTheViewReplacesTheSamplesTextOrStartsTheWizard) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    // Files show the copy cursor and are not taken: no dialog comes up.
    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.cpp"))});
    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_TRUE(DropOnView(files.get(), &action));
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_FALSE(TextEdit()->acceptDrops()); // the fields hand drops to the view
    // Cancel: nothing changes, and the text waits for no wizard.
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "cancelButton")); });
    EXPECT_FALSE(DropOnView(TextData("ignored").get()));
    EXPECT_FALSE(App().WizardState().droppedTextPending);
    // Replace: the bytes up to the zero byte, with the library's line ends, on disk at once.
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "replaceButton")); });
    EXPECT_TRUE(DropOnView(TextData(std::string("dropped\ncaf\xE9\0tail", 17)).get()));
    EXPECT_EQ(TextEdit()->PlainText(), QString::fromUtf8("dropped\ncaf\xC3\xA9"));
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_NE(ReadFileBytes(File("quorrincpp.txt")).find("caf\xE9\r\n***TEXT_END***"), std::string::npos);
    // Create new: the wizard for the sample's place, with the text on page 3.
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "createNewButton")); });
    dialogs.Then(FinishWizard("From drop", ExpectPlace("C++/General"), nullptr));
    EXPECT_TRUE(DropOnView(TextData("new code\nline 2").get()));
    EXPECT_EQ(Doc()->PeekSample("From drop")->GetText(), "new code\r\nline 2");
    EXPECT_EQ(Selected(), "From drop");
    // On a category the wizard comes at once.
    Select(CategoryItem("Java"));
    dialogs.Then(FinishWizard("Java drop", ExpectPlace("Java/"), nullptr));
    EXPECT_TRUE(DropOnView(TextData("class X {}").get()));
    EXPECT_EQ(SampleItem("Java drop")->parent(), CategoryItem("Java"));
    EXPECT_EQ(Doc()->PeekSample("Java drop")->GetText(), "class X {}");
    m_messages.answers = {MsgAnswer::Ok}; // empty text is reported
    EXPECT_TRUE(DropOnView(TextData("").get()));
}

TEST(DropTextTest, PastesByKeyAndContextMenuGoThroughThePasteRule) {
    QLineEdit title;
    CPasteFilter titleFilter;
    titleFilter.Watch(&title);
    QGuiApplication::clipboard()->setText(QStringLiteral("First line\nsecond line"));
    QTest::keyClick(&title, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(title.text(), QStringLiteral("First line"));
    for (bool multiLine : {false, true}) {
        QLineEdit line;
        QPlainTextEdit text;
        CPasteFilter filter;
        filter.Watch(multiLine ? static_cast<QWidget*>(&text) : &line);
        QGuiApplication::clipboard()->setMimeData(TextData(std::string("abc\ndef\0ghi", 11)).release());
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* a : menu ? menu->actions() : QList<QAction*>())
                if (a->objectName() == QLatin1String("edit-paste") || a->text().startsWith(QLatin1String("&Paste")))
                    a->trigger();
            if (menu)
                menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(multiLine ? text.viewport() : static_cast<QWidget*>(&line), &event);
        EXPECT_EQ(multiLine ? text.toPlainText() : line.text(), multiLine ? "abc\ndef" : "abc");
    }
}
