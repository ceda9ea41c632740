#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "messages.h"
#include "options.h"
#include "segment_job.h"
#include "sizing.h"

namespace gaspipe::cli {

namespace {

struct SizeOptions {
    SegmentInput input;
    SizingLimits limits;
    std::string ini;
    bool json = false;
};

void PrintText(const std::vector<SizingRow>& rows, const std::optional<std::size_t>& choice) {
    std::printf("nominal\tinner_mm\tstatus\tdrop\toutlet\tmean_velocity\tmax_velocity\tmeets\n");
    for (const auto& r : rows) {
        const auto& o = r.outcome;
        const bool ok = o.status == Status::Ok;
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", r.nominal.c_str(), r.innerText.c_str(),
                    std::string(StatusName(o.status)).c_str(),
                    ok ? FormatNumber(o.drop, o.single).c_str() : "",
                    ok ? FormatNumber(o.outlet, o.single).c_str() : "",
                    ok ? FormatNumber(o.meanVelocity, o.single).c_str() : "",
                    ok ? FormatNumber(o.maxVelocity, o.single).c_str() : "",
                    r.meets ? "yes" : "no");
    }
    if (choice)
        std::printf("smallest fitting: nominal %s, inner diameter %s mm\n",
                    rows[*choice].nominal.c_str(), rows[*choice].innerText.c_str());
    else
        std::printf("no nominal diameter meets the limits\n");
}

void PrintJson(const std::vector<SizingRow>& rows, const std::optional<std::size_t>& choice) {
    std::printf("{\"rows\":[");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        std::printf("%s{\"nominal\":%s,\"inner\":%s,%s,\"meets\":%s}", i ? "," : "",
                    JsonString(r.nominal).c_str(), JsonString(r.innerText).c_str(),
                    OutcomeJsonMembers(r.outcome).c_str(), r.meets ? "true" : "false");
    }
    std::printf("],\"choice\":%s}\n", choice ? JsonString(rows[*choice].nominal).c_str() : "null");
}

}  // namespace

void SetupSize(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<SizeOptions>();
    auto* cmd = app.add_subcommand(
        "size", "Try every nominal diameter of the material and pick the smallest that fits");
    AddSegmentOptions(*cmd, opt->input, false);
    const auto& method = opt->input.options.method;
    AddNumberOption(*cmd, "--max-drop", opt->limits.maxDrop, method,
                    "Largest pressure drop: 1e5 Pa (high/medium) or Pa (low)");
    AddNumberOption(*cmd, "--max-velocity", opt->limits.maxVelocity, method,
                    "Largest gas velocity, m/s");
    AddPipeFileOption(*cmd, opt->ini);
    cmd->add_flag("--json", opt->json, "Print one JSON object");

    cmd->callback([opt, &exitStatus] {
        // The calculation would run on impossible inputs and could find every
        // diameter fitting. Sizing picks the diameter: any valid one stands in.
        hydraulics::SegmentInput probe = opt->input.segment;
        probe.diameter = 1;
        if (const auto problem = hydraulics::Validate(probe, opt->input.options)) {
            PrintMessage(stderr, "size: " + problem->message);
            exitStatus = kExitUsage;
            return;
        }
        const auto pipes = ReadPipeFile("size", opt->ini);
        if (!pipes) {
            exitStatus = kExitUsage;
            return;
        }
        const auto rows = SizeSegment(*pipes, opt->input, opt->limits);
        if (rows.empty()) {
            PrintMessage(stderr, "size: the pipe file lists no nominal diameters for " +
                                     Quoted(hydraulics::SelectorText(opt->input.segment.material)));
            exitStatus = kExitUsage;
            return;
        }
        const auto choice = SmallestFitting(rows);
        if (opt->json)
            PrintJson(rows, choice);
        else
            PrintText(rows, choice);
        exitStatus = choice ? kExitOk : kExitCalcFailed;
    });
}

}  // namespace gaspipe::cli
