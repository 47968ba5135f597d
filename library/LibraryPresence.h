// Whether a folder holds a library already, so that the window asks before it makes one
// in a folder the user may have chosen by mistake.
#pragma once

#include <string>

// The name part of a category file's usual name: "quorrin<name>.txt" gives name; any other
// file name gives "".
std::string CategoryNameFromFileName(const std::string& fileName);

// True when the folder holds the library's structure file or a category file of the
// usual name ("quorrin<name>.txt", a sync tool's copy of one included).
bool HoldsLibrary(const std::string& folder);
