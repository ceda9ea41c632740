#include <gtest/gtest.h>

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
    EXPECT_NE(csv.find("\r\n\"立管,1\",A,B,钢管,50,27.3,3.5,,,4,,,,\r\n"), std::string::npos)
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

}  // namespace
}  // namespace gaspipe::network
