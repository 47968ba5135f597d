#include "ui/CodeLexers.h"

#include <QFont>
#include <QPalette>
#include <Qsci/qscilexerbash.h>
#include <Qsci/qscilexerbatch.h>
#include <Qsci/qscilexercmake.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercsharp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerdiff.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexerlua.h>
#include <Qsci/qscilexermakefile.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerproperties.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexerruby.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qscilexeryaml.h>

#include <algorithm>

namespace {

// Visual Basic (classic and .NET) through the editor's own "vb" lexer, which the
// library has no class for.
class CVisualBasicLexer : public QsciLexer {
public:
    explicit CVisualBasicLexer(QObject* parent) : QsciLexer(parent) {}

    const char* language() const override { return "Visual Basic"; }
    const char* lexer() const override { return "vb"; }
    bool caseSensitive() const override { return false; }
    int braceStyle() const override { return kOperator; }

    // The lexer compares lower-cased words with these.
    const char* keywords(int set) const override {
        if (set != 1)
            return nullptr;
        return "addhandler addressof alias and andalso as attribute begin boolean byref byte byval call case "
               "catch cbool cbyte cchar cdate cdbl cdec char cint class clng cobj const continue csbyte cshort "
               "csng cstr ctype cuint culng currency cushort date decimal declare default delegate dim "
               "directcast do double each else elseif end endif enum erase error event exit false finally for "
               "friend function get gettype global gosub goto handles if implements imports in inherits "
               "integer interface is isnot let lib like long loop me mod module mustinherit mustoverride mybase "
               "myclass namespace narrowing new next not nothing notinheritable notoverridable object of on "
               "operator option optional or orelse overloads overridable overrides paramarray partial private "
               "property protected public raiseevent readonly redim rem removehandler resume return sbyte "
               "select set shadows shared short single static step stop string structure sub synclock then "
               "throw to true try trycast type typeof uinteger ulong ushort using variant wend when while "
               "widening with withevents writeonly xor";
    }

    QString description(int style) const override {
        switch (style) {
        case kDefault: return QStringLiteral("Default");
        case kComment: return QStringLiteral("Comment");
        case kNumber: return QStringLiteral("Number");
        case kKeyword: return QStringLiteral("Keyword");
        case kString: return QStringLiteral("String");
        case kPreprocessor: return QStringLiteral("Preprocessor");
        case kOperator: return QStringLiteral("Operator");
        case kIdentifier: return QStringLiteral("Identifier");
        case kDate: return QStringLiteral("Date");
        case kUnclosedString: return QStringLiteral("Unclosed string");
        default: return QString();
        }
    }

    QColor defaultColor(int style) const override {
        switch (style) {
        case kComment: return QColor(0x00, 0x7f, 0x00);
        case kNumber:
        case kDate: return QColor(0x00, 0x7f, 0x7f);
        case kKeyword: return QColor(0x00, 0x00, 0x7f);
        case kString:
        case kUnclosedString: return QColor(0x7f, 0x00, 0x7f);
        case kPreprocessor: return QColor(0x7f, 0x7f, 0x00);
        default: return QColor(0x00, 0x00, 0x00);
        }
    }

    QFont defaultFont(int style) const override {
        QFont f = QsciLexer::defaultFont(style);
        f.setBold(style == kKeyword);
        f.setItalic(style == kComment);
        return f;
    }

private:
    // The style numbers of the "vb" lexer.
    enum {
        kDefault = 0,
        kComment = 1,
        kNumber = 2,
        kKeyword = 3,
        kString = 4,
        kPreprocessor = 5,
        kOperator = 6,
        kIdentifier = 7,
        kDate = 8,
        kUnclosedString = 9,
    };
};

// A language whose comments, strings and braces are C's: the C-family lexer with the
// language's own keywords (set 1) and its built-in types and functions (set 2).
class CCFamilyLexer : public QsciLexerCPP {
public:
    CCFamilyLexer(QObject* parent, const char* name, const char* keywords, const char* types)
        : QsciLexerCPP(parent), m_name(name), m_keywords(keywords), m_types(types) {}

    const char* language() const override { return m_name; }
    const char* keywords(int set) const override {
        if (set == 1)
            return m_keywords;
        if (set == 2)
            return m_types;
        return QsciLexerCPP::keywords(set);
    }

private:
    const char* m_name;
    const char* m_keywords;
    const char* m_types;
};

QsciLexer* MakeCFamilyLexer(SampleLanguage language, QObject* parent) {
    switch (language) {
    case SampleLanguage::Go:
        return new CCFamilyLexer(
            parent, "Go",
            "break case chan const continue default defer else fallthrough for func go goto if import interface "
            "map package range return select struct switch type var",
            "any bool byte complex64 complex128 error false float32 float64 int int8 int16 int32 int64 iota nil "
            "rune string true uint uint8 uint16 uint32 uint64 uintptr append cap clear close copy delete len make "
            "max min new panic print println recover");
    case SampleLanguage::Rust:
        return new CCFamilyLexer(
            parent, "Rust",
            "as async await break const continue crate dyn else enum extern false fn for if impl in let loop "
            "match mod move mut pub ref return self Self static struct super trait true type union unsafe use "
            "where while",
            "bool char f32 f64 i8 i16 i32 i64 i128 isize str u8 u16 u32 u64 u128 usize Box Err None Ok Option "
            "Result Some String Vec");
    case SampleLanguage::TypeScript:
        return new CCFamilyLexer(
            parent, "TypeScript",
            "abstract as async await break case catch class const constructor continue debugger declare default "
            "delete do else enum export extends false finally for from function get if implements import in "
            "infer instanceof interface is keyof let module namespace new null of private protected public "
            "readonly return satisfies set static super switch this throw true try type typeof var void while "
            "with yield",
            "any bigint boolean never number object string symbol undefined unknown Array Map Promise Record Set");
    case SampleLanguage::Kotlin:
        return new CCFamilyLexer(
            parent, "Kotlin",
            "abstract annotation as break by catch class companion const constructor continue crossinline data "
            "do else enum external false final finally for fun get if import in infix init inline inner "
            "interface internal is lateinit noinline null object open operator out override package private "
            "protected public reified return sealed set super suspend tailrec this throw true try typealias val "
            "var vararg when where while",
            "Any Array Boolean Byte Char Double Float Int List Long Map MutableList MutableMap Nothing Set Short "
            "String Unit");
    case SampleLanguage::Swift:
        return new CCFamilyLexer(
            parent, "Swift",
            "actor associatedtype async await break case catch class continue default defer deinit do else enum "
            "extension fallthrough false fileprivate final for func guard if import in init inout internal is "
            "lazy let mutating nil nonisolated open operator override private protocol public repeat rethrows "
            "return self Self some static struct subscript super switch throw throws true try typealias var "
            "weak where while",
            "Any AnyObject Array Bool Character Dictionary Double Float Int Optional Set String UInt Void");
    case SampleLanguage::Dart:
        return new CCFamilyLexer(
            parent, "Dart",
            "abstract as assert async await base break case catch class const continue covariant default "
            "deferred do else enum export extends extension external factory false final finally for get hide "
            "if implements import in interface is late library mixin new null on operator part required "
            "rethrow return sealed set show static super switch sync this throw true try typedef var void "
            "when while with yield",
            "bool double dynamic Function Future int Iterable List Map Never num Object Set Stream String");
    default: return nullptr;
    }
}

// Dark colours become light ones of the same hue on a dark base; greys are the text.
QColor Readable(const QColor& colour, const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text);
    if (colour.hslSaturationF() < 0.15f && colour.lightnessF() < 0.5f)
        return text;
    if (palette.color(QPalette::Base).lightnessF() >= 0.5f)
        return colour;
    float h = 0, s = 0, l = 0;
    colour.getHslF(&h, &s, &l);
    return QColor::fromHslF(h, s, std::max(1.0f - l, 0.65f));
}

} // namespace

QsciLexer* MakeLexer(SampleLanguage language, QObject* parent) {
    switch (language) {
    case SampleLanguage::Plain: return nullptr;
    case SampleLanguage::Cpp: return new QsciLexerCPP(parent);
    case SampleLanguage::CSharp: return new QsciLexerCSharp(parent);
    case SampleLanguage::Java: return new QsciLexerJava(parent);
    case SampleLanguage::VisualBasic: return new CVisualBasicLexer(parent);
    case SampleLanguage::JavaScript: return new QsciLexerJavaScript(parent);
    case SampleLanguage::Python: return new QsciLexerPython(parent);
    case SampleLanguage::Shell: return new QsciLexerBash(parent);
    case SampleLanguage::Batch: return new QsciLexerBatch(parent);
    case SampleLanguage::Perl: return new QsciLexerPerl(parent);
    case SampleLanguage::Ruby: return new QsciLexerRuby(parent);
    case SampleLanguage::Lua: return new QsciLexerLua(parent);
    case SampleLanguage::Sql: return new QsciLexerSQL(parent);
    case SampleLanguage::Html: return new QsciLexerHTML(parent);
    case SampleLanguage::Xml: return new QsciLexerXML(parent);
    case SampleLanguage::Css: return new QsciLexerCSS(parent);
    case SampleLanguage::Json: return new QsciLexerJSON(parent);
    case SampleLanguage::Yaml: return new QsciLexerYAML(parent);
    case SampleLanguage::Makefile: return new QsciLexerMakefile(parent);
    case SampleLanguage::CMake: return new QsciLexerCMake(parent);
    case SampleLanguage::Pascal: return new QsciLexerPascal(parent);
    case SampleLanguage::Diff: return new QsciLexerDiff(parent);
    case SampleLanguage::Go:
    case SampleLanguage::Rust:
    case SampleLanguage::TypeScript:
    case SampleLanguage::Kotlin:
    case SampleLanguage::Swift:
    case SampleLanguage::Dart: return MakeCFamilyLexer(language, parent);
    // PHP is embedded in HTML, and the HTML lexer knows it.
    case SampleLanguage::Php: return new QsciLexerHTML(parent);
    case SampleLanguage::Markdown: return new QsciLexerMarkdown(parent);
    case SampleLanguage::Dockerfile: return new QsciLexerBash(parent);
    case SampleLanguage::Toml: return new QsciLexerProperties(parent);
    }
    return nullptr;
}

void StyleLexer(QsciLexer& lexer, const QFont& font, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    lexer.setDefaultFont(font);
    lexer.setDefaultPaper(base);
    lexer.setDefaultColor(palette.color(QPalette::Text));
    for (int style = 0; style < 256; ++style) {
        if (lexer.description(style).isEmpty())
            continue;
        const QFont own = lexer.defaultFont(style);
        QFont f = font;
        f.setBold(own.bold());
        f.setItalic(own.italic());
        lexer.setFont(f, style);
        lexer.setPaper(base, style);
        lexer.setColor(Readable(lexer.defaultColor(style), palette), style);
    }
}
