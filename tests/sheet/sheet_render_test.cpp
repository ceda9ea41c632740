// The written files as a reviewer reads them: the PDF through pdftotext,
// pdffonts and pdfinfo (poppler-utils), the ODT's XML through unzip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "network.h"
#include "pipe_catalog.h"
#include "segment_sheet.h"
#include "sheet_files.h"
#include "sheet_text.h"
#include "table_sheet.h"

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
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // 0: keep a caller's value
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
