// The language of a category: the default categories' own, the stored word, the guess.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "library/SampleLanguage.h"

namespace {

using L = SampleLanguage;

TEST(SampleLanguage, TheGuessFromACategoryName) {
    const struct {
        const char* name;
        SampleLanguage expected;
    } cases[] = {
        {"Shell", L::Shell},           {"BASH", L::Shell},
        {"sh", L::Shell},              {"Shell scripts", L::Shell},
        {"Unix-shell", L::Shell},      {"Python", L::Python},
        {"py", L::Python},             {"Python 3 tricks", L::Python},
        {"JavaScript", L::JavaScript}, {"JS", L::JavaScript},
        {"node.js", L::JavaScript},    {"Java", L::Java},
        {"SQL", L::Sql},               {"SQL queries", L::Sql},
        {"PL/SQL", L::Sql},            {"HTML", L::Html},
        {"XML", L::Xml},               {"CSS", L::Css},
        {"Makefile", L::Makefile},     {"Make", L::Makefile},
        {"makefiles", L::Makefile},    {"GNU make rules", L::Makefile},
        {"Perl", L::Perl},             {"Ruby", L::Ruby},
        {"C#", L::CSharp},             {"CSharp", L::CSharp},
        {"C", L::Cpp},                 {"c++", L::Cpp},
        {"cpp", L::Cpp},               {"C/C++ helpers", L::Cpp},
        {"Visual Basic 6", L::VisualBasic}, {"VB.NET", L::VisualBasic},
        {"Basic", L::VisualBasic},     {"Batch files", L::Batch},
        {"Diff", L::Diff},             {"YAML", L::Yaml},
        // Short words count only as the whole name, and other names are plain text.
        {"Basic algorithms", L::Plain}, {"make money", L::Plain},
        {"PL", L::Perl},               {"Recipes", L::Plain},
        {"", L::Plain},                {"Caf\xC3\xA9", L::Plain},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GuessLanguage(c.name), c.expected) << c.name;
}

TEST(SampleLanguage, WordsAreUniqueAndReadBackAndTheCategoryRuleUsesThem) {
    std::set<std::string> words;
    for (SampleLanguage language : AllSampleLanguages()) {
        const std::string word = LanguageWord(language);
        EXPECT_TRUE(words.insert(word).second) << word;
        SampleLanguage back = L::Plain;
        EXPECT_TRUE(LanguageFromWord(word, back));
        EXPECT_EQ(back, language) << word;
        EXPECT_NE(std::string(LanguageDisplayName(language)), "");
    }
    // The stored words are the configuration's: they must never change.
    EXPECT_EQ(std::string(LanguageWord(L::Cpp)), "cpp");
    EXPECT_EQ(std::string(LanguageWord(L::VisualBasic)), "vb");
    EXPECT_EQ(std::string(LanguageWord(L::Shell)), "shell");
    EXPECT_EQ(std::string(LanguageWord(L::Plain)), "plain");
    SampleLanguage untouched = L::Ruby;
    EXPECT_FALSE(LanguageFromWord("Shell", untouched)); // words are exact
    EXPECT_EQ(untouched, L::Ruby);

    EXPECT_EQ(CategoryLanguage("C++", false, ""), L::Cpp);
    EXPECT_EQ(CategoryLanguage("Java", false, "python"), L::Java); // defaults keep theirs
    EXPECT_EQ(CategoryLanguage("Visual Basic", false, ""), L::VisualBasic);
    EXPECT_EQ(CategoryLanguage("Scripts", true, "python"), L::Python);
    EXPECT_EQ(CategoryLanguage("Python", true, "plain"), L::Plain); // a choice beats the guess
    EXPECT_EQ(CategoryLanguage("Bash", true, ""), L::Shell);
    EXPECT_EQ(CategoryLanguage("Bash", true, "cobol"), L::Shell); // an unknown word: the guess
}

} // namespace
