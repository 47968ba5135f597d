// Saving the library: every changed category's file rewritten from the samples that name
// it, every category's settings recorded; closing.
#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "library/CategoryWriter.h"
#include "library/QuorrinDoc.h"

bool CQuorrinDoc::OnSaveDocument() {
    if (IsReadOnly())
        return false;
    CommitPendingEdit();

    // Another writer (tindrel-cli add) is waited for a few seconds; the files are then
    // checked and replaced without anyone writing in between.
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if ((CanSave() || m_settings.NeedsWrite()) && !lock.Acquire(FolderPath(), kWriteLockWaitMs, cause)) {
        m_messages.Tell("The library folder is being written by another program.\n"
                    "Nothing has been saved; please save again in a moment.", MsgIcon::Exclamation);
        return false;
    }
    bool ok = true;
    // The structure file another program changed since it was read is merged first.
    if (lock.Held())
        TakeStructureChanges();
    m_settings.BeginLibrarySave();
    // A second round writes the files that records have left because the first round
    // put those samples into their own categories' files.
    for (int round = 0; round < 2; ++round) {
        bool moved = false;
        for (auto& [name, categoryPtr] : m_categories) {
            CCategory& category = *categoryPtr;
            // After a file that cannot be opened, later categories are not written and
            // keep their changed marks, so the next save tries again. The last save, when
            // the document closes, has no next one: it writes every category it can.
            if ((ok || m_closing) && category.IsChanged()) {
                const SaveResult result = SaveCategory(category);
                if (result == SaveResult::NotOpened)
                    ok = false;
                else if (result == SaveResult::Written)
                    moved = CompleteMovesInto(name) || moved;
            }
            // Every category is recorded, also after a failed open: the stored
            // configuration is rebuilt by each save and would otherwise lose the
            // categories left out.
            if (round == 0)
                m_settings.RecordCategory(category);
        }
        if (!moved)
            break;
    }
    // Custom categories left out at load keep their settings.
    for (const auto& category : m_skipped)
        m_settings.RecordCategory(*category);
    m_settings.EndLibrarySave();
    if (lock.Held() && !m_settings.Write(m_messages))
        ok = false;
    if (lock.Held() && ok)
        SetMergedCopiesAside();
    TellOutsideChanges();
    if (!ok)
        return false;
    if (!m_closing && m_view)
        m_view->OnDocumentSaved();
    return true;
}

CQuorrinDoc::SaveResult CQuorrinDoc::SaveCategory(CCategory& category) {
    if (!category.OpenFile())
        return SaveResult::NotOpened;
    // Changed by someone else since we read or wrote it: their changes are merged first.
    const MergeCounts merged = ChangedOnDisk(category) ? MergeFromFile(category) : MergeCounts();
    if (!merged.Empty())
        m_outsideChanges.push_back({category.GetName(), DescribeMerge(category, merged)});
    KeepMovesUntilWritten(category);
    category.EmptyFile();
    // The category's samples in title order. Only a refused sample shows a message here;
    // that save has failed already, and the library may have changed under the message
    // (queued work runs): the walk stops at once.
    const std::uint64_t version = m_samples.Version();
    for (const CSample* sample : SamplesOfCategory(category.GetName())) {
        if (!category.WriteSample(*sample) || version != m_samples.Version())
            break;
    }
    // Then the records the file keeps although the library does not hold them here.
    for (const CKeptRecords::Record& record : m_kept.Of(category.GetName()))
        category.WriteRecordBytes(record.bytes);
    // Last, the part of the file that could not be read, exactly as it was.
    if (const std::string& unreadable = m_kept.Unreadable(category.GetName()); !unreadable.empty())
        category.WriteRecordBytes(unreadable, true);
    // The old file is replaced only when every byte was written; otherwise the category
    // stays changed.
    if (!category.CloseFile())
        return SaveResult::NotWritten;
    category.SetChanged(false);
    m_pendingChanges.Synced(category.GetName());
    return SaveResult::Written;
}

void CQuorrinDoc::KeepMovesUntilWritten(const CCategory& category) {
    const std::string& name = category.GetName();
    for (const std::string& title : m_pendingChanges.Titles(name)) {
        const std::optional<CSample>* asInFile = m_pendingChanges.Find(name, title);
        const CSample* sample = m_samples.Find(title);
        if (!asInFile || !asInFile->has_value() || !sample || sample->GetCategory() == name ||
            m_kept.IsWaitedFor(title))
            continue;
        // Moved to a category whose file has not been written since: the record stays
        // here until it has (a crash in between leaves it in both files, never in none).
        const CCategory* destination = PeekCategory(sample->GetCategory());
        if (!destination || !destination->IsChanged())
            continue;
        std::string bytes;
        if (AppendSampleBytes(bytes, **asInFile))
            m_kept.Keep(name, std::move(bytes), title);
    }
}

bool CQuorrinDoc::CompleteMovesInto(const std::string& name) {
    std::vector<std::string> arrived;
    for (const std::string& title : m_kept.WaitingTitles()) {
        const CSample* sample = m_samples.Find(title);
        if (sample && sample->GetCategory() == name)
            arrived.push_back(title);
    }
    bool any = false;
    for (const std::string& source : m_kept.CompleteMoves(arrived)) {
        MarkCategoryChanged(source);
        any = true;
    }
    return any;
}

bool CQuorrinDoc::SaveAtClose() {
    m_closing = true;
    OnSaveDocument();
    m_closing = false;
    return !CanSave();
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
