// The main window: its menus, the commands' enable states, and the Options that survive a
// restart.
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "base/FileLayer.h"
#include "config/LibraryConfig.h"

TEST_F(GuiTest, TheMenusHoldTheCommands) {
    Start();
    std::set<QAction*> inMenus;
    for (QMenu* menu : Frame()->menuBar()->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            inMenus.insert(a);
    for (int id : {cmd::kFileSave, cmd::kLibraryFolder, cmd::kAppExit, cmd::kEditUndo, cmd::kEditCut, cmd::kEditCopy,
                   cmd::kEditPaste, cmd::kCopySampleToClipboard, cmd::kViewToolbar, cmd::kViewStatusBar,
                   cmd::kExpandAll, cmd::kCollapseAll, cmd::kFindSamples, cmd::kShowWhiteSpace, cmd::kSearch,
                   cmd::kInsert, cmd::kDelete, cmd::kChangeTitle, cmd::kRestoreDefaults, cmd::kCorrectLoadErrors,
                   cmd::kOptions, cmd::kLibraryHelp, cmd::kLibraryInfo, cmd::kAppAbout})
        EXPECT_EQ(inMenus.count(Frame()->Action(id)), 1u) << "command " << id;
}

TEST_F(GuiTest, CommandsFollowTheLibraryAndTheSelectionWithoutTheUserTouchingAnything) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "a", "", "int a;\r\n"));
    Start();
    const struct {
        int id;
        bool onRoot, onSample;
    } rules[] = {{cmd::kFileNew, false, false},      {cmd::kFileOpen, false, false},
                 {cmd::kFileSave, false, false},     {cmd::kSearch, true, true},
                 {cmd::kInsert, true, true},         {cmd::kDelete, false, true},
                 {cmd::kChangeTitle, false, true},   {cmd::kCopySampleToClipboard, false, true},
                 {cmd::kCorrectLoadErrors, false, false}, {cmd::kRestoreDefaults, false, false},
                 {cmd::kCollapseAll, true, true},    {cmd::kLibraryInfo, true, true}};
    for (bool sample : {false, true}) {
        if (sample)
            Select(SampleItem("Alpha"));
        for (const auto& r : rules)
            EXPECT_EQ(CommandEnabled(r.id), sample ? r.onSample : r.onRoot) << "command " << r.id;
    }
    // A change in the tree updates the commands by itself.
    Root()->setExpanded(false);
    Pump();
    EXPECT_FALSE(Frame()->Action(cmd::kCollapseAll)->isEnabled());
    // Nothing to search in an empty library.
    ASSERT_TRUE(Doc()->DeleteSample("Alpha"));
    EXPECT_FALSE(CommandEnabled(cmd::kSearch));
}

TEST_F(GuiTest, TheOptionsChangeOnlyOnOkAndAreKeptForTheNextStart) {
    Start();
    DialogScripts dialogs;
    auto options = [&](bool autoSaveShown, bool autoSave, const char* button) {
        dialogs.Then([=](QWidget* w) {
            EXPECT_EQ(Find<QCheckBox>(w, "autoSaveCheck")->isChecked(), autoSaveShown);
            EXPECT_TRUE(Find<QCheckBox>(w, "saveTreeStateCheck")->isChecked());
            Find<QCheckBox>(w, "autoSaveCheck")->setChecked(autoSave);
            Click(Find<QPushButton>(w, button));
        });
        Run(cmd::kOptions);
    };
    options(true, false, "cancelButton");
    EXPECT_TRUE(App().Config().m_bAutoSaveOnSwitch);
    options(true, false, "okButton");
    EXPECT_FALSE(App().Config().m_bAutoSaveOnSwitch);
    EXPECT_TRUE(App().Config().m_bSaveTreeState);
    EXPECT_EQ(ReadConfig().find("AutoSaveOnSwitch"), std::string::npos); // written at the exit
    Exit();
    EXPECT_NE(ReadConfig().find("value \"AutoSaveOnSwitch\" dword 0"), std::string::npos);
    Start();
    options(false, false, "cancelButton");
}
