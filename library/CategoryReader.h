// Reading a category file's bytes into samples.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "library/Sample.h"

// Appends the samples of a category file's bytes to out, in file order, each record made
// where it stays. Returns nullptr when every byte was read; otherwise the position where
// the sequence broke (one of readpos::), with the samples before it in out.
const char* ParseSamples(std::string_view data, std::vector<std::unique_ptr<CSample>>& out);
