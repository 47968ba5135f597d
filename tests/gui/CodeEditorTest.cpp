// The code editor: widget text in and out unchanged, through edits and long lines; its keys.
#include <QClipboard>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

namespace {

// The editor in a shown and active window, as in the form.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        (new QVBoxLayout(&window))->addWidget(editor = new CCodeEditor(&window));
        window.resize(700, 420);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->setFocus();
    }
    void Keys(Qt::Key key, int times, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(editor, key, mods);
    }

    QWidget window;
    CCodeEditor* editor = nullptr;
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

TEST_F(EditorTest, TabShiftTabAndEnterKeepTheTextsOwnIndentation) {
    // Blanks of four: a selection ending at column 0 leaves that line alone for both keys.
    const QString blanks = QStringLiteral("int f() {\n    a;\n\n    if (x)\n        b;\n}\n");
    editor->SetPlainText(blanks);
    editor->setSelection(1, 0, 4, 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int f() {\n        a;\n\n        if (x)\n        b;\n}\n"));
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor->PlainText(), blanks);
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int f() {\na;\n\nif (x)\n        b;\n}\n"));
    Keys(Qt::Key_Z, 1); // a whole unindent is one undo step
    EXPECT_EQ(editor->PlainText(), blanks);
    // Enter copies the line's indentation bytes; Tab without a selection goes to the next unit.
    editor->setCursorPosition(4, 10);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClicks(editor, QStringLiteral("c;"));
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int f() {\n    a;\n\n    if (x)\n        b;\n            c;\n}\n"));

    // Tabs, and blanks of two, stay what they are.
    editor->SetPlainText(QStringLiteral("f {\n\tg {\n\t\th;\n"));
    editor->setSelection(0, 1, 2, 3);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("\tf {\n\t\tg {\n\t\t\th;\n"));
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("f {\n\tg {\n\t\th;\n\t\t\n"));
    editor->SetPlainText(QStringLiteral("a\n  b\n    c\n"));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("  a\n    b\n      c\n"));
    // A text without indentation takes the style it is given (the category's).
    editor->SetPlainText(QStringLiteral("x\n"));
    editor->SetIndentFallback(IndentStyle{true, 4});
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("\tx\n"));
}

TEST_F(EditorTest, CtrlTabLeavesTheEditorAndTheWindowKeepsItsShortcuts) {
    // The window's commands keep their shortcuts; the editor keeps its own undo.
    QAction search(&window), undo(&window);
    search.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    window.addActions({&search, &undo});
    QSignalSpy searched(&search, &QAction::triggered), undone(&undo, &QAction::triggered);
    QLineEdit next(&window);
    window.layout()->addWidget(&next);
    next.show();
    editor->SetPlainText(QStringLiteral("alpha\n"));
    QTest::keyClick(editor, Qt::Key_Tab);
    Keys(Qt::Key_Z, 1);
    EXPECT_EQ(editor->PlainText(), QStringLiteral("alpha\n"));
    Keys(Qt::Key_L, 1);
    EXPECT_EQ(searched.count(), 1);
    EXPECT_EQ(undone.count(), 0);
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &next);
}

TEST_F(EditorTest, FindBarFindsWhileTypingThenNextAndPreviousAroundTheText) {
    editor->SetPlainText(QStringLiteral("one two One\ntwo one\n"));
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    auto* find = editor->findChild<QLineEdit*>(QStringLiteral("findEdit"));
    ASSERT_NE(find, nullptr);
    QTest::keyClicks(find, QStringLiteral("one"));
    // Forward and backward, any case, round the end; from the editor too once the bar is closed.
    std::vector<long> starts{editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)};
    const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {Qt::Key_Return, Qt::NoModifier},    {Qt::Key_F3, Qt::NoModifier},     {Qt::Key_F3, Qt::NoModifier},
        {Qt::Key_Return, Qt::ShiftModifier}, {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F3, Qt::ShiftModifier}};
    for (const auto& [key, mods] : keys) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
        starts.push_back(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    }
    EXPECT_EQ(starts, (std::vector<long>{0, 8, 16, 0, 16, 16, 8}));
    EXPECT_FALSE(find->isVisible());
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
}

TEST_F(EditorTest, UndoingAPastedLongLineBringsTheCodeViewBack) {
    editor->SetLanguage(SampleLanguage::Cpp);
    editor->SetPlainText(QStringLiteral("int a;\n"));
    const int numbers = editor->marginWidth(0);
    ASSERT_GT(numbers, 0);
    editor->InsertPlainText(LongLine(12));
    QCoreApplication::processEvents();
    EXPECT_TRUE(editor->IsLongLineMode());
    EXPECT_EQ(editor->lexer(), nullptr);
    EXPECT_EQ(editor->marginWidth(0), 0); // the pieces are not numbered
    Keys(Qt::Key_Z, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->PlainText(), QStringLiteral("int a;\n"));
    EXPECT_FALSE(editor->IsLongLineMode());
    EXPECT_NE(editor->lexer(), nullptr);
    EXPECT_EQ(editor->marginWidth(0), numbers);
    // A short text shown next scrolls no further than its own lines.
    editor->InsertPlainText(LongLine(12));
    QCoreApplication::processEvents();
    editor->SetPlainText(QStringLiteral("int b;\n"));
    QCoreApplication::processEvents();
    EXPECT_LT(editor->SendScintilla(QsciScintillaBase::SCI_GETSCROLLWIDTH), editor->width());
}

} // namespace
