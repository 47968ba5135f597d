// The demo library that `make run` starts on: its files are exact category files and
// its configuration registers the custom category.
#include <filesystem>

#include "GuiTestSupport.h"
#include "config/LibraryConfig.h"

namespace {

const char* const kDemoFiles[] = {"quorrincpp.txt", "quorrinjava.txt", "quorrinvb.txt", "quorrinShell.txt"};

std::string DemoFile(const std::string& name) { return std::string(TINDREL_DEMO_DIR) + "/" + name; }

} // namespace

TEST_F(GuiTest, TheDemoLibraryLoadsWithoutAnyMessageAndShowsItsCustomCategory) {
    for (const char* f : kDemoFiles)
        std::filesystem::copy_file(DemoFile(f), File(f));
    std::filesystem::create_directories(std::filesystem::path(ConfigPath()).parent_path());
    std::filesystem::copy_file(DemoFile("Tindrel.conf"), ConfigPath());
    Start();
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
    EXPECT_EQ(App().GetLoadErrorCount(), 0);
    EXPECT_EQ(ChildNames(Root()), (Names{"C++", "Java", "Shell", "Visual Basic"}));
    EXPECT_EQ(ChildNames(CategoryItem("Shell")), (Names{"Files", "Text"}));
    EXPECT_TRUE(CategoryItem("C++")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "General")->isExpanded());
    for (const auto& [title, sample] : Doc()->Samples()) {
        EXPECT_NE(SampleItem(sample->GetTitle()), nullptr) << title;
        EXPECT_FALSE(sample->GetText().empty()) << title;
    }

    // Written anew by the library's own writer, every file comes out byte for byte.
    for (const auto& [name, category] : Doc()->Categories())
        Doc()->MarkCategoryChanged(name);
    ASSERT_TRUE(Doc()->OnSaveDocument());
    for (const char* f : kDemoFiles)
        EXPECT_EQ(ReadFileBytes(File(f)), ReadFileBytes(DemoFile(f))) << f;
    Exit();
    EXPECT_TRUE(m_messages.shown.empty());
}
