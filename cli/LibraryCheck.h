// Whether the folder a reading command works on holds a library at all.
#pragma once

#include <iosfwd>

namespace cli {

struct Library;

// True when the folder holds a category file, the structure file or library.txt;
// otherwise says on err that there is no library there and how to name one, and the
// command ends with exit status 1.
bool LibraryIsHere(const Library& library, std::ostream& err);

} // namespace cli
