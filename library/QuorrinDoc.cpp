#include "library/QuorrinDoc.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>

#include "config/LibraryConfig.h"
#include "base/FileLayer.h"
#include "base/Messenger.h"

namespace {

// Versions of sample maps are unique in the process, so that a walk's cursor can never
// take another document's map, or an earlier state of this one, for the state it saw.
std::uint64_t NewSamplesVersion() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

CQuorrinDoc::CQuorrinDoc(CLibraryConfig& config, CLoadErrorList& loadErrors)
    : m_config(config), m_loadErrors(loadErrors), m_samplesVersion(NewSamplesVersion()) {}

CQuorrinDoc::~CQuorrinDoc() {
    m_closing = true;
    if (!IsReadOnly())
        OnSaveDocument();
}

// ---------------------------------------------------------------------------------------------
// Load

bool CQuorrinDoc::OnNewDocument(LoadMode mode) {
    m_mode = mode;

    // The placeholder document file is created only when absent: a user's own file of
    // that name keeps its content.
    if (!IsReadOnly() && !fileio::FileExists(kPlaceholderFile)) {
        fileio::File placeholder;
        int cause = fileio::kNone;
        if (placeholder.OpenExclusive(kPlaceholderFile, cause))
            placeholder.Close(cause);
    }

    // Default categories with their default and custom sub-categories.
    for (int i = 0; i < 3; ++i) {
        auto category = std::make_unique<CCategory>();
        category->SetCustom(false);
        category->SetName(kDefaultCategories[i]);
        category->SetFileName(kDefaultFiles[i]);
        category->SetDisplayed(m_config.IsCategoryShown(kDefaultCategories[i]));
        category->SetChanged(false);
        m_categories.emplace(kDefaultCategories[i], std::move(category));
    }
    for (auto& [name, category] : m_categories) {
        for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
            SubcategorySlot& s = category->Slot(slot);
            s.name = kDefaultSubcategories[slot];
            s.custom = false;
            s.inUse = m_config.IsSubcategoryShown(name, kDefaultSubcategories[slot]);
        }
        int slot = kDefaultSlotCount;
        auto custom = m_config.g_customSubcats.find(name);
        if (custom != m_config.g_customSubcats.end()) {
            for (const std::string& sub : custom->second) {
                if (slot >= kSlotCount)
                    break;
                category->Slot(slot++) = SubcategorySlot{sub, true, true};
            }
        }
        for (; slot < kSlotCount; ++slot)
            category->Slot(slot) = SubcategorySlot{std::string(), true, false};
    }

    // Custom categories from the configuration.
    for (const auto& [name, fileName] : m_config.g_customCatFiles) {
        auto category = std::make_unique<CCategory>(name);
        category->SetCustom(true);
        category->SetFileName(fileName);
        category->SetDisplayed(true);
        auto subs = m_config.g_customCatSubcats.find(name);
        if (subs != m_config.g_customCatSubcats.end()) {
            int slot = 0;
            for (const std::string& sub : subs->second) {
                if (slot >= kSlotCount)
                    break;
                category->Slot(slot++) = SubcategorySlot{sub, true, true};
            }
        }
        category->SetChanged(false);
        m_categories.emplace(name, std::move(category));
    }

    // Every category file, in category order. The samples of all files are placed in
    // the sample map together afterwards.
    std::vector<ReadFile> files;
    fileio::ReadBuffer buffer; // one for every file
    for (auto& [name, category] : m_categories) {
        ReadFile file{&name, {}, {}};
        if (!ReadCategoryFile(*category, file.samples, buffer)) {
            ShowMessage(StrFormat("Could not open the file for category %s.\n", name.c_str()) +
                            "Samples for this category cannot be displayed.",
                        MsgButtons::Ok, MsgIcon::Exclamation);
            continue;
        }
        if (!file.samples.empty()) {
            // The file's title order, found while its titles are still in the cache.
            const auto& list = file.samples;
            file.order.resize(list.size());
            for (std::uint32_t k = 0; k < list.size(); ++k)
                file.order[k] = k;
            auto byTitle = [&list](std::uint32_t a, std::uint32_t b) {
                return list[a]->GetTitle() < list[b]->GetTitle();
            };
            if (!std::is_sorted(file.order.begin(), file.order.end(), byTitle))
                std::stable_sort(file.order.begin(), file.order.end(), byTitle);
            files.push_back(std::move(file));
        }
    }
    PlaceReadSamples(files);
    return true;
}

bool CQuorrinDoc::ReadCategoryFile(CCategory& category, std::vector<std::unique_ptr<CSample>>& out,
                                   fileio::ReadBuffer& buffer) {
    if (IsReadOnly()) {
        // Shared reading: nothing is created, locked or changed.
        if (category.GetFileName().empty() || !fileio::FileExists(category.GetFileName()))
            return true;
        if (!category.OpenFileForRead())
            return false;
        category.ReadSampleList(out, &buffer);
        category.CloseFile();
        return true;
    }
    if (!category.OpenFile())
        return false;
    category.ReadSampleList(out, &buffer);
    category.CloseFile();
    return true;
}

void CQuorrinDoc::PlaceReadSamples(std::vector<ReadFile>& files) {
    // The result is that of inserting the samples file by file, each file in its own
    // order, where the first sample read under a title wins. The files' lists, each in
    // title order (a file the program wrote is in that order already), are merged, and
    // equal titles come out in reading order, so each new title goes to the end of the
    // map without a search.
    const size_t n = files.size();
    auto order = [&files](size_t f) -> const std::vector<std::uint32_t>& { return files[f].order; };
    std::vector<size_t> next(n, 0);
    // Each file's own category list, found once: most samples go there.
    std::vector<std::vector<const CSample*>*> ownList(n);
    for (size_t f = 0; f < n; ++f) {
        ownList[f] = &m_byCategory[*files[f].category];
        ownList[f]->reserve(ownList[f]->size() + files[f].samples.size());
    }
    auto head = [&](size_t f) -> const std::string& {
        return files[f].samples[order(f)[next[f]]]->GetTitle();
    };
    // The first sixteen bytes of each head title as two numbers in the same order (bytes
    // past the end count as zero), so that most comparisons need not reach the titles
    // themselves.
    struct Prefix {
        std::uint64_t hi = 0;
        std::uint64_t lo = 0;
    };
    std::vector<Prefix> prefix(n);
    auto takePrefix = [&](size_t f) {
        const std::string& title = head(f);
        std::uint64_t part[2] = {0, 0};
        const size_t used = std::min<size_t>(title.size(), 16);
        for (size_t i = 0; i < used; ++i)
            part[i / 8] |= static_cast<std::uint64_t>(static_cast<unsigned char>(title[i])) << (56 - 8 * (i % 8));
        prefix[f] = Prefix{part[0], part[1]};
#if defined(__GNUC__)
        // The records two ahead and the title one ahead are asked for now, so that they
        // are in the cache when their turn comes (the files lie far apart in memory).
        if (next[f] + 2 < order(f).size()) {
            const char* record = reinterpret_cast<const char*>(files[f].samples[order(f)[next[f] + 2]].get());
            __builtin_prefetch(record);
            __builtin_prefetch(record + 64);
        }
        if (next[f] + 1 < order(f).size())
            __builtin_prefetch(files[f].samples[order(f)[next[f] + 1]]->GetTitle().data());
#endif
    };
    // A heap of files by the title at their head, the smallest on top; on equal titles
    // the earlier file first.
    auto later = [&](size_t a, size_t b) {
        if (prefix[a].hi != prefix[b].hi)
            return prefix[a].hi > prefix[b].hi;
        if (prefix[a].lo != prefix[b].lo)
            return prefix[a].lo > prefix[b].lo;
        const int c = head(a).compare(head(b));
        return c != 0 ? c > 0 : a > b;
    };
    std::vector<size_t> heap(n);
    for (size_t f = 0; f < n; ++f) {
        takePrefix(f);
        heap[f] = f;
    }
    // Moves the file at place i down to where it belongs: the top's next title costs one
    // such walk instead of a removal and an insertion.
    auto siftDown = [&](size_t i) {
        const size_t item = heap[i];
        for (;;) {
            size_t child = 2 * i + 1;
            if (child >= heap.size())
                break;
            if (child + 1 < heap.size() && later(heap[child], heap[child + 1]))
                ++child;
            if (!later(item, heap[child]))
                break;
            heap[i] = heap[child];
            i = child;
        }
        heap[i] = item;
    };
    for (size_t i = n / 2; i-- > 0;)
        siftDown(i);

    std::vector<std::pair<size_t, std::uint32_t>> duplicates; // file, position in the file
    while (!heap.empty()) {
        const size_t f = heap.front();
        const std::uint32_t k = order(f)[next[f]++];
        CSample& sample = *files[f].samples[k];
        const std::string& title = sample.GetTitle();
        auto at = m_samples.end();
        bool fresh = m_samples.empty() || std::prev(at)->first < title;
        if (!fresh) {
            at = m_samples.lower_bound(title);
            fresh = at == m_samples.end() || at->first != title;
        }
        if (fresh) {
            // A sample whose category field names another category than the file it was
            // read from is written only by that other category's save: mark that one
            // changed, or the sample would vanish from disk when this category is saved.
            const bool own = sample.GetCategory() == *files[f].category;
            if (!own)
                MarkCategoryChanged(sample.GetCategory());
            std::string key = title;
            std::unique_ptr<CSample> record = std::move(files[f].samples[k]);
            // A title that goes to the end of the map goes to the end of its category's
            // list too.
            if (own && at == m_samples.end())
                ownList[f]->push_back(record.get());
            else
                IndexSample(*record);
            m_samples.emplace_hint(at, std::move(key), std::move(record));
        } else {
            duplicates.emplace_back(f, k);
        }
        if (next[f] < order(f).size()) {
            takePrefix(f);
        } else {
            heap.front() = heap.back();
            heap.pop_back();
        }
        if (!heap.empty())
            siftDown(0);
    }
    m_samplesVersion = NewSamplesVersion();
    // Duplicates go to the load-error store in reading order.
    std::sort(duplicates.begin(), duplicates.end());
    for (const auto& [f, k] : duplicates) {
        CSample& sample = *files[f].samples[k];
        sample.SetLoadErrorReason(kReasonDuplicate);
        m_loadErrors.Add(sample);
    }
}

// ---------------------------------------------------------------------------------------------
// Save and close

bool CQuorrinDoc::OnSaveDocument() {
    if (IsReadOnly())
        return false;
    CommitPendingEdit();

    bool ok = true;
    m_config.BeginLibrarySave();
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
                const std::uint64_t version = m_samplesVersion;
                for (const CSample* sample : SamplesOfCategory(name)) {
                    if (!category.WriteSample(*sample) || version != m_samplesVersion)
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
        m_config.RecordCategory(category);
    }
    m_config.EndLibrarySave();
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

// ---------------------------------------------------------------------------------------------
// Queries

bool CQuorrinDoc::FindCategory(const std::string& name, CCategory& out) const {
    const CCategory* category = PeekCategory(name);
    if (!category)
        return false;
    out = *category;
    return true;
}

bool CQuorrinDoc::FindSample(const std::string& title, CSample& out) const {
    const CSample* sample = PeekSample(title);
    if (!sample)
        return false;
    // Keywords are stored parsed; copying them equals re-parsing their joined form.
    out = *sample;
    return true;
}

const CCategory* CQuorrinDoc::PeekCategory(const std::string& name) const {
    auto it = m_categories.find(name);
    return it == m_categories.end() ? nullptr : it->second.get();
}

const CSample* CQuorrinDoc::PeekSample(const std::string& title) const {
    auto it = m_samples.find(title);
    return it == m_samples.end() ? nullptr : it->second.get();
}

bool CQuorrinDoc::FirstCategory(CCategory& out, Cursor& cursor) const {
    cursor.started = true;
    cursor.ended = false;
    auto it = m_categories.begin();
    if (it == m_categories.end()) {
        cursor.ended = true;
        return false;
    }
    cursor.last = it->first;
    out = *it->second;
    return true;
}

bool CQuorrinDoc::NextCategory(CCategory& out, Cursor& cursor) const {
    if (!cursor.started) {
        CCategory first;
        if (!FirstCategory(first, cursor))
            return false;
    }
    return NextCategoryAfter(out, cursor);
}

bool CQuorrinDoc::NextCategoryAfter(CCategory& out, Cursor& cursor) const {
    if (cursor.ended)
        return false;
    auto it = m_categories.upper_bound(cursor.last);
    if (it == m_categories.end()) {
        cursor.ended = true;
        return false;
    }
    cursor.last = it->first;
    out = *it->second;
    return true;
}

bool CQuorrinDoc::FirstSample(CSample& out, Cursor& cursor) const {
    const CSample* record = FirstSampleRecord(cursor);
    if (record)
        out = *record;
    return record != nullptr;
}

bool CQuorrinDoc::NextSample(CSample& out, Cursor& cursor) const {
    const CSample* record = NextSampleRecord(cursor);
    if (record)
        out = *record;
    return record != nullptr;
}

const CSample* CQuorrinDoc::FirstSampleRecord(Cursor& cursor) const {
    cursor.started = true;
    cursor.ended = false;
    return StepTo(m_samples.begin(), cursor);
}

const CSample* CQuorrinDoc::NextSampleRecord(Cursor& cursor) const {
    if (!cursor.started && !FirstSampleRecord(cursor))
        return nullptr;
    if (cursor.ended)
        return nullptr;
    // While the map is unchanged the cursor's place in it is still good; otherwise the
    // sample after the last title given is looked up.
    auto it = cursor.atKnown && cursor.atVersion == m_samplesVersion ? std::next(cursor.at)
                                                                     : m_samples.upper_bound(cursor.last);
    return StepTo(it, cursor);
}

const CSample* CQuorrinDoc::SampleRecordAt(const Cursor& cursor) const {
    if (!cursor.started || cursor.ended)
        return nullptr;
    if (cursor.atKnown && cursor.atVersion == m_samplesVersion)
        return cursor.at->second.get();
    return PeekSample(cursor.last);
}

// Moves the cursor to it; at the end the walk is over.
const CSample* CQuorrinDoc::StepTo(SampleMap::const_iterator it, Cursor& cursor) const {
    cursor.atKnown = false;
    if (it == m_samples.end()) {
        cursor.ended = true;
        return nullptr;
    }
    cursor.last = it->first;
    cursor.at = it;
    cursor.atVersion = m_samplesVersion;
    cursor.atKnown = true;
    return it->second.get();
}

int CQuorrinDoc::CountSamplesInCategory(const std::string& name) const {
    return static_cast<int>(SamplesOfCategory(name).size());
}

const std::vector<const CSample*>& CQuorrinDoc::SamplesOfCategory(const std::string& name) const {
    static const std::vector<const CSample*> none;
    auto it = m_byCategory.find(name);
    return it == m_byCategory.end() ? none : it->second;
}

bool CQuorrinDoc::AnyHidden() const {
    for (const auto& [name, category] : m_categories) {
        if (!category->IsDisplayed())
            return true;
        for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
            if (!category->Slot(slot).inUse)
                return true;
        }
    }
    return false;
}

void CQuorrinDoc::ShowAll() {
    for (auto& [name, category] : m_categories) {
        if (!category->IsDefault())
            continue;
        category->SetDisplayed(true);
        for (int slot = 0; slot < kDefaultSlotCount; ++slot)
            category->Slot(slot).inUse = true;
    }
}

// ---------------------------------------------------------------------------------------------
// Sample edits

bool CQuorrinDoc::AddSample(std::unique_ptr<CSample> sample) {
    if (!sample)
        return false;
    const std::string title = sample->GetTitle();
    const std::string category = sample->GetCategory();
    const CSample* record = sample.get();
    bool inserted = m_samples.try_emplace(title, std::move(sample)).second;
    if (inserted)
        IndexSample(*record);
    m_samplesVersion = NewSamplesVersion();
    m_lastAddedTitle = title;
    MarkCategoryChanged(category);
    return inserted;
}

bool CQuorrinDoc::AddStagedSample() {
    bool added = AddSample(std::make_unique<CSample>(m_loadErrors.Staged()));
    if (m_view)
        m_view->OnStagedSampleAdded();
    return added;
}

void CQuorrinDoc::NotifyView() {
    if (m_view)
        m_view->OnLoadErrorsEmptied();
}

bool CQuorrinDoc::UpdateSample(const std::string& oldTitle, const CSample& data) {
    auto it = m_samples.find(oldTitle);
    if (it == m_samples.end()) {
        ShowMessage("Internal error - unable to update sample data!\n"
                    "Could not find sample " +
                        oldTitle + " in Library.\n",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (data.GetTitle() != oldTitle) {
        // Moving onto a title another sample holds would lose one of the two samples.
        if (m_samples.count(data.GetTitle())) {
            ShowMessage("Internal error - unable to update sample data!\n"
                        "Another sample already has the title " +
                            data.GetTitle() + " in Library.\n",
                        MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        auto moved = std::make_unique<CSample>(data); // data may be the stored sample itself
        DeleteSample(oldTitle);
        AddSample(std::move(moved));
        return true;
    }
    CSample& stored = *it->second;
    m_samplesVersion = NewSamplesVersion();
    const int reason = stored.GetLoadErrorReason();
    // The stored record itself as data may have had its category changed in place.
    const bool moves = &data == &stored || stored.GetCategory() != data.GetCategory();
    if (moves)
        UnindexSample(stored);
    // The keyword array is taken as it is, so an empty keyword list clears the keywords.
    stored = data;
    stored.SetLoadErrorReason(reason);
    if (moves)
        IndexSample(stored);
    return true;
}

bool CQuorrinDoc::DeleteSample(const std::string& title) {
    auto it = m_samples.find(title);
    if (it == m_samples.end())
        return false;
    // A sample whose category does not exist (one of the unplaced samples) has no
    // category to mark; that is not an internal error.
    if (m_categories.count(it->second->GetCategory()))
        MarkChangedThroughUpdate(it->second->GetCategory());
    UnindexSample(*it->second);
    m_samples.erase(it);
    m_samplesVersion = NewSamplesVersion();
    return true;
}

namespace {

bool TitleBefore(const CSample* a, const CSample* b) {
    return a->GetTitle() < b->GetTitle();
}

} // namespace

void CQuorrinDoc::IndexSample(const CSample& sample) {
    auto& members = m_byCategory[sample.GetCategory()];
    // A load places samples in title order: they go to the end.
    if (members.empty() || TitleBefore(members.back(), &sample))
        members.push_back(&sample);
    else
        members.insert(std::lower_bound(members.begin(), members.end(), &sample, TitleBefore), &sample);
}

void CQuorrinDoc::UnindexSample(const CSample& sample) {
    // Found under its category by its title. A record its holder changed in place (the
    // document hands out const records, but UpdateSample may be given the stored record
    // itself) may sit elsewhere: then it is searched for.
    auto eraseFrom = [&](decltype(m_byCategory)::iterator members) {
        auto& list = members->second;
        auto at = std::lower_bound(list.begin(), list.end(), &sample, TitleBefore);
        if (at == list.end() || *at != &sample)
            at = std::find(list.begin(), list.end(), &sample);
        if (at == list.end())
            return false;
        list.erase(at);
        if (list.empty())
            m_byCategory.erase(members);
        return true;
    };
    auto members = m_byCategory.find(sample.GetCategory());
    if (members != m_byCategory.end() && eraseFrom(members))
        return;
    for (auto it = m_byCategory.begin(); it != m_byCategory.end(); ++it) {
        if (eraseFrom(it))
            return;
    }
}

bool CQuorrinDoc::MarkChangedThroughUpdate(const std::string& name) {
    CCategory copy;
    FindCategory(name, copy);
    copy.SetChanged(true);
    return UpdateCategory(name, copy);
}

void CQuorrinDoc::CommitPendingEdit() {
    const std::string title = m_pending.GetTitle();
    if (title.empty())
        return;
    CSample stored;
    if (!FindSample(title, stored)) {
        ShowMessage(
            StrFormat("Internal error! Cannot find sample data for original title %s.", title.c_str()),
            MsgButtons::Ok, MsgIcon::Exclamation);
        m_pending.Reset();
        return;
    }
    const std::string oldCategory = stored.GetCategory();
    const std::string oldSubcategory = stored.GetSubcategory();
    const std::string newCategory = m_pending.GetCategory();
    const std::string newSubcategory = m_pending.GetSubcategory();

    CSample copy = m_pending;
    copy.SetLoadErrorReason(stored.GetLoadErrorReason());
    UpdateSample(title, copy);

    MarkChangedThroughUpdate(m_displayed.GetCategory());
    if (oldCategory != newCategory)
        MarkChangedThroughUpdate(newCategory);
    if (oldCategory != newCategory || oldSubcategory != newSubcategory)
        m_placementChanged = true;
}

// ---------------------------------------------------------------------------------------------
// Category edits

void CQuorrinDoc::MarkCategoryChanged(const std::string& name) {
    auto it = m_categories.find(name);
    if (it != m_categories.end())
        it->second->SetChanged(true);
}

bool CQuorrinDoc::AddCategory(std::unique_ptr<CCategory> category) {
    if (!category)
        return false;
    const std::string name = category->GetName();
    return m_categories.try_emplace(name, std::move(category)).second;
}

bool CQuorrinDoc::UpdateCategory(const std::string& name, const CCategory& data) {
    auto it = m_categories.find(name);
    if (it == m_categories.end()) {
        ShowMessage("Internal error - unable to update category data!\n"
                    "Could not find category " +
                        name + " in Library.\n",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    CCategory& stored = *it->second;
    if (&stored != &data) {
        stored.SetName(data.GetName());
        for (int slot = 0; slot < kSlotCount; ++slot)
            stored.Slot(slot) = data.Slot(slot);
        stored.SetDisplayed(data.IsDisplayed());
    }
    stored.SetChanged(true);
    return true;
}

bool CQuorrinDoc::DeleteCategory(const std::string& name) {
    auto it = m_categories.find(name);
    if (it == m_categories.end()) {
        ShowMessage("Internal error.\nUnable to locate category to be deleted!\n"
                    "Category: " +
                        name,
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    CCategory& category = *it->second;
    category.DeleteFile();
    m_config.g_customSubcats.erase(name);
    m_config.g_customCatSubcats.erase(name);
    if (category.IsDefault()) {
        category.SetDisplayed(false);
        category.SetChanged(true);
    } else {
        m_categories.erase(it);
    }
    return true;
}

void CQuorrinDoc::ResetDefaultSubcategories(CCategory& category, bool shown) {
    for (int slot = 0; slot < kDefaultSlotCount; ++slot)
        category.Slot(slot) = SubcategorySlot{kDefaultSubcategories[slot], false, shown};
}

void CQuorrinDoc::AddCustomSubcategoryToConfig(const std::string& category, const std::string& subcategory) {
    m_config.g_customSubcats[category].insert(subcategory);
}

void CQuorrinDoc::RemoveCustomSubcategoryFromConfig(const std::string& category,
                                                    const std::string& subcategory) {
    auto it = m_config.g_customSubcats.find(category);
    if (it == m_config.g_customSubcats.end())
        return;
    it->second.erase(subcategory);
    if (it->second.empty())
        m_config.g_customSubcats.erase(it);
}

// ---------------------------------------------------------------------------------------------
// Placement

bool CQuorrinDoc::HasPlace(const CSample& sample) const {
    const CCategory* category = PeekCategory(sample.GetCategory());
    if (!category || !category->IsDisplayed())
        return false;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SubcategorySlot& s = category->Slot(slot);
        if (s.inUse && s.name == sub)
            return true;
    }
    return false;
}

int CQuorrinDoc::RemoveUnplacedSamples() {
    int count = 0;
    for (const auto& [title, sample] : m_samples) {
        if (!HasPlace(*sample)) {
            ReportTreeInsertFailure(*sample, kReasonNoParent, false);
            ++count;
        }
    }
    RemoveDeferredSamples();
    return count;
}

void CQuorrinDoc::ReportTreeInsertFailure(const CSample& sample, int reason, bool removeNow) {
    CSample record = sample;
    record.SetLoadErrorReason(reason);
    if (!m_loadErrors.Add(record))
        return;
    if (removeNow)
        DeleteSample(record.GetTitle());
    else
        m_deferred.push_back(record.GetTitle());
}

void CQuorrinDoc::RemoveDeferredSamples() {
    std::vector<std::string> titles;
    titles.swap(m_deferred);
    for (const std::string& title : titles)
        DeleteSample(title);
}
