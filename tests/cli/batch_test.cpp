#include "batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "segment_job.h"

namespace gaspipe::cli {
namespace {

struct BatchRun {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(std::FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, f)) s.append(buf, n);
    return s;
}

BatchRun Batch(const std::string& input, BatchLimits limits = {}) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    BatchRun r;
    r.status = RunBatch(in, out, err, limits);
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    return r;
}

// Splits unquoted CSV lines; enough for the tool's own result columns.
std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        if (!line.empty() && line.back() == ',') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

const std::string kHeader =
    "gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet";

TEST(Batch, ResultsReadBackAsTheEngineFloats) {
    const auto r = Batch(kHeader +
                         "\n天然气,高中压,钢管,0.7247,14.5,288,100,1000,500,5\n"
                         "natural-gas,low,steel,0.7247,14.5,288,50,50,50,3000\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].size(), 18u);
    EXPECT_EQ(rows[0][10], "status");
    EXPECT_EQ(rows[0][17], "message");
    SegmentInput in{"天然气", "高中压", "钢管", 0.7247f, 14.5f, 288, 100, 1000, 500, 5};
    const SegmentOutcome expected = RunSegment(in);
    const auto& row = rows[1];
    EXPECT_EQ(row[0], "天然气");  // inputs pass through as given
    EXPECT_EQ(row[10], "ok");
    EXPECT_EQ(ParseNumber(row[11]), expected.outlet);
    EXPECT_EQ(ParseNumber(row[12]), expected.loss);
    EXPECT_EQ(ParseNumber(row[13]), expected.drop);
    EXPECT_EQ(ParseNumber(row[14]), expected.meanVelocity);
    EXPECT_EQ(ParseNumber(row[15]), expected.maxVelocity);
    EXPECT_EQ(row[16], std::to_string(expected.passes));
    EXPECT_EQ(row[17], "");
    EXPECT_EQ(rows[2][0], "natural-gas");
    EXPECT_EQ(rows[2][10], "ok");
}

TEST(Batch, ColumnsInAnyOrderWithPassThroughAndStart) {
    const auto r = Batch(
        "note,inlet,flow,length,diameter,temperature,viscosity,density,material,class,gas,start,"
        "id\r\n"
        "\"first, "
        "quoted\",5,500,1000,100,288,14.5,0.7247,steel,high-medium,natural-gas,4.9276,7\r\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"first, quoted\",5,500,"), std::string::npos) << r.out;
    const auto rows = Rows(r.out.substr(r.out.find('\n') + 1));
    ASSERT_FALSE(rows.empty());
    const auto& row = rows[0];
    // One pass from the carried estimate, as the window's second press.
    EXPECT_EQ(row[row.size() - 2], "1");
}

TEST(Batch, BadRowsReportTheirColumnAndTheRestGoOn) {
    const auto r = Batch(kHeader +
                         "\n沼气,低压,钢管,1,1,1,1,1,1,1"
                         "\nlpg,low,pe,2.38,3.25,288,abc,100,30,3000"
                         "\nlpg,low,pe,2.38,3.25,288,50,100,30"
                         "\nlpg,high-medium,pe,2.38,3.25,288,50,100,30,1"
                         "\nlpg,high-medium,pe,2.38,3.25,288,50,100,3000,1.2"
                         "\nlpg,low,pe,2.38,3.25,288,50,100,0,3000"
                         "\nlpg,low,pe,2.38,3.25,288,50,100,30,3000\n");
    EXPECT_EQ(r.status, 1);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[1][10], "input_error");
    EXPECT_NE(rows[1][17].find("gas"), std::string::npos);
    EXPECT_NE(rows[2][17].find("diameter"), std::string::npos);
    EXPECT_EQ(rows[3][10], "input_error");  // too few fields, padded
    EXPECT_EQ(rows[3].size(), 18u);
    EXPECT_EQ(rows[4][10], "input_error");
    EXPECT_EQ(rows[4][17], kMsgInletGuard);
    EXPECT_EQ(rows[5][10], "pipe_too_small");
    EXPECT_EQ(rows[5][17], kMsgPipeTooSmall);
    EXPECT_EQ(rows[6][10], "calc_error");
    EXPECT_EQ(rows[6][17], kMsgDataError);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(rows[i][11], "") << i;  // no result fields
    EXPECT_EQ(rows[7][10], "ok");
    EXPECT_NE(r.err.find("record 3"), std::string::npos) << r.err;
}

TEST(Batch, UnusableInputIsAUsageError) {
    EXPECT_EQ(Batch("").status, 2);
    const auto noFlow =
        Batch("gas,class,material,density,viscosity,temperature,diameter,length,inlet\n");
    EXPECT_EQ(noFlow.status, 2);
    EXPECT_NE(noFlow.err.find("'flow'"), std::string::npos);
    EXPECT_EQ(Batch(kHeader + "\n").status, 0);  // a header alone is a valid, empty batch
}

TEST(Batch, ByteOrderMarkAndGarbage) {
    EXPECT_EQ(
        Batch("\xEF\xBB\xBF" + kHeader + "\nlpg,low,pe,2.38,3.25,288,50,100,30,3000\n").status, 0);
    std::string garbage = kHeader + "\n";
    for (int i = 0; i < 4096; ++i) garbage += char(i * 131 % 256);
    garbage += "\n";
    const auto r = Batch(garbage);
    EXPECT_NE(r.status, 0);
}

TEST(Batch, RunawayRecordIsRefused) {
    BatchLimits limits;
    limits.maxRecordBytes = 100000;
    std::string input = kHeader + "\n\"";
    input += std::string(300000, 'x');
    const auto r = Batch(input, limits);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("longer than"), std::string::npos);
}

TEST(Batch, VeryWideRecordDoesNotBlowUp) {
    std::string input = kHeader + "\n" + std::string(200000, ',') + "\n";
    const auto r = Batch(input);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("200001 fields"), std::string::npos);
}

}  // namespace
}  // namespace gaspipe::cli
