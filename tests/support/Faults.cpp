#include "support/Faults.h"

#include <vector>

namespace fileio {

namespace {

constexpr int kOpCount = static_cast<int>(Op::Lock) + 1;

struct ArmedFault {
    int skip;
    int cause;
};

std::vector<ArmedFault> g_faults[kOpCount];
bool g_writeLimitArmed = false;
std::uint64_t g_writeBudget = 0;
int g_writeLimitCause = kDiskFull;

// Every armed fault of the operation counts this call; the first one whose count has
// run out fires.
int Hook(const FaultPoint& point, std::size_t& landed) {
    auto& list = g_faults[static_cast<int>(point.op)];
    int fired = kNone;
    std::vector<ArmedFault> kept;
    for (const ArmedFault& f : list) {
        if (f.skip == 0 && fired == kNone)
            fired = f.cause;
        else
            kept.push_back({f.skip > 0 ? f.skip - 1 : 0, f.cause});
    }
    list.swap(kept);
    if (fired != kNone) {
        landed = 0;
        return fired;
    }
    if (point.op == Op::Write && g_writeLimitArmed) {
        if (point.size > g_writeBudget) {
            g_writeLimitArmed = false;
            landed = static_cast<std::size_t>(g_writeBudget);
            return g_writeLimitCause;
        }
        g_writeBudget -= point.size;
    }
    return kNone;
}

} // namespace

void Faults::FailNext(Op op, int cause, int skip) {
    SetFaultHook(Hook);
    g_faults[static_cast<int>(op)].push_back({skip < 0 ? 0 : skip, cause});
}

void Faults::FailWritesAfter(std::uint64_t bytes, int cause) {
    SetFaultHook(Hook);
    g_writeLimitArmed = true;
    g_writeBudget = bytes;
    g_writeLimitCause = cause;
}

void Faults::Clear() {
    for (auto& list : g_faults)
        list.clear();
    g_writeLimitArmed = false;
    g_writeBudget = 0;
    SetFaultHook(nullptr);
}

} // namespace fileio
