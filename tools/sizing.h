// Diameter sizing: the segment calculation for every nominal diameter of a
// material's list, judged against the engineer's limits.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pipe_file.h"
#include "segment_job.h"

namespace gaspipe::cli {

struct SizingLimits {
    std::optional<double> maxDrop;      // in the pressure class's unit
    std::optional<double> maxVelocity;  // m/s, checked on the maximum velocity
};

struct SizingRow {
    std::string nominal;
    std::string innerText;  // as the pipe file holds it
    std::optional<double> inner;
    SegmentOutcome outcome;
    bool meets = false;
};

// One row per list entry, in list order; every row starts from an outlet
// estimate of 0 so the rows do not depend on each other.
std::vector<SizingRow> SizeSegment(const PipeFile& pipes, const SegmentInput& base,
                                   const SizingLimits& limits);

// Index of the row with the smallest inner diameter that meets every limit.
std::optional<std::size_t> SmallestFitting(const std::vector<SizingRow>& rows);

}  // namespace gaspipe::cli
