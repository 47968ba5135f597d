// The Library Info report: category and sample counts, and per category a summary
// line or a detailed block. Line ends are CR LF.
#pragma once

#include <string>

class CQuorrinDoc;

constexpr int kReportSummary = 0;
constexpr int kReportDetail = 1;

// kind 0 Summary, 1 Detail. A library without categories gives
// "No categories exist in the library\n" alone.
std::string BuildReport(const CQuorrinDoc& doc, int kind);
