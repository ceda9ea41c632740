#include <algorithm>
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

SizingProposal ProposeSizes(const Case& c, const PipeCatalog& catalog) {
    SizingProposal proposal;
    std::vector<CaseProblem> problems = CheckCaseValues(c);
    TopologyResult topo = BuildTopology(c);
    problems.insert(problems.end(), topo.problems.begin(), topo.problems.end());
    if (!problems.empty()) {
        proposal.error = problems.front().message;
        return proposal;
    }
    const auto maxDrop = EffectiveMaxDrop(c);
    const auto maxVelocity = c.limits.maxVelocity;
    if (!maxDrop && !maxVelocity) {
        proposal.error = "sizing needs a drop or a velocity limit in the case";
        return proposal;
    }
    const Topology& t = topo.topology;
    const std::size_t n = c.segments.size();

    // Longest route from each segment's inlet to an end, through it.
    std::vector<double> below(n, 0), route(n, 0);
    for (auto it = t.order.rbegin(); it != t.order.rend(); ++it) {
        route[*it] = c.segments[*it].length + below[*it];
        if (t.feeder[*it] != kNoSegment)
            below[t.feeder[*it]] = std::max(below[t.feeder[*it]], route[*it]);
    }

    const bool high = !IsLowPressure(c);
    // The pressure every end may fall to; without a drop limit only the
    // velocity decides.
    const double endPressure =
        maxDrop ? c.source.pressure - *maxDrop : -std::numeric_limits<double>::infinity();
    Case sized = c;
    std::vector<std::optional<double>> outlet(n);
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
        const std::vector<PipeSize> sizes = UsableSizes(catalog, s.material);
        if (sizes.empty()) {
            proposal.notes.push_back(
                {seg, "not sized: the pipe file lists no diameters for " + s.material});
            continue;
        }
        const double flow = SegmentFlow(s, t, seg);
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
    }
    proposal.sized = std::move(sized);
    return proposal;
}

}  // namespace gaspipe::network
