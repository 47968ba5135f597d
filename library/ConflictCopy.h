// Sync tools' conflict copies: when two machines change one file before the sync tool
// has passed the change on, the tool keeps the other machine's version beside the file
// under a name of its own. The library merges such a copy of a category file or of its
// structure file into the file it copies, then sets the copy aside in a folder of its own.
#pragma once

#include <string>

// The sub-folder of the library folder where merged copies are kept (never loaded).
inline constexpr const char* kMergedCopiesFolder = "tindrel-merged-copies";

// The name of the file a conflict copy copies, from the copy's name; "" when the name is
// not one a sync tool gives its copies:
//   <base>.sync-conflict-<YYYYMMDD>-<HHMMSS>-<device>.<ext>
//   <base> (conflicted copy <date> <time>).<ext>
//   <base> (<who>'s conflicted copy <date>).<ext>
std::string ConflictCopyOriginal(const std::string& fileName);
