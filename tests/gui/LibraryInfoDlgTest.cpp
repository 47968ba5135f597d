// The Library Info dialog: both reports byte for byte on a small library.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "tools/LibraryInfoDlg.h"

namespace {

class LibraryInfoTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "GUI", "Beta", "", "", "b") +
                                             SampleFileBytes("C++", "General", "Alpha", "", "", "a"));
        WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "", "Gamma", "", "", "g"));
        Start();
    }
};

const std::string kSummary = "Library contains 3 categories with a total of 3 sample(s).\r\n\r\n"
                             "Category statistics:\r\n\r\n"
                             "\tName: C++\tSample count: 2\r\n"
                             "\tName: Java\tSample count: 1\r\n"
                             "\tName: Visual Basic\tSample count: 0\r\n";

const std::string kDetail = "Library contains 3 categories with a total of 3 sample(s).\r\n\r\n"
                            "Category statistics:\r\n\r\n"
                            "Category: C++  (2 samples)\r\n"
                            "\tFile name:  quorrincpp.txt\r\n"
                            "\tDefault type?  yes\r\n"
                            "\tDisplayed?  yes\r\n"
                            "\tHidden default sub-categories: (none hidden)\r\n"
                            "\tSamples for \"C++\" : \r\n"
                            "\t1. Title: Alpha\r\n\t\tSub-category: General\r\n\r\n"
                            "\t2. Title: Beta\r\n\t\tSub-category: GUI\r\n\r\n"
                            "\t- - - - - - - - - - - - - - -\r\n"
                            "Category: Java  (1 sample)\r\n"
                            "\tFile name:  quorrinjava.txt\r\n"
                            "\tDefault type?  yes\r\n"
                            "\tDisplayed?  yes\r\n"
                            "\tHidden default sub-categories: (none hidden)\r\n"
                            "\tSamples for \"Java\" : \r\n"
                            "\t1. Title: Gamma\r\n\t\tSub-category: \r\n\r\n"
                            "\t- - - - - - - - - - - - - - -\r\n"
                            "Category: Visual Basic  (0 samples)\r\n"
                            "\tFile name:  quorrinvb.txt\r\n"
                            "\tDefault type?  yes\r\n"
                            "\tDisplayed?  yes\r\n"
                            "\tHidden default sub-categories: (none hidden)\r\n"
                            "\t- - - - - - - - - - - - - - -\r\n";

QString Shown(const std::string& report) {
    std::string s;
    for (size_t i = 0; i < report.size(); ++i)
        if (!(report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n'))
            s += report[i];
    return QString::fromStdString(s);
}

} // namespace

TEST_F(LibraryInfoTest, OpensWithTheSummary) {
    CLibraryInfoDlg dlg(*Doc(), Frame());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Library Info"));
    EXPECT_EQ(dlg.m_nReportKind, 0);
    EXPECT_EQ(dlg.m_strReport, kSummary);
    EXPECT_EQ(Find<QPlainTextEdit>(&dlg, "reportEdit")->toPlainText(), Shown(kSummary));
    EXPECT_TRUE(Find<QPlainTextEdit>(&dlg, "reportEdit")->isReadOnly());
    EXPECT_TRUE(Find<QRadioButton>(&dlg, "summaryRadio")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(&dlg, "detailRadio")->isChecked());
    EXPECT_EQ(Find<QRadioButton>(&dlg, "summaryRadio")->text(), QStringLiteral("Summary"));
    EXPECT_EQ(Find<QRadioButton>(&dlg, "detailRadio")->text(), QStringLiteral("Detail"));
    auto* group = dlg.findChild<QGroupBox*>(QStringLiteral("reportKindGroup"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Version "));
}

TEST_F(LibraryInfoTest, DetailAndBackToSummary) {
    CLibraryInfoDlg dlg(*Doc(), Frame());
    Find<QRadioButton>(&dlg, "detailRadio")->click();
    EXPECT_EQ(dlg.m_nReportKind, 1);
    EXPECT_EQ(dlg.m_strReport, kDetail);
    EXPECT_EQ(Find<QPlainTextEdit>(&dlg, "reportEdit")->toPlainText(), Shown(kDetail));
    Find<QRadioButton>(&dlg, "summaryRadio")->click();
    EXPECT_EQ(dlg.m_strReport, kSummary);
    EXPECT_EQ(Find<QPlainTextEdit>(&dlg, "reportEdit")->toPlainText(), Shown(kSummary));
}

TEST_F(LibraryInfoTest, ClickingTheSameKindBuildsTheReportAgain) {
    CLibraryInfoDlg dlg(*Doc(), Frame());
    ASSERT_TRUE(Doc()->DeleteSample("Gamma"));
    Find<QRadioButton>(&dlg, "summaryRadio")->click();
    EXPECT_NE(dlg.m_strReport.find("total of 2 sample(s)"), std::string::npos);
    EXPECT_NE(dlg.m_strReport.find("\tName: Java\tSample count: 0\r\n"), std::string::npos);
}

TEST_F(LibraryInfoTest, OkCloses) {
    CLibraryInfoDlg dlg(*Doc(), Frame());
    dlg.show();
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}
