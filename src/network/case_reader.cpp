#include "case_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <unordered_map>
#include <vector>

namespace gaspipe::network::detail {

namespace {

using Json = nlohmann::json;
using Kind = CaseFileProblem::Kind;
using Type = CaseFileProblem::Type;

// Each step takes a file of version n, in place, to version n + 1; entry n - 1
// is the step from version n. A step says in its comment what changed.
using Migration = void (*)(Json&);
constexpr std::array<Migration, kCaseVersion - 1> kMigrations{
    // 1 -> 2: nodes may carry households and limits the shares of the allowed
    // drop by part, which older programs would ignore and so solve another
    // line. Every version 1 file reads as it is.
    [](Json&) {},
};

constexpr std::size_t kShortName = 60;

CaseFileProblem Problem(Kind kind) {
    CaseFileProblem p;
    p.kind = kind;
    return p;
}

// Feeds the parser byte by byte and tells how far it has read, so that limits
// hit inside the parser, and the rows read afterwards, have a place.
class CountingIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* p, const char* base, std::size_t* consumed)
        : p_(p), base_(base), consumed_(consumed) {}
    reference operator*() const { return *p_; }
    CountingIterator& operator++() {
        ++p_;
        *consumed_ = static_cast<std::size_t>(p_ - base_);
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& o) const { return p_ == o.p_; }
    bool operator!=(const CountingIterator& o) const { return p_ != o.p_; }

  private:
    const char* p_;
    const char* base_;
    std::size_t* consumed_;
};

// What the parse noted on the way: where the rows start, for messages.
struct Scan {
    std::size_t consumed = 0;
    std::size_t values = 0;
    std::string topKey;
    std::unordered_map<std::string, std::size_t> memberAt;  // top-level member -> offset
    std::vector<std::size_t> segmentAt, nodeAt;
};

// Builds the document from the parser's events, enforcing the limits as it
// goes and noting where the rows start. (The library's own builder with a
// callback rescans an array at every element's end: quadratic on big files.)
class Builder : public nlohmann::json_sax<Json> {
  public:
    Builder(const CaseFileLimits& limits, Scan& scan) : limits_(limits), scan_(scan) {}

    Json& root() { return root_; }
    const std::optional<ReadProblem>& error() const { return error_; }

    bool null() override { return Add(nullptr, false); }
    bool boolean(bool v) override { return Add(v, false); }
    bool number_integer(number_integer_t v) override { return Add(v, false); }
    bool number_unsigned(number_unsigned_t v) override { return Add(v, false); }
    bool number_float(number_float_t v, const string_t&) override { return Add(v, false); }
    bool string(string_t& v) override { return Add(std::move(v), false); }
    bool binary(binary_t&) override { return false; }  // not in JSON text
    bool start_object(std::size_t) override { return Add(Json::object(), true); }
    bool start_array(std::size_t) override { return Add(Json::array(), true); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& k) override {
        Count(scan_.consumed);
        // The key's opening quote (exact unless the key holds escapes).
        const std::size_t at = scan_.consumed - std::min(scan_.consumed, k.size() + 2);
        // A second member of the same name would silently replace the first.
        if (open_.back()->contains(k)) {
            CaseFileProblem p = Problem(Kind::DuplicateMember);
            p.member = ShortName(k);
            if (open_.size() > 1) p.part = scan_.topKey;
            if (open_.size() > 2 && (scan_.topKey == "segments" || scan_.topKey == "nodes")) {
                p.part = scan_.topKey == "segments" ? "segment" : "node";
                p.row = (scan_.topKey == "segments" ? scan_.segmentAt : scan_.nodeAt).size();
            }
            throw ReadProblem{std::move(p), at};
        }
        if (open_.size() == 1) {
            scan_.topKey = k;
            scan_.memberAt[k] = at;
            if (k == "segments") scan_.segmentAt.clear();
            if (k == "nodes") scan_.nodeAt.clear();
        }
        member_ = &(*open_.back())[k];
        return true;
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // what() starts with the library's tag and place; keep what went wrong.
        std::string what = e.what();
        if (auto colon = what.find(": "); colon != std::string::npos) what.erase(0, colon + 2);
        CaseFileProblem p = Problem(Kind::NotJson);
        p.detail = std::move(what);
        error_ = ReadProblem{std::move(p), position > 0 ? position - 1 : 0};
        return false;
    }

  private:
    void Count(std::size_t at) {
        if (++scan_.values > limits_.maxValues) {
            CaseFileProblem p = Problem(Kind::TooManyValues);
            p.number = limits_.maxValues;
            throw ReadProblem{std::move(p), at};
        }
    }

    bool Add(Json value, bool opens) {
        // An object or array is reported just after its bracket.
        const std::size_t at = scan_.consumed - (opens ? 1 : 0);
        Count(at);
        if (opens && open_.size() > limits_.maxDepth) {
            CaseFileProblem p = Problem(Kind::TooDeep);
            p.number = limits_.maxDepth;
            throw ReadProblem{std::move(p), at};
        }
        if (open_.size() == 2) NoteRow(at);
        Json* slot = nullptr;
        if (open_.empty()) {
            root_ = std::move(value);
            slot = &root_;
        } else if (open_.back()->is_array()) {
            open_.back()->push_back(std::move(value));
            slot = &open_.back()->back();
        } else {
            *member_ = std::move(value);
            slot = member_;
        }
        // Open containers are never moved: nothing is added to a parent while
        // a child is open.
        if (opens) open_.push_back(slot);
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    void NoteRow(std::size_t at) {
        auto note = [&](std::vector<std::size_t>& rows, std::size_t max, const char* what) {
            if (rows.size() == max) {
                CaseFileProblem p = Problem(Kind::TooManyRows);
                p.member = what;
                p.number = max;
                throw ReadProblem{std::move(p), at};
            }
            rows.push_back(at);
        };
        if (scan_.topKey == "segments") note(scan_.segmentAt, limits_.maxSegments, "segments");
        if (scan_.topKey == "nodes") note(scan_.nodeAt, limits_.maxNodes, "nodes");
    }

    const CaseFileLimits& limits_;
    Scan& scan_;
    Json root_;
    std::vector<Json*> open_;
    Json* member_ = nullptr;
    std::optional<ReadProblem> error_;
};

Json Parse(std::string_view bytes, const CaseFileLimits& limits, Scan& scan) {
    const CountingIterator first(bytes.data(), bytes.data(), &scan.consumed);
    const CountingIterator last(bytes.data() + bytes.size(), bytes.data(), &scan.consumed);
    Builder builder(limits, scan);
    if (!Json::sax_parse(first, last, &builder)) throw *builder.error();
    return std::move(builder.root());
}

// One JSON object of the file being read, with where it is.
struct Place {
    const Json& json;
    std::string part;  // as CaseFileProblem::part
    std::size_t offset;
    std::size_t row = 0;
    std::string rowId;
};

class Reader {
  public:
    Reader(const Scan& scan, const CaseFileLimits& limits) : scan_(scan), limits_(limits) {}

    Case Read(Json& root) {
        const Place top{root, "", 0, 0, {}};
        if (!root.is_object()) Fail(top, Problem(Kind::NotACase));
        const Json* format = Member(top, "format");
        if (!format || !format->is_string() || *format != kCaseFormat) {
            CaseFileProblem p = Problem(Kind::NotACase);
            p.member = "format";
            Fail(At("format"), std::move(p));
        }
        const Json* version = Member(top, "version");
        if (!version || !version->is_number_integer() || *version < 1)
            Fail(At("version"), Problem(Kind::BadVersion));
        if (*version > kCaseVersion) {
            CaseFileProblem p = Problem(Kind::NewerVersion);
            p.detail = version->dump();
            Fail(At("version"), std::move(p));
        }
        for (int v = version->get<int>(); v < kCaseVersion; ++v) kMigrations[v - 1](root);

        Case c;
        c.unknown =
            Unknown(top, {"format", "version", "generator", "project", "gas", "pressure_class",
                          "method", "source", "limits", "display", "nodes", "segments"});
        if (const Json* p = Member(top, "project")) {
            const Place project = Object(*p, "project");
            for (auto [key, field] : {std::pair{"name", &c.project.name},
                                      {"number", &c.project.number},
                                      {"stage", &c.project.stage},
                                      {"designer", &c.project.designer},
                                      {"date", &c.project.date},
                                      {"organization", &c.project.organization},
                                      {"sheet_number", &c.project.sheetNumber},
                                      {"revision", &c.project.revision}})
                *field = Text(project, key, false, false);
            c.project.unknown = Unknown(project, {"name", "number", "stage", "designer", "date",
                                                  "organization", "sheet_number", "revision"});
        }
        const Place gas = Object(Required(top, "gas"), "gas");
        c.gas.kind = Text(gas, "kind", true, true);
        c.gas.density = Number(gas, "density");
        c.gas.viscosity = Number(gas, "viscosity");
        c.gas.temperature = Number(gas, "temperature");
        c.gas.unknown = Unknown(gas, {"kind", "density", "viscosity", "temperature"});
        c.pressureClass = Text(top, "pressure_class", true, true);
        ReadMethod(Object(Required(top, "method"), "method"), c.method);
        const Place source = Object(Required(top, "source"), "source");
        c.source.node = Text(source, "node", true, true);
        c.source.pressure = Number(source, "pressure");
        c.source.elevation = OptionalNumber(source, "elevation").value_or(0);
        c.source.unknown = Unknown(source, {"node", "pressure", "elevation"});
        if (const Json* l = Member(top, "limits")) {
            const Place limits = Object(*l, "limits");
            c.limits.maxVelocity = OptionalNumber(limits, "max_velocity");
            c.limits.maxDrop = OptionalNumber(limits, "max_drop");
            c.limits.appliancePressure = OptionalNumber(limits, "appliance_pressure");
            if (const Json* shares = Member(limits, "shares")) ReadShares(limits, *shares, c);
            c.limits.unknown =
                Unknown(limits, {"max_velocity", "max_drop", "appliance_pressure", "shares"});
        }
        if (const Json* d = Member(top, "display")) {
            const Place display = Object(*d, "display");
            if (Member(display, "pressure_unit")) {
                const std::string unit = Text(display, "pressure_unit", true, true);
                c.display.pressureUnit = PressureUnitFromName(unit);
                if (!c.display.pressureUnit) Fail(display, UnknownValue("pressure_unit", unit));
            }
            c.display.unknown = Unknown(display, {"pressure_unit"});
        }
        if (const Json* nodes = Member(top, "nodes")) ReadNodes(Array(*nodes, "nodes"), c.nodes);
        ReadSegments(Array(Required(top, "segments"), "segments"), c.segments);
        return c;
    }

  private:
    [[noreturn]] static void Fail(std::size_t offset, CaseFileProblem problem) {
        throw ReadProblem{std::move(problem), offset};
    }
    [[noreturn]] static void Fail(const Place& where, CaseFileProblem problem) {
        problem.part = where.part;
        problem.row = where.row;
        problem.rowId = where.rowId;
        Fail(where.offset, std::move(problem));
    }
    [[noreturn]] static void Fail(const Place& where, Kind kind, std::string_view member) {
        CaseFileProblem p = Problem(kind);
        p.member = member;
        Fail(where, std::move(p));
    }
    [[noreturn]] static void WrongType(const Place& where, std::string_view member, Type expected,
                                       const Json& found) {
        CaseFileProblem p = Problem(Kind::WrongType);
        p.member = member;
        p.expected = expected;
        p.detail = found.type_name();
        Fail(where, std::move(p));
    }

    std::size_t At(const std::string& member) const {
        auto it = scan_.memberAt.find(member);
        return it == scan_.memberAt.end() ? 0 : it->second;
    }

    // null reads as absent, so a tool may write "flow": null for an empty cell.
    static const Json* Member(const Place& p, const char* key) {
        auto it = p.json.find(key);
        return it == p.json.end() || it->is_null() ? nullptr : &*it;
    }

    const Json& Required(const Place& p, const char* key) const {
        if (const Json* v = Member(p, key)) return *v;
        Fail(p, Kind::Missing, key);
    }

    Place Object(const Json& v, const std::string& member) const {
        const Place p{v, member, At(member), 0, {}};
        if (!v.is_object()) WrongType(p, "", Type::Object, v);
        return p;
    }

    const Json& Array(const Json& v, const std::string& member) const {
        if (!v.is_array()) WrongType(Place{v, "", At(member), 0, {}}, member, Type::Array, v);
        return v;
    }

    // An id (a name the line is built from: node, material, ...) or a free text.
    std::string Text(const Place& p, const char* key, bool id, bool required) const {
        const Json* v = required ? &Required(p, key) : Member(p, key);
        if (!v) return {};
        if (!v->is_string()) WrongType(p, key, Type::Text, *v);
        const auto& s = v->get_ref<const std::string&>();
        const std::size_t max = id ? limits_.maxIdBytes : limits_.maxTextBytes;
        switch (CheckCaseText(s, max, id)) {
            case TextFault::None:
                break;
            case TextFault::TooLong: {
                CaseFileProblem problem = Problem(Kind::TooLong);
                problem.member = key;
                problem.number = max;
                Fail(p, std::move(problem));
            }
            case TextFault::ControlCharacter:
                Fail(p, Kind::ControlCharacter, key);
        }
        return s;
    }

    std::optional<double> OptionalNumber(const Place& p, const char* key) const {
        const Json* v = Member(p, key);
        if (!v) return std::nullopt;
        if (!v->is_number()) WrongType(p, key, Type::Number, *v);
        const double d = v->get<double>();
        if (!std::isfinite(d)) Fail(p, Kind::OutOfRange, key);
        return d;
    }

    double Number(const Place& p, const char* key) const {
        Required(p, key);
        return *OptionalNumber(p, key);
    }

    static std::string Unknown(const Place& p, std::initializer_list<const char*> known) {
        Json extra = Json::object();
        for (auto it = p.json.begin(); it != p.json.end(); ++it) {
            bool isKnown = false;
            for (const char* k : known) isKnown = isKnown || it.key() == k;
            if (!isKnown) extra[it.key()] = it.value();
        }
        return extra.empty() ? std::string() : extra.dump();
    }

    void ReadMethod(const Place& p, MethodOptions& m) const {
        const std::string name = Text(p, "name", true, true);
        const auto method = MethodFromName(name);
        if (!method) Fail(p, Kind::UnknownMethod, "name");
        m.method = *method;
        m.localLoss = OptionalNumber(p, "local_loss").value_or(m.localLoss);
        m.z = OptionalNumber(p, "z");
        if (const Json* r = Member(p, "roughness")) {
            if (!r->is_object()) WrongType(p, "roughness", Type::Object, *r);
            for (auto it = r->begin(); it != r->end(); ++it) {
                CaseFileProblem problem;
                problem.member = "roughness";
                problem.material = ShortName(it.key());
                const TextFault fault = CheckCaseText(it.key(), limits_.maxIdBytes, true);
                if (fault != TextFault::None) {
                    problem.kind =
                        fault == TextFault::TooLong ? Kind::TooLong : Kind::ControlCharacter;
                    problem.materialName = true;
                    problem.number = limits_.maxIdBytes;
                    Fail(p, std::move(problem));
                }
                const Json& mm = it.value();
                if (!mm.is_number()) {
                    problem.kind = Kind::WrongType;
                    problem.expected = Type::Number;
                    problem.detail = mm.type_name();
                    Fail(p, std::move(problem));
                }
                if (!std::isfinite(mm.get<double>())) {
                    problem.kind = Kind::OutOfRange;
                    Fail(p, std::move(problem));
                }
                m.roughness.push_back({it.key(), mm.get<double>()});
            }
        }
        m.unknown = Unknown(p, {"name", "local_loss", "z", "roughness"});
    }

    static CaseFileProblem UnknownValue(std::string_view member, std::string_view value) {
        CaseFileProblem p = Problem(Kind::UnknownValue);
        p.member = member;
        p.detail = ShortName(value);
        return p;
    }

    // "shares": {"室内": {"drop": 150}, "庭院": {"fraction": 0.3}}
    void ReadShares(const Place& limits, const Json& shares, Case& c) const {
        if (!shares.is_object()) WrongType(limits, "shares", Type::Object, shares);
        for (auto it = shares.begin(); it != shares.end(); ++it) {
            const auto part = PartFromName(it.key());
            if (!part) Fail(limits, UnknownValue("shares", it.key()));
            const Place share{it.value(), "limits", limits.offset, 0, {}};
            if (!it.value().is_object()) WrongType(share, "shares", Type::Object, it.value());
            PartShare s;
            s.part = *part;
            s.drop = OptionalNumber(share, "drop");
            s.fraction = OptionalNumber(share, "fraction");
            s.unknown = Unknown(share, {"drop", "fraction"});
            c.limits.shares.push_back(std::move(s));
        }
    }

    Place Row(const Json& v, const char* kind, std::size_t i,
              const std::vector<std::size_t>& offsets) const {
        Place p{v, kind, i < offsets.size() ? offsets[i] : 0, i + 1, {}};
        if (!v.is_object()) WrongType(p, "", Type::Object, v);
        return p;
    }

    void ReadNodes(const Json& array, std::vector<Node>& nodes) const {
        nodes.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i) {
            const Place p = Row(array[i], "node", i, scan_.nodeAt);
            Node n;
            n.id = Text(p, "id", true, true);
            n.elevation = OptionalNumber(p, "elevation").value_or(0);
            n.load = OptionalNumber(p, "load").value_or(0);
            n.households = OptionalNumber(p, "households");
            n.appliances = Text(p, "appliances", true, false);
            n.ratedFlow = OptionalNumber(p, "rated_flow");
            n.unknown =
                Unknown(p, {"id", "elevation", "load", "households", "appliances", "rated_flow"});
            nodes.push_back(std::move(n));
        }
    }

    void ReadSegments(const Json& array, std::vector<Segment>& segments) const {
        segments.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i) {
            Place p = Row(array[i], "segment", i, scan_.segmentAt);
            Segment s;
            s.id = Text(p, "id", true, true);
            p.rowId = s.id;
            s.from = Text(p, "from", true, true);
            s.to = Text(p, "to", true, true);
            s.material = Text(p, "material", true, true);
            s.innerDiameter = OptionalNumber(p, "inner_diameter");
            s.nominal = Text(p, "nominal", true, !s.innerDiameter);
            s.length = Number(p, "length");
            s.flow = OptionalNumber(p, "flow");
            s.localLoss = OptionalNumber(p, "local_loss");
            s.zeta = OptionalNumber(p, "zeta");
            s.simultaneity = OptionalNumber(p, "simultaneity");
            s.roughness = OptionalNumber(p, "roughness");
            if (Member(p, "part")) {
                const std::string part = Text(p, "part", true, true);
                s.part = PartFromName(part);
                if (!s.part) Fail(p, UnknownValue("part", part));
            }
            s.unknown =
                Unknown(p, {"id", "from", "to", "material", "nominal", "inner_diameter", "length",
                            "flow", "local_loss", "zeta", "simultaneity", "roughness", "part"});
            segments.push_back(std::move(s));
        }
    }

    const Scan& scan_;
    const CaseFileLimits& limits_;
};

}  // namespace

std::string ShortName(std::string_view name) {
    if (name.size() <= kShortName) return std::string(name);
    std::size_t cut = kShortName;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return std::string(name.substr(0, cut)) + "...";
}

Case ReadCaseText(std::string_view bytes, const CaseFileLimits& limits) {
    if (bytes.size() > limits.maxBytes) {
        CaseFileProblem p = Problem(Kind::TooLarge);
        p.number = limits.maxBytes;
        throw ReadProblem{std::move(p)};
    }
    Scan scan;
    Json root = Parse(bytes, limits, scan);
    return Reader(scan, limits).Read(root);
}

}  // namespace gaspipe::network::detail
