// The batch path: CSV rows of segment inputs in, the same rows with results
// appended out. Streams in chunks of whole records, calculated by several
// threads and written in input order, so memory stays flat however many rows
// come in and the output is the same whatever the number of threads.
#pragma once

#include <cstddef>
#include <cstdio>

namespace gaspipe::cli {

struct BatchConfig {
    // A record that grows past this without ending is refused, so a file
    // without line breaks cannot eat the memory.
    std::size_t maxRecordBytes = 16u << 20;
    // Threads that parse, calculate and format; 1 does everything on the
    // calling thread.
    unsigned jobs = 1;
    // Input bytes per chunk (a chunk holds whole records, so it can be longer).
    std::size_t chunkBytes = 256u << 10;
};

// Returns the exit status: 0 all rows ok, 1 some row failed, 2 unusable input
// (unreadable, no header, a required column missing, a runaway record) or
// output that could not be written.
int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const BatchConfig& config = {});

}  // namespace gaspipe::cli
