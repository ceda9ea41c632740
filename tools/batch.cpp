#include "batch.h"

#include <csv.h>

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
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

constexpr std::size_t kMaxFields = 4096;

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
        ends_.push_back(text_.size());
        text_ += ',';
    }
    // Missing trailing fields become empty ones; extra ones are dropped.
    void Resize(std::size_t n) {
        if (n < ends_.size()) text_.resize(n == 0 ? 0 : ends_[n - 1] + 1);
        while (ends_.size() < n) Add({});
        ends_.resize(n);
    }
    void DropPrefix(std::size_t bytes) {
        text_.erase(0, bytes);
        for (auto& end : ends_) end -= bytes;
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
    std::vector<std::size_t> ends_;
    bool quoting_ = false;
};

class Batch {
  public:
    Batch(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void Field(std::string_view f) {
        // Past any sane width the record is refused anyway; keep only a count.
        if (fields_.size() < kMaxFields)
            fields_.Add(f);
        else
            ++droppedFields_;
    }

    void EndRecord() {
        ++records_;
        if (failed_) return;
        if (!haveHeader_) {
            Header();
        } else {
            Row();
        }
        fields_.Clear();
        droppedFields_ = 0;
        if (buffer_.size() > (1u << 20)) Flush();
    }

    bool Flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
            return false;
        buffer_.clear();
        return true;
    }

    bool failed() const { return failed_; }
    bool anyRowFailed() const { return anyRowFailed_; }
    bool haveHeader() const { return haveHeader_; }
    std::size_t records() const { return records_; }

  private:
    void Header() {
        haveHeader_ = true;
        if (fields_.size() > 0 && fields_[0].starts_with("\xEF\xBB\xBF")) fields_.DropPrefix(3);
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
        if (fields_.size() + droppedFields_ != width_) {
            problem = "record has " + std::to_string(fields_.size() + droppedFields_) +
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
        if (outcome.status == Status::Ok) {
            for (float v : {outcome.outlet, outcome.loss, outcome.drop, outcome.meanVelocity,
                            outcome.maxVelocity}) {
                buffer_ += ',';
                AppendNumber(buffer_, v);
            }
            buffer_ += ',';
            buffer_ += std::to_string(outcome.passes);
            buffer_ += ",\n";
        } else {
            anyRowFailed_ = true;
            buffer_ += ",,,,,,,";
            AppendField(buffer_, outcome.message);
            buffer_ += '\n';
        }
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
            if (auto v = ParseNumber(fields_[columns_[c]])) {
                target = *v;
                return true;
            }
            problem = "column '" + std::string(kColumnNames[c]) +
                      "': " + Quoted(fields_[columns_[c]]) +
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
    std::size_t droppedFields_ = 0;
    std::size_t records_ = 0;
    std::string buffer_;
    bool haveHeader_ = false;
    bool failed_ = false;
    bool anyRowFailed_ = false;
};

void OnField(void* data, std::size_t len, void* batch) {
    static_cast<Batch*>(batch)->Field({static_cast<const char*>(data), len});
}
void OnRecord(int, void* batch) { static_cast<Batch*>(batch)->EndRecord(); }
// Blanks are part of the field: the input columns pass through as given.
int NoSpace(unsigned char) { return 0; }

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const BatchLimits& limits) {
    csv_parser parser;
    if (csv_init(&parser, 0) != 0) {
        std::fprintf(err, "batch: out of memory\n");
        return kExitUsage;
    }
    csv_set_space_func(&parser, NoSpace);
    Batch batch(out, err);

    std::vector<char> chunk(64 * 1024);
    std::size_t bytesInRecord = 0;
    int status = kExitOk;
    while (!batch.failed()) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
        if (n == 0) break;
        const std::size_t before = batch.records();
        if (csv_parse(&parser, chunk.data(), n, OnField, OnRecord, &batch) != n) {
            std::fprintf(err, "batch: %s\n", csv_strerror(csv_error(&parser)));
            status = kExitUsage;
            break;
        }
        bytesInRecord = batch.records() == before ? bytesInRecord + n : 0;
        if (bytesInRecord > limits.maxRecordBytes) {
            std::fprintf(err, "batch: record %zu is longer than %zu bytes\n", batch.records() + 1,
                         limits.maxRecordBytes);
            status = kExitUsage;
            break;
        }
    }
    if (status == kExitOk && std::ferror(in)) {
        std::fprintf(err, "batch: cannot read the input\n");
        status = kExitUsage;
    }
    if (status == kExitOk && !batch.failed()) csv_fini(&parser, OnField, OnRecord, &batch);
    csv_free(&parser);

    if (status == kExitOk && !batch.failed() && !batch.haveHeader()) {
        std::fprintf(err, "batch: the input has no header line\n");
        status = kExitUsage;
    }
    if (!batch.Flush() || std::fflush(out) != 0) {
        std::fprintf(err, "batch: cannot write the output\n");
        return kExitUsage;
    }
    if (status != kExitOk || batch.failed()) return kExitUsage;
    return batch.anyRowFailed() ? kExitCalcFailed : kExitOk;
}

}  // namespace gaspipe::cli
