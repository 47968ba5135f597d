// Shared pieces of the document tests: a library in a temporary folder with an
// in-memory configuration, a recording view, and sample builders.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/FileLayer.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/Category.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "support/TestSupport.h"

// Every field but the load-error reason is the same.
inline bool SameRecord(const CSample& a, const CSample& b) {
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && a.Keywords() == b.Keywords() &&
           a.GetComments() == b.GetComments() && a.GetText() == b.GetText();
}

struct RecordingView : IDocumentView {
    std::vector<std::string> calls;
    void OnDocumentClosing() override { calls.push_back("closing"); }
    void OnDocumentSaved() override { calls.push_back("saved"); }
    void OnStagedSampleAdded() override { calls.push_back("staged"); }
    void OnLoadErrorsEmptied() override { calls.push_back("emptied"); }
    void OnLibraryChangedOutside() override { calls.push_back("outside"); }
    void OnCategoriesChangedOutside(const std::vector<OutsideChange>& changes) override {
        calls.push_back("outside");
        for (const OutsideChange& change : changes)
            outside.push_back(change.category + ": " + change.text);
    }
    std::vector<std::string> outside; // what each outside change did, as told
};

// A temporary library folder with its own configuration store, load-error store and
// document. The document is created by Load() and destroyed by Close() (or at the end).
class DocFixture : public ::testing::Test {
protected:
    explicit DocFixture(bool inMemory = false) : dir(inMemory), config(store) {}
    ~DocFixture() override {
        doc.reset();
        fileio::Faults::Clear();
    }

    void Load(LoadMode mode = LoadMode::Normal) {
        config.LoadProfile();
        doc = std::make_unique<CQuorrinDoc>(config, errors);
        doc->SetView(&view);
        doc->SetMessageSink(&sink);
        ASSERT_TRUE(doc->OnNewDocument(mode));
    }
    // The owner's close: the last save, then the document goes.
    void Close() {
        if (doc)
            doc->SaveAtClose();
        doc.reset();
    }

    // A custom category in the configuration, as the program's last save left it (with
    // its file, empty unless the test wrote it).
    void ConfigureCustom(const std::string& name, const std::string& file,
                         const std::vector<std::string>& subs) {
        if (IsPlainFileName(file) && !fileio::FileExists(file))
            WriteFileBytes(file, "");
        store.PutKey(AppPath({"CustomCats", name}));
        store.PutValue(AppPath({"CustomCats", name}), "FileName", MemoryKeyStore::Value{false, file, 0});
        for (const std::string& sub : subs)
            store.PutKey(AppPath({"CustomCats", name, sub}));
    }

    bool Add(const CSample& sample) { return doc->AddSample(std::make_unique<CSample>(sample)); }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const auto& [title, sample] : doc->Samples())
            titles.push_back(sample->GetTitle());
        return titles;
    }
    std::vector<std::string> ChangedCategories() const {
        std::vector<std::string> names;
        for (const auto& [name, category] : doc->Categories())
            if (category->IsChanged())
                names.push_back(name);
        return names;
    }
    void ClearChanged() {
        for (const auto& [name, category] : doc->Categories())
            category->SetChanged(false);
    }
    std::vector<std::string> ErrorTitles() const {
        std::vector<std::string> titles;
        errors.ForEach([&](const CSample& s) { titles.push_back(s.GetTitle()); });
        return titles;
    }

    TempDir dir;
    RecordingMessenger messages;
    MemoryKeyStore store;
    CLibraryConfig config;
    CLoadErrorList errors;
    RecordingView view;
    SeamSink sink;
    std::unique_ptr<CQuorrinDoc> doc;
};
