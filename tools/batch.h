// The batch path: CSV rows of segment inputs in, the same rows with results
// appended out. Streams, so memory stays flat however many rows come in.
#pragma once

#include <cstddef>
#include <cstdio>

namespace gaspipe::cli {

struct BatchLimits {
    // A record that grows past this without ending is refused, so a file
    // without line breaks cannot eat the memory.
    std::size_t maxRecordBytes = 16u << 20;
};

// Returns the exit status: 0 all rows ok, 1 some row failed, 2 unusable input
// (unreadable, no header, a required column missing, a runaway record).
int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const BatchLimits& limits = {});

}  // namespace gaspipe::cli
