// gaspipe-calc sheet: the calculation sheet (计算书) of one segment or of a
// case file, written whole to -o FILE.pdf, .odt or .html. The numbers are the
// hydraulics trace's and the network's; the layout is the sheet library's.
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "case_file.h"
#include "commands.h"
#include "hydraulics.h"
#include "messages.h"
#include "network.h"
#include "options.h"
#include "output.h"
#include "pipe_dimensions.h"
#include "platform.h"
#include "segment_job.h"
#include "segment_sheet.h"
#include "sheet_files.h"
#include "sheet_writer.h"
#include "table_sheet.h"

namespace gaspipe::cli {

namespace {

struct SheetOptions {
    SegmentInput input;
    std::string nominal, casePath, segment, output, ini, simultaneity;
    std::optional<double> maxVelocity, maxDrop;
    sheet::Project project;
    std::vector<CLI::Option*> segmentOptions;
    CLI::Option *diameter = nullptr, *start = nullptr, *maxVelocityOption = nullptr,
                *maxDropOption = nullptr;
};

const char* const kSegmentOptions[] = {"--gas",       "--class",       "--material",  "--density",
                                       "--viscosity", "--temperature", "--length",    "--flow",
                                       "--inlet",     "--diameter",    "--start",     "--method",
                                       "--rise",      "--local-loss",  "--roughness", "--z"};
// Those a segment's sheet cannot do without.
const char* const kRequiredSegmentOptions[] = {
    "--gas",         "--class",  "--material", "--density", "--viscosity",
    "--temperature", "--length", "--flow",     "--inlet",   "--diameter"};

// SOURCE_DATE_EPOCH, when set, makes the footer's time reproducible.
sheet::Produced Now() {
    std::time_t when = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
        when = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
    return sheet::ProducedAt(when);
}

// The day the sheet is made, as its date unless one is given.
std::string Today(const sheet::Produced& produced) { return produced.time.substr(0, 10); }

// A decimal text as the nearest double; none for anything else.
std::optional<double> Decimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string PipeFilePath(const std::string& ini) {
    return ini.empty() ? ExecutableDirectory() + "/" + kPipeFileName : ini;
}

int Write(const sheet::Document& doc, const std::string& path) {
    std::string error;
    if (WriteSheet(doc, path, error)) return kExitOk;
    PrintMessage(stderr, "sheet: cannot write " + QuotedPath(path) + ": " + error);
    return kExitUsage;
}

int SegmentSheet(SheetOptions& opt) {
    for (CLI::Option* o : opt.segmentOptions) {
        const bool required =
            std::find(std::begin(kRequiredSegmentOptions), std::end(kRequiredSegmentOptions),
                      o->get_name()) != std::end(kRequiredSegmentOptions);
        const bool fromPipeFile = o == opt.diameter && !opt.nominal.empty();
        if (required && !fromPipeFile && o->count() == 0)
            throw CLI::RequiredError(o->get_name() + " (or --case CASE.gpcase)");
    }
    hydraulics::SegmentInput h = opt.input.segment;
    const hydraulics::MethodOptions& method = opt.input.options;
    const std::string material(hydraulics::SelectorText(h.material));
    sheet::SegmentSheet s;
    if (!opt.nominal.empty()) {
        const auto pipes = ReadPipeFile("sheet", opt.ini);
        if (!pipes) return kExitUsage;
        s.pipe.nominal = opt.nominal;
        s.pipe.pipeFile = PipeFilePath(opt.ini);
        s.pipe.fileInner = Decimal(pipes->InnerDiameter(material, opt.nominal));
        s.pipe.dimensions = network::ReadPipeDimensions(*pipes, material, opt.nominal);
        s.pipe.fileTitle = network::PipeFileTitle(*pipes);
        if (opt.diameter->count() == 0) {
            if (!s.pipe.fileInner) {
                PrintMessage(stderr, "sheet: the pipe file " + QuotedPath(s.pipe.pipeFile) +
                                         " gives no inner diameter for " + material + " " +
                                         Quoted(opt.nominal) + "; give it with --diameter");
                return kExitUsage;
            }
            h.diameter = *s.pipe.fileInner;
        }
    }
    auto problem = hydraulics::Validate(h, method);
    if (!problem) problem = hydraulics::ValidateStart(method.method, opt.start->count() > 0);
    if (problem) {
        PrintMessage(stderr, "sheet: " + problem->message);
        return kExitUsage;
    }
    s.trace = hydraulics::Calculate(h, method);
    if (s.trace.outcome != hydraulics::Outcome::Ok) {
        PrintMessage(stderr, s.trace.outcome == hydraulics::Outcome::PipeTooSmall ? kMsgPipeTooSmall
                                                                                  : kMsgDataError);
        return kExitCalcFailed;
    }
    s.project = opt.project;
    s.produced = Now();
    if (s.project.date.empty()) s.project.date = Today(s.produced);
    s.limits.maxVelocity = opt.maxVelocity;
    s.limits.maxDrop = opt.maxDrop;
    const int written = Write(sheet::BuildSegmentSheet(s), opt.output);
    const bool holds = (!s.limits.maxVelocity || s.trace.maxVelocity <= *s.limits.maxVelocity) &&
                       (!s.limits.maxDrop || s.trace.drop <= *s.limits.maxDrop);
    return written != kExitOk ? written : holds ? kExitOk : kExitCalcFailed;
}

int CaseSheet(const SheetOptions& opt) {
    using namespace network;
    const CaseReadResult read = LoadCase(opt.casePath);
    if (!read.value) {
        PrintMessage(stderr, "sheet: " + QuotedPath(opt.casePath) + ": " + read.error);
        return kExitUsage;
    }
    const Case& c = *read.value;
    if (!OutputIsNotInput("sheet", opt.output, IdOfFile(opt.casePath))) return kExitUsage;
    const auto pipes = ReadPipeFile("sheet", opt.ini);
    if (!pipes) return kExitUsage;
    const PipeCatalog catalog = PipeCatalog::Read(*pipes, c);
    const SimultaneityTable factors = ReadSimultaneity(opt.simultaneity);
    Network net(catalog, &factors);
    if (!net.Load(c)) {
        for (const CaseProblem& p : net.problems())
            PrintMessage(stderr, "sheet: " + QuotedPath(opt.casePath) + ": " + p.message);
        return kExitUsage;
    }
    sheet::TableSheet t;
    t.project = sheet::CaseProject(c);
    for (auto [field, given] : {std::pair{&t.project.name, &opt.project.name},
                                {&t.project.number, &opt.project.number},
                                {&t.project.stage, &opt.project.stage},
                                {&t.project.date, &opt.project.date},
                                {&t.project.designer, &opt.project.designer},
                                {&t.project.organization, &opt.project.organization},
                                {&t.project.sheetNumber, &opt.project.sheetNumber},
                                {&t.project.revision, &opt.project.revision}})
        if (!given->empty()) *field = *given;
    t.produced = Now();
    if (t.project.date.empty()) t.project.date = Today(t.produced);
    t.pipeFile = PipeFilePath(opt.ini);
    t.catalog = &catalog;
    t.pressureUnit = CaseScale(c).unit;
    if (!opt.segment.empty()) {
        for (std::size_t i = 0; i < c.segments.size() && !t.detail; ++i)
            if (c.segments[i].id == opt.segment) t.detail = i;
        if (!t.detail) {
            PrintMessage(stderr, "sheet: the case has no segment " + Quoted(opt.segment));
            return kExitUsage;
        }
        const SegmentResult& r = net.results()[*t.detail];
        if (r.status != SegmentStatus::Ok) {
            PrintMessage(stderr, "sheet: segment " + Quoted(opt.segment) +
                                     " was not calculated: " + r.message);
            return kExitCalcFailed;
        }
    }
    const int written = Write(sheet::BuildTableSheet(c, net, t), opt.output);
    return written != kExitOk ? written : net.AllChecksHold() ? kExitOk : kExitCalcFailed;
}

}  // namespace

void SetupSheet(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<SheetOptions>();
    auto* cmd = app.add_subcommand(
        "sheet", "Write the calculation sheet (计算书) of one segment or of a case file");
    AddSegmentOptions(*cmd, opt->input, true);
    AddNumberOption(*cmd, "--start", opt->input.segment.start, opt->input.options.method,
                    "appendix: starting estimate of the outlet pressure (default 0)");
    cmd->add_option(
        "--nominal", opt->nominal,
        "Nominal diameter: the pipe file's entry (its inner diameter unless --diameter)");
    auto* casePath =
        cmd->add_option("--case", opt->casePath, "Case file (.gpcase) instead of one segment");
    cmd->add_option("--segment", opt->segment,
                    "With --case: the segment worked in detail (default: the largest loss)")
        ->needs(casePath);
    cmd->add_option("-o,--output", opt->output, "Output file: .pdf, .odt or .html")->required();
    AddPipeFileOption(*cmd, opt->ini);
    AddSimultaneityOption(*cmd, opt->simultaneity);
    // The limits as typed, whatever the method: they are compared, not computed with.
    static const hydraulics::Method kDouble = hydraulics::Method::Gb50028_2006;
    opt->maxVelocityOption = AddNumberOption(*cmd, "--max-velocity", opt->maxVelocity, kDouble,
                                             "Allowed maximum velocity, m/s (one segment)");
    opt->maxDropOption =
        AddNumberOption(*cmd, "--max-drop", opt->maxDrop, kDouble,
                        "Allowed pressure drop, in the inlet's unit (one segment)");
    cmd->add_option("--project-name", opt->project.name, "工程名称");
    cmd->add_option("--project-number", opt->project.number, "工程编号");
    cmd->add_option("--design-stage", opt->project.stage, "设计阶段");
    cmd->add_option("--designer", opt->project.designer, "设计人");
    cmd->add_option("--date", opt->project.date, "日期 (default: today)");
    cmd->add_option("--organization", opt->project.organization, "设计单位");
    cmd->add_option("--sheet-number", opt->project.sheetNumber, "计算书编号");
    cmd->add_option("--revision", opt->project.revision, "版次");
    // The segment's options are required only without --case.
    for (const char* name : kSegmentOptions) {
        CLI::Option* o = cmd->get_option(name);
        o->required(false);
        casePath->excludes(o);
        opt->segmentOptions.push_back(o);
    }
    opt->diameter = cmd->get_option("--diameter");
    opt->start = cmd->get_option("--start");
    casePath->excludes(cmd->get_option("--nominal"));
    casePath->excludes(opt->maxVelocityOption)->excludes(opt->maxDropOption);

    cmd->callback([opt, casePath, &exitStatus] {
        const auto format = sheet::FormatOfPath(opt->output);
        if (!format)
            throw CLI::ValidationError("-o",
                                       Quoted(opt->output) + " must end in .pdf, .odt or .html");
        if (!CanWriteSheet(*format))
            throw CLI::ValidationError("-o",
                                       "PDF and ODT need the build with Qt; this one writes .html");
        exitStatus = casePath->count() ? CaseSheet(*opt) : SegmentSheet(*opt);
    });
}

}  // namespace gaspipe::cli
