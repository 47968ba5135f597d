// The code editor's find: the find bar's requests, searched in the editor's text.
#include "ui/CodeEditor.h"

#include <QApplication>

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
