// Saving the library: every changed category's file rewritten from the samples that name
// it, every category's settings recorded; closing.
#include "library/QuorrinDoc.h"

bool CQuorrinDoc::OnSaveDocument() {
    if (IsReadOnly())
        return false;
    CommitPendingEdit();

    bool ok = true;
    m_settings.BeginLibrarySave();
    for (auto& [name, categoryPtr] : m_categories) {
        CCategory& category = *categoryPtr;
        // After a file that cannot be opened, later categories are not written and keep
        // their changed marks, so the next save tries again. The last save, when the
        // document closes, has no next one: it writes every category it can.
        if ((ok || m_closing) && category.IsChanged()) {
            if (!category.OpenFile()) {
                ok = false;
            } else {
                category.EmptyFile();
                // The category's samples in title order. Only a refused sample shows a
                // message here; that save has failed already, and the library may have
                // changed under the message (queued work runs): the walk stops at once.
                const std::uint64_t version = m_samples.Version();
                for (const CSample* sample : SamplesOfCategory(name)) {
                    if (!category.WriteSample(*sample) || version != m_samples.Version())
                        break;
                }
                // The old file is replaced only when every byte was written; otherwise
                // the category stays changed.
                if (category.CloseFile())
                    category.SetChanged(false);
            }
        }
        // Every category is recorded, also after a failed open: the stored configuration
        // is rebuilt by each save and would otherwise lose the categories left out.
        m_settings.RecordCategory(category);
    }
    m_settings.EndLibrarySave();
    if (!ok)
        return false;
    if (!m_closing && m_view)
        m_view->OnDocumentSaved();
    return true;
}

void CQuorrinDoc::OnCloseDocument() {
    if (m_view)
        m_view->OnDocumentClosing();
}

bool CQuorrinDoc::CanSave() const {
    if (IsReadOnly())
        return false;
    for (const auto& [name, category] : m_categories) {
        if (category->IsChanged())
            return true;
    }
    return false;
}
