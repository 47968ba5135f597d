// CPendingChanges: what the library has changed in each category file since it last read
// or wrote that file, with each changed sample as the file held it then. When the file
// has been changed by another program meanwhile, this tells its changes from ours.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "library/Sample.h"

class CPendingChanges {
public:
    // The sample, as the category's file holds it, is about to change or leave it.
    // Only the first change since the file was read or written is remembered.
    void Changing(const std::string& category, const CSample& asInFile);
    // A sample of this title is about to come into the category (added, moved in).
    void Arriving(const std::string& category, const std::string& title);
    // nullptr when the title has not changed in the category; otherwise the sample as
    // the file held it (no value: the file did not hold it).
    const std::optional<CSample>* Find(const std::string& category, const std::string& title) const;
    // The titles changed in the category since its file was last read or written.
    std::vector<std::string> Titles(const std::string& category) const;
    bool Any(const std::string& category) const { return m_byCategory.count(category) > 0; }
    // The category's file now holds what the library holds.
    void Synced(const std::string& category) { m_byCategory.erase(category); }

private:
    std::map<std::string, std::map<std::string, std::optional<CSample>>> m_byCategory;
};
