#include "batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
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

BatchRun Batch(const std::string& input, BatchConfig config = {}, std::FILE* out = std::tmpfile()) {
    std::FILE* in = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    BatchRun r;
    r.status = RunBatch(in, out, err, config);
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
    ASSERT_EQ(rows[0].size(), 24u);
    EXPECT_EQ(rows[0][12], "status");
    EXPECT_EQ(rows[0][19], "message");
    EXPECT_EQ(rows[0][23], "z");
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
        EXPECT_EQ(row[22], "turbulent") << i;
        EXPECT_EQ(row[23], "1") << i;  // no compressibility below 13 (10⁵ Pa)
    }
    // The outlet falls below 0 in the first pass.
    EXPECT_EQ(rows[3][12], "pipe_too_small");
    EXPECT_EQ(rows[3][18], "1");
    EXPECT_NE(r.out.find(",input_error,,,,,,0,\"column 'gas': unknown value 'x\"\"y'\",,,,\n"),
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
    EXPECT_EQ(rows[3].size(), 23u);  // too few fields, padded
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
    std::string input = kHeader + "\n";
    while (input.size() < (4u << 20)) input += "n," + kRow + "\n";
    for (unsigned jobs : {1u, 4u}) {
        std::FILE* full = std::fopen("/dev/full", "wb");
        ASSERT_NE(full, nullptr);
        BatchConfig config;
        config.jobs = jobs;
        const auto r = Batch(input, config, full);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("batch: cannot write the output: No space left on device"),
                  std::string::npos)
            << r.err;
        EXPECT_GT(r.inputLeft, 1 << 20) << jobs;  // the rest of the input is not even read
    }
}

// The current-code method against hand calculations of its formulas (the
// library's tests): a high/medium segment with the gas ideal, and a
// low-pressure one rising 10 m.
TEST(Batch, TheCurrentCodeMethodAndTheOptionalColumns) {
    const std::string header = kHeader + ",method,local_loss,rise,roughness,z";
    const std::string high = "natural-gas,high-medium,steel,0.7247,14.5,288,100,1000,500,5";
    const std::string low = "natural-gas,low,steel,0.7247,14.5,288,50,50,50,3000";
    const auto r = Batch(header + "\n" +                          //
                         "a," + high + ",gb50028-2006,,,,\n" +    //
                         "b," + low + ",gb50028-2006,, 10,,\n" +  //
                         "c," + high + ",,,,,\n" +                //
                         "d," + low + ",appendix,,30,,\n" +       //
                         "e," + low + ",appendix,,,,\n" +         //
                         "f," + high + ",appendix,0.2,,,\n" +     //
                         "g," + high + ",gb,,,,\n" +              //
                         "h," + low + ",gb50028-2006,,,,0.9\n");
    EXPECT_EQ(r.status, 1);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 9u) << r.out;
    ASSERT_EQ(rows[0].size(), 16u + 12);
    const std::size_t status = 16, outlet = 17, message = 23, reynolds = 24, lambda = 25,
                      regime = 26;
    // The current-code method's numbers read back as the doubles computed.
    EXPECT_NEAR(Number(rows[1][outlet]), 4.941519952660304, 1e-14);
    EXPECT_NEAR(Number(rows[1][reynolds]), 121957.81079838723, 1e-9);
    EXPECT_NEAR(Number(rows[1][lambda]), 0.021785851799799718, 1e-16);
    EXPECT_EQ(rows[1][regime], "turbulent");
    EXPECT_NEAR(Number(rows[2][outlet]), 2447.3359019466743, 1e-11);
    // Empty cells are the defaults: the appendix routine's worked example.
    EXPECT_EQ(rows[3][outlet], "4.927614");
    // The appendix routine's outlet (a float) plus the additional head
    // 9.8·(1.293 − ρ)·30 of the float density 0.72469997: 167.08020763 Pa.
    EXPECT_NEAR(Number(rows[4][outlet]) - std::stof(rows[5][outlet]), 167.08020763, 1e-8);
    EXPECT_EQ(rows[6][status], "input_error");
    EXPECT_EQ(rows[6][message], "local_loss applies to the gb50028-2006 method only");
    EXPECT_EQ(rows[7][message], "column 'method': unknown value 'gb'");
    EXPECT_EQ(rows[8][message], "z applies to high/medium pressure only");
    EXPECT_NE(r.err.find("batch: record 9: z applies"), std::string::npos) << r.err;
}

// The starting estimate is the appendix routine's own: a current-code row
// that fills it is refused, as `segment --start` is; an empty cell is none.
TEST(Batch, AStartBelongsToTheAppendixMethod) {
    const std::string high = "natural-gas,high-medium,steel,0.7247,14.5,288,100,1000,500,5";
    const auto r = Batch(kHeader + ",start,method\n" +          //
                         "a," + high + ",4.9,gb50028-2006\n" +  //
                         "b," + high + ",,gb50028-2006\n" +     //
                         "c," + high + ",4.9,\n");
    EXPECT_EQ(r.status, 1);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    const std::size_t status = 13, message = 20;
    EXPECT_EQ(rows[1][status], "input_error");
    EXPECT_EQ(rows[1][message], "start applies to the appendix method only");
    EXPECT_EQ(rows[2][status], "ok");
    EXPECT_EQ(rows[3][status], "ok");
    EXPECT_NE(r.err.find("batch: record 2: start applies to the appendix method only"),
              std::string::npos)
        << r.err;
}

// Every kind of record and of error, cut into chunks of every size and worked
// on by one thread or four: the same bytes out, the same messages in the same
// order with the same record numbers, the same exit status.
TEST(Batch, AnyNumberOfJobsWritesTheSameBytes) {
    std::string rows;
    const std::string kinds[] = {
        "plain," + kRow,
        "\"quoted, with \"\"quotes\"\" and a\nline break\"," + kRow,
        "12\" pipe," + kRow,
        "\"12\" pipe," + kRow,
        "crlf," + kRow + "\r",
        "",  // a blank line
        "guard,natural-gas,high-medium,steel,0.7247,14.5,288,100,1000,500,1,,",
        "small,natural-gas,high-medium,steel,0.7247,14.5,288,100,1000,50000,5,,",
        "zero flow,lpg,low,pe,2.38,3.25,288,50,100,0,3000,,",
        "bad number,lpg,low,pe,2.38,3.25,288,5o,100,30,3000,,",
        "unknown gas,沼气,low,pe,2.38,3.25,288,50,100,30,3000,,",
        "short,lpg,low,pe",
        "current,lpg,low,pe,2.38,3.25,288,50,100,30,3000,,gb50028-2006",
        "current failing,lpg,low,pe,2.38,3.25,288,50,100,3000,3000,,gb50028-2006",
        "start,natural-gas,high-medium,steel,0.7247,14.5,288,100,1000,500,5,4.9,",
    };
    for (int i = 0; i < 600; ++i) rows += kinds[(i * 7) % std::size(kinds)] + "\n";
    const std::string input = "\xEF\xBB\xBF" + kHeader + ",start,method\r\n" + rows;
    const std::string endings[] = {
        "",
        "no line break at the end," + kRow,
        "\"never closed," + kRow + "\n" + "x," + kRow + "\n",
        "\"a\nb\" pipe," + kRow + "\n",
        "runaway," + std::string(5000, 'x'),
    };
    for (const std::string& ending : endings) {
        std::optional<BatchRun> first;
        for (unsigned jobs : {1u, 4u}) {
            for (std::size_t chunk : {std::size_t(1), std::size_t(100), std::size_t(256) << 10}) {
                BatchConfig config;
                config.jobs = jobs;
                config.chunkBytes = chunk;
                config.maxRecordBytes = 4000;
                const BatchRun r = Batch(input + ending, config);
                if (!first) {
                    first = r;
                    EXPECT_GE(Rows(r.out).size(), 600u) << ending.substr(0, 30);
                    continue;
                }
                const std::string run = std::to_string(jobs) + " jobs, chunks of " +
                                        std::to_string(chunk) + ", " + ending.substr(0, 30);
                EXPECT_EQ(r.status, first->status) << run;
                EXPECT_TRUE(r.out == first->out) << run;
                EXPECT_EQ(r.err, first->err) << run;
            }
        }
    }
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
    EXPECT_EQ(rows[1].size(), 5000u + 11 + 12);
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

    BatchConfig config;
    config.maxRecordBytes = 100000;
    const auto runaway = Batch(kHeader + "\nx" + std::string(300000, 'x'), config);
    EXPECT_EQ(runaway.status, 2);
    EXPECT_NE(runaway.err.find("record 2 is longer than 100000 bytes"), std::string::npos);
}

}  // namespace
}  // namespace gaspipe::cli
