#include <cstdio>
#include <memory>

#include "commands.h"
#include "messages.h"
#include "options.h"
#include "report.h"
#include "segment_job.h"

namespace gaspipe::cli {

namespace {

struct SegmentOptions {
    SegmentInput input;
    bool json = false;
};

}  // namespace

void SetupSegment(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<SegmentOptions>();
    auto* cmd = app.add_subcommand("segment", "Calculate one pipe segment");
    AddSegmentOptions(*cmd, opt->input, true);
    AddNumberOption(*cmd, "--start", opt->input.start,
                    "Starting estimate of the outlet pressure (default 0)");
    cmd->add_flag("--json", opt->json, "Print one JSON object");

    cmd->callback([opt, &exitStatus] {
        const SegmentOutcome o = RunSegment(opt->input);
        if (opt->json) {
            std::printf("{%s}\n", OutcomeJsonMembers(o).c_str());
        } else if (o.status == Status::Ok) {
            const SegmentResult r{opt->input.inlet, o.outlet, o.loss, o.meanVelocity,
                                  o.maxVelocity};
            // The drop was already computed without error, so this cannot throw.
            for (const auto& line : ReportLines(opt->input.pressureClass, r))
                std::printf("%s\n", line.c_str());
        } else {
            if (o.status == Status::InputError) PrintMessage(stderr, "错误：");
            PrintMessage(stderr, o.message);
        }
        exitStatus = o.status == Status::Ok ? kExitOk : kExitCalcFailed;
    });
}

}  // namespace gaspipe::cli
