// Faults armed for the file layer through its one hook. Each armed fault fires once.
#pragma once

#include <cstdint>

#include "base/FileLayer.h"

namespace fileio {

struct Faults {
    // The (skip+1)-th next call of op fails with cause.
    static void FailNext(Op op, int cause, int skip = 0);
    // Writes fail with cause once this many more bytes have been written; the bytes
    // before the limit land.
    static void FailWritesAfter(std::uint64_t bytes, int cause = kDiskFull);
    static void Clear();
};

} // namespace fileio
