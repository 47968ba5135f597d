// The layout the document loads and saves: the library's structure from its folder's
// structure file, the user's choices (what is hidden) from the user's settings. A folder
// without a structure file takes from the settings only the categories whose files are
// in that folder; the settings themselves are left as they are, and every library save
// still records the categories there too, so an older program finds them.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/FileLayer.h"
#include "library/DocMessages.h"
#include "library/LibraryStructure.h"
#include "library/LibrarySettings.h"
#include "library/StructureMerge.h"

class CFolderLayout : public ILibrarySettings {
public:
    explicit CFolderLayout(ILibrarySettings& user) : m_user(user) {}

    // Reads the folder's structure file (or takes the settings' categories whose files are
    // in folder when there is none). A file that cannot be read whole is reported; what
    // could be read is used and the file is copied aside before it is next written.
    // defaults: the default categories' files by name (their added sub-categories are
    // taken too).
    void Load(const std::string& folder, bool readOnly, const std::map<std::string, std::string>& defaults,
              CDocMessages& messages);
    // The structure as loaded or last saved.
    const LibraryStructure& Structure() const { return m_structure; }
    // True when the next save writes the structure file (it is missing, damaged or has
    // changed since it was read).
    bool NeedsWrite() const { return m_needsWrite; }
    // True when the file was there but could not be read whole.
    bool WasDamaged() const { return m_keepAside; }
    // The sub-categories the library added to a category, in the order of their places.
    const std::vector<std::string>& SubcategoriesInOrder(const std::string& category) const;
    // A category's language word from the structure ("" when none was chosen).
    std::string Language(const std::string& category) const;
    void SetLanguage(const std::string& category, const std::string& word);
    // A category found in the folder without a structure entry (a category file nobody
    // configured): it joins the structure at the next save.
    void AddFound(const std::string& category, const std::string& fileName,
                  const std::vector<std::string>& subcategories);
    // The structure file as last read or written here: a file whose stamp differs has been
    // changed by another program (tindrel-cli category add, a sync).
    const fileio::FileStamp& Stamp() const { return m_stamp; }
    // Reads the file again after another program changed it; false (and nothing read)
    // when it cannot be read whole (the file is then copied aside before it is next
    // written). The file's stamp is taken either way.
    bool ReadChanged(LibraryStructure& read);
    // Merges what another program wrote (read by ReadChanged) with this side's structure,
    // entry by entry against the version last read or written here; the merged structure
    // is this side's from now on.
    // Brings the category's entry up to date with the library's category (before a merge:
    // what the library changed since its last save is this side's version).
    void Note(const CCategory& category);
    // Merges a sync tool's copy of the structure file: what either holds is kept.
    void MergeCopy(const LibraryStructure& copy);
    structuremerge::Result MergeIn(const LibraryStructure& theirs, const structuremerge::UsedNames& used,
                                   const std::function<size_t(const std::string&)>& places);
    // After the save's files: writes the structure file when it changed. The caller holds
    // the folder's write lock.
    bool Write(CDocMessages& messages);

    // ILibraryLayout: the hidden state from the user's settings, the rest from the folder.
    bool IsCategoryShown(const std::string& category) const override;
    bool IsSubcategoryShown(const std::string& category, const std::string& subcategory) const override;
    const NameSet* CustomSubcategories(const std::string& category) const override;
    const std::map<std::string, std::string>& CustomCategoryFiles() const override { return m_files; }
    const NameSet* CustomCategorySubcategories(const std::string& category) const override;
    void AddCustomSubcategory(const std::string& category, const std::string& subcategory) override;
    void RemoveCustomSubcategory(const std::string& category, const std::string& subcategory) override;
    void ForgetCategory(const std::string& category) override;
    std::string CategoryLanguage(const std::string& category) const override { return Language(category); }

    // ILibraryRecorder: the settings record as before; the structure is made anew from
    // the recorded categories, keeping the entries of categories the library left out
    // (never smaller than what the folder uses, unless the user deleted a category).
    void BeginLibrarySave() override;
    void RecordCategory(const CCategory& category) override;
    void EndLibrarySave() override;

private:
    ILibrarySettings& m_user;
    std::string m_folder;
    bool m_readOnly = false;
    LibraryStructure m_structure;
    LibraryStructure m_base; // the file as last read or written here
    LibraryStructure m_recorded;
    std::set<std::string> m_forgotten;
    std::set<std::string> m_recordedUser; // names recorded into the settings this save
    bool m_recording = false;
    bool m_needsWrite = false;
    bool m_keepAside = false; // the file on disk could not be read whole
    bool m_newer = false;     // written by a later version: never overwritten
    fileio::FileStamp m_stamp;
    // Views of m_structure in the form the layout's readers take.
    std::map<std::string, std::string> m_files;
    NameSetMap m_subs;

    void Index();
    // The structure's entry for the category; false when it needs none.
    bool EntryOf(const CCategory& category, StructureCategory& entry) const;
    void TakeFromSettings(const std::map<std::string, std::string>& defaults);
};
