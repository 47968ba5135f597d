// Writing samples in the category file format.
#pragma once

#include <string>

#include "library/Sample.h"

// Appends one sample exactly as a category file holds it (CR LF line ends). Returns
// whether the file gives the sample back as it is: false exactly when
// CheckSampleStorable finds a problem (the bytes appended then do not matter).
bool AppendSampleBytes(std::string& out, const CSample& sample);
