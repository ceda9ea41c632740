// The pages of the example sheets as a reviewer sees them, measured from the
// PDF's text positions (pdftotext -bbox-layout): the PDF as written, and the
// ODT as LibreOffice lays it out (converted to PDF by soffice --headless).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "case_file.h"
#include "network.h"
#include "pdf_layout.h"
#include "pipe_catalog.h"
#include "segment_sheet.h"
#include "sheet_files.h"
#include "sheet_text.h"
#include "table_sheet.h"

namespace gaspipe::sheet {
namespace {

using test::LaidPage;
using test::TextLine;

constexpr double kMm = 72 / 25.4;

// Without blanks of any width, as lines are compared.
std::string Norm(const std::string& text) {
    std::string out = test::Squeezed(text);
    for (std::size_t at; (at = out.find("　")) != std::string::npos;) out.erase(at, 3);
    return out;
}

struct Sample {
    std::string name;
    Document doc;
};

Document SegmentSample(hydraulics::PressureClass pressureClass, hydraulics::Method method) {
    hydraulics::SegmentInput in;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.pressureClass = pressureClass;
    if (pressureClass == hydraulics::PressureClass::Low)
        in.diameter = 52.7, in.length = 100, in.flow = 30, in.inlet = 3000;
    else
        in.diameter = 106.3, in.length = 1000, in.flow = 500, in.inlet = 5;
    hydraulics::MethodOptions options;
    options.method = method;
    SegmentSheet s;
    s.trace = hydraulics::Calculate(in, options);
    s.project = {"某小区燃气工程", "RQ-2024-015",        "施工图设计",     "2024-05-06",
                 "张工",           "某市燃气设计研究院", "JS-2024-015-01", "A"};
    s.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
    s.limits.maxVelocity = 20;
    return BuildSegmentSheet(s);
}

Document CaseSample(const char* file) {
    const auto read = network::LoadCase(std::string(GASPIPE_EXAMPLES "/") + file);
    EXPECT_TRUE(read.value) << read.error;
    if (!read.value) return {};
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const auto catalog = network::PipeCatalog::Read(ini, *read.value);
    const SimultaneityTable factors = SimultaneityTable::Read(GASPIPE_SHIPPED_SIMULTANEITY);
    network::Network net(catalog, &factors);
    EXPECT_TRUE(net.Load(*read.value));
    TableSheet options;
    options.project = CaseProject(*read.value);
    options.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
    options.pipeFile = "PipeParameters.Ini";
    options.catalog = &catalog;
    return BuildTableSheet(*read.value, net, options);
}

const std::vector<Sample>& Samples() {
    using hydraulics::Method;
    using hydraulics::PressureClass;
    static const std::vector<Sample> samples = {
        {"segment-appendix-high", SegmentSample(PressureClass::HighMedium, Method::Appendix)},
        {"segment-current-low", SegmentSample(PressureClass::Low, Method::Gb50028_2006)},
        {"riser", CaseSample("building-riser.gpcase")},
        {"courtyard", CaseSample("courtyard-medium.gpcase")},
    };
    return samples;
}

// Headings and captions: what must never close a page.
std::vector<std::string> Titles(const Document& doc) {
    std::vector<std::string> titles;
    for (const Element& e : doc.elements) {
        if (const auto* h = std::get_if<Heading>(&e); h && h->level > 0)
            titles.push_back(Norm(h->text));
        if (const auto* t = std::get_if<Table>(&e); t && !t->caption.empty())
            titles.push_back(Norm(t->caption));
    }
    return titles;
}

std::vector<const Table*> HeadedTables(const Document& doc) {
    std::vector<const Table*> tables;
    for (const Element& e : doc.elements)
        if (const auto* t = std::get_if<Table>(&e))
            if (!t->columns.empty() && !t->columns.front().title.empty()) tables.push_back(t);
    return tables;
}

std::string FirstLine(const Rich& r) {
    const std::string text = PlainText(r);
    return Norm(text.substr(0, text.find('\n')));
}

bool StartsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }
bool EndsWith(const std::string& s, const std::string& p) {
    return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

bool OnOneLine(const std::vector<LaidPage>& pages, const std::string& text) {
    for (const LaidPage& p : pages)
        for (const TextLine& l : p.lines)
            if (l.text.find(text) != std::string::npos) return true;
    return false;
}

// The narrowest that a table's head row spans on the pages, from its first
// head to its last, as a share of the text width; -1 when the head row is
// not found.
double NarrowestHead(const Table& t, const std::vector<LaidPage>& pages) {
    const std::string first = FirstLine(t.columns.front().title);
    const std::string last = FirstLine(t.columns.back().title);
    double narrowest = -1;
    for (const LaidPage& page : pages) {
        const double text = page.width > page.height ? 257 * kMm : 165 * kMm;
        for (const TextLine& l : page.lines) {
            if (!StartsWith(l.text, first) || !EndsWith(l.text, last)) continue;
            const double share = (l.xMax - l.xMin) / text;
            if (narrowest < 0 || share < narrowest) narrowest = share;
        }
    }
    return narrowest;
}

// The pages whose last line of body text is a heading or a caption.
std::string PagesEndingInATitle(const Document& doc, const std::vector<LaidPage>& pages) {
    std::string found;
    const std::vector<std::string> titles = Titles(doc);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::vector<TextLine> body = test::BodyLines(pages[i]);
        if (body.empty()) continue;
        const TextLine* lowest = &body.front();
        for (const TextLine& l : body)
            if (l.yMax > lowest->yMax) lowest = &l;
        for (const std::string& t : titles)
            if (lowest->text == t) found += " page " + std::to_string(i + 1) + ": " + t;
    }
    return found;
}

class SheetLayoutTest : public ::testing::Test {
  protected:
    std::string Write(const Sample& s, const char* extension) const {
        const std::string path =
            dir_.filePath(QString::fromStdString(s.name)).toStdString() + extension;
        std::string error;
        EXPECT_TRUE(WriteSheetFile(s.doc, path, error)) << error;
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(SheetLayoutTest, PdfPagesKeepHeadingsHeadsAndFormulasWhole) {
    for (const Sample& s : Samples()) {
        const std::vector<LaidPage> pages = test::ReadLayout(Write(s, ".pdf"));
        ASSERT_FALSE(pages.empty()) << s.name;
        EXPECT_EQ(PagesEndingInATitle(s.doc, pages), "") << s.name;
        auto onOneLine = [&pages](const std::string& text) { return OnOneLine(pages, text); };
        // A head's every line, and every formula, stand whole on one line.
        for (const Table* t : HeadedTables(s.doc))
            for (const Column& c : t->columns) {
                const std::string title = PlainText(c.title);
                for (std::size_t from = 0; from <= title.size();) {
                    const std::size_t to = std::min(title.find('\n', from), title.size());
                    const std::string line = Norm(title.substr(from, to - from));
                    EXPECT_TRUE(line.empty() || onOneLine(line)) << s.name << ": " << line;
                    from = to + 1;
                }
            }
        for (const Element& e : s.doc.elements) {
            if (const auto* f = std::get_if<Formula>(&e)) {
                EXPECT_TRUE(onOneLine(Norm(PlainText(f->expression))))
                    << s.name << ": " << PlainText(f->expression);
            }
        }
    }
}

TEST_F(SheetLayoutTest, PowersOfTenCopyOutAsTheyRead) {
    const Sample high{"current-high", SegmentSample(hydraulics::PressureClass::HighMedium,
                                                    hydraulics::Method::Gb50028_2006)};
    const std::string text = test::Squeezed(test::Run("pdftotext '" + Write(high, ".pdf") + "' -"));
    for (const char* shown : {"1.27×10¹⁰", "10⁵Pa", "10⁻⁶m²/s", "m³/h"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown;
}

// LibreOffice stands in for WPS and Word: the same pages, every section, and
// tables as wide as they are meant to be.
TEST_F(SheetLayoutTest, OdtOpensInLibreOfficeAsThePdf) {
    if (std::system("command -v soffice > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice (soffice, Debian's libreoffice-writer-nogui) is not "
                        "installed: the ODT is not opened in an office suite";
    std::string odts;
    for (const Sample& s : Samples()) odts += " '" + Write(s, ".odt") + "'";
    const QString converted = dir_.filePath(QStringLiteral("converted"));
    // A profile of its own: LibreOffice writes one, and may run beside a user's.
    const std::string profile = dir_.filePath(QStringLiteral("profile")).toStdString();
    const std::string log = test::Run(
        "HOME='" + profile + "' soffice -env:UserInstallation=file://" + profile +
        " --headless --convert-to pdf --outdir '" + converted.toStdString() + "'" + odts + " 2>&1");
    for (const Sample& s : Samples()) {
        const std::string pdf = Write(s, ".pdf");
        const std::string odt = (converted + "/").toStdString() + s.name + ".pdf";
        const std::vector<LaidPage> written = test::ReadLayout(pdf), laid = test::ReadLayout(odt);
        ASSERT_FALSE(laid.empty()) << s.name << ": not converted\n" << log;
        EXPECT_LE(std::abs(static_cast<int>(laid.size()) - static_cast<int>(written.size())), 2)
            << s.name << ": " << laid.size() << " pages from the ODT, " << written.size()
            << " in the PDF";
        for (const std::string& title : Titles(s.doc))
            EXPECT_TRUE(OnOneLine(laid, title)) << s.name << ": " << title;
        for (const Table* t : HeadedTables(s.doc)) {
            const double share = NarrowestHead(*t, laid);
            EXPECT_GE(share, 0.5) << s.name << ": " << t->caption;
        }
        EXPECT_EQ(PagesEndingInATitle(s.doc, laid), "") << s.name;
    }
}

}  // namespace
}  // namespace gaspipe::sheet
