// The main window fits the screen at the first start and comes back as the user left
// it; the questions that delete answer No to Enter.
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>
#include <QSplitter>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "ui/CodeEditor.h"
#include "ui/MessageBoxes.h"

TEST_F(GuiTest, TheWindowFitsTheScreenAndComesBackAsTheUserLeftIt) {
    Start();
    // The window can be small enough for a 1280 x 900 screen at a scale factor of 2.
    EXPECT_LE(Frame()->minimumSizeHint().width(), 1280 / 2 * 9 / 10);
    EXPECT_LE(Frame()->minimumSizeHint().height(), 900 / 2 * 9 / 10);

    Frame()->resize(640, 470);
    Frame()->move(30, 20);
    Pump();
    auto* beside = Child<QSplitter>("treeSplitter");
    auto* below = Child<QSplitter>("textSplitter");
    beside->setSizes({200, beside->width() - 200 - beside->handleWidth()});
    below->setSizes({180, below->height() - 180 - below->handleWidth()});
    const QList<int> besideSizes = beside->sizes();
    const QList<int> belowSizes = below->sizes();
    Child<CCodeEditor>("textEdit")->SetZoomLevel(3);
    Frame()->Action(cmd::kShowWhiteSpace)->setChecked(true);
    Child<QCheckBox>("treeFilterInText")->setChecked(true);
    Exit();
    const std::string config = ReadConfig();
    EXPECT_NE(config.find("\"WindowWidth\""), std::string::npos);
    EXPECT_NE(config.find("\"AutoSaveOnSwitch\""), std::string::npos); // the options stay

    Start();
    EXPECT_EQ(Frame()->size(), QSize(640, 470));
    EXPECT_EQ(Frame()->pos(), QPoint(30, 20));
    EXPECT_EQ(Child<QSplitter>("treeSplitter")->sizes(), besideSizes);
    EXPECT_EQ(Child<QSplitter>("textSplitter")->sizes(), belowSizes);
    EXPECT_EQ(Child<CCodeEditor>("textEdit")->ZoomLevel(), 3);
    EXPECT_TRUE(Frame()->Action(cmd::kShowWhiteSpace)->isChecked());
    EXPECT_TRUE(Child<CCodeEditor>("textEdit")->IsWhitespaceShown());
    EXPECT_TRUE(Child<QCheckBox>("treeFilterInText")->isChecked());
}

TEST(MessageBoxes, EnterAnswersTheDefaultButton) {
    CMessageBoxes boxes;
    DialogScripts dialogs;
    auto pressEnter = [](QWidget* w) {
        ASSERT_NE(qobject_cast<QMessageBox*>(w), nullptr);
        QTest::keyClick(w, Qt::Key_Return);
    };
    dialogs.Then(pressEnter).Then(pressEnter);
    EXPECT_EQ(boxes.Show("Delete it?", MsgButtons::YesNoDefaultNo, MsgIcon::None), MsgAnswer::No);
    EXPECT_EQ(boxes.Show("Save it?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::Yes);
}
