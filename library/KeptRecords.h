// CKeptRecords: sample records that stay in the category file they were read from
// although the library does not hold them there: load errors (a duplicate title, a
// sample without a place in the tree) until the user corrects or discards them, and
// samples filed in another category's file until their own category's file holds them.
// A rewrite of a category file writes its kept records after the library's samples,
// byte for byte as they were read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

class CKeptRecords {
public:
    struct Record {
        std::uint64_t id = 0;
        std::string bytes; // the record as the file held it, its last line end included
        // A title the library holds: the record leaves its file once that sample has
        // been written to its own category's file. Empty: it stays until dropped.
        std::string movesTo;
    };

    // Keeps a record in the file of category; returns its id (never 0).
    std::uint64_t Keep(const std::string& category, std::string bytes, const std::string& movesTo = {});
    // The records kept in the file of category, in the order they were kept.
    const std::vector<Record>& Of(const std::string& category) const;
    bool Any() const { return !m_byCategory.empty(); }

    // Lets the record leave its file now; the category whose file held it (empty when
    // there is no such record).
    std::string Drop(std::uint64_t id);
    // The record leaves its file once the library's sample of this title is in its own
    // category's file. False when there is no such record.
    bool MoveTo(std::uint64_t id, const std::string& title);
    // The user deleted the sample of this title: records waiting for it leave their
    // files. The categories whose files held them.
    std::vector<std::string> DropMovesTo(const std::string& title);
    // The sample of this title was renamed: records waiting for it wait for the new title.
    void RenameMoves(const std::string& from, const std::string& to);
    // The first record waiting for this title waits no more and stays where it is; its
    // id, or 0 when none waits.
    std::uint64_t StopWaiting(const std::string& title);
    // True when a record waits for the sample of this title.
    bool IsWaitedFor(const std::string& title) const { return m_waitingFor.count(title) > 0; }
    // The titles records are waiting for.
    std::vector<std::string> WaitingTitles() const;
    // The samples of these titles are in their own category's files now: the records
    // waiting for them leave their files. The categories whose files held them.
    std::vector<std::string> CompleteMoves(const std::vector<std::string>& titles);

    // The part of the category's file that could not be read (from the record where
    // reading stopped to the end of the file): written back last, byte for byte, so it
    // stays on disk in its own file until the file reads to its end. Empty: none.
    void SetUnreadable(const std::string& category, std::string bytes);
    const std::string& Unreadable(const std::string& category) const;
    // The category's file keeps anything besides the library's samples.
    bool AnyFor(const std::string& category) const { return !Of(category).empty() || !Unreadable(category).empty(); }

private:
    std::map<std::string, std::string> m_unreadable;
    std::map<std::string, std::vector<Record>> m_byCategory;
    std::unordered_map<std::uint64_t, std::string> m_categoryOf;         // id to category
    std::unordered_multimap<std::string, std::uint64_t> m_waitingFor;    // title to ids
    std::uint64_t m_nextId = 1;

    Record* Find(std::uint64_t id);
    std::string Erase(std::uint64_t id);
};
