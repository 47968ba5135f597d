// Text coming into the window from other programs: dropped on the view or pasted into
// an edit field. Plain text keeps its bytes up to the first zero byte; line ends become
// the library's CR LF. Files and images dragged over the view show the copy cursor and
// are not taken.
#pragma once

#include <QDialog>
#include <QObject>
#include <functional>
#include <string>

class QLabel;
class QMimeData;
class QPushButton;
class QWidget;

// CTextDroppedDlg: asks what to do with text dropped on a sample.
class CTextDroppedDlg : public QDialog {
    Q_OBJECT
public:
    // Results: Replace is the dialog's OK, Cancel its Cancel, Create new its own.
    static constexpr int kReplace = QDialog::Accepted;
    static constexpr int kCancel = QDialog::Rejected;
    static constexpr int kCreateNew = 2;

    explicit CTextDroppedDlg(QWidget* parent = nullptr);

    static constexpr const char* kCaption = "Text Dropped Into Sample";
};

// What a drag offers.
enum class DropKind {
    Text,  // plain text
    Other, // files, images or anything else: shown with the copy cursor, not taken
};
DropKind ClassifyDrop(const QMimeData* data);

// The plain text's bytes as offered (raw when the data carries them, else UTF-8),
// without any line-end change. Empty when there is no text.
std::string RawTextBytes(const QMimeData* data);
// Cuts at the first zero byte and turns every LF that has no CR before it into CR LF.
std::string LibraryTextFromBytes(std::string bytes);

// Watches a widget for drags and drops: every drag is answered with the copy action;
// a drop is handed to the callback, whose answer says whether the drop was taken.
class CDropTarget : public QObject {
    Q_OBJECT
public:
    using DropCallback = std::function<bool(const QMimeData* data)>;
    // Registers target: it accepts drops, its child widgets hand theirs to it.
    CDropTarget(QWidget* target, DropCallback onDrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_target;
    DropCallback m_onDrop;
};

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
