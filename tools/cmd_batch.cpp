#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "atomic_file.h"
#include "batch.h"
#include "commands.h"
#include "messages.h"
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
    if (opt.output.empty()) {
        WidenPipe(stdout);
        return RunBatch(input, stdout, stderr, opt.config);
    }

    // Checked before anything is written: results written over the rows
    // they come from would destroy them.
    if (IsSameFile(input, opt.output))
        return Fail("the output " + QuotedPath(opt.output) +
                    " is the input file; write the results elsewhere");
    const std::string target = fileio::FollowLinks(opt.output);
    const OutputKind kind = KindOfOutput(target);
    if (kind == OutputKind::ReadOnlyFile)
        return Fail("cannot write output " + QuotedPath(opt.output) + ": " + std::strerror(EACCES));
    if (kind == OutputKind::Special) {
        // A device or a pipe (-o /dev/null) is written as it is.
        File out(OpenFile(target, "wb"));
        if (!out)
            return Fail("cannot open output " + QuotedPath(opt.output) + ": " +
                        std::strerror(errno));
        const int status = RunBatch(input, out.get(), stderr, opt.config);
        if (std::fclose(out.release()) != 0 && status != kExitUsage)
            return Fail("cannot write output " + QuotedPath(opt.output) + ": " +
                        std::strerror(errno));
        return status;
    }
    std::string error;
    const auto out = fileio::AtomicFile::Create(target, error);
    if (!out) return Fail("cannot create output " + QuotedPath(opt.output) + ": " + error);
    const int status = RunBatch(input, out->stream(), stderr, opt.config);
    // A run that failed leaves no output and an earlier one as it was.
    if (status == kExitUsage) return status;
    if (!out->Commit(error))
        return Fail("cannot write output " + QuotedPath(opt.output) + ": " + error);
    return status;
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
