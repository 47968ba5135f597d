// The benchmark's report: every figure by name, the targets, and the rows of its table.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace bench {

struct Figures {
    std::map<std::string, double> values; // every figure for the JSON line
    double Get(const std::string& k) const {
        auto it = values.find(k);
        return it == values.end() ? -1 : it->second;
    }
};

struct Target {
    std::string name;
    double ratio; // negative: not measured
    double limit;
    bool Met() const { return ratio >= 0 && ratio <= limit; }
};

// "12.3 ms", "123 ms"; "-" for a negative figure.
std::string Ms(double seconds);
std::string Mb(double bytes);
std::string Ratio(double r);
// a / b, or -1 when either was not measured.
double Div(double a, double b);
// One row of the table.
void Row(const std::string& what, const std::string& ours, const std::string& ref, double ratio,
         const std::string& target, const char* met);
const char* MetText(const Target& t);
// Every figure and target as one line of JSON on standard output.
void PrintJson(const Figures& fig, const std::vector<Target>& targets, bool haveRg, bool gui);

} // namespace bench
