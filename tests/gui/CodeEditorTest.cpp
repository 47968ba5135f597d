// The code editor: widget text in and out unchanged, its keys, find, zoom, long lines.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <Qsci/qscilexer.h>

#include <gtest/gtest.h>

#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

namespace {

// The editor between two fields, in a shown and active window, as in the form.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{before = new QLineEdit(&window),
                                                         editor = new CCodeEditor(&window),
                                                         after = new QLineEdit(&window)})
            layout->addWidget(w);
        window.resize(700, 420);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->setFocus();
    }
    QWidget* Focus() const { return QApplication::focusWidget(); }
    long SelectionStart() const { return editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART); }
    void Keys(Qt::Key key, int times, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(editor, key, mods);
    }

    QWidget window;
    QLineEdit* before = nullptr;
    CCodeEditor* editor = nullptr;
    QLineEdit* after = nullptr;
};

// Library texts as category files hold them; between them they use every byte value.
std::vector<std::string> LibraryTexts() {
    // Windows-1252: every byte, a line feed only as part of CR LF, a lone CR (0x0D 0x0E).
    std::string cp1252 = "first\r\n";
    for (int b = 0; b < 256; ++b)
        if (b != '\n')
            cp1252 += static_cast<char>(b);
    cp1252 += "\r\n\r\nlast\r";
    // UTF-8: U+0000-U+00FF, characters of three and four bytes, NUL, CR LF, a lone CR.
    std::u32string chars;
    for (char32_t c = 0; c < 0x100; ++c)
        if (c != U'\n')
            chars += c;
    chars += U"\r\n\x0800\x2028\x240C\xFEFF\xFFFD\r\n\U00010000\U0001F600\U0010FFFF\r\n";
    const std::string utf8 = QString::fromUcs4(chars.data(), static_cast<qsizetype>(chars.size())).toStdString();
    // A text that already shows U+240D keeps a lone CR as a CR.
    return {cp1252, utf8, "x\xE2\x90\x8D" "y\rz\r\n", std::string("nul\0in the middle\r\n", 20), ""};
}

TEST_F(EditorTest, EveryByteComesBackUnchangedAndOnlyTheUserEdits) {
    QSignalSpy edited(editor, &CCodeEditor::TextEdited);
    for (const std::string& bytes : LibraryTexts()) {
        FieldCodec codec;
        const QString shown = DecodeField(bytes, codec);
        editor->SetPlainText(shown);
        EXPECT_EQ(editor->PlainText(), shown);
        EXPECT_EQ(EncodeField(editor->PlainText(), codec), bytes);
        EXPECT_FALSE(editor->IsTextModified());
        EXPECT_EQ(edited.count(), 0);
        // Copy sample to clipboard: all of it, then the caret at 65535 or the end.
        editor->selectAll();
        editor->copy();
        if (!shown.isEmpty()) {
            EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);
        }
        editor->SetCaretCharPosition(65535);
        EXPECT_EQ(editor->CaretCharPosition(), std::min<qsizetype>(65535, shown.size()));
        EXPECT_FALSE(editor->hasSelectedText());
    }
    // Positions count UTF-16 units, as QString does, past characters outside the BMP.
    editor->SetPlainText(QString::fromUcs4(U"a\U0001F600b\U00010000c"));
    editor->SetCaretCharPosition(3);
    EXPECT_EQ(editor->CaretCharPosition(), 3);
    editor->SetCaretCharPosition(5); // inside a pair: before it
    EXPECT_EQ(editor->CaretCharPosition(), 4);
    editor->SetCaretCharPosition(6);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u00e9"));
    QApplication::sendEvent(editor, &press);
    EXPECT_EQ(editor->PlainText(), QString::fromUcs4(U"a\U0001F600b\U00010000\u00e9c"));
    // Typing is an edit; undo goes back to the text as set, and no further.
    editor->SetPlainText(QStringLiteral("int x;\n"));
    edited.clear();
    editor->SetCaretCharPosition(6);
    QTest::keyClicks(editor, QStringLiteral("yz"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int x;yz\n\n"));
    EXPECT_TRUE(editor->IsTextModified());
    EXPECT_EQ(edited.count(), 3);
    Keys(Qt::Key_Z, 5);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int x;\n"));
    EXPECT_FALSE(editor->IsTextModified());
}

TEST_F(EditorTest, TabIndentsShiftTabUnindentsCtrlTabLeavesAndTheWindowKeepsItsShortcuts) {
    // The window's commands keep their shortcuts, Alt ones too; the editor keeps undo.
    QAction search(&window), undo(&window), alt(&window);
    search.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    alt.setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    window.addActions({&search, &undo, &alt});
    QSignalSpy searched(&search, &QAction::triggered), undone(&undo, &QAction::triggered),
        alted(&alt, &QAction::triggered);

    const QString text = QStringLiteral("alpha\nbeta\n\ngamma\n");
    editor->SetPlainText(text);
    editor->setSelection(0, 2, 3, 1);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("\talpha\n\tbeta\n\n\tgamma\n")); // empty lines stay empty
    EXPECT_TRUE(editor->hasSelectedText());
    QTest::keyClick(editor, Qt::Key_Tab);
    Keys(Qt::Key_Backtab, 2, Qt::ShiftModifier);
    EXPECT_EQ(editor->PlainText(), text);
    // Without a selection Tab inserts a tab, Shift+Tab unindents the caret's line.
    const QString tabbed = QStringLiteral("alpha\nbe\tta\n\ngamma\n");
    editor->setCursorPosition(1, 2);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), tabbed);
    editor->setCursorPosition(0, 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor->PlainText(), tabbed);
    // A whole indent is one undo step.
    editor->setSelection(0, 0, 2, 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    Keys(Qt::Key_Z, 1);
    EXPECT_EQ(editor->PlainText(), tabbed);
    EXPECT_EQ(undone.count(), 0);
    Keys(Qt::Key_L, 1);
    QTest::keyClick(editor, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(searched.count() + alted.count(), 2);
    EXPECT_EQ(editor->PlainText(), tabbed);

    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Focus(), after);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Focus(), before);
}

TEST_F(EditorTest, FindBarFindsWhileTypingThenNextAndPreviousAroundTheText) {
    editor->SetPlainText(QStringLiteral("one two One\ntwo one\n"));
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    auto* find = editor->findChild<QLineEdit*>(QStringLiteral("findEdit"));
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(Focus(), find);
    QTest::keyClicks(find, QStringLiteral("one"));
    EXPECT_EQ(SelectionStart(), 0);
    EXPECT_EQ(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND), 3);
    // Forward and backward, any case, round the end; the match case option from the match shown.
    const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_F3, Qt::NoModifier}, {Qt::Key_F3, Qt::NoModifier},
        {Qt::Key_F3, Qt::ShiftModifier}, {Qt::Key_Return, Qt::ShiftModifier}};
    std::vector<long> starts;
    for (const auto& [key, mods] : keys) {
        QTest::keyClick(find, key, mods);
        starts.push_back(SelectionStart());
    }
    EXPECT_EQ(starts, (std::vector<long>{8, 16, 0, 16, 8}));
    editor->findChild<QAbstractButton*>(QStringLiteral("findMatchCase"))->setChecked(true);
    EXPECT_EQ(SelectionStart(), 16);
    // The bar follows the editor's size.
    auto* bar = editor->findChild<QWidget*>(QStringLiteral("findBar"));
    window.resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->geometry().right(), editor->viewport()->geometry().right());

    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    EXPECT_EQ(Focus(), editor);
    QTest::keyClick(editor, Qt::Key_F3);
    EXPECT_EQ(SelectionStart(), 0);
    QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(SelectionStart(), 16);
    // Nothing found: said so, the selection stays.
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(find, QStringLiteral("zzz"));
    EXPECT_EQ(SelectionStart(), 16);
    EXPECT_FALSE(editor->findChild<QLabel*>(QStringLiteral("findStatus"))->text().isEmpty());
    // The selection, on one line, is what Ctrl+F looks for.
    QTest::keyClick(find, Qt::Key_Escape);
    editor->setSelection(0, 4, 0, 7);
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(find->text(), QStringLiteral("two"));
}

TEST_F(EditorTest, ZoomByKeysWheelAndCallIsSignalledOnceAndEveryLanguageHasAHighlighter) {
    QSignalSpy zoomed(editor, &CCodeEditor::ZoomChanged);
    auto last = [&] { return zoomed.isEmpty() ? -99 : zoomed.last().at(0).toInt(); };
    Keys(Qt::Key_Plus, 1);
    EXPECT_EQ(last(), 1);
    Keys(Qt::Key_Minus, 2);
    EXPECT_EQ(last(), -1);
    Keys(Qt::Key_0, 1);
    EXPECT_EQ(last(), 0);
    const QPointF at(50, 50);
    QWheelEvent wheel(at, editor->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor->viewport(), &wheel);
    EXPECT_GT(last(), 0);
    editor->SetZoomLevel(3);
    const qsizetype count = zoomed.count();
    editor->SetZoomLevel(3);
    EXPECT_EQ(zoomed.count(), count);
    EXPECT_EQ(last(), 3);

    for (SampleLanguage language : AllSampleLanguages()) {
        editor->SetLanguage(language);
        // 0 and 1: no lexer found under that name.
        EXPECT_EQ(editor->SendScintilla(QsciScintillaBase::SCI_GETLEXER) > 1, language != SampleLanguage::Plain)
            << LanguageWord(language);
        EXPECT_EQ(editor->lexer() != nullptr, language != SampleLanguage::Plain) << LanguageWord(language);
    }
    // A long line pasted into a text shows it plain, in the language it keeps.
    editor->SetLanguage(SampleLanguage::Cpp);
    editor->SetPlainText(QStringLiteral("int y;\n"));
    EXPECT_FALSE(editor->IsLongLineMode());
    QGuiApplication::clipboard()->setText(QString(CCodeEditor::kLongLineBytes, QLatin1Char('y')));
    Keys(Qt::Key_V, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(editor->IsLongLineMode());
    EXPECT_EQ(editor->lexer(), nullptr);
    EXPECT_EQ(editor->Language(), SampleLanguage::Cpp);
    EXPECT_EQ(editor->PlainText().size(), 7 + CCodeEditor::kLongLineBytes);
}

// Minified code with characters of every UTF-8 length: several display pieces.
QString LongLine(int pieces) {
    QString line;
    for (int i = 0; line.size() < pieces * CCodeEditor::kPieceBytes; ++i)
        line += QStringLiteral("f%1(a,b){return \u00e9\u20ac\U0001F600[a+b*%1];}").arg(i);
    return line;
}

TEST_F(EditorTest, ALongLineShownInPiecesComesBackExactThroughEditsUndoAndRedo) {
    const QString text = QStringLiteral("head\n") + LongLine(30) + QStringLiteral("\r\ntail\n");
    editor->SetPlainText(text);
    EXPECT_TRUE(editor->IsLongLineMode());
    EXPECT_GT(editor->lines(), 20);
    EXPECT_EQ(editor->PlainText(), text);
    EXPECT_EQ(editor->marginWidth(0), 0); // numbers would count pieces

    // Typing inside the line, at a position counted on the text itself.
    QString expected = text;
    const qsizetype at = 3 * CCodeEditor::kPieceBytes + 5;
    editor->SetCaretCharPosition(at);
    EXPECT_EQ(editor->CaretCharPosition(), at);
    QTest::keyClicks(editor, QStringLiteral("Q"));
    expected.insert(at, QLatin1Char('Q'));
    EXPECT_EQ(editor->PlainText(), expected);

    // A selection over the end of a piece: copied without the break, deleted, undone, redone.
    editor->setCursorPosition(4, 10);
    const qsizetype from = editor->CaretCharPosition();
    editor->setSelection(4, 10, 6, 10);
    Keys(Qt::Key_C, 1);
    const QString selected = QGuiApplication::clipboard()->text();
    EXPECT_EQ(selected, expected.mid(from, selected.size()));
    const QString beforeDelete = expected;
    expected.remove(from, selected.size());
    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->PlainText(), expected);
    for (int round = 0; round < 2; ++round) {
        Keys(Qt::Key_Z, 1);
        EXPECT_EQ(editor->PlainText(), beforeDelete);
        Keys(Qt::Key_Y, 1);
        EXPECT_EQ(editor->PlainText(), expected);
    }
    // Backspace at the start of a piece joins two pieces and takes the character before.
    editor->setCursorPosition(9, 0);
    const qsizetype joint = editor->CaretCharPosition();
    Keys(Qt::Key_Backspace, 2, Qt::NoModifier);
    EXPECT_EQ(editor->PlainText(), expected.left(joint - 1) + expected.mid(joint));
    Keys(Qt::Key_Z, 1);
    EXPECT_EQ(editor->PlainText(), expected);

    // A long line inserted as a paste is shown in pieces too, through undo and redo.
    editor->SetCaretCharPosition(2);
    const QString pasted = LongLine(12);
    editor->InsertPlainText(pasted);
    const QString withPaste = expected.left(2) + pasted + expected.mid(2);
    EXPECT_EQ(editor->PlainText(), withPaste);
    Keys(Qt::Key_Z, 1);
    EXPECT_EQ(editor->PlainText(), expected);
    Keys(Qt::Key_Y, 1);
    EXPECT_EQ(editor->PlainText(), withPaste);
    Keys(Qt::Key_Z, 30);
    EXPECT_EQ(editor->PlainText(), text);

    // Tab over everything indents the real lines, not the pieces.
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("\thead\n\t") + LongLine(30) + QStringLiteral("\r\n\ttail\n"));
}

} // namespace
