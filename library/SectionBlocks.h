// A section's lines made into its value 64 bytes at a time, for sections whose every
// line end has a CR before its LF (the program writes its files so).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sectionblocks {

// Whether this processor can do it; otherwise SectionValue always declines.
bool Available();

// What SectionValue found.
struct Found {
    enum Kind { Value, NoEnd, Declined } kind = Declined;
    size_t length = 0;   // Value: the value's length, at the start of scratch
    size_t markerAt = 0; // Value: where in rest the LF before the end marker line is
};

// Reads the section that starts rest (a file's bytes from the line after the begin
// marker to its end) up to the first line after the first that is exactly the end
// marker (lfEnd is the marker with an LF before it; the line ends in LF, CR LF or at the
// end of rest), and writes its value into scratch by the line rule: a CR before the LF
// belongs to the line end; then a line ending in CR gets LF, another non-empty line
// CR LF, an empty line nothing. NoEnd when there is no such line. Declined when a
// non-empty line before it ends in LF alone, which would need a CR added: the caller
// then reads the section line by line.
Found SectionValue(std::string_view rest, std::string_view lfEnd, std::string& scratch);

} // namespace sectionblocks
