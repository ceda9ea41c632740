// A case's segment rows as CSV, to and from a spreadsheet. One row per
// segment; the columns carry the case file's member names, plus the to-node's
// elevation and load:
//   id,from,to,material,nominal,inner_diameter,length,flow,local_loss,zeta,
//   simultaneity,roughness,to_elevation,to_load
// An empty cell is an absent value. Export writes UTF-8 with a byte-order
// mark, so that Excel shows the Chinese texts; import takes UTF-8 (with or
// without the mark) and GBK, as older spreadsheets save it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "case.h"
#include "network.h"

namespace gaspipe::network {

std::string SegmentsToCsv(const Case& c);

// The calculated table, one row per segment in the case's order: the
// segment's id, nodes, pipe and flow as used, then
//   inlet,outlet,drop,loss,friction_loss,local_loss,additional_head,
//   mean_velocity,max_velocity,reynolds,friction_factor,regime,
//   cumulative_drop,status,checks,message
// (empty where a value was not calculated; checks joined by ';').
std::string ResultsToCsv(const Case& c, const Network& network);

struct CsvImportLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxRows = 100'000;
};

// Replaces the case's segments with the rows read, and sets the elevation and
// load of each to-node given in the rows (adding the node when it is not
// listed). Returns "" on success; otherwise the message names the record and
// column, and the case is left as it was.
std::string ImportSegmentsCsv(std::string_view bytes, Case& c, const CsvImportLimits& limits = {});

}  // namespace gaspipe::network
