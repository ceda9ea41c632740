// The batch input cut into chunks of whole records, so that chunks can be
// read, calculated and formatted apart from each other and still give what
// one reading of the whole input gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "csv_reader.h"

namespace gaspipe::cli {

struct InputChunk {
    std::vector<char> bytes;    // whole records; the last chunk runs to the end of the input
    std::uint64_t offset = 0;   // input bytes before bytes[0], a byte order mark counted
    bool last = false;          // the input ends with this chunk
    bool mayHaveQuotes = true;  // false: the reader saw no quote in bytes
    // What stops the reading after this chunk's records; its record counts
    // from them (1: the record after the last of them).
    std::optional<CsvError> stop;
};

// Reads in to its end in chunks of about chunkBytes. A record ends at a line
// break outside quotes, by the reading rules of ReadCsv: a quote opens a
// quoted field only at the start of a field. A byte order mark at the start
// is skipped; a record longer than maxRecordBytes (without its line break)
// stops the reading after the records before it.
class ChunkReader {
  public:
    ChunkReader(std::FILE* in, std::size_t chunkBytes, std::size_t maxRecordBytes);

    // The next chunk into chunk, whose buffer is reused; false after the last.
    bool Next(InputChunk& chunk);

  private:
    enum class State { Outside, Quoted, QuoteSeen };

    void Scan();
    void Cut(InputChunk& chunk, std::size_t end);

    std::FILE* in_;
    std::size_t chunkBytes_, maxRecordBytes_;
    std::vector<char> pending_;  // input not given out yet; starts at a record
    std::uint64_t offset_ = 0;   // input bytes before pending_[0]
    std::size_t scanned_ = 0;    // bytes of pending_ the state has seen
    std::size_t lastEnd_ = 0;    // just past the last record's end in pending_ (0: none)
    std::size_t openQuote_ = 0;  // the quote that opened the current quoted field
    std::size_t lastQuote_ = 0;  // just past the last quote scanned in pending_ (0: none)
    State state_ = State::Outside;
    bool started_ = false, eof_ = false, done_ = false;
    bool tooLong_ = false;          // the record at lastEnd_ is longer than the limit
    bool tooLongInQuotes_ = false;  // its byte at the limit is in a quoted field
};

}  // namespace gaspipe::cli
