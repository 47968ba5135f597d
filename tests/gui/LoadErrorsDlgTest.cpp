// The Load Errors dialog: rows, lists, Show entire sample, Update with its checks, and
// what the window shows afterwards.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "EditTestSupport.h"
#include "tools/LoadErrorsDlg.h"
#include "tools/SampleInErrorDlg.h"

namespace {

class LoadErrorsTest : public GuiTest {
protected:
    // "Dup" is in both files: the second one read is a duplicate. "Orphan" names a
    // sub-category that C++ does not have.
    void WriteLibrary(bool withDuplicate = true) {
        std::string cpp = SampleFileBytes("C++", "General", "Dup", "k1, k2", "c1\r\nc2", "t1\r\nt2") +
                          SampleFileBytes("C++", "Nowhere", "Orphan", "", "", "o");
        WriteFileBytes("quorrincpp.txt", cpp);
        if (withDuplicate)
            WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "GUI", "Dup", "jk", "jc", "jt"));
    }
    std::unique_ptr<CLoadErrorsDlg> Open() {
        auto dlg = std::make_unique<CLoadErrorsDlg>(*Doc(), Doc()->LoadErrors(), Frame());
        return dlg;
    }
    static std::vector<std::vector<std::string>> Rows(CLoadErrorsDlg& dlg) {
        std::vector<std::vector<std::string>> rows;
        QTreeWidget* list = ErrorList(&dlg);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* r = list->topLevelItem(i);
            rows.push_back({r->text(0).toStdString(), r->text(1).toStdString(), r->text(2).toStdString()});
        }
        return rows;
    }
    static void ClickRow(CLoadErrorsDlg& dlg, int index) {
        QTreeWidget* list = ErrorList(&dlg);
        QTreeWidgetItem* row = list->topLevelItem(index);
        ASSERT_NE(row, nullptr);
        list->setCurrentItem(row);
        row->setSelected(true);
        emit list->itemClicked(row, 1);
    }
    std::string Label(QLabel* l) { return l->text().toStdString(); }
    static QTreeWidget* ErrorList(QWidget* dlg) { return Find<QTreeWidget>(dlg, "loadErrorList"); }
    static QComboBox* CategoryList(QWidget* dlg) { return Find<QComboBox>(dlg, "categoryCombo"); }
    static QComboBox* SubcategoryList(QWidget* dlg) { return Find<QComboBox>(dlg, "subcategoryCombo"); }
    static QLabel* CurrentCategoryLabel(QWidget* dlg) { return Find<QLabel>(dlg, "currentCategoryLabel"); }
    static QLabel* CurrentSubcategoryLabel(QWidget* dlg) { return Find<QLabel>(dlg, "currentSubcategoryLabel"); }
    static QLineEdit* TitleEdit(QWidget* dlg) { return Find<QLineEdit>(dlg, "titleEdit"); }
    static QPushButton* DoneButton(QWidget* dlg) { return Find<QPushButton>(dlg, "doneButton"); }
    static QPushButton* ShowSampleButton(QWidget* dlg) { return Find<QPushButton>(dlg, "showSampleButton"); }
    static QPushButton* UpdateButton(QWidget* dlg) { return Find<QPushButton>(dlg, "updateButton"); }

};

} // namespace

TEST_F(LoadErrorsTest, OpeningListsEveryLoadError) {
    WriteLibrary();
    Start();
    ASSERT_EQ(App().GetLoadErrorCount(), 2);
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples (*Load errors exist*)"));
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Load Errors"));
    QTreeWidget* list = ErrorList(dlg.get());
    ASSERT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Error #"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Sample Title"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("Reason"));
    EXPECT_EQ(Rows(*dlg),
              (std::vector<std::vector<std::string>>{{"1", "Dup", "Duplicate title."},
                                                     {"2", "Orphan", "Could not find parent item."}}));
    EXPECT_EQ(ComboEntries(CategoryList(dlg.get())), (std::vector<std::string>{"C++", "Java", "Visual Basic"}));
    EXPECT_EQ(ComboCurrent(CategoryList(dlg.get())), "C++");
    EXPECT_EQ(ComboEntries(SubcategoryList(dlg.get())),
              (std::vector<std::string>{" (none assigned) ", "COM", "General", "GUI"}));
    EXPECT_EQ(ComboCurrent(SubcategoryList(dlg.get())), "COM");
    EXPECT_TRUE(ShowSampleButton(dlg.get())->isEnabled());
    EXPECT_TRUE(UpdateButton(dlg.get())->isEnabled());
    EXPECT_TRUE(DoneButton(dlg.get())->isDefault());
    EXPECT_TRUE(TitleEdit(dlg.get())->text().isEmpty());

    dlg->show();
    const int w = list->viewport()->width();
    EXPECT_EQ(list->columnWidth(0), w / 7);
    EXPECT_EQ(list->columnWidth(1), (w / 7) * 3);
    EXPECT_EQ(list->columnWidth(2), (w / 7) * 3);
    // Every fixed text of the dialog.
    std::vector<std::string> labels;
    for (QLabel* l : dlg->findChildren<QLabel*>())
        labels.push_back(l->text().toStdString());
    for (const char* t :
         {"The following samples failed to load into the library tree.",
          "This is usually because the sample's category and/or sub-category could not be found "
          "in the tree.",
          "To correct a sample:", "- Select a sample in the list.",
          "- Modify the title text, or modify the category/sub-category by choosing a value from "
          "the dropdown list.",
          "Sample Title:", "Category:", "Sub-category:", "Valid values:", "Current values:"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), t), labels.end()) << t;
}

TEST_F(LoadErrorsTest, ClickShowsTheRecordAndShowEntireSampleItsFields) {
    WriteLibrary();
    Start();
    auto dlg = Open();
    std::string shown;
    QString edit;
    const ModalScript record = [&](QWidget* w) {
        auto* s = qobject_cast<CSampleInErrorDlg*>(w);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->windowTitle(), QStringLiteral("Sample in Error"));
        EXPECT_TRUE(Find<QPlainTextEdit>(s, "sampleEdit")->isReadOnly());
        shown = s->m_strSample;
        edit = Find<QPlainTextEdit>(s, "sampleEdit")->toPlainText();
        s->accept();
    };
    DialogScripts dialogs;
    // Nothing clicked yet: only the labels.
    Doc()->LoadErrors().Staged().Reset();
    dialogs.Then(record);
    ShowSampleButton(dlg.get())->click();
    EXPECT_EQ(shown,
              "Title:  \r\n\r\nCategory:  \r\nSub-category:  \r\nKeywords:\r\n\r\n\r\nComments:\r\n\r\n\r\n"
              "Sample:\r\n");

    ClickRow(*dlg, 0);
    EXPECT_EQ(TitleEdit(dlg.get())->text(), QStringLiteral("Dup"));
    EXPECT_EQ(Label(CurrentCategoryLabel(dlg.get())), "Java");
    EXPECT_EQ(Label(CurrentSubcategoryLabel(dlg.get())), "GUI");
    dialogs.Then(record);
    ShowSampleButton(dlg.get())->click();
    EXPECT_EQ(shown, "Title:  Dup\r\n\r\nCategory:  Java\r\nSub-category:  GUI\r\nKeywords:\r\njk\r\n\r\n"
                     "Comments:\r\njc\r\n\r\n\r\nSample:\r\njt\r\n");
    EXPECT_EQ(edit, QStringLiteral("Title:  Dup\n\nCategory:  Java\nSub-category:  GUI\nKeywords:\njk\n\n"
                                   "Comments:\njc\n\n\nSample:\njt\n"));
    // The staged sample outlives the dialog.
    dlg.reset();
    auto again = Open();
    dialogs.Then(record);
    ShowSampleButton(again.get())->click();
    EXPECT_NE(shown.find("Title:  Dup"), std::string::npos);
}

TEST_F(LoadErrorsTest, ClickedTitleMissingFromTheStore) {
    WriteLibrary();
    Start();
    auto dlg = Open();
    ErrorList(dlg.get())->topLevelItem(1)->setData(1, Qt::UserRole, QByteArray("Ghost"));
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    ClickRow(*dlg, 1);
    EXPECT_EQ(m_messages.Texts(),
              (std::vector<std::string>{
                  "Internal error.\nCould not find sample \"Ghost\"\nin list of Load errors!\n"}));
    EXPECT_EQ(TitleEdit(dlg.get())->text(), QStringLiteral("?"));
    EXPECT_EQ(Label(CurrentCategoryLabel(dlg.get())), "?");
    EXPECT_EQ(Label(CurrentSubcategoryLabel(dlg.get())), "?");
}

TEST_F(LoadErrorsTest, DuplicateNeedsANewTitle) {
    WriteLibrary();
    Start();
    auto dlg = Open();
    ClickRow(*dlg, 0);
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    // The title is held by the library's "Dup" (C++, General).
    UpdateButton(dlg.get())->click();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "The title you have entered is not unique.The sample in\n"
              "\tCategory: \"C++\",\n\tSubcategory: \"General\" \nalready has that title.\n"
              "Please select another title.\n");
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(App().GetLoadErrorCount(), 2);
    EXPECT_EQ(Rows(*dlg).size(), 2u);

    // An empty title is refused too.
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    TitleEdit(dlg.get())->clear();
    UpdateButton(dlg.get())->click();
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{"You must specify a title."}));

    // A new title, into Java / General.
    m_messages.Clear();
    TitleEdit(dlg.get())->setText(QStringLiteral(" Dup from Java"));
    Choose(CategoryList(dlg.get()), "Java");
    EXPECT_EQ(ComboCurrent(SubcategoryList(dlg.get())), "COM");
    Choose(SubcategoryList(dlg.get()), "General");
    m_messages.answers = {MsgAnswer::Ok};
    UpdateButton(dlg.get())->click();
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{"Sample has been corrected"}));
    CSample added;
    ASSERT_TRUE(Doc()->FindSample(" Dup from Java", added)); // taken as typed
    EXPECT_EQ(added.GetCategory(), "Java");
    EXPECT_EQ(added.GetSubcategory(), "General");
    EXPECT_EQ(added.GetKeywords(), "jk");
    EXPECT_EQ(added.GetText(), "jt\r\n");
    EXPECT_EQ(added.GetLoadErrorReason(), 1);
    // The row went, the other keeps its number; the fields are empty again.
    EXPECT_EQ(Rows(*dlg),
              (std::vector<std::vector<std::string>>{{"2", "Orphan", "Could not find parent item."}}));
    EXPECT_EQ(App().GetLoadErrorCount(), 1);
    EXPECT_TRUE(TitleEdit(dlg.get())->text().isEmpty());
    EXPECT_TRUE(Label(CurrentCategoryLabel(dlg.get())).empty());
    EXPECT_TRUE(Doc()->LoadErrors().Staged().GetTitle().empty());
    EXPECT_TRUE(UpdateButton(dlg.get())->isEnabled());
    // The window shows the corrected sample, selected; load errors remain.
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), " Dup from Java");
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples (*Load errors exist*)"));
    // Update without a selected row does nothing.
    m_messages.Clear();
    UpdateButton(dlg.get())->click();
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(LoadErrorsTest, OnlyPlacesTheTreeShowsAreOfferedAndTheRowSetsThem) {
    WriteLibrary();
    WriteConfig(std::string(kAppKey) + "\"HiddenSubcats\" \"C++\" \"COM\"\n" + kAppKey +
                "\"HiddenCats\" \"Visual Basic\"\n");
    Start();
    auto dlg = Open();
    EXPECT_EQ(ComboEntries(CategoryList(dlg.get())), (std::vector<std::string>{"C++", "Java"}));
    EXPECT_EQ(ComboEntries(SubcategoryList(dlg.get())),
              (std::vector<std::string>{" (none assigned) ", "General", "GUI"}));
    // The duplicate's own place is shown: correcting only its title keeps it there.
    ClickRow(*dlg, 0);
    EXPECT_EQ(ComboCurrent(CategoryList(dlg.get())), "Java");
    EXPECT_EQ(ComboCurrent(SubcategoryList(dlg.get())), "GUI");
}

TEST_F(LoadErrorsTest, DiscardRemovesTheRecordFromItsFileAfterAsking) {
    WriteLibrary();
    Start();
    auto dlg = Open();
    ClickRow(*dlg, 0); // the Java file's "Dup"
    m_messages.answers = {MsgAnswer::No};
    Find<QPushButton>(dlg.get(), "discardButton")->click();
    EXPECT_EQ(m_messages.shown.back().buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(App().GetLoadErrorCount(), 2);
    m_messages.answers = {MsgAnswer::Yes};
    Find<QPushButton>(dlg.get(), "discardButton")->click();
    EXPECT_EQ(App().GetLoadErrorCount(), 1);
    EXPECT_EQ(Rows(*dlg).size(), 1u);
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), "");
}

TEST_F(LoadErrorsTest, LastCorrectionRestoresTheRootText) {
    WriteLibrary(false);
    Start();
    ASSERT_EQ(App().GetLoadErrorCount(), 1);
    auto dlg = Open();
    ClickRow(*dlg, 0);
    Choose(SubcategoryList(dlg.get()), "GUI");
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    UpdateButton(dlg.get())->click();
    EXPECT_EQ(m_messages.Texts(), (std::vector<std::string>{"Sample has been corrected"}));
    EXPECT_EQ(App().GetLoadErrorCount(), 0);
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples"));
    EXPECT_FALSE(ShowSampleButton(dlg.get())->isEnabled());
    EXPECT_FALSE(UpdateButton(dlg.get())->isEnabled());
    EXPECT_TRUE(Rows(*dlg).empty());
    EXPECT_NE(SubcategoryItem("C++", "GUI"), nullptr);
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "GUI")), (std::vector<std::string>{"Orphan"}));
}

TEST_F(LoadErrorsTest, CategoryWithoutSubcategoriesGivesAnEmptyOne) {
    WriteLibrary(false);
    Start();
    ASSERT_TRUE(Doc()->AddCategory(std::make_unique<CCategory>("Misc")));
    Tree()->RebuildTree("");
    auto dlg = Open();
    ClickRow(*dlg, 0);
    Choose(CategoryList(dlg.get()), "Misc");
    EXPECT_EQ(SubcategoryList(dlg.get())->count(), 0);
    m_messages.answers = {MsgAnswer::Ok};
    UpdateButton(dlg.get())->click();
    CSample s;
    ASSERT_TRUE(Doc()->FindSample("Orphan", s));
    EXPECT_EQ(s.GetCategory(), "Misc");
    EXPECT_EQ(s.GetSubcategory(), "");
    EXPECT_EQ(ChildNames(CategoryItem("Misc")), (std::vector<std::string>{"Orphan"}));
}

TEST_F(LoadErrorsTest, NoLoadErrorsDisablesTheButtons) {
    Start();
    auto dlg = Open();
    EXPECT_TRUE(Rows(*dlg).empty());
    EXPECT_FALSE(ShowSampleButton(dlg.get())->isEnabled());
    EXPECT_FALSE(UpdateButton(dlg.get())->isEnabled());
}
