// The Add Sample wizard on its own: its tree and preselection, the checks of each page,
// Back and Next, dropped text, and the sample a finished run builds.
#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "tools/AddSampleWizard.h"

namespace {

// The wizard's widgets, found by name.
struct Wiz {
    QWidget* w;
    void Press(const char* button) { Click(Find<QAbstractButton>(w, button)); }
    void Next(int times = 1) {
        for (int i = 0; i < times; ++i)
            Press("nextButton");
    }
    QTreeWidget* Tree() { return Find<QTreeWidget>(w, "wizTree"); }
    QLineEdit* Title() { return Find<QLineEdit>(w, "wizTitleEdit"); }
    std::string Place() { return WizardPlace(w); }
    QLineEdit* Keywords() { return Find<QLineEdit>(w, "wizKeywordsEdit"); }
    QPlainTextEdit* Comments() { return Find<QPlainTextEdit>(w, "wizCommentsEdit"); }
    QPlainTextEdit* Text() { return Find<QPlainTextEdit>(w, "wizTextEdit"); }
    int Page() { return static_cast<QWizard*>(w)->currentId(); }
    // The item with this path below the root ("C++", "General").
    QTreeWidgetItem* Item(const Names& path) {
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
    void Choose(const Names& path) { Tree()->setCurrentItem(Item(path)); }
    Names Children(const Names& path) {
        Names out;
        for (int i = 0; Item(path) && i < Item(path)->childCount(); ++i)
            out.push_back(Item(path)->child(i)->text(0).toStdString());
        return out;
    }
};

class WizardTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", ""));
        WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "", "Delta", "", "", ""));
        Start();
    }
    // Runs the wizard with the script acting on it; the sample of a finished run.
    std::unique_ptr<CSample> RunWizard(std::function<void(Wiz&)> script) {
        WhenModal([script](QWidget* w) {
            Wiz wiz{w};
            script(wiz);
        });
        return RunAddSampleWizard(*Doc(), preselection, WizardCarryOver{chunks, droppedPending, dropped}, nullptr);
    }

    WizardPreselection preselection;
    std::string chunks[3];
    bool droppedPending = false;
    std::string dropped;
};

} // namespace

TEST_F(WizardTest, TheTreeShowsTheShownPlacesAndStartsAtTheMainTreesSelection) {
    auto tools = std::make_unique<CCategory>("Tools");
    tools->Slot(0) = SubcategorySlot{"Build", true, true};
    tools->Slot(1) = SubcategorySlot{"Shell", true, true};
    ASSERT_TRUE(Doc()->AddCategory(std::move(tools)));
    CCategory java;
    ASSERT_TRUE(Doc()->FindCategory("Java", java) && java.RemoveSubcategory("GUI"));
    ASSERT_TRUE(Doc()->UpdateCategory("Java", java));
    using Kind = WizardPreselection::Kind;
    const struct {
        WizardPreselection main;
        std::string place, item;
    } cases[] = {{{Kind::Subcategory, "C++", "General"}, "C++/General", "General"},
                 {{Kind::Subcategory, "Tools", "Shell"}, "Tools/Shell", "Shell"},
                 {{Kind::Category, "Java", ""}, "Java/", "Java"},
                 {{}, "/", ""}};
    for (const auto& c : cases) {
        preselection = c.main;
        RunWizard([&](Wiz& z) {
            // The document's order; slots in slot order; Java's hidden GUI left out.
            EXPECT_EQ(z.Children({}), (Names{"C++", "Java", "Tools", "Visual Basic"}));
            EXPECT_EQ(z.Children({"C++"}), (Names{"General", "GUI", "COM"}));
            EXPECT_EQ(z.Children({"Java"}), (Names{"General", "COM"}));
            EXPECT_EQ(z.Place(), c.place);
            QTreeWidgetItem* current = z.Tree()->currentItem();
            EXPECT_EQ(current ? current->text(0).toStdString() : "", c.item);
            z.Choose({"Tools", "Build"});
            EXPECT_EQ(z.Place(), "Tools/Build");
        });
    }
}

TEST_F(WizardTest, EachPageRefusesWhatItCannotTakeAndKeepsTheInput) {
    // On its page: what is set, then the message expected ("" when the page is left).
    const std::vector<std::pair<std::function<void(Wiz&)>, std::string>> steps = {
        {[](Wiz&) {}, "You must specify a category."},
        {[](Wiz& z) { z.Choose({"C++", "COM"}), TypeInto(z.Title(), QStringLiteral("Delta")); }, "not unique"},
        // Letter case makes another title; blanks around it are dropped.
        {[](Wiz& z) { TypeInto(z.Title(), QStringLiteral("  DELTA ")); }, ""},
        {[](Wiz& z) { z.Keywords()->setText(QStringLiteral("a, b\nc")); }, "line break"},
        // A last line that is exactly the end marker would end the section early; inner
        // lines end in CR LF, which keeps them apart from it.
        {[](Wiz& z) {
             TypeInto(z.Keywords(), QStringLiteral("a, b"));
             z.Comments()->setPlainText(QStringLiteral("a\n***COMMENTS_END***"));
         },
         "COMMENTS_END"},
        {[](Wiz& z) { z.Comments()->setPlainText(QStringLiteral("a\n***COMMENTS_END***\nb")); }, ""},
        {[](Wiz& z) { z.Text()->setPlainText(QStringLiteral("x\n***TEXT_END***")); }, "TEXT_END"},
        {[](Wiz& z) { z.Text()->setPlainText(QStringLiteral("***TEXT_END***\nx")); }, ""},
    };
    for (const auto& [set, message] : steps)
        if (!message.empty())
            m_messages.answers.push_back(MsgAnswer::Ok);
    auto s = RunWizard([&](Wiz& z) {
        for (const auto& [set, message] : steps) {
            const size_t shown = m_messages.shown.size();
            const int page = z.Page();
            set(z);
            const QString title = z.Title()->text();
            z.Next();
            EXPECT_EQ(z.Page(), message.empty() ? page + 1 : page) << message;
            ASSERT_EQ(m_messages.shown.size(), shown + (message.empty() ? 0 : 1)) << message;
            if (!message.empty()) {
                EXPECT_NE(m_messages.shown.back().text.find(message), std::string::npos) << message;
                EXPECT_EQ(z.Title()->text(), title);
            }
        }
        z.Press("finishButton");
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "DELTA");
    EXPECT_EQ(s->GetComments(), "a\r\n***COMMENTS_END***\r\nb");
    EXPECT_EQ(s->GetText(), "***TEXT_END***\r\nx");
    EXPECT_EQ(Doc()->PeekSample("DELTA"), nullptr); // the library is the caller's business
}

TEST_F(WizardTest, AFinishedRunBuildsTheSampleItSummedUpAndBackAndNextKeepTheValues) {
    auto s = RunWizard([&](Wiz& z) {
        z.Choose({"Java", "COM"});
        TypeInto(z.Title(), QStringLiteral("First"));
        z.Next();
        TypeInto(z.Keywords(), QStringLiteral("k1"));
        z.Next();
        z.Text()->setPlainText(QStringLiteral("void qs();\nint x;"));
        z.Next();
        // From page 4 back to page 1: everything is still there, a page left with Back too.
        z.Press("backButton");
        z.Press("backButton");
        EXPECT_EQ(z.Keywords()->text(), QStringLiteral("k1"));
        TypeInto(z.Keywords(), QStringLiteral("sort , fast,  array"));
        z.Comments()->setPlainText(QStringLiteral("From the book.\nPage 87"));
        z.Press("backButton");
        EXPECT_EQ(z.Tree()->currentItem()->text(0), QStringLiteral("COM"));
        z.Choose({"C++", "GUI"});
        TypeInto(z.Title(), QStringLiteral(" Quick sort "));
        z.Next(3);
        EXPECT_EQ(Find<QPlainTextEdit>(z.w, "wizConfirmEdit")->toPlainText().toStdString(),
                  "Title:  Quick sort\n\nCategory:  C++\nSub-category:  GUI\nKeywords:\nsort , fast,  array\n\n"
                  "Comments:\nFrom the book.\nPage 87\n\nSample:\nvoid qs();\nint x;");
        z.Press("finishButton");
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "Quick sort");
    EXPECT_EQ(s->GetCategory() + "/" + s->GetSubcategory(), "C++/GUI");
    EXPECT_EQ(s->Keywords(), (Names{"sort", "fast", "array"}));
    EXPECT_EQ(s->GetComments(), "From the book.\r\nPage 87");
    EXPECT_EQ(s->GetText(), "void qs();\r\nint x;");
    // The summary's pieces stay with the application after the run.
    EXPECT_EQ(chunks[0], "Title:  Quick sort\r\n\r\nCategory:  C++\r\nSub-category:  GUI\r\n");
}

TEST_F(WizardTest, DroppedTextIsTakenOnceByPageThreeAndCancelBuildsNothing) {
    dropped = "line 1\r\nline 2";
    for (int page = 0; page < 4; ++page) {
        droppedPending = page == 2;
        auto s = RunWizard([&](Wiz& z) {
            EXPECT_FALSE(droppedPending); // taken when the pages were made
            z.Choose({"C++"});
            TypeInto(z.Title(), QStringLiteral("Cancelled"));
            z.Next(page);
            EXPECT_EQ(z.Text()->toPlainText(), page == 2 ? QStringLiteral("line 1\nline 2") : QString());
            EXPECT_EQ(z.Page(), page);
            z.Press("cancelButton");
        });
        EXPECT_EQ(s, nullptr);
    }
    // Taken: a later run starts with an empty text page.
    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(Doc()->GetSampleCount(), 2);
}
