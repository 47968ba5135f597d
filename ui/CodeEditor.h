// The sample text's code editor: highlighting by language, line numbers, the current
// line marked, brace matching, Tab and Shift+Tab indenting the selected lines and Enter
// keeping the line's indentation, all in the text's own style of indentation (Ctrl+Tab
// and Ctrl+Shift+Tab leave the editor), a find bar (Ctrl+F, F3,
// Shift+F3, Escape), zoom (Ctrl+plus, Ctrl+minus, Ctrl+0, Ctrl+wheel) and white space
// shown on request.
//
// It holds widget text as ui/TextCodec makes it ("\n" line ends) and gives back exactly
// what it was given, character for character, until the user edits: no line-end
// conversion, NUL and every other character kept. A text with a very long line is
// shown plain, without line numbers, and that line in pieces of a few kilobytes (the
// breaks between them are only shown, never part of the text), so that opening,
// scrolling and typing stay quick; a word split between two pieces is not found.
//
// The window's own commands keep their shortcuts while the editor has the focus: of the
// editing keys with Ctrl and a letter, only select all, copy, cut, paste, undo and redo
// are the editor's.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "library/SampleLanguage.h"
#include "ui/IndentStyle.h"
#include "ui/SoftBreaks.h"

class CEditorFindBar;
class QsciLexer;

class CCodeEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit CCodeEditor(QWidget* parent = nullptr);
    ~CCodeEditor() override;

    // --- Text ---
    // Replaces the whole text. Not an edit: TextEdited is not sent, the undo history
    // starts anew, the text counts as unmodified and the caret goes to the start.
    void SetPlainText(const QString& text);
    // The text as set or as the user has edited it, "\n" line ends. Costs a copy of the
    // whole text: take it when it is needed (a commit, a save), not at every keystroke.
    QString PlainText() const;
    // Replaces the selection with text, or inserts it at the caret, as one edit (what a
    // paste does); a very long line in it is shown in pieces.
    void InsertPlainText(const QString& text);
    // Edited since the last SetPlainText or SetTextModified(false); undoing every edit
    // counts as unmodified again.
    bool IsTextModified() const;
    void SetTextModified(bool modified);
    // Moves the caret to the position-th character (counted in UTF-16 units, as QString
    // counts), or to the end when the text is shorter; nothing stays selected and the
    // caret is scrolled into view.
    void SetCaretCharPosition(qsizetype position);
    qsizetype CaretCharPosition() const;
    // Copies the selection to the clipboard exactly as it is (NUL included); Ctrl+C and
    // Ctrl+X come here too.
    void copy() override;
    void cut() override;
    // Copies the whole text exactly as it is, leaving the selection and the caret; gives
    // the number of lines copied (a last line without a line end counts).
    int CopyAll();

    // --- Look ---
    void SetLanguage(SampleLanguage language);
    SampleLanguage Language() const { return m_language; }
    // True while the text holds a line too long to highlight: it is then shown plain,
    // without brace matching, whatever the language.
    bool IsLongLineMode() const { return m_longLines; }
    void SetWhitespaceShown(bool shown);
    bool IsWhitespaceShown() const;
    // Points added to the font size (negative: smaller); 0 is the normal size.
    int ZoomLevel() const;
    void SetZoomLevel(int level);

    // --- Indentation ---
    // Tab adds one unit of indentation to each line of the selection, Shift+Tab takes
    // up to one away (a selection that ends at the start of a line leaves that line
    // alone), Enter starts the new line with the bytes that indent the line before. The
    // unit is the one the text as set shows; fallback is used when it shows none.
    void SetIndentFallback(const IndentStyle& fallback);
    IndentStyle IndentInUse() const { return m_foundIndent.value_or(m_indentFallback); }
    // Whether the text as set shows its own style (the fallback is not used).
    bool HasOwnIndentStyle() const { return m_foundIndent.has_value(); }

    // --- Find ---
    // Opens the find bar (Ctrl+F) with the selection, when it is on one line, as the text.
    void OpenFindBar();
    void CloseFindBar();
    // Selects the next (forward) or previous occurrence of the find bar's text after or
    // before the selection, wrapping around at the ends; false when there is none.
    bool FindAgain(bool forward);

    // --- Found words ---
    // Marks every occurrence of the words (letter case ignored, as the instant find
    // ignores it) and selects the first; while the find bar has no text, F3 and
    // Shift+F3 then go from one mark to the next. False when none occurs. The marks go
    // with the text (SetPlainText) or with an empty list.
    bool MarkWords(const QStringList& words);
    // The marked runs as character positions: start and length, in order.
    std::vector<std::pair<qsizetype, qsizetype>> MarkedRuns() const;

    // Lines longer than this many bytes switch the editor to its long-line mode, where
    // lines set or inserted are shown in pieces of about kPieceBytes.
    static constexpr int kLongLineBytes = 20000;
    static constexpr int kPieceBytes = 2000;

signals:
    // The user changed the text: typing, paste, cut, drop, undo, redo, indenting.
    // SetPlainText does not send it.
    void TextEdited();
    // The zoom changed, by key, wheel or SetZoomLevel; level as ZoomLevel gives it.
    void ZoomChanged(int level);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    void ApplyPalette();
    void ApplyLexer();
    void UnbindWindowKeys();
    void UpdateLineNumberWidth();
    void PlaceFindBar();
    // Indents (by one level) or unindents the lines of the selection, or the caret's
    // line, as one undo step.
    void ShiftLines(bool indent);
    // Tab without a selection: blanks to the next unit's column, or a tab.
    void InsertIndentAtCaret();
    // Enter: a line end and the current line's indentation up to the caret.
    void InsertLineBreak();
    void ApplyIndentStyle();
    // Soon, once the change under way is complete: the long-line mode on when the text
    // has a long line, off (the code view back) once none is left.
    void QueueLongLineReview();
    bool Find(bool forward, bool incremental);
    // Selects the mark after (before) the selection, wrapping; false when none.
    bool GoToMark(bool forward);
    // The marked runs as byte positions [start, end).
    std::vector<std::pair<long, long>> MarkBytes() const;
    // The character position (UTF-16 units, display breaks left out) of a byte position.
    qsizetype CharPosition(long byte) const;
    // Whether a line of the text is longer than kLongLineBytes; only the lines from
    // firstLine to lastLine when they are given.
    bool HasLongLine(int firstLine = 0, int lastLine = -1) const;
    void SetLongLineMode(bool on);
    void OnModified(int position, int type, const char* text, int length, int linesAdded, int token);
    // A line that continues the one before after a display break.
    bool IsContinuationLine(int line) const;
    bool IsStreamSelection() const;
    // The text between two byte positions, display breaks left out.
    QString TextBetween(long start, long end) const;
    void OnZoom();
    // The text's UTF-8 bytes, in one piece.
    const char* TextBytes() const;
    // The byte position of the character-th UTF-16 unit; the end when past it.
    long BytePosition(qsizetype character) const;

    SampleLanguage m_language = SampleLanguage::Plain;
    QsciLexer* m_lexer = nullptr;
    CEditorFindBar* m_findBar = nullptr;
    bool m_settingText = false;
    bool m_longLines = false;
    CSoftBreaks m_soft;
    // The record whose breaks the next insertion brings back (0: none).
    int m_restoreToken = 0;
    int m_zoom = 0;
    bool m_reviewQueued = false;
    std::optional<IndentStyle> m_foundIndent;
    IndentStyle m_indentFallback;
    int m_markIndicator = -1;
};
