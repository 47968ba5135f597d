// Text from the clipboard or a drop as the library takes it, and pasting by that rule:
// the text is cut at the first zero byte, gets CR LF line ends, and a single-line field
// takes only its first line.
#pragma once

#include <QObject>
#include <string>

class QMimeData;
class QWidget;

// The plain text's bytes as offered (raw when the data carries them, else UTF-8),
// without any line-end change. Empty when there is no text.
std::string RawTextBytes(const QMimeData* data);
// Cuts at the first zero byte and turns every LF that has no CR before it into CR LF.
std::string LibraryTextFromBytes(std::string bytes);

// Paste into an edit field from the clipboard by the same rule: the text is cut at the
// first zero byte, and a single-line field takes only the first line (as a single-line
// edit does). True when something was inserted.
bool PasteInto(QWidget* edit);

// Routes the edit fields' own paste key and context-menu Paste through PasteInto.
class CPasteFilter : public QObject {
    Q_OBJECT
public:
    explicit CPasteFilter(QObject* parent = nullptr) : QObject(parent) {}
    // Watches edit (a QLineEdit or QPlainTextEdit).
    void Watch(QWidget* edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
