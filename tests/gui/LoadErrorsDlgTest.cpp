// The Load Errors dialog: corrections and their checks, Discard, and what the window and
// the files show afterwards.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "tools/LoadErrorsDlg.h"
#include "tools/SampleInErrorDlg.h"

namespace {

class LoadErrorsTest : public GuiTest {
protected:
    // "Dup" is in both files: the one in the Java file is a duplicate. "Orphan" names a
    // sub-category that C++ does not have.
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Dup", "k1, k2", "c1\r\nc2", "t1\r\nt2") +
                                             SampleFileBytes("C++", "Nowhere", "Orphan", "", "", "o"));
        WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "GUI", "Dup", "jk", "jc", "jt"));
        Start();
        m_dlg = std::make_unique<CLoadErrorsDlg>(*Doc(), Doc()->LoadErrors(), Frame());
    }
    void TearDown() override {
        m_dlg.reset(); // before the window that owns it goes
        GuiTest::TearDown();
    }
    // "number title" of each row.
    Names Rows() {
        Names rows;
        QTreeWidget* list = Find<QTreeWidget>(m_dlg.get(), "loadErrorList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back((list->topLevelItem(i)->text(0) + QLatin1Char(' ') + list->topLevelItem(i)->text(1)).toStdString());
        return rows;
    }
    void ClickRow(int index) {
        QTreeWidget* list = Find<QTreeWidget>(m_dlg.get(), "loadErrorList");
        QTreeWidgetItem* row = list->topLevelItem(index);
        ASSERT_NE(row, nullptr);
        list->setCurrentItem(row);
        row->setSelected(true);
        emit list->itemClicked(row, 1);
    }
    QComboBox* Categories() { return Find<QComboBox>(m_dlg.get(), "categoryCombo"); }
    QComboBox* Subcategories() { return Find<QComboBox>(m_dlg.get(), "subcategoryCombo"); }
    QLineEdit* Title() { return Find<QLineEdit>(m_dlg.get(), "titleEdit"); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(m_dlg.get(), name); }

    std::unique_ptr<CLoadErrorsDlg> m_dlg;
};

} // namespace

TEST_F(LoadErrorsTest, ADuplicateNeedsANewTitleAndIsThenAddedWhereTheUserSays) {
    StartWithLibrary();
    ClickRow(0);
    // The title is held by the library's "Dup"; an empty one is refused too.
    m_messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    Button("updateButton")->click();
    Title()->clear();
    Button("updateButton")->click();
    EXPECT_NE(m_messages.Texts().at(0).find("not unique"), std::string::npos);
    EXPECT_EQ(m_messages.Texts().at(1), "You must specify a title.");
    EXPECT_EQ(App().GetLoadErrorCount(), 2);

    Title()->setText(QStringLiteral(" Dup from Java"));
    Choose(Categories(), "Java");
    Choose(Subcategories(), "General");
    m_messages.answers = {MsgAnswer::Ok}; // "Sample has been corrected"
    Button("updateButton")->click();
    const CSample* added = Doc()->PeekSample(" Dup from Java"); // taken as typed
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetSubcategory(), "General");
    EXPECT_EQ(added->GetKeywords(), "jk");
    EXPECT_EQ(added->GetText(), "jt\r\n");
    // The row went, the other keeps its number; the fields are empty again.
    EXPECT_EQ(Rows(), Names{"2 Orphan"});
    EXPECT_TRUE(Title()->text().isEmpty());
    EXPECT_TRUE(Button("updateButton")->isEnabled());
    // The window shows the corrected sample, selected; load errors remain.
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), " Dup from Java");
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples (*Load errors exist*)"));
    EXPECT_NE(ReadFileBytes(File("quorrinjava.txt")).find("***TITLE= Dup from Java\r\n"), std::string::npos);
}

TEST_F(LoadErrorsTest, DiscardRemovesTheRecordFromItsFileAfterAsking) {
    StartWithLibrary();
    ClickRow(0); // the Java file's "Dup"
    m_messages.answers = {MsgAnswer::No, MsgAnswer::Yes};
    Button("discardButton")->click();
    EXPECT_EQ(m_messages.shown.at(0).buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(App().GetLoadErrorCount(), 2);
    Button("discardButton")->click();
    EXPECT_EQ(App().GetLoadErrorCount(), 1);
    EXPECT_EQ(Rows(), Names{"2 Orphan"});
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), "");
}
