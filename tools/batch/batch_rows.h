// The batch's rows: the header's columns, and each record parsed, calculated
// and written out with its results, a chunk at a time. A chunk's rows depend
// only on the header and on the chunk, so chunks can be worked on in any
// order and by several threads.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch_input.h"
#include "csv_reader.h"
#include "segment_job.h"

namespace gaspipe::cli {

enum BatchColumn {
    kGas,
    kClass,
    kMaterial,
    kDensity,
    kViscosity,
    kTemperature,
    kDiameter,
    kLength,
    kFlow,
    kInlet,
    kStart,
    kMethod,
    kLocalLoss,
    kRise,
    kRoughness,
    kZ,
    kBatchColumnCount
};

struct BatchHeader {
    std::array<int, kBatchColumnCount> columns{};  // field index, -1 when absent
    std::size_t width = 0;                         // fields of the header record
};

// A problem of one row, for standard error.
struct RowMessage {
    std::size_t record = 0;  // 1: the chunk's first
    std::string text;
};

// Output text that a row writes through a pointer into room it reserved
// beforehand, rather than append by append.
class TextBuffer {
  public:
    char* Reserve(std::size_t n) {
        if (capacity_ - size_ < n) Grow(n);
        return data_.get() + size_;
    }
    void Commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void Append(std::string_view text);
    void Clear() { size_ = 0; }
    const char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }

  private:
    void Grow(std::size_t n);
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0, capacity_ = 0;
};

struct ChunkOutput {
    TextBuffer text;  // the output rows (and the header line, in the chunk that has it)
    std::vector<RowMessage> messages;
    std::size_t records = 0;
    std::optional<CsvError> error;  // stops the run after these rows
    bool refused = false;           // the header lacks a column (said in messages)
    bool anyRowFailed = false;
    void Clear();
};

class BatchRows final : public CsvSink {
  public:
    // Without a header, the first record read is taken as the header.
    explicit BatchRows(std::optional<BatchHeader> header = std::nullopt);

    void Process(const InputChunk& chunk, ChunkOutput& out);
    const std::optional<BatchHeader>& header() const { return header_; }

    bool Record(const CsvRecord& record) override;

  private:
    bool Header(const CsvRecord& record);
    void Row(const CsvRecord& record);
    bool Parse(const CsvRecord& record);
    // Says why a number column's text is no number; false.
    [[gnu::cold]] bool NotANumber(BatchColumn c, std::string_view text, bool single);

    std::optional<BatchHeader> header_;
    ChunkOutput* out_ = nullptr;
    std::size_t record_ = 0;  // of the chunk
    // Reused from row to row.
    SegmentInput input_;
    hydraulics::SegmentTrace trace_;
    SegmentOutcome outcome_;
    std::string problem_;
};

}  // namespace gaspipe::cli
