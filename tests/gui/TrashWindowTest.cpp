// Deleting through the library's trash in the window: Undo Delete, the Trash dialog and
// the period after which the trash lets deletions go.
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "ui/CodeEditor.h"

namespace {

std::string Alpha() { return SampleFileBytes("C++", "General", "Alpha", "a", "Note\r\n", "int a;\r\n"); }
std::string Beta() { return SampleFileBytes("C++", "GUI", "Beta", "b", "", "int b;\r\n"); }
std::string Direct() { return SampleFileBytes("C++", "", "Direct", "", "", "int d;\r\n"); }
// A deletion's header record in the trash, made at that many microseconds since 1970.
std::string Header(const char* subcategory, const char* micros) {
    return SampleFileBytes("C++", subcategory, "", std::string("tindrel-deletion, sample, ") + micros, "", "");
}

class TrashWindowTest : public GuiTest {
protected:
    void DeleteSelected() {
        m_messages.answers = {MsgAnswer::Yes};
        Run(cmd::kDelete);
    }
    std::string Trash() { return ReadFileBytes(File("tindrel-trash.txt")); }
};

} // namespace

TEST_F(TrashWindowTest, CtrlZInTheTreeBringsADeletedSampleBackIntoItsFileButNotInTheEditor) {
    WriteFileBytes("quorrincpp.txt", Alpha() + Beta() + Direct());
    Start();
    EXPECT_FALSE(CommandEnabled(cmd::kEditUndo));
    Select(SampleItem("Beta"));
    DeleteSelected();
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Direct());
    EXPECT_NE(Trash().find(Beta()), std::string::npos);
    ASSERT_TRUE(CommandEnabled(cmd::kEditUndo));
    EXPECT_EQ(Frame()->Action(cmd::kEditUndo)->text(), QStringLiteral("&Undo Delete\tCtrl+Z"));

    // In the editor Ctrl+Z is the editor's own undo.
    Select(SampleItem("Alpha"));
    CCodeEditor* editor = Form()->TextEdit();
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("x"));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(editor->text(), QStringLiteral("int a;\n"));
    EXPECT_EQ(Doc()->PeekSample("Beta"), nullptr);

    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Z, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(Selected(), "Beta");
    EXPECT_EQ(Tree()->currentItem()->parent(), SubcategoryItem("C++", "GUI"));
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta() + Direct());
    EXPECT_EQ(Trash(), "");
    EXPECT_FALSE(CommandEnabled(cmd::kEditUndo));
}

TEST_F(TrashWindowTest, TheTrashDialogRestoresOneAndEmptiesTheRestAfterAsking) {
    // Kept for 30 days: a deletion of 1970 goes at start, one dated 2100 stays.
    WriteConfig(std::string(kAppKey) + "\"Settings\"\nvalue \"TrashDays\" dword 30\n");
    WriteFileBytes("quorrincpp.txt", Alpha() + Beta() + Direct());
    const std::string gamma = SampleFileBytes("C++", "General", "Gamma", "", "", "int g;\r\n");
    const std::string later = Header("General", "4102444800000000") + gamma;
    WriteFileBytes("tindrel-trash.txt", Header("General", "1000000") + Alpha() + later);
    Start();
    EXPECT_EQ(Trash(), later);
    Select(SampleItem("Beta"));
    DeleteSelected();
    Select(SampleItem("Direct"));
    DeleteSelected();

    DialogScripts dialogs;
    dialogs.Then([this](QWidget* w) {
        auto* list = Find<QTreeWidget>(w, "trashList");
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Direct")); // newest first
        EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("C++"));
        EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("C++ > GUI"));
        EXPECT_EQ(list->topLevelItem(2)->text(0), QStringLiteral("Gamma"));
        EXPECT_EQ(list->topLevelItem(2)->text(2).left(4), QStringLiteral("2100"));
        list->clearSelection();
        list->topLevelItem(1)->setSelected(true);
        Click(Find<QPushButton>(w, "restoreButton"));
        EXPECT_EQ(list->topLevelItemCount(), 2);
        // Empty asks first; No keeps everything.
        m_messages.answers = {MsgAnswer::No, MsgAnswer::Yes};
        Click(Find<QPushButton>(w, "emptyTrashButton"));
        EXPECT_EQ(list->topLevelItemCount(), 2);
        Click(Find<QPushButton>(w, "emptyTrashButton"));
        EXPECT_EQ(list->topLevelItemCount(), 0);
        Click(Find<QPushButton>(w, "closeButton"));
    });
    m_messages.Clear();
    Run(cmd::kTrash);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(Selected(), "Beta");
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());
    EXPECT_EQ(Trash(), "");
    // Deletions emptied from the trash cannot be undone any more.
    EXPECT_FALSE(CommandEnabled(cmd::kEditUndo));
}
