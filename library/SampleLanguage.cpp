#include "library/SampleLanguage.h"

#include <array>

namespace {

struct LanguageInfo {
    SampleLanguage language;
    const char* word;
    const char* displayName;
};

constexpr std::array kLanguages = {
    LanguageInfo{SampleLanguage::Plain, "plain", "Plain text"},
    LanguageInfo{SampleLanguage::Cpp, "cpp", "C/C++"},
    LanguageInfo{SampleLanguage::CSharp, "csharp", "C#"},
    LanguageInfo{SampleLanguage::Java, "java", "Java"},
    LanguageInfo{SampleLanguage::Kotlin, "kotlin", "Kotlin"},
    LanguageInfo{SampleLanguage::VisualBasic, "vb", "Visual Basic"},
    LanguageInfo{SampleLanguage::JavaScript, "javascript", "JavaScript"},
    LanguageInfo{SampleLanguage::TypeScript, "typescript", "TypeScript"},
    LanguageInfo{SampleLanguage::Go, "go", "Go"},
    LanguageInfo{SampleLanguage::Rust, "rust", "Rust"},
    LanguageInfo{SampleLanguage::Swift, "swift", "Swift"},
    LanguageInfo{SampleLanguage::Dart, "dart", "Dart"},
    LanguageInfo{SampleLanguage::Python, "python", "Python"},
    LanguageInfo{SampleLanguage::Shell, "shell", "Shell script"},
    LanguageInfo{SampleLanguage::Batch, "batch", "Batch file"},
    LanguageInfo{SampleLanguage::Perl, "perl", "Perl"},
    LanguageInfo{SampleLanguage::Ruby, "ruby", "Ruby"},
    LanguageInfo{SampleLanguage::Php, "php", "PHP"},
    LanguageInfo{SampleLanguage::Lua, "lua", "Lua"},
    LanguageInfo{SampleLanguage::Sql, "sql", "SQL"},
    LanguageInfo{SampleLanguage::Html, "html", "HTML"},
    LanguageInfo{SampleLanguage::Xml, "xml", "XML"},
    LanguageInfo{SampleLanguage::Css, "css", "CSS"},
    LanguageInfo{SampleLanguage::Json, "json", "JSON"},
    LanguageInfo{SampleLanguage::Yaml, "yaml", "YAML"},
    LanguageInfo{SampleLanguage::Toml, "toml", "TOML"},
    LanguageInfo{SampleLanguage::Markdown, "markdown", "Markdown"},
    LanguageInfo{SampleLanguage::Makefile, "makefile", "Makefile"},
    LanguageInfo{SampleLanguage::CMake, "cmake", "CMake"},
    LanguageInfo{SampleLanguage::Dockerfile, "dockerfile", "Dockerfile"},
    LanguageInfo{SampleLanguage::Pascal, "pascal", "Pascal"},
    LanguageInfo{SampleLanguage::Diff, "diff", "Diff/patch"},
};

const LanguageInfo& Info(SampleLanguage language) {
    for (const LanguageInfo& info : kLanguages)
        if (info.language == language)
            return info;
    return kLanguages[0];
}

// Names for a language, lower case. A word of a longer name counts only when it is not
// marked whole: "Basic algorithms" is no Visual Basic, "Basic" alone is.
struct Alias {
    const char* name;
    SampleLanguage language;
    bool wholeNameOnly;
};

using L = SampleLanguage;
constexpr std::array kAliases = {
    Alias{"c", L::Cpp, false},           Alias{"c++", L::Cpp, false},
    Alias{"cpp", L::Cpp, false},         Alias{"cxx", L::Cpp, false},
    Alias{"c/c++", L::Cpp, false},       Alias{"objc", L::Cpp, false},
    Alias{"objective-c", L::Cpp, false}, Alias{"visual c++", L::Cpp, true},
    Alias{"c#", L::CSharp, false},       Alias{"csharp", L::CSharp, false},
    Alias{"cs", L::CSharp, true},        Alias{"visual c#", L::CSharp, true},
    Alias{"java", L::Java, false},       Alias{"visual basic", L::VisualBasic, true},
    Alias{"vb", L::VisualBasic, false},  Alias{"vba", L::VisualBasic, false},
    Alias{"vb.net", L::VisualBasic, false}, Alias{"vbscript", L::VisualBasic, false},
    Alias{"basic", L::VisualBasic, true}, Alias{"javascript", L::JavaScript, false},
    Alias{"js", L::JavaScript, false},   Alias{"typescript", L::TypeScript, false},
    Alias{"ts", L::TypeScript, false},   Alias{"tsx", L::TypeScript, false},
    Alias{"node.js", L::JavaScript, false},
    Alias{"nodejs", L::JavaScript, false}, Alias{"ecmascript", L::JavaScript, false},
    Alias{"python", L::Python, false},   Alias{"py", L::Python, false},
    Alias{"python3", L::Python, false},  Alias{"shell", L::Shell, false},
    Alias{"bash", L::Shell, false},      Alias{"sh", L::Shell, false},
    Alias{"zsh", L::Shell, false},       Alias{"ksh", L::Shell, false},
    Alias{"shell script", L::Shell, true}, Alias{"batch", L::Batch, false},
    Alias{"bat", L::Batch, false},       Alias{"cmd", L::Batch, true},
    Alias{"perl", L::Perl, false},       Alias{"pl", L::Perl, true},
    Alias{"ruby", L::Ruby, false},       Alias{"rb", L::Ruby, true},
    Alias{"lua", L::Lua, false},         Alias{"sql", L::Sql, false},
    Alias{"mysql", L::Sql, false},       Alias{"postgresql", L::Sql, false},
    Alias{"sqlite", L::Sql, false},      Alias{"pl/sql", L::Sql, false},
    Alias{"t-sql", L::Sql, false},       Alias{"html", L::Html, false},
    Alias{"xhtml", L::Html, false},      Alias{"php", L::Php, false},
    Alias{"xml", L::Xml, false},         Alias{"xslt", L::Xml, false},
    Alias{"svg", L::Xml, false},         Alias{"css", L::Css, false},
    Alias{"json", L::Json, false},       Alias{"yaml", L::Yaml, false},
    Alias{"yml", L::Yaml, false},        Alias{"makefile", L::Makefile, false},
    Alias{"make", L::Makefile, true},    Alias{"gnu make", L::Makefile, true},
    Alias{"cmake", L::CMake, false},     Alias{"pascal", L::Pascal, false},
    Alias{"delphi", L::Pascal, false},   Alias{"diff", L::Diff, false},
    Alias{"patch", L::Diff, true},       Alias{"patches", L::Diff, false},
    Alias{"go", L::Go, false},           Alias{"golang", L::Go, false},
    Alias{"rust", L::Rust, false},       Alias{"rs", L::Rust, true},
    Alias{"kotlin", L::Kotlin, false},   Alias{"kt", L::Kotlin, true},
    Alias{"swift", L::Swift, false},     Alias{"swiftui", L::Swift, false},
    Alias{"dart", L::Dart, false},       Alias{"flutter", L::Dart, false},
    Alias{"markdown", L::Markdown, false}, Alias{"md", L::Markdown, true},
    Alias{"dockerfile", L::Dockerfile, false}, Alias{"docker", L::Dockerfile, false},
    Alias{"toml", L::Toml, false},
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool Find(std::string_view name, bool whole, SampleLanguage& language) {
    for (const Alias& a : kAliases) {
        if (name == a.name && (whole || !a.wholeNameOnly)) {
            language = a.language;
            return true;
        }
    }
    return false;
}

// The parts of text between any of the separators, empty ones left out.
std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// One word of a name: as it is, without a plural "s", then its parts ("Bash-tricks").
bool FindWord(std::string_view word, SampleLanguage& language) {
    if (Find(word, false, language))
        return true;
    if (word.size() > 2 && word.back() == 's' && Find(word.substr(0, word.size() - 1), false, language))
        return true;
    const std::vector<std::string_view> parts = Split(word, "-./_");
    if (parts.size() > 1)
        for (std::string_view part : parts)
            if (Find(part, false, language))
                return true;
    return false;
}

} // namespace

const std::vector<SampleLanguage>& AllSampleLanguages() {
    static const std::vector<SampleLanguage> all = [] {
        std::vector<SampleLanguage> v;
        for (const LanguageInfo& info : kLanguages)
            v.push_back(info.language);
        return v;
    }();
    return all;
}

const char* LanguageWord(SampleLanguage language) { return Info(language).word; }

const char* LanguageDisplayName(SampleLanguage language) { return Info(language).displayName; }

bool LanguageFromWord(std::string_view word, SampleLanguage& language) {
    for (const LanguageInfo& info : kLanguages) {
        if (word == info.word) {
            language = info.language;
            return true;
        }
    }
    return false;
}

SampleLanguage GuessLanguage(std::string_view categoryName) {
    const std::string name = Lower(categoryName);
    const std::vector<std::string_view> words = Split(name, " \t,;:()[]{}|");
    SampleLanguage language = SampleLanguage::Plain;
    std::string joined;
    for (std::string_view w : words)
        joined += (joined.empty() ? "" : " ") + std::string(w);
    if (Find(joined, true, language))
        return language;
    // Two-word names inside a longer one ("Visual Basic 6", "GNU make rules").
    for (size_t i = 0; i + 1 < words.size(); ++i)
        if (Find(std::string(words[i]) + " " + std::string(words[i + 1]), true, language))
            return language;
    for (std::string_view w : words)
        if (FindWord(w, language))
            return language;
    return SampleLanguage::Plain;
}

SampleLanguage CategoryLanguage(const std::string& category, bool isCustom, std::string_view storedWord) {
    if (!isCustom) {
        if (category == "C++")
            return SampleLanguage::Cpp;
        if (category == "Java")
            return SampleLanguage::Java;
        if (category == "Visual Basic")
            return SampleLanguage::VisualBasic;
        return GuessLanguage(category);
    }
    SampleLanguage stored = SampleLanguage::Plain;
    if (LanguageFromWord(storedWord, stored))
        return stored;
    return GuessLanguage(category);
}
