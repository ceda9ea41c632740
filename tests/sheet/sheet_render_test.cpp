// The written files as a reviewer reads them: the PDF through pdftotext,
// pdffonts and pdfinfo (poppler-utils), the ODT's XML through unzip.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "network.h"
#include "page_painter.h"
#include "pipe_catalog.h"
#include "segment_sheet.h"
#include "sheet_files.h"
#include "sheet_text.h"
#include "table_sheet.h"
#include "text_document.h"

namespace gaspipe::sheet {
namespace {

using test::Squeezed;

class SheetFileTest : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
    void Write(const Document& doc, const std::string& path) const {
        std::string error;
        ASSERT_TRUE(WriteSheetFile(doc, path, error)) << error;
    }
    static std::string PdfText(const std::string& path) {
        return Squeezed(test::Run("pdftotext '" + path + "' -"));
    }
    static std::string OdtText(const std::string& path) {
        return Squeezed(test::Run("unzip -p '" + path + "' content.xml | sed 's/<[^>]*>//g'"));
    }
    static void ExpectAll(const std::string& text, std::initializer_list<const char*> wanted) {
        for (const char* w : wanted) EXPECT_NE(text.find(Squeezed(w)), std::string::npos) << w;
    }

    QTemporaryDir dir_;
};

Document WorkedExample() {
    SegmentSheet s;
    hydraulics::SegmentInput in;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = 100, in.length = 1000, in.flow = 500, in.inlet = 5;
    s.trace = hydraulics::Calculate(in, {});
    s.project = {"某小区燃气工程",     "RQ-2024-015",    "施工图设计", "2024-05-06", "",
                 "某市燃气设计研究院", "JS-2024-015-01", "A"};
    s.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
    s.limits.maxDrop = 0.3;
    return BuildSegmentSheet(s);
}

const char* const kWorkedExample[] = {"某小区燃气工程", "RQ-2024-015", "单管段计算程序", "0.7247",
                                      "14.5",           "288",         "1000",           "500",
                                      "26234",          "0.02693",     "4.96627",        "107.555",
                                      "0.71862",        "4.92761",     "7.239",          "4.928",
                                      "0.719",          "3.804",       "3.834",          "满足"};

TEST_F(SheetFileTest, PdfCarriesTheWorkingWithEmbeddedFontsAndNumberedPages) {
    const std::string pdf = Path("segment.pdf");
    Write(WorkedExample(), pdf);
    const std::string text = PdfText(pdf);
    for (const char* w : kWorkedExample) EXPECT_NE(text.find(w), std::string::npos) << w;

    const std::string info = test::Run("pdfinfo '" + pdf + "'");
    const std::string total =
        test::Run("pdfinfo '" + pdf + "' | sed -n 's/^Pages: *//p' | tr -d '\\n'");
    ASSERT_FALSE(total.empty()) << info;
    EXPECT_NE(text.find("第1页共" + total + "页"), std::string::npos);
    EXPECT_NE(text.find("第" + total + "页共" + total + "页"), std::string::npos);
    EXPECT_NE(info.find("A4"), std::string::npos);

    // Every font embedded: the "emb" column says yes on each font's line.
    const std::string fonts = test::Run("pdffonts '" + pdf + "' | tail -n +3");
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(test::Run("pdffonts '" + pdf + "' | tail -n +3 | awk '$(NF-4) != \"yes\"'"), "")
        << fonts;
}

TEST_F(SheetFileTest, TableSheetInEveryFormat) {
    const auto read = network::LoadCase(GASPIPE_EXAMPLES "/courtyard-medium.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const auto catalog = network::PipeCatalog::Read(ini, *read.value);
    network::Network net(catalog);
    ASSERT_TRUE(net.Load(*read.value));
    TableSheet options;
    options.project = CaseProject(*read.value);
    options.catalog = &catalog;
    const Document doc = BuildTableSheet(*read.value, net, options);

    // PDF: the table on landscape pages, the chart as an image.
    const std::string pdf = Path("line.pdf");
    Write(doc, pdf);
    const std::string text = PdfText(pdf);
    for (const auto& s : read.value->segments) EXPECT_NE(text.find(s.id), std::string::npos);
    ExpectAll(text,
              {"示例：小区中压庭院管网", "管段 干1 详细计算", "2.99924", "全部管段均满足要求"});
    EXPECT_NE(test::Run("pdfinfo -f 1 -l 99 '" + pdf + "'").find("842 x 595"), std::string::npos);
    EXPECT_NE(test::Run("pdfimages -list '" + pdf + "'").find("image"), std::string::npos);

    // ODT: the same text in its XML, the chart a PNG picture in it.
    const std::string odt = Path("line.odt");
    Write(doc, odt);
    ExpectAll(OdtText(odt), {"管网水力计算表", "管段 干1 详细计算", "2.99924", "8.09"});
    EXPECT_NE(test::Run("unzip -p '" + odt + "' content.xml")
                  .find("<draw:image><office:binary-data>iVBOR"),
              std::string::npos);

    // HTML: the chart inline.
    const std::string html = Path("line.html");
    Write(doc, html);
    std::ifstream in(html);
    const std::string page((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(page.find("<svg"), std::string::npos);
}

// The PDF's faces come from fonts/ beside the program on every system, not
// from whatever the system has installed.
TEST(ShippedFonts, AreLoadedFromBesideTheProgram) {
    const QStringList& families = detail::LoadShippedFonts();
    for (const char* family : {"DejaVu Serif", "DejaVu Sans", "AR PL UMing CN", "WenQuanYi Zen Hei"})
        EXPECT_TRUE(families.contains(QString::fromLatin1(family))) << family << " is not among "
                                                                    << families.join(", ").toStdString();
}

// The sketch comes before the table, drawn as text a reader can search in
// the PDF and inline in the HTML: segment ids, pipes and end loads as the
// case files give them.
TEST_F(SheetFileTest, SketchBeforeTheTableInThePdfAndTheHtml) {
    const struct {
        const char* file;
        std::vector<const char*> labels;
    } examples[] = {
        {"building-riser.gpcase", {"进户（气源）", "DN25L=8m", "6-2", "DN15L=3.5m", "N=1户"}},
        {"courtyard-medium.gpcase", {"接口（气源）", "dn110L=80m", "支6", "1#楼", "120m³/h"}},
    };
    for (const auto& example : examples) {
        SCOPED_TRACE(example.file);
        const test::SolvedExample line(example.file);
        ASSERT_TRUE(line.ok) << line.read.error;
        const Document doc = BuildTableSheet(line.c(), line.net, {});

        const std::string pdf = Path("line.pdf");
        Write(doc, pdf);
        const std::string text = PdfText(pdf);
        const std::size_t sketch = text.find("图4-1计算简图"),
                          table = text.find("表5-1管网水力计算表");
        ASSERT_NE(sketch, std::string::npos);
        ASSERT_NE(table, std::string::npos);
        EXPECT_LT(sketch, table);
        // The labels are on the sketch's pages, between the chapter and its caption.
        const std::size_t chapter = text.find("四、计算简图");
        for (const char* label : example.labels) {
            const std::size_t at = text.find(label, chapter);
            EXPECT_LT(at, sketch) << label;
        }

        const std::string html = Path("line.html");
        Write(doc, html);
        std::ifstream in(html);
        const std::string page((std::istreambuf_iterator<char>(in)), {});
        const std::size_t figure = page.find("<figure class=\"sketch\"><svg");
        ASSERT_NE(figure, std::string::npos);
        EXPECT_LT(figure, page.find("管网水力计算表"));
        for (const char* label : {example.labels[0], example.labels[2]})
            EXPECT_NE(page.find(std::string(">") + label + "<", figure), std::string::npos)
                << label;
    }
}

// The running header holds the project name on the left and its number on the
// right: however long both are, they are cut short, never printed over each
// other (pdftotext's word boxes of the header line do not overlap).
TEST_F(SheetFileTest, ALongProjectNameAndNumberNeverOverlapInTheRunningHeader) {
    SegmentSheet s;
    hydraulics::SegmentInput in;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = 100, in.length = 1000, in.flow = 500, in.inlet = 5;
    s.trace = hydraulics::Calculate(in, {});
    std::string name;
    for (int i = 0; i < 12; ++i) name += "某市某区某街道燃气";
    s.project = {name, "RQ-2024-" + std::string(120, '7'), "施工图设计", "", "", "", "", ""};
    s.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
    const std::string pdf = Path("long-header.pdf");
    Write(BuildSegmentSheet(s), pdf);
    // Words above the text area (27 mm = 76.5 pt from the top) of page 2, as
    // "xMin xMax", left to right.
    const std::string boxes = test::Run(
        "pdftotext -f 2 -l 2 -bbox '" + pdf +
        "' - | sed -n 's/.*xMin=\"\\([0-9.]*\\)\" yMin=\"[0-9.]*\" xMax=\"\\([0-9.]*\\)\" "
        "yMax=\"\\([0-9.]*\\)\">\\(.*\\)<\\/word>/\\3 \\1 \\2 \\4/p' | awk '$1 < 76.5 {print $2, "
        "$3, $4}' | sort -n");
    std::istringstream lines(boxes);
    double previousEnd = 0;
    int words = 0;
    std::string text, all;
    for (double begin = 0, end = 0; lines >> begin >> end && std::getline(lines, text); ++words) {
        EXPECT_GE(begin, previousEnd - 0.01) << "overlapping header words:\n" << boxes;
        previousEnd = end;
        all += text;
    }
    EXPECT_GE(words, 2) << boxes;
    EXPECT_NE(all.find("某市某区"), std::string::npos) << all;
    EXPECT_NE(all.find("工程编号"), std::string::npos) << all;
    EXPECT_NE(all.find("…"), std::string::npos) << "elided: " << all;
}

std::string Node(int n) {
    std::string name = "N";
    return name += std::to_string(n);
}

// A line of 120 pipes in a row, long enough for its table to go on over
// several pages, with a velocity limit that some pipes break.
network::Case LongLine() {
    network::Case c;
    c.gas = {"天然气", 0.7247, 14.5, 288, {}};
    c.pressureClass = "低压";
    c.source = {"N0", 3000, 0, {}};
    c.limits.maxVelocity = 2;
    for (int n = 1; n <= 120; ++n) {
        network::Segment s;
        s.id = std::to_string(n);
        s.from = Node(n - 1);
        s.to = Node(n);
        s.material = "钢管";
        s.innerDiameter = 50 + n % 7;
        s.length = 10;
        s.flow = n % 3 == 0 ? 15 : 5;
        c.segments.push_back(s);
    }
    return c;
}

// What a page is made of, as drawn on a device like the PDF writer: each
// run of text and where it starts, each rectangle filled and its colour.
class Recorder : public QPaintEngine {
  public:
    Recorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyBrush) brush_ = state.brush();
        if (state.state() & QPaintEngine::DirtyTransform) transform_ = state.transform();
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            fills.push_back({transform_.mapRect(rects[i]), brush_.color().rgb()});
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QPointF at = transform_.map(p);
        texts.push_back(QStringLiteral("%1,%2 ").arg(qRound(at.x() * 64)).arg(qRound(at.y() * 64)) +
                        item.text());
    }
    // The sketch's lines and arrowheads (Qt's fallbacks for each other
    // recurse unless one of them is drawn).
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override {
        QPolygonF polygon;
        for (int i = 0; i < count; ++i) polygon << transform_.map(points[i]);
        shapes.push_back(polygon.boundingRect());
    }
    void drawPath(const QPainterPath& path) override {
        shapes.push_back(transform_.map(path).boundingRect());
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF& r, const QImage&, const QRectF&,
                   Qt::ImageConversionFlags) override {
        images.push_back(transform_.mapRect(r));
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<std::pair<QRectF, QRgb>> fills;
    QStringList texts;
    std::vector<QRectF> images, shapes;

  private:
    QBrush brush_;
    QTransform transform_;
};

class RecordingDevice : public QPaintDevice {
  public:
    explicit RecordingDevice(const QPaintDevice& like) : like_(like) {}
    QPaintEngine* paintEngine() const override { return &recorder; }
    mutable Recorder recorder;

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return like_.logicalDpiX();
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return like_.logicalDpiY();
            case PdmWidth:
                return like_.width();
            case PdmHeight:
                return like_.height();
            case PdmWidthMM:
                return like_.widthMM();
            case PdmHeightMM:
                return like_.heightMM();
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return m == PdmNumColors ? INT_MAX : m == PdmDepth ? 32 : 1;
        }
    }

  private:
    const QPaintDevice& like_;
};

// Pixels of a page covered by the black rectangles (the rules).
std::vector<bool> Ink(const Recorder& r, QSize page) {
    std::vector<bool> ink(std::size_t(page.width()) * page.height());
    for (const auto& [rect, rgb] : r.fills) {
        if (rgb != QColor(Qt::black).rgb()) continue;
        const QRect px = rect.toAlignedRect() & QRect(QPoint(), page);
        for (int y = px.top(); y <= px.bottom(); ++y)
            for (int x = px.left(); x <= px.right(); ++x)
                ink[std::size_t(y) * page.width() + x] = true;
    }
    return ink;
}

// The pages are drawn from Qt's layout by the sheet's own painter rather
// than by Qt's drawing of the document (too slow for long tables). Drawn
// both ways on a device like the PDF writer, a page has the same text in
// the same places, the same images and shading, and its rules cover the same
// pixels but for a few (where Qt's rules fall a pixel either way).
TEST_F(SheetFileTest, PagesDrawnAsQtDrawsThem) {
    using namespace detail;
    const auto read = network::LoadCase(GASPIPE_EXAMPLES "/courtyard-medium.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(720);
    for (const network::Case& c : {*read.value, LongLine()}) {
        classIniFile ini;
        ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
        const auto catalog = network::PipeCatalog::Read(ini, c);
        network::Network net(catalog);
        ASSERT_TRUE(net.Load(c));
        TableSheet options;
        options.catalog = &catalog;
        const Document doc = BuildTableSheet(c, net, options);
        int pages = 0, leftToQt = 0;
        for (const PageRun& run : SplitRuns(doc)) {
            const bool wide = run.orientation == Orientation::Landscape;
            const QSizeF body = QSizeF(wide ? 257 : 165, wide ? 168 : 248) / 25.4 * 720;
            const Pages on{&writer, body};
            auto text = BuildTextDocument(run.elements, PdfTypeface(), {10, 96.0 / 72},
                                          body.width() * 72 / 720, true, &on);
            KeepWithNext(*text, body.height());
            const PagePainter painter(*text, body.height());
            for (int i = 0; i < text->pageCount(); ++i, ++pages) {
                SCOPED_TRACE(std::to_string(c.segments.size()) + " segments, page " +
                             std::to_string(pages + 1));
                RecordingDevice byQt(writer), ours(writer);
                for (RecordingDevice* device : {&byQt, &ours}) {
                    QPainter p(device);
                    p.translate(0, -i * body.height());
                    const QRectF clip(QPointF(0, i * body.height()), body);
                    p.setClipRect(clip);
                    QAbstractTextDocumentLayout::PaintContext context;
                    context.clip = clip;
                    if (device == &ours && painter.Draw(p, i)) continue;
                    text->documentLayout()->draw(&p, context);
                    if (device == &ours) ++leftToQt;
                }
                EXPECT_EQ(ours.recorder.texts, byQt.recorder.texts);
                EXPECT_EQ(ours.recorder.images, byQt.recorder.images);
                EXPECT_EQ(ours.recorder.shapes, byQt.recorder.shapes);
                std::vector<QRgb> shadesQt, shadesOurs;
                for (const auto& [rect, rgb] : byQt.recorder.fills)
                    if (rgb != QColor(Qt::black).rgb()) shadesQt.push_back(rgb);
                for (const auto& [rect, rgb] : ours.recorder.fills)
                    if (rgb != QColor(Qt::black).rgb()) shadesOurs.push_back(rgb);
                // Where both draw shading, the order does not show: the sketch's
                // white marks are drawn with the text, after a table's shading.
                std::sort(shadesQt.begin(), shadesQt.end());
                std::sort(shadesOurs.begin(), shadesOurs.end());
                EXPECT_EQ(shadesOurs, shadesQt);
                const std::vector<bool> a = Ink(byQt.recorder, body.toSize());
                const std::vector<bool> b = Ink(ours.recorder, body.toSize());
                std::size_t inked = 0, differing = 0;
                std::map<int, int> rows;  // pixel row -> pixels that differ in it
                for (std::size_t k = 0; k < a.size(); ++k) {
                    inked += a[k];
                    differing += a[k] != b[k];
                    if (a[k] != b[k]) ++rows[int(k / std::size_t(body.toSize().width()))];
                }
                std::string where;
                for (const auto& [y, n] : rows)
                    if (n > 100) where += " y=" + std::to_string(y) + ":" + std::to_string(n);
                EXPECT_LE(differing, 6000u) << "of " << inked << " pixels of rules;" << where;
            }
        }
        EXPECT_GT(pages, c.segments.size() > 100 ? 8 : 4);
        EXPECT_LE(leftToQt, 2) << "pages left to Qt";
    }
}

TEST_F(SheetFileTest, OnlyTheKnownFormats) {
    std::string error;
    EXPECT_FALSE(WriteSheetFile(WorkedExample(), Path("sheet.docx"), error));
    EXPECT_NE(error.find(".pdf"), std::string::npos);
    EXPECT_FALSE(WriteSheetFile(WorkedExample(), Path("missing/sheet.pdf"), error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace gaspipe::sheet

int main(int argc, char* argv[]) {
    // A caller's platform stays (under Wine: minimal, see cmake/wine-run.in).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
