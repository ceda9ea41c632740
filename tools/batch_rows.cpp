#include "batch_rows.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "byte_marks.h"
#include "messages.h"
#include "shortest.h"

namespace gaspipe::cli {

namespace {

namespace hy = hydraulics;

constexpr std::array<std::string_view, kBatchColumnCount> kColumnNames = {
    "gas",  "class", "material", "density", "viscosity",  "temperature", "diameter",  "length",
    "flow", "inlet", "start",    "method",  "local_loss", "rise",        "roughness", "z"};
constexpr int kRequiredColumns = kStart;  // every column before "start"

constexpr std::string_view kResultHeader =
    "status,outlet,loss,drop,mean_velocity,max_velocity,passes,message,reynolds,friction_factor,"
    "regime,z";

char* Copy(char* p, std::string_view text) {
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

// The field as CSV: quoted, its quotes doubled, where it must be. Takes at
// most 2 · size + 2 bytes.
char* WriteField(char* p, std::string_view field) {
    if (!NeedsQuotes(field)) return Copy(p, field);
    *p++ = '"';
    for (char c : field) {
        if (c == '"') *p++ = '"';
        *p++ = c;
    }
    *p++ = '"';
    return p;
}

// Room for the shortest text of any float or double, a comma before it.
constexpr std::size_t kNumberRoom = 40;

char* WriteNumber(char* p, double value, bool single) {
    const float f = static_cast<float>(value);
    return single && double(f) == value ? WriteShortest(p, f) : WriteShortest(p, value);
}

// Blanks as the number reader trims them.
bool IsBlank(std::string_view text) {
    for (char c : text)
        if (!detail::IsBlank(c)) return false;
    return true;
}

}  // namespace

void TextBuffer::Append(std::string_view text) { Commit(Copy(Reserve(text.size()), text)); }

void TextBuffer::Grow(std::size_t n) {
    capacity_ = std::max(2 * capacity_, size_ + n + (64u << 10));
    std::unique_ptr<char[]> grown(new char[capacity_]);
    if (size_ != 0) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
}

void ChunkOutput::Clear() {
    text.Clear();
    messages.clear();
    records = 0;
    error.reset();
    refused = anyRowFailed = false;
}

BatchRows::BatchRows(std::optional<BatchHeader> header) : header_(header) {}

void BatchRows::Process(const InputChunk& chunk, ChunkOutput& out) {
    out.Clear();
    out_ = &out;
    record_ = 0;
    const CsvReadResult read = ReadCsv({chunk.bytes.data(), chunk.bytes.size()}, chunk.offset,
                                       chunk.last, *this, !chunk.mayHaveQuotes);
    out.records = read.records;
    out.error = read.error;
    // The reader's stop comes after every record of the chunk.
    if (!out.error && !read.stopped && chunk.stop) {
        out.error = chunk.stop;
        if (out.error->record != 0) out.error->record += read.records;
    }
    out_ = nullptr;
}

bool BatchRows::Record(const CsvRecord& record) {
    ++record_;
    if (!header_) return Header(record);
    Row(record);
    return true;
}

bool BatchRows::Header(const CsvRecord& record) {
    BatchHeader h;
    h.columns.fill(-1);
    for (std::size_t i = 0; i < record.fields.size(); ++i)
        for (int c = 0; c < kBatchColumnCount; ++c)
            if (record.fields[i] == kColumnNames[c] && h.columns[c] < 0) h.columns[c] = int(i);
    for (int c = 0; c < kRequiredColumns; ++c) {
        if (h.columns[c] < 0) {
            out_->messages.push_back(
                {0, "the header has no column '" + std::string(kColumnNames[c]) + "'"});
            out_->refused = true;
            return false;
        }
    }
    h.width = record.fields.size();
    header_ = h;
    TextBuffer& out = out_->text;
    for (std::string_view field : record.fields) {
        out.Commit(WriteField(out.Reserve(2 * field.size() + 2), field));
        out.Append(",");
    }
    out.Append(kResultHeader);
    out.Append("\n");
    return true;
}

void BatchRows::Row(const CsvRecord& record) {
    const std::size_t width = header_->width;
    problem_.clear();
    const std::size_t count = record.fields.size();
    bool calculated = false;
    if (count != width) {
        problem_ = "record has " + std::to_string(count) + " fields where the header has " +
                   std::to_string(width);
    } else if (Parse(record)) {
        RunSegment(input_, trace_, outcome_);
        calculated = true;
        if (outcome_.status == Status::InputError) problem_ = outcome_.message;
    }

    const SegmentOutcome* o = calculated ? &outcome_ : nullptr;
    if (!problem_.empty()) {
        out_->messages.push_back({record_, problem_});
        o = nullptr;
    }
    const bool ok = o && o->status == Status::Ok;
    const std::string_view message = o ? std::string_view(o->message) : problem_;

    // Room for the row at its longest, then written straight in.
    const bool plain = record.isPlain && count == width;
    std::size_t room = 2 * message.size() + 12 * kNumberRoom + 64;
    if (plain) {
        room += record.plain.size() + 1;
    } else {
        for (std::size_t i = 0; i < width && i < count; ++i)
            room += 2 * record.fields[i].size() + 2;
        room += width;
    }
    char* p = out_->text.Reserve(room);
    // The input fields, padded or cut to the header's width.
    if (plain) {
        p = Copy(p, record.plain);
        *p++ = ',';
    } else {
        for (std::size_t i = 0; i < width; ++i) {
            if (i < count) p = WriteField(p, record.fields[i]);
            *p++ = ',';
        }
    }
    p = Copy(p, StatusName(o ? o->status : Status::InputError));
    if (ok) {
        for (double v : {o->outlet, o->loss, o->drop, o->meanVelocity, o->maxVelocity}) {
            *p++ = ',';
            p = WriteNumber(p, v, o->single);
        }
    } else {
        p = Copy(p, ",,,,,");
    }
    *p++ = ',';
    p = std::to_chars(p, p + 16, o ? o->passes : 0).ptr;
    *p++ = ',';
    p = WriteField(p, message);
    if (ok) {
        for (double v : {o->reynolds, o->frictionFactor}) {
            *p++ = ',';
            p = WriteNumber(p, v, o->single);
        }
        *p++ = ',';
        p = Copy(p, hy::RegimeName(o->regime));
        *p++ = ',';
        p = WriteNumber(p, o->z, o->single);
    } else {
        p = Copy(p, ",,,,");
    }
    *p++ = '\n';
    out_->text.Commit(p);
    out_->anyRowFailed = out_->anyRowFailed || !ok;
}

bool BatchRows::NotANumber(BatchColumn c, std::string_view text, bool single) {
    problem_ = "column '" + std::string(kColumnNames[c]) + "': " + Quoted(text) + " " +
               std::string(NumberProblem(single));
    return false;
}

bool BatchRows::Parse(const CsvRecord& record) {
    const auto& columns = header_->columns;
    auto field = [&](BatchColumn c) { return record.fields[columns[c]]; };
    auto given = [&](BatchColumn c) { return columns[c] >= 0 && !IsBlank(field(c)); };
    auto unknown = [&](BatchColumn c) {
        problem_ =
            "column '" + std::string(kColumnNames[c]) + "': unknown value " + Quoted(field(c));
        return false;
    };

    hy::MethodOptions& options = input_.options;
    options = {};
    if (given(kMethod)) {
        const auto m = ParseMethod(field(kMethod));
        if (!m) return unknown(kMethod);
        options.method = *m;
    }
    hy::SegmentInput& s = input_.segment;
    if (const auto g = ParseGas(field(kGas)))
        s.gas = *g;
    else
        return unknown(kGas);
    if (const auto c = ParseClass(field(kClass)))
        s.pressureClass = *c;
    else
        return unknown(kClass);
    if (const auto m = ParseMaterial(field(kMaterial)))
        s.material = *m;
    else
        return unknown(kMaterial);

    const bool single = input_.single();
    auto number = [&](BatchColumn c, double& target, bool precise) {
        return ParseNumber(field(c), precise && single, target, record.readable) ||
               NotANumber(c, field(c), precise && single);
    };
    // An empty cell of an optional column is no value, as when the column is left out.
    auto optional = [&](BatchColumn c, std::optional<double>& target) {
        if (!given(c)) return true;
        double v = 0;
        if (!number(c, v, false)) return false;
        target = v;
        return true;
    };
    // A starting estimate is the appendix routine's own; another method refuses one.
    auto start = [&] {
        if (single) return number(kStart, s.start, true);
        problem_ = hy::ValidateStart(options.method, true)->message;
        return false;
    };
    s.start = 0;
    return number(kDensity, s.density, true) && number(kViscosity, s.viscosity, true) &&
           number(kTemperature, s.temperature, true) && number(kDiameter, s.diameter, true) &&
           number(kLength, s.length, true) && number(kFlow, s.flow, true) &&
           number(kInlet, s.inlet, true) && (!given(kStart) || start()) &&
           optional(kLocalLoss, options.localLoss) && optional(kRise, options.rise) &&
           optional(kRoughness, options.roughness) && optional(kZ, options.z);
}

}  // namespace gaspipe::cli
