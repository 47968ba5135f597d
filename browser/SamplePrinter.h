// Printing and print preview. With a sample, its title, category, sub-category,
// keywords and comments head the first page and its text follows in a fixed-width
// font, wrapped at the page's width, over as many pages as it needs. Without a sample
// a single page carries the placeholder text.
#pragma once

#include <functional>
#include <string>

class CSample;
class QPaintDevice;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

class CSamplePrinter {
public:
    // The sample to print, or nullptr for the placeholder page.
    explicit CSamplePrinter(const CSample* sample);
    ~CSamplePrinter();
    CSamplePrinter(const CSamplePrinter&) = delete;
    CSamplePrinter& operator=(const CSamplePrinter&) = delete;

    // Draws every page onto the device; the number of pages, 0 when the device cannot
    // be painted on.
    int PrintPages(QPagedPaintDevice& device) const;
    // The same onto any device; newPage moves it to a fresh page (false: no more pages).
    int PrintPages(QPaintDevice& device, const std::function<bool()>& newPage) const;

    // The print dialog, then printing; false when cancelled or nothing was printed.
    bool Print(QWidget* parent) const;
    // The print preview window (from which the user may print).
    void Preview(QWidget* parent) const;

    static constexpr const char* kPlaceholder = "PRINT / PRINT PREVIEW NOT YET SUPPORTED";

private:
    const CSample* m_sample;
};
