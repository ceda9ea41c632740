// The shape of a case's line: checked to be a tree fed from one source, then
// laid out so that every segment's downstream part is one contiguous run of
// the solving order. Re-solving after an edit walks just that run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "case.h"

namespace gaspipe {
class SimultaneityTable;
}

namespace gaspipe::network {

inline constexpr std::size_t kNoSegment = static_cast<std::size_t>(-1);

// The households below a segment with one appliance set of the simultaneity
// file: k(N) is the set's, so they are summed by set.
struct SetSum {
    std::size_t set = 0;    // in the simultaneity table
    double households = 0;  // N
    double ratedTotal = 0;  // Σ N·Qn, m³/h
    double minRated = 0;    // the nodes' Qn, to tell one rated flow from several
    double maxRated = 0;
};

struct Topology {
    // Segment indices from the source down: each segment is followed by all
    // of its downstream segments and then by its siblings.
    std::vector<std::size_t> order;
    // Per segment (by index in Case::segments):
    std::vector<std::size_t> position;       // its place in order
    std::vector<std::size_t> downstreamEnd;  // place in order after its last downstream segment
    std::vector<std::size_t> feeder;         // segment ending at its from-node, or kNoSegment
    std::vector<double> fromElevation, toElevation;
    std::vector<double> toLoad;          // load of its to-node
    std::vector<double> downstreamLoad;  // loads of its to-node and of every node below it
    // Households of its to-node and every node below it, by appliance set
    // (flows.h; empty until summed); whether its to-node has households.
    std::vector<std::vector<SetSum>> households;
    std::vector<char> toHouseholds;

    bool IsEnd(std::size_t segment) const {
        return downstreamEnd[segment] == position[segment] + 1;
    }
};

struct TopologyResult {
    Topology topology;  // meaningful only when problems is empty
    std::vector<CaseProblem> problems;
    bool ok() const { return problems.empty(); }
};

// Checks the case's connections; every problem found is reported, not just
// the first.
TopologyResult BuildTopology(const Case& c);

// Sums the node loads again after a load edit (topology unchanged).
void UpdateLoads(const Case& c, Topology& t);

// The flow a segment carries: its own when given; with a typed simultaneity
// factor that factor times everything downstream (the households' N·Qn and
// the loads); otherwise Σ k(N)·N·Qn over the appliance sets downstream, with
// k from the table, plus the loads. Households need the table and their sums
// (SumHouseholds, flows.h).
double SegmentFlow(const Segment& s, const Topology& t, std::size_t segment,
                   const SimultaneityTable* table = nullptr);

// "'1', '2', '3'": ids for messages, cut after a handful.
std::string SegmentList(const Case& c, const std::vector<std::size_t>& segments);

}  // namespace gaspipe::network
