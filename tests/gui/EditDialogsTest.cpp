// The name dialogs, the Insert item dialog and the Change title dialog, driven through
// their real widgets while exec() runs.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "EditTestSupport.h"
#include "browser/ChangeTitleDlg.h"
#include "library/EditRules.h"
#include "browser/InsertItemDlg.h"
#include "browser/NewCategoryDlg.h"
#include "browser/NewSubcategoryDlg.h"

namespace {

class EditDialogsTest : public LibraryFixture {};

std::vector<std::string> LabelTexts(QWidget* dialog) {
    std::vector<std::string> texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->objectName().isEmpty())
            texts.push_back(label->text().toStdString());
    return texts;
}

QPushButton* Ok(QWidget* dialog) {
    return Find<QPushButton>(dialog, "okButton");
}
QPushButton* Cancel(QWidget* dialog) {
    return Find<QPushButton>(dialog, "cancelButton");
}

} // namespace

TEST_F(EditDialogsTest, NewCategoryDialogProposesAndAcceptsATrimmedName) {
    CNewCategoryDlg dlg(*doc, "Untitled1");
    bool sawDialog = false;
    WhenModal([&](QWidget* w) {
        sawDialog = w == &dlg;
        EXPECT_EQ(w->windowTitle(), QStringLiteral("New category name"));
        EXPECT_EQ(LabelTexts(w), (std::vector<std::string>{"Specify a unique name for this new category:"}));
        auto* edit = Find<QLineEdit>(w, "newCategoryNameEdit");
        EXPECT_EQ(edit->text(), QStringLiteral("Untitled1"));
        // The proposal is selected, so typing replaces it.
        EXPECT_EQ(edit->selectedText(), QStringLiteral("Untitled1"));
        TypeInto(edit, QStringLiteral("  Tools  "));
        Click(Ok(w));
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(dlg.m_strName, "Tools");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditDialogsTest, NewCategoryDialogKeepsTheProposalWhenUnchanged) {
    CNewCategoryDlg dlg(*doc, "Untitled7");
    WhenModal([&](QWidget* w) { Click(Ok(w)); });
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strName, "Untitled7");
}

TEST_F(EditDialogsTest, NewCategoryDialogRefusesATakenOrEmptyNameAndStaysOpen) {
    CNewCategoryDlg dlg(*doc, "Untitled2");
    WhenModal([&](QWidget* w) {
        auto* edit = Find<QLineEdit>(w, "newCategoryNameEdit");
        TypeInto(edit, QStringLiteral("Java"));
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        TypeInto(edit, QStringLiteral("   "));
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        // The user's text stays for correcting.
        EXPECT_EQ(edit->text(), QStringLiteral("   "));
        TypeInto(edit, QStringLiteral("Javascript"));
        Click(Ok(w));
    });
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strName, "Javascript");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "A category with this name already exists.\nPlease select a new name.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[1].text, edit_msg::kEmptyCategoryName);
}

TEST_F(EditDialogsTest, NewCategoryDialogCancelled) {
    CNewCategoryDlg dlg(*doc, "Untitled3");
    WhenModal([&](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "newCategoryNameEdit"), QStringLiteral("Java"));
        Click(Cancel(w));
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditDialogsTest, NewSubcategoryDialogTextsLimitAndNameAsTyped) {
    CNewSubcategoryDlg dlg(*doc, "Untitled1", "C++");
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("New sub-category name"));
        EXPECT_EQ(LabelTexts(w),
                  (std::vector<std::string>{"Specify a name for this new sub-category.",
                                            "Sub-category names must be unqiue within a category."}));
        auto* edit = Find<QLineEdit>(w, "newSubcategoryNameEdit");
        EXPECT_EQ(edit->text(), QStringLiteral("Untitled1"));
        // The edit takes at most 60 characters.
        TypeInto(edit, QString(70, QLatin1Char('x')));
        EXPECT_EQ(edit->text().size(), 60);
        TypeInto(edit, QStringLiteral("  Templates"));
        Click(Ok(w));
    });
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    // Leading blanks are kept.
    EXPECT_EQ(dlg.m_strName, "  Templates");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditDialogsTest, NewSubcategoryDialogRefusesNamesTheCategoryHas) {
    CNewSubcategoryDlg dlg(*doc, "Untitled2", "Java");
    WhenModal([&](QWidget* w) {
        auto* edit = Find<QLineEdit>(w, "newSubcategoryNameEdit");
        TypeInto(edit, QStringLiteral("GUI"));
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        TypeInto(edit, QString());
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        TypeInto(edit, QStringLiteral("gui"));
        Click(Ok(w));
    });
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strName, "gui");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A sub-category with this name already exists.\n"
                                                 "Please select a new name.",
                                                 edit_msg::kEmptySubcategoryName}));
}

TEST_F(EditDialogsTest, NewSubcategoryDialogRefusesEveryNameWhenAllSlotsAreUsed) {
    std::vector<std::string> subs;
    for (int i = 0; i < kSlotCount; ++i)
        subs.push_back("S" + std::to_string(i));
    AddCustom("Full", subs);
    CNewSubcategoryDlg dlg(*doc, "Untitled3", "Full");
    WhenModal([&](QWidget* w) {
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        Click(Cancel(w));
    });
    messages.answers = {MsgAnswer::Ok};
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, StrFormat(edit_msg::kNoFreeSlot, "Full"));
}

TEST_F(EditDialogsTest, NewSubcategoryDialogUnknownCategory) {
    CNewSubcategoryDlg dlg(*doc, "X", "Gone");
    WhenModal([&](QWidget* w) {
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
    });
    messages.answers = {MsgAnswer::Ok};
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Could not locate category!\n"}));
}

TEST_F(EditDialogsTest, AProposalInAnotherEncodingKeepsItsBytes) {
    // A name read from an old file in Windows-1252: shown decoded, kept as it was.
    CNewSubcategoryDlg dlg(*doc, "Caf\xe9", "C++");
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(Find<QLineEdit>(w, "newSubcategoryNameEdit")->text(), QString::fromUtf8("Caf\xc3\xa9"));
        Click(Ok(w));
    });
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strName, "Caf\xe9");
    // What the user types is stored as UTF-8.
    CNewSubcategoryDlg typed(*doc, "X", "C++");
    WhenModal([&](QWidget* w) {
        Find<QLineEdit>(w, "newSubcategoryNameEdit")->setText(QString::fromUtf8("Caf\xc3\xa9"));
        Click(Ok(w));
    });
    ASSERT_EQ(typed.exec(), QDialog::Accepted);
    EXPECT_EQ(typed.m_strName, "Caf\xc3\xa9");
}

TEST_F(EditDialogsTest, InsertItemDialog) {
    CInsertItemDlg dlg;
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Insert item "));
        EXPECT_EQ(LabelTexts(w),
                  (std::vector<std::string>{"Do you want ot add a new sub-category or a new sample?"}));
        auto* sub = Find<QRadioButton>(w, "subcategoryRadio");
        auto* sample = Find<QRadioButton>(w, "sampleRadio");
        EXPECT_EQ(sub->text(), QStringLiteral("Sub-category"));
        EXPECT_EQ(sample->text(), QStringLiteral("Sample"));
        EXPECT_TRUE(sub->isChecked());
        Click(sample);
        EXPECT_FALSE(sub->isChecked());
        Click(Ok(w));
    });
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nChoice, CInsertItemDlg::kSample);

    CInsertItemDlg first;
    EXPECT_EQ(first.m_nChoice, CInsertItemDlg::kSubcategory);
    WhenModal([&](QWidget* w) { Click(Ok(w)); });
    ASSERT_EQ(first.exec(), QDialog::Accepted);
    EXPECT_EQ(first.m_nChoice, CInsertItemDlg::kSubcategory);

    CInsertItemDlg cancelled;
    WhenModal([&](QWidget* w) {
        Click(Find<QRadioButton>(w, "sampleRadio"));
        Click(Cancel(w));
    });
    EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
    EXPECT_EQ(cancelled.m_nChoice, CInsertItemDlg::kSubcategory);
}

TEST_F(EditDialogsTest, ChangeTitleDialogTextsAndTrimmedTitle) {
    Add("Alpha", "C++", "GUI");
    CChangeTitleDlg dlg(*doc, "Alpha");
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Change Sample Title"));
        EXPECT_EQ(LabelTexts(w),
                  (std::vector<std::string>{"Sample titles serve as keys to the sample text data.",
                                            "Changing the title will cause this sample to be deleted, then "
                                            "re-inserted under the new title.",
                                            "Enter the new title below.", "Current title:", "New title:"}));
        EXPECT_EQ(Find<QLabel>(w, "currentTitleLabel")->text(), QStringLiteral("Alpha"));
        auto* edit = Find<QLineEdit>(w, "newTitleEdit");
        EXPECT_TRUE(edit->text().isEmpty());
        TypeInto(edit, QStringLiteral("  Alpha two  "));
        Click(Ok(w));
    });
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strNewTitle, "Alpha two");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditDialogsTest, ChangeTitleDialogRefusesTheCurrentTitleAndAnEmptyOne) {
    Add("Alpha", "C++", "GUI");
    CChangeTitleDlg dlg(*doc, "Alpha");
    WhenModal([&](QWidget* w) {
        auto* edit = Find<QLineEdit>(w, "newTitleEdit");
        TypeInto(edit, QStringLiteral("Alpha"));
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        TypeInto(edit, QStringLiteral("  "));
        Click(Ok(w));
        EXPECT_TRUE(w->isVisible());
        // Another letter case is another title.
        TypeInto(edit, QStringLiteral("ALPHA"));
        Click(Ok(w));
    });
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strNewTitle, "ALPHA");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text,
              "The title you have entered is not unique.The sample in\n"
              "\tCategory: \"C++\",\n\tSubcategory: \"GUI\" \nalready has that title.\n"
              "Please select another title.\n");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.shown[1].text, edit_msg::kEmptyNewTitle);
}

TEST_F(EditDialogsTest, ChangeTitleDialogCancelled) {
    Add("Alpha", "C++", "GUI");
    CChangeTitleDlg dlg(*doc, "Alpha");
    WhenModal([&](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QStringLiteral("Beta"));
        Click(Cancel(w));
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}
