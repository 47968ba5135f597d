// Reading a category file's bytes into samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/Sample.h"

// Where one sample's record lies in the file's bytes: from its first marker line to the
// end of its last, line end included.
struct RecordSpan {
    size_t begin;
    size_t end;
};

// Appends the samples of a category file's bytes to out, in file order, each record made
// where it stays, and (when spans is given) where each record lies. Returns nullptr when
// every byte was read; otherwise the position where the sequence broke (one of
// readpos::), with the samples before it in out. A large file is read on up to threads
// threads at once (0: as many as the machine has, at most 8).
const char* ParseSamples(std::string_view data, std::vector<std::unique_ptr<CSample>>& out,
                         std::vector<RecordSpan>* spans = nullptr, size_t threads = 0);
// The bytes of data after its last whole record (all of them when spans is empty): the
// part that a reading which broke off could not read.
std::string_view UnreadTail(std::string_view data, const std::vector<RecordSpan>& spans);

// Where a file's bytes come from, a piece at a time: up to room bytes at into, got saying
// how many (0 at the end of the file); false when they could not be read.
using ReadMore = std::function<bool(char* into, size_t room, size_t& got)>;
// What ParseSamplesInPieces found: what ParseSamples returns for the whole file, whether
// the file could not be read to its end (then nothing it found counts), and how many
// bytes it read.
struct PieceParse {
    const char* failedAt = nullptr;
    bool readFailed = false;
    std::uint64_t bytes = 0;
};
// ParseSamples over a file read a piece at a time: pieces of about piece bytes (more for
// a record that does not fit) in a buffer of their size, each parsed while it is still in
// the processor's cache. The spans are offsets in the file; record(k, bytes) is given
// the bytes of sample k's record while they are at hand. When the records broke off,
// tail (when given) receives the file's bytes after the last whole record.
PieceParse ParseSamplesInPieces(const ReadMore& more, size_t piece, std::vector<std::unique_ptr<CSample>>& out,
                                std::vector<RecordSpan>& spans,
                                const std::function<void(size_t, std::string_view)>& record, std::string* tail);
