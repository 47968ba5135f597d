// CTrashCommands: the window's side of the library's trash. It remembers the deletions
// made from the tree in this window, so that Edit > Undo Delete brings the last one back
// and shows it selected, and runs the Trash dialog.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class CSampleForm;
class CSampleTree;
struct ViewContext;

class CTrashCommands : public QObject {
    Q_OBJECT
public:
    CTrashCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form, QObject* parent);

    // The document has just written a deletion of this tree level (category, sub-category
    // or sample) to the trash; the category and sub-category it was in, or was.
    void Remember(int tag, const std::string& category, const std::string& subcategory);
    bool CanUndoDelete() const;
    void OnUndoDelete();
    void OnTrash();

signals:
    void StateChanged();
    void StatusText(const QString& text);

private:
    struct Undoable {
        std::int64_t id = 0;
        int tag = 0;
        std::string category;
        std::string subcategory;
    };
    // Unsaved edits in the form are kept before the tree changes.
    bool CommitForm();
    // Forgets the remembered deletions that are no longer in the trash.
    void ForgetGone();

    ViewContext& m_context;
    CSampleTree& m_tree;
    CSampleForm& m_form;
    std::vector<Undoable> m_undo; // the last at the back
};
