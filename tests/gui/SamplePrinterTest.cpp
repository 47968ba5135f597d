// Printing: the placeholder page, a sample's pages, and the print dialogs.
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

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
    bool NewPage() {
        pages.emplace_back();
        return true;
    }
    // Every text drawn, in order, joined with "|".
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
    static constexpr int kHeight = 900;

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return kWidth;
        case PdmHeight:
            return kHeight;
        case PdmWidthMM:
            return 100;
        case PdmHeightMM:
            return 150;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 150;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    Engine m_engine;
};

CSample QuickSortSample(const std::string& text) {
    CSample s;
    s.SetTitle("Quick sort");
    s.SetCategory("C++");
    s.SetSubcategory("General");
    s.SetKeywords("sort, quick");
    s.SetComments("Sorts in place.\r\nAverage n log n.");
    s.SetText(text);
    return s;
}

bool Contains(const std::string& all, const std::string& part) {
    return all.find(part) != std::string::npos;
}

} // namespace

TEST(SamplePrinterTest, WithoutASampleOnePagePlaceholder) {
    TextRecorder device;
    CSamplePrinter printer(nullptr);
    EXPECT_EQ(printer.PrintPages(device, [&] { return device.NewPage(); }), 1);
    ASSERT_EQ(device.pages.size(), 1u);
    EXPECT_TRUE(Contains(device.All(), "PRINT"));
    EXPECT_TRUE(Contains(device.All(), "SUPPORTED"));
    EXPECT_STREQ(CSamplePrinter::kPlaceholder, "PRINT / PRINT PREVIEW NOT YET SUPPORTED");
}

TEST(SamplePrinterTest, ASampleWithItsFieldsAndText) {
    const CSample sample = QuickSortSample("int main() {\r\n\treturn 0;\r\n}\r\n");
    TextRecorder device;
    CSamplePrinter printer(&sample);
    EXPECT_EQ(printer.PrintPages(device, [&] { return device.NewPage(); }), 1);
    const std::string all = device.All();
    for (const char* part :
         {"Quick sort", "Category: C++", "Sub-category: General", "Keywords: sort, quick",
          "Comments:", "Sorts in place.", "Average n log n.", "int main() {", "return 0;", "}", "Page 1"})
        EXPECT_TRUE(Contains(all, part)) << part << " in " << all;
    EXPECT_FALSE(Contains(all, "PRINT / PRINT PREVIEW"));
    // In this order.
    EXPECT_LT(all.find("Quick sort"), all.find("Category: C++"));
    EXPECT_LT(all.find("Average n log n."), all.find("int main() {"));
}

TEST(SamplePrinterTest, LongLinesWrapAndLongTextsTakeMorePages) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text += std::string(400, 'x') + "\r\n"; // one line far wider than the page
    const CSample sample = QuickSortSample(text);
    TextRecorder device;
    CSamplePrinter printer(&sample);
    const int pages = printer.PrintPages(device, [&] { return device.NewPage(); });
    EXPECT_GT(pages, 2);
    EXPECT_EQ(static_cast<size_t>(pages), device.pages.size());
    const std::string all = device.All();
    EXPECT_TRUE(Contains(all, "line 0|"));
    EXPECT_TRUE(Contains(all, "line 299|"));
    EXPECT_TRUE(Contains(all, "Page " + std::to_string(pages)));
    // Nothing runs past the right edge: the long line was wrapped.
    EXPECT_LE(device.maxRight, TextRecorder::kWidth + 1);
    size_t xs = 0;
    for (const auto& page : device.pages)
        for (const auto& t : page)
            if (!t.empty() && t.find_first_not_of('x') == std::string::npos)
                xs += t.size();
    EXPECT_EQ(xs, 400u);
    // Every page after the first starts with the text, not the heading.
    EXPECT_EQ(device.pages[1].front().rfind("line ", 0), 0u);
}

TEST(SamplePrinterTest, PrintsToAPdf) {
    TempDir dir;
    const CSample sample = QuickSortSample("text\r\n");
    QPdfWriter pdf(QString::fromStdString(dir.File("out.pdf")));
    CSamplePrinter printer(&sample);
    EXPECT_EQ(printer.PrintPages(pdf), 1);
    EXPECT_EQ(ReadFileBytes(dir.File("out.pdf")).rfind("%PDF", 0), 0u);
}

TEST(SamplePrinterTest, PrintDialogCancelledPrintsNothing) {
    TempDir dir;
    bool asked = false;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        asked = qobject_cast<QPrintDialog*>(w) != nullptr;
        static_cast<QDialog*>(w)->reject();
    });
    CSamplePrinter printer(nullptr);
    EXPECT_FALSE(printer.Print(nullptr));
    EXPECT_TRUE(asked);
}

TEST(SamplePrinterTest, PrintDialogAcceptedPrintsToTheChosenFile) {
    TempDir dir;
    const std::string out = dir.File("printed.pdf");
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* p = qobject_cast<QPrintDialog*>(w);
        ASSERT_NE(p, nullptr);
        p->printer()->setOutputFormat(QPrinter::PdfFormat);
        p->printer()->setOutputFileName(QString::fromStdString(out));
        // Ends the dialog with OK as it is, without taking its fields into the printer.
        p->done(QDialog::Accepted);
    });
    const CSample sample = QuickSortSample("text\r\n");
    CSamplePrinter printer(&sample);
    EXPECT_TRUE(printer.Print(nullptr));
    EXPECT_EQ(ReadFileBytes(out).rfind("%PDF", 0), 0u);
}

TEST(SamplePrinterTest, PreviewDrawsThePages) {
    TempDir dir;
    int previews = 0;
    DialogScripts dialogs;
    dialogs.Then([&](QWidget* w) {
        auto* p = qobject_cast<QPrintPreviewDialog*>(w);
        ASSERT_NE(p, nullptr);
        // The preview asks for the pages when it is laid out; here they go to a file.
        QPrinter target(QPrinter::HighResolution);
        target.setOutputFormat(QPrinter::PdfFormat);
        target.setOutputFileName(QString::fromStdString(dir.File("preview.pdf")));
        emit p->paintRequested(&target);
        ++previews;
        p->accept();
    });
    CSamplePrinter printer(nullptr);
    printer.Preview(nullptr);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("preview.pdf")).rfind("%PDF", 0), 0u);
}
