// The language of a category: the default categories' own, the stored word, the guess.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "library/SampleLanguage.h"

namespace {

using L = SampleLanguage;

// Two words inside a longer name; a name the guess does not know is plain text.
TEST(SampleLanguage, TheGuessFromACategoryName) {
    EXPECT_EQ(GuessLanguage("GNU make rules"), L::Makefile);
    EXPECT_EQ(GuessLanguage("Recipes"), L::Plain);
    EXPECT_EQ(GuessLanguage("Go"), L::Go);
    EXPECT_EQ(GuessLanguage("Rust snippets"), L::Rust);
    EXPECT_EQ(GuessLanguage("TS"), L::TypeScript);
    EXPECT_EQ(GuessLanguage("PHP"), L::Php);
    EXPECT_EQ(GuessLanguage("Docker files"), L::Dockerfile);
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
