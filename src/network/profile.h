// The pressure profile of a solved line: pressure against distance from the
// source along the path to one node, the data behind the table window's chart
// and the calculation sheet's figure. Plain data, no drawing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "case.h"
#include "network.h"

namespace gaspipe::network {

struct ProfilePoint {
    std::string node;
    double distance = 0;  // m from the source along the path
    double pressure = 0;  // the class's unit (低压: gauge Pa; 高中压: absolute 10^5 Pa)
    std::size_t segment = kNoSegment;  // the segment ending at this node; none at the source
};

struct Profile {
    // From the source down to the chosen node. Where a segment on the path
    // was not calculated the path stops at the last pressure known.
    std::vector<ProfilePoint> points;
    bool complete = false;  // the path reaches the chosen node
    // The lowest pressure the drop limit allows: source pressure − limit.
    std::optional<double> lowestAllowed;
};

// The path to the to-node of segment. Empty when the case was not solved or
// segment is out of range.
Profile PressureProfile(const Case& c, const Network& net, std::size_t segment);

// The calculated segment whose to-node has the lowest pressure, the chart's
// default; none when no segment was calculated.
std::optional<std::size_t> LowestPressureSegment(const Network& net);

}  // namespace gaspipe::network
