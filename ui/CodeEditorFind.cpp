// The code editor's find: the find bar's requests, searched in the editor's text.
#include "ui/CodeEditor.h"

#include <QApplication>
#include <algorithm>

#include "ui/EditorFindBar.h"

void CCodeEditor::OpenFindBar() {
    const QString selected = selectedText();
    const bool oneLine = !selected.isEmpty() && selected.size() <= 200 && !selected.contains(QLatin1Char('\n')) &&
                         !selected.contains(QLatin1Char('\r'));
    m_findBar->Open(oneLine ? selected : QString());
    PlaceFindBar();
}

void CCodeEditor::CloseFindBar() {
    const bool hadFocus = m_findBar->isAncestorOf(QApplication::focusWidget());
    m_findBar->hide();
    PlaceFindBar();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

bool CCodeEditor::FindAgain(bool forward) {
    if (m_findBar->Text().isEmpty() && GoToMark(forward))
        return true;
    if (m_findBar->Text().isEmpty()) {
        OpenFindBar();
        return false;
    }
    return Find(forward, false);
}

bool CCodeEditor::Find(bool forward, bool incremental) {
    const QByteArray needle = m_findBar->Text().toUtf8();
    if (needle.isEmpty()) {
        m_findBar->ShowResult(true);
        return false;
    }
    const long length = SendScintilla(SCI_GETLENGTH);
    const long selStart = SendScintilla(SCI_GETSELECTIONSTART);
    const long selEnd = SendScintilla(SCI_GETSELECTIONEND);
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(m_findBar->MatchCase() ? SCFIND_MATCHCASE : 0));
    // A target from start to end searches backwards when start is the larger.
    auto search = [&](long start, long end) {
        SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
        SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(end));
        return SendScintilla(SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
    };
    long found = -1;
    if (forward) {
        // While typing, the match shown may grow: search from its start.
        found = search(incremental ? selStart : selEnd, length);
        if (found < 0)
            found = search(0, length);
    } else {
        found = search(selStart, 0);
        if (found < 0)
            found = search(length, 0);
    }
    if (found >= 0) {
        const long end = SendScintilla(SCI_GETTARGETEND);
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(found), end);
    }
    m_findBar->ShowResult(found >= 0);
    return found >= 0;
}

bool CCodeEditor::MarkWords(const QStringList& words) {
    if (m_markIndicator < 0) {
        m_markIndicator = indicatorDefine(StraightBoxIndicator);
        setIndicatorForegroundColor(palette().color(QPalette::Highlight), m_markIndicator);
        SendScintilla(SCI_INDICSETALPHA, static_cast<unsigned long>(m_markIndicator), 90L);
        SendScintilla(SCI_INDICSETUNDER, static_cast<unsigned long>(m_markIndicator), 1L);
    }
    const long length = SendScintilla(SCI_GETLENGTH);
    SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(m_markIndicator));
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, length);
    long first = -1;
    long firstEnd = -1;
    SendScintilla(SCI_SETSEARCHFLAGS, 0UL);
    for (const QString& word : words) {
        const QByteArray needle = word.toUtf8();
        if (needle.isEmpty())
            continue;
        for (long from = 0; from < length;) {
            SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(from));
            SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(length));
            const long found =
                SendScintilla(SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
            if (found < 0)
                break;
            const long end = SendScintilla(SCI_GETTARGETEND);
            SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(found), end - found);
            if (first < 0 || found < first) {
                first = found;
                firstEnd = end;
            }
            from = std::max(end, found + 1);
        }
    }
    if (first < 0)
        return false;
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(first), firstEnd);
    return true;
}

std::vector<std::pair<long, long>> CCodeEditor::MarkBytes() const {
    std::vector<std::pair<long, long>> marks;
    if (m_markIndicator < 0)
        return marks;
    const auto indicator = static_cast<unsigned long>(m_markIndicator);
    const long length = SendScintilla(SCI_GETLENGTH);
    for (long at = 0; at < length;) {
        const long end = SendScintilla(SCI_INDICATOREND, indicator, at);
        if (SendScintilla(SCI_INDICATORVALUEAT, indicator, at) != 0)
            marks.emplace_back(at, end);
        if (end <= at)
            break;
        at = end;
    }
    return marks;
}

std::vector<std::pair<qsizetype, qsizetype>> CCodeEditor::MarkedRuns() const {
    std::vector<std::pair<qsizetype, qsizetype>> runs;
    for (const auto& [from, to] : MarkBytes()) {
        const qsizetype start = CharPosition(from);
        runs.emplace_back(start, CharPosition(to) - start);
    }
    return runs;
}

bool CCodeEditor::GoToMark(bool forward) {
    const std::vector<std::pair<long, long>> marks = MarkBytes();
    if (marks.empty())
        return false;
    const long selStart = SendScintilla(SCI_GETSELECTIONSTART);
    std::pair<long, long> target = forward ? marks.front() : marks.back();
    if (forward) {
        for (const auto& mark : marks)
            if (mark.first > selStart) {
                target = mark;
                break;
            }
    } else {
        for (auto it = marks.rbegin(); it != marks.rend(); ++it)
            if (it->first < selStart) {
                target = *it;
                break;
            }
    }
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(target.first), target.second);
    return true;
}

void CCodeEditor::PlaceFindBar() {
    if (!m_findBar->isVisible()) {
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    const int height = m_findBar->sizeHint().height();
    setViewportMargins(0, 0, 0, height);
    const QRect area = viewport()->geometry();
    m_findBar->setGeometry(area.left(), area.bottom() + 1, area.width(), height);
}

void CCodeEditor::resizeEvent(QResizeEvent* e) {
    QsciScintilla::resizeEvent(e);
    if (m_findBar && m_findBar->isVisible())
        PlaceFindBar();
}
