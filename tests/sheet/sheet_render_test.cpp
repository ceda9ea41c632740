// The written files as a reviewer reads them: the PDF through pdftotext,
// pdffonts and pdfinfo (poppler-utils), the ODT's XML through unzip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "case_file.h"
#include "network.h"
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
    s.project = {"某小区燃气工程", "RQ-2024-015", "施工图设计", "2024-05-06", ""};
    s.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
    s.limits.maxDrop = 0.3;
    return BuildSegmentSheet(s);
}

const char* const kWorkedExample[] = {"某小区燃气工程", "RQ-2024-015", "GB50028附录C手算公式",
                                      "0.7247",         "14.5",        "288",
                                      "1000",           "500",         "26234",
                                      "0.02693",        "4.96627",     "107.555",
                                      "0.71862",        "4.92761",     "0.072",
                                      "4.928",          "0.719",       "3.804",
                                      "3.834",          "满足"};

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

    // ODT: the same text in its XML, the chart among its pictures.
    const std::string odt = Path("line.odt");
    Write(doc, odt);
    ExpectAll(OdtText(odt), {"管网水力计算表", "管段 干1 详细计算", "2.99924", "8.09"});
    EXPECT_NE(test::Run("unzip -l '" + odt + "'").find("Pictures/"), std::string::npos);

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
