// gaspipe-calc solve: the largest flow or length, the smallest inner diameter
// or inlet pressure that keeps one segment within the limits.
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "messages.h"
#include "options.h"
#include "segment_job.h"
#include "segment_report.h"
#include "solve.h"

namespace gaspipe::cli {

namespace {

namespace hy = hydraulics;

struct SolveOptions {
    SegmentInput input;
    std::string unknown;
    hy::Limits limits;
    bool json = false;
};

double& Field(hy::SegmentInput& in, hy::Unknown u) {
    switch (u) {
        case hy::Unknown::Flow:
            return in.flow;
        case hy::Unknown::Length:
            return in.length;
        case hy::Unknown::Diameter:
            return in.diameter;
        case hy::Unknown::Inlet:
            break;
    }
    return in.inlet;
}

void PrintJson(const hy::SolveResult& r, hy::Unknown unknown, const SegmentOutcome* at,
               bool single) {
    const bool answered = r.status == hy::SolveStatus::Solved;
    std::string out = "{\"status\":" + JsonString(hy::SolveStatusName(r.status));
    out += ",\"for\":" + JsonString(hy::UnknownName(unknown));
    out += ",\"value\":" + (answered ? FormatNumber(r.value, single) : "null");
    out += ",\"binding\":" + (r.binding ? JsonString(hy::BindingName(*r.binding)) : "null");
    out += ",\"evaluations\":" + std::to_string(r.evaluations);
    out += ",\"message\":" + JsonString(r.message);
    out += ",\"segment\":" + (at ? "{" + OutcomeJsonMembers(*at) + "}" : "null");
    std::printf("%s}\n", out.c_str());
}

}  // namespace

void SetupSolve(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<SolveOptions>();
    auto* cmd = app.add_subcommand(
        "solve",
        "Find the largest flow or length, or the smallest diameter or inlet, within the limits");
    cmd->add_option("--for", opt->unknown, "The unknown: flow, length, diameter or inlet")
        ->required()
        ->check(CLI::IsMember({"flow", "length", "diameter", "inlet"}));
    // The unknown's own option is only where the search starts.
    AddSegmentOptions(*cmd, opt->input, true, false);
    const auto& method = opt->input.options.method;
    AddNumberOption(*cmd, "--max-drop", opt->limits.maxDrop, method,
                    "Largest pressure drop P1 - P2: 1e5 Pa (high/medium) or Pa (low)");
    AddNumberOption(*cmd, "--max-velocity", opt->limits.maxVelocity, method,
                    "Largest maximum (outlet) velocity, m/s");
    cmd->add_flag("--json", opt->json, "Print one JSON object");

    cmd->callback([opt, cmd, &exitStatus] {
        const hy::Unknown unknown = *hy::UnknownFromName(opt->unknown);
        for (const char* name : {"flow", "length", "diameter", "inlet"}) {
            if (name == hy::UnknownName(unknown) || cmd->count(std::string("--") + name) > 0)
                continue;
            PrintMessage(stderr,
                         std::string("solve: --") + name + " is required unless solving for it");
            exitStatus = kExitUsage;
            return;
        }
        const SegmentInput& in = opt->input;
        const hy::SolveResult r = hy::Solve(in.segment, in.options, unknown, opt->limits);
        exitStatus = r.status == hy::SolveStatus::Solved       ? kExitOk
                     : r.status == hy::SolveStatus::InputError ? kExitUsage
                                                               : kExitCalcFailed;
        // The segment at the answer, as `segment` gives it for that value.
        std::optional<SegmentOutcome> at;
        SegmentInput answer = in;
        if (r.status == hy::SolveStatus::Solved) {
            Field(answer.segment, unknown) = r.value;
            at = RunSegment(answer);
        }
        if (opt->json) {
            PrintJson(r, unknown, at ? &*at : nullptr, in.single());
            return;
        }
        if (!at || at->status != Status::Ok) {
            PrintMessage(stderr, "solve: " + r.message);
            return;
        }
        std::printf("%s\n%s\t%s\n", r.message.c_str(),
                    std::string(hy::UnknownName(unknown)).c_str(),
                    FormatNumber(r.value, in.single()).c_str());
        for (const auto& line : ReportText(answer, *at)) std::printf("%s\n", line.c_str());
    });
}

}  // namespace gaspipe::cli
