#include "bench/Report.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace bench {

std::string Ms(double seconds) {
    if (seconds < 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, seconds < 0.1 ? "%.1f ms" : "%.0f ms", seconds * 1000);
    return buf;
}

std::string Mb(double bytes) {
    if (bytes < 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", bytes / 1e6);
    return buf;
}

std::string Ratio(double r) {
    if (r < 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fx", r);
    return buf;
}

double Div(double a, double b) {
    return (a < 0 || b <= 0) ? -1 : a / b;
}

void Row(const std::string& what, const std::string& ours, const std::string& ref, double ratio,
         const std::string& target, const char* met) {
    std::printf("| %-44s | %10s | %-24s | %7s | %-7s | %-4s |\n", what.c_str(), ours.c_str(), ref.c_str(),
                Ratio(ratio).c_str(), target.c_str(), met);
}

const char* MetText(const Target& t) {
    return t.ratio < 0 ? "n/a" : (t.Met() ? "yes" : "NO");
}


void PrintJson(const Figures& fig, const std::vector<Target>& targets, bool haveRg, bool gui) {
    std::ostringstream json;
    json << "{";
    bool first = true;
    for (const auto& [k, value] : fig.values) {
        json << (first ? "" : ",") << "\"" << k << "\":";
        first = false;
        if (value == std::floor(value) && std::fabs(value) < 1e15)
            json << static_cast<long long>(value);
        else
            json << std::round(value * 1000) / 1000;
    }
    json << ",\"targets\":{";
    for (size_t i = 0; i < targets.size(); ++i) {
        const Target& t = targets[i];
        json << (i ? "," : "") << "\"" << t.name << "\":{\"ratio\":";
        if (t.ratio < 0)
            json << "null";
        else
            json << std::round(t.ratio * 1000) / 1000;
        json << ",\"limit\":" << t.limit
             << ",\"met\":" << (t.ratio < 0 ? "null" : (t.Met() ? "true" : "false")) << "}";
    }
    json << "},\"ripgrep\":" << (haveRg ? "true" : "false") << ",\"window\":" << (gui ? "true" : "false")
         << "}";
    std::printf("%s\n", json.str().c_str());
    std::fflush(stdout);
}

} // namespace bench
