// The boundary between file writes. A program that is asked to end at once (a second
// Ctrl+C while it is closing) must not end halfway through replacing a file: it ends at
// once when no write is under way, else as soon as the write under way is complete.
// WriteFileAtomically is one write from its temporary file to its folder's sync.
#pragma once

namespace fileio {

// Ends the program through signal sig's default action (it must be one whose default
// action ends the program) as soon as no write is under way. Safe in a signal handler
// and on any thread.
void EndAfterWrites(int sig);

// Held for the length of one write; a write that would start after the end was asked
// for ends the program instead.
class WriteSection {
public:
    WriteSection();
    ~WriteSection();
    WriteSection(const WriteSection&) = delete;
    WriteSection& operator=(const WriteSection&) = delete;
};

} // namespace fileio
