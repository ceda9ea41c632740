#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "batch.h"
#include "commands.h"
#include "messages.h"
#include "output.h"
#include "platform.h"

namespace gaspipe::cli {

namespace {

struct BatchOptions {
    std::string input = "-";
    std::string output;
    BatchConfig config;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

int Fail(const std::string& message) {
    PrintMessage(stderr, "batch: " + message);
    return kExitUsage;
}

int Run(const BatchOptions& opt) {
    File in;
    if (opt.input != "-") {
        in.reset(OpenFile(opt.input, "rb"));
        if (!in)
            return Fail("cannot open input " + QuotedPath(opt.input) + ": " + std::strerror(errno));
    }
    std::FILE* input = in ? in.get() : stdin;
    WidenPipe(input);
    const auto out = Output::Open("batch", opt.output, IdOfFile(input));
    if (!out) return kExitUsage;
    if (out->standardOutput()) WidenPipe(stdout);
    const int status = RunBatch(input, out->stream(), stderr, opt.config);
    // A run that failed leaves no output and an earlier one as it was.
    if (status == kExitUsage) return status;
    return out->Finish() ? status : kExitUsage;
}

}  // namespace

void SetupBatch(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<BatchOptions>();
    auto* cmd = app.add_subcommand("batch", "Calculate many segments: CSV in, CSV out");
    cmd->add_option("input", opt->input, "Input CSV file, or - for standard input (default)");
    cmd->add_option("-o,--output", opt->output,
                    "Output CSV file, written whole at the end (default standard output)");
    opt->config.jobs = std::max(1u, std::thread::hardware_concurrency());
    cmd->add_option("-j,--jobs", opt->config.jobs,
                    "Threads calculating rows (default: the number of cores); the output is the "
                    "same for any number")
        ->check(CLI::Range(1u, 64u));
    cmd->callback([opt, &exitStatus] { exitStatus = Run(*opt); });
}

}  // namespace gaspipe::cli
