#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/ProcessLauncher.h"
#include "ui/CodeEditor.h"

namespace {

// The offscreen platform reports that it cannot pass size hints on; that is expected.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// The file dialogs of a test that expects none.
class FailingFileDialogs : public IFileDialogs {
public:
    std::optional<std::string> GetSaveFileName(QWidget*, const SaveAsRequest& request) override {
        ADD_FAILURE() << "unexpected file dialog \"" << request.caption.toStdString() << "\"";
        return std::nullopt;
    }
    std::optional<std::string> GetExistingFolder(QWidget*, const FolderRequest& request) override {
        ADD_FAILURE() << "unexpected folder dialog \"" << request.caption.toStdString() << "\"";
        return std::nullopt;
    }
};

// The fixture's own shutdown after the test: whatever it asks is declined unchecked.
class DecliningMessenger : public IMessenger {
public:
    DecliningMessenger() : m_previous(&Messenger()) { SetMessenger(this); }
    ~DecliningMessenger() override { SetMessenger(m_previous); }
    MsgAnswer Show(const std::string&, MsgButtons buttons, MsgIcon) override {
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoDefaultNo ? MsgAnswer::No
                                                                                     : MsgAnswer::Cancel;
    }

private:
    IMessenger* m_previous;
};

// One QApplication for the whole test program, with every dialog and launch guarded.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_gui";
        static char* argv[] = {name, nullptr};
        qInstallMessageHandler(QuietMessages);
        m_app = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        InstallDialogScripting();
        SetFileDialogs(&m_fileDialogs);
        GuardLaunches();
    }
    void TearDown() override {
        SetFileDialogs(nullptr);
        m_app.reset();
    }

private:
    std::unique_ptr<QApplication> m_app;
    FailingFileDialogs m_fileDialogs;
};

[[maybe_unused]] ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

ScriptedFileDialogs::ScriptedFileDialogs() : m_previous(&FileDialogs()) { SetFileDialogs(this); }

ScriptedFileDialogs::~ScriptedFileDialogs() { SetFileDialogs(m_previous); }

std::optional<std::string> ScriptedFileDialogs::GetSaveFileName(QWidget*, const SaveAsRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
        ADD_FAILURE() << "file dialog without a scripted answer: \"" << request.caption.toStdString() << "\"";
        return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedFileDialogs::GetExistingFolder(QWidget*, const FolderRequest&) {
    if (answers.empty())
        return std::nullopt; // the user cancels
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

void GuardLaunches() {
    SetProgramStarter([](const QString& program, const QStringList&) {
        ADD_FAILURE() << "unexpected program start: " << program.toStdString();
        return false;
    });
    SetUrlOpener([](const QUrl& url) {
        ADD_FAILURE() << "unexpected URL opened: " << url.toString().toStdString();
        return false;
    });
}

template <class Edit> void TypeIntoEdit(Edit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void TypeInto(QLineEdit* edit, const QString& text) { TypeIntoEdit(edit, text); }
void TypeInto(QPlainTextEdit* edit, const QString& text) { TypeIntoEdit(edit, text); }
void TypeInto(CCodeEditor* edit, const QString& text) { TypeIntoEdit(edit, text); }

void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    // A check or radio button reacts at its indicator, on its left; a push button anywhere.
    QPoint at = button->rect().center();
    if (qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button))
        at.setX(std::min(8, button->width() / 2));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

ModalScript ExpectPlace(const char* place) {
    return [=](QWidget* w) {
        EXPECT_EQ(Find<QLabel>(w, "wizCategoryLabel")->text().toStdString() + "/" +
                      Find<QLabel>(w, "wizSubcategoryLabel")->text().toStdString(),
                  place);
    };
}

ModalScript FinishWizard(const char* title, ModalScript check, const char* text) {
    return [=](QWidget* w) {
        if (check)
            check(w);
        TypeInto(Find<QLineEdit>(w, "wizTitleEdit"), QString::fromUtf8(title));
        Click(Find<QAbstractButton>(w, "nextButton"));
        Click(Find<QAbstractButton>(w, "nextButton"));
        if (text)
            TypeInto(Find<CCodeEditor>(w, "wizTextEdit"), QString::fromUtf8(text));
        Click(Find<QAbstractButton>(w, "nextButton"));
        Click(Find<QAbstractButton>(w, "finishButton"));
    };
}

std::string SampleFileBytes(const std::string& category, const std::string& subcategory, const std::string& title,
                            const std::string& keywords, const std::string& comments, const std::string& text) {
    return FileBytes({MakeSample(title, category, subcategory, keywords, comments, text)});
}

void GuiTest::SetUp() {
    m_dir = std::make_unique<TempDir>();
    m_configHome.emplace("XDG_CONFIG_HOME", m_dir->Path() + "/config");
}

void GuiTest::TearDown() {
    EXPECT_TRUE(m_messages.answers.empty()) << m_messages.answers.size() << " scripted answer(s) no message took";
    if (m_app) {
        DecliningMessenger decline;
        if (Frame() && Frame()->isVisible())
            Frame()->close();
        m_app->ExitInstance();
        m_app.reset();
    }
    Pump();
    ExpectNoDialogScriptsLeft();
    m_configHome.reset();
    m_dir.reset();
}

void GuiTest::Start() {
    m_app = std::make_unique<CQuorrinApp>();
    // The test's folder, taken as a library whether or not it holds one yet.
    m_app->SetLibraryChoice(LibraryChoice{LibraryPlace::CurrentFolder, {}, true});
    ASSERT_TRUE(m_app->InitInstance());
    m_app->WaitForLibrary();
    Pump();
}

void GuiTest::Exit() {
    ASSERT_TRUE(m_app);
    Frame()->close();
    EXPECT_FALSE(Frame()->isVisible());
    m_app->ExitInstance();
    m_app.reset();
    Pump();
}

CMainFrame* GuiTest::Frame() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("mainFrame"))
            return qobject_cast<CMainFrame*>(w);
    return nullptr;
}

CSampleTree* GuiTest::Tree() { return View()->findChild<CSampleTree*>(QStringLiteral("sampleTree")); }
CSampleForm* GuiTest::Form() { return View()->findChild<CSampleForm*>(QStringLiteral("sampleForm")); }

QTreeWidgetItem* GuiTest::CategoryItem(const std::string& name) {
    return Tree()->FindTreeItem(Root(), name, kTagCategory);
}

QTreeWidgetItem* GuiTest::SubcategoryItem(const std::string& category, const std::string& name) {
    return Tree()->FindTreeItem(CategoryItem(category), name, kTagSubcategory);
}

QTreeWidgetItem* GuiTest::SampleItem(const std::string& title) {
    return Tree()->FindTreeItem(Root(), title, kTagSample);
}

std::vector<std::string> GuiTest::ChildNames(QTreeWidgetItem* item) {
    std::vector<std::string> names;
    if (!item)
        return names;
    Tree()->BuildBranch(item);
    for (int i = 0; i < item->childCount(); ++i)
        names.push_back(CSampleTree::ItemName(item->child(i)));
    return names;
}

std::vector<std::string> GuiTest::ShownSamples() {
    std::vector<std::string> out;
    std::vector<QTreeWidgetItem*> stack{Root()};
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        Tree()->BuildBranch(item);
        if (CSampleTree::ItemTag(item) == kTagSample) {
            EXPECT_EQ(item->text(0).toStdString(), CSampleTree::ItemName(item)); // shown by its title
            out.push_back(CSampleTree::ItemName(item));
        }
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
    return out;
}

void GuiTest::Select(QTreeWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    Tree()->setCurrentItem(item);
    Pump();
}

void GuiTest::Pump() {
    // Posted calls may post further calls; run until the queue is quiet.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void GuiTest::Choose(QComboBox* combo, const std::string& entryBytes) {
    ASSERT_NE(combo, nullptr);
    const int index = combo->findData(QByteArray(entryBytes.data(), static_cast<qsizetype>(entryBytes.size())));
    ASSERT_GE(index, 0) << "no entry " << entryBytes;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    Pump();
}


std::string GuiTest::ComboCurrent(QComboBox* combo) { return combo->currentData().toByteArray().toStdString(); }

bool GuiTest::CommandEnabled(int id) {
    Frame()->UpdateCommandUI();
    QAction* a = Frame()->Action(id);
    return a && a->isEnabled();
}

void GuiTest::Run(int command) {
    Frame()->UpdateCommandUI();
    QAction* a = Frame()->Action(command);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->isEnabled()) << "command " << command << " is disabled";
    a->trigger();
    Pump();
}

std::string GuiTest::ConfigPath() const {
    return m_dir->Path() + "/config/Velmora Software/Tindrel/Tindrel.conf";
}

void GuiTest::WriteConfig(const std::string& lines) {
    std::filesystem::create_directories(m_dir->Path() + "/config/Velmora Software/Tindrel");
    WriteFileBytes(ConfigPath(), "TindrelConfig 1\n" + lines + "end\n");
}

std::string GuiTest::ReadConfig() const { return ReadFileBytes(ConfigPath()); }
