// What the document needs of the library configuration, stated here so that the library
// does not depend on where the configuration is kept. The configuration implements it.
#pragma once

#include <map>
#include <set>
#include <string>

class CCategory;

using NameSet = std::set<std::string>;
using NameSetMap = std::map<std::string, NameSet>;

// The layout the document reads when it loads the library, and the changes of it that
// the document's edits make.
class ILibraryLayout {
public:
    virtual ~ILibraryLayout() = default;
    virtual bool IsCategoryShown(const std::string& category) const = 0;
    virtual bool IsSubcategoryShown(const std::string& category, const std::string& subcategory) const = 0;
    // The sub-categories the user added to a default category (nullptr when none).
    virtual const NameSet* CustomSubcategories(const std::string& category) const = 0;
    // The custom categories with the names of their files.
    virtual const std::map<std::string, std::string>& CustomCategoryFiles() const = 0;
    // The sub-categories of a custom category (nullptr when none).
    virtual const NameSet* CustomCategorySubcategories(const std::string& category) const = 0;
    // The language word chosen for a custom category ("" when none).
    virtual std::string CategoryLanguage(const std::string& category) const {
        (void)category;
        return std::string();
    }

    virtual void AddCustomSubcategory(const std::string& category, const std::string& subcategory) = 0;
    virtual void RemoveCustomSubcategory(const std::string& category, const std::string& subcategory) = 0;
    // The category is deleted: its custom sub-categories go with it.
    virtual void ForgetCategory(const std::string& category) = 0;
};

// Where each library save records the settings of every category: afterwards the stored
// configuration says exactly what the categories recorded in between hold.
class ILibraryRecorder {
public:
    virtual ~ILibraryRecorder() = default;
    virtual void BeginLibrarySave() = 0;
    virtual void RecordCategory(const CCategory& category) = 0;
    virtual void EndLibrarySave() = 0;
};

class ILibrarySettings : public ILibraryLayout, public ILibraryRecorder {};
