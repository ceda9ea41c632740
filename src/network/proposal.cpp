#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "network.h"
#include "segment_calc.h"

namespace gaspipe::network {

namespace {

std::vector<PipeSize> UsableSizes(const PipeCatalog& catalog, const std::string& material) {
    std::vector<PipeSize> sizes;
    for (const PipeSize& size : catalog.Sizes(material))
        if (size.inner) sizes.push_back(size);
    std::stable_sort(sizes.begin(), sizes.end(),
                     [](const PipeSize& a, const PipeSize& b) { return *a.inner < *b.inner; });
    return sizes;
}

}  // namespace

SizingProposal ProposeSizes(const Case& c, const PipeCatalog& catalog,
                            const SimultaneityTable* factors) {
    SizingProposal proposal;
    std::vector<CaseProblem> problems = CheckCaseValues(c);
    const std::vector<CaseProblem> households = CheckHouseholds(c, factors);
    problems.insert(problems.end(), households.begin(), households.end());
    TopologyResult topo = BuildTopology(c);
    problems.insert(problems.end(), topo.problems.begin(), topo.problems.end());
    if (!problems.empty()) {
        proposal.error = problems.front().message;
        return proposal;
    }
    const auto maxDrop = EffectiveMaxDrop(c);
    const auto maxVelocity = c.limits.maxVelocity;
    if (!maxDrop && !maxVelocity && c.limits.shares.empty()) {
        proposal.error = "sizing needs a drop or a velocity limit in the case";
        return proposal;
    }
    SumHouseholds(c, topo.topology, factors);
    const Topology& t = topo.topology;
    const std::size_t n = c.segments.size();

    // Each segment's part, its own or the one above it.
    std::vector<std::optional<Part>> part(n);
    for (std::size_t seg : t.order)
        part[seg] = c.segments[seg].part          ? c.segments[seg].part
                    : t.feeder[seg] != kNoSegment ? part[t.feeder[seg]]
                                                  : std::nullopt;
    // Longest route from each segment's inlet to an end, through it; and on
    // through segments of its own part only.
    std::vector<double> below(n, 0), route(n, 0), belowInPart(n, 0), routeInPart(n, 0);
    for (auto it = t.order.rbegin(); it != t.order.rend(); ++it) {
        route[*it] = c.segments[*it].length + below[*it];
        routeInPart[*it] = c.segments[*it].length + belowInPart[*it];
        const std::size_t up = t.feeder[*it];
        if (up == kNoSegment) continue;
        below[up] = std::max(below[up], route[*it]);
        if (part[up] && part[up] == part[*it])
            belowInPart[up] = std::max(belowInPart[up], routeInPart[*it]);
    }

    const bool high = !IsLowPressure(c);
    // The pressure every end may fall to; without a drop limit only the
    // velocity decides.
    const double endPressure =
        maxDrop ? c.source.pressure - *maxDrop : -std::numeric_limits<double>::infinity();
    Case sized = c;
    std::vector<std::optional<double>> outlet(n);
    // The drops of each part along the route down to each outlet.
    std::vector<std::array<double, kPartCount>> partDrops(n);
    for (std::size_t seg : t.order) {
        Segment& s = sized.segments[seg];
        const std::size_t feeder = t.feeder[seg];
        if (feeder != kNoSegment && !outlet[feeder]) {
            proposal.notes.push_back({seg, "not sized: no pressure reaches it"});
            continue;
        }
        const double inlet = feeder == kNoSegment ? c.source.pressure : *outlet[feeder];
        const double share = route[seg] > 0 ? s.length / route[seg] : 1;
        double allowed = endPressure;
        if (maxDrop) {
            if (high) {
                const double end = std::max(endPressure, 0.0);
                allowed =
                    std::sqrt(std::max(inlet * inlet - (inlet * inlet - end * end) * share, 0.0));
            } else {
                allowed = inlet - (inlet - endPressure) * share;
            }
        }
        const std::array<double, kPartCount> above =
            feeder == kNoSegment ? std::array<double, kPartCount>{} : partDrops[feeder];
        const auto partShare = part[seg] ? PartAllowedDrop(c, *part[seg]) : std::nullopt;
        if (partShare) {
            // What is left of the part's share, spread over the part's longest route on.
            const double left = *partShare - above[static_cast<std::size_t>(*part[seg])];
            const double inPart = routeInPart[seg] > 0 ? s.length / routeInPart[seg] : 1;
            allowed = std::max(allowed, inlet - left * inPart);
        }
        const std::vector<PipeSize> sizes = UsableSizes(catalog, s.material);
        if (sizes.empty()) {
            proposal.notes.push_back(
                {seg, "not sized: the pipe file lists no diameters for " + s.material});
            continue;
        }
        const double flow = SegmentFlow(s, t, seg, factors);
        const double rise = t.toElevation[seg] - t.fromElevation[seg];
        const PipeSize* chosen = nullptr;
        const PipeSize* largest = nullptr;
        double chosenOutlet = 0, largestOutlet = 0;
        for (const PipeSize& size : sizes) {
            const SegmentResult r =
                detail::CalculateSegment({c, s, catalog, flow, rise, inlet, *size.inner});
            if (r.status != SegmentStatus::Ok) continue;
            largest = &size;
            largestOutlet = r.outlet;
            if (r.outlet >= allowed && (!maxVelocity || r.maxVelocity <= *maxVelocity)) {
                chosen = &size;
                chosenOutlet = r.outlet;
                break;
            }
        }
        if (!chosen && !largest) {
            proposal.notes.push_back({seg, "not sized: no diameter of the list calculates"});
            continue;
        }
        if (!chosen) {
            chosen = largest;
            chosenOutlet = largestOutlet;
            proposal.notes.push_back(
                {seg, "no diameter keeps within its share of the limits; the largest, " +
                          chosen->nominal + ", is proposed"});
        }
        s.nominal = chosen->nominal;
        s.innerDiameter.reset();
        outlet[seg] = chosenOutlet;
        partDrops[seg] = above;
        if (part[seg]) partDrops[seg][static_cast<std::size_t>(*part[seg])] += inlet - chosenOutlet;
    }
    proposal.sized = std::move(sized);
    return proposal;
}

}  // namespace gaspipe::network
