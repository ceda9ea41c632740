// gaspipe-calc network: the hydraulic calculation table of a case file, as an
// aligned text table, JSON or CSV; with --size, the whole-line sizing
// proposal written as a new case file. The solving is the network library's.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "case_file.h"
#include "class_ini_file.h"
#include "commands.h"
#include "line_columns.h"
#include "messages.h"
#include "network.h"
#include "options.h"
#include "output.h"
#include "pipe_file.h"
#include "segments_csv.h"

namespace gaspipe::cli {

namespace {

using namespace gaspipe::network;

// Texts from the case reach the terminal escaped, as in messages, never cut.
constexpr std::size_t kWhole = std::string::npos;

struct NetworkOptions {
    std::string input;
    std::string output;
    std::string ini;
    std::string simultaneity;
    bool json = false;
    bool csv = false;
    bool size = false;
};

// Columns a terminal gives a UTF-8 text: two for East Asian wide characters.
std::size_t DisplayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0x3F >> (len - 1));
        for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
        width += wide ? 2 : 1;
        i += len;
    }
    return width;
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string CheckText(const SegmentResult& r) {
    const std::string words = CheckWords(r);
    return r.status == SegmentStatus::Ok ? words : words + ": " + r.message;
}

// The heading above the table: the line's pressure level, its source
// pressure and the units its pressures are shown in.
std::string Heading(const Case& c) {
    const PressureScale scale = CaseScale(c);
    const bool low = IsLowPressure(c);
    std::string text =
        "压力级别：" + std::string(PressureLevelName(SourceLevel(c.source.pressure, low))) +
        "；气源压力 " + Fixed(scale.Pressure(c.source.pressure), scale.PressureDecimals()) + " " +
        scale.PressureHeadingUnit() + "；压力为" + std::string(scale.Reference());
    if (!low) text += "，压降单位 " + std::string(scale.DropUnitText());
    return text + "\n";
}

// Below the table: what the marks mean and the shares of the parts.
std::string Notes(const Case& c, const std::vector<LineColumn>& columns) {
    std::string notes;
    const bool marks = std::any_of(c.segments.begin(), c.segments.end(),
                                   [](const Segment& s) { return s.flow || s.simultaneity; });
    if (marks && std::find(columns.begin(), columns.end(), LineColumn::Flow) != columns.end())
        notes += "* 为管段给定的流量或同时工作系数，其余由下游户数与负荷计算\n";
    const PressureScale scale = CaseScale(c);
    for (Part part : {Part::Street, Part::Courtyard, Part::Indoor})
        if (const auto share = PartAllowedDrop(c, part))
            notes += std::string(PartName(part)) + "部分允许压降 " +
                     Fixed(scale.Drop(*share), scale.DropDecimals()) + " " +
                     std::string(scale.DropUnitText()) + "\n";
    return notes;
}

std::string TextTable(const Case& c, const Network& net) {
    const PressureScale scale = CaseScale(c);
    const std::vector<LineColumn> columns = TableColumns(c);
    std::vector<std::vector<std::string>> rows(1);
    for (LineColumn column : columns) {
        // The heading line names the pressures' reference once.
        const bool pressure = column == LineColumn::Inlet || column == LineColumn::Outlet;
        const std::string unit =
            pressure ? std::string(scale.PressureUnitText()) : ColumnUnit(column, scale);
        rows.front().push_back(std::string(ColumnName(column)) +
                               (unit.empty() ? "" : "(" + unit + ")"));
    }
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        std::vector<std::string> row;
        for (LineColumn column : columns) {
            const ColumnCell cell = CellOf(column, c, net, i, scale);
            if (column == LineColumn::Check)
                row.push_back(Printable(CheckText(net.results()[i]), kWhole));
            else if (IsTextColumn(column))
                row.push_back(Printable(cell.text, kWhole));
            else
                row.push_back(cell.number ? Fixed(*cell.number, ColumnDecimals(column, scale)) +
                                                (cell.typed ? "*" : "")
                                          : std::string());
        }
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> width(columns.size(), 0);
    for (const auto& row : rows)
        for (std::size_t k = 0; k < row.size(); ++k)
            width[k] = std::max(width[k], DisplayWidth(row[k]));
    std::string out = Heading(c);
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t k = 0; k < row.size(); ++k) {
            const std::string pad(width[k] - DisplayWidth(row[k]), ' ');
            // Texts to the left, numbers to the right; the last column unpadded.
            const bool text = IsTextColumn(columns[k]);
            line += k ? "  " : "";
            line += text ? row[k] + (k + 1 == row.size() ? "" : pad) : pad + row[k];
        }
        out += line + "\n";
    }
    return out + Notes(c, columns);
}

std::string JsonTable(const Case& c, const Network& net) {
    using Json = nlohmann::ordered_json;
    auto dump = [](const Json& j) {
        return j.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    // One segment's object at a time, as the whole document would print it:
    // a document of the whole table would take several times the text.
    std::string out = "{\"ok\":" + dump(net.AllChecksHold());
    Json problems = Json::array();
    for (const CaseProblem& p : net.problems()) problems.push_back(p.message);
    if (!problems.empty()) out += ",\"problems\":" + dump(problems);
    out += ",\"segments\":[";
    for (std::size_t i = 0; i < net.results().size(); ++i) {
        const SegmentResult& r = net.results()[i];
        const bool ok = r.status == SegmentStatus::Ok;
        auto num = [&](bool shown, double v) { return shown ? Json(v) : Json(nullptr); };
        Json checks = Json::array();
        for (std::string_view check : FailedChecks(r)) checks.push_back(check);
        if (i) out += ',';
        out += dump(Json{{"id", c.segments[i].id},
                         {"status", StatusName(r.status)},
                         {"inlet", num(r.status != SegmentStatus::NotCalculated, r.inlet)},
                         {"outlet", num(ok, r.outlet)},
                         {"drop", num(ok, r.drop)},
                         {"loss", num(ok, r.loss)},
                         {"mean_velocity", num(ok, r.meanVelocity)},
                         {"max_velocity", num(ok, r.maxVelocity)},
                         {"reynolds", num(ok, r.reynolds)},
                         {"friction_factor", num(ok, r.frictionFactor)},
                         {"regime", ok ? Json(hydraulics::RegimeName(r.regime)) : Json(nullptr)},
                         {"cumulative_drop", num(ok, r.cumulativeDrop)},
                         {"checks", checks},
                         {"message", r.message},
                         {"flow", num(r.status != SegmentStatus::NotCalculated, r.flow)},
                         {"inner_diameter", num(r.innerDiameter > 0, r.innerDiameter)},
                         {"friction_loss", num(ok, r.frictionLoss)},
                         {"local_loss", num(ok, r.localLoss)},
                         {"additional_head", num(ok, r.additionalHead)},
                         {"z", num(ok, r.z)},
                         {"flow_source", FlowSourceName(r.flowSource)},
                         {"households", r.households},
                         {"rated_flow", r.ratedFlow ? Json(*r.ratedFlow) : Json(nullptr)},
                         {"simultaneity", r.simultaneity ? Json(*r.simultaneity) : Json(nullptr)},
                         {"calculation_length", num(ok, r.calculationLength)},
                         {"unit_friction_loss", num(ok, r.unitFrictionLoss)},
                         {"part", r.part ? Json(PartName(*r.part)) : Json(nullptr)},
                         {"part_drop", num(ok && r.part, r.partDrop)}});
    }
    // After the rows, which keep the class's units whatever the display.
    const bool low = IsLowPressure(c);
    out += "],\"level\":" + dump(PressureLevelName(SourceLevel(c.source.pressure, low)));
    out += ",\"display_unit\":" + dump(low ? "Pa" : PressureUnitName(CaseScale(c).unit));
    return out += "}\n";
}

// The sizing proposal to -o NEW and what changed to standard output: both
// written, or (exit 2) no file.
int WriteProposal(const NetworkOptions& opt, const Case& c, const SizingProposal& proposal,
                  const std::optional<FileId>& input) {
    const CaseText text = CheckedCaseToJson(*proposal.sized);
    if (text.problem) {
        PrintMessage(stderr, "network: the proposal cannot be written as a case file: " +
                                 DescribeProblem(*text.problem));
        return kExitUsage;
    }
    const auto file = Output::Open("network", opt.output, input);
    if (!file) return kExitUsage;
    const auto console = Output::Open("network", "", input);
    if (!console) return kExitUsage;
    file->Write(text.text);
    std::string changes;
    for (std::size_t i = 0; i < c.segments.size(); ++i)
        changes += Printable(c.segments[i].id, kWhole) + "\t" +
                   Printable(c.segments[i].nominal, kWhole) + "\t" +
                   Printable(proposal.sized->segments[i].nominal, kWhole) + "\n";
    console->Write(changes);
    // Standard output first: when it fails, the new file is not put in place.
    return console->Finish() && file->Finish() ? kExitOk : kExitUsage;
}

int Run(const NetworkOptions& opt) {
    const CaseReadResult read = LoadCase(opt.input);
    if (!read.value) {
        PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + read.error);
        return kExitUsage;
    }
    const std::optional<FileId> input = IdOfFile(opt.input);
    const Case& c = *read.value;
    const auto pipes = ReadPipeFile("network", opt.ini);
    if (!pipes) return kExitUsage;
    const PipeCatalog catalog = PipeCatalog::Read(*pipes, c);
    const SimultaneityTable factors = ReadSimultaneity(opt.simultaneity);

    if (opt.size) {
        const SizingProposal proposal = ProposeSizes(c, catalog, &factors);
        if (!proposal.sized) {
            PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + proposal.error);
            return kExitUsage;
        }
        for (const SizingNote& note : proposal.notes)
            PrintMessage(stderr, "network: segment " + Quoted(c.segments[note.segment].id) + ": " +
                                     note.message);
        const int written = WriteProposal(opt, c, proposal, input);
        if (written != kExitOk) return written;
        Network sized(catalog, &factors);
        sized.Load(*proposal.sized);
        return sized.AllChecksHold() && proposal.notes.empty() ? kExitOk : kExitCalcFailed;
    }

    Network net(catalog, &factors);
    const bool solved = net.Load(c);
    if (!solved) {
        for (const CaseProblem& p : net.problems())
            PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + p.message);
        // The problems as JSON too, for a script; no file is written.
        if (opt.json && (opt.output.empty() || opt.output == "-"))
            if (const auto out = Output::Open("network", "", input)) {
                out->Write(JsonTable(c, net));
                out->Finish();
            }
        return kExitUsage;
    }
    const auto out = Output::Open("network", opt.output, input);
    if (!out) return kExitUsage;
    out->Write(opt.json ? JsonTable(c, net) : opt.csv ? ResultsToCsv(c, net) : TextTable(c, net));
    if (!out->Finish()) return kExitUsage;
    return net.AllChecksHold() ? kExitOk : kExitCalcFailed;
}

}  // namespace

void SetupNetwork(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<NetworkOptions>();
    auto* cmd = app.add_subcommand(
        "network", "Solve a case file (.gpcase): the hydraulic calculation table of a whole line");
    cmd->add_option("case", opt->input, "Case file")->required();
    auto* json = cmd->add_flag("--json", opt->json, "Print the table as one JSON object");
    auto* csv = cmd->add_flag("--csv", opt->csv, "Print the table as CSV (UTF-8 with BOM)");
    json->excludes(csv);
    auto* size = cmd->add_flag(
        "--size", opt->size, "Write the whole-line sizing proposal as a new case file (needs -o)");
    size->excludes(json)->excludes(csv);
    cmd->add_option("-o,--output", opt->output, "Output file (default standard output)");
    cmd->add_option("--ini", opt->ini, "Pipe parameter file (default: beside the executable)");
    AddSimultaneityOption(*cmd, opt->simultaneity);
    cmd->callback([opt, &exitStatus] {
        if (opt->size && (opt->output.empty() || opt->output == "-"))
            throw CLI::RequiredError("--size writes a new case file: give it with -o NEW.gpcase");
        exitStatus = Run(*opt);
    });
}

}  // namespace gaspipe::cli
