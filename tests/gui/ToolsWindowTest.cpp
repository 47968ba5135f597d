// The tool commands in the window: Search, Library Info, Correct load errors, About,
// Library Help, printing, Copy sample to clipboard, paste, and text dropped on the view.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUrl>

#include "EditTestSupport.h"
#include "GuiTestSupport.h"
#include "ui/CodeEditor.h"
#include <QTest>
#include "app/AboutDlg.h"
#include "app/Commands.h"
#include "app/HelpLauncher.h"
#include "app/ProcessLauncher.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/LoadErrorsDlg.h"
#include "tools/SearchDlg.h"

namespace {

class ToolsWindowTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes(
            "quorrincpp.txt",
            SampleFileBytes("C++", "General", "Alpha", "list", "", "int a; // list\r\nint b;\r\n") +
                SampleFileBytes("C++", "GUI", "Beta", "", "", "list list\r\n") +
                SampleFileBytes("C++", "General", "Gamma", "", "", "nothing\r\n"));
        WriteFileBytes("quorrinjava.txt",
                       SampleFileBytes("Java", "General", "Delta", "", "", "List<String> l;\r\n"));
        Start();
    }
    CCodeEditor* TextEdit() { return Child<CCodeEditor>("textEdit"); }
    std::string Selected() { return CSampleTree::ItemName(Tree()->currentItem()); }
    // The window's Search dialog once the Search command has made it.
    CSearchDlg* SearchDialog() { return Frame()->findChild<CSearchDlg*>(QStringLiteral("searchDialog")); }
    // A Search dialog like the window's, with a pump of the test's own.
    CSearchDlg* SearchDialogPumpedBy(std::function<void()> pump) {
        auto* dlg = new CSearchDlg([this] { return m_app ? Doc() : nullptr; }, std::move(pump), Frame());
        dlg->Create();
        dlg->show();
        return dlg;
    }
    static void SearchFor(CSearchDlg* dlg, const char* text) {
        Find<QLineEdit>(dlg, "searchTextEdit")->setText(QString::fromUtf8(text));
        Find<QPushButton>(dlg, "searchButton")->click();
    }
    static QTreeWidget* ResultList(CSearchDlg* dlg) { return Find<QTreeWidget>(dlg, "resultList"); }
    static QString Status(CSearchDlg* dlg) { return Find<QLabel>(dlg, "statusText")->text(); }
    std::vector<std::string> ResultTitles(CSearchDlg* dlg) {
        std::vector<std::string> t;
        for (int i = 0; i < ResultList(dlg)->topLevelItemCount(); ++i)
            t.push_back(ResultList(dlg)->topLevelItem(i)->text(0).toStdString());
        return t;
    }
    static std::unique_ptr<QMimeData> TextData(const std::string& bytes) {
        auto data = std::make_unique<QMimeData>();
        data->setData(QStringLiteral("text/plain"),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return data;
    }
    // Drags data over the view and drops it as a window system would; the drop's answer.
    bool DropOnView(const QMimeData* data, Qt::DropAction* enterAction = nullptr) {
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(View(), &enter);
        if (enterAction)
            *enterAction = enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(View(), &drop);
        Pump();
        return drop.isAccepted();
    }
    // The wizard: title, then page 3 checked, then Finish.
    static ModalScript WizardExpecting(const char* title, const QString& text, const std::string& category,
                                       const std::string& sub) {
        return [=](QWidget* w) {
            EXPECT_EQ(Find<QLabel>(w, "wizCategoryLabel")->text().toStdString(), category);
            EXPECT_EQ(Find<QLabel>(w, "wizSubcategoryLabel")->text().toStdString(), sub);
            TypeInto(Find<QLineEdit>(w, "wizTitleEdit"), QString::fromUtf8(title));
            Click(Find<QAbstractButton>(w, "nextButton"));
            Click(Find<QAbstractButton>(w, "nextButton"));
            EXPECT_EQ(Find<QPlainTextEdit>(w, "wizTextEdit")->toPlainText(), text);
            Click(Find<QAbstractButton>(w, "nextButton"));
            Click(Find<QAbstractButton>(w, "finishButton"));
        };
    }
};

} // namespace

// ---------------------------------------------------------------------------------
// Search

TEST_F(ToolsWindowTest, SearchIsEnabledWhileTheLibraryHoldsASample) {
    Start();
    EXPECT_FALSE(CommandEnabled(cmd::kSearch));
    Exit();
    StartWithLibrary();
    EXPECT_TRUE(CommandEnabled(cmd::kSearch));
    EXPECT_EQ(Frame()->Action(cmd::kSearch)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
}

TEST_F(ToolsWindowTest, SearchDialogIsCreatedOnceAndShownAgain) {
    StartWithLibrary();
    EXPECT_EQ(SearchDialog(), nullptr);
    Run(cmd::kSearch);
    CSearchDlg* dlg = SearchDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    SearchFor(dlg, "list");
    EXPECT_EQ(ResultTitles(dlg), (std::vector<std::string>{"Alpha", "Beta", "Delta"}));
    Find<QPushButton>(dlg, "closeButton")->click();
    EXPECT_FALSE(dlg->isVisible());
    Run(cmd::kSearch);
    EXPECT_EQ(Frame()->findChildren<CSearchDlg*>().size(), 1);
    EXPECT_EQ(SearchDialog(), dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(ResultTitles(dlg), (std::vector<std::string>{"Alpha", "Beta", "Delta"}));
    EXPECT_EQ(Status(dlg), QStringLiteral("Found 5 occurrence(s) in 3 sample(s)"));
}

TEST_F(ToolsWindowTest, DoubleClickOrEnterOnAResultShowsTheSample) {
    StartWithLibrary();
    Run(cmd::kSearch);
    CSearchDlg* dlg = SearchDialog();
    ASSERT_NE(dlg, nullptr);
    SearchFor(dlg, "list");
    QTreeWidgetItem* row = ResultList(dlg)->topLevelItem(2);
    row->setSelected(true);
    emit ResultList(dlg)->itemDoubleClicked(row, 0);
    Pump();
    EXPECT_EQ(Selected(), "Delta");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Delta"));
    EXPECT_EQ(TextEdit()->PlainText(), QStringLiteral("List<String> l;\n"));

    // Enter in the result list shows the current row's sample; it does not search again
    // (for the text typed since, which finds nothing).
    Find<QLineEdit>(dlg, "searchTextEdit")->setText(QStringLiteral("no such text"));
    ResultList(dlg)->setFocus();
    ResultList(dlg)->setCurrentItem(ResultList(dlg)->topLevelItem(0));
    QTest::keyClick(ResultList(dlg), Qt::Key_Return);
    Pump();
    EXPECT_EQ(Selected(), "Alpha");
    EXPECT_EQ(ResultTitles(dlg), (std::vector<std::string>{"Alpha", "Beta", "Delta"}));
}

TEST_F(ToolsWindowTest, DeleteAndLibraryInfoFromInsideARunningSearch) {
    StartWithLibrary();
    std::string report;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* info = qobject_cast<CLibraryInfoDlg*>(w);
        ASSERT_NE(info, nullptr);
        report = info->m_strReport;
        info->accept();
    });
    int pumps = 0;
    CSearchDlg* dlg = SearchDialogPumpedBy([&] {
        ++pumps;
        App().PumpPendingMessages();
        if (pumps == 1) {
            // While Alpha is examined, the user deletes Beta in the window.
            Select(SampleItem("Beta"));
            m_messages.answers = {MsgAnswer::Yes};
            Run(cmd::kDelete);
        } else if (pumps == 2) {
            Run(cmd::kLibraryInfo);
        }
    });
    SearchFor(dlg, "list");
    EXPECT_EQ(Doc()->PeekSample("Beta"), nullptr);
    EXPECT_EQ(ResultTitles(dlg), (std::vector<std::string>{"Alpha", "Delta"}));
    EXPECT_EQ(Status(dlg), QStringLiteral("Found 3 occurrence(s) in 2 sample(s)"));
    EXPECT_NE(report.find("total of 3 sample(s)"), std::string::npos) << report;
    // The program goes on.
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(SampleItem("Beta"), nullptr);
    Select(SampleItem("Gamma"));
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Gamma"));
}

TEST_F(ToolsWindowTest, ClosingTheProgramDuringASearch) {
    StartWithLibrary();
    int pumps = 0;
    CSearchDlg* dlg = SearchDialogPumpedBy([&] {
        if (++pumps == 2)
            Frame()->close();
        QCoreApplication::processEvents();
    });
    SearchFor(dlg, "list");
    EXPECT_EQ(pumps, 2);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(View()->Document(), nullptr);
    EXPECT_EQ(Status(dlg), QStringLiteral("Searched stopped before it could complete"));
}

// ---------------------------------------------------------------------------------
// Library Info, Correct load errors, About, Library Help

TEST_F(ToolsWindowTest, LibraryInfoRunsForTheDocument) {
    StartWithLibrary();
    EXPECT_TRUE(CommandEnabled(cmd::kLibraryInfo));
    std::vector<std::string> reports;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* info = qobject_cast<CLibraryInfoDlg*>(w);
        ASSERT_NE(info, nullptr);
        reports.push_back(info->m_strReport);
        Find<QRadioButton>(w, "detailRadio")->click();
        reports.push_back(info->m_strReport);
        info->accept();
    });
    Run(cmd::kLibraryInfo);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "Library contains 3 categories with a total of 4 sample(s).\r\n\r\n"
                          "Category statistics:\r\n\r\n"
                          "\tName: C++\tSample count: 3\r\n"
                          "\tName: Java\tSample count: 1\r\n"
                          "\tName: Visual Basic\tSample count: 0\r\n");
    EXPECT_NE(reports[1].find("\t3. Title: Gamma\r\n\t\tSub-category: General\r\n\r\n"), std::string::npos);
}

TEST_F(ToolsWindowTest, CorrectLoadErrorsFromTheMenu) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "Gone", "Lost", "", "", "x\r\n"));
    Start();
    ASSERT_EQ(App().GetLoadErrorCount(), 1);
    EXPECT_TRUE(CommandEnabled(cmd::kCorrectLoadErrors));
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples (*Load errors exist*)"));
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        ASSERT_NE(qobject_cast<CLoadErrorsDlg*>(w), nullptr);
        auto* list = Find<QTreeWidget>(w, "loadErrorList");
        QTreeWidgetItem* row = list->topLevelItem(0);
        row->setSelected(true);
        emit list->itemClicked(row, 1);
        Choose(Find<QComboBox>(w, "subcategoryCombo"), "GUI");
        m_messages.answers = {MsgAnswer::Ok};
        Find<QPushButton>(w, "updateButton")->click();
        Find<QPushButton>(w, "doneButton")->click();
    });
    Run(cmd::kCorrectLoadErrors);
    EXPECT_EQ(m_messages.Texts().back(), "Sample has been corrected");
    // The tree shows the sample, selected; the root text is back; the command is off.
    EXPECT_EQ(Selected(), "Lost");
    EXPECT_EQ(SampleItem("Lost")->parent(), SubcategoryItem("C++", "GUI"));
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples"));
    EXPECT_FALSE(CommandEnabled(cmd::kCorrectLoadErrors));
    // On disk at once, and gone from the file it was read from.
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
}

TEST_F(ToolsWindowTest, AboutFromTheToolbarAndMenu) {
    Start();
    EXPECT_TRUE(CommandEnabled(cmd::kAppAbout));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        EXPECT_NE(qobject_cast<CAboutDlg*>(w), nullptr);
        Click(Find<QPushButton>(w, "okButton"));
    });
    Run(cmd::kAppAbout);
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"aboutDialog"}));
}

TEST_F(ToolsWindowTest, LibraryHelpOpensTheGuide) {
    Start();
    setenv("XDG_CACHE_HOME", (m_dir->Path() + "/cache").c_str(), 1);
    EXPECT_TRUE(CommandEnabled(cmd::kLibraryHelp));
    std::vector<std::string> opened;
    SetUrlOpener([&](const QUrl& url) {
        opened.push_back(url.fileName().toStdString());
        return true;
    });
    Run(cmd::kLibraryHelp);
    GuardLaunches();
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(opened, (std::vector<std::string>{"TindrelHelp.html"}));
    EXPECT_TRUE(m_messages.shown.empty());
}

// ---------------------------------------------------------------------------------
// Printing

TEST_F(ToolsWindowTest, PrintAndPreviewGoThroughTheirDialogs) {
    StartWithLibrary();
    EXPECT_TRUE(CommandEnabled(cmd::kFilePrint));
    EXPECT_TRUE(CommandEnabled(cmd::kFilePrintPreview));
    EXPECT_EQ(Frame()->Action(cmd::kFilePrint)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    std::vector<std::string> ran;
    const ModalScript cancel = [&](QWidget* w) {
        ran.push_back(w->metaObject()->className());
        static_cast<QDialog*>(w)->reject();
    };
    DialogScripts dialogs;
    dialogs.Then(cancel).Then(cancel);
    Select(SampleItem("Alpha"));
    Run(cmd::kFilePrint);
    Run(cmd::kFilePrintPreview);
    EXPECT_EQ(ran, (std::vector<std::string>{"QPrintDialog", "QPrintPreviewDialog"}));
}

// ---------------------------------------------------------------------------------
// Clipboard

TEST_F(ToolsWindowTest, CopySampleToClipboardNeedsASample) {
    StartWithLibrary();
    EXPECT_FALSE(CommandEnabled(cmd::kCopySampleToClipboard)); // the root
    Select(CategoryItem("C++"));
    EXPECT_FALSE(CommandEnabled(cmd::kCopySampleToClipboard));
    Select(SampleItem("Alpha"));
    EXPECT_TRUE(CommandEnabled(cmd::kCopySampleToClipboard));
    // Unsaved edits are copied as shown.
    TextEdit()->SetCaretCharPosition(TextEdit()->PlainText().size());
    TextEdit()->InsertPlainText(QStringLiteral("\nedited"));
    Run(cmd::kCopySampleToClipboard);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("int a; // list\nint b;\n\nedited"));
    EXPECT_EQ(TextEdit()->CaretCharPosition(), TextEdit()->PlainText().size());
    EXPECT_FALSE(TextEdit()->hasSelectedText());
}

TEST_F(ToolsWindowTest, CopySampleToClipboardLeavesTheCaretAt65535) {
    std::string text;
    while (text.size() < 70000)
        text += "0123456789abcdefghijklmnopqrstuvwxyz\r\n";
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Long", "", "", text));
    Start();
    Select(SampleItem("Long"));
    Run(cmd::kCopySampleToClipboard);
    EXPECT_EQ(QGuiApplication::clipboard()->text().size(), TextEdit()->PlainText().size());
    EXPECT_GT(TextEdit()->PlainText().size(), 65535);
    EXPECT_EQ(TextEdit()->CaretCharPosition(), 65535);
}

TEST_F(ToolsWindowTest, PasteCommandCutsAtAZeroByte) {
    StartWithLibrary();
    Frame()->activateWindow();
    Select(SampleItem("Alpha"));
    auto* keywords = Child<QLineEdit>("keywordsEdit");
    keywords->setFocus();
    keywords->setCursorPosition(keywords->text().size());
    QGuiApplication::clipboard()->setMimeData(TextData(std::string(", more\0hidden", 13)).release());
    EXPECT_TRUE(CommandEnabled(cmd::kEditPaste));
    Run(cmd::kEditPaste);
    EXPECT_EQ(keywords->text(), QStringLiteral("list, more"));
    EXPECT_TRUE(Form()->IsFormModified());
    // The code editor's own paste key takes the same rule; its selection enables Cut and Copy.
    TextEdit()->setFocus();
    TextEdit()->SetCaretCharPosition(0);
    QGuiApplication::clipboard()->setMimeData(TextData(std::string("x\r\ny\0z", 7)).release());
    EXPECT_FALSE(CommandEnabled(cmd::kEditCopy));
    EXPECT_TRUE(CommandEnabled(cmd::kEditPaste));
    QTest::keyClick(TextEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(TextEdit()->PlainText(), QStringLiteral("x\nyint a; // list\nint b;\n"));
    TextEdit()->selectAll();
    EXPECT_TRUE(CommandEnabled(cmd::kEditCut));
    EXPECT_TRUE(CommandEnabled(cmd::kEditCopy));
    Run(cmd::kEditCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("x\nyint a; // list\nint b;\n"));
    // With the focus in the tree, nothing to cut, copy or paste.
    Tree()->setFocus();
    EXPECT_FALSE(CommandEnabled(cmd::kEditCut));
    EXPECT_FALSE(CommandEnabled(cmd::kEditCopy));
    EXPECT_FALSE(CommandEnabled(cmd::kEditPaste));
}

// ---------------------------------------------------------------------------------
// Drag and drop

TEST_F(ToolsWindowTest, AnythingDraggedOverTheViewShowsCopyButFilesAndImagesAreNotTaken) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs; // no dialog may come up
    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.cpp"))});
    files->setText(QStringLiteral("/tmp/a.cpp"));
    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_TRUE(DropOnView(files.get(), &action));
    EXPECT_EQ(action, Qt::CopyAction);
    auto image = std::make_unique<QMimeData>();
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    EXPECT_TRUE(DropOnView(image.get(), &action));
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_TRUE(dialogs.ran.empty());
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), "int a; // list\r\nint b;\r\n");
    EXPECT_FALSE(Doc()->CanSave());
    // The fields hand drops to the view.
    EXPECT_FALSE(TextEdit()->acceptDrops());
    EXPECT_TRUE(View()->acceptDrops());
}

TEST_F(ToolsWindowTest, TextDroppedOnASampleReplacesItsText) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Text Dropped Into Sample"));
        Click(Find<QPushButton>(w, "replaceButton"));
    });
    auto data = TextData(std::string("dropped\ncaf\xE9\0tail", 17));
    EXPECT_TRUE(DropOnView(data.get()));
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"textDroppedDialog"}));
    // The bytes are kept up to the zero byte; line ends are the library's.
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), "dropped\r\ncaf\xE9");
    EXPECT_EQ(TextEdit()->PlainText(), QString::fromUtf8("dropped\ncaf\xC3\xA9"));
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_FALSE(Doc()->CanSave()); // written at once
    EXPECT_EQ(Selected(), "Alpha");
    EXPECT_NE(ReadFileBytes("quorrincpp.txt").find("caf\xE9\r\n***TEXT_END***"), std::string::npos);
}

TEST_F(ToolsWindowTest, TextDroppedOnASampleCanStartTheWizard) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "createNewButton")); });
    dialogs.Then(WizardExpecting("From drop", QStringLiteral("new code\nline 2"), "C++", "General"));
    auto data = TextData("new code\nline 2");
    EXPECT_TRUE(DropOnView(data.get()));
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"textDroppedDialog", "addSampleWizard"}));
    ASSERT_NE(Doc()->PeekSample("From drop"), nullptr);
    EXPECT_EQ(Doc()->PeekSample("From drop")->GetText(), "new code\r\nline 2");
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), "int a; // list\r\nint b;\r\n");
    EXPECT_FALSE(App().WizardState().droppedTextPending);
    EXPECT_EQ(Selected(), "From drop");
}

TEST_F(ToolsWindowTest, TextDroppedOnASampleAndCancelled) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) { Click(Find<QPushButton>(w, "cancelButton")); });
    auto data = TextData("ignored");
    EXPECT_FALSE(DropOnView(data.get()));
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), "int a; // list\r\nint b;\r\n");
    // The text waits, but no wizard will take it.
    EXPECT_EQ(App().WizardState().droppedText, "ignored");
    EXPECT_FALSE(App().WizardState().droppedTextPending);
    EXPECT_FALSE(Doc()->CanSave());
}

TEST_F(ToolsWindowTest, TextDroppedOnACategoryStartsTheWizardThere) {
    StartWithLibrary();
    Select(CategoryItem("Java"));
    DialogScripts dialogs;
    dialogs.Then(WizardExpecting("Java drop", QStringLiteral("class X {}"), "Java", ""));
    auto data = TextData("class X {}");
    EXPECT_TRUE(DropOnView(data.get()));
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"addSampleWizard"}));
    ASSERT_NE(SampleItem("Java drop"), nullptr);
    EXPECT_EQ(SampleItem("Java drop")->parent(), CategoryItem("Java"));
    EXPECT_EQ(Doc()->PeekSample("Java drop")->GetText(), "class X {}");
}

TEST_F(ToolsWindowTest, EmptyDroppedTextIsReported) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    auto data = std::make_unique<QMimeData>();
    data->setText(QString());
    data->setData(QStringLiteral("text/plain"), QByteArray());
    m_messages.answers = {MsgAnswer::Ok};
    EXPECT_TRUE(DropOnView(data.get()));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "Could not determine size of data dragged from other application!");
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.ran.empty());
}
