#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "case_builder.h"
#include "case_file.h"

namespace gaspipe::network {
namespace {

// The shape the case file started from, as the designers' tools write it.
constexpr const char* kIssueShape = R"({"format": "gaspipe-case", "version": 1,
 "project": {"name": "", "number": "", "stage": "", "designer": "", "date": ""},
 "gas": {"kind": "天然气", "density": 0.7247, "viscosity": 14.5, "temperature": 288},
 "pressure_class": "低压",
 "method": {"name": "gb50028-2006", "local_loss": 0.1},
 "source": {"node": "A", "pressure": 3000, "elevation": 0},
 "limits": {"max_velocity": 8, "max_drop": 1000},
 "nodes": [{"id": "B", "elevation": 3.0, "load": 2.5}],
 "segments": [{"id": "1", "from": "A", "to": "B", "material": "钢管", "nominal": "50",
               "length": 12.5, "flow": 30}]})";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(CaseFile, ReadsTheStartingShape) {
    const CaseReadResult r = ParseCase(kIssueShape);
    ASSERT_TRUE(r.value) << r.error;
    const Case& c = *r.value;
    EXPECT_EQ(c.gas.kind, "天然气");
    EXPECT_EQ(c.gas.density, 0.7247);
    EXPECT_EQ(c.pressureClass, "低压");
    EXPECT_EQ(c.method.method, Method::Gb50028);
    EXPECT_EQ(c.source.pressure, 3000);
    EXPECT_EQ(c.limits.maxDrop, 1000);
    ASSERT_EQ(c.nodes.size(), 1u);
    EXPECT_EQ(c.nodes[0].load, 2.5);
    ASSERT_EQ(c.segments.size(), 1u);
    EXPECT_EQ(c.segments[0].nominal, "50");
    EXPECT_EQ(c.segments[0].flow, 30);
    EXPECT_FALSE(c.segments[0].innerDiameter || c.segments[0].zeta);
}

TEST(CaseFile, RoundTripKeepsEveryValueAndWhatANewerProgramAdded) {
    const std::string text = R"({"format":"gaspipe-case","version":1,"drawing":{"sheet":3},
 "project":{"name":"某小区庭院管网","designer":"张工","checker":"李工"},
 "gas":{"kind":"液化石油气","density":2.38,"viscosity":3.25,"temperature":288.15},
 "pressure_class":"高中压",
 "method":{"name":"appendix","local_loss":0.05,"roughness":{"钢管":0.15},"z":0.98,"tol":1e-9},
 "source":{"node":"R","pressure":4.01325,"elevation":-1.5},
 "limits":{"max_velocity":20,"appliance_pressure":2800,"max_drop":0.5},
 "nodes":[{"id":"J1","elevation":2,"load":0.1,"tag":null}],
 "segments":[{"id":"干1","from":"R","to":"J1","material":"PE管","nominal":"",
   "inner_diameter":40.8,"length":0.1,"flow":null,"local_loss":0,"zeta":3.5,
   "simultaneity":0.85,"roughness":0.01,"colour":[1,{"r":2}]}]})";
    const CaseReadResult first = ParseCase(text);
    ASSERT_TRUE(first.value) << first.error;
    const std::string written = CaseToJson(*first.value);
    const CaseReadResult second = ParseCase(written);
    ASSERT_TRUE(second.value) << second.error << "\n" << written;
    EXPECT_EQ(CaseToJson(*second.value), written);

    const Case& c = *second.value;
    EXPECT_EQ(c.project.designer, "张工");
    EXPECT_EQ(c.method.method, Method::Appendix);
    EXPECT_EQ(MaterialRoughness(c.method, "钢管"), 0.15);
    EXPECT_EQ(c.method.z, 0.98);
    EXPECT_EQ(c.source.elevation, -1.5);
    EXPECT_EQ(c.limits.appliancePressure, 2800);
    const Segment& s = c.segments[0];
    EXPECT_EQ(s.id, "干1");
    EXPECT_EQ(s.innerDiameter, 40.8);
    EXPECT_FALSE(s.flow);
    EXPECT_EQ(s.localLoss, 0);
    EXPECT_EQ(s.zeta, 3.5);
    EXPECT_EQ(s.simultaneity, 0.85);
    for (const char* kept : {R"("drawing": {"sheet":3})", R"("checker":"李工")", R"("tol":1e-09)",
                             R"("tag":null)", R"("colour":[1,{"r":2}])"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << " lost:\n" << written;
    // One line per row, for readable diffs.
    EXPECT_NE(written.find("\n    {\"id\":\"干1\",\"from\":\"R\","), std::string::npos) << written;
}

// 设计单位, 计算书编号 and 版次 travel with the case when given; a file
// that uses none of them saves as it did before they existed.
TEST(CaseFile, SheetFieldsAreWrittenOnlyWhenGiven) {
    const auto read = LoadCase(GASPIPE_EXAMPLES "/courtyard-medium.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    Case c = *read.value;
    const std::string before = CaseToJson(c);
    EXPECT_EQ(before.find("organization"), std::string::npos);
    c.project.organization = "某市燃气设计研究院";
    c.project.sheetNumber = "JS-2024-015";
    c.project.revision = "B";
    const std::string written = CaseToJson(c);
    EXPECT_NE(written.find(R"("sheet_number":"JS-2024-015")"), std::string::npos) << written;
    const CaseReadResult back = ParseCase(written);
    ASSERT_TRUE(back.value) << back.error;
    EXPECT_EQ(back.value->project, c.project);
    c.project.organization = c.project.sheetNumber = c.project.revision = "";
    EXPECT_EQ(CaseToJson(c), before);
}

TEST(CaseFile, DamagedOrHostileFilesAreRefusedWithThePlace) {
    const std::string head = R"({"format":"gaspipe-case","version":1,)";
    const std::string body =
        R"("gas":{"kind":"天然气","density":0.7,"viscosity":14,"temperature":288},
"pressure_class":"低压","method":{"name":"appendix"},"source":{"node":"A","pressure":3000},
"segments":[
  {"id":"a","from":"A","to":"B","material":"钢管","nominal":"50","length":5},
  {"id":"b","from":"B","to":"C","material":"钢管","nominal":"50","length":"12"}]})";
    std::string manySegments = head + body.substr(0, body.find("\"segments\"")) + "\"segments\":[";
    for (int i = 0; i < 1'000'000; ++i) manySegments += "{},";
    struct Row {
        const char* name;
        std::string text;
        std::size_t line, column;  // column 0: not checked
        const char* says;
    };
    const Row rows[] = {
        {"complete", head + body.substr(0, body.rfind("\"12\"")) + "12}]}", 0, 0, nullptr},
        {"truncated", (head + body).substr(0, 170), 2, 55, "not valid JSON"},
        {"wrong type", head + body, 5, 3,
         "segment 2 (id 'b'): 'length' must be a number, not string"},
        {"newer version", R"({"format":"gaspipe-case","version":3})", 1, 26,
         "saved by a newer gaspipe (file version 3; this program reads versions up to 2)"},
        {"fractional version", R"({"format":"gaspipe-case","version":1.5})", 1, 26,
         "'version' must be a whole number"},
        {"other format", R"({"format":"gaspipe-project","version":1})", 1, 2, "not a gaspipe case"},
        {"not an object", "[1, 2]", 1, 1, "not a gaspipe case"},
        {"empty", "", 1, 1, "not valid JSON"},
        {"missing member", head + R"("segments":[]})", 1, 1, "'gas' is missing"},
        {"number overflow", head + R"("gas":{"density":1e999}})", 1, 0, "number overflow"},
        {"deep nesting", head + R"("x":)" + std::string(100000, '['), 1, 74,
         "nested deeper than 32 levels"},
        {"a million segments", manySegments, 3, 300013, "more than 100000 segments"},
        {"huge id",
         head + body.substr(0, body.rfind("\"id\":\"b\"")) + "\"id\":\"" +
             std::string(1 << 20, 'x') + "\"}]}",
         5, 3, "'id' is longer than 256 bytes"},
    };
    for (const Row& row : rows) {
        const CaseReadResult r = ParseCase(row.text);
        if (!row.says) {
            EXPECT_TRUE(r.value) << row.name << ": " << r.error;
            continue;
        }
        EXPECT_FALSE(r.value) << row.name;
        EXPECT_NE(r.error.find(row.says), std::string::npos) << row.name << ": " << r.error;
        EXPECT_EQ(r.line, row.line) << row.name << ": " << r.error;
        if (row.column) {
            EXPECT_EQ(r.column, row.column) << row.name << ": " << r.error;
        }
    }
}

TEST(CaseFile, SizeAndValueCountLimitsHold) {
    CaseFileLimits limits;
    limits.maxBytes = 64;
    EXPECT_NE(ParseCase(kIssueShape, limits).error.find("larger than"), std::string::npos);
    limits = {};
    limits.maxValues = 40;
    EXPECT_NE(ParseCase(kIssueShape, limits).error.find("more than 40 values"), std::string::npos);
}

TEST(CaseFile, SaveReplacesTheFileWholeOrNotAtAll) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("gpcase-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "line.gpcase").string();
    Case c = *ParseCase(kIssueShape).value;
    ASSERT_TRUE(SaveCase(path, c).ok);
    const std::string saved = Slurp(path);
    EXPECT_EQ(saved, CaseToJson(c));
    const CaseReadResult loaded = LoadCase(path);
    ASSERT_TRUE(loaded.value) << loaded.error;
    EXPECT_EQ(CaseToJson(*loaded.value), saved);

    // A write-protected file stays as it was, and the message says so.
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    c.project.name = "changed";
    const SaveResult refused = SaveCase(path, c);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("previous file is unchanged"), std::string::npos) << refused.error;
    EXPECT_EQ(Slurp(path), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_FALSE(SaveCase((dir / "no-such-folder" / "x.gpcase").string(), c).ok);
    EXPECT_NE(LoadCase((dir / "missing.gpcase").string()).error.find("no such file"),
              std::string::npos);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(dir);
}

// What the reader used to take and misread: a member given twice (the last
// one won, silently), control characters in ids (raw terminal escapes in the
// text table). Each is refused with the member, line and column.
TEST(CaseFile, DuplicateMembersAndControlCharactersAreRefusedWithThePlace) {
    const std::string head = R"({"format":"gaspipe-case","version":1,
"gas":{"kind":"天然气","density":0.7,"viscosity":14,"temperature":288},
"pressure_class":"低压","method":{"name":"appendix"},"source":{"node":"A","pressure":3000},
)";
    const std::string row = R"({"id":"1","from":"A","to":"B","material":"钢管","nominal":"50",)";
    const struct {
        const char* name;
        std::string text;
        std::size_t line, column;
        const char* says;
    } rows[] = {
        {"length twice", head + "\"segments\":[\n" + row + R"("length":12.5,"length":99999}]})", 5,
         76, "segment 1: 'length' is given twice"},
        {"segments twice",
         head + "\"segments\":[" + row + R"("length":1}],)" + "\n\"segments\":[]}", 5, 1,
         "'segments' is given twice"},
        {"gas twice", head + R"("gas":{},"segments":[]})", 4, 1, "'gas' is given twice"},
        {"escape in an id",
         head + "\"segments\":[\n" + row.substr(0, 8) + "\\u001b[31m" + row.substr(8) +
             R"("length":1}]})",
         5, 1, "segment 1: 'id' holds a control character"},
        {"line break in a node", head + R"("segments":[],"nodes":[{"id":"N\n1"}]})", 4, 24,
         "node 1: 'id' holds a control character"},
        {"tab in the source", head.substr(0, head.find("\"A\"")) + R"("A\t"},"segments":[]})", 3,
         52, "source: 'node' holds a control character"},
        {"C1 control in a material",
         head + "\"segments\":[\n" +
             R"({"id":"1","from":"A","to":"B","material":"钢\u0085","nominal":"50","length":1}]})",
         5, 1, "'material' holds a control character"},
    };
    for (const auto& r : rows) {
        const CaseReadResult read = ParseCase(r.text);
        ASSERT_FALSE(read.value) << r.name;
        EXPECT_NE(read.error.find(r.says), std::string::npos) << r.name << ": " << read.error;
        EXPECT_EQ(read.line, r.line) << r.name << ": " << read.error;
        EXPECT_EQ(read.column, r.column) << r.name << ": " << read.error;
    }
    // Control characters stay allowed in free texts, which no table prints.
    EXPECT_TRUE(ParseCase(head + R"("project":{"name":"第一行\n第二行"},"segments":[]})").value);
}

// What SaveCase writes, ParseCase reads: a case the reader would refuse is
// not written, and the problem names the row and member.
TEST(CaseFile, ACaseTheReaderWouldRefuseIsNotSaved) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("gpcase-save-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "line.gpcase").string();
    Case c = testing::LowPressureCase();
    testing::AddSegment(c, "1", "A", "B");
    ASSERT_TRUE(SaveCase(path, c).ok);
    const std::string saved = Slurp(path);

    struct Change {
        const char* name;
        void (*apply)(Case&);
        const char* says;
    };
    const Change changes[] = {
        {"id of 300 bytes", [](Case& k) { k.segments[0].id = std::string(300, 'x'); },
         "segment 1: 'id' is longer than 256 bytes"},
        {"date of 4097 bytes", [](Case& k) { k.project.date = std::string(4097, '9'); },
         "project: 'date' is longer than 4096 bytes"},
        {"escape in a node", [](Case& k) { k.segments[0].to = "B\x1b"; },
         "segment 1 (id '1'): 'to' holds a control character"},
    };
    for (const Change& change : changes) {
        Case bad = c;
        change.apply(bad);
        EXPECT_FALSE(CheckedCaseToJson(bad).problem == std::nullopt) << change.name;
        const SaveResult r = SaveCase(path, bad);
        EXPECT_FALSE(r.ok) << change.name;
        ASSERT_TRUE(r.problem) << change.name;
        EXPECT_EQ(r.problem->line, 0u) << "no place in a text nobody sees";
        EXPECT_NE(r.error.find(change.says), std::string::npos) << r.error;
        EXPECT_EQ(Slurp(path), saved) << change.name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace gaspipe::network
