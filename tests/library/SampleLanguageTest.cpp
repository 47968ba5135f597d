// The language of a category: the default categories' own, the stored word, the guess.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/SampleLanguage.h"

namespace {

using L = SampleLanguage;

// The rules of the guess (case, whole names, words, plurals, parts), not every name it
// knows. Short words count only as the whole name, and other names are plain text.
TEST(SampleLanguage, TheGuessFromACategoryName) {
    const std::pair<SampleLanguage, std::vector<std::string>> groups[] = {
        {L::Shell, {"BASH", "sh", "Shell scripts", "Unix-shell"}},
        {L::Python, {"Python 3 tricks"}},
        {L::JavaScript, {"JS", "node.js"}},
        {L::Sql, {"SQL queries", "PL/SQL"}},
        {L::Makefile, {"makefiles", "Make", "GNU make rules"}},
        {L::Cpp, {"c++", "C/C++ helpers"}},
        {L::CSharp, {"C#"}},
        {L::VisualBasic, {"Visual Basic 6", "Basic"}},
        {L::Batch, {"Batch files"}},
        {L::Perl, {"PL"}},
        {L::Plain, {"Basic algorithms", "make money", "Recipes", "", "Caf\xC3\xA9"}},
    };
    for (const auto& [language, names] : groups)
        for (const std::string& name : names)
            EXPECT_EQ(GuessLanguage(name), language) << name;
}

TEST(SampleLanguage, WordsAreUniqueAndReadBackAndTheCategoryRuleUsesThem) {
    std::set<std::string> words;
    for (SampleLanguage language : AllSampleLanguages()) {
        const std::string word = LanguageWord(language);
        EXPECT_TRUE(words.insert(word).second) << word;
        SampleLanguage back = L::Plain;
        EXPECT_TRUE(LanguageFromWord(word, back));
        EXPECT_EQ(back, language) << word;
    }
    // The stored words are the configuration's: they must never change.
    EXPECT_EQ(std::string(LanguageWord(L::VisualBasic)), "vb");
    EXPECT_EQ(std::string(LanguageWord(L::Shell)), "shell");
    SampleLanguage untouched = L::Ruby;
    EXPECT_FALSE(LanguageFromWord("Shell", untouched)); // words are exact
    EXPECT_EQ(untouched, L::Ruby);

    EXPECT_EQ(CategoryLanguage("Java", false, "python"), L::Java); // defaults keep theirs
    EXPECT_EQ(CategoryLanguage("Visual Basic", false, ""), L::VisualBasic);
    EXPECT_EQ(CategoryLanguage("Scripts", true, "python"), L::Python);
    EXPECT_EQ(CategoryLanguage("Python", true, "plain"), L::Plain); // a choice beats the guess
    EXPECT_EQ(CategoryLanguage("Bash", true, "cobol"), L::Shell);   // an unknown word: the guess
}

} // namespace
