// Time from process start to the main window's first paint, and the peak
// resident memory of that process. Each iteration spawns gaspipe-startup-probe
// (the program's own start-up) and waits for its "shown" line.
//   xvfb-run -a build/bin/gaspipe-startup-bench
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <string>

extern char** environ;

namespace {

std::string ProbePath() {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("./x");
    dir.erase(dir.find_last_of('/') + 1);
    return dir + "gaspipe-startup-probe";
}

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    bool shown = false;
};

Run StartOnce(const std::string& probe) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* argv[] = {const_cast<char*>(probe.c_str()), nullptr};

    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, probe.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return run;
    }
    std::string out;
    char buffer[64];
    ssize_t got = 0;
    while (out.find("shown\n") == std::string::npos &&
           (got = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(got));
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.shown = out.find("shown\n") != std::string::npos;
    close(fds[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;
    run.shown = run.shown && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void BM_StartupToFirstShow(benchmark::State& state) {
    const std::string probe = ProbePath();
    long peakKiB = 0;
    for (auto _ : state) {
        const Run run = StartOnce(probe);
        if (!run.shown) {
            state.SkipWithError(
                "the probe did not show its window or failed (no display? try xvfb-run -a)");
            break;
        }
        state.SetIterationTime(run.seconds);
        peakKiB = std::max(peakKiB, run.peakKiB);
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}
BENCHMARK(BM_StartupToFirstShow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
