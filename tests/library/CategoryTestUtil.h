// Helpers shared by the category file tests.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "library/Category.h"
#include "base/FileLayer.h"
#include "library/LoadErrorList.h"
#include "library/Sample.h"
#include "support/TestSupport.h"

inline std::string Fixture(const std::string& name) {
    return std::string(TINDREL_TEST_DATA) + "/category/" + name;
}

inline bool SameSample(const CSample& a, const CSample& b) {
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && a.Keywords() == b.Keywords() &&
           a.GetComments() == b.GetComments() && a.GetText() == b.GetText() &&
           a.GetLoadErrorReason() == b.GetLoadErrorReason();
}

// A category whose file is the given name in the current folder.
inline CCategory CategoryFor(const std::string& fileName) {
    CCategory c("Tools");
    c.SetFileName(fileName);
    return c;
}

using SampleMap = std::map<std::string, std::unique_ptr<CSample>>;

// Reads the opened category's file into map, the first sample of a title winning and
// the others going to errors as duplicates.
inline bool ReadInto(CCategory& c, SampleMap& map, CLoadErrorList& errors) {
    std::vector<std::unique_ptr<CSample>> list;
    const bool complete = c.ReadSampleList(list);
    for (auto& sample : list) {
        if (map.count(sample->GetTitle())) {
            sample->SetLoadErrorReason(kReasonDuplicate);
            errors.Add(*sample);
        } else {
            std::string title = sample->GetTitle();
            map.emplace(std::move(title), std::move(sample));
        }
    }
    return complete;
}

struct ReadResult {
    bool opened = false;
    bool complete = false;
    bool incomplete = false; // ReadIncomplete() afterwards
    SampleMap samples;
    CLoadErrorList errors;
};

inline ReadResult ReadCategoryFile(const std::string& fileName) {
    ReadResult r;
    CCategory c = CategoryFor(fileName);
    r.opened = c.OpenFile();
    if (r.opened) {
        r.complete = ReadInto(c, r.samples, r.errors);
        r.incomplete = c.ReadIncomplete();
        c.CloseFile();
    }
    return r;
}

// Saves the samples as one category save does: open, empty, write each, close.
inline bool SaveCategoryFile(CCategory& c, const std::vector<CSample>& samples) {
    if (!c.OpenFile())
        return false;
    c.EmptyFile();
    for (const auto& s : samples)
        c.WriteSample(s);
    return c.CloseFile();
}

inline bool SaveCategoryFile(const std::string& fileName, const std::vector<CSample>& samples) {
    CCategory c = CategoryFor(fileName);
    return SaveCategoryFile(c, samples);
}

// Clears armed faults when a test ends, whatever happened.
struct FaultGuard {
    FaultGuard() { fileio::Faults::Clear(); }
    ~FaultGuard() { fileio::Faults::Clear(); }
};
