#include "library/LibraryReport.h"

#include <map>
#include <vector>

#include "base/Messenger.h"
#include "library/QuorrinDoc.h"

std::string BuildReport(const CQuorrinDoc& doc, int kind) {
    if (doc.GetCategoryCount() == 0)
        return "No categories exist in the library\n";

    // One pass over the samples: each category's samples in title order. A sample whose
    // category is not exactly a category name is counted nowhere.
    std::map<std::string, std::vector<const CSample*>> byCategory;
    for (const auto& [name, category] : doc.Categories())
        byCategory.emplace(name, std::vector<const CSample*>());
    for (const auto& [title, sample] : doc.Samples()) {
        auto it = byCategory.find(sample->GetCategory());
        if (it != byCategory.end())
            it->second.push_back(sample.get());
    }

    std::string report = StrFormat("Library contains %d categories with a total of %d sample(s).\r\n\r\n",
                                   doc.GetCategoryCount(), doc.GetSampleCount());
    report += "Category statistics:\r\n\r\n";

    for (const auto& [name, categoryPtr] : doc.Categories()) {
        const CCategory& category = *categoryPtr;
        const std::vector<const CSample*>& samples = byCategory[name];
        const int n = static_cast<int>(samples.size());
        if (kind != kReportDetail) {
            report += "\tName: " + name + "\tSample count: " + std::to_string(n) + "\r\n";
            continue;
        }
        if (n == 1)
            report += "Category: " + name + "  (1 sample)\r\n";
        else
            report += "Category: " + name + "  (" + std::to_string(n) + " samples)\r\n";
        report += "\tFile name:  " + category.GetFileName() + "\r\n";
        report += std::string("\tDefault type?  ") + (category.IsDefault() ? "yes" : "no") + "\r\n";
        report += std::string("\tDisplayed?  ") + (category.IsDisplayed() ? "yes" : "no") + "\r\n";
        if (category.IsDefault()) {
            std::string hidden;
            for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
                if (!category.Slot(slot).inUse)
                    hidden += "\"" + category.Slot(slot).name + "\" ";
            }
            if (hidden.empty())
                hidden = "(none hidden)";
            report += "\tHidden default sub-categories: " + hidden + "\r\n";
        }
        if (n > 0)
            report += "\tSamples for \"" + name + "\" : \r\n";
        int k = 0;
        for (const CSample* sample : samples) {
            report += "\t" + std::to_string(++k) + ". Title: ";
            report += sample->GetTitle();
            report += "\r\n\t\tSub-category: ";
            report += sample->GetSubcategory();
            report += "\r\n\r\n";
        }
        report += "\t- - - - - - - - - - - - - - -\r\n";
    }
    return report;
}
