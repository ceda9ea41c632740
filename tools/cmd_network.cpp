// gaspipe-calc network: the hydraulic calculation table of a case file, as an
// aligned text table, JSON or CSV; with --size, the whole-line sizing
// proposal written as a new case file. The solving is the network library's.
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "atomic_file.h"
#include "case_file.h"
#include "class_ini_file.h"
#include "commands.h"
#include "messages.h"
#include "network.h"
#include "options.h"
#include "pipe_file.h"
#include "segments_csv.h"

namespace gaspipe::cli {

namespace {

using namespace gaspipe::network;

struct NetworkOptions {
    std::string input;
    std::string output;
    std::string ini;
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
    switch (r.status) {
        case SegmentStatus::Ok:
            break;
        case SegmentStatus::PipeTooSmall:
            return "管径太小: " + r.message;
        case SegmentStatus::NotCalculated:
            return "未计算: " + r.message;
        default:
            return "计算错误: " + r.message;
    }
    std::string text;
    if (r.velocityOverLimit) text += "流速超限 ";
    if (r.dropOverLimit) text += "压降超限 ";
    return text.empty() ? "合格" : text.substr(0, text.size() - 1);
}

std::string TextTable(const Case& c, const Network& net) {
    const bool low = IsLowPressure(c);
    const int pd = low ? 1 : 5;  // decimals of a pressure
    const std::string p = low ? "(Pa)" : "(10⁵Pa)";
    // Every cell in one buffer, not a string each: a 100 000-segment table
    // has two million of them.
    std::string cells;
    std::vector<std::size_t> ends;
    constexpr std::size_t kColumns = 20;
    auto add = [&](std::string_view cell) {
        cells += cell;
        ends.push_back(cells.size());
    };
    for (const char* title :
         {"管段", "起点", "终点", "管材", "公称直径", "内径(mm)", "长度(m)", "流量(m³/h)"})
        add(title);
    for (const char* title : {"起点压力", "终点压力", "压力降"}) add(title + p);
    for (const char* title : {"摩擦阻力", "局部阻力", "附加压头"}) add(title);
    add("累计压降" + p);
    for (const char* title : {"平均流速(m/s)", "最大流速(m/s)", "Re", "λ", "校核"}) add(title);
    ends.reserve(kColumns * (c.segments.size() + 1));
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const Segment& s = c.segments[i];
        const SegmentResult& r = net.results()[i];
        const bool known = r.status != SegmentStatus::NotCalculated;
        const bool ok = r.status == SegmentStatus::Ok;
        auto num = [&](bool shown, double v, int decimals) {
            add(shown ? Fixed(v, decimals) : std::string());
        };
        for (const std::string* text : {&s.id, &s.from, &s.to, &s.material, &s.nominal}) add(*text);
        num(known && r.innerDiameter > 0, r.innerDiameter, 1);
        add(Fixed(s.length, 2));
        num(known, r.flow, 3);
        num(known, r.inlet, pd);
        num(ok, r.outlet, pd);
        num(ok, r.drop, pd);
        num(ok, r.frictionLoss, low ? 1 : 6);
        num(ok, r.localLoss, low ? 1 : 6);
        num(ok, r.additionalHead, 1);
        num(ok, r.cumulativeDrop, pd);
        num(ok, r.meanVelocity, 2);
        num(ok, r.maxVelocity, 2);
        num(ok, r.reynolds, 0);
        num(ok, r.frictionFactor, 5);
        add(CheckText(r));
    }
    auto cell = [&](std::size_t k) {
        const std::size_t begin = k ? ends[k - 1] : 0;
        return std::string_view(cells).substr(begin, ends[k] - begin);
    };
    std::vector<std::size_t> width(kColumns, 0);
    for (std::size_t k = 0; k < ends.size(); ++k)
        width[k % kColumns] = std::max(width[k % kColumns], DisplayWidth(cell(k)));
    std::string out;
    out.reserve(cells.size() + ends.size() / kColumns * (2 * kColumns + 1) +
                ends.size() / kColumns *
                    std::accumulate(width.begin(), width.end() - 1, std::size_t(0)));
    for (std::size_t k = 0; k < ends.size(); ++k) {
        const std::size_t column = k % kColumns;
        const std::string_view text = cell(k);
        const std::string pad(width[column] - DisplayWidth(text), ' ');
        // Texts to the left, numbers to the right; the last column unpadded.
        if (column) out += "  ";
        if (column + 1 == kColumns) {
            (out += text) += '\n';
        } else if (column < 5) {
            (out += text) += pad;
        } else {
            (out += pad) += text;
        }
    }
    return out;
}

std::string JsonTable(const Case& c, const Network& net) {
    using Json = nlohmann::ordered_json;
    auto dump = [](const Json& j) {
        return j.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    Json head;
    head["ok"] = net.AllChecksHold();
    Json problems = Json::array();
    for (const CaseProblem& p : net.problems()) problems.push_back(p.message);
    if (!problems.empty()) head["problems"] = problems;
    // One segment at a time into the text, rather than a document of all of
    // them (ten times the text's size) dumped at the end.
    std::string out = dump(head);
    out.pop_back();
    out += ",\"segments\":[";
    out.reserve(out.size() + 560 * net.results().size());  // a little more than a row takes
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
                         {"z", num(ok, r.z)}});
    }
    out += "]}\n";
    return out;
}

// Standard output, or the file given with -o, replaced whole.
bool Emit(const std::string& path, const std::string& text) {
    if (path.empty() || path == "-")
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
               std::fflush(stdout) == 0;
    std::string error;
    if (fileio::WriteWholeFile(path, text, error)) return true;
    PrintMessage(stderr, "network: cannot write " + QuotedPath(path) + ": " + error);
    return false;
}

int Run(const NetworkOptions& opt) {
    const CaseReadResult read = LoadCase(opt.input);
    if (!read.value) {
        PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + read.error);
        return kExitUsage;
    }
    const Case& c = *read.value;
    const auto pipes = ReadPipeFile("network", opt.ini);
    if (!pipes) return kExitUsage;
    const PipeCatalog catalog = PipeCatalog::Read(*pipes, c);

    if (opt.size) {
        const SizingProposal proposal = ProposeSizes(c, catalog);
        if (!proposal.sized) {
            PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + proposal.error);
            return kExitUsage;
        }
        for (const SizingNote& note : proposal.notes)
            PrintMessage(stderr, "network: segment " + Quoted(c.segments[note.segment].id) + ": " +
                                     note.message);
        const SaveResult saved = SaveCase(opt.output, *proposal.sized);
        if (!saved.ok) {
            PrintMessage(stderr, "network: " + saved.error);
            return kExitUsage;
        }
        for (std::size_t i = 0; i < c.segments.size(); ++i)
            std::printf("%s\t%s\t%s\n", c.segments[i].id.c_str(), c.segments[i].nominal.c_str(),
                        proposal.sized->segments[i].nominal.c_str());
        Network sized(catalog);
        sized.Load(*proposal.sized);
        return sized.AllChecksHold() && proposal.notes.empty() ? kExitOk : kExitCalcFailed;
    }

    Network net(catalog);
    const bool solved = net.Load(c);
    if (!solved) {
        for (const CaseProblem& p : net.problems())
            PrintMessage(stderr, "network: " + QuotedPath(opt.input) + ": " + p.message);
        if (opt.json) Emit(opt.output, JsonTable(c, net));
        return kExitUsage;
    }
    const std::string text = opt.json  ? JsonTable(c, net)
                             : opt.csv ? ResultsToCsv(c, net)
                                       : TextTable(c, net);
    if (!Emit(opt.output, text)) return kExitUsage;
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
    cmd->callback([opt, &exitStatus] {
        if (opt->size && opt->output.empty())
            throw CLI::RequiredError("--size writes a new case file: give it with -o NEW.gpcase");
        exitStatus = Run(*opt);
    });
}

}  // namespace gaspipe::cli
