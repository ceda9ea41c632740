// CSV records from a stream, for the batch command. libcsv reads them in its
// strict mode; where it stops at a stray quote, the field is read as
// spreadsheet programs read it, as long as that reading is unambiguous:
//   12" pipe      a quote inside an unquoted field is a character of it
//   "12" pipe     text after the closing quote joins the field: 12 pipe
// A quote that is never closed, or a quoted field that runs over a line
// break and then has text after its closing quote (its quotes cannot be
// paired with any confidence), ends the reading with an error naming the
// record and the byte of the quote, so no record is ever lost silently.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace gaspipe::cli {

class CsvSink {
  public:
    virtual void Field(std::string_view text) = 0;
    // false stops the reading: the sink has failed and says so itself.
    virtual bool EndRecord() = 0;

  protected:
    ~CsvSink() = default;
};

struct CsvReadResult {
    bool complete = false;  // every byte read and every record delivered
    std::string error;      // why not, when the reader stopped (empty when the sink did)
};

// Reads in to its end. A byte order mark at the start is skipped (byte
// positions in errors still count it); blank lines are no records. A record
// that grows past maxRecordBytes without ending is refused.
CsvReadResult ReadCsv(std::FILE* in, CsvSink& sink, std::size_t maxRecordBytes);

}  // namespace gaspipe::cli
