#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "case_builder.h"
#include "case_file.h"
#include "segments_csv.h"

namespace gaspipe::network {
namespace {

using namespace testing;

TEST(SegmentsCsv, ExportReadsBackIntoTheSameRows) {
    Case c = LowPressureCase();
    Segment& a = AddSegment(c, "立管,1", "A", "B", 3.5);
    a.innerDiameter = 27.3;
    a.zeta = 4;
    AddSegment(c, "2", "B", "C", 12, 1.25).simultaneity = 0.7;
    AddNode(c, "C", 6, 0.8);
    const std::string csv = SegmentsToCsv(c);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(csv.find("\r\n\"立管,1\",A,B,钢管,50,27.3,3.5,,,4,,,,,,,,\r\n"), std::string::npos)
        << csv;

    Case back = LowPressureCase();
    ASSERT_EQ(ImportSegmentsCsv(csv, back), "");
    EXPECT_EQ(CaseToJson(back), CaseToJson(c));
}

TEST(SegmentsCsv, ReadsGbkAndPlainUtf8FromOlderSpreadsheets) {
    // "钢管" and "PE管" as GBK bytes; blanks around cells are dropped.
    const std::string gbk =
        "id,from,to,material,nominal,length,to_load\n"
        "1,A,B,\xB8\xD6\xB9\xDC,50,10,\n"
        "2, B , C ,PE\xB9\xDC,63,4.5,2.5\n";
    Case c = LowPressureCase();
    ASSERT_EQ(ImportSegmentsCsv(gbk, c), "");
    ASSERT_EQ(c.segments.size(), 2u);
    EXPECT_EQ(c.segments[0].material, "钢管");
    EXPECT_EQ(c.segments[1].material, "PE管");
    EXPECT_EQ(c.segments[1].from, "B");
    ASSERT_EQ(c.nodes.size(), 1u);
    EXPECT_EQ(c.nodes[0].id, "C");
    EXPECT_EQ(c.nodes[0].load, 2.5);

    Case utf8 = LowPressureCase();
    ASSERT_EQ(ImportSegmentsCsv(
                  "id,from,to,material,inner_diameter,length\n甲,A,B,铸铁管,100.5,7\n", utf8),
              "");
    EXPECT_EQ(utf8.segments[0].id, "甲");
    EXPECT_EQ(utf8.segments[0].innerDiameter, 100.5);
}

TEST(SegmentsCsv, BadRowsNameRecordAndColumnAndLeaveTheCaseAlone) {
    const std::pair<std::string, std::string> rows[] = {
        {"id,from,to,material,nominal\n", "no column 'length'"},
        {"id,from,to,material,length\n", "neither a 'nominal' nor an 'inner_diameter'"},
        {"id,from,to,material,nominal,length\n1,A,B,钢管,50,10\n2,B,C,钢管,50,ten\n",
         "record 3, column 'length': 'ten' is not a number"},
        {"id,from,to,material,nominal,length,flow\n1,A,B,钢管,50,10,1e999\n",
         "record 2, column 'flow'"},
        {"id,from,to,material,nominal,length\n1,A,B,钢管,50,\n",
         "column 'length': a length is needed"},
        {"id,from,to,material,nominal,length\n" + std::string(300, 'x') + ",A,B,钢管,50,1\n",
         "column 'id': longer than 256 bytes"},
        {"", "no header"},
    };
    for (const auto& [csv, says] : rows) {
        Case c = LowPressureCase();
        AddSegment(c, "kept", "A", "B");
        const std::string error = ImportSegmentsCsv(csv, c);
        EXPECT_NE(error.find(says), std::string::npos) << says << ": " << error;
        ASSERT_EQ(c.segments.size(), 1u);
        EXPECT_EQ(c.segments[0].id, "kept");
    }
}

// Excel and WPS run a text cell that begins with =, +, -, @, a tab or a
// carriage return as a formula: such texts go out with a leading apostrophe
// (as those programs mark text) and come back whole; numbers stay numbers.
TEST(SegmentsCsv, FormulaLikeTextsGoOutMarkedAndComeBackWhole) {
    Case c = LowPressureCase();
    const std::string ids[] = {"=HYPERLINK(\"http://x\",\"y\")",
                               "+1",
                               "-2",
                               "@SUM(A1)",
                               "'quoted",
                               "''=twice",
                               "1-2",
                               "管段=3"};
    std::string from = "A";
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        std::string to = std::to_string(i);
        to.insert(to.begin(), 'N');  // not "N" + ...: GCC 12 warns falsely
        AddSegment(c, ids[i], from, to);
        AddNode(c, to, -1.5, 0.25);
        from = to;
    }
    const std::string csv = SegmentsToCsv(c);
    for (const char* marked :
         {"\r\n\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",A,N0,", "\r\n'+1,N0,", "\r\n'-2,",
          "\r\n'@SUM(A1),", "\r\n''quoted,", "\r\n'''=twice,", "\r\n1-2,", "\r\n管段=3,"})
        EXPECT_NE(csv.find(marked), std::string::npos) << marked << " in\n" << csv;
    EXPECT_NE(csv.find(",-1.5,0.25,,,,\r\n"), std::string::npos) << "numbers as they are";

    Case back = LowPressureCase();
    ASSERT_EQ(ImportSegmentsCsv(csv, back), "");
    EXPECT_EQ(CaseToJson(back), CaseToJson(c));

    // A marked cell from another program reads as its text.
    Case other = LowPressureCase();
    ASSERT_EQ(ImportSegmentsCsv("id,from,to,material,nominal,length\n'=1,A,'-B,钢管,50,1\n", other),
              "");
    EXPECT_EQ(other.segments[0].id, "=1");
    EXPECT_EQ(other.segments[0].to, "-B");

    // Tab and carriage return cannot start an id, but other text cells are marked alike.
    const PipeCatalog none;
    Network net(none);
    Case odd = LowPressureCase();
    AddSegment(odd, "\tA", "A", "B").material = "\r钢管";
    net.Load(odd);
    const std::string results = ResultsToCsv(odd, net);
    EXPECT_NE(results.find("\r\n'\tA,A,B,\"'\r钢管\","), std::string::npos) << results;
}

TEST(SegmentsCsv, ControlCharactersInIdsAreRefusedAsTheCaseFileRefusesThem) {
    Case c = LowPressureCase();
    const std::string error =
        ImportSegmentsCsv("id,from,to,material,nominal,length\n1,A,\"B\x1b[31m\",钢管,50,1\n", c);
    EXPECT_EQ(error,
              "record 2, column 'to': holds a control character (tab, line break, escape, ...)");
    EXPECT_TRUE(c.segments.empty());
}

}  // namespace
}  // namespace gaspipe::network
