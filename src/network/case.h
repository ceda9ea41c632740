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

#include "pressure_display.h"

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

// The parts of a low-pressure route from the regulator to the appliance,
// each with its share of the allowed drop.
enum class Part { Street, Courtyard, Indoor };
inline constexpr std::size_t kPartCount = 3;

// 街区, 庭院, 室内: the case file's names.
std::string_view PartName(Part part);
std::optional<Part> PartFromName(std::string_view name);

// A part's share of the allowed drop: in Pa, or as a fraction of the total
// (exactly one of them).
struct PartShare {
    Part part = Part::Street;
    std::optional<double> drop;      // Pa
    std::optional<double> fraction;  // of the allowed drop, above 0 and at most 1
    std::string unknown;

    bool operator==(const PartShare&) const = default;
};

struct Limits {
    std::optional<double> maxVelocity;  // m/s, checked on each segment's maximum velocity
    std::optional<double> maxDrop;      // from the source to any node
    // Rated pressure Pn of the appliances (Pa), low pressure only: gives the
    // allowed drop when maxDrop is not set.
    std::optional<double> appliancePressure;
    std::vector<PartShare> shares;  // low pressure only; by Part, at most one each
    std::string unknown;

    bool operator==(const Limits&) const = default;
};

struct Node {
    std::string id;
    double elevation = 0;  // m
    // Non-residential load, m³/h at the standard state: added to the flow
    // without a simultaneity factor.
    double load = 0;
    // Households: N sets of the named appliance set of the simultaneity file
    // (一个双眼灶, ...), each drawing ratedFlow Qn (m³/h; absent: the file's
    // default for the gas kind).
    std::optional<double> households;
    std::string appliances;
    std::optional<double> ratedFlow;
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
    // A typed factor on everything downstream (households' N·Qn and loads),
    // instead of the simultaneity file's k(N); older files give it this way.
    std::optional<double> simultaneity;
    std::optional<double> roughness;  // mm; overrides the method's and the material's
    std::optional<Part> part;         // absent: the part of the segment feeding it
    std::string unknown;

    bool operator==(const Segment&) const = default;
};

// How tables and sheets show the case; the file's values stay as they are.
struct Display {
    std::optional<PressureUnit> pressureUnit;  // high/medium pressure; default MPa gauge
    std::string unknown;

    bool operator==(const Display&) const = default;
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
    Display display;
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
        // Shares of the allowed drop by part under 高中压 (the shares belong
        // to low pressure), or given as a fraction with no allowed drop to
        // take it of (subject: the part).
        SharesNotForClass,
        FractionWithoutTotal,
        // Households need the simultaneity file (subject: its path and why it
        // cannot be read), one of its appliance sets (subject: the set named)
        // and a rated flow the node or the file gives (subject: the node).
        NoSimultaneityFile,
        UnknownApplianceSet,
        NoRatedFlow,
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

// The pressure scale tables and sheets show the case in.
PressureScale CaseScale(const Case& c);

// The allowed drop of a part in the class's unit (Pa), when the case gives
// the part a share and, for a fraction, an allowed drop to take it of.
std::optional<double> PartAllowedDrop(const Case& c, Part part);

// Whether a node or the case uses what needs the simultaneity file.
bool HasHouseholds(const Node& n);
bool UsesHouseholds(const Case& c);

// "material 'X' is not 钢管, PE管 or 铸铁管".
std::string UnknownMaterial(std::string_view material);

}  // namespace gaspipe::network
