#include <cstdio>
#include <memory>

#include "commands.h"
#include "messages.h"
#include "options.h"
#include "segment_job.h"
#include "segment_report.h"

namespace gaspipe::cli {

namespace {

struct SegmentOptions {
    SegmentInput input;
    bool json = false;
    bool trace = false;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

void SetupSegment(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<SegmentOptions>();
    auto* cmd = app.add_subcommand("segment", "Calculate one pipe segment");
    AddSegmentOptions(*cmd, opt->input, true);
    auto* start =
        AddNumberOption(*cmd, "--start", opt->input.segment.start, opt->input.options.method,
                        "appendix: starting estimate of the outlet pressure (default 0)");
    cmd->add_flag("--json", opt->json, "Print one JSON object");
    cmd->add_flag("--trace", opt->trace,
                  "Print the whole working: inputs as used, Re, lambda, Z, every pass, results");

    cmd->callback([opt, start, &exitStatus] {
        auto problem = hydraulics::ValidateOptions(opt->input.segment, opt->input.options);
        if (!problem)
            problem = hydraulics::ValidateStart(opt->input.options.method, start->count() > 0);
        if (problem) {
            PrintMessage(stderr, "segment: " + problem->message);
            exitStatus = kExitUsage;
            return;
        }
        const SegmentOutcome o = RunSegment(opt->input);
        exitStatus = o.status == Status::Ok ? kExitOk : kExitCalcFailed;
        // The window's guard keeps the appendix routine from running.
        const bool calculated = o.status != Status::InputError || !o.single;
        if (opt->trace && calculated) {
            const auto t = hydraulics::Calculate(opt->input.segment, opt->input.options);
            Print(opt->json ? TraceJson(t) + "\n" : TraceText(t));
        } else if (opt->json) {
            std::printf("{%s}\n", OutcomeJsonMembers(o).c_str());
        } else if (o.status == Status::Ok) {
            for (const auto& line : ReportText(opt->input, o)) std::printf("%s\n", line.c_str());
        } else {
            if (o.status == Status::InputError) PrintMessage(stderr, "错误：");
            PrintMessage(stderr, o.message);
        }
    });
}

}  // namespace gaspipe::cli
