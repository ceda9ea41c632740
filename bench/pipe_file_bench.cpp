// Reading a hostile pipe file: 16 MiB (the reader's limit) of blank lines
// around a steel section whose list has 250 entries. Targets: listing every
// entry with its inner diameter, as gaspipe-calc diameters does in a fresh
// process (read, parse, 251 lookups), under 1 s and 100 MB; the window's
// lookups on an unchanged file cost next to nothing.
//   build/bin/pipe_file_bench
// The window's start-up with such a file: put it beside a copy of
// gaspipe-startup-probe and gaspipe-startup-bench and run the latter.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "pipe_file.h"

namespace {

namespace fs = std::filesystem;

const char* const kSteel = "\xB8\xD6\xB9\xDC";  // 钢管 in code page 936

std::string HostileFile(char filler) {
    std::string list, keys;
    for (int i = 1; i <= 250; ++i) {
        const std::string n = std::to_string(i);
        list.append(i > 1 ? "," : "").append(n);
        keys.append(n).append("=").append(n).append(".5\n").append(1000, '\n');
    }
    std::string text =
        std::string(8u << 20, filler) + "[" + kSteel + "]\nPipeDia=" + list + "\n" + keys;
    text.resize((16u << 20) - 1, '\n');
    return text;
}

void Write(const fs::path& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

struct Fixture {
    fs::path dir = fs::temp_directory_path() / "gaspipe-pipe-file-bench";
    gaspipe::classIniFile ini;
    Fixture() {
        fs::create_directories(dir);
        ini.INIFileName((dir / gaspipe::kPipeFileName).string());
    }
    ~Fixture() { fs::remove_all(dir); }
};

void BM_ListHostileFileFromScratch(benchmark::State& state) {
    Fixture f;
    char filler = '\n';
    std::size_t entries = 0;
    for (auto _ : state) {
        // A new version each time, as a new process would meet it.
        state.PauseTiming();
        filler = filler == '\n' ? '\r' : '\n';
        Write(f.ini.INIFileName(), HostileFile(filler));
        state.ResumeTiming();
        const gaspipe::PipeFile pipes(f.ini);
        entries = 0;
        for (const auto& nominal : pipes.NominalDiameters("钢管"))
            entries += !pipes.InnerDiameter("钢管", nominal).empty();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["peak_MiB"] = PeakMiB();
}

void BM_WindowLookupsOnUnchangedHostileFile(benchmark::State& state) {
    Fixture f;
    Write(f.ini.INIFileName(), HostileFile('\n'));
    // Let the file's times fall behind the clock, as an installed file's are.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    (void)gaspipe::ReadNominalDiameters(f.ini, "钢管");
    for (auto _ : state) {
        const auto list = gaspipe::ReadNominalDiameters(f.ini, "钢管");
        benchmark::DoNotOptimize(gaspipe::ReadInnerDiameter(f.ini, "钢管", list.back()));
    }
    state.counters["peak_MiB"] = PeakMiB();
}

BENCHMARK(BM_ListHostileFileFromScratch)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowLookupsOnUnchangedHostileFile)->Unit(benchmark::kMicrosecond);

}  // namespace
