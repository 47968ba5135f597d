// The code editor's indentation: Tab, Shift+Tab and Enter in the text's own style, so
// that indenting and unindenting lines indented in whole units changes no byte.
#include "ui/CodeEditor.h"

#include <algorithm>
#include <string>
#include <vector>

void CCodeEditor::SetIndentFallback(const IndentStyle& fallback) {
    m_indentFallback = fallback;
    ApplyIndentStyle();
}

void CCodeEditor::ApplyIndentStyle() {
    const IndentStyle style = IndentInUse();
    setIndentationsUseTabs(style.tabs);
    setIndentationWidth(style.tabs ? 0 : style.width);
    setTabWidth(style.tabs ? style.width : std::max(style.width, 4));
}

void CCodeEditor::ShiftLines(bool indent) {
    if (isReadOnly())
        return;
    int anchorLine = 0, anchorIndex = 0, caretLine = 0, caretIndex = 0;
    lineIndexFromPosition(static_cast<int>(SendScintilla(SCI_GETANCHOR)), &anchorLine, &anchorIndex);
    getCursorPosition(&caretLine, &caretIndex);
    int lineFrom = std::min(anchorLine, caretLine);
    int lineTo = std::max(anchorLine, caretLine);
    // A selection that ends at the start of a line does not take that line.
    const int endIndex = anchorLine == caretLine ? std::max(anchorIndex, caretIndex)
                         : anchorLine > caretLine ? anchorIndex
                                                  : caretIndex;
    if (lineTo > lineFrom && endIndex == 0)
        --lineTo;

    const IndentStyle style = IndentInUse();
    const std::string unit = style.Unit();
    std::vector<int> change(static_cast<size_t>(lineTo - lineFrom + 1), 0);
    beginUndoAction();
    for (int line = lineFrom; line <= lineTo; ++line) {
        if (IsContinuationLine(line))
            continue; // the middle of a long line
        const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        int& delta = change[static_cast<size_t>(line - lineFrom)];
        if (indent) {
            if (end == start)
                continue; // empty lines get no trailing blanks
            SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(start), unit.c_str());
            delta = static_cast<int>(unit.size());
            continue;
        }
        // One tab, or up to one unit's width of blanks.
        long take = 0;
        if (end > start && SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(start)) == '\t')
            take = 1;
        else
            while (start + take < end && take < style.width &&
                   SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(start + take)) == ' ')
                ++take;
        if (take > 0)
            SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(start), take);
        delta = -static_cast<int>(take);
    }
    endUndoAction();

    // The selection keeps its ends on the text they were on; an end at the start of a
    // line stays there.
    const auto moved = [&](int line, int index) {
        if (index > 0 && line >= lineFrom && line <= lineTo)
            index = std::max(0, index + change[static_cast<size_t>(line - lineFrom)]);
        return static_cast<unsigned long>(positionFromLineIndex(line, index));
    };
    SendScintilla(SCI_SETSEL, moved(anchorLine, anchorIndex), static_cast<long>(moved(caretLine, caretIndex)));
}

void CCodeEditor::InsertIndentAtCaret() {
    if (isReadOnly())
        return;
    const IndentStyle style = IndentInUse();
    std::string add = style.Unit();
    if (!style.tabs) {
        const long column = SendScintilla(SCI_GETCOLUMN, static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS)));
        add.assign(static_cast<size_t>(style.width - column % style.width), ' ');
    }
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(add.size()), add.c_str());
    SendScintilla(SCI_SCROLLCARET);
}

void CCodeEditor::InsertLineBreak() {
    beginUndoAction();
    if (hasSelectedText())
        removeSelectedText();
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const int line = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret)));
    std::string add = "\n";
    // The blanks that start a piece of a long line are not indentation.
    if (!IsContinuationLine(line)) {
        for (long p = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)); p < caret; ++p) {
            const long c = SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(p));
            if (c != ' ' && c != '\t')
                break;
            add += static_cast<char>(c);
        }
    }
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(add.size()), add.c_str());
    endUndoAction();
    SendScintilla(SCI_SCROLLCARET);
}
