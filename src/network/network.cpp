#include "network.h"

#include <algorithm>

#include "segment_calc.h"

namespace gaspipe::network {

std::string_view StatusName(SegmentStatus s) {
    switch (s) {
        case SegmentStatus::Ok:
            return "ok";
        case SegmentStatus::PipeTooSmall:
            return "pipe_too_small";
        case SegmentStatus::CalcError:
            return "calc_error";
        case SegmentStatus::InputError:
            return "input_error";
        case SegmentStatus::NotCalculated:
            break;
    }
    return "not_calculated";
}

std::vector<std::string_view> FailedChecks(const SegmentResult& r) {
    std::vector<std::string_view> failed;
    if (r.velocityOverLimit) failed.push_back("velocity_over_limit");
    if (r.dropOverLimit) failed.push_back("drop_over_limit");
    if (r.partDropOverLimit) failed.push_back("part_drop_over_limit");
    if (r.status == SegmentStatus::PipeTooSmall) failed.push_back("no_valid_outlet");
    return failed;
}

bool Network::Load(const Case& c) {
    problems_ = CheckCaseValues(c);
    const std::vector<CaseProblem> households = CheckHouseholds(c, factors_);
    problems_.insert(problems_.end(), households.begin(), households.end());
    TopologyResult t = BuildTopology(c);
    problems_.insert(problems_.end(), t.problems.begin(), t.problems.end());
    results_.clear();
    if (!problems_.empty()) {
        topology_ = {};
        return false;
    }
    topology_ = std::move(t.topology);
    SumHouseholds(c, topology_, factors_);
    results_.resize(c.segments.size());
    Solve(c, 0, topology_.order.size());
    return true;
}

std::span<const std::size_t> Network::SegmentChanged(const Case& c, std::size_t segment) {
    if (!problems_.empty() || segment >= results_.size()) return {};
    const std::size_t begin = topology_.position[segment], end = topology_.downstreamEnd[segment];
    Solve(c, begin, end);
    return std::span(topology_.order).subspan(begin, end - begin);
}

std::span<const std::size_t> Network::NodeChanged(const Case& c, std::string_view node) {
    if (!problems_.empty()) return {};
    // The segment feeding the node, and those leaving it, see its elevation;
    // every segment above it whose flow comes from the loads sees its load.
    std::size_t feeder = kNoSegment;
    for (std::size_t i = 0; i < c.segments.size() && feeder == kNoSegment; ++i)
        if (c.segments[i].to == node) feeder = i;
    if (feeder == kNoSegment) {
        if (node == c.source.node) return {};
        Load(c);
        return topology_.order;
    }
    double elevation = 0, load = 0;
    bool households = topology_.toHouseholds[feeder] != 0;
    for (const Node& n : c.nodes) {
        if (n.id == node) {
            elevation = n.elevation;
            load = n.load;
            households = households || HasHouseholds(n);
        }
    }
    // The sums by appliance set, and whether the node's set is one the
    // table knows, are the whole line's.
    if (households) {
        Load(c);
        return topology_.order;
    }
    std::size_t top = feeder;
    if (load != topology_.toLoad[feeder]) {
        UpdateLoads(c, topology_);
        for (std::size_t up = topology_.feeder[feeder]; up != kNoSegment; up = topology_.feeder[up])
            if (!c.segments[up].flow) top = up;
    }
    topology_.toElevation[feeder] = elevation;
    const std::size_t end = topology_.downstreamEnd[feeder];
    for (std::size_t k = topology_.position[feeder] + 1; k < end; ++k)
        if (topology_.feeder[topology_.order[k]] == feeder)
            topology_.fromElevation[topology_.order[k]] = elevation;
    const std::size_t begin = topology_.position[top];
    Solve(c, begin, topology_.downstreamEnd[top]);
    return std::span(topology_.order).subspan(begin, topology_.downstreamEnd[top] - begin);
}

void Network::LimitsChanged(const Case& c) {
    for (SegmentResult& r : results_) Check(c, r);
}

bool Network::AllCalculated() const {
    if (!problems_.empty()) return false;
    return std::all_of(results_.begin(), results_.end(),
                       [](const SegmentResult& r) { return r.status == SegmentStatus::Ok; });
}

bool Network::AllChecksHold() const {
    if (!problems_.empty()) return false;
    return std::all_of(results_.begin(), results_.end(),
                       [](const SegmentResult& r) { return r.ChecksHold(); });
}

hydraulics::SegmentTrace Network::Trace(const Case& c, std::size_t segment) const {
    hydraulics::SegmentTrace trace;
    if (segment >= results_.size()) return trace;
    const SegmentResult& r = results_[segment];
    detail::CalculateSegment({c, c.segments[segment], *catalog_, r.flow, r.rise, r.inlet, {}},
                             &trace);
    return trace;
}

FlowBasis Network::Flow(const Case& c, std::size_t segment) const {
    if (segment >= results_.size()) return {};
    return SegmentFlowBasis(c.segments[segment], topology_, segment, factors_);
}

void Network::Describe(const Case& c, std::size_t segment, const SegmentResult* up,
                       SegmentResult& r) const {
    const Segment& s = c.segments[segment];
    const FlowBasis flow = SegmentFlowBasis(s, topology_, segment, factors_);
    r.flow = flow.flow;
    r.flowSource = flow.source;
    r.households = flow.households;
    r.ratedFlow = flow.ratedFlow;
    r.simultaneity = flow.simultaneity;
    r.part = s.part ? s.part : up ? up->part : std::nullopt;
}

SegmentResult Network::Calculate(const Case& c, std::size_t segment, const SegmentResult* up,
                                 const Override* override) const {
    const Segment& s = c.segments[segment];
    SegmentResult described;
    Describe(c, segment, up, described);
    detail::SegmentCall call{c,
                             s,
                             *catalog_,
                             described.flow,
                             topology_.toElevation[segment] - topology_.fromElevation[segment],
                             up ? up->outlet : c.source.pressure,
                             {}};
    if (override && override->segment == segment) call.inner = override->inner;
    SegmentResult r = detail::CalculateSegment(call);
    r.flowSource = described.flowSource;
    r.households = described.households;
    r.ratedFlow = described.ratedFlow;
    r.simultaneity = described.simultaneity;
    r.part = described.part;
    if (r.status == SegmentStatus::Ok) {
        if (up) r.partDrops = up->partDrops;
        if (r.part) {
            r.partDrops[static_cast<std::size_t>(*r.part)] += r.drop;
            r.partDrop = r.partDrops[static_cast<std::size_t>(*r.part)];
        }
    }
    Check(c, r);
    return r;
}

void Network::Check(const Case& c, SegmentResult& r) const {
    r.velocityOverLimit = r.dropOverLimit = r.partDropOverLimit = false;
    r.cumulativeDrop = 0;
    if (r.status != SegmentStatus::Ok) return;
    r.cumulativeDrop = c.source.pressure - r.outlet;
    r.velocityOverLimit = c.limits.maxVelocity && r.maxVelocity > *c.limits.maxVelocity;
    const auto maxDrop = EffectiveMaxDrop(c);
    r.dropOverLimit = maxDrop && r.cumulativeDrop > *maxDrop;
    if (r.part)
        if (const auto share = PartAllowedDrop(c, *r.part))
            r.partDropOverLimit = r.partDrop > *share;
}

// Solves order[begin, end), writing each row through slot(segment). A
// segment whose feeder lies before the run takes its inlet from results_.
template <class Slot>
void Network::SolveRun(const Case& c, std::size_t begin, std::size_t end, Slot slot,
                       const Override* override) const {
    for (std::size_t k = begin; k < end; ++k) {
        const std::size_t seg = topology_.order[k];
        const std::size_t feeder = topology_.feeder[seg];
        const SegmentResult* up = nullptr;
        if (feeder != kNoSegment)
            up = topology_.position[feeder] >= begin ? &slot(feeder) : &results_[feeder];
        if (up && up->status != SegmentStatus::Ok) {
            SegmentResult& r = slot(seg);
            r = SegmentResult{};
            Describe(c, seg, up, r);
            r.status = SegmentStatus::NotCalculated;
            // Name the segment where it went wrong, however far up.
            r.message =
                up->status == SegmentStatus::NotCalculated
                    ? up->message
                    : "not calculated: segment '" + c.segments[feeder].id + "' upstream failed";
            continue;
        }
        slot(seg) = Calculate(c, seg, up, override);
    }
}

void Network::Solve(const Case& c, std::size_t begin, std::size_t end) {
    SolveRun(
        c, begin, end, [this](std::size_t seg) -> SegmentResult& { return results_[seg]; },
        nullptr);
}

SegmentSizing Network::SizeSegment(const Case& c, std::size_t segment) const {
    SegmentSizing sizing;
    if (!problems_.empty() || segment >= results_.size()) {
        sizing.message = "the case cannot be solved";
        return sizing;
    }
    const std::size_t feeder = topology_.feeder[segment];
    if (feeder != kNoSegment && results_[feeder].status != SegmentStatus::Ok) {
        sizing.message = "the segment has no inlet pressure: segment '" + c.segments[feeder].id +
                         "' upstream is not calculated";
        return sizing;
    }
    std::vector<PipeSize> sizes;
    for (const PipeSize& size : catalog_->Sizes(c.segments[segment].material))
        if (size.inner) sizes.push_back(size);
    std::stable_sort(sizes.begin(), sizes.end(),
                     [](const PipeSize& a, const PipeSize& b) { return *a.inner < *b.inner; });
    if (sizes.empty()) {
        sizing.message = "the pipe file lists no diameters for " + c.segments[segment].material;
        return sizing;
    }

    const std::size_t begin = topology_.position[segment], end = topology_.downstreamEnd[segment];
    std::vector<SegmentResult> scratch(end - begin);
    auto slot = [&](std::size_t seg) -> SegmentResult& {
        return scratch[topology_.position[seg] - begin];
    };
    for (const PipeSize& size : sizes) {
        const Override override{segment, *size.inner};
        SolveRun(c, begin, end, slot, &override);
        const SegmentResult& own = scratch.front();
        SizeTrial trial{size.nominal, *size.inner, own.status, own.maxVelocity, 0, false};
        bool endsHold = true;
        for (std::size_t k = begin; k < end; ++k) {
            const std::size_t seg = topology_.order[k];
            const SegmentResult& r = scratch[k - begin];
            // A part's share binds wherever the part ends, not only at the ends.
            endsHold = endsHold && !r.partDropOverLimit;
            if (!topology_.IsEnd(seg)) continue;
            endsHold = endsHold && r.status == SegmentStatus::Ok && !r.dropOverLimit;
            if (r.status == SegmentStatus::Ok)
                trial.worstEndDrop = std::max(trial.worstEndDrop, r.cumulativeDrop);
        }
        trial.meets = own.status == SegmentStatus::Ok && !own.velocityOverLimit && endsHold;
        if (trial.meets && !sizing.choice) sizing.choice = sizing.trials.size();
        sizing.trials.push_back(std::move(trial));
    }
    if (!sizing.choice) sizing.message = "no nominal diameter of the list meets the limits";
    return sizing;
}

}  // namespace gaspipe::network
