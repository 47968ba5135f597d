// File > Import... and File > Export... in the window: many files go with a bar and
// Cancel; a cancelled reading imports nothing, a cancelled export takes back what it
// wrote.
#include <filesystem>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/Commands.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSamples = 60; // enough for the bar to show

// The progress dialog's script: Cancel once a sixth of the work is done.
ModalScript CancelAtASixth() {
    return [](QWidget* widget) {
        auto* dialog = qobject_cast<QProgressDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        auto* bar = dialog->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        // Pressed as the user does, between two steps.
        QObject::connect(bar, &QProgressBar::valueChanged, dialog, [dialog](int value) {
            if (value >= 16)
                QTimer::singleShot(0, dialog, &QProgressDialog::cancel);
        });
    };
}

// The Import dialog's script: the folder the file-dialog seam gives, then Import.
void ChooseFolderAndImport(QWidget* dialog) {
    Click(Find<QPushButton>(dialog, "importChooseFolder"));
    Click(Find<QPushButton>(dialog, "importButton"));
}

// The files below a folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        out.push_back(fs::relative(entry.path(), folder).string());
    std::sort(out.begin(), out.end());
    return out;
}

class ImportExportWindowTest : public GuiTest {};

TEST_F(ImportExportWindowTest, ACancelledReadingImportsNothingAndAWholeOneImportsEverything) {
    WriteFileBytes(File("quorrincpp.txt"), SampleFileBytes("C++", "General", "Kept", "", "", "k();\r\n"));
    fs::create_directories(File("in/C++/General"));
    for (int i = 0; i < kSamples; ++i)
        WriteFileBytes(File("in/C++/General/unit" + std::to_string(i) + ".cpp"), "int u" + std::to_string(i) + ";\n");
    Start();
    const std::string before = ReadFileBytes(File("quorrincpp.txt"));

    DialogScripts scripts;
    m_files.answers.push_back(File("in"));
    scripts
        .Then([](QWidget* dialog) {
            Click(Find<QPushButton>(dialog, "importChooseFolder"));
            EXPECT_TRUE(Find<QPlainTextEdit>(dialog, "importPreview")->toPlainText().contains("cancelled"));
            EXPECT_FALSE(Find<QPushButton>(dialog, "importButton")->isEnabled());
        })
        .Then(CancelAtASixth());
    Run(cmd::kFileImport);
    EXPECT_EQ(scripts.ran, (Names{"importDialog", "importProgress"}));
    EXPECT_EQ(Doc()->Samples().size(), 1u);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), before);

    // Read whole this time, then imported.
    m_files.answers.push_back(File("in"));
    m_messages.answers.push_back(MsgAnswer::Ok);
    scripts
        .Then(ChooseFolderAndImport)
        .Then(nullptr)
        .Then(nullptr);
    Run(cmd::kFileImport);
    EXPECT_EQ(m_messages.Texts().back(), "Imported 60 samples.");
    EXPECT_EQ(Doc()->Samples().size(), 1u + kSamples);
}

// The import itself goes category by category, each saved before the next: Cancel keeps
// the categories done, on disk, and leaves nothing of the others, not even a new category.
TEST_F(ImportExportWindowTest, ACancelledImportKeepsTheCategoriesSavedAndNothingOfTheRest) {
    for (const char* category : {"C++", "Java", "Tools"}) {
        fs::create_directories(File(std::string("in/") + category));
        for (int i = 0; i < kSamples / 3; ++i)
            WriteFileBytes(File(std::string("in/") + category + "/" + category + std::to_string(i) + ".txt"),
                           "x\n");
    }
    Start();
    DialogScripts scripts;
    m_files.answers.push_back(File("in"));
    m_messages.answers.push_back(MsgAnswer::Ok);
    scripts
        .Then(ChooseFolderAndImport)
        .Then(nullptr)
        .Then(CancelAtASixth());
    Run(cmd::kFileImport);
    EXPECT_EQ(scripts.ran, (Names{"importDialog", "importProgress", "importApplyProgress"}));
    // Pressed as the bar passed a sixth, Cancel is seen at the step after (two thirds).
    EXPECT_EQ(m_messages.Texts().back(),
              "The import was cancelled. 40 samples were imported into \"C++\" and \"Java\" and are saved; "
              "nothing was imported into \"Tools\".\nImporting the same files again brings in the rest: the "
              "samples imported already are skipped.");
    EXPECT_EQ(Doc()->Samples().size(), 40u);
    EXPECT_EQ(Doc()->PeekCategory("Tools"), nullptr);
    EXPECT_NE(ReadFileBytes(File("quorrinjava.txt")).find("***TITLE=Java19\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(File("tindrel-library.txt")).find("Tools"), std::string::npos);
}

TEST_F(ImportExportWindowTest, ACancelledExportTakesBackWhatItWrote) {
    std::string bytes;
    for (int i = 0; i < kSamples; ++i)
        bytes += SampleFileBytes("C++", "General", "Unit " + std::to_string(i), "", "", "u();\r\n");
    WriteFileBytes(File("quorrincpp.txt"), bytes);
    fs::create_directories(File("out"));
    WriteFileBytes(File("out/notes.txt"), "mine\n");
    Start();

    DialogScripts scripts;
    m_messages.answers.push_back(MsgAnswer::Ok);
    const std::string out = File("out");
    scripts
        .Then([&out](QWidget* dialog) {
            Find<QLineEdit>(dialog, "exportFolder")->setText(QString::fromStdString(out));
            Click(Find<QPushButton>(dialog, "exportButton"));
        })
        .Then(CancelAtASixth());
    Run(cmd::kFileExport);
    EXPECT_EQ(scripts.ran, (Names{"exportDialog", "exportProgress"}));
    EXPECT_EQ(m_messages.Texts().back(), "The export was cancelled; the files it had written have been removed.");
    // What was there stays; nothing of the export, not even its folders.
    EXPECT_EQ(FilesBelow(out), Names{"notes.txt"});
}

} // namespace
