// Finding a run of bytes in a longer one, at the speed of the C library's search where
// it has one (std::string_view::find compares at every place the first byte occurs).
#pragma once

#include <cstring>
#include <string_view>

// Offset of the first needle (non-empty) at or after from in haystack; npos if none.
inline size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from = 0) {
    if (from > haystack.size())
        return std::string_view::npos;
#ifdef __GLIBC__
    const void* hit = memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - haystack.data())
               : std::string_view::npos;
#else
    return haystack.find(needle, from);
#endif
}
