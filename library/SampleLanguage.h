// The programming language a category's samples are written in, which decides how the
// sample text is highlighted. The default categories have theirs; a custom category has
// the one the user chose (kept in the configuration as a stable word) or else a guess
// from its name. No Qt: the window and the command-line program share these rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class SampleLanguage {
    Plain,
    Cpp,
    CSharp,
    Java,
    VisualBasic,
    JavaScript,
    Python,
    Shell,
    Batch,
    Perl,
    Ruby,
    Lua,
    Sql,
    Html,
    Xml,
    Css,
    Json,
    Yaml,
    Makefile,
    CMake,
    Pascal,
    Diff,
    Go,
    Rust,
    TypeScript,
    Kotlin,
    Swift,
    Dart,
    Php,
    Markdown,
    Dockerfile,
    Toml,
};

// Every language, in the order a list offers them (plain text first).
const std::vector<SampleLanguage>& AllSampleLanguages();

// The stable word stored in the configuration ("cpp", "java", "vb", "shell", "python",
// "plain"...). Words never change once released.
const char* LanguageWord(SampleLanguage language);
// The language of a stored word; false (language untouched) for an unknown word.
bool LanguageFromWord(std::string_view word, SampleLanguage& language);
// The name shown to the user ("C/C++", "Shell script", "Plain text"...).
const char* LanguageDisplayName(SampleLanguage language);

// A guess from a category's name, ignoring letter case: "Shell", "Bash" and "sh" are
// shell script, "Python" and "py" Python, "Make" a Makefile, "SQL queries" SQL... The
// whole name is tried first, then its words in order; plain text when nothing fits.
SampleLanguage GuessLanguage(std::string_view categoryName);

// The language of a category: a default category's own (C++, Java, Visual Basic); for a
// custom category the stored word when it names a language, else the guess.
SampleLanguage CategoryLanguage(const std::string& category, bool isCustom, std::string_view storedWord);
