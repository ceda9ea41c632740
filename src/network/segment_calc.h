// One segment of a case handed to the hydraulics library: the case's gas,
// class and method options and the segment's own values turned into the
// library's inputs, and its trace back into a table row. Shared by solving
// and sizing; not part of the network's public interface.
#pragma once

#include <optional>

#include "case.h"
#include "hydraulics.h"
#include "network.h"
#include "pipe_catalog.h"

namespace gaspipe::network::detail {

struct SegmentCall {
    const Case& c;
    const Segment& segment;
    const PipeCatalog& catalog;
    double flow = 0;
    double rise = 0;
    double inlet = 0;
    std::optional<double> inner;  // instead of the segment's own, when sizing
};

// The row without the checks along the line; `trace`, when given, receives
// the full working.
SegmentResult CalculateSegment(const SegmentCall& call, hydraulics::SegmentTrace* trace = nullptr);

}  // namespace gaspipe::network::detail
