// Sync tools' conflict copies of the library's files: each is merged by record into the
// file it copies (a sample only in the copy is added, one different in both is kept
// twice, the copy's version as a load error to correct), and set aside into the merged
// copies' folder only after the library's files that took its samples have been written.
// A copy that cannot be read to its end is left where it is.
#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "library/CategoryReader.h"
#include "library/ConflictCopy.h"
#include "library/QuorrinDoc.h"
#include "library/RecordMerge.h"

namespace {

bool ReadWhole(const std::string& path, std::string& bytes) {
    fileio::File file;
    int cause = fileio::kNone;
    return file.OpenForRead(path, cause) && file.ReadAll(bytes, cause);
}

} // namespace

void CQuorrinDoc::MergeStructureCopies() {
    for (const std::string& fileName : fileio::FileNamesIn(m_folder)) {
        if (ConflictCopyOriginal(fileName) != kStructureFileName)
            continue;
        std::string bytes;
        LibraryStructure theirs;
        if (!ReadWhole(fileio::PathIn(m_folder, fileName), bytes) || !ParseStructure(bytes, theirs).whole) {
            m_messages.Tell("The file " + fileName + " in the library folder, a sync tool's copy of " +
                                kStructureFileName + ", could not be read whole.\nIt is not merged and not changed.",
                            MsgIcon::Exclamation);
            continue;
        }
        if (IsReadOnly()) {
            m_messages.Tell("The file " + fileName + " in the library folder is a sync tool's copy of " +
                                kStructureFileName + ".\nIts categories are merged when the library is next opened "
                                                     "in the window.",
                            MsgIcon::Information);
            continue;
        }
        m_settings.MergeCopy(theirs);
        m_conflictCopies.push_back({fileName, {}, true});
    }
}

void CQuorrinDoc::MergeConflictCopies(bool whileOpen) {
    for (const std::string& fileName : fileio::FileNamesIn(m_folder)) {
        const std::string original = ConflictCopyOriginal(fileName);
        bool merged = false;
        for (const ConflictCopy& copy : m_conflictCopies)
            merged = merged || copy.fileName == fileName;
        if (original.empty() || original == kStructureFileName || merged)
            continue;
        CCategory* home = nullptr;
        for (auto& [name, category] : m_categories)
            if (category->GetFileName() == original)
                home = category.get();
        std::string bytes;
        std::vector<std::unique_ptr<CSample>> records;
        std::vector<RecordSpan> spans;
        if (!home || !ReadWhole(fileio::PathIn(m_folder, fileName), bytes) ||
            ParseSamples(bytes, records, &spans) != nullptr) {
            m_messages.Tell("The file " + fileName + " in the library folder is a sync tool's copy of " + original +
                                (home ? ", but it could not be read to its end"
                                      : ", which is not one of the library's category files") +
                                ".\nIt is not merged and not changed.",
                            MsgIcon::Exclamation);
            continue;
        }
        const std::string& homeName = home->GetName();
        ConflictCopy copy{fileName, {homeName}, false};
        size_t added = 0, twice = 0, same = 0;
        for (size_t k = 0; k < records.size() && k < spans.size(); ++k) {
            std::unique_ptr<CSample>& record = records[k];
            std::string recordBytes = bytes.substr(spans[k].begin, spans[k].end - spans[k].begin);
            const CSample* mine = m_samples.Find(record->GetTitle());
            bool keptAlready = false;
            for (const CKeptRecords::Record& kept : m_kept.Of(homeName))
                keptAlready = keptAlready || kept.bytes == recordBytes;
            if ((mine && recordmerge::SameFields(*mine, *record)) || keptAlready) {
                ++same;
                continue;
            }
            if (!mine && HasPlace(*record)) {
                ++added;
                if (IsReadOnly())
                    continue;
                if (auto it = m_categories.find(record->GetCategory()); it != m_categories.end()) {
                    it->second->SetChanged(true);
                    copy.categories.insert(it->first);
                }
                m_samples.Insert(std::move(record));
                continue;
            }
            // Different here, or without a place in the tree: kept in the file as a load
            // error the user corrects.
            ++twice;
            if (IsReadOnly())
                continue;
            record->SetLoadErrorReason(mine ? kReasonDuplicate : kReasonNoParent);
            m_loadErrors.Add(*record, m_kept.Keep(homeName, std::move(recordBytes)));
        }
        std::string text = "The file " + fileName + " in the library folder is a sync tool's copy of " + original +
                           " (category \"" + homeName + "\").\n";
        if (IsReadOnly()) {
            text += "Merging it would add " + CountOf(added, "sample", "samples") + " and keep " +
                    CountOf(twice, "sample", "samples") + " twice (" + std::to_string(same) +
                    " already in the library); it is merged when the library is next opened in the window.";
        } else {
            home->SetChanged(true);
            text += "Merged into the library: " + CountOf(added, "sample", "samples") + " added, " +
                    CountOf(twice, "sample", "samples") + " kept twice as load errors to correct, " +
                    std::to_string(same) + " already in the library.\nThe copy is moved to the folder " +
                    kMergedCopiesFolder + " when the library is saved.";
            m_conflictCopies.push_back(std::move(copy));
        }
        // Brought by a sync tool while the library is open: told with the other outside
        // changes, without a message box.
        if (whileOpen)
            m_outsideChanges.push_back({homeName, text});
        else
            m_messages.Tell(text, MsgIcon::Information);
    }
}

void CQuorrinDoc::SetMergedCopiesAside() {
    std::vector<ConflictCopy> waiting;
    for (ConflictCopy& copy : m_conflictCopies) {
        // Only once what it brought is written: the categories that took its samples, or
        // the structure file.
        bool written = copy.structure ? !m_settings.NeedsWrite() : true;
        for (const std::string& name : copy.categories) {
            auto it = m_categories.find(name);
            written = written && (it == m_categories.end() || !it->second->IsChanged());
        }
        const std::string folder = fileio::PathIn(m_folder, kMergedCopiesFolder);
        std::string target = fileio::PathIn(folder, copy.fileName);
        for (int n = 2; fileio::FileExists(target); ++n)
            target = fileio::PathIn(folder, copy.fileName + "." + std::to_string(n));
        int cause = fileio::kNone;
        if (!written || !fileio::MakeFolder(folder, cause) ||
            !fileio::RenameFile(fileio::PathIn(m_folder, copy.fileName), target, cause)) {
            if (cause != fileio::kNone)
                m_messages.Tell("The merged copy " + copy.fileName + " could not be moved to the folder " +
                                    kMergedCopiesFolder + ": " + fileio::CauseText(cause) +
                                    "\nIt stays where it is; merging it again adds nothing twice.",
                                MsgIcon::Exclamation);
            waiting.push_back(std::move(copy));
            continue;
        }
        if (!copy.categories.empty())
            m_outsideChanges.push_back({*copy.categories.begin(),
                                        "the merged copy " + copy.fileName + " was moved to " + kMergedCopiesFolder});
    }
    m_conflictCopies = std::move(waiting);
}
