// The main window: start-up, menus, accelerators, prompts, enable rules, Options, exit.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "EditTestSupport.h"
#include "app/OptionsDlg.h"
#include "config/LibraryConfig.h"
#include "base/FileLayer.h"

namespace {

std::vector<std::string> MenuTexts(QMenu* menu) {
    std::vector<std::string> out;
    for (QAction* a : menu->actions())
        out.push_back(a->isSeparator() ? std::string("-") : a->text().toStdString());
    return out;
}

} // namespace

TEST_F(GuiTest, StartOnAnEmptyFolderShowsTheDefaultTreeWithTheRootSelected) {
    Start();
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Tindrel"));
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;

    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* root = Root();
    EXPECT_EQ(root->text(0), QStringLiteral("Samples"));
    EXPECT_EQ(CSampleTree::ItemTag(root), kTagRoot);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(Tree()->currentItem(), root);
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"C++", "Java", "Visual Basic"}));
    for (const char* category : {"C++", "Java", "Visual Basic"}) {
        QTreeWidgetItem* item = CategoryItem(category);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(CSampleTree::ItemTag(item), kTagCategory);
        EXPECT_FALSE(item->isExpanded());
        EXPECT_EQ(ChildNames(item), (std::vector<std::string>{"COM", "General", "GUI"}));
        EXPECT_EQ(CSampleTree::ItemTag(item->child(0)), kTagSubcategory);
    }
    // The library's files exist now; the placeholder document is empty.
    EXPECT_TRUE(fileio::FileExists(File("quorrincpp.txt")));
    EXPECT_TRUE(fileio::FileExists(File("quorrinjava.txt")));
    EXPECT_TRUE(fileio::FileExists(File("quorrinvb.txt")));
    EXPECT_EQ(ReadFileBytes(File("library.txt")), "");

    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("Ready"));
    EXPECT_FALSE(Child<QLineEdit>("keywordsEdit")->isEnabled());
    EXPECT_FALSE(Child<QWidget>("textEdit")->isEnabled());
    EXPECT_EQ(ComboCurrent(Child<QComboBox>("categoryCombo")), " (no sample selected) ");
    EXPECT_FALSE(Child<QComboBox>("categoryCombo")->isEnabled());
    EXPECT_EQ(ComboCurrent(Child<QComboBox>("subcategoryCombo")), " (no sample selected) ");
}

TEST_F(GuiTest, MenusHoldEveryCommandWithItsTextAndShortcut) {
    Start();
    const QList<QAction*> menus = Frame()->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(MenuTexts(menus[0]->menu()), (std::vector<std::string>{"&Save\tCtrl+S", "-", "Library &Folder...", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(menus[1]->menu()),
              (std::vector<std::string>{"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-",
                                        "Copy sample to clipboard"}));
    EXPECT_EQ(MenuTexts(menus[2]->menu()),
              (std::vector<std::string>{"&Toolbar", "&Status Bar", "-", "Expand all", "Collapse all", "-",
                                        "&Find Samples\tCtrl+K", "Show &White Space"}));
    EXPECT_EQ(MenuTexts(menus[3]->menu()),
              (std::vector<std::string>{"Sea&rch...\tCtrl+L", "&Insert... \tCtrl+I", "Delete\tCtrl+D",
                                        "Change title...\tCtrl+T", "-", "Restore defaults", "Correct load errors...",
                                        "-", "Options..."}));
    EXPECT_EQ(MenuTexts(menus[4]->menu()),
              (std::vector<std::string>{"Library Help", "Library Info...", "-", "&About Tindrel..."}));

    auto keys = [&](int id) {
        QStringList out;
        for (const QKeySequence& k : Frame()->Action(id)->shortcuts())
            out << k.toString(QKeySequence::PortableText);
        return out.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(keys(cmd::kEditCopy), "Ctrl+C Ctrl+Ins");
    EXPECT_EQ(keys(cmd::kDelete), "Ctrl+D");
    EXPECT_EQ(keys(cmd::kInsert), "Ctrl+I");
    EXPECT_EQ(keys(cmd::kSearch), "Ctrl+L");
    EXPECT_EQ(keys(cmd::kFileNew), "Ctrl+N");
    EXPECT_EQ(keys(cmd::kFileOpen), "Ctrl+O");
    EXPECT_EQ(keys(cmd::kFilePrint), "Ctrl+P");
    EXPECT_EQ(keys(cmd::kFileSave), "Ctrl+S");
    EXPECT_EQ(keys(cmd::kChangeTitle), "Ctrl+T");
    EXPECT_EQ(keys(cmd::kEditPaste), "Ctrl+V Shift+Ins");
    EXPECT_EQ(keys(cmd::kEditUndo), "Ctrl+Z Alt+Backspace");
    EXPECT_EQ(keys(cmd::kEditCut), "Ctrl+X Shift+Del");
    EXPECT_EQ(keys(cmd::kCopySampleToClipboard), "Ctrl+Shift+C");
    EXPECT_EQ(keys(cmd::kFindSamples), "Ctrl+K");

    // Prompt before the line break on the status bar, the rest as tool tip.
    QAction* search = Frame()->Action(cmd::kSearch);
    EXPECT_EQ(search->statusTip(), QStringLiteral("Search for text in existiing samples"));
    EXPECT_EQ(search->toolTip(), QStringLiteral("Search samples"));
    EXPECT_EQ(Frame()->Action(cmd::kCopySampleToClipboard)->toolTip(), QStringLiteral("Copy to clipbaord"));
    EXPECT_EQ(Frame()->Action(cmd::kFileSave)->statusTip(), QStringLiteral("Save Quorrin samples"));
    EXPECT_EQ(Frame()->Action(cmd::kOptions)->statusTip(), QStringLiteral("Modify Quorrin options"));
    EXPECT_EQ(Frame()->Action(cmd::kRestoreDefaults)->toolTip(),
              QStringLiteral("Show hidden categories/subcategories"));

    // Toolbar: New, Open, Save | Cut, Copy, Paste, Copy sample | About.
    std::vector<std::string> buttons;
    for (QAction* a : Child<QToolBar>("mainToolBar")->actions())
        buttons.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
    EXPECT_EQ(buttons, (std::vector<std::string>{"actionNew", "actionOpen", "actionSave", "-", "actionCut",
                                                 "actionCopy", "actionPaste", "actionCopySampleToClipboard", "-",
                                                 "actionAbout"}));
    for (QAction* a : Child<QToolBar>("mainToolBar")->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
    }
}

TEST_F(GuiTest, StatusBarShowsPromptsAndReadyWhenIdle) {
    Start();
    QStatusTipEvent tip(QStringLiteral("Expand all branches of the tree"));
    QCoreApplication::sendEvent(Frame(), &tip);
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("Expand all branches of the tree"));
    QStatusTipEvent idle{QString()};
    QCoreApplication::sendEvent(Frame(), &idle);
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("Ready"));
    // The three key panes exist (their text shows only while the key is locked).
    EXPECT_EQ(Child<QLabel>("indicatorCAP")->property("indicatorText").toString(), QStringLiteral("CAP"));
    EXPECT_EQ(Child<QLabel>("indicatorNUM")->property("indicatorText").toString(), QStringLiteral("NUM"));
    EXPECT_EQ(Child<QLabel>("indicatorSCRL")->property("indicatorText").toString(), QStringLiteral("SCRL"));
}

TEST_F(GuiTest, CommandsFollowTheirEnableRules) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "a", "", "int a;\r\n"));
    Start();
    EXPECT_FALSE(CommandEnabled(cmd::kFileNew));
    EXPECT_FALSE(CommandEnabled(cmd::kFileOpen));
    EXPECT_FALSE(CommandEnabled(cmd::kEditUndo));
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_TRUE(CommandEnabled(cmd::kExpandAll));
    EXPECT_TRUE(CommandEnabled(cmd::kCollapseAll)); // the root is expanded
    EXPECT_TRUE(CommandEnabled(cmd::kOptions));
    EXPECT_TRUE(CommandEnabled(cmd::kAppExit));
    EXPECT_TRUE(CommandEnabled(cmd::kSearch)); // the library holds a sample
    EXPECT_TRUE(CommandEnabled(cmd::kInsert));
    EXPECT_FALSE(CommandEnabled(cmd::kDelete)); // the root is selected
    EXPECT_FALSE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_FALSE(CommandEnabled(cmd::kCorrectLoadErrors)); // no load errors
    EXPECT_TRUE(CommandEnabled(cmd::kLibraryInfo));
    EXPECT_TRUE(CommandEnabled(cmd::kAppAbout));
    // With the focus in the tree there is nothing to cut, copy or paste.
    Tree()->setFocus();
    EXPECT_FALSE(CommandEnabled(cmd::kEditCut));
    EXPECT_FALSE(CommandEnabled(cmd::kEditCopy));
    EXPECT_FALSE(CommandEnabled(cmd::kEditPaste));

    Select(SampleItem("Alpha"));
    EXPECT_TRUE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_TRUE(CommandEnabled(cmd::kCopySampleToClipboard));
    EXPECT_TRUE(CommandEnabled(cmd::kDelete));

    // Collapse all needs the root expanded.
    Root()->setExpanded(false);
    EXPECT_FALSE(CommandEnabled(cmd::kCollapseAll));
    EXPECT_TRUE(CommandEnabled(cmd::kExpandAll));
}

TEST_F(GuiTest, CutCopyAndPasteFollowTheFocusedEdit) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "one, two", "", "int a;\r\n"));
    Start();
    Frame()->activateWindow();
    Select(SampleItem("Alpha"));
    auto* title = Child<QLineEdit>("titleEdit");
    title->setFocus();
    title->selectAll();
    ASSERT_EQ(QApplication::focusWidget(), title);
    EXPECT_TRUE(CommandEnabled(cmd::kEditCopy));
    Frame()->Action(cmd::kEditCopy)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Alpha"));
    EXPECT_FALSE(CommandEnabled(cmd::kEditPaste)); // the title is read-only

    auto* keywords = Child<QLineEdit>("keywordsEdit");
    keywords->setFocus();
    keywords->setCursorPosition(keywords->text().size());
    EXPECT_FALSE(CommandEnabled(cmd::kEditCut)); // nothing selected
    EXPECT_TRUE(CommandEnabled(cmd::kEditPaste));
    Frame()->Action(cmd::kEditPaste)->trigger();
    EXPECT_EQ(keywords->text(), QStringLiteral("one, twoAlpha"));
    EXPECT_TRUE(Form()->IsFormModified());
}

TEST_F(GuiTest, NewAndOpenDoNothing) {
    Start();
    Frame()->Action(cmd::kFileNew)->trigger();
    Frame()->Action(cmd::kFileOpen)->trigger();
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
    Pump();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Tree()->currentItem(), Root());
}

TEST_F(GuiTest, ToolbarAndStatusBarCanBeHidden) {
    Start();
    QAction* toolbar = Frame()->Action(cmd::kViewToolbar);
    QAction* statusBar = Frame()->Action(cmd::kViewStatusBar);
    ASSERT_TRUE(toolbar->isCheckable());
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(statusBar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(Child<QToolBar>("mainToolBar")->isVisible());
    toolbar->trigger();
    EXPECT_TRUE(Child<QToolBar>("mainToolBar")->isVisible());
    statusBar->trigger();
    EXPECT_FALSE(Frame()->statusBar()->isVisible());
    EXPECT_FALSE(statusBar->isChecked());
}

TEST_F(GuiTest, OptionsDialogChangesTheOptionsOnlyOnOkAndTheyAreStoredAtExit) {
    Start();
    EXPECT_TRUE(App().Config().m_bAutoSaveOnSwitch);
    EXPECT_TRUE(App().Config().m_bSaveTreeState);

    std::string title, first, second;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        ASSERT_NE(qobject_cast<COptionsDlg*>(w), nullptr);
        auto* autoSave = Find<QCheckBox>(w, "autoSaveCheck");
        auto* saveTreeState = Find<QCheckBox>(w, "saveTreeStateCheck");
        title = w->windowTitle().toStdString();
        first = autoSave->text().toStdString();
        second = saveTreeState->text().toStdString();
        EXPECT_TRUE(autoSave->isChecked());
        EXPECT_TRUE(saveTreeState->isChecked());
        autoSave->setChecked(false);
        Click(Find<QPushButton>(w, "cancelButton"));
    });
    Frame()->Action(cmd::kOptions)->trigger();
    EXPECT_EQ(title, "Options");
    EXPECT_EQ(first, "Save sample changes when switching to different sample");
    EXPECT_EQ(second, "Save tree state on exit");
    EXPECT_TRUE(App().Config().m_bAutoSaveOnSwitch); // Cancel changes nothing

    dialogs.Then([](QWidget* w) {
        Find<QCheckBox>(w, "autoSaveCheck")->setChecked(false);
        Click(Find<QPushButton>(w, "okButton"));
    });
    Frame()->Action(cmd::kOptions)->trigger();
    EXPECT_FALSE(App().Config().m_bAutoSaveOnSwitch);
    EXPECT_TRUE(App().Config().m_bSaveTreeState);
    // Not written before the exit.
    EXPECT_EQ(ReadConfig().find("AutoSaveOnSwitch"), std::string::npos);

    Exit();
    EXPECT_NE(ReadConfig().find("value \"AutoSaveOnSwitch\" dword 0"), std::string::npos);
    EXPECT_NE(ReadConfig().find("value \"SaveTreeState\" dword 1"), std::string::npos);
    Start();
    EXPECT_FALSE(App().Config().m_bAutoSaveOnSwitch);
    dialogs.Then([](QWidget* w) {
        EXPECT_FALSE(Find<QCheckBox>(w, "autoSaveCheck")->isChecked());
        Click(Find<QPushButton>(w, "cancelButton"));
    });
    Frame()->Action(cmd::kOptions)->trigger();
}

TEST_F(GuiTest, ExitWithoutLoadErrorsAsksNothingAndWritesTheSettings) {
    Start();
    Exit();
    EXPECT_TRUE(m_messages.shown.empty());
    const std::string config = ReadConfig();
    EXPECT_NE(config.find("\"Settings\""), std::string::npos);
    EXPECT_NE(config.find("\"ExpandedCats\""), std::string::npos);
    EXPECT_TRUE(m_files.requests.empty());
}
