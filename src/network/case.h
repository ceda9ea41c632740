// A hydraulic calculation case: a radial gas line from one source node down
// to its last appliances, as the designer enters it. Plain data: the case file
// and the CSV rows read into it, the topology and the solver read from it,
// the table window edits it. Texts are UTF-8; pressures are in the units of
// the pressure class (高中压: absolute, 10^5 Pa; 低压: gauge, Pa).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaspipe::network {

enum class Method { Appendix, Gb50028 };

inline constexpr std::string_view kMethodAppendix = "appendix";
inline constexpr std::string_view kMethodGb50028 = "gb50028-2006";

std::string_view MethodName(Method m);
std::optional<Method> MethodFromName(std::string_view name);

// Every struct keeps the members a newer program wrote that this one does not
// know, as the text of a JSON object ("" when there were none), so that a
// load and save loses nothing.
struct Project {
    std::string name, number, stage, designer, date;  // 工程名称, 工程编号, 设计阶段, 设计人, 日期
    std::string organization, sheetNumber, revision;  // 设计单位, 计算书编号, 版次; optional
    std::string unknown;

    bool operator==(const Project&) const = default;
};

struct Gas {
    std::string kind;        // 天然气, 人工煤气 or 液化石油气
    double density = 0;      // kg/m³ at the standard state
    double viscosity = 0;    // kinematic, 10^-6 m²/s at the standard state
    double temperature = 0;  // K
    std::string unknown;

    bool operator==(const Gas&) const = default;
};

struct RoughnessOverride {
    std::string material;
    double roughness = 0;  // mm
    bool operator==(const RoughnessOverride&) const = default;
};

struct MethodOptions {
    Method method = Method::Gb50028;
    double localLoss = 0.1;  // default local losses as a fraction of friction
    std::vector<RoughnessOverride> roughness;
    std::optional<double> z;  // compressibility, high/medium pressure only
    std::string unknown;

    bool operator==(const MethodOptions&) const = default;
};

struct Source {
    std::string node;
    double pressure = 0;
    double elevation = 0;  // m
    std::string unknown;

    bool operator==(const Source&) const = default;
};

struct Limits {
    std::optional<double> maxVelocity;  // m/s, checked on each segment's maximum velocity
    std::optional<double> maxDrop;      // from the source to any node
    // Rated pressure Pn of the appliances (Pa), low pressure only: gives the
    // allowed drop when maxDrop is not set.
    std::optional<double> appliancePressure;
    std::string unknown;

    bool operator==(const Limits&) const = default;
};

struct Node {
    std::string id;
    double elevation = 0;  // m
    double load = 0;       // m³/h at the standard state
    std::string unknown;

    bool operator==(const Node&) const = default;
};

struct Segment {
    std::string id, from, to;
    std::string material;                 // a section of the pipe file: 钢管, PE管, 铸铁管
    std::string nominal;                  // a key of that section
    std::optional<double> innerDiameter;  // mm; overrides the pipe file
    double length = 0;                    // m
    std::optional<double> flow;           // m³/h; absent: from the loads downstream
    std::optional<double> localLoss;      // fraction of friction; absent: the method's default
    std::optional<double> zeta;           // Σζ of the fittings (current-code method only)
    std::optional<double> simultaneity;   // factor on the loads downstream
    std::optional<double> roughness;      // mm; overrides the method's and the material's
    std::string unknown;

    bool operator==(const Segment&) const = default;
};

struct Case {
    Project project;
    Gas gas;
    std::string pressureClass;  // 高中压 or 低压
    MethodOptions method;
    Source source;
    Limits limits;
    std::vector<Node> nodes;  // nodes not listed have elevation 0 and no load
    std::vector<Segment> segments;
    std::string unknown;

    bool operator==(const Case&) const = default;
};

// What makes a case unsolvable as a whole. The segments involved are named in
// the message and listed by index, so a table can mark their rows.
struct CaseProblem {
    enum class Kind {
        MissingId,  // a segment without id, from-node or to-node
        DuplicateSegmentId,
        DuplicateNodeId,
        NoSource,         // the case names no source node
        SourceFed,        // a segment ends at the source
        FedTwice,         // a node is the to-node of several segments
        UnknownNode,      // a segment starts at a node that does not exist
        SecondSource,     // a listed node that starts segments but is fed by none
        Loop,             // a ring of segments (ring mains are out of scope)
        UnconnectedNode,  // a listed node on no segment: its load would be lost
        SourceListed,     // the source listed with a load or another elevation, which would be lost
        InvalidValue,     // a case-wide value out of range (gas, source, limits, method)
        // A method option the method (subject: the option) or the pressure
        // class (subject "z") cannot use, or a roughness for a material that
        // does not exist (subject: the material).
        OptionNotForMethod,
        OptionNotForClass,
        UnknownRoughnessMaterial,
    };
    Kind kind;
    std::string message;
    std::vector<std::size_t> segments;  // indices into Case::segments
    std::string subject = {};
};

// Case-wide values out of range (gas, pressure class, source, limits, method
// options), one problem each.
std::vector<CaseProblem> CheckCaseValues(const Case& c);

// The usual allowed drop of a low-pressure line from the regulator to the
// appliance, 0.75·Pn + 150 Pa, for appliances rated at Pn (Pa).
double LowPressureAllowedDrop(double appliancePressure);

// The drop limit in force: maxDrop when given, otherwise for low pressure
// the allowed drop for the rated appliance pressure, otherwise none.
std::optional<double> EffectiveMaxDrop(const Case& c);

// The roughness override of the method options for a material, if any.
std::optional<double> MaterialRoughness(const MethodOptions& m, std::string_view material);

bool IsLowPressure(const Case& c);

// "material 'X' is not 钢管, PE管 or 铸铁管".
std::string UnknownMaterial(std::string_view material);

}  // namespace gaspipe::network
