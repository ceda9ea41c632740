// The hydraulic calculation table of a radial line: every segment of a case
// solved from the source down.
//
// Data flow: a Case (edited by the table window, read from a .gpcase file)
// and a PipeCatalog go into Network::Load, which checks the topology and
// solves every segment; results() then holds one SegmentResult per row of
// Case::segments. Each segment's inlet is the outlet of the segment feeding
// its from-node (the source pressure at the source); the segment itself is
// calculated by the hydraulics library with the case's method. After an edit
// the owner tells the network what changed and only the downstream part of
// the line is solved again. Sizing (one segment, or a proposal for the whole
// line) tries the nominal diameters of the pipe file.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "case.h"
#include "flows.h"
#include "hydraulics.h"
#include "pipe_catalog.h"
#include "simultaneity_file.h"
#include "topology.h"

namespace gaspipe::network {

enum class SegmentStatus { Ok, PipeTooSmall, CalcError, InputError, NotCalculated };

// "ok", "pipe_too_small", "calc_error", "input_error", "not_calculated".
std::string_view StatusName(SegmentStatus s);

struct SegmentResult {
    SegmentStatus status = SegmentStatus::NotCalculated;
    std::string message;  // why, when status is not Ok

    // Inputs as used (set once the segment's inputs are known).
    double innerDiameter = 0;  // mm
    double flow = 0;           // m³/h
    double rise = 0;           // m, to-node minus from-node elevation
    double inlet = 0;          // the class's pressure unit
    // Where the flow comes from: N households below (all sets), their Qn
    // when one, and the factor k when one applies (flows.h).
    FlowSource flowSource = FlowSource::Loads;
    double households = 0;
    std::optional<double> ratedFlow;
    std::optional<double> simultaneity;
    // Its part of the route: its own, or that of the segment feeding it.
    std::optional<Part> part;

    // The calculation's summary, when status is Ok. loss = frictionLoss +
    // localLoss in the loss unit ((10^5 Pa)² for 高中压, Pa for 低压); drop =
    // inlet − outlet, which for low pressure is loss − additionalHead.
    double outlet = 0, drop = 0, loss = 0;
    double frictionLoss = 0, localLoss = 0, additionalHead = 0;
    double meanVelocity = 0, maxVelocity = 0;  // m/s
    double reynolds = 0, frictionFactor = 0, z = 1;
    // L + Le, the equivalent length of Σζ when given (m); the friction loss
    // per metre of L, in the loss unit.
    double calculationLength = 0;
    double unitFrictionLoss = 0;
    hydraulics::Regime regime = hydraulics::Regime::Laminar;
    int passes = 0;

    // Along the line: source pressure − outlet, and the case's limits.
    double cumulativeDrop = 0;
    // The drops of the segments of each part along the route down to this
    // outlet, and of its own part: what the part's share is checked against.
    std::array<double, kPartCount> partDrops{};
    double partDrop = 0;
    bool velocityOverLimit = false;
    bool dropOverLimit = false;
    bool partDropOverLimit = false;

    bool ChecksHold() const {
        return status == SegmentStatus::Ok && !velocityOverLimit && !dropOverLimit &&
               !partDropOverLimit;
    }
};

// The checks a row fails: "velocity_over_limit", "drop_over_limit",
// "part_drop_over_limit", "no_valid_outlet" (the pipe is too small for any
// outlet pressure).
std::vector<std::string_view> FailedChecks(const SegmentResult& r);

// One nominal diameter tried for a segment.
struct SizeTrial {
    std::string nominal;
    double inner = 0;
    SegmentStatus status = SegmentStatus::NotCalculated;
    double maxVelocity = 0;   // of the segment itself
    double worstEndDrop = 0;  // largest cumulative drop at the ends downstream of it
    bool meets = false;
};

struct SegmentSizing {
    std::vector<SizeTrial> trials;  // by rising inner diameter
    std::optional<std::size_t> choice;
    std::string message;  // why nothing could be tried, or why nothing meets
};

class Network {
  public:
    // The catalog and the simultaneity table must outlive the network. Without
    // a table a case with households cannot be solved (problems() says so).
    explicit Network(const PipeCatalog& catalog, const SimultaneityTable* factors = nullptr)
        : catalog_(&catalog), factors_(factors) {}

    // Checks the case and solves every segment. Returns false when the case
    // cannot be solved as a whole (see problems()); results() is then empty.
    bool Load(const Case& c);

    // After an edit of one segment's own values (anything but its id, from
    // and to): solves it and everything downstream of it again. Returns the
    // segments recalculated. Edits of ids, from/to, added or removed rows,
    // the gas, class, method or source need Load.
    std::span<const std::size_t> SegmentChanged(const Case& c, std::size_t segment);
    // After an edit of a node's elevation, load or households: the segment
    // into the node and everything below it, and for a new load everything
    // below the topmost segment above whose flow comes from the loads. A node
    // that is on no segment yet, and one with households before or after the
    // edit, reloads the whole case.
    std::span<const std::size_t> NodeChanged(const Case& c, std::string_view node);
    // After an edit of the limits: only the checks change.
    void LimitsChanged(const Case& c);

    const std::vector<CaseProblem>& problems() const { return problems_; }
    const Topology& topology() const { return topology_; }
    const std::vector<SegmentResult>& results() const { return results_; }
    bool AllCalculated() const;
    bool AllChecksHold() const;

    // The full working of one solved segment, for a calculation sheet.
    hydraulics::SegmentTrace Trace(const Case& c, std::size_t segment) const;

    // What a segment's flow is made of (after Load).
    FlowBasis Flow(const Case& c, std::size_t segment) const;
    const SimultaneityTable* factors() const { return factors_; }

    // Every nominal diameter of the segment's material, with the rest of the
    // line as it is: the smallest that keeps the segment's own maximum
    // velocity and the cumulative drop at every end downstream of it within
    // the case's limits.
    SegmentSizing SizeSegment(const Case& c, std::size_t segment) const;

  private:
    struct Override {
        std::size_t segment;
        double inner;
    };
    template <class Slot>
    void SolveRun(const Case& c, std::size_t begin, std::size_t end, Slot slot,
                  const Override* override) const;
    void Solve(const Case& c, std::size_t begin, std::size_t end);
    SegmentResult Calculate(const Case& c, std::size_t segment, const SegmentResult* up,
                            const Override* override) const;
    // The row's flow and part, known before it is calculated.
    void Describe(const Case& c, std::size_t segment, const SegmentResult* up,
                  SegmentResult& r) const;
    void Check(const Case& c, SegmentResult& r) const;

    const PipeCatalog* catalog_;
    const SimultaneityTable* factors_;
    std::vector<CaseProblem> problems_;
    Topology topology_;
    std::vector<SegmentResult> results_;
};

// The whole-line proposal: the segments sized one by one from the source,
// each given a share of the drop still allowed at its inlet in proportion to
// its length over the longest route from its inlet to an end (for 高中压 the
// share is of P², which falls linearly along a pipe); where its part has a
// share of the allowed drop, likewise of what is left of that share over the
// longest route on through the part, whichever is less. A segment takes the
// smallest nominal diameter whose drop stays within its share and whose
// maximum velocity stays within the limit; when none does, the largest that
// calculates, with a note. A proposal for the designer to edit, not an
// optimum.
struct SizingNote {
    std::size_t segment;
    std::string message;
};
struct SizingProposal {
    std::optional<Case> sized;  // empty when the case cannot be sized at all
    std::vector<SizingNote> notes;
    std::string error;
};
SizingProposal ProposeSizes(const Case& c, const PipeCatalog& catalog,
                            const SimultaneityTable* factors = nullptr);

}  // namespace gaspipe::network
