// A case's segment rows as CSV, to and from a spreadsheet. One row per
// segment; the columns carry the case file's member names, plus the to-node's
// elevation, load and households:
//   id,from,to,material,nominal,inner_diameter,length,flow,local_loss,zeta,
//   simultaneity,roughness,to_elevation,to_load,part,to_households,
//   to_appliances,to_rated_flow
// An empty cell is an absent value. Export writes UTF-8 with a byte-order
// mark, so that Excel shows the Chinese texts, and text cells that a
// spreadsheet would take for a formula with a leading apostrophe
// (spreadsheet_text.h); import takes UTF-8 (with or without the mark) and
// GBK, as older spreadsheets save it, and takes the apostrophe off again.
#pragma once

#include <cstddef>
#include <optional>
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
//   cumulative_drop,status,checks,message,flow_source,households,
//   rated_flow,simultaneity,calculation_length,unit_friction_loss,part,
//   part_drop
// in the class's units, as the JSON table gives them (empty where a value
// was not calculated; checks joined by ';').
std::string ResultsToCsv(const Case& c, const Network& network);

struct CsvImportLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxRows = 100'000;
};

// Why rows cannot be imported, in parts for the command line's and the
// window's words.
struct CsvImportProblem {
    enum class Kind {
        TooLarge,  // number: the limit in bytes
        NoMemory,
        NotCsv,       // detail: the CSV parser's words
        TooManyRows,  // number: the limit
        NoHeader,
        MissingColumn,     // column
        NoDiameterColumn,  // neither nominal nor inner_diameter
        NotANumber,        // record, column, detail: the cell (cut)
        NoLength,          // record, column
        TooLong,           // record, column, number: the limit in bytes
        ControlCharacter,  // record, column
        UnknownPart,       // record, column, detail: the cell
    };
    Kind kind = Kind::NoHeader;
    std::size_t record = 0;  // 1-based, the header being record 1
    std::string column;
    std::string detail;
    std::size_t number = 0;
};

std::string DescribeCsvProblem(const CsvImportProblem& problem);

// Replaces the case's segments with the rows read, and sets the elevation and
// load of each to-node given in the rows (adding the node when it is not
// listed). A text the case file would refuse (too long, a control character
// in an id) is refused here too, so that what is imported can be saved.
// Returns nothing on success; otherwise the problem names the record and
// column, and the case is left as it was.
std::optional<CsvImportProblem> ImportSegments(std::string_view bytes, Case& c,
                                               const CsvImportLimits& limits = {});
// The same, with the problem as DescribeCsvProblem says it ("" on success).
std::string ImportSegmentsCsv(std::string_view bytes, Case& c, const CsvImportLimits& limits = {});

}  // namespace gaspipe::network
