// Reading a category file's bytes into samples.
#pragma once

#include <cstddef>
#include <memory>
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
