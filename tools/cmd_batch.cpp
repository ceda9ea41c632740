#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "batch.h"
#include "commands.h"
#include "messages.h"

namespace gaspipe::cli {

namespace {

struct BatchOptions {
    std::string input = "-";
    std::string output;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void SetupBatch(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<BatchOptions>();
    auto* cmd = app.add_subcommand("batch", "Calculate many segments: CSV in, CSV out");
    cmd->add_option("input", opt->input, "Input CSV file, or - for standard input (default)");
    cmd->add_option("-o,--output", opt->output, "Output CSV file (default standard output)");
    cmd->callback([opt, &exitStatus] {
        File in, out;
        if (opt->input != "-") {
            in.reset(std::fopen(opt->input.c_str(), "rb"));
            if (!in) {
                PrintMessage(stderr, "batch: cannot open input " + QuotedPath(opt->input) + ": " +
                                         std::strerror(errno));
                exitStatus = kExitUsage;
                return;
            }
        }
        if (!opt->output.empty()) {
            out.reset(std::fopen(opt->output.c_str(), "wb"));
            if (!out) {
                PrintMessage(stderr, "batch: cannot open output " + QuotedPath(opt->output) + ": " +
                                         std::strerror(errno));
                exitStatus = kExitUsage;
                return;
            }
        }
        exitStatus = RunBatch(in ? in.get() : stdin, out ? out.get() : stdout, stderr);
        if (out && std::fclose(out.release()) != 0) {
            PrintMessage(stderr, "batch: cannot write output " + QuotedPath(opt->output));
            exitStatus = kExitUsage;
        }
    });
}

}  // namespace gaspipe::cli
