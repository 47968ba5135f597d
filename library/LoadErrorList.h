// CLoadErrorList: samples that were read but could not be placed in the library.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "library/Sample.h"

class CLoadErrorList {
public:
    // Stores a copy; a title already in the store gets "-N" from the rename counter.
    // origin ties the record to where it is kept on disk (0: nowhere).
    bool Add(const CSample& sample, std::uint64_t origin = 0);
    bool Remove(const std::string& title);
    int GetCount() const { return static_cast<int>(m_records.size()); }
    // Removes the record with this origin; false when there is none.
    bool RemoveOrigin(std::uint64_t origin);
    // The origin of the record Remove would take for this title; 0 when none.
    std::uint64_t OriginOf(const std::string& title) const;

    // A walk with its own cursor. Records stay in the order they were added; a cursor
    // stays valid when other records are removed while it walks.
    class Cursor {
    public:
        Cursor() = default;

    private:
        friend class CLoadErrorList;
        unsigned long long m_lastId = 0;
    };
    bool GetFirst(CSample& out, Cursor& cursor) const;
    bool GetNext(CSample& out, Cursor& cursor) const;
    // Direct read access for exports and lists.
    template <class F> void ForEach(F&& f) const {
        for (const auto& r : m_records)
            f(r.second.sample);
    }

    // The record the Load Errors dialog is working on.
    CSample& Staged() { return m_staged; }

    // Export bookkeeping.
    std::string& ExportPath() { return m_exportPath; }
    int& RecordsWritten() { return m_recordsWritten; }

private:
    // Records by id, so the store order is the order of adding; the title index
    // keeps Add and Remove logarithmic however many records there are.
    struct Record {
        CSample sample;
        std::uint64_t origin;
    };
    std::map<unsigned long long, Record> m_records;
    std::map<std::string, std::set<unsigned long long>> m_byTitle;
    unsigned long long m_nextId = 1;
    int m_renameCounter = 0;
    CSample m_staged;
    std::string m_exportPath;
    int m_recordsWritten = 0;
};
