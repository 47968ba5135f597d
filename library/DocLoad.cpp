// Loading the library: the categories the configuration describes, and every category
// file read and merged into the sample store.
#include <algorithm>
#include <cstdint>
#include <map>
#include <thread>
#include <utility>

#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "library/CategoryWriter.h"
#include "library/FileReadPipeline.h"
#include "library/QuorrinDoc.h"

namespace {

// A category file is read this many bytes at a time: a piece stays in the processor's
// cache while it is parsed.
constexpr size_t kLoadPieceBytes = size_t{512} << 10;

} // namespace

bool CQuorrinDoc::OnNewDocument(LoadMode mode) {
    m_mode = mode;

    // The placeholder document file is created only when absent: a user's own file of
    // that name keeps its content.
    const std::string placeholderPath = fileio::PathIn(m_folder, kPlaceholderFile);
    if (!IsReadOnly() && !fileio::FileExists(placeholderPath)) {
        fileio::File placeholder;
        int cause = fileio::kNone;
        if (placeholder.OpenExclusive(placeholderPath, cause))
            placeholder.Close(cause);
    }

    std::map<std::string, std::string> defaults;
    for (int i = 0; i < 3; ++i)
        defaults.emplace(kDefaultCategories[i], kDefaultFiles[i]);
    m_settings.Load(m_folder, IsReadOnly(), defaults, m_messages);
    MergeStructureCopies();
    AddDefaultCategories();
    AddCustomCategories();
    if (m_settings.WasDamaged())
        AddSubcategoriesFromRecords();
    AddFoundCategories();
    if (!IsReadOnly())
        RemoveLeftovers();

    // Every category file, in category order. The files are opened and closed one after
    // another here and read and parsed on other threads meanwhile; what each file has to
    // tell is told here afterwards, in category order. The samples of all files are
    // placed in the sample map together afterwards. A record that may have to stay in its
    // file although the library will not hold it there (no place in the tree, or filed
    // under another category) is kept as its file's bytes while those are at hand.
    struct FileLoad {
        const std::string* name = nullptr;
        CCategory* category = nullptr;
        std::uint64_t size = 0;
        LoadRead read;
        const char* failedAt = nullptr;
        ReadFile file{nullptr, {}, {}, {}, {}};
        std::vector<std::pair<std::uint32_t, HeldRecord>> held;
        std::string unreadTail;
    };
    std::vector<FileLoad> loads;
    std::uint64_t totalBytes = 0;
    for (auto& [name, category] : m_categories) {
        FileLoad load;
        load.name = &name;
        load.category = category.get();
        load.file.category = &name;
        // Until its turn below, a category keeps its messages to itself.
        category->SetMessages(nullptr);
        load.size = fileio::StampOf(category->GetFilePath()).size;
        totalBytes += load.size;
        loads.push_back(std::move(load));
    }
    const size_t cores = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), 8);
    ReadAndWork(
        loads.size(), cores > 1 ? cores : 0,
        [&](size_t i) { return OpenCategoryForLoad(*loads[i].category, loads[i].read); },
        [&](size_t i, fileio::ReadBuffer& buffer) {
            FileLoad& load = loads[i];
            CCategory& category = *load.category;
            auto& list = load.file.samples;
            auto& spans = load.file.spans;
            auto hold = [&](size_t k, std::string_view bytes) {
                const CSample& sample = *list[k];
                if (sample.GetCategory() != *load.name || !HasPlaceIn(load.category, sample))
                    load.held.emplace_back(k, HeldRecord{sample.GetTitle(),
                                                         IsReadOnly() ? std::string() : std::string(bytes)});
            };
            if (cores > 1 && load.size * cores >= totalBytes) {
                // A file of a good part of the library is read whole and parsed on every
                // core itself.
                if (!category.ReadBytes(buffer))
                    return;
                load.read.bytes = true;
                const std::string_view data = buffer.View();
                load.failedAt = ParseSamples(data, list, &spans, cores);
                if (load.failedAt && !IsReadOnly())
                    load.unreadTail.assign(UnreadTail(data, spans));
                for (size_t k = 0; k < list.size() && k < spans.size(); ++k)
                    hold(k, data.substr(spans[k].begin, spans[k].end - spans[k].begin));
            } else {
                // The others a piece at a time, each parsed while it is in the cache.
                bool first = true;
                const PieceParse parsed = ParseSamplesInPieces(
                    [&](char* into, size_t room, size_t& got) {
                        return category.ReadMoreBytes(into, room, got, std::exchange(first, false));
                    },
                    kLoadPieceBytes, list, spans, hold, IsReadOnly() ? nullptr : &load.unreadTail);
                if (parsed.readFailed) {
                    // Nothing of a file that could not be read to its end counts.
                    list.clear();
                    spans.clear();
                    load.held.clear();
                    load.unreadTail.clear();
                    return;
                }
                if (parsed.bytes == 0)
                    return;
                load.read.bytes = true;
                load.failedAt = parsed.failedAt;
            }
            // The file's title order, found while its titles are still in the cache.
            MakeTitleOrder(load.file);
        },
        [&](size_t i) {
            if (loads[i].read.opened)
                loads[i].category->CloseFile();
        });

    std::vector<ReadFile> files;
    std::map<std::pair<size_t, std::uint32_t>, HeldRecord> held; // by file and position
    for (FileLoad& load : loads) {
        CCategory& category = *load.category;
        for (DocMessage& message : category.Messages().Take())
            m_messages.Tell(std::move(message.text), message.icon);
        category.SetMessages(&m_messages);
        if (!load.read.opened) {
            m_messages.Tell(StrFormat("Could not open the file for category %s.\n", load.name->c_str()) +
                                "Samples for this category cannot be displayed.",
                            MsgIcon::Exclamation);
            continue;
        }
        if (load.read.bytes)
            category.TakeParse(load.failedAt);
        KeepUnreadTail(category, load.unreadTail, !category.ReadIncomplete());
        if (load.file.samples.empty())
            continue;
        const size_t f = files.size();
        for (auto& [k, record] : load.held)
            held.emplace(std::make_pair(f, k), std::move(record));
        files.push_back(std::move(load.file));
    }
    loads.clear();
    // Placing the samples marks nothing changed: whatever cannot be placed stays in its
    // file as it is.
    std::vector<std::pair<size_t, std::uint32_t>> duplicates;
    m_samples.MergeFiles(files, duplicates, [](const CSample&) {});
    if (!IsReadOnly())
        FetchRecordBytes(files, duplicates, held);
    for (const auto& [f, k] : duplicates) {
        CSample& sample = *files[f].samples[k];
        sample.SetLoadErrorReason(kReasonDuplicate);
        const std::uint64_t origin = IsReadOnly() ? 0 : m_kept.Keep(*files[f].category, held[{f, k}].bytes);
        m_loadErrors.Add(sample, origin);
    }
    // The held records that won their titles: a sample without a place in the tree
    // becomes a load error (in title order, as the tree finds them); a sample filed in
    // another category's file stays in that file too until its own category's file holds
    // it.
    std::vector<std::pair<std::string, std::pair<size_t, std::uint32_t>>> winners;
    for (const auto& [at, record] : held) {
        if (!files[at.first].samples[at.second]) // moved into the store
            winners.emplace_back(record.title, at);
    }
    std::sort(winners.begin(), winners.end());
    std::vector<std::string> unplaced;
    for (const auto& [title, at] : winners) {
        const CSample* sample = m_samples.Find(title);
        if (!sample)
            continue;
        const std::string& fileCategory = *files[at.first].category;
        if (!HasPlace(*sample)) {
            CSample record = *sample;
            record.SetLoadErrorReason(kReasonNoParent);
            const std::uint64_t origin = IsReadOnly() ? 0 : m_kept.Keep(fileCategory, std::move(held[at].bytes));
            m_loadErrors.Add(record, origin);
            unplaced.push_back(title);
        } else if (!IsReadOnly()) {
            m_kept.Keep(fileCategory, std::move(held[at].bytes), title);
        }
    }
    m_samples.EraseAll(unplaced);
    MergeConflictCopies();
    WriteStructureAtFirstOpen();
    return true;
}

void CQuorrinDoc::WriteStructureAtFirstOpen() {
    // A folder that holds a library gets its structure file when it is first opened here;
    // one without any category file is left as it is until something is saved into it.
    if (IsReadOnly() || !m_settings.NeedsWrite())
        return;
    bool anyFile = false;
    for (const auto& [name, category] : m_categories)
        anyFile = anyFile || fileio::FileExists(category->GetFilePath());
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if (anyFile && lock.Acquire(FolderPath(), kWriteLockWaitMs, cause))
        m_settings.Write(m_messages);
}

bool CQuorrinDoc::OpenCategoryForLoad(CCategory& category, LoadRead& result) {
    if (IsReadOnly()) {
        // Shared reading: nothing is created, locked or changed.
        if (category.GetFileName().empty() || !fileio::FileExists(category.GetFilePath()))
            return false;
        result.opened = category.OpenFileForRead();
    } else {
        // A missing file is made when a sample is first saved into it: an empty file made
        // at start could be newer than the real one a sync tool is still bringing.
        if (!fileio::FileExists(category.GetFilePath()))
            return false;
        result.opened = category.OpenFile();
    }
    return result.opened && category.BeginReadBytes();
}

void CQuorrinDoc::AddDefaultCategories() {
    // The default categories with their default and custom sub-categories.
    for (int i = 0; i < 3; ++i) {
        auto category = std::make_unique<CCategory>();
        const std::string name = kDefaultCategories[i];
        category->SetCustom(false);
        category->SetName(name);
        category->SetFileName(kDefaultFiles[i]);
        category->SetFolder(m_folder);
        category->SetMessages(&m_messages);
        category->SetDisplayed(m_settings.IsCategoryShown(name));
        category->SetChanged(false);
        for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
            category->Slot(slot) = SubcategorySlot{kDefaultSubcategories[slot], false,
                                                   m_settings.IsSubcategoryShown(name, kDefaultSubcategories[slot])};
        }
        int slot = kDefaultSlotCount;
        for (const std::string& sub : m_settings.SubcategoriesInOrder(name)) {
            if (slot >= kSlotCount)
                break;
            category->Slot(slot++) = SubcategorySlot{sub, true, true};
        }
        for (; slot < kSlotCount; ++slot)
            category->Slot(slot) = SubcategorySlot{std::string(), true, false};
        m_categories.emplace(name, std::move(category));
    }
}

void CQuorrinDoc::AddCustomCategories() {
    // The files in use so far: a second category on one of them would double its samples
    // and lose them to the other's saves.
    std::map<std::string, std::string> files;
    for (const auto& [name, category] : m_categories)
        files.emplace(name, category->GetFileName());
    for (const auto& [name, fileName] : m_settings.CustomCategoryFiles()) {
        auto category = std::make_unique<CCategory>(name);
        category->SetFolder(m_folder);
        category->SetMessages(&m_messages);
        const std::string refusal = CategoryFileRefusal(fileName, files);
        if (!refusal.empty()) {
            // A path would make the library read and write files outside its folder, a
            // file of the program's or of another category would be overwritten.
            m_messages.Tell("The configuration names the file \"" + fileName + "\" for category \"" + name +
                            "\", " + refusal + ".\nThe category is left out; its settings are kept.", MsgIcon::Exclamation);
            category->SetFileName(fileName);
            int slot = 0;
            for (const std::string& sub : m_settings.SubcategoriesInOrder(name))
                if (slot < kSlotCount)
                    category->Slot(slot++) = SubcategorySlot{sub, true, true};
            m_skipped.push_back(std::move(category));
            continue;
        }
        category->SetCustom(true);
        category->SetFileName(fileName);
        category->SetDisplayed(true);
        int slot = 0;
        for (const std::string& sub : m_settings.SubcategoriesInOrder(name)) {
            if (slot >= kSlotCount)
                break;
            category->Slot(slot++) = SubcategorySlot{sub, true, true};
        }
        category->SetChanged(false);
        if (m_categories.emplace(name, std::move(category)).second)
            files.emplace(name, fileName);
    }
}

void CQuorrinDoc::FetchRecordBytes(const std::vector<ReadFile>& files,
                                   const std::vector<std::pair<size_t, std::uint32_t>>& wanted,
                                   std::map<std::pair<size_t, std::uint32_t>, HeldRecord>& held) {
    // The records whose bytes are not held yet (duplicates are known only once every file
    // has been read), file by file: each such file is read once more, and only when it
    // is still the file that was read.
    std::map<size_t, std::vector<std::uint32_t>> byFile;
    for (const auto& [f, k] : wanted) {
        if (!held.count({f, k}))
            byFile[f].push_back(k);
    }
    for (const auto& [f, positions] : byFile) {
        const ReadFile& file = files[f];
        const CCategory* category = PeekCategory(*file.category);
        std::string data;
        bool same = false;
        if (category && !IsReadOnly()) {
            fileio::File in;
            fileio::FileStamp now;
            int cause = fileio::kNone;
            same = in.OpenForRead(category->GetFilePath(), cause) && in.Stamp(now, cause) &&
                   now == category->Stamp() && in.ReadAll(data, cause) && data.size() == now.size;
        }
        for (std::uint32_t k : positions) {
            const CSample& sample = *file.samples[k];
            HeldRecord record{sample.GetTitle(), {}};
            if (same && k < file.spans.size() && file.spans[k].end <= data.size())
                record.bytes = data.substr(file.spans[k].begin, file.spans[k].end - file.spans[k].begin);
            else
                AppendSampleBytes(record.bytes, sample); // changed since: the record as read
            held.emplace(std::make_pair(f, k), std::move(record));
        }
    }
}

void CQuorrinDoc::RemoveLeftovers() {
    // A crash during a save leaves its temporary file behind; under the folder's write
    // lock no save is at work, so every such file is a leftover.
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if (!lock.Acquire(FolderPath(), kWriteLockWaitMs, cause))
        return; // someone is writing now: the leftovers go next time
    std::vector<std::string> names{kPlaceholderFile};
    for (const auto& [name, category] : m_categories)
        names.push_back(category->GetFileName());
    fileio::RemoveLeftoverTemporaries(FolderPath(), names);
}
