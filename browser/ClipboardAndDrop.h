// Text into and out of the library besides the wizard: the Edit menu's Cut, Copy and
// Paste on the form's focused edit, Copy sample to clipboard, and text dropped on the
// view from other programs, which replaces the selected sample's text or starts the
// Add Sample wizard. Plain text keeps its bytes up to the first zero byte; line ends
// become the library's CR LF. Files and images dragged over the view show the copy
// cursor and are not taken.
#pragma once

#include "ui/PasteRule.h"

#include <QObject>
#include <functional>
#include <string>

class CSampleForm;
class CSampleTree;
class CTreeEditCommands;
class QMimeData;
class QWidget;
struct ViewContext;

class CClipboardAndDrop : public QObject {
    Q_OBJECT
public:
    CClipboardAndDrop(ViewContext& context, CSampleTree& tree, CSampleForm& form, CTreeEditCommands& edits,
                      QObject* parent);

    // The view becomes the drop target, and the form's own paste follows the Paste rule.
    void RegisterDropTarget();

    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnCopySampleToClipboard();
    // Text dropped on the view; false when the user cancelled (the drop is refused).
    bool OnDropData(const QMimeData* data);

signals:
    // Something that command enable states depend on has changed.
    void StateChanged();
    // What a command did, for the status bar.
    void StatusText(const QString& text);

private:
    void ReplaceSampleText(const std::string& title, const std::string& text);

    ViewContext& m_context;
    CSampleTree& m_tree;
    CSampleForm& m_form;
    CTreeEditCommands& m_edits;
};

// What a drag offers.
enum class DropKind {
    Text,  // plain text
    Other, // files, images or anything else: shown with the copy cursor, not taken
};
DropKind ClassifyDrop(const QMimeData* data);

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
