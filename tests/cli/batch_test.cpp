#include "batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace gaspipe::cli {
namespace {

struct BatchRun {
    int status = -1;
    std::string out, err;
    long inputLeft = 0;  // bytes of the input not read
};

std::string ReadAll(std::FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, f)) s.append(buf, n);
    return s;
}

BatchRun Batch(const std::string& input, BatchLimits limits = {}, std::FILE* out = std::tmpfile()) {
    std::FILE* in = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    BatchRun r;
    r.status = RunBatch(in, out, err, limits);
    r.inputLeft = static_cast<long>(input.size()) - std::ftell(in);
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    for (std::FILE* f : {in, out, err}) std::fclose(f);
    return r;
}

// Splits lines at commas; enough for rows without quoted commas.
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
    "note,gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet";
const std::string kRow = "lpg,low,pe,2.38,3.25,288,50,100,30,3000";

double Number(const std::string& field) { return std::stod(field); }

TEST(Batch, RowsGiveTheWorkedExamplesAndEveryFailureItsPassesAndMessage) {
    const auto r = Batch(kHeader +
                         ",start\n"
                         "\"say \"\"hi\"\"\",天然气,高中压,钢管,0.7247,14.5,288,100,1000,500,5,\n"
                         "b,natural-gas,low,steel,0.7247,14.5,288,50,50,50,3000,\n"
                         "c,natural-gas,low,steel,0.7247,14.5,288,100,1000,500,5000,\n"
                         "d,\"x\"\"y\",low,steel,1,1,1,1,1,1,1,\n"
                         "e,lpg,high-medium,pe,2.38,3.25,288,50,100,30,1,\n");
    EXPECT_EQ(r.status, 1);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 6u) << r.out;
    ASSERT_EQ(rows[0].size(), 20u);
    EXPECT_EQ(rows[0][12], "status");
    EXPECT_EQ(rows[0][19], "message");
    // Inputs pass through, quoted again where they must be.
    EXPECT_EQ(rows[1][0], "\"say \"\"hi\"\"\"");
    EXPECT_EQ(rows[1][1], "天然气");
    // The published worked examples, from an outlet estimate of 0 (an empty
    // start cell): outlet, loss, drop, mean and maximum velocity, passes.
    const struct {
        double outlet, loss, drop, mean, max, tolerance;
    } expected[] = {{4.92761, 0.71862, 5 - 4.92761, 3.80398, 3.8338, 1e-4},
                    {2393.37, 606.63, 606.63, 7.264, 7.286, 1e-2}};
    for (int i = 0; i < 2; ++i) {
        const auto& row = rows[i + 1];
        const auto& e = expected[i];
        EXPECT_EQ(row[12], "ok") << i;
        EXPECT_NEAR(Number(row[13]), e.outlet, e.tolerance) << i;
        EXPECT_NEAR(Number(row[14]), e.loss, e.tolerance) << i;
        EXPECT_NEAR(Number(row[15]), e.drop, e.tolerance) << i;
        EXPECT_NEAR(Number(row[16]), e.mean, e.tolerance) << i;
        EXPECT_NEAR(Number(row[17]), e.max, e.tolerance) << i;
        EXPECT_EQ(row[18], "2") << i;
        EXPECT_EQ(row[19], "") << i;
    }
    // The outlet falls below 0 in the first pass.
    EXPECT_EQ(rows[3][12], "pipe_too_small");
    EXPECT_EQ(rows[3][18], "1");
    EXPECT_NE(r.out.find(",input_error,,,,,,0,\"column 'gas': unknown value 'x\"\"y'\"\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(rows[5][12], "input_error");
    EXPECT_EQ(rows[5][19], "进口压力应大于1!");
    EXPECT_EQ(rows[5][18], "0");                                   // the guard calls no calculation
    for (int i = 3; i <= 5; ++i) EXPECT_EQ(rows[i][13], "") << i;  // no result numbers
    EXPECT_NE(r.err.find("batch: record 6: 进口压力应大于1!\n"), std::string::npos) << r.err;
}

TEST(Batch, BadRowsReportTheirColumnAndTheRestGoOn) {
    const auto r = Batch(
        kHeader + "\n1,沼气,低压,钢管,1,1,1,1,1,1,1" +
        "\n2,lpg,low,pe,2.38,3.25,288,abc,100,30,3000" + "\n3,lpg,low,pe,2.38,3.25,288,50,100,30" +
        "\n4,lpg,low,pe,2.38,3.25,288,50,100,0,3000" + "\n5,a\x01" + std::string(1, '\0') +
        "b,low,pe,2.38,3.25,288,50,100,30,3000" + "\n6," + kRow + "\n");
    EXPECT_EQ(r.status, 1);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_NE(rows[1][18].find("'gas'"), std::string::npos);
    EXPECT_NE(rows[2][18].find("'diameter'"), std::string::npos);
    EXPECT_EQ(rows[3].size(), 19u);  // too few fields, padded
    EXPECT_EQ(rows[3][11], "input_error");
    EXPECT_EQ(rows[4][11], "calc_error");
    EXPECT_EQ(rows[4][18], "请检查输入数据是否正确！");
    EXPECT_EQ(rows[6][11], "ok");
    // Control bytes of a field are shown escaped, the message is not cut at a zero.
    EXPECT_NE(r.err.find("record 6: column 'gas': unknown value 'a\\x01\\x00b'\n"),
              std::string::npos)
        << r.err;
}

TEST(Batch, MalformedQuotesAreReadAsSpreadsheetsDoOrRefused) {
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "n," + kRow + "\n";
    const std::size_t quoteByte = kHeader.size() + 2;  // 1-based, after the header line
    const struct {
        std::string input;
        int status;
        std::string expected;  // in the output, or on standard error when refused
    } cases[] = {
        {kHeader + "\n\"12\" pipe," + kRow + "\nn," + kRow + "\n", 0, "\n12 pipe,lpg,"},
        {kHeader + "\n12\" pipe," + kRow + "\nn," + kRow + "\n", 0, "\n\"12\"\" pipe\",lpg,"},
        {"\xEF\xBB\xBF\"note\",\"gas\",\"class\",material,density,viscosity,temperature,"
         "diameter,length,flow,inlet\nn," +
             kRow + "\nn," + kRow + "\n",
         0, "\nn,lpg,"},
        {kHeader + "\n\"12 pipe," + kRow + "\n" + many, 2,
         "batch: record 2: the quote at byte " + std::to_string(quoteByte) + " is never closed\n"},
        {kHeader + "\n\"12 pipe," + kRow + "\n" + many + "\"n\"," + kRow + "\n", 2,
         "batch: record 2: the quoted field opened at byte " + std::to_string(quoteByte) +
             " runs over a line break"},
    };
    for (const auto& c : cases) {
        const auto r = Batch(c.input);
        EXPECT_EQ(r.status, c.status) << c.input.substr(0, 200) << r.err;
        if (c.status == 0) {
            EXPECT_EQ(Rows(r.out).size(), 3u) << r.out;  // every record accounted for
            EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
        } else {
            EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
        }
    }
}

TEST(Batch, AFailedWriteEndsTheRunAtOnce) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    std::string input = kHeader + "\n";
    while (input.size() < (4u << 20)) input += "n," + kRow + "\n";
    const auto r = Batch(input, {}, full);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("batch: cannot write the output: No space left on device"),
              std::string::npos)
        << r.err;
    EXPECT_GT(r.inputLeft, 1 << 20);  // the rest of the input is not even read
}

TEST(Batch, AnyNumberOfColumnsPassesThrough) {
    std::string header, row;
    for (int i = 0; i < 5000; ++i) {
        const std::string n = std::to_string(i);
        header.append("c").append(n).append(",");
        row.append(n).append(",");
    }
    const auto r = Batch(header + kHeader + "\n" + row + "n," + kRow + "\n");
    ASSERT_EQ(r.status, 0) << r.err.substr(0, 300);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].size(), 5000u + 11 + 8);
    EXPECT_EQ(rows[1][4999], "4999");
    EXPECT_EQ(rows[1][5011], "ok");

    const auto wide = Batch(kHeader + "\n" + std::string(200000, ',') + "\n");
    EXPECT_EQ(wide.status, 1);
    EXPECT_NE(wide.out.find("200001 fields"), std::string::npos);
}

TEST(Batch, UnusableInputIsAUsageError) {
    EXPECT_EQ(Batch("").status, 2);
    const auto noFlow =
        Batch("gas,class,material,density,viscosity,temperature,diameter,length,inlet\n");
    EXPECT_EQ(noFlow.status, 2);
    EXPECT_NE(noFlow.err.find("'flow'"), std::string::npos);
    EXPECT_EQ(Batch(kHeader + "\n").status, 0);  // a header alone is a valid, empty batch

    BatchLimits limits;
    limits.maxRecordBytes = 100000;
    const auto runaway = Batch(kHeader + "\nx" + std::string(300000, 'x'), limits);
    EXPECT_EQ(runaway.status, 2);
    EXPECT_NE(runaway.err.find("record 2 is longer than 100000 bytes"), std::string::npos);
}

}  // namespace
}  // namespace gaspipe::cli
