// The Search dialog: it runs the program's events once per sample, and whatever those
// events do (Stop, a new search, the library, the dialog or the window changed or gone)
// the search ends or goes on soundly. And the window's Search command.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <array>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/SearchDlg.h"
#include "ui/CodeEditor.h"

namespace {

using Rows = std::vector<std::string>; // "title=count"
using B = std::array<bool, 3>;         // Search, Stop, Close enabled
const char* const kStopped = "Searched stopped before it could complete";

class SearchTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt",
                       SampleFileBytes("C++", "General", "A aaaa", "", "", "aaaa") +
                           SampleFileBytes("C++", "GUI", "B lists", "list, listbox", "a List here", "LIST of list") +
                           SampleFileBytes("C++", "General", "C none", "", "", "nothing") +
                           SampleFileBytes("C++", "COM", "D aaa", "", "", "aaa"));
        WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "General", "E java list", "list", "", "list") +
                                              SampleFileBytes("Java", "GUI", "F Java category", "", "", "Java"));
        Start();
        m_dlg = new CSearchDlg([this] { return m_app ? Doc() : nullptr; }, [this] { m_pump(); }, Frame());
        m_dlg->Create();
        m_dlg->show();
    }
    void TearDown() override {
        delete m_dlg.data();
        GuiTest::TearDown();
    }
    void Search(const char* text, bool keywordsOnly = false, bool matchCase = false, QWidget* dlg = nullptr) {
        dlg = dlg ? dlg : m_dlg.data();
        Find<QLineEdit>(dlg, "searchTextEdit")->setText(QString::fromUtf8(text));
        Find<QCheckBox>(dlg, "keywordsOnlyCheck")->setChecked(keywordsOnly);
        Find<QCheckBox>(dlg, "matchCaseCheck")->setChecked(matchCase);
        Find<QPushButton>(dlg, "searchButton")->click();
    }
    Rows Found(QWidget* dlg = nullptr) {
        Rows rows;
        auto* list = Find<QTreeWidget>(dlg ? dlg : m_dlg.data(), "resultList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back((list->topLevelItem(i)->text(0) + "=" + list->topLevelItem(i)->text(1)).toStdString());
        return rows;
    }
    std::string Status() { return Find<QLabel>(m_dlg, "statusText")->text().toStdString(); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(m_dlg, name); }
    B Buttons() {
        return {Button("searchButton")->isEnabled(), Button("stopButton")->isEnabled(),
                Button("closeButton")->isEnabled()};
    }
    // A pump that runs the events and then the step for this call (1-based).
    void PumpWith(std::function<void(int)> step) {
        m_pumps = 0;
        m_pump = [this, step] {
            QCoreApplication::processEvents();
            step(++m_pumps);
        };
    }

    QPointer<CSearchDlg> m_dlg;
    std::function<void()> m_pump = [] {};
    int m_pumps = 0;
};

} // namespace

TEST_F(SearchTest, PumpsOncePerSampleAndShowsRowsAsTheyAreFound) {
    std::vector<B> states;
    std::vector<size_t> shown;
    PumpWith([&](int) {
        states.push_back(Buttons());
        shown.push_back(Found().size());
    });
    Search("aa");
    EXPECT_EQ(states, std::vector<B>(6, B{false, true, false}));
    EXPECT_GE(shown.at(1), 1u); // the first row is shown while the search still runs
    EXPECT_EQ(Found(), (Rows{"A aaaa=4", "D aaa=2"}));
    EXPECT_EQ(Buttons(), (B{true, false, true}));
}

TEST_F(SearchTest, TheLibraryChangedDuringTheSearch) {
    // While the first sample is examined, it and the next in the walk go away.
    PumpWith([&](int n) {
        if (n == 1) {
            EXPECT_TRUE(Doc()->DeleteSample("A aaaa") && Doc()->DeleteSample("B lists"));
        }
    });
    Search("a");
    EXPECT_EQ(Found().size(), 3u);
    EXPECT_EQ(m_pumps, 5);
    // The category a limited search walks goes away.
    Choose(Find<QComboBox>(m_dlg, "categoryLimitCombo"), "Java");
    PumpWith([&](int n) {
        if (n == 1) {
            EXPECT_TRUE(Doc()->DeleteSample("E java list") && Doc()->DeleteSample("F Java category") &&
                        Doc()->DeleteCategory("Java"));
        }
    });
    Search("list");
    EXPECT_TRUE(Found().empty());
}

TEST_F(SearchTest, WhatTheUserDoesDuringTheSearch) {
    auto text = [this](const char* t) { Find<QLineEdit>(m_dlg, "searchTextEdit")->setText(QString::fromLatin1(t)); };
    const struct {
        const char* what;
        int at; // the pump that acts
        std::function<void()> act;
        Rows rows;
        int pumps;
    } cases[] = {
        {"Stop: stopped", 2, [&] { Button("stopButton")->click(); }, {"A aaaa=4"}, 2},
        {"text changed: counts for the samples that follow", 1, [&] { text("list"); },
         {"A aaaa=4", "B lists=6", "E java list=3"}, 6},
        {"Search again: a new search", 2, [&] { text("java"), Button("searchButton")->click(); },
         {"E java list=1", "F Java category=2"}, 2 + 6},
        {"text emptied: stopped", 2, [&] { text(""); }, {"A aaaa=4"}, 2},
        {"Clear Display", 2, [&] { Button("clearDisplayButton")->click(); }, {}, 2},
        {"dialog hidden: stopped", 2, [&] { m_dlg->reject(); }, {"A aaaa=4"}, 2},
    };
    for (const auto& c : cases) {
        m_dlg->show();
        PumpWith([&](int n) {
            if (n == c.at)
                c.act();
        });
        Search("aa");
        EXPECT_EQ(Found(), c.rows) << c.what;
        EXPECT_EQ(m_pumps, c.pumps) << c.what;
        EXPECT_EQ(Status() == kStopped, std::string(c.what).ends_with("stopped")) << c.what;
        // No search runs any more.
        EXPECT_TRUE(!Button("stopButton")->isEnabled() && Button("closeButton")->isEnabled()) << c.what;
    }
}

TEST_F(SearchTest, TheDocumentClosedOrTheDialogDestroyedDuringTheSearch) {
    bool closed = false;
    CSearchDlg dlg([&]() -> CQuorrinDoc* { return closed ? nullptr : Doc(); }, [&] { closed = true; }, Frame());
    dlg.Create();
    Search("a", false, false, &dlg);
    EXPECT_EQ(Find<QLabel>(&dlg, "statusText")->text().toStdString(), kStopped);
    EXPECT_FALSE(Find<QPushButton>(&dlg, "stopButton")->isEnabled());
    PumpWith([&](int n) {
        if (n == 2)
            delete m_dlg.data();
    });
    Search("a");
    EXPECT_TRUE(m_dlg.isNull());
    EXPECT_EQ(Doc()->GetSampleCount(), 6); // the program goes on
}

TEST_F(SearchTest, TheWindowsSearchIsMadeOnceKeepsItsResultsAndShowsTheChosenSample) {
    delete m_dlg.data(); // the window makes its own
    Run(cmd::kSearch);
    auto* dlg = Frame()->findChild<CSearchDlg*>(QStringLiteral("searchDialog"));
    ASSERT_NE(dlg, nullptr);
    Search("list", false, false, dlg);
    Find<QPushButton>(dlg, "closeButton")->click();
    EXPECT_FALSE(dlg->isVisible());
    Run(cmd::kSearch);
    EXPECT_EQ(Frame()->findChildren<CSearchDlg*>(QStringLiteral("searchDialog")).size(), 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(Found(dlg), (Rows{"B lists=6", "E java list=3"}));
    auto* list = Find<QTreeWidget>(dlg, "resultList");
    list->topLevelItem(1)->setSelected(true);
    emit list->itemDoubleClicked(list->topLevelItem(1), 0);
    Pump();
    EXPECT_EQ(Selected(), "E java list");
    EXPECT_EQ(Child<CCodeEditor>("textEdit")->PlainText(), QStringLiteral("list\n"));
    // Enter in the list shows the current row's sample; it does not search again.
    Find<QLineEdit>(dlg, "searchTextEdit")->setText(QStringLiteral("no such text"));
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    Pump();
    EXPECT_EQ(Selected(), "B lists");
    EXPECT_EQ(Found(dlg).size(), 2u);
}

TEST_F(SearchTest, DeleteAndLibraryInfoInTheWindowDuringASearch) {
    std::string report;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) { report = qobject_cast<CLibraryInfoDlg*>(w)->m_strReport; });
    PumpWith([&](int n) {
        if (n == 1) { // while A is examined, the user deletes B in the window
            Select(SampleItem("B lists"));
            m_messages.answers = {MsgAnswer::Yes};
            Run(cmd::kDelete);
        } else if (n == 2) {
            Run(cmd::kLibraryInfo);
        }
    });
    Search("list");
    EXPECT_EQ(Found(), Rows{"E java list=3"});
    EXPECT_NE(report.find("total of 5 sample(s)"), std::string::npos) << report;
    Select(SampleItem("C none")); // the program goes on
}

TEST_F(SearchTest, ClosingTheProgramDuringASearch) {
    PumpWith([&](int n) {
        if (n == 2)
            Frame()->close();
    });
    Search("list");
    EXPECT_EQ(m_pumps, 2);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(View()->Document(), nullptr);
    EXPECT_EQ(Status(), kStopped);
}

// The "Regular expression" option counts through the shared matcher; a bad pattern is
// told and leaves the rows as they were; a pattern that runs away ends the search.
TEST_F(SearchTest, RegularExpressionsCountAsTheToolDoesAndFailLoudly) {
    auto* regex = Find<QCheckBox>(m_dlg, "regexCheck");
    regex->setChecked(true);
    Search("lists?\\b");
    EXPECT_EQ(Found(), (Rows{"B lists=5", "E java list=3"}));
    EXPECT_EQ(Status(), "Found 8 occurrence(s) in 2 sample(s)");

    m_messages.answers = {MsgAnswer::Ok};
    regex->setChecked(true);
    Search("(a");
    EXPECT_EQ(m_messages.Texts(),
              std::vector<std::string>{"The regular expression is not valid at character 3: missing closing parenthesis."});
    EXPECT_EQ(Found(), (Rows{"B lists=5", "E java list=3"}));
    EXPECT_EQ(Buttons(), (B{true, false, true}));

    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    ASSERT_TRUE(Doc()->AddSample(
        std::make_unique<CSample>(MakeSample("AA run", "C++", "General", "", "", std::string(40, 'a') + "!"))));
    regex->setChecked(true);
    Search("(a+)+$");
    EXPECT_EQ(Status(), kStopped);
    EXPECT_EQ(Found(), (Rows{"A aaaa=2"})); // the samples before it
    ASSERT_EQ(m_messages.Texts().size(), 1u);
    EXPECT_NE(m_messages.Texts()[0].find("\"AA run\""), std::string::npos);
}
