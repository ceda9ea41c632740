// The calculation sheet of a whole line: the case's basis and inputs, the
// hydraulic calculation table of every segment (landscape), the pressure
// profile, and the full working of one segment for the reviewer to check by
// hand; the rest are checked by the table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "case.h"
#include "document.h"
#include "network.h"
#include "pipe_catalog.h"
#include "pressure_display.h"
#include "segment_sheet.h"

namespace gaspipe::sheet {

struct TableSheet {
    Project project;  // see CaseProject
    Produced produced;
    std::string pipeFile;                           // the file the catalog was read from
    const network::PipeCatalog* catalog = nullptr;  // for the pipe table entries; optional
    std::optional<std::size_t> detail;              // default: LargestLossSegment
    // What the sheet shows high/medium pressures in, outside the table's
    // own columns.
    network::PressureUnit pressureUnit = network::kDefaultPressureUnit;
};

// The calculated segment with the largest loss; none when none was calculated.
std::optional<std::size_t> LargestLossSegment(const network::Network& net);

Project CaseProject(const network::Case& c);

// net holds the solved case c (Load succeeded). The detailed segment must be
// one that was calculated; an uncalculated choice falls back to the default.
Document BuildTableSheet(const network::Case& c, const network::Network& net,
                         const TableSheet& options);

}  // namespace gaspipe::sheet
