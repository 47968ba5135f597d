// Loading the library: the categories the configuration describes, and every category
// file read and merged into the sample store.
#include <algorithm>
#include <cstdint>

#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "library/QuorrinDoc.h"

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

    AddDefaultCategories();
    AddCustomCategories();

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
    // A sample whose category field names another category than the file it was read
    // from is written only by that other category's save: that one is marked changed, or
    // the sample would vanish from disk when this category is saved.
    std::vector<std::pair<size_t, std::uint32_t>> duplicates;
    m_samples.MergeFiles(files, duplicates, [this](const CSample& stray) { MarkCategoryChanged(stray.GetCategory()); });
    for (const auto& [f, k] : duplicates) {
        CSample& sample = *files[f].samples[k];
        sample.SetLoadErrorReason(kReasonDuplicate);
        m_loadErrors.Add(sample);
    }
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

void CQuorrinDoc::AddDefaultCategories() {
    // The default categories with their default and custom sub-categories.
    for (int i = 0; i < 3; ++i) {
        auto category = std::make_unique<CCategory>();
        const std::string name = kDefaultCategories[i];
        category->SetCustom(false);
        category->SetName(name);
        category->SetFileName(kDefaultFiles[i]);
        category->SetDisplayed(m_settings.IsCategoryShown(name));
        category->SetChanged(false);
        for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
            category->Slot(slot) = SubcategorySlot{kDefaultSubcategories[slot], false,
                                                   m_settings.IsSubcategoryShown(name, kDefaultSubcategories[slot])};
        }
        int slot = kDefaultSlotCount;
        if (const NameSet* custom = m_settings.CustomSubcategories(name)) {
            for (const std::string& sub : *custom) {
                if (slot >= kSlotCount)
                    break;
                category->Slot(slot++) = SubcategorySlot{sub, true, true};
            }
        }
        for (; slot < kSlotCount; ++slot)
            category->Slot(slot) = SubcategorySlot{std::string(), true, false};
        m_categories.emplace(name, std::move(category));
    }
}

void CQuorrinDoc::AddCustomCategories() {
    for (const auto& [name, fileName] : m_settings.CustomCategoryFiles()) {
        auto category = std::make_unique<CCategory>(name);
        category->SetCustom(true);
        category->SetFileName(fileName);
        category->SetDisplayed(true);
        if (const NameSet* subs = m_settings.CustomCategorySubcategories(name)) {
            int slot = 0;
            for (const std::string& sub : *subs) {
                if (slot >= kSlotCount)
                    break;
                category->Slot(slot++) = SubcategorySlot{sub, true, true};
            }
        }
        category->SetChanged(false);
        m_categories.emplace(name, std::move(category));
    }
}
