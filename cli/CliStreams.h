// The streams a command of tindrel-cli works with, and its exit statuses.
#pragma once

#include <iosfwd>

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitError = 1; // a failure, a refused add, or (check) load errors exist
constexpr int kExitUsage = 2; // bad command line

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

} // namespace cli
