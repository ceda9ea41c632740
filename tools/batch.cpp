#include "batch.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "csv_reader.h"
#include "messages.h"
#include "segment_job.h"

namespace gaspipe::cli {

namespace {

enum Column {
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
    kColumnCount
};

constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "gas",      "class",  "material", "density", "viscosity", "temperature",
    "diameter", "length", "flow",     "inlet",   "start"};
constexpr int kRequiredColumns = kStart;  // every column before "start"

constexpr std::string_view kResultHeader =
    "status,outlet,loss,drop,mean_velocity,max_velocity,passes,message";

bool NeedsQuotes(std::string_view field) {
    for (char c : field)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

void AppendField(std::string& out, std::string_view field) {
    if (!NeedsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendNumber(std::string& out, float value) {
    char buf[32];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

// The fields of one record, kept as they will be written out: joined by commas
// in one growing buffer, so a million records cost no allocation each and a
// record without special characters is copied out in one piece.
class Record {
  public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1] + 1;
        return std::string_view(text_).substr(begin, ends_[i] - begin);
    }
    void Add(std::string_view field) {
        quoting_ = quoting_ || NeedsQuotes(field);
        text_ += field;
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
        text_ += ',';
    }
    // Missing trailing fields become empty ones; extra ones are dropped.
    void Resize(std::size_t n) {
        if (n < ends_.size()) text_.resize(n == 0 ? 0 : ends_[n - 1] + 1);
        while (ends_.size() < n) Add({});
        ends_.resize(n);
    }
    // Every field followed by a comma, quoted where it must be.
    void AppendTo(std::string& out) const {
        if (!quoting_) {
            out += text_;
            return;
        }
        for (std::size_t i = 0; i < size(); ++i) {
            AppendField(out, (*this)[i]);
            out += ',';
        }
    }
    void Clear() {
        text_.clear();
        ends_.clear();
        quoting_ = false;
    }

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_;  // a record is far below 4 GiB (the reader's limit)
    bool quoting_ = false;
};

class Batch : public CsvSink {
  public:
    Batch(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void Field(std::string_view f) override { fields_.Add(f); }

    bool EndRecord() override {
        ++records_;
        if (!haveHeader_) {
            Header();
        } else {
            Row();
        }
        fields_.Clear();
        if (buffer_.size() > (1u << 20)) Flush();
        return !failed_;
    }

    // Writes what is buffered; a failed write ends the run (the buffer would
    // otherwise grow with every record).
    bool Flush() {
        if (writeError_ != 0) return false;
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
            writeError_ = errno != 0 ? errno : EIO;
            failed_ = true;
            return false;
        }
        buffer_.clear();
        return true;
    }

    bool failed() const { return failed_; }
    int writeError() const { return writeError_; }
    bool anyRowFailed() const { return anyRowFailed_; }
    bool haveHeader() const { return haveHeader_; }

  private:
    void Header() {
        haveHeader_ = true;
        columns_.fill(-1);
        for (std::size_t i = 0; i < fields_.size(); ++i)
            for (int c = 0; c < kColumnCount; ++c)
                if (fields_[i] == kColumnNames[c] && columns_[c] < 0) columns_[c] = int(i);
        for (int c = 0; c < kRequiredColumns; ++c) {
            if (columns_[c] < 0) {
                PrintMessage(
                    err_, "batch: the header has no column '" + std::string(kColumnNames[c]) + "'");
                failed_ = true;
                return;
            }
        }
        width_ = fields_.size();
        fields_.AppendTo(buffer_);
        buffer_ += kResultHeader;
        buffer_ += '\n';
    }

    void Row() {
        std::string problem;
        SegmentOutcome outcome;
        if (fields_.size() != width_) {
            problem = "record has " + std::to_string(fields_.size()) +
                      " fields where the header has " + std::to_string(width_);
        } else if (auto in = Parse(problem)) {
            outcome = RunSegment(*in);
            if (outcome.status == Status::InputError) problem = outcome.message;
        }
        fields_.Resize(width_);
        fields_.AppendTo(buffer_);
        if (!problem.empty()) {
            outcome.status = Status::InputError;
            outcome.message = problem;
            PrintMessage(err_, "batch: record " + std::to_string(records_) + ": " + problem);
        }
        buffer_ += StatusName(outcome.status);
        const bool ok = outcome.status == Status::Ok;
        for (float v : {outcome.outlet, outcome.loss, outcome.drop, outcome.meanVelocity,
                        outcome.maxVelocity}) {
            buffer_ += ',';
            if (ok) AppendNumber(buffer_, v);
        }
        buffer_ += ',';
        buffer_ += std::to_string(outcome.passes);
        buffer_ += ',';
        AppendField(buffer_, outcome.message);
        buffer_ += '\n';
        anyRowFailed_ = anyRowFailed_ || !ok;
    }

    std::optional<SegmentInput> Parse(std::string& problem) const {
        SegmentInput in;
        auto selector = [&](Column c, auto canonical, std::string& target) {
            if (auto v = canonical(fields_[columns_[c]])) {
                target = *v;
                return true;
            }
            problem = "column '" + std::string(kColumnNames[c]) + "': unknown value " +
                      Quoted(fields_[columns_[c]]);
            return false;
        };
        auto number = [&](Column c, float& target) {
            if (columns_[c] < 0) return true;  // optional column absent
            const std::string_view text = fields_[columns_[c]];
            // An empty estimate is no estimate, as when the column is left out.
            if (c == kStart && text.find_first_not_of(" \t") == std::string_view::npos) return true;
            if (auto v = ParseNumber(text)) {
                target = *v;
                return true;
            }
            problem = "column '" + std::string(kColumnNames[c]) + "': " + Quoted(text) +
                      " is not a number that fits a 32-bit float";
            return false;
        };
        if (selector(kGas, CanonicalGas, in.gas) &&
            selector(kClass, CanonicalClass, in.pressureClass) &&
            selector(kMaterial, CanonicalMaterial, in.material) && number(kDensity, in.density) &&
            number(kViscosity, in.viscosity) && number(kTemperature, in.temperature) &&
            number(kDiameter, in.diameter) && number(kLength, in.length) &&
            number(kFlow, in.flow) && number(kInlet, in.inlet) && number(kStart, in.start))
            return in;
        return std::nullopt;
    }

    std::FILE* out_;
    std::FILE* err_;
    Record fields_;
    std::array<int, kColumnCount> columns_{};
    std::size_t width_ = 0;
    std::size_t records_ = 0;
    std::string buffer_;
    int writeError_ = 0;
    bool haveHeader_ = false;
    bool failed_ = false;
    bool anyRowFailed_ = false;
};

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const BatchLimits& limits) {
    Batch batch(out, err);
    const CsvReadResult read = ReadCsv(in, batch, limits.maxRecordBytes);
    if (!read.error.empty()) PrintMessage(err, "batch: " + read.error);
    if (read.complete && !batch.haveHeader()) {
        PrintMessage(err, "batch: the input has no header line");
        return kExitUsage;
    }
    if (!batch.Flush() || std::fflush(out) != 0) {
        const int error = batch.writeError() != 0 ? batch.writeError() : errno;
        PrintMessage(err, std::string("batch: cannot write the output: ") + std::strerror(error));
        return kExitUsage;
    }
    if (!read.complete) return kExitUsage;
    return batch.anyRowFailed() ? kExitCalcFailed : kExitOk;
}

}  // namespace gaspipe::cli
