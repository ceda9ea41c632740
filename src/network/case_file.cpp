#include "case_file.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <nlohmann/json.hpp>
#include <unordered_map>
#include <vector>

#include "atomic_file.h"
#include "ini_storage.h"

#ifndef GASPIPE_VERSION
#define GASPIPE_VERSION "unknown"
#endif

namespace gaspipe::network {

namespace {

using Json = nlohmann::ordered_json;
using OrderedJson = nlohmann::ordered_json;

// Each step takes a file of version n, in place, to version n + 1; entry n - 1
// is the step from version n. Version 1 is the first, so there is none yet.
// A step says in its comment what changed.
using Migration = void (*)(Json&);
constexpr std::array<Migration, kCaseVersion - 1> kMigrations{};

constexpr std::size_t kNoPlace = static_cast<std::size_t>(-1);

struct ReadError {
    std::string message;
    std::size_t offset = kNoPlace;
};

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

std::pair<std::size_t, std::size_t> LineColumn(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // one per character, not per UTF-8 byte
        }
    }
    return {line, column};
}

// Builds the document from the parser's events, enforcing the limits as it
// goes and noting where the rows start. (The library's own builder with a
// callback rescans an array at every element's end: quadratic on big files.)
class Builder : public nlohmann::json_sax<Json> {
  public:
    Builder(const CaseFileLimits& limits, Scan& scan) : limits_(limits), scan_(scan) {}

    Json& root() { return root_; }
    const std::optional<ReadError>& error() const { return error_; }

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
        if (open_.size() == 1) {
            scan_.topKey = k;
            // The key's opening quote (exact unless the key holds escapes).
            scan_.memberAt[k] = scan_.consumed - std::min(scan_.consumed, k.size() + 2);
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
        error_ = ReadError{"not valid JSON: " + what, position > 0 ? position - 1 : 0};
        return false;
    }

  private:
    void Count(std::size_t at) {
        if (++scan_.values > limits_.maxValues)
            throw ReadError{
                "the file holds more than " + std::to_string(limits_.maxValues) + " values", at};
    }

    bool Add(Json value, bool opens) {
        // An object or array is reported just after its bracket.
        const std::size_t at = scan_.consumed - (opens ? 1 : 0);
        Count(at);
        if (opens && open_.size() > limits_.maxDepth)
            throw ReadError{"nested deeper than " + std::to_string(limits_.maxDepth) + " levels",
                            at};
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
            if (rows.size() == max)
                throw ReadError{"more than " + std::to_string(max) + " " + what, at};
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
    std::optional<ReadError> error_;
};

Json Parse(std::string_view bytes, const CaseFileLimits& limits, Scan& scan) {
    const CountingIterator first(bytes.data(), bytes.data(), &scan.consumed);
    const CountingIterator last(bytes.data() + bytes.size(), bytes.data(), &scan.consumed);
    Builder builder(limits, scan);
    if (!Json::sax_parse(first, last, &builder)) throw *builder.error();
    return std::move(builder.root());
}

// One JSON object of the file being read, with where it is and what to call
// it in a message.
struct Place {
    const Json& json;
    std::string name;  // "gas", "segment 3 (id '7')"
    std::size_t offset;
};

class Reader {
  public:
    Reader(const Scan& scan, const CaseFileLimits& limits) : scan_(scan), limits_(limits) {}

    Case Read(Json& root) {
        if (!root.is_object()) Fail(0, "the file is not a gaspipe case: it holds no JSON object");
        const Place top{root, "", 0};
        const Json* format = Member(top, "format");
        if (!format || !format->is_string() || *format != kCaseFormat)
            Fail(At("format"), "the file is not a gaspipe case: 'format' is not \"" +
                                   std::string(kCaseFormat) + "\"");
        const Json* version = Member(top, "version");
        if (!version || !version->is_number_integer() || *version < 1)
            Fail(At("version"), "'version' must be a whole number from 1 up");
        if (*version > kCaseVersion)
            Fail(At("version"), "the case was saved by a newer gaspipe (file version " +
                                    version->dump() + "; this program reads versions up to " +
                                    std::to_string(kCaseVersion) +
                                    "); open it with a newer gaspipe");
        for (int v = version->get<int>(); v < kCaseVersion; ++v) kMigrations[v - 1](root);

        Case c;
        c.unknown =
            Unknown(top, {"format", "version", "generator", "project", "gas", "pressure_class",
                          "method", "source", "limits", "nodes", "segments"});
        if (const Json* p = Member(top, "project")) {
            const Place project = Object(*p, "project");
            for (auto [key, field] : {std::pair{"name", &c.project.name},
                                      {"number", &c.project.number},
                                      {"stage", &c.project.stage},
                                      {"designer", &c.project.designer},
                                      {"date", &c.project.date}})
                *field = Text(project, key, limits_.maxTextBytes, false);
            c.project.unknown = Unknown(project, {"name", "number", "stage", "designer", "date"});
        }
        const Place gas = Object(Required(top, "gas"), "gas");
        c.gas.kind = Text(gas, "kind", limits_.maxIdBytes, true);
        c.gas.density = Number(gas, "density");
        c.gas.viscosity = Number(gas, "viscosity");
        c.gas.temperature = Number(gas, "temperature");
        c.gas.unknown = Unknown(gas, {"kind", "density", "viscosity", "temperature"});
        c.pressureClass = Text(top, "pressure_class", limits_.maxIdBytes, true);
        ReadMethod(Object(Required(top, "method"), "method"), c.method);
        const Place source = Object(Required(top, "source"), "source");
        c.source.node = Text(source, "node", limits_.maxIdBytes, true);
        c.source.pressure = Number(source, "pressure");
        c.source.elevation = OptionalNumber(source, "elevation").value_or(0);
        c.source.unknown = Unknown(source, {"node", "pressure", "elevation"});
        if (const Json* l = Member(top, "limits")) {
            const Place limits = Object(*l, "limits");
            c.limits.maxVelocity = OptionalNumber(limits, "max_velocity");
            c.limits.maxDrop = OptionalNumber(limits, "max_drop");
            c.limits.appliancePressure = OptionalNumber(limits, "appliance_pressure");
            c.limits.unknown = Unknown(limits, {"max_velocity", "max_drop", "appliance_pressure"});
        }
        if (const Json* nodes = Member(top, "nodes")) ReadNodes(Array(*nodes, "nodes"), c.nodes);
        ReadSegments(Array(Required(top, "segments"), "segments"), c.segments);
        return c;
    }

  private:
    [[noreturn]] void Fail(std::size_t offset, const std::string& message) const {
        throw ReadError{message, offset};
    }
    [[noreturn]] void Fail(const Place& where, const std::string& message) const {
        Fail(where.offset, where.name.empty() ? message : where.name + ": " + message);
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
        Fail(p, "'" + std::string(key) + "' is missing");
    }

    Place Object(const Json& v, const std::string& member) const {
        const Place p{v, member, At(member)};
        if (!v.is_object()) Fail(p, std::string("must be an object, not ") + v.type_name());
        return p;
    }

    const Json& Array(const Json& v, const std::string& member) const {
        if (!v.is_array())
            Fail(At(member), "'" + member + "' must be an array, not " + v.type_name());
        return v;
    }

    std::string Text(const Place& p, const char* key, std::size_t maxBytes, bool required) const {
        const Json* v = required ? &Required(p, key) : Member(p, key);
        if (!v) return {};
        if (!v->is_string())
            Fail(p, "'" + std::string(key) + "' must be a text, not " + v->type_name());
        const auto& s = v->get_ref<const std::string&>();
        if (s.size() > maxBytes)
            Fail(p, "'" + std::string(key) + "' is longer than " + std::to_string(maxBytes) +
                        " bytes");
        return s;
    }

    std::optional<double> OptionalNumber(const Place& p, const char* key) const {
        const Json* v = Member(p, key);
        if (!v) return std::nullopt;
        if (!v->is_number())
            Fail(p, "'" + std::string(key) + "' must be a number, not " + v->type_name());
        const double d = v->get<double>();
        if (!std::isfinite(d)) Fail(p, "'" + std::string(key) + "' is out of range");
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
        const std::string name = Text(p, "name", limits_.maxIdBytes, true);
        const auto method = MethodFromName(name);
        if (!method)
            Fail(p, "'name' must be \"" + std::string(kMethodAppendix) + "\" or \"" +
                        std::string(kMethodGb50028) + "\"");
        m.method = *method;
        m.localLoss = OptionalNumber(p, "local_loss").value_or(m.localLoss);
        m.z = OptionalNumber(p, "z");
        if (const Json* r = Member(p, "roughness")) {
            const Place rough{*r, "method: roughness", p.offset};
            if (!r->is_object())
                Fail(rough,
                     std::string("must be an object of material: mm, not ") + r->type_name());
            for (auto it = r->begin(); it != r->end(); ++it) {
                if (it.key().size() > limits_.maxIdBytes)
                    Fail(rough, "a material name is too long");
                const auto mm = OptionalNumber(rough, it.key().c_str());
                if (!mm) Fail(rough, "'" + it.key() + "' must be a number of mm");
                m.roughness.push_back({it.key(), *mm});
            }
        }
        m.unknown = Unknown(p, {"name", "local_loss", "z", "roughness"});
    }

    Place Row(const Json& v, const char* kind, std::size_t i,
              const std::vector<std::size_t>& offsets) const {
        Place p{v, std::string(kind) + " " + std::to_string(i + 1),
                i < offsets.size() ? offsets[i] : 0};
        if (!v.is_object()) Fail(p, std::string("must be an object, not ") + v.type_name());
        return p;
    }

    void ReadNodes(const Json& array, std::vector<Node>& nodes) const {
        nodes.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i) {
            const Place p = Row(array[i], "node", i, scan_.nodeAt);
            Node n;
            n.id = Text(p, "id", limits_.maxIdBytes, true);
            n.elevation = OptionalNumber(p, "elevation").value_or(0);
            n.load = OptionalNumber(p, "load").value_or(0);
            n.unknown = Unknown(p, {"id", "elevation", "load"});
            nodes.push_back(std::move(n));
        }
    }

    void ReadSegments(const Json& array, std::vector<Segment>& segments) const {
        segments.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i) {
            Place p = Row(array[i], "segment", i, scan_.segmentAt);
            Segment s;
            s.id = Text(p, "id", limits_.maxIdBytes, true);
            p.name += " (id '" + s.id + "')";
            s.from = Text(p, "from", limits_.maxIdBytes, true);
            s.to = Text(p, "to", limits_.maxIdBytes, true);
            s.material = Text(p, "material", limits_.maxIdBytes, true);
            s.innerDiameter = OptionalNumber(p, "inner_diameter");
            s.nominal = Text(p, "nominal", limits_.maxIdBytes, !s.innerDiameter);
            s.length = Number(p, "length");
            s.flow = OptionalNumber(p, "flow");
            s.localLoss = OptionalNumber(p, "local_loss");
            s.zeta = OptionalNumber(p, "zeta");
            s.simultaneity = OptionalNumber(p, "simultaneity");
            s.roughness = OptionalNumber(p, "roughness");
            s.unknown =
                Unknown(p, {"id", "from", "to", "material", "nominal", "inner_diameter", "length",
                            "flow", "local_loss", "zeta", "simultaneity", "roughness"});
            segments.push_back(std::move(s));
        }
    }

    const Scan& scan_;
    const CaseFileLimits& limits_;
};

// Adds the members a newer program wrote, after the known ones.
void AddUnknown(OrderedJson& object, const std::string& unknown) {
    if (unknown.empty()) return;
    const OrderedJson extra = OrderedJson::parse(unknown, nullptr, false);
    if (!extra.is_object()) return;
    for (auto it = extra.begin(); it != extra.end(); ++it)
        if (!object.contains(it.key())) object[it.key()] = it.value();
}

void SetOptional(OrderedJson& object, const char* key, const std::optional<double>& value) {
    if (value) object[key] = *value;
}

std::string Dump(const OrderedJson& j) {
    return j.dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

}  // namespace

CaseReadResult ParseCase(std::string_view bytes, const CaseFileLimits& limits) {
    CaseReadResult result;
    try {
        if (bytes.size() > limits.maxBytes)
            throw ReadError{"the file is larger than " + std::to_string(limits.maxBytes >> 20) +
                            " MiB, more than any case holds"};
        Scan scan;
        Json root = Parse(bytes, limits, scan);
        result.value = Reader(scan, limits).Read(root);
    } catch (const ReadError& e) {
        result.error = e.message;
        if (e.offset != kNoPlace) {
            std::tie(result.line, result.column) = LineColumn(bytes, e.offset);
            result.error = "line " + std::to_string(result.line) + ", column " +
                           std::to_string(result.column) + ": " + e.message;
        }
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory to read the file";
    } catch (const Json::exception& e) {
        result.error = std::string("the file cannot be read: ") + e.what();
    }
    return result;
}

CaseReadResult LoadCase(const std::string& path, const CaseFileLimits& limits) {
    const auto file = ini_storage::ReadWholeFile(path);
    if (file.status != ini_storage::ReadStatus::Ok) {
        CaseReadResult result;
        result.error =
            file.status == ini_storage::ReadStatus::Missing
                ? "cannot open '" + path + "': no such file"
                : "cannot read '" + path + "': not a regular file, not readable, or too large";
        return result;
    }
    return ParseCase(file.bytes, limits);
}

std::string CaseToJson(const Case& c) {
    OrderedJson root;
    root["format"] = kCaseFormat;
    root["version"] = kCaseVersion;
    root["generator"] = "gaspipe " GASPIPE_VERSION;
    OrderedJson project = {{"name", c.project.name},
                           {"number", c.project.number},
                           {"stage", c.project.stage},
                           {"designer", c.project.designer},
                           {"date", c.project.date}};
    AddUnknown(project, c.project.unknown);
    root["project"] = std::move(project);
    OrderedJson gas = {{"kind", c.gas.kind},
                       {"density", c.gas.density},
                       {"viscosity", c.gas.viscosity},
                       {"temperature", c.gas.temperature}};
    AddUnknown(gas, c.gas.unknown);
    root["gas"] = std::move(gas);
    root["pressure_class"] = c.pressureClass;
    OrderedJson method = {{"name", MethodName(c.method.method)},
                          {"local_loss", c.method.localLoss}};
    if (!c.method.roughness.empty()) {
        OrderedJson rough = OrderedJson::object();
        for (const auto& r : c.method.roughness) rough[r.material] = r.roughness;
        method["roughness"] = std::move(rough);
    }
    SetOptional(method, "z", c.method.z);
    AddUnknown(method, c.method.unknown);
    root["method"] = std::move(method);
    OrderedJson source = {{"node", c.source.node},
                          {"pressure", c.source.pressure},
                          {"elevation", c.source.elevation}};
    AddUnknown(source, c.source.unknown);
    root["source"] = std::move(source);
    OrderedJson limits = OrderedJson::object();
    SetOptional(limits, "max_velocity", c.limits.maxVelocity);
    SetOptional(limits, "max_drop", c.limits.maxDrop);
    SetOptional(limits, "appliance_pressure", c.limits.appliancePressure);
    AddUnknown(limits, c.limits.unknown);
    root["limits"] = std::move(limits);
    AddUnknown(root, c.unknown);

    std::string out = "{\n";
    for (auto it = root.begin(); it != root.end(); ++it)
        out += "  " + Dump(it.key()) + ": " + Dump(it.value()) + ",\n";
    out += "  \"nodes\": [";
    for (std::size_t i = 0; i < c.nodes.size(); ++i) {
        const Node& n = c.nodes[i];
        OrderedJson node = {{"id", n.id}, {"elevation", n.elevation}, {"load", n.load}};
        AddUnknown(node, n.unknown);
        out += (i ? ",\n    " : "\n    ") + Dump(node);
    }
    out += c.nodes.empty() ? "],\n" : "\n  ],\n";
    out += "  \"segments\": [";
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const Segment& s = c.segments[i];
        OrderedJson seg = {{"id", s.id},
                           {"from", s.from},
                           {"to", s.to},
                           {"material", s.material},
                           {"nominal", s.nominal}};
        SetOptional(seg, "inner_diameter", s.innerDiameter);
        seg["length"] = s.length;
        SetOptional(seg, "flow", s.flow);
        SetOptional(seg, "local_loss", s.localLoss);
        SetOptional(seg, "zeta", s.zeta);
        SetOptional(seg, "simultaneity", s.simultaneity);
        SetOptional(seg, "roughness", s.roughness);
        AddUnknown(seg, s.unknown);
        out += (i ? ",\n    " : "\n    ") + Dump(seg);
    }
    out += c.segments.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

SaveResult SaveCase(const std::string& path, const Case& c) {
    SaveResult result;
    std::string error;
    result.ok = fileio::WriteWholeFile(path, CaseToJson(c), error);
    if (!result.ok)
        result.error = "cannot save '" + path + "': " + error + "; the previous file is unchanged";
    return result;
}

}  // namespace gaspipe::network
