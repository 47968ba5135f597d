// The Search dialog while it searches: it runs the program's events once per sample, and
// whatever those events do (Stop, a new search, the library or the dialog changed or
// gone) the search ends or goes on soundly.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <array>

#include "GuiTestSupport.h"
#include "tools/SearchDlg.h"

namespace {

struct Row {
    std::string title;
    std::string count;
    bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Row& r) { return os << r.title << "=" << r.count; }
using Rows = std::vector<Row>;
using B = std::array<bool, 3>; // Search, Stop, Close enabled
const char* const kStopped = "Searched stopped before it could complete";

class SearchTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "A aaaa", "", "", "aaaa") +
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
    void Search(const char* text, bool keywordsOnly = false, bool matchCase = false) {
        Find<QLineEdit>(m_dlg, "searchTextEdit")->setText(QString::fromUtf8(text));
        Find<QCheckBox>(m_dlg, "keywordsOnlyCheck")->setChecked(keywordsOnly);
        Find<QCheckBox>(m_dlg, "matchCaseCheck")->setChecked(matchCase);
        Button("searchButton")->click();
    }
    Rows Found() {
        Rows rows;
        auto* list = Find<QTreeWidget>(m_dlg, "resultList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back({list->topLevelItem(i)->text(0).toStdString(), list->topLevelItem(i)->text(1).toStdString()});
        return rows;
    }
    std::string Status() { return Find<QLabel>(m_dlg, "statusText")->text().toStdString(); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(m_dlg, name); }
    B Buttons() {
        return {Button("searchButton")->isEnabled(), Button("stopButton")->isEnabled(), Button("closeButton")->isEnabled()};
    }
    // A pump that runs the events and then the step for this call (1-based).
    void PumpWith(std::function<void(int)> step) {
        m_pumps = 0;
        m_pump = [this, step] {
            ++m_pumps;
            QCoreApplication::processEvents();
            step(m_pumps);
        };
    }

    QPointer<CSearchDlg> m_dlg;
    std::function<void()> m_pump = [] {};
    int m_pumps = 0;
};

} // namespace

TEST_F(SearchTest, PumpsOncePerSampleShowsRowsAsTheyAreFoundAndStopKeepsThem) {
    std::vector<B> states;
    std::vector<size_t> shown;
    PumpWith([&](int) {
        states.push_back(Buttons());
        shown.push_back(Found().size());
    });
    Search("aa");
    EXPECT_EQ(m_pumps, 6);
    for (const B& b : states)
        EXPECT_EQ(b, (B{false, true, false}));
    EXPECT_GE(shown.at(1), 1u); // the first row is shown while the search still runs
    EXPECT_EQ(shown.back(), 2u);
    EXPECT_EQ(Found(), (Rows{{"A aaaa", "4"}, {"D aaa", "2"}}));
    EXPECT_EQ(Status(), "Found 6 occurrence(s) in 2 sample(s)");

    PumpWith([&](int n) {
        if (n == 2) {
            Button("stopButton")->click();
            EXPECT_EQ(Buttons(), (B{true, false, true}));
        }
    });
    Search("aa");
    EXPECT_EQ(Found(), (Rows{{"A aaaa", "4"}}));
    EXPECT_EQ(Status(), kStopped);
    EXPECT_EQ(Buttons(), (B{true, false, true}));
}

TEST_F(SearchTest, TheOptionsAndTheCategoryLimitReachTheSearch) {
    Search("LIST");
    EXPECT_EQ(Found(), (Rows{{"B lists", "6"}, {"E java list", "3"}}));
    Search("LIST", false, true);
    EXPECT_EQ(Found(), (Rows{{"B lists", "1"}}));
    Search("list", true);
    EXPECT_EQ(Found(), (Rows{{"B lists", "2"}, {"E java list", "1"}}));
    Choose(Find<QComboBox>(m_dlg, "categoryLimitCombo"), "Java");
    Search("list");
    EXPECT_EQ(Found(), (Rows{{"E java list", "3"}}));
    // Clear Display forgets everything the search was given.
    Button("clearDisplayButton")->click();
    EXPECT_TRUE(Find<QLineEdit>(m_dlg, "searchTextEdit")->text().isEmpty());
    EXPECT_TRUE(Found().empty());
    EXPECT_TRUE(Status().empty());
    EXPECT_EQ(ComboCurrent(Find<QComboBox>(m_dlg, "categoryLimitCombo")), "(no limit)");
    EXPECT_EQ(Buttons(), (B{false, false, true}));
}

TEST_F(SearchTest, TheLibraryChangedDuringTheSearch) {
    // While the first sample is examined, it and the next in the walk go away.
    PumpWith([&](int n) {
        if (n == 1) {
            EXPECT_TRUE(Doc()->DeleteSample("A aaaa"));
            EXPECT_TRUE(Doc()->DeleteSample("B lists"));
        }
    });
    Search("a");
    ASSERT_EQ(Found().size(), 3u);
    EXPECT_EQ(Found()[0].title, "D aaa");
    EXPECT_EQ(m_pumps, 5);
    // The category a limited search walks goes away.
    Choose(Find<QComboBox>(m_dlg, "categoryLimitCombo"), "Java");
    PumpWith([&](int n) {
        if (n == 1) {
            EXPECT_TRUE(Doc()->DeleteSample("E java list"));
            EXPECT_TRUE(Doc()->DeleteSample("F Java category"));
            EXPECT_TRUE(Doc()->DeleteCategory("Java"));
        }
    });
    Search("list");
    EXPECT_TRUE(Found().empty());
    EXPECT_EQ(Status(), "Found 0 occurrence(s) in 0 sample(s)");
}

TEST_F(SearchTest, WhatTheUserDoesDuringTheSearch) {
    struct Case {
        const char* what;
        int at; // the pump that acts
        std::function<void()> act;
        Rows rows;
        std::string status;
        int pumps;
    };
    const Case cases[] = {
        {"text changed: the samples that follow", 1, [this] { Find<QLineEdit>(m_dlg, "searchTextEdit")->setText(QStringLiteral("list")); },
         {{"A aaaa", "4"}, {"B lists", "6"}, {"E java list", "3"}}, "Found 13 occurrence(s) in 3 sample(s)", 6},
        {"Search again: a new search", 2, [this] {
             Find<QLineEdit>(m_dlg, "searchTextEdit")->setText(QStringLiteral("java"));
             Button("searchButton")->click();
         }, {{"E java list", "1"}, {"F Java category", "2"}}, "Found 3 occurrence(s) in 2 sample(s)", 2 + 6},
        {"text emptied", 2, [this] { Find<QLineEdit>(m_dlg, "searchTextEdit")->clear(); },
         {{"A aaaa", "4"}}, kStopped, 2},
        {"Clear Display", 2, [this] { Button("clearDisplayButton")->click(); }, {}, "", 2},
        {"dialog hidden", 2, [this] { m_dlg->reject(); }, {{"A aaaa", "4"}}, kStopped, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_dlg->show();
        PumpWith([&](int n) {
            if (n == c.at)
                c.act();
        });
        Search("aa");
        EXPECT_EQ(Found(), c.rows);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(m_pumps, c.pumps);
        EXPECT_FALSE(Button("stopButton")->isEnabled()); // no search runs any more
    }
}

TEST_F(SearchTest, TheDocumentClosedOrTheDialogDestroyedDuringTheSearch) {
    bool closed = false;
    CSearchDlg dlg([&]() -> CQuorrinDoc* { return closed ? nullptr : Doc(); }, [&] { closed = true; }, Frame());
    dlg.Create();
    Find<QLineEdit>(&dlg, "searchTextEdit")->setText(QStringLiteral("a"));
    Find<QPushButton>(&dlg, "searchButton")->click();
    EXPECT_EQ(Find<QLabel>(&dlg, "statusText")->text().toStdString(), kStopped);
    EXPECT_TRUE(Find<QPushButton>(&dlg, "searchButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(&dlg, "stopButton")->isEnabled());

    PumpWith([&](int n) {
        if (n == 2)
            delete m_dlg.data();
    });
    Search("a");
    EXPECT_TRUE(m_dlg.isNull());
    EXPECT_EQ(Doc()->GetSampleCount(), 6); // the program goes on
}

TEST_F(SearchTest, ManyResultsArriveInTitleOrderAndAClearInTheMiddleLeavesNoneBehind) {
    for (int i = 0; i < 600; ++i)
        ASSERT_TRUE(Doc()->AddSample(std::make_unique<CSample>(MakeSample(StrFormat("M%04d", i), "Java", "", "", "", "needle needle"))));
    Search("needle");
    const Rows rows = Found();
    ASSERT_EQ(rows.size(), 600u);
    EXPECT_EQ(rows.front(), (Row{"M0000", "2"}));
    EXPECT_EQ(rows.back(), (Row{"M0599", "2"}));
    PumpWith([&](int n) {
        if (n == 400)
            Button("clearDisplayButton")->click();
    });
    Search("needle");
    EXPECT_TRUE(Found().empty());
    EXPECT_EQ(m_pumps, 400);
}
