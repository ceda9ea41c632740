// The sheet's content against hand calculations: the worked example of the
// window (passes redone in Python in single precision), and the riser
// example's first segment (Colebrook-White from python3-fluids, the other
// formulas by hand).
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "case_file.h"
#include "html.h"
#include "network.h"
#include "numbers.h"
#include "pipe_catalog.h"
#include "segment_sheet.h"
#include "sheet_text.h"
#include "table_sheet.h"

namespace gaspipe::sheet {
namespace {

using test::AllText;

void ExpectAll(const std::string& text, std::initializer_list<const char*> wanted) {
    for (const char* w : wanted) EXPECT_NE(text.find(w), std::string::npos) << w;
}

TEST(Text, ScriptsNumbersAndEscapes) {
    const Rich r = ParseRich("P_{1}^{2} − x_y ^{open");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1].text, "1");
    EXPECT_EQ(r[1].script, Span::Script::Sub);
    EXPECT_EQ(r[2].script, Span::Script::Super);
    EXPECT_EQ(r[3].text, " − x_y ^{open");
    EXPECT_EQ(PlainText(r), "P12 − x_y ^{open");
    EXPECT_EQ(Power10(4.839e-4, 3), "4.84×10^{−4}");
    EXPECT_EQ(Power10(1, 3), "1.00");
    EXPECT_EQ(Fixed(-0.0001, 3), "-0.000");
    EXPECT_EQ(ShortestFloat(0.7247f), "0.7247");

    Document doc;
    doc.title = "A<B & \"C\"";
    EXPECT_NE(RenderHtml(doc).find("<title>A&lt;B &amp; &quot;C&quot;</title>"), std::string::npos);
}

hydraulics::SegmentTrace WorkedExample() {
    hydraulics::SegmentInput in;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = 100, in.length = 1000, in.flow = 500, in.inlet = 5;
    return hydraulics::Calculate(in, {});
}

TEST(SegmentSheet, WorkedExampleShowsEachPassTheResultsAndTheChecks) {
    SegmentSheet s;
    s.trace = WorkedExample();
    s.project.name = "某小区燃气工程";
    s.pipe = {"100", "/opt/PipeParameters.Ini", 106.3};
    s.limits.maxVelocity = 3;
    const Document doc = BuildSegmentSheet(s);
    const std::string text = AllText(doc);
    ExpectAll(text, {"某小区燃气工程", "GB 50028 附录 C 手算公式", "1.397×103", "0.7247", "14.5",
                     "288", "1000", "500",
                     // pass 1, then pass 2 worked out in full
                     "3.33333", "160.245", "39086", "0.02517", "0.67157", "4.93239", "4.96627",
                     "107.555", "26234", "0.02693", "0.71862", "4.92761", "4.84×10−4",
                     // the window's report
                     "0.072", "4.928", "0.719", "3.804", "3.834",
                     // the pipe file's entry differs from the inner diameter used
                     "内径为 106.3 mm", "不满足"});
    EXPECT_EQ(text.find("满足要求。"), std::string::npos) << "the velocity check fails";
    EXPECT_TRUE(std::holds_alternative<PageBreak>(doc.elements[4])) << "the cover is a page";
}

TEST(TableSheet, RiserWithItsLargestLossSegmentWorkedByHand) {
    const auto read = network::LoadCase(GASPIPE_EXAMPLES "/building-riser.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const auto catalog = network::PipeCatalog::Read(ini, *read.value);
    network::Network net(catalog);
    ASSERT_TRUE(net.Load(*read.value));

    TableSheet options;
    options.project = CaseProject(*read.value);
    options.pipeFile = GASPIPE_SHIPPED_PIPE_FILE;
    options.catalog = &catalog;
    const Document doc = BuildTableSheet(*read.value, net, options);
    const std::string text = AllText(doc);
    for (const auto& s : read.value->segments) EXPECT_NE(text.find(s.id + "\n"), std::string::npos);
    ExpectAll(text,
              {"GB 50028-2006 第 6.2.5 / 6.2.6 / 6.2.7 条", "管段 1 详细计算", "4.368", "= 3903",
               "λ = 0.04373", "1.873 m", "21.06 Pa", "4.93 Pa", "8.35 Pa", "2382.37 Pa",
               "2391.18 Pa", "4.499 m3/h", "2.135 m/s", "全部管段均满足要求", "≤ 1650 Pa"});
    bool landscape = false, figure = false;
    for (const Element& e : doc.elements) {
        if (const auto* b = std::get_if<PageBreak>(&e))
            landscape = landscape || b->orientation == Orientation::Landscape;
        figure = figure || std::holds_alternative<ProfileFigure>(e);
    }
    EXPECT_TRUE(landscape);
    EXPECT_TRUE(figure);
    // Without a chart routine the HTML says where the figure is.
    EXPECT_NE(RenderHtml(doc).find("压力曲线图见本计算书的 PDF 或 ODT 文件"), std::string::npos);

    options.detail = 12;  // "4-1"
    EXPECT_NE(AllText(BuildTableSheet(*read.value, net, options)).find("管段 4-1 详细计算"),
              std::string::npos);
}

}  // namespace
}  // namespace gaspipe::sheet
