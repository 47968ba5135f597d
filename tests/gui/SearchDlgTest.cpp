// The Search dialog: counting, options, the category limit, Stop, Clear Display, and
// a library that changes while the search runs.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <array>

#include "GuiTestSupport.h"
#include "tools/LibraryInfoDlg.h"
#include "tools/SearchDlg.h"

namespace {

std::string CppLibrary() {
    return SampleFileBytes("C++", "General", "A aaaa", "", "", "aaaa") +
           SampleFileBytes("C++", "GUI", "B lists", "list, listbox", "a List here", "LIST of list") +
           SampleFileBytes("C++", "General", "C none", "", "", "nothing") +
           SampleFileBytes("C++", "COM", "D aaa", "", "", "aaa");
}
std::string JavaLibrary() {
    return SampleFileBytes("Java", "General", "E java list", "list", "", "list") +
           SampleFileBytes("Java", "GUI", "F Java category", "", "", "Java");
}

struct Row {
    std::string title;
    std::string count;
    bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.title << "=" << r.count;
}

class SearchTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt", CppLibrary());
        WriteFileBytes("quorrinjava.txt", JavaLibrary());
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
        SearchEdit()->setText(QString::fromUtf8(text));
        KeywordsOnlyCheck()->setChecked(keywordsOnly);
        MatchCaseCheck()->setChecked(matchCase);
        SearchButton()->click();
    }
    std::vector<Row> Rows() {
        std::vector<Row> rows;
        QTreeWidget* list = ResultList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back(
                {list->topLevelItem(i)->text(0).toStdString(), list->topLevelItem(i)->text(1).toStdString()});
        return rows;
    }
    std::string Status() { return StatusLabel()->text().toStdString(); }
    // Search, Stop, Close
    std::array<bool, 3> Buttons() {
        return {SearchButton()->isEnabled(), StopButton()->isEnabled(),
                CloseButton()->isEnabled()};
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
    QLineEdit* SearchEdit() { return Find<QLineEdit>(m_dlg, "searchTextEdit"); }
    QCheckBox* KeywordsOnlyCheck() { return Find<QCheckBox>(m_dlg, "keywordsOnlyCheck"); }
    QCheckBox* MatchCaseCheck() { return Find<QCheckBox>(m_dlg, "matchCaseCheck"); }
    QComboBox* CategoryList() { return Find<QComboBox>(m_dlg, "categoryLimitCombo"); }
    QTreeWidget* ResultList() { return Find<QTreeWidget>(m_dlg, "resultList"); }
    QLabel* StatusLabel() { return Find<QLabel>(m_dlg, "statusText"); }
    QPushButton* SearchButton() { return Find<QPushButton>(m_dlg, "searchButton"); }
    QPushButton* StopButton() { return Find<QPushButton>(m_dlg, "stopButton"); }
    QPushButton* CloseButton() { return Find<QPushButton>(m_dlg, "closeButton"); }
    QPushButton* ClearButton() { return Find<QPushButton>(m_dlg, "clearDisplayButton"); }

    QPointer<CSearchDlg> m_dlg;
    // The program's own pump until a test sets another.
    std::function<void()> m_pump = PumpAtMostEveryFrame([this] { App().PumpPendingMessages(); });
    int m_pumps = 0;
};

using B = std::array<bool, 3>;

} // namespace

TEST_F(SearchTest, ControlsColumnsAndStartingState) {
    EXPECT_EQ(m_dlg->windowTitle(), QStringLiteral("Search"));
    EXPECT_FALSE(m_dlg->isModal());
    QTreeWidget* list = ResultList();
    ASSERT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Sample Title"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Count"));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->columnWidth(0), (list->viewport()->width() / 4) * 3);
    EXPECT_EQ(KeywordsOnlyCheck()->text(), QStringLiteral("Limit search to keywords only"));
    EXPECT_EQ(MatchCaseCheck()->text(), QStringLiteral("Match case"));
    EXPECT_EQ(ClearButton()->text(), QStringLiteral("Clear Display"));
    EXPECT_TRUE(SearchButton()->isDefault());
    // "(no limit)" and the categories, sorted; "(no limit)" chosen.
    EXPECT_EQ(ComboEntries(CategoryList()),
              (std::vector<std::string>{"(no limit)", "C++", "Java", "Visual Basic"}));
    EXPECT_EQ(ComboCurrent(CategoryList()), "(no limit)");
    EXPECT_EQ(Buttons(), (B{false, false, true}));
    // Typing enables Search.
    SearchEdit()->setText(QStringLiteral("x"));
    EXPECT_EQ(Buttons(), (B{true, false, true}));
}

TEST_F(SearchTest, CountsOccurrencesPerSampleInTitleOrder) {
    Search("aa");
    // "aaaa" holds aa twice; "aaa" once; the title "A aaaa" adds 2 more.
    EXPECT_EQ(Rows(), (std::vector<Row>{{"A aaaa", "4"}, {"D aaa", "2"}}));
    EXPECT_EQ(Status(), "Found 6 occurrence(s) in 2 sample(s)");
    EXPECT_EQ(m_dlg->m_nSamplesFound, 2);
    EXPECT_EQ(m_dlg->m_nOccurrencesFound, 6);
    EXPECT_EQ(Buttons(), (B{true, false, true}));
}

TEST_F(SearchTest, KeywordsOnlyCountsEachKeywordAlone) {
    Search("list", true);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"B lists", "2"}, {"E java list", "1"}}));
    EXPECT_EQ(Status(), "Found 3 occurrence(s) in 2 sample(s)");
    // Without the option the title, comments and text count too.
    Search("list");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"B lists", "6"}, {"E java list", "3"}}));
}

TEST_F(SearchTest, MatchCase) {
    Search("LIST");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"B lists", "6"}, {"E java list", "3"}}));
    Search("LIST", false, true);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"B lists", "1"}}));
    Search("List", true, true);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Status(), "Found 0 occurrence(s) in 0 sample(s)");
}

TEST_F(SearchTest, CategoryNamesAreNotSearchedAndTheLimitIsExact) {
    // "Java" is the category of both Java samples but is in the text of only one.
    Search("java");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"E java list", "1"}, {"F Java category", "2"}}));
    Search("General");
    EXPECT_TRUE(Rows().empty());

    Choose(CategoryList(), "Java");
    Search("list");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"E java list", "3"}}));
    Choose(CategoryList(), "(no limit)");
    Search("list");
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(SearchTest, LettersBeyondAsciiFoldInEitherEncoding) {
    // A UTF-8 sample and a Windows-1252 one, both with a capital A umlaut.
    ASSERT_TRUE(Doc()->AddSample(std::make_unique<CSample>([] {
        CSample s;
        s.SetTitle("G utf8");
        s.SetCategory("Visual Basic");
        s.SetText("\xC3\x84rger \xC3\xA4h");
        return s;
    }())));
    ASSERT_TRUE(Doc()->AddSample(std::make_unique<CSample>([] {
        CSample s;
        s.SetTitle("H cp1252");
        s.SetCategory("Visual Basic");
        s.SetText("\xC4rger");
        return s;
    }())));
    Search("\xC3\xA4"); // ä typed
    EXPECT_EQ(Rows(), (std::vector<Row>{{"G utf8", "2"}, {"H cp1252", "1"}}));
    Search("\xC3\xA4", false, true);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"G utf8", "1"}}));
}

TEST_F(SearchTest, EmptyTextIsRefused) {
    Search("aa");
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    SearchEdit()->clear();
    SearchButton()->click();
    ASSERT_EQ(m_messages.Texts(),
              (std::vector<std::string>{"Please enter a string you wish to search for."}));
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::None);
    // Nothing searched: the rows and status stay.
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Status(), "Found 6 occurrence(s) in 2 sample(s)");
}

TEST_F(SearchTest, PumpsOncePerSampleWithSearchingButtonStates) {
    std::vector<B> states;
    std::vector<std::string> statuses;
    PumpWith([&](int) {
        states.push_back(Buttons());
        statuses.push_back(Status());
    });
    Search("zzz");
    EXPECT_EQ(m_pumps, 6); // one per sample
    for (const B& b : states)
        EXPECT_EQ(b, (B{false, true, false}));
    EXPECT_EQ(statuses.front(), "Searching...");
    EXPECT_EQ(Status(), "Found 0 occurrence(s) in 0 sample(s)");
    EXPECT_TRUE(Rows().empty());
}

TEST_F(SearchTest, StopKeepsTheRowsFoundSoFar) {
    PumpWith([&](int n) {
        if (n == 2) {
            StopButton()->click();
            // Stop pressed, the search still finishing its sample.
            EXPECT_EQ(Buttons(), (B{true, false, true}));
        }
    });
    Search("aa");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"A aaaa", "4"}}));
    EXPECT_EQ(Status(), "Searched stopped before it could complete");
    EXPECT_EQ(Buttons(), (B{true, false, true}));
    EXPECT_FALSE(m_dlg->m_bStopRequested);
}

TEST_F(SearchTest, ClosingAndReopeningKeepsEverything) {
    Choose(CategoryList(), "C++");
    Search("aa", false, true);
    const auto rows = Rows();
    CloseButton()->click();
    EXPECT_FALSE(m_dlg->isVisible());
    m_dlg->show();
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(SearchEdit()->text(), QStringLiteral("aa"));
    EXPECT_TRUE(MatchCaseCheck()->isChecked());
    EXPECT_EQ(ComboCurrent(CategoryList()), "C++");
    EXPECT_EQ(Status(), "Found 6 occurrence(s) in 2 sample(s)");
    // Esc hides it too.
    m_dlg->reject();
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(Rows(), rows);
}

TEST_F(SearchTest, ClearDisplay) {
    Choose(CategoryList(), "Java");
    Search("list", true, true);
    ClearButton()->click();
    EXPECT_TRUE(SearchEdit()->text().isEmpty());
    EXPECT_TRUE(Status().empty());
    EXPECT_FALSE(KeywordsOnlyCheck()->isChecked());
    EXPECT_FALSE(MatchCaseCheck()->isChecked());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(ComboCurrent(CategoryList()), "(no limit)");
    EXPECT_EQ(Buttons(), (B{false, false, true}));
}

TEST_F(SearchTest, DoubleClickChoosesTheSampleOfTheSelectedRow) {
    Search("list");
    QSignalSpy spy(m_dlg.data(), &CSearchDlg::sampleChosen);
    QTreeWidget* list = ResultList();
    QTreeWidgetItem* row = list->topLevelItem(1);
    row->setSelected(true);
    emit list->itemDoubleClicked(row, 0);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toByteArray(), QByteArray("E java list"));
    // Without exactly one selected row nothing happens.
    list->clearSelection();
    emit list->itemDoubleClicked(row, 0);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(SearchTest, SamplesDeletedDuringTheSearchAreSkipped) {
    // While the first sample is examined, the second (next in the walk) and the first
    // (being examined) go away.
    PumpWith([&](int n) {
        if (n == 1) {
            EXPECT_TRUE(Doc()->DeleteSample("A aaaa"));
            EXPECT_TRUE(Doc()->DeleteSample("B lists"));
        }
    });
    Search("a");
    std::vector<std::string> titles;
    for (const Row& r : Rows())
        titles.push_back(r.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"D aaa", "E java list", "F Java category"}));
    EXPECT_EQ(m_pumps, 5); // the first sample's pump, then C to F
}

TEST_F(SearchTest, CategoryRemovedDuringALimitedSearch) {
    Choose(CategoryList(), "Java");
    PumpWith([&](int n) {
        if (n == 2) {
            // What deleting a category item does to the library.
            EXPECT_TRUE(Doc()->DeleteSample("E java list"));
            EXPECT_TRUE(Doc()->DeleteSample("F Java category"));
            EXPECT_TRUE(Doc()->DeleteCategory("Java"));
        }
    });
    Search("list");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Status(), "Found 0 occurrence(s) in 0 sample(s)");
}

TEST_F(SearchTest, LibraryInfoFromInsideASearch) {
    std::string report;
    PumpWith([&](int n) {
        if (n == 3) {
            CLibraryInfoDlg info(*Doc(), Frame());
            Find<QRadioButton>(&info, "detailRadio")->click();
            report = info.m_strReport;
        }
    });
    Search("list");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"B lists", "6"}, {"E java list", "3"}}));
    EXPECT_NE(report.find("Category: Java  (2 samples)"), std::string::npos);
}

TEST_F(SearchTest, SearchPressedDuringASearchRestartsIt) {
    PumpWith([&](int n) {
        if (n == 3) {
            SearchEdit()->setText(QStringLiteral("java"));
            EXPECT_TRUE(SearchButton()->isEnabled());
            SearchButton()->click();
        }
    });
    Search("aa");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"E java list", "1"}, {"F Java category", "2"}}));
    EXPECT_EQ(Status(), "Found 3 occurrence(s) in 2 sample(s)");
    EXPECT_EQ(m_pumps, 3 + 6); // the first walk ended at its third sample
    EXPECT_EQ(Buttons(), (B{true, false, true})); // no search runs any more
}

TEST_F(SearchTest, TextChangedDuringTheSearchAppliesToTheSamplesThatFollow) {
    PumpWith([&](int n) {
        if (n == 1)
            SearchEdit()->setText(QStringLiteral("list"));
    });
    Search("aa");
    // The sample being examined is counted for the old text; the ones after it for the new.
    EXPECT_EQ(Rows(), (std::vector<Row>{{"A aaaa", "4"}, {"B lists", "6"}, {"E java list", "3"}}));
}

TEST_F(SearchTest, TextEmptiedOrClearedDuringTheSearchEndsIt) {
    PumpWith([&](int n) {
        if (n == 2)
            SearchEdit()->clear();
    });
    Search("aa");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"A aaaa", "4"}}));
    EXPECT_EQ(Status(), "Searched stopped before it could complete");

    PumpWith([&](int n) {
        if (n == 2)
            ClearButton()->click();
    });
    Search("aa");
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(Status().empty());
    EXPECT_EQ(Buttons(), (B{false, false, true}));
    EXPECT_EQ(m_pumps, 2);
}

TEST_F(SearchTest, HidingTheDialogStopsTheSearch) {
    PumpWith([&](int n) {
        if (n == 2)
            m_dlg->reject();
    });
    Search("a");
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(Status(), "Searched stopped before it could complete");
    EXPECT_EQ(m_pumps, 2);
}

TEST_F(SearchTest, DocumentClosedDuringTheSearch) {
    bool closed = false;
    auto* dlg = new CSearchDlg([&]() -> CQuorrinDoc* { return closed ? nullptr : Doc(); },
                               [&] {
                                   closed = true;
                                   QCoreApplication::processEvents();
                               },
                               Frame());
    dlg->Create();
    Find<QLineEdit>(dlg, "searchTextEdit")->setText(QStringLiteral("a"));
    Find<QPushButton>(dlg, "searchButton")->click();
    EXPECT_EQ(Find<QLabel>(dlg, "statusText")->text(), QStringLiteral("Searched stopped before it could complete"));
    // No search runs any more: Search and Close enabled, Stop not.
    EXPECT_TRUE(Find<QPushButton>(dlg, "searchButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(dlg, "stopButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(dlg, "closeButton")->isEnabled());
    delete dlg;
}

TEST_F(SearchTest, DialogDestroyedDuringTheSearch) {
    PumpWith([&](int n) {
        if (n == 2)
            delete m_dlg.data();
    });
    Search("a");
    EXPECT_TRUE(m_dlg.isNull());
    // The program goes on.
    EXPECT_EQ(Doc()->GetSampleCount(), 6);
}

TEST_F(SearchTest, EmptyLibraryEndsAtOnceAndKeepsTheStatus) {
    Search("list");
    for (const char* t : {"A aaaa", "B lists", "C none", "D aaa", "E java list", "F Java category"})
        ASSERT_TRUE(Doc()->DeleteSample(t));
    PumpWith([](int) {});
    Search("list");
    EXPECT_EQ(m_pumps, 0);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Status(), "Found 9 occurrence(s) in 2 sample(s)");
    EXPECT_EQ(Buttons(), (B{true, false, true}));
}

TEST_F(SearchTest, ManyResultsAllArriveInTitleOrder) {
    for (int i = 0; i < 600; ++i) {
        auto s = std::make_unique<CSample>();
        s->SetTitle(StrFormat("M%04d", i));
        s->SetCategory("Java");
        s->SetText("needle needle");
        ASSERT_TRUE(Doc()->AddSample(std::move(s)));
    }
    Search("needle");
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 600u);
    EXPECT_EQ(rows.front(), (Row{"M0000", "2"}));
    EXPECT_EQ(rows.back(), (Row{"M0599", "2"}));
    EXPECT_EQ(Status(), "Found 1200 occurrence(s) in 600 sample(s)");
    // Cleared in the middle of such a search, nothing found is left behind.
    PumpWith([&](int n) {
        if (n == 400)
            ClearButton()->click();
    });
    Search("needle");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(m_pumps, 400);
}
