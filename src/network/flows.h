// Where a segment's flow comes from: typed, or the households and loads
// downstream. Households are counted by appliance set (一个双眼灶, ...) of
// the simultaneity file; each set gets the factor k(N) of the number N of its
// sets below the segment, and Q = Σ k(N)·N·Qn + the non-residential loads
// (GB 50028-2006, 10.2.9).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "case.h"
#include "simultaneity_file.h"
#include "topology.h"

namespace gaspipe::network {

// Problems with the households of a case: no readable table while nodes
// have households, a set the table does not list, a rated flow neither the
// node nor the table gives for the gas kind. table may be null (none given).
std::vector<CaseProblem> CheckHouseholds(const Case& c, const SimultaneityTable* table);

// Sums the households below every segment by appliance set (after
// CheckHouseholds found nothing wrong). Without households, or without a
// table, the sums are empty.
void SumHouseholds(const Case& c, Topology& t, const SimultaneityTable* table);

enum class FlowSource {
    Typed,        // the segment's own flow
    TypedFactor,  // a typed simultaneity factor times everything downstream
    Households,   // Σ k(N)·N·Qn (+ loads)
    Loads,        // the loads downstream only (no households)
};

// "typed", "typed_factor", "households", "loads".
std::string_view FlowSourceName(FlowSource source);

// A segment's flow with what it is made of, for the table's N, Qn and k and
// for a reviewer's check of the arithmetic.
struct FlowBasis {
    FlowSource source = FlowSource::Loads;
    double flow = 0;        // m³/h
    double households = 0;  // N below the segment, all sets
    double loads = 0;       // non-residential loads below it, m³/h
    // Qn when every household below draws the same rated flow; k when one
    // factor applies (typed, or the one set's k(N)).
    std::optional<double> ratedFlow;
    std::optional<double> simultaneity;
    struct Term {
        std::size_t set = 0;
        double k = 0, households = 0, ratedTotal = 0;  // k(N), N, Σ N·Qn
        std::optional<double> ratedFlow;               // when one Qn
    };
    std::vector<Term> terms;  // one per appliance set below
};

FlowBasis SegmentFlowBasis(const Segment& s, const Topology& t, std::size_t segment,
                           const SimultaneityTable* table);

// The arithmetic as a reviewer checks it, numbers with up to `decimals`
// places: "0.516 × 12 × 0.70 = 4.334"; several sets and loads add up
// ("0.54 × 10 × 0.70 + 0.56 × 2 × 2.70 + 3.50 = 10.31"); a typed factor
// "0.52 × (12 × 0.70) = 4.368". Empty for a typed flow.
std::string FlowArithmetic(const FlowBasis& basis, int decimals = 3);

}  // namespace gaspipe::network
