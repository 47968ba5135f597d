// The code editor's text: in and out unchanged, positions, the clipboard, edits and
// the display-only breaks of very long lines through undo and redo.
#include "ui/CodeEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <algorithm>

namespace {

// Whether some line of the UTF-8 text is longer than limit bytes.
bool HasLineLongerThan(const QByteArray& text, qsizetype limit) {
    qsizetype run = 0;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            run = 0;
        } else if (++run > limit) {
            return true;
        }
    }
    return false;
}

} // namespace

void CCodeEditor::SetPlainText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const bool longLines = HasLineLongerThan(bytes, kLongLineBytes);
    std::vector<long> breaks;
    const std::string pieces = longLines ? CSoftBreaks::Split(std::string_view(bytes.constData(), bytes.size()),
                                                              kLongLineBytes, kPieceBytes, breaks)
                                         : std::string();
    const char* shown = longLines ? pieces.data() : bytes.constData();
    const size_t shownSize = longLines ? pieces.size() : static_cast<size_t>(bytes.size());

    const bool readOnly = isReadOnly();
    m_settingText = true;
    setReadOnly(false);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    m_soft.Reset(std::move(breaks));
    m_restoreToken = 0;
    // The long-line mode is chosen before the text goes in, so that a long line is
    // never styled.
    SetLongLineMode(longLines);
    // With its length: SCI_SETTEXT would stop at a NUL.
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(shownSize), shown);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
    SendScintilla(SCI_SETXOFFSET, 0UL);
    // The horizontal scroll range grows with the widest line drawn: it starts anew.
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    setReadOnly(readOnly);
    m_settingText = false;
    m_foundIndent = DetectIndentStyle(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    ApplyIndentStyle();
    UpdateLineNumberWidth();
}

void CCodeEditor::InsertPlainText(const QString& text) {
    if (isReadOnly())
        return;
    const QByteArray bytes = text.toUtf8();
    std::vector<long> breaks;
    const std::string shown = HasLineLongerThan(bytes, kLongLineBytes)
                                  ? CSoftBreaks::Split(std::string_view(bytes.constData(), bytes.size()),
                                                       kLongLineBytes, kPieceBytes, breaks)
                                  : bytes.toStdString();
    beginUndoAction();
    removeSelectedText();
    if (!breaks.empty()) {
        const long position = SendScintilla(SCI_GETCURRENTPOS);
        // Redo brings the breaks back: the record comes before the insertion.
        m_restoreToken = m_soft.Remember(
            {CSoftBreaks::Change::Insertion, position, static_cast<long>(shown.size()), std::move(breaks)});
        SendScintilla(SCI_ADDUNDOACTION, static_cast<unsigned long>(m_restoreToken), 0L);
        SetLongLineMode(true);
    }
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(shown.size()), shown.data());
    endUndoAction();
}

QString CCodeEditor::PlainText() const {
    const long length = SendScintilla(SCI_GETLENGTH);
    if (m_soft.Empty())
        return QString::fromUtf8(TextBytes(), static_cast<qsizetype>(length));
    const std::string text = m_soft.Strip(TextBytes(), 0, length);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool CCodeEditor::IsTextModified() const { return SendScintilla(SCI_GETMODIFY) != 0; }

void CCodeEditor::SetTextModified(bool modified) {
    // The editor cannot mark unedited text modified; only the other way round.
    if (!modified)
        SendScintilla(SCI_SETSAVEPOINT);
}

const char* CCodeEditor::TextBytes() const {
    return static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
}

// Positions are counted on the UTF-8 bytes themselves, leaving out display breaks: the
// editor takes a few rare characters (U+FFFE, U+10FFFF...) for invalid bytes and would
// count them apart.
long CCodeEditor::BytePosition(qsizetype character) const {
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto* bytes = reinterpret_cast<const unsigned char*>(TextBytes());
    const std::vector<long>& breaks = m_soft.Positions();
    size_t nextBreak = 0;
    long i = 0;
    qsizetype units = 0;
    while (i < length) {
        if (nextBreak < breaks.size() && breaks[nextBreak] == i) {
            ++nextBreak;
            ++i;
            continue;
        }
        const unsigned char c = bytes[i];
        const int size = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const int width = size == 4 ? 2 : 1; // a surrogate pair
        if (units + width > character)
            break;
        units += width;
        i += size;
    }
    return std::min(i, length);
}

void CCodeEditor::SetCaretCharPosition(qsizetype position) {
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(BytePosition(position)));
}

qsizetype CCodeEditor::CaretCharPosition() const { return CharPosition(SendScintilla(SCI_GETCURRENTPOS)); }

qsizetype CCodeEditor::CharPosition(long byte) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(TextBytes());
    qsizetype units = 0;
    for (long i = 0; i < byte; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            ++units;
        if (bytes[i] >= 0xF0)
            ++units;
    }
    return units - m_soft.CountIn(0, byte);
}

QString CCodeEditor::TextBetween(long start, long end) const {
    const std::string text = m_soft.Strip(TextBytes(), start, end);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool CCodeEditor::IsStreamSelection() const {
    return SendScintilla(SCI_GETSELECTIONS) == 1 && SendScintilla(SCI_GETSELECTIONMODE) == SC_SEL_STREAM;
}

void CCodeEditor::copy() {
    // The editor's own copy turns NUL into blanks: the selection goes over unchanged.
    if (!IsStreamSelection()) {
        QsciScintilla::copy();
        return;
    }
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (end > start)
        QApplication::clipboard()->setText(TextBetween(start, end));
}

int CCodeEditor::CopyAll() {
    const QString text = PlainText();
    QApplication::clipboard()->setText(text);
    return static_cast<int>(text.count(QLatin1Char('\n'))) + (text.isEmpty() || text.endsWith(QLatin1Char('\n')) ? 0 : 1);
}

void CCodeEditor::cut() {
    if (isReadOnly() || !hasSelectedText())
        return;
    copy();
    removeSelectedText();
}

QMimeData* CCodeEditor::toMimeData(const QByteArray& text, bool rectangular) const {
    // A dragged selection, like a copied one, leaves out display breaks and keeps NUL.
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (rectangular || !IsStreamSelection() || end - start != text.size())
        return QsciScintilla::toMimeData(text, rectangular);
    auto* data = new QMimeData;
    data->setText(TextBetween(start, end));
    return data;
}

void CCodeEditor::OnModified(int position, int type, const char* text, int length, int linesAdded, int token) {
    if (m_settingText)
        return;
    if (type & SC_MOD_CONTAINER) {
        // Undo of a removal, or redo of an insertion, that carried display breaks: the
        // insertion that follows gets them back.
        const CSoftBreaks::Record* record = m_soft.Recall(token);
        if (record && (record->change == CSoftBreaks::Change::Removal ? (type & SC_PERFORMED_UNDO)
                                                                      : (type & SC_PERFORMED_REDO)))
            m_restoreToken = token;
        return;
    }
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    const long at = position;
    if (type & SC_MOD_INSERTTEXT) {
        m_soft.Inserted(at, length);
        if (const CSoftBreaks::Record* record = m_soft.Recall(m_restoreToken))
            if (record->position == at && record->length == length)
                m_soft.Restore(at, record->offsets);
        m_restoreToken = 0;
        if (!m_longLines && text) {
            // Typing or pasting may make a line too long: the lines the insertion touched.
            const int first = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(at)));
            if (HasLongLine(first, first + std::max(linesAdded, 0)))
                QueueLongLineReview();
        } else if (m_longLines && linesAdded > 0 && m_soft.Empty()) {
            QueueLongLineReview(); // a line end may have split the long line
        }
    } else {
        std::vector<long> offsets = m_soft.Removed(at, length);
        if (!offsets.empty() && !(type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO))) {
            // Undo puts the removed text back: the record follows the removal.
            const int record = m_soft.Remember({CSoftBreaks::Change::Removal, at, length, std::move(offsets)});
            SendScintilla(SCI_ADDUNDOACTION, static_cast<unsigned long>(record), static_cast<long>(UNDO_MAY_COALESCE));
        }
        // Undo or a deletion may take the long line away; joining lines may make one.
        if (m_longLines || linesAdded < 0)
            QueueLongLineReview();
    }
    // The line numbers were sized before the breaks above were counted.
    if (linesAdded != 0)
        UpdateLineNumberWidth();
    emit TextEdited();
}

void CCodeEditor::QueueLongLineReview() {
    if (m_reviewQueued)
        return;
    m_reviewQueued = true;
    // Not from within the change notification: the editor is still changing.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_reviewQueued = false;
            const bool wanted = !m_soft.Empty() || HasLongLine();
            if (wanted == m_longLines)
                return;
            SetLongLineMode(wanted);
            if (!wanted)
                SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
        },
        Qt::QueuedConnection);
}

bool CCodeEditor::HasLongLine(int firstLine, int lastLine) const {
    const int lines = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    if (lastLine < 0 || lastLine >= lines)
        lastLine = lines - 1;
    for (int line = std::max(firstLine, 0); line <= lastLine; ++line)
        if (SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line)) > kLongLineBytes)
            return true;
    return false;
}

bool CCodeEditor::IsContinuationLine(int line) const {
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return start > 0 && m_soft.IsBreak(start - 1);
}
