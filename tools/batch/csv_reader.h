// CSV records of the batch input, read a chunk of whole records at a time so
// that chunks can be read apart from each other. libcsv reads them in its
// strict mode; where it stops at a stray quote, the field is read as
// spreadsheet programs read it, as long as that reading is unambiguous:
//   12" pipe      a quote inside an unquoted field is a character of it
//   "12" pipe     text after the closing quote joins the field: 12 pipe
// A quote that is never closed, or a quoted field that runs over a line
// break and then has text after its closing quote (its quotes cannot be
// paired with any confidence), ends the reading with an error naming the
// record and the byte of the quote, so no record is ever lost silently.
// A chunk without any quote is split at commas and line breaks directly,
// which is what libcsv would make of it, without its per-byte cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace gaspipe::cli {

struct CsvRecord {
    std::span<const std::string_view> fields;
    // The fields joined by commas, when none holds a comma, a quote or a line
    // break: the record as it is written out again.
    std::string_view plain;
    bool isPlain = false;
    // The fields lie in a buffer that may be read up to here.
    const char* readable = nullptr;
};

class CsvSink {
  public:
    // false stops the reading: the sink has failed and says so itself.
    virtual bool Record(const CsvRecord& record) = 0;

  protected:
    ~CsvSink() = default;
};

// A reading error. Its message is "record N" followed by text, N counting
// the records from the start of what was read (1: the first); text alone
// when record is 0.
struct CsvError {
    std::size_t record = 0;
    std::string text;
};

struct CsvReadResult {
    std::size_t records = 0;        // delivered to the sink
    std::optional<CsvError> error;  // why the reading stopped early, unless the sink stopped it
    bool stopped = false;           // the sink stopped it
};

// Reads data, whole records that start at byte `offset` of the input (for
// the byte positions in errors, 1-based). Unless last, data ends right after
// a record's line break; when last, the input ends with data. Blank lines are
// no records. A caller that has seen every byte may say that none is a quote.
CsvReadResult ReadCsv(std::string_view data, std::uint64_t offset, bool last, CsvSink& sink,
                      bool quoteFree = false);

}  // namespace gaspipe::cli
