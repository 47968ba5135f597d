// The Add Sample wizard on its own: its pages, texts, tree, preselection, page-1
// checks, Back and Next, the summary and the sample it builds.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "EditTestSupport.h"
#include "tools/AddSampleWizard.h"

namespace {

// The wizard's pages and buttons, found by name.
struct Wiz {
    QWidget* w;
    QAbstractButton* Next() { return Find<QAbstractButton>(w, "nextButton"); }
    QAbstractButton* Back() { return Find<QAbstractButton>(w, "backButton"); }
    QAbstractButton* Finish() { return Find<QAbstractButton>(w, "finishButton"); }
    QAbstractButton* Cancel() { return Find<QAbstractButton>(w, "cancelButton"); }
    QTreeWidget* Tree() { return Find<QTreeWidget>(w, "wizTree"); }
    QLineEdit* Title() { return Find<QLineEdit>(w, "wizTitleEdit"); }
    QLabel* Category() { return Find<QLabel>(w, "wizCategoryLabel"); }
    QLabel* Subcategory() { return Find<QLabel>(w, "wizSubcategoryLabel"); }
    QLineEdit* Keywords() { return Find<QLineEdit>(w, "wizKeywordsEdit"); }
    QPlainTextEdit* Comments() { return Find<QPlainTextEdit>(w, "wizCommentsEdit"); }
    QPlainTextEdit* Text() { return Find<QPlainTextEdit>(w, "wizTextEdit"); }
    QPlainTextEdit* Confirm() { return Find<QPlainTextEdit>(w, "wizConfirmEdit"); }
    int Page() { return static_cast<QWizard*>(w)->currentId(); }
    // The item of the wizard tree with this path below the root ("C++", "General").
    QTreeWidgetItem* Item(const std::vector<std::string>& path) {
        QTreeWidgetItem* item = Tree()->topLevelItem(0);
        for (const std::string& name : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; item && i < item->childCount() && !next; ++i)
                if (item->child(i)->text(0).toStdString() == name)
                    next = item->child(i);
            item = next;
        }
        return item;
    }
    void Choose(const std::vector<std::string>& path) {
        QTreeWidgetItem* item = Item(path);
        ASSERT_NE(item, nullptr);
        Tree()->setCurrentItem(item);
    }
};

std::vector<std::string> ChildTexts(QTreeWidgetItem* item) {
    std::vector<std::string> out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out.push_back(item->child(i)->text(0).toStdString());
    return out;
}

std::vector<std::string> LabelTexts(QWidget* page) {
    std::vector<std::string> texts;
    for (QLabel* label : page->findChildren<QLabel*>())
        if (label->objectName().isEmpty())
            texts.push_back(label->text().toStdString());
    return texts;
}

class WizardTest : public LibraryFixture {
protected:
    WizardTest() {
        Add("Alpha", "C++", "General", "one, two", "", "int a;");
        Add("Delta", "Java", "");
    }

    // Runs the wizard with the script acting on it; returns the sample of a finished run.
    std::unique_ptr<CSample> Run(std::function<void(Wiz&)> script) {
        WhenModal([script](QWidget* w) {
            Wiz wiz{w};
            script(wiz);
        });
        std::unique_ptr<CSample> s =
            RunAddSampleWizard(*doc, preselection, WizardCarryOver{chunks, droppedPending, dropped}, nullptr);
        return s;
    }

    WizardPreselection preselection;
    std::string chunks[3];
    bool droppedPending = false;
    std::string dropped;
};

} // namespace

TEST_F(WizardTest, PagesCaptionsTextsAndButtons) {
    auto s = Run([&](Wiz& z) {
        EXPECT_EQ(z.Page(), 0);
        EXPECT_EQ(z.w->windowTitle(), QStringLiteral("Add Sample Wizard - Step 1 of 4"));
        QWidget* page = static_cast<QWizard*>(z.w)->currentPage();
        EXPECT_EQ(LabelTexts(page),
                  (std::vector<std::string>{
                      "1.  Click the category or sub-category to which this sample will belong.",
                      "Category:", "Sub-category:", "2.  Specify a title for this sample (required):"}));
        // Next only (Back shown but disabled), Cancel always.
        EXPECT_TRUE(z.Next()->isVisible() && z.Next()->isEnabled());
        EXPECT_FALSE(z.Back()->isEnabled());
        EXPECT_FALSE(z.Finish()->isVisible());
        EXPECT_TRUE(z.Cancel()->isVisible());
        z.Choose({"C++", "GUI"});
        TypeInto(z.Title(), QStringLiteral("Bravo"));
        Click(z.Next());

        EXPECT_EQ(z.Page(), 1);
        EXPECT_EQ(z.w->windowTitle(), QStringLiteral("Add Sample Wizard - Step 2 of 4"));
        page = static_cast<QWizard*>(z.w)->currentPage();
        EXPECT_EQ(LabelTexts(page),
                  (std::vector<std::string>{
                      "1.  Specify key words/phrases inthe box below (optional). Key words/phrases "
                      "must be separated by commas.",
                      "2.  You may add comments (optional) for this sample, e.g. name of original "
                      "source file and/or project, original author, etc."}));
        EXPECT_TRUE(z.Back()->isEnabled());
        EXPECT_TRUE(z.Next()->isVisible() && z.Next()->isEnabled());
        EXPECT_FALSE(z.Finish()->isVisible());
        Click(z.Next());

        EXPECT_EQ(z.Page(), 2);
        EXPECT_EQ(z.w->windowTitle(), QStringLiteral("Add Sample Wizard - Step 3 of 4"));
        page = static_cast<QWizard*>(z.w)->currentPage();
        EXPECT_EQ(LabelTexts(page), (std::vector<std::string>{"1. Enter the sample below."}));
        EXPECT_TRUE(z.Back()->isEnabled());
        EXPECT_TRUE(z.Next()->isVisible());
        Click(z.Next());

        EXPECT_EQ(z.Page(), 3);
        EXPECT_EQ(z.w->windowTitle(), QStringLiteral("Add Sample Wizard - Step 4 of 4"));
        page = static_cast<QWizard*>(z.w)->currentPage();
        EXPECT_EQ(
            LabelTexts(page),
            (std::vector<std::string>{
                "CONFIRMATION", "A sample will be added with the following properties:",
                "Click the Finish button if these values are OK; otherwise, click the Cancel button."}));
        EXPECT_TRUE(z.Back()->isEnabled());
        EXPECT_FALSE(z.Next()->isVisible());
        EXPECT_TRUE(z.Finish()->isVisible() && z.Finish()->isEnabled());
        EXPECT_TRUE(z.Confirm()->isReadOnly());
        Click(z.Cancel());
    });
    EXPECT_EQ(s, nullptr);
}

TEST_F(WizardTest, TheTreeShowsCategoriesAndTheirShownSubcategories) {
    AddCustom("Tools", {"Build", "Shell"});
    CCategory java;
    ASSERT_TRUE(doc->FindCategory("Java", java));
    ASSERT_TRUE(java.RemoveSubcategory("GUI"));
    ASSERT_TRUE(doc->UpdateCategory("Java", java));
    Run([&](Wiz& z) {
        QTreeWidgetItem* root = z.Tree()->topLevelItem(0);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(z.Tree()->topLevelItemCount(), 1);
        EXPECT_EQ(root->text(0), QStringLiteral("Categories"));
        EXPECT_TRUE(root->isExpanded());
        // The document's order; slots in slot order; the hidden GUI of Java is left out.
        EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"C++", "Java", "Tools", "Visual Basic"}));
        EXPECT_EQ(ChildTexts(z.Item({"C++"})), (std::vector<std::string>{"General", "GUI", "COM"}));
        EXPECT_EQ(ChildTexts(z.Item({"Java"})), (std::vector<std::string>{"General", "COM"}));
        EXPECT_EQ(ChildTexts(z.Item({"Tools"})), (std::vector<std::string>{"Build", "Shell"}));
        // No preselection without a main-tree selection.
        EXPECT_EQ(z.Tree()->currentItem(), nullptr);
        EXPECT_TRUE(z.Category()->text().isEmpty());
        // Choosing an item fills the labels.
        z.Choose({"Tools", "Shell"});
        EXPECT_EQ(z.Category()->text(), QStringLiteral("Tools"));
        EXPECT_EQ(z.Subcategory()->text(), QStringLiteral("Shell"));
        z.Choose({"Java"});
        EXPECT_EQ(z.Category()->text(), QStringLiteral("Java"));
        EXPECT_TRUE(z.Subcategory()->text().isEmpty());
        z.Choose({});
        EXPECT_EQ(z.Category()->text(), QStringLiteral("Categories"));
    });
}

TEST_F(WizardTest, PreselectionFollowsTheMainTree) {
    using Kind = WizardPreselection::Kind;
    struct Case {
        WizardPreselection main;
        std::string category;
        std::string sub;
    };
    for (const Case& c : {Case{{Kind::Subcategory, "C++", "General"}, "C++", "General"},
                          Case{{Kind::Subcategory, "Java", "GUI"}, "Java", "GUI"},
                          Case{{Kind::Category, "Java", ""}, "Java", ""}, Case{{}, "", ""}}) {
        preselection = c.main;
        Run([&](Wiz& z) {
            EXPECT_EQ(z.Category()->text().toStdString(), c.category);
            EXPECT_EQ(z.Subcategory()->text().toStdString(), c.sub);
            if (!c.category.empty()) {
                ASSERT_NE(z.Tree()->currentItem(), nullptr);
                EXPECT_EQ(z.Tree()->currentItem()->text(0).toStdString(), c.sub.empty() ? c.category : c.sub);
                EXPECT_TRUE(z.Item({c.category})->isExpanded());
            } else {
                EXPECT_EQ(z.Tree()->currentItem(), nullptr);
            }
        });
    }
}

TEST_F(WizardTest, PageOneRefusesInOrderAndKeepsTheInput) {
    AddCustom("Categories", {"Inner"});
    messages.answers.assign(5, MsgAnswer::Ok);
    auto s = Run([&](Wiz& z) {
        // Neither chosen: only the category is named.
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        // The root item.
        z.Choose({});
        TypeInto(z.Title(), QStringLiteral("Fresh"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        // A category that is really named "Categories" is refused the same way.
        z.Choose({"Categories"});
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        // A title of blanks.
        z.Choose({"C++", "COM"});
        TypeInto(z.Title(), QStringLiteral("   "));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        EXPECT_EQ(z.Title()->text(), QStringLiteral("   "));
        // Taken in another category: the message names it.
        TypeInto(z.Title(), QStringLiteral("Delta"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        EXPECT_EQ(z.Title()->text(), QStringLiteral("Delta"));
        // Letter case makes another title; blanks around it are dropped.
        TypeInto(z.Title(), QStringLiteral("  DELTA "));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 1);
        Click(z.Next());
        Click(z.Next());
        Click(z.Finish());
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "You must specify a category.", "You must specify a category.",
                           "You must specify a category.", "You must specify a title.",
                           "The title you have entered is not unique.The sample in\n"
                           "\tCategory: \"Java\",\n\tSubcategory: \"\" \nalready has that title.\n"
                           "Please select another title.\n"}));
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[3].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[4].icon, MsgIcon::Exclamation);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "DELTA");
    EXPECT_EQ(s->GetCategory(), "C++");
    EXPECT_EQ(s->GetSubcategory(), "COM");
    // The library itself is the launcher's business.
    EXPECT_EQ(doc->PeekSample("DELTA"), nullptr);
}

TEST_F(WizardTest, ALibraryWithoutCategoriesCanNeverLeavePageOne) {
    doc.reset();
    // A document that was never loaded holds no category.
    doc = std::make_unique<CQuorrinDoc>(config, errors);
    messages.answers = {MsgAnswer::Ok};
    Run([&](Wiz& z) {
        EXPECT_EQ(ChildTexts(z.Tree()->topLevelItem(0)), std::vector<std::string>{});
        z.Choose({});
        TypeInto(z.Title(), QStringLiteral("T"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"You must specify a category."}));
}

TEST_F(WizardTest, TheSummaryAndTheSampleOfAFinishedRun) {
    auto s = Run([&](Wiz& z) {
        z.Choose({"C++", "GUI"});
        TypeInto(z.Title(), QStringLiteral(" Quick sort "));
        Click(z.Next());
        TypeInto(z.Keywords(), QStringLiteral("sort , fast,  array"));
        TypeInto(z.Comments(), QStringLiteral("From the book."));
        QTest::keyClick(z.Comments(), Qt::Key_Return);
        QTest::keyClicks(z.Comments(), QStringLiteral("Page 87"));
        Click(z.Next());
        TypeInto(z.Text(), QStringLiteral("void qs();"));
        QTest::keyClick(z.Text(), Qt::Key_Return);
        QTest::keyClicks(z.Text(), QStringLiteral("int x;"));
        Click(z.Next());
        EXPECT_EQ(z.Confirm()->toPlainText().toStdString(), "Title:  Quick sort\n"
                                                            "\n"
                                                            "Category:  C++\n"
                                                            "Sub-category:  GUI\n"
                                                            "Keywords:\n"
                                                            "sort , fast,  array\n"
                                                            "\n"
                                                            "Comments:\n"
                                                            "From the book.\n"
                                                            "Page 87\n"
                                                            "\n"
                                                            "Sample:\n"
                                                            "void qs();\n"
                                                            "int x;");
        EXPECT_EQ(Find<CAddSample4>(z.w, "addSample4")->m_strConfirmation,
                  "Title:  Quick sort\r\n\r\nCategory:  C++\r\n"
                  "Sub-category:  GUI\r\nKeywords:\r\nsort , fast,  array\r\n\r\n"
                  "Comments:\r\nFrom the book.\r\nPage 87\r\n\r\n"
                  "Sample:\r\nvoid qs();\r\nint x;");
        Click(z.Finish());
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "Quick sort");
    EXPECT_EQ(s->GetCategory(), "C++");
    EXPECT_EQ(s->GetSubcategory(), "GUI");
    // The keywords are the trimmed pieces; the summary showed them as typed.
    EXPECT_EQ(s->Keywords(), (std::vector<std::string>{"sort", "fast", "array"}));
    EXPECT_EQ(s->GetComments(), "From the book.\r\nPage 87");
    EXPECT_EQ(s->GetText(), "void qs();\r\nint x;");
    // The chunks stay with the application after the run.
    EXPECT_EQ(chunks[0], "Title:  Quick sort\r\n\r\nCategory:  C++\r\nSub-category:  GUI\r\n");
    EXPECT_EQ(chunks[2], "Sample:\r\nvoid qs();\r\nint x;");
}

TEST_F(WizardTest, BackAndNextKeepTheValues) {
    auto s = Run([&](Wiz& z) {
        z.Choose({"Java", "COM"});
        TypeInto(z.Title(), QStringLiteral("First"));
        Click(z.Next());
        TypeInto(z.Keywords(), QStringLiteral("k1"));
        TypeInto(z.Comments(), QStringLiteral("c1"));
        Click(z.Next());
        TypeInto(z.Text(), QStringLiteral("t1"));
        Click(z.Next());
        // From page 4 back to page 1: everything is still there.
        Click(z.Back());
        EXPECT_EQ(z.Text()->toPlainText(), QStringLiteral("t1"));
        Click(z.Back());
        EXPECT_EQ(z.Keywords()->text(), QStringLiteral("k1"));
        EXPECT_EQ(z.Comments()->toPlainText(), QStringLiteral("c1"));
        // Typed on page 2 but left with Back: kept too.
        TypeInto(z.Keywords(), QStringLiteral("k2"));
        Click(z.Back());
        EXPECT_EQ(z.Page(), 0);
        EXPECT_EQ(z.Title()->text(), QStringLiteral("First"));
        EXPECT_EQ(z.Category()->text(), QStringLiteral("Java"));
        EXPECT_EQ(z.Subcategory()->text(), QStringLiteral("COM"));
        ASSERT_NE(z.Tree()->currentItem(), nullptr);
        EXPECT_EQ(z.Tree()->currentItem()->text(0), QStringLiteral("COM"));
        // A new title shows on page 4 after walking forward again.
        TypeInto(z.Title(), QStringLiteral("Second"));
        Click(z.Next());
        EXPECT_EQ(z.Keywords()->text(), QStringLiteral("k2"));
        Click(z.Next());
        Click(z.Next());
        EXPECT_TRUE(z.Confirm()->toPlainText().startsWith(QStringLiteral("Title:  Second\n")));
        EXPECT_TRUE(z.Confirm()->toPlainText().contains(QStringLiteral("Keywords:\nk2\n")));
        Click(z.Finish());
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "Second");
    EXPECT_EQ(s->GetKeywords(), "k2");
    EXPECT_EQ(s->GetText(), "t1");
}

TEST_F(WizardTest, ACategoryAloneGivesAnEmptySubcategory) {
    auto s = Run([&](Wiz& z) {
        z.Choose({"Visual Basic"});
        TypeInto(z.Title(), QStringLiteral("VB one"));
        Click(z.Next());
        Click(z.Next());
        Click(z.Next());
        EXPECT_TRUE(z.Confirm()->toPlainText().startsWith(QStringLiteral(
            "Title:  VB one\n\nCategory:  Visual Basic\nSub-category:  \nKeywords:\n\n\nComments:\n\n\n"
            "Sample:\n")));
        Click(z.Finish());
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetCategory(), "Visual Basic");
    EXPECT_EQ(s->GetSubcategory(), "");
    EXPECT_EQ(s->GetKeywordCount(), 0u);
}

TEST_F(WizardTest, DroppedTextIsTakenOnceByPageThree) {
    droppedPending = true;
    dropped = "line 1\r\nline 2";
    Run([&](Wiz& z) {
        // Taken when the pages were made: the flag is down already.
        EXPECT_FALSE(droppedPending);
        z.Choose({"C++"});
        TypeInto(z.Title(), QStringLiteral("Dropped"));
        Click(z.Next());
        Click(z.Next());
        EXPECT_EQ(z.Text()->toPlainText(), QStringLiteral("line 1\nline 2"));
        Click(z.Cancel());
    });
    EXPECT_FALSE(droppedPending);
    // A later run starts with an empty text page.
    Run([&](Wiz& z) {
        z.Choose({"C++"});
        TypeInto(z.Title(), QStringLiteral("Typed"));
        Click(z.Next());
        Click(z.Next());
        EXPECT_TRUE(z.Text()->toPlainText().isEmpty());
    });
}

TEST_F(WizardTest, InputTheCategoryFileCannotHoldIsRefusedOnItsPage) {
    messages.answers.assign(4, MsgAnswer::Ok);
    auto s = Run([&](Wiz& z) {
        z.Choose({"C++"});
        // A pasted line break in the title.
        z.Title()->setText(QStringLiteral("Two\nlines"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 0);
        TypeInto(z.Title(), QStringLiteral("One line"));
        Click(z.Next());
        z.Keywords()->setText(QStringLiteral("a, b\nc"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 1);
        TypeInto(z.Keywords(), QStringLiteral("a, b"));
        // A last line that is exactly the end marker would end the section early.
        z.Comments()->setPlainText(QStringLiteral("a\n***COMMENTS_END***"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 1);
        // Inner lines end in CR LF, which keeps them apart from the marker.
        z.Comments()->setPlainText(QStringLiteral("a\n***COMMENTS_END***\nb"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 2);
        z.Text()->setPlainText(QStringLiteral("x\n***TEXT_END***"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 2);
        z.Text()->setPlainText(QStringLiteral("***TEXT_END***\nx"));
        Click(z.Next());
        EXPECT_EQ(z.Page(), 3);
        Click(z.Finish());
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "The title cannot contain a line break.", "A keyword cannot contain a line break.",
                           "A line of the comments cannot be exactly \"***COMMENTS_END***\".",
                           "A line of the text cannot be exactly \"***TEXT_END***\"."}));
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.shown[3].icon, MsgIcon::Exclamation);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "One line");
    EXPECT_EQ(s->GetComments(), "a\r\n***COMMENTS_END***\r\nb");
    EXPECT_EQ(s->GetText(), "***TEXT_END***\r\nx");
}

TEST_F(WizardTest, CancelOnAnyPageBuildsNothing) {
    for (int page = 0; page < 4; ++page) {
        auto s = Run([&](Wiz& z) {
            z.Choose({"C++"});
            TypeInto(z.Title(), QStringLiteral("Cancelled"));
            for (int i = 0; i < page; ++i)
                Click(z.Next());
            EXPECT_EQ(z.Page(), page);
            Click(z.Cancel());
        });
        EXPECT_EQ(s, nullptr);
    }
    EXPECT_EQ(doc->GetSampleCount(), 2);
}
