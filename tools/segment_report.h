// What segment and solve print for one calculation: the window's report
// lines, and the whole working of the hydraulics library as text or JSON.
#pragma once

#include <string>
#include <vector>

#include "hydraulics.h"
#include "segment_job.h"

namespace gaspipe::cli {

// The window's report of a successful calculation. The appendix method
// without an additional head prints exactly the window's lines; otherwise the
// same lines from the double results, the low-pressure loss followed by the
// additional head when there is one.
std::vector<std::string> ReportText(const SegmentInput& in, const SegmentOutcome& o);

// The trace, one quantity per line ("name  value unit") with the passes as a
// tab-separated table; or as one JSON object with the same names.
std::string TraceText(const hydraulics::SegmentTrace& t);
std::string TraceJson(const hydraulics::SegmentTrace& t);

}  // namespace gaspipe::cli
