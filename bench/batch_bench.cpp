// gaspipe-calc batch end to end, as a user runs it: a generated 1 000 000-row
// CSV piped through the real executable (`cat rows.csv | gaspipe-calc batch -`)
// and its output read to the last byte, timed from process start to exit.
// Rows are mixed as real registers are: all three gases, both pressure
// classes, all materials, starting estimates on a quarter of them, about one
// in a hundred unusable, and pipes too small among them. Reported as rows/s
// (items_per_second) for --jobs 1 and for the default (every core); the
// second input gives a quarter of its rows to the current-code method.
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "batch_input.h"
#include "batch_rows.h"

namespace {

constexpr int kRows = 1'000'000;

class Random {
  public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }

  private:
    std::uint64_t state_ = 42;
};

void Append(std::string& out, double value, int decimals) {
    char buf[32];
    out.append(buf,
               std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr);
}

// The rows as a file; its path.
std::string Generate(bool bothMethods) {
    struct Gas {
        const char *name, *density, *viscosity;
    };
    const Gas gases[] = {
        {"天然气", "0.7247", "14.5"}, {"lpg", "2.38", "3.25"}, {"人工煤气", "0.45", "25"}};
    const char* materials[] = {"钢管", "pe", "铸铁管"};
    const double diameters[] = {15.7, 27.3, 41.3, 52.7, 68.1, 80.9, 106.3, 159.3, 207, 309};
    Random random;
    std::string text =
        "id,gas,class,material,density,viscosity,temperature,diameter,length,flow,"
        "inlet,start,method\n";
    for (int i = 0; i < kRows; ++i) {
        const Gas& gas = gases[i % 3];
        const bool high = (i / 9) % 2 == 0;
        const double d = diameters[static_cast<int>(random.Next() * 10)];
        const double area = 3.14159265 / 4 * (d / 1000) * (d / 1000);
        const double velocity = 1 + random.Next() * 11;
        const double inlet =
            high ? 1.5 + random.Next() * 6.5 : 1000 + std::floor(random.Next() * 4000);
        text += std::to_string(i) + ',' + gas.name + (high ? ",高中压," : ",低压,") +
                materials[(i / 3) % 3] + ',' + gas.density + ',' + gas.viscosity + ",288,";
        Append(text, d, 1);
        text += ',';
        Append(text,
               high ? 50 + std::floor(random.Next() * 2950) : 2 + std::floor(random.Next() * 98),
               0);
        text += ',';
        if (i % 97 == 0)
            text += "abc";
        else
            Append(text, velocity * area * 3600 * (high ? inlet : 1), 1);
        text += ',';
        Append(text, inlet, high ? 3 : 0);
        text += ',';
        if (i % 4 == 0) Append(text, high ? inlet * 0.9 : 0, 2);
        text += bothMethods && i % 4 == 1 ? ",gb50028-2006\n" : ",\n";
    }
    const std::string path =
        "/tmp/gaspipe-batch-bench-" + std::string(bothMethods ? "both" : "appendix") + ".csv";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

void BM_BatchPipe(benchmark::State& state) {
    const bool both = state.range(1) != 0;
    static const std::string paths[] = {Generate(false), Generate(true)};
    const std::string jobs = state.range(0) == 0 ? "" : " --jobs " + std::to_string(state.range(0));
    const std::string command =
        "cat '" + paths[both] + "' | '" GASPIPE_CALC "' batch -" + jobs + " 2>/dev/null";
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::FILE* pipe = popen(command.c_str(), "r");
        static char buffer[1 << 20];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) bytes += n;
        const int status = pclose(pipe);
        const auto end = std::chrono::steady_clock::now();
        if (status == -1) state.SkipWithError("the batch did not run");
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// One worker's share without any reading or writing: the rows of the same
// input, already in memory in chunks as the reader cuts them, parsed,
// calculated and written to text. Its rows/s is what one core can do.
void BM_BatchRowsOneCore(benchmark::State& state) {
    static const std::string path = Generate(false);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    gaspipe::cli::ChunkReader reader(f, 256u << 10, 16u << 20);
    std::vector<gaspipe::cli::InputChunk> chunks;
    for (gaspipe::cli::InputChunk chunk; reader.Next(chunk);) chunks.push_back(chunk);
    std::fclose(f);
    gaspipe::cli::BatchRows header;
    gaspipe::cli::ChunkOutput out;
    header.Process(chunks.front(), out);  // the first chunk holds the header
    gaspipe::cli::BatchRows rows(header.header());
    std::size_t records = 0;
    for (auto _ : state) {
        for (std::size_t i = 1; i < chunks.size(); ++i) {
            rows.Process(chunks[i], out);
            records += out.records;
            benchmark::DoNotOptimize(out.text.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(records));
}
BENCHMARK(BM_BatchRowsOneCore)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

// range(0): --jobs (0: the default, every core); range(1): 1 for both methods.
BENCHMARK(BM_BatchPipe)
    ->ArgNames({"jobs", "both_methods"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
