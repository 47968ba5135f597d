// Printing: the placeholder page, and a sample's heading and text wrapped over its pages.
#include <QPaintEngine>

#include "GuiTestSupport.h"
#include "browser/SamplePrinter.h"

namespace {

// A page-sized device that records the text drawn on it, page by page.
class TextRecorder : public QPaintDevice {
public:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(TextRecorder& owner) : QPaintEngine(QPaintEngine::AllFeatures), m_owner(owner) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            m_owner.pages.back().push_back(item.text().toStdString());
            m_owner.maxRight = std::max(m_owner.maxRight, p.x() + item.width());
        }
        Type type() const override { return QPaintEngine::User; }

    private:
        TextRecorder& m_owner;
    };

    TextRecorder() : m_engine(*this) { pages.emplace_back(); }
    QPaintEngine* paintEngine() const override { return const_cast<Engine*>(&m_engine); }
    int Print(const CSample* sample) {
        return CSamplePrinter(sample).PrintPages(*this, [this] { return pages.emplace_back(), true; });
    }
    // Every text drawn, in order, each followed by "|".
    std::string All() const {
        std::string s;
        for (const auto& page : pages)
            for (const auto& t : page)
                s += t + "|";
        return s;
    }

    std::vector<std::vector<std::string>> pages;
    qreal maxRight = 0;
    static constexpr int kWidth = 600; // 100 mm at 150 dpi, about

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return kWidth;
        case PdmHeight: return 900;
        case PdmWidthMM: return 100;
        case PdmHeightMM: return 150;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 150;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    Engine m_engine;
};

CSample QuickSort(const std::string& text) {
    return MakeSample("Quick sort", "C++", "General", "sort, quick", "Sorts in place.\r\nAverage n log n.", text);
}

} // namespace

TEST(SamplePrinterTest, LongLinesWrapLongTextsTakeMorePagesAndNoSampleOnePage) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text += std::string(400, 'x') + "\r\n"; // one line far wider than the page
    const CSample sample = QuickSort(text);
    TextRecorder device;
    const int pages = device.Print(&sample);
    EXPECT_GT(pages, 2);
    EXPECT_EQ(static_cast<size_t>(pages), device.pages.size());
    const std::string all = device.All();
    EXPECT_LT(all.find("Average n log n."), all.find("line 0|")); // the heading first
    EXPECT_NE(all.find("line 0|"), std::string::npos);
    EXPECT_NE(all.find("line 299|"), std::string::npos);
    EXPECT_NE(all.find("Page " + std::to_string(pages)), std::string::npos);
    // Nothing runs past the right edge, and no x is lost to the wrapping.
    EXPECT_LE(device.maxRight, TextRecorder::kWidth + 1);
    size_t xs = 0;
    for (const auto& page : device.pages)
        for (const auto& t : page)
            if (!t.empty() && t.find_first_not_of('x') == std::string::npos)
                xs += t.size();
    EXPECT_EQ(xs, 400u);
    // Every page after the first starts with the text, not the heading.
    EXPECT_EQ(device.pages[1].front().rfind("line ", 0), 0u);
    // Without a sample: one placeholder page.
    TextRecorder none;
    EXPECT_EQ(none.Print(nullptr), 1);
    EXPECT_NE(none.All().find("SUPPORTED"), std::string::npos);
}
