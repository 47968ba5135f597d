#include "bench/EditorBench.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <cstdio>
#include <functional>
#include <vector>

#include "bench/BenchUtil.h"
#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

namespace bench {
namespace {

constexpr const char* kLastWord = "zzLastCallOfTheLine";

// Minified code on one line: no line end anywhere.
std::string LongLine(long long bytes) {
    std::string s;
    s.reserve(static_cast<size_t>(bytes) + 128);
    char piece[160];
    for (int i = 0; static_cast<long long>(s.size()) < bytes; ++i) {
        std::snprintf(piece, sizeof piece,
                      "function f%d(a,b){var c=a+b*%d;if(c>%d){return c-1;}else{return [c,\"s%d\"];}}", i,
                      i % 97, i % 1013, i);
        s += piece;
    }
    s += std::string(" ") + kLastWord + "();";
    return s;
}

// Counts the paints of the editor's text area.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs what is waiting, and makes sure the text area was painted at least once since
// `before` paints.
void Settle(CCodeEditor& editor, PaintCounter& counter, int before) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (counter.paints == before)
        editor.viewport()->repaint();
}

double Timed(CCodeEditor& editor, PaintCounter& counter, const std::function<void()>& step) {
    const int before = counter.paints;
    const double start = Now();
    step();
    Settle(editor, counter, before);
    return Now() - start;
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

} // namespace

EditorFigures MeasureLongLineEditor(long long bytes, int runs) {
    const std::string library = LongLine(bytes);
    FieldCodec codec;
    const QString shown = DecodeField(library, codec);

    CCodeEditor editor;
    editor.resize(900, 320);
    editor.show();
    PaintCounter counter;
    editor.viewport()->installEventFilter(&counter);
    editor.SetLanguage(SampleLanguage::Cpp);
    QCoreApplication::processEvents();

    // As the form does: the edit signal only marks the form modified (the text is
    // taken when it is needed), or, for comparison, takes it at every edit.
    bool eager = false;
    bool modified = false;
    std::string captured;
    QObject::connect(&editor, &CCodeEditor::TextEdited, [&] {
        modified = true;
        if (eager)
            captured = EncodeField(editor.PlainText(), codec);
    });

    EditorFigures f;
    f.bytes = static_cast<double>(library.size());
    std::vector<double> open, end, home, page, type, typeCapture, capture, find;
    f.textExact = true;
    for (int run = 0; run < runs; ++run) {
        editor.SetPlainText(QString());
        QCoreApplication::processEvents();
        open.push_back(Timed(editor, counter, [&] { editor.SetPlainText(shown); }));
        f.longLineMode = editor.IsLongLineMode();
        end.push_back(Timed(editor, counter, [&] { Key(&editor, Qt::Key_End, Qt::ControlModifier); }));
        home.push_back(Timed(editor, counter, [&] { Key(&editor, Qt::Key_Home, Qt::ControlModifier); }));
        QScrollBar* bar = editor.horizontalScrollBar();
        page.push_back(Timed(editor, counter, [&] { bar->setValue(bar->value() + bar->pageStep()); }));
        f.textExact = f.textExact && EncodeField(editor.PlainText(), codec) == library;

        Key(&editor, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::processEvents();
        eager = false;
        type.push_back(Timed(editor, counter, [&] { Key(&editor, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")); }));
        eager = true;
        typeCapture.push_back(
            Timed(editor, counter, [&] { Key(&editor, Qt::Key_Y, Qt::NoModifier, QStringLiteral("y")); }));
        eager = false;
        const double start = Now();
        captured = EncodeField(editor.PlainText(), codec);
        capture.push_back(Now() - start);

        Key(&editor, Qt::Key_Home, Qt::ControlModifier);
        editor.findChild<QLineEdit*>(QStringLiteral("findEdit"))->setText(QString::fromLatin1(kLastWord));
        find.push_back(Timed(editor, counter, [&] { editor.FindAgain(true); }));
    }
    (void)modified;
    f.open = Median(open);
    f.scrollEnd = Median(end);
    f.scrollHome = Median(home);
    f.scrollPage = Median(page);
    f.type = Median(type);
    f.typeCapture = Median(typeCapture);
    f.capture = Median(capture);
    f.findEnd = Median(find);
    return f;
}

void AddEditorFigures(const EditorFigures& f, std::map<std::string, double>& v) {
    v["editor_line_bytes"] = f.bytes;
    v["editor_open_ms"] = f.open * 1000;
    v["editor_scroll_end_ms"] = f.scrollEnd * 1000;
    v["editor_scroll_home_ms"] = f.scrollHome * 1000;
    v["editor_scroll_page_ms"] = f.scrollPage * 1000;
    v["editor_type_ms"] = f.type * 1000;
    v["editor_type_capture_ms"] = f.typeCapture * 1000;
    v["editor_capture_ms"] = f.capture * 1000;
    v["editor_find_end_ms"] = f.findEnd * 1000;
    v["editor_long_line_mode"] = f.longLineMode ? 1 : 0;
    v["editor_text_exact"] = f.textExact ? 1 : 0;
}

void PrintEditorFigures(const EditorFigures& f) {
    std::printf("\nCode editor, one line of %.1f MB (C++ category%s); median, target well under 1 s each\n\n",
                f.bytes / 1e6, f.longLineMode ? ", shown plain" : "");
    const struct {
        const char* what;
        double seconds;
    } rows[] = {
        {"open (text set, first paint)", f.open},
        {"scroll to the end of the line (Ctrl+End)", f.scrollEnd},
        {"scroll back to the start (Ctrl+Home)", f.scrollHome},
        {"scroll one page right (scroll bar)", f.scrollPage},
        {"type one character at the end", f.type},
        {"  the same, taking the whole text at every edit", f.typeCapture},
        {"take the whole text once (commit, save)", f.capture},
        {"find the last word of the line", f.findEnd},
    };
    for (const auto& r : rows)
        std::printf("| %-48s | %9.1f ms |\n", r.what, r.seconds * 1000);
    std::printf("Text unchanged after opening and scrolling: %s\n", f.textExact ? "yes" : "NO");
}

} // namespace bench
