#include "segments_csv.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

#include "case_file.h"
#include "gbk.h"
#include "spreadsheet_text.h"

namespace gaspipe::network {

namespace {

enum Column {
    kId,
    kFrom,
    kTo,
    kMaterial,
    kNominal,
    kInner,
    kLength,
    kFlow,
    kLocalLoss,
    kZeta,
    kSimultaneity,
    kRoughness,
    kToElevation,
    kToLoad,
    kPart,
    kToHouseholds,
    kToAppliances,
    kToRatedFlow,
    kColumns
};

// The columns of households and parts came later: after the older ones, so
// that a file's first columns read as they always did.
constexpr std::array<std::string_view, kColumns> kNames = {
    "id",           "from",    "to",         "material",      "nominal",       "inner_diameter",
    "length",       "flow",    "local_loss", "zeta",          "simultaneity",  "roughness",
    "to_elevation", "to_load", "part",       "to_households", "to_appliances", "to_rated_flow"};

using Problem = CsvImportProblem;
using ProblemKind = CsvImportProblem::Kind;

// As the case file allows, so that what is imported can be saved and read again.
constexpr std::size_t kMaxIdBytes = CaseFileLimits{}.maxIdBytes;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80         ? 1
                                : (c >> 5) == 6  ? 2
                                : (c >> 4) == 14 ? 3
                                : (c >> 3) == 30 ? 4
                                                 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

void AppendField(std::string& out, std::string_view text) {
    const std::string cell = SpreadsheetCell(text);
    const std::string_view field = cell;
    // Unquoted blanks at either end are dropped on reading, so they are quoted.
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    if (field.find_first_of(",\"\r\n") == std::string_view::npos &&
        (field.empty() || (!blank(field.front()) && !blank(field.back())))) {
        out += field;
        return;
    }
    std::string quoted(csv_write(nullptr, 0, field.data(), field.size()), '\0');
    csv_write(quoted.data(), quoted.size(), field.data(), field.size());
    out += quoted;
}

void AppendNumber(std::string& out, const std::optional<double>& v) {
    if (!v) return;
    char buf[32];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, *v).ptr);
}

struct Records {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> current;
    std::size_t maxRows = 0;
    bool tooMany = false;
};

void OnField(void* data, std::size_t len, void* r) {
    auto& rec = *static_cast<Records*>(r);
    if (!rec.tooMany) rec.current.emplace_back(static_cast<const char*>(data), len);
}

void OnRecord(int, void* r) {
    auto& rec = *static_cast<Records*>(r);
    if (rec.rows.size() > rec.maxRows) rec.tooMany = true;
    if (!rec.tooMany) rec.rows.push_back(std::move(rec.current));
    rec.current.clear();
}

class RowReader {
  public:
    RowReader(const std::array<int, kColumns>& columns, const std::vector<std::string>& fields,
              std::size_t record)
        : columns_(columns), fields_(fields), record_(record) {}

    std::string_view Cell(Column c) const {
        const int i = columns_[c];
        return i < 0 || static_cast<std::size_t>(i) >= fields_.size() ? std::string_view()
                                                                      : fields_[i];
    }

    std::optional<double> Number(Column c) {
        const std::string_view text = Cell(c);
        if (text.empty()) return std::nullopt;
        double v = 0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v)) {
            std::size_t cut = std::min<std::size_t>(text.size(), 40);
            while (cut > 0 && cut < text.size() &&
                   (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                --cut;
            Fail(c, ProblemKind::NotANumber, text.substr(0, cut));
            return std::nullopt;
        }
        return v;
    }

    std::string Text(Column c) {
        const std::string_view text = TextOfSpreadsheetCell(Cell(c));
        switch (CheckCaseText(text, kMaxIdBytes, true)) {
            case TextFault::None:
                break;
            case TextFault::TooLong:
                Fail(c, ProblemKind::TooLong, {}, kMaxIdBytes);
                break;
            case TextFault::ControlCharacter:
                Fail(c, ProblemKind::ControlCharacter);
                break;
        }
        return std::string(text);
    }

    // The row's first problem; later ones change nothing.
    void Fail(Column c, ProblemKind kind, std::string_view detail = {}, std::size_t number = 0) {
        if (!problem)
            problem = Problem{kind, record_, std::string(kNames[c]), std::string(detail), number};
    }

    std::optional<Problem> problem;

  private:
    const std::array<int, kColumns>& columns_;
    const std::vector<std::string>& fields_;
    std::size_t record_;
};

}  // namespace

std::string SegmentsToCsv(const Case& c) {
    std::unordered_map<std::string_view, const Node*> nodes;
    for (const auto& n : c.nodes) nodes.emplace(n.id, &n);
    std::string out(kBom);
    for (std::size_t i = 0; i < kColumns; ++i) (out += i ? "," : "") += kNames[i];
    out += "\r\n";
    for (const Segment& s : c.segments) {
        for (std::string_view text : {s.id, s.from, s.to, s.material, s.nominal}) {
            AppendField(out, text);
            out += ',';
        }
        for (const auto& v : {s.innerDiameter, std::optional<double>(s.length), s.flow, s.localLoss,
                              s.zeta, s.simultaneity, s.roughness}) {
            AppendNumber(out, v);
            out += ',';
        }
        const auto it = nodes.find(s.to);
        const Node* n = it == nodes.end() ? nullptr : it->second;
        if (n) {
            AppendNumber(out, n->elevation);
            out += ',';
            AppendNumber(out, n->load);
        } else {
            out += ',';
        }
        out += ',';
        if (s.part) out += PartName(*s.part);
        out += ',';
        if (n) {
            AppendNumber(out, n->households);
            out += ',';
            AppendField(out, n->appliances);
            out += ',';
            AppendNumber(out, n->ratedFlow);
        } else {
            out += ",,";
        }
        out += "\r\n";
    }
    return out;
}

std::string ResultsToCsv(const Case& c, const Network& network) {
    std::string out(kBom);
    out +=
        "id,from,to,material,nominal,inner_diameter,length,flow,inlet,outlet,drop,loss,"
        "friction_loss,local_loss,additional_head,mean_velocity,max_velocity,reynolds,"
        "friction_factor,regime,cumulative_drop,status,checks,message,flow_source,households,"
        "rated_flow,simultaneity,calculation_length,unit_friction_loss,part,part_drop\r\n";
    const auto& results = network.results();
    for (std::size_t i = 0; i < c.segments.size() && i < results.size(); ++i) {
        const Segment& s = c.segments[i];
        const SegmentResult& r = results[i];
        for (std::string_view text : {s.id, s.from, s.to, s.material, s.nominal}) {
            AppendField(out, text);
            out += ',';
        }
        const bool known = r.status != SegmentStatus::NotCalculated;
        const bool ok = r.status == SegmentStatus::Ok;
        auto number = [&](bool shown, double v) {
            if (shown) AppendNumber(out, v);
            out += ',';
        };
        number(known && r.innerDiameter > 0, r.innerDiameter);
        number(true, s.length);
        number(known, r.flow);
        number(known, r.inlet);
        for (double v : {r.outlet, r.drop, r.loss, r.frictionLoss, r.localLoss, r.additionalHead,
                         r.meanVelocity, r.maxVelocity, r.reynolds, r.frictionFactor})
            number(ok, v);
        if (ok) out += hydraulics::RegimeName(r.regime);
        out += ',';
        number(ok, r.cumulativeDrop);
        out += StatusName(r.status);
        out += ',';
        std::string checks;
        for (std::string_view check : FailedChecks(r))
            (checks += checks.empty() ? "" : ";") += check;
        out += checks;
        out += ',';
        AppendField(out, r.message);
        out += ',';
        out += FlowSourceName(r.flowSource);
        out += ',';
        number(true, r.households);
        number(r.ratedFlow.has_value(), r.ratedFlow.value_or(0));
        number(r.simultaneity.has_value(), r.simultaneity.value_or(0));
        number(ok, r.calculationLength);
        number(ok, r.unitFrictionLoss);
        if (r.part) out += PartName(*r.part);
        out += ',';
        if (ok && r.part) AppendNumber(out, r.partDrop);
        out += "\r\n";
    }
    return out;
}

std::optional<CsvImportProblem> ImportSegments(std::string_view bytes, Case& c,
                                               const CsvImportLimits& limits) {
    auto fail = [](ProblemKind kind, std::string column = {}, std::string detail = {},
                   std::size_t number = 0) {
        return Problem{kind, 0, std::move(column), std::move(detail), number};
    };
    if (bytes.size() > limits.maxBytes) return fail(ProblemKind::TooLarge, {}, {}, limits.maxBytes);
    std::string text;
    if (bytes.starts_with(kBom))
        text = bytes.substr(kBom.size());
    else if (IsUtf8(bytes))
        text = bytes;
    else
        text = gbk::ToUtf8(bytes);

    Records rec;
    rec.maxRows = limits.maxRows;
    csv_parser parser;
    if (csv_init(&parser, 0) != 0) return fail(ProblemKind::NoMemory);
    const bool parsed =
        csv_parse(&parser, text.data(), text.size(), OnField, OnRecord, &rec) == text.size();
    if (parsed) csv_fini(&parser, OnField, OnRecord, &rec);
    const std::string parseError = parsed ? "" : csv_strerror(csv_error(&parser));
    csv_free(&parser);
    if (!parsed) return fail(ProblemKind::NotCsv, {}, parseError);
    if (rec.tooMany) return fail(ProblemKind::TooManyRows, {}, {}, limits.maxRows);
    if (rec.rows.empty()) return fail(ProblemKind::NoHeader);

    std::array<int, kColumns> columns;
    columns.fill(-1);
    const auto& header = rec.rows.front();
    for (std::size_t i = 0; i < header.size(); ++i)
        for (int k = 0; k < kColumns; ++k)
            if (header[i] == kNames[k] && columns[k] < 0) columns[k] = static_cast<int>(i);
    for (Column required : {kId, kFrom, kTo, kMaterial, kLength})
        if (columns[required] < 0)
            return fail(ProblemKind::MissingColumn, std::string(kNames[required]));
    if (columns[kNominal] < 0 && columns[kInner] < 0) return fail(ProblemKind::NoDiameterColumn);

    std::vector<Segment> segments;
    std::vector<Node> nodes = c.nodes;
    std::unordered_map<std::string, std::size_t> nodeAt;
    for (std::size_t i = 0; i < nodes.size(); ++i) nodeAt.emplace(nodes[i].id, i);
    for (std::size_t r = 1; r < rec.rows.size(); ++r) {
        const auto& fields = rec.rows[r];
        if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
        RowReader row(columns, fields, r + 1);
        Segment s;
        s.id = row.Text(kId);
        s.from = row.Text(kFrom);
        s.to = row.Text(kTo);
        s.material = row.Text(kMaterial);
        s.nominal = row.Text(kNominal);
        s.innerDiameter = row.Number(kInner);
        const auto length = row.Number(kLength);
        if (!length) row.Fail(kLength, ProblemKind::NoLength);
        s.length = length.value_or(0);
        s.flow = row.Number(kFlow);
        s.localLoss = row.Number(kLocalLoss);
        s.zeta = row.Number(kZeta);
        s.simultaneity = row.Number(kSimultaneity);
        s.roughness = row.Number(kRoughness);
        if (const std::string part = row.Text(kPart); !part.empty()) {
            s.part = PartFromName(part);
            if (!s.part) row.Fail(kPart, ProblemKind::UnknownPart, part);
        }
        const auto elevation = row.Number(kToElevation);
        const auto load = row.Number(kToLoad);
        const auto households = row.Number(kToHouseholds);
        const std::string appliances = row.Text(kToAppliances);
        const auto rated = row.Number(kToRatedFlow);
        if (row.problem) return row.problem;
        if ((elevation || load || households || !appliances.empty() || rated) && !s.to.empty()) {
            auto [it, fresh] = nodeAt.emplace(s.to, nodes.size());
            if (fresh) {
                Node n;
                n.id = s.to;
                nodes.push_back(std::move(n));
            }
            Node& n = nodes[it->second];
            if (elevation) n.elevation = *elevation;
            if (load) n.load = *load;
            if (households) n.households = households;
            if (!appliances.empty()) n.appliances = appliances;
            if (rated) n.ratedFlow = rated;
        }
        segments.push_back(std::move(s));
    }
    c.segments = std::move(segments);
    c.nodes = std::move(nodes);
    return std::nullopt;
}

std::string ImportSegmentsCsv(std::string_view bytes, Case& c, const CsvImportLimits& limits) {
    const auto problem = ImportSegments(bytes, c, limits);
    return problem ? DescribeCsvProblem(*problem) : std::string();
}

std::string DescribeCsvProblem(const CsvImportProblem& p) {
    const std::string cell = "record " + std::to_string(p.record) + ", column '" + p.column + "': ";
    switch (p.kind) {
        case ProblemKind::TooLarge:
            return "the file is larger than " + std::to_string(p.number >> 20) + " MiB";
        case ProblemKind::NoMemory:
            return "out of memory";
        case ProblemKind::NotCsv:
            return "not readable as CSV: " + p.detail;
        case ProblemKind::TooManyRows:
            return "more than " + std::to_string(p.number) + " rows";
        case ProblemKind::NoHeader:
            return "the file has no header line";
        case ProblemKind::MissingColumn:
            return "the header has no column '" + p.column + "'";
        case ProblemKind::NoDiameterColumn:
            return "the header has neither a 'nominal' nor an 'inner_diameter' column";
        case ProblemKind::NotANumber:
            return cell + "'" + p.detail + "' is not a number";
        case ProblemKind::NoLength:
            return cell + "a length is needed";
        case ProblemKind::TooLong:
            return cell + "longer than " + std::to_string(p.number) + " bytes";
        case ProblemKind::UnknownPart:
            return cell + "'" + p.detail + "' is not 街区, 庭院 or 室内";
        case ProblemKind::ControlCharacter:
            break;
    }
    return cell + "holds a control character (tab, line break, escape, ...)";
}

}  // namespace gaspipe::network
