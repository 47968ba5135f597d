#include "browser/TrashCommands.h"

#include <QWidget>
#include <algorithm>

#include "browser/SampleForm.h"
#include "browser/SampleTree.h"
#include "browser/ViewContext.h"
#include "base/TextRules.h"
#include "library/QuorrinDoc.h"
#include "library/Trash.h"
#include "tools/TrashDlg.h"
#include "ui/TextCodec.h"

CTrashCommands::CTrashCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form, QObject* parent)
    : QObject(parent), m_context(context), m_tree(tree), m_form(form) {
    setObjectName(QStringLiteral("trashCommands"));
}

void CTrashCommands::Remember(int tag, const std::string& category, const std::string& subcategory) {
    if (!m_context.doc || m_context.doc->LastTrashedId() == 0)
        return;
    m_undo.push_back(Undoable{m_context.doc->LastTrashedId(), tag, category, subcategory});
    emit StateChanged();
}

bool CTrashCommands::CanUndoDelete() const {
    return m_context.doc && !m_context.readOnly && !m_undo.empty();
}

bool CTrashCommands::CommitForm() {
    return m_context.doc && !m_context.readOnly && m_form.CommitEdits();
}

void CTrashCommands::ForgetGone() {
    std::vector<trash::Deletion> held;
    std::string problem;
    if (!m_context.doc || (!m_context.doc->ListTrash(held, problem) && held.empty()))
        return;
    m_undo.erase(std::remove_if(m_undo.begin(), m_undo.end(),
                                [&](const Undoable& undo) {
                                    return std::none_of(held.begin(), held.end(), [&](const trash::Deletion& d) {
                                        return d.id == undo.id;
                                    });
                                }),
                 m_undo.end());
}

void CTrashCommands::OnUndoDelete() {
    if (!CanUndoDelete() || !CommitForm())
        return;
    const Undoable undo = m_undo.back();
    std::vector<std::string> titles;
    const bool restored = m_context.doc->RestoreFromTrash(undo.id, &titles);
    if (restored)
        m_undo.pop_back();
    else
        ForgetGone(); // the document has said why; what is still there can be tried again
    if (restored || !titles.empty()) {
        // The other branches stay as the user left them; what came back is selected.
        m_tree.RebuildTree(undo.tag == kTagSample && !titles.empty() ? titles.front() : std::string(), true);
        if (undo.tag == kTagCategory)
            m_tree.SelectCategoryItem(undo.category);
        else if (undo.tag == kTagSubcategory)
            m_tree.SelectSubcategoryItem(undo.category, undo.subcategory);
    }
    if (restored) {
        QString what;
        if (undo.tag == kTagCategory)
            what = QStringLiteral("the category \"%1\"").arg(DecodeName(undo.category));
        else if (undo.tag == kTagSubcategory)
            what = QStringLiteral("the sub-category \"%1\"").arg(DecodeName(undo.subcategory));
        else
            what = QStringLiteral("the sample \"%1\"").arg(titles.empty() ? QString() : DecodeName(titles.front()));
        emit StatusText(QStringLiteral("Restored ") + what);
    }
    emit StateChanged();
}

void CTrashCommands::OnTrash() {
    if (!m_context.doc || (!m_context.readOnly && !m_form.CommitEdits()))
        return;
    CTrashDlg dlg(*m_context.doc, m_context.view->window());
    dlg.exec();
    if (!dlg.m_restoredIds.empty()) {
        m_tree.RebuildTree(dlg.m_restoredTitles.empty() ? std::string() : dlg.m_restoredTitles.back(), true);
        const size_t n = dlg.m_restoredTitles.size();
        emit StatusText(QString::fromStdString("Restored " + CountOf(n, "sample", "samples")));
    }
    ForgetGone();
    emit StateChanged();
}
