#include "ui/CodeEditor.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>

#include <algorithm>

#include "ui/CodeLexers.h"
#include "ui/EditorFindBar.h"

namespace {

QColor Mix(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - share) + b.redF() * share),
                            static_cast<float>(a.greenF() * (1 - share) + b.greenF() * share),
                            static_cast<float>(a.blueF() * (1 - share) + b.blueF() * share));
}

// A key the window may use as a command's shortcut: Ctrl with a letter, except the
// editing keys everyone expects of a text field.
bool IsWindowKey(int key) {
    const int ctrl = static_cast<int>(Qt::CTRL);
    const int alt = static_cast<int>(Qt::ALT);
    if (!(key & ctrl) || (key & alt))
        return false;
    const int bare = key & ~static_cast<int>(Qt::KeyboardModifierMask);
    if (bare < Qt::Key_A || bare > Qt::Key_Z)
        return false;
    return bare != Qt::Key_A && bare != Qt::Key_C && bare != Qt::Key_V && bare != Qt::Key_X &&
           bare != Qt::Key_Y && bare != Qt::Key_Z;
}

} // namespace

CCodeEditor::CCodeEditor(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    // The text keeps the line ends it was given; typed and pasted ones are "\n".
    setEolMode(EolUnix);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1UL);
    setWrapMode(WrapNone);
    // Enter, Tab and Shift+Tab keep to the text's own indentation (CodeEditorIndent).
    setAutoIndent(false);
    ApplyIndentStyle();
    setBraceMatching(SloppyBraceMatch);
    setCaretLineVisible(true);
    // The current line stays marked while the focus is elsewhere in the window.
    SendScintilla(SCI_SETCARETLINEVISIBLEALWAYS, 1UL);
    setFolding(NoFoldStyle);
    setMarginLineNumbers(0, true);
    setMarginWidth(1, 0);
    // Only the lines on the screen are laid out and kept; the horizontal scroll range
    // follows the widest line shown.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);

    UnbindWindowKeys();
    m_findBar = new CEditorFindBar(this);
    m_findBar->hide();
    connect(m_findBar, &CEditorFindBar::FindRequested, this, [this](bool forward, bool incremental) {
        Find(forward, incremental);
    });
    connect(m_findBar, &CEditorFindBar::CloseRequested, this, &CCodeEditor::CloseFindBar);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int linesAdded, int, int, int, int token,
                   int) { OnModified(position, type, text, length, linesAdded, token); });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, &CCodeEditor::OnZoom);
    connect(this, &QsciScintilla::linesChanged, this, &CCodeEditor::UpdateLineNumberWidth);

    ApplyPalette();
    ApplyLexer();
}

CCodeEditor::~CCodeEditor() = default;
// --- Look ---

void CCodeEditor::SetLanguage(SampleLanguage language) {
    if (language == m_language && (m_lexer || language == SampleLanguage::Plain))
        return;
    m_language = language;
    QsciLexer* old = m_lexer;
    m_lexer = MakeLexer(language, this);
    ApplyLexer();
    delete old;
}

void CCodeEditor::SetLongLineMode(bool on) {
    if (on == m_longLines)
        return;
    m_longLines = on;
    ApplyLexer();
}

void CCodeEditor::ApplyLexer() {
    QPalette p = palette();
    p.setCurrentColorGroup(isEnabled() ? QPalette::Active : QPalette::Disabled);
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QsciLexer* wanted = m_longLines ? nullptr : m_lexer;
    if (wanted)
        StyleLexer(*wanted, font, p);
    if (lexer() != wanted)
        setLexer(wanted);
    if (!wanted) {
        // Plain text: the default style only.
        QsciScintilla::setFont(font);
        setColor(p.color(QPalette::Text));
        setPaper(p.color(QPalette::Base));
    }
    setBraceMatching(m_longLines ? NoBraceMatch : SloppyBraceMatch);
    setMarginsFont(font);
    setMarginsBackgroundColor(Mix(p.color(QPalette::Base), p.color(QPalette::Window), 0.6));
    setMarginsForegroundColor(Mix(p.color(QPalette::Text), p.color(QPalette::Base), 0.45));
    UpdateLineNumberWidth();
}

void CCodeEditor::ApplyPalette() {
    QPalette p = palette();
    p.setCurrentColorGroup(isEnabled() ? QPalette::Active : QPalette::Disabled);
    const QColor base = p.color(QPalette::Base);
    const QColor text = p.color(QPalette::Text);
    const QColor highlight = p.color(QPalette::Highlight);
    setCaretForegroundColor(text);
    setCaretLineBackgroundColor(Mix(base, highlight, 0.15));
    setSelectionBackgroundColor(highlight);
    setSelectionForegroundColor(p.color(QPalette::HighlightedText));
    setMatchedBraceBackgroundColor(Mix(base, highlight, 0.35));
    setMatchedBraceForegroundColor(text);
    setUnmatchedBraceForegroundColor(QColor(0xd0, 0x20, 0x20));
    setWhitespaceForegroundColor(Mix(text, base, 0.6));
    setIndentationGuidesForegroundColor(Mix(text, base, 0.8));
}

void CCodeEditor::changeEvent(QEvent* e) {
    QsciScintilla::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::EnabledChange) {
        ApplyPalette();
        ApplyLexer();
        setCaretLineVisible(isEnabled());
    }
}

void CCodeEditor::UpdateLineNumberWidth() {
    // Numbers would count the pieces of a long line, not its lines.
    if (!m_soft.Empty()) {
        setMarginWidth(0, 0);
        return;
    }
    int digits = 1;
    for (long n = SendScintilla(SCI_GETLINECOUNT); n >= 10; n /= 10)
        ++digits;
    // Room for one digit more than needed, and at least three.
    setMarginWidth(0, QString(std::max(digits + 1, 3), QLatin1Char('9')));
}

void CCodeEditor::SetWhitespaceShown(bool shown) { setWhitespaceVisibility(shown ? WsVisible : WsInvisible); }

bool CCodeEditor::IsWhitespaceShown() const { return whitespaceVisibility() != WsInvisible; }

int CCodeEditor::ZoomLevel() const { return static_cast<int>(SendScintilla(SCI_GETZOOM)); }

void CCodeEditor::SetZoomLevel(int level) { zoomTo(level); }

void CCodeEditor::OnZoom() {
    const int level = ZoomLevel();
    if (level == m_zoom)
        return;
    m_zoom = level;
    UpdateLineNumberWidth();
    emit ZoomChanged(level);
}

// --- Keys ---

void CCodeEditor::UnbindWindowKeys() {
    for (QsciCommand* command : standardCommands()->commands()) {
        if (IsWindowKey(command->key()))
            command->setKey(0);
        if (IsWindowKey(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

namespace {

// The keys the editor handles itself, before any shortcut of the window.
bool IsEditorKey(const QKeyEvent* e, bool findBarShown) {
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & (Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    if (alt)
        return false;
    if (ctrl)
        return key == Qt::Key_F || key == Qt::Key_Plus || key == Qt::Key_Equal || key == Qt::Key_Minus ||
               key == Qt::Key_0 || key == Qt::Key_Tab || key == Qt::Key_Backtab;
    return key == Qt::Key_F3 || (key == Qt::Key_Escape && findBarShown);
}

} // namespace

bool CCodeEditor::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && IsEditorKey(static_cast<QKeyEvent*>(e), m_findBar->isVisible())) {
        e->accept();
        return true;
    }
    return QsciScintilla::event(e);
}

void CCodeEditor::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool alt = mods & (Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    if (!alt && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        const bool back = key == Qt::Key_Backtab || shift;
        if (ctrl)
            QWidget::focusNextPrevChild(!back); // Ctrl+Tab leaves the editor
        else if (back)
            ShiftLines(false);
        else if (hasSelectedText())
            ShiftLines(true);
        else
            InsertIndentAtCaret();
        e->accept();
        return;
    }
    if (!alt && !ctrl && (key == Qt::Key_Return || key == Qt::Key_Enter) && !isReadOnly()) {
        InsertLineBreak();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut)) {
        if (e->matches(QKeySequence::Copy))
            copy();
        else
            cut();
        e->accept();
        return;
    }
    if (!alt && IsEditorKey(e, m_findBar->isVisible())) {
        if (key == Qt::Key_F)
            OpenFindBar();
        else if (key == Qt::Key_F3)
            FindAgain(!shift);
        else if (key == Qt::Key_Escape)
            CloseFindBar();
        else if (key == Qt::Key_Plus || key == Qt::Key_Equal)
            zoomIn();
        else if (key == Qt::Key_Minus)
            zoomOut();
        else if (key == Qt::Key_0)
            zoomTo(0);
        e->accept();
        return;
    }
    QsciScintilla::keyPressEvent(e);
}
