// libFuzzer target for the batch command. Its rules: every input record is
// accounted for in the output, or the run fails with exit 2; and neither the
// number of threads nor the size of the chunks changes a byte on either
// stream. A plain reader of the documented CSV rules, written independently
// of the tool's, says what the records are; the output, read back strictly,
// must hold the header and one row per record with the record's fields
// passed through, unless the run exited 2 for a reason that reader also sees.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch.h"

namespace {

using Record = std::vector<std::string>;

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Reference {
    std::vector<Record> records;
    bool refused = false;  // a quote that cannot be paired: the tool must exit 2
};

// Stray quotes as the tool documents them: literal in an unquoted field;
// text after a closing quote joins the field, unless the quoted part held a
// line break. Blank lines are no records.
Reference Read(std::string_view in) {
    if (in.starts_with("\xEF\xBB\xBF")) in.remove_prefix(3);
    Reference ref;
    Record record;
    std::string field;
    bool inRecord = false;
    std::size_t i = 0;
    const auto endField = [&] {
        record.push_back(field);
        field.clear();
    };
    const auto endRecord = [&] {
        endField();
        ref.records.push_back(record);
        record.clear();
        inRecord = false;
    };
    while (i < in.size()) {
        const char c = in[i];
        if (!inRecord && (c == '\r' || c == '\n')) {
            ++i;
            continue;
        }
        inRecord = true;
        if (c == '"' && field.empty()) {
            // A quoted field, up to its closing quote.
            ++i;
            bool lineBreak = false;
            for (;;) {
                if (i == in.size()) {
                    ref.refused = true;
                    return ref;
                }
                if (in[i] == '"' && i + 1 < in.size() && in[i + 1] == '"') {
                    field += '"';
                    i += 2;
                } else if (in[i] == '"') {
                    ++i;
                    break;
                } else {
                    lineBreak = lineBreak || in[i] == '\r' || in[i] == '\n';
                    field += in[i++];
                }
            }
            if (i < in.size() && in[i] != ',' && in[i] != '\r' && in[i] != '\n' && lineBreak) {
                ref.refused = true;
                return ref;
            }
            if (i == in.size() || in[i] == ',' || in[i] == '\r' || in[i] == '\n') {
                // The field may still be empty: remember it was quoted.
                if (i == in.size()) break;
                if (in[i] == ',') {
                    endField();
                } else {
                    endRecord();
                }
                ++i;
                continue;
            }
        }
        // Unquoted text, or the text after a closing quote.
        while (i < in.size() && in[i] != ',' && in[i] != '\r' && in[i] != '\n') field += in[i++];
        if (i == in.size()) break;
        if (in[i] == ',') {
            endField();
        } else {
            endRecord();
        }
        ++i;
    }
    if (inRecord) endRecord();
    return ref;
}

// The tool's output: RFC 4180 with LF, nothing lenient.
std::vector<Record> ReadOutput(std::string_view out) {
    std::vector<Record> records;
    Record record;
    std::string field;
    std::size_t i = 0;
    while (i < out.size()) {
        if (out[i] == '"') {
            ++i;
            for (;;) {
                Check(i < out.size());
                if (out[i] == '"') {
                    if (i + 1 < out.size() && out[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += out[i++];
            }
            Check(i < out.size() && (out[i] == ',' || out[i] == '\n'));
        } else {
            while (i < out.size() && out[i] != ',' && out[i] != '\n') {
                Check(out[i] != '"' && out[i] != '\r');
                field += out[i++];
            }
            Check(i < out.size());
        }
        record.push_back(field);
        field.clear();
        if (out[i++] == '\n') {
            records.push_back(record);
            record.clear();
        }
    }
    return records;
}

bool HasRequiredColumns(const Record& header) {
    for (std::string_view name : {"gas", "class", "material", "density", "viscosity", "temperature",
                                  "diameter", "length", "flow", "inlet"}) {
        bool found = false;
        for (const std::string& f : header) found = found || f == name;
        if (!found) return false;
    }
    return true;
}

struct Run {
    int status = 0;
    std::string out, err;
    bool operator==(const Run&) const = default;
};

Run Batch(std::string& input, const gaspipe::cli::BatchConfig& config) {
    std::FILE* in = fmemopen(input.data(), input.size(), "rb");
    char* text[2] = {nullptr, nullptr};
    std::size_t sizes[2] = {0, 0};
    std::FILE* out = open_memstream(&text[0], &sizes[0]);
    std::FILE* err = open_memstream(&text[1], &sizes[1]);
    Run r;
    r.status = gaspipe::cli::RunBatch(in, out, err, config);
    for (std::FILE* f : {in, out, err}) std::fclose(f);
    r.out.assign(text[0], sizes[0]);
    r.err.assign(text[1], sizes[1]);
    std::free(text[0]);
    std::free(text[1]);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // Half the inputs start with a usable header, so rows get calculated.
    std::string input;
    if (data[0] & 1)
        input =
            "id,gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet,"
            "start,method,local_loss,rise,roughness,z\n";
    input.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (input.empty()) return 0;

    // One thread reading the input whole against three on chunks that end
    // anywhere; then both with a record limit small enough to be reached.
    gaspipe::cli::BatchConfig whole, chunked;
    chunked.jobs = 3;
    chunked.chunkBytes = 1 + (data[0] >> 1) % 64;
    const Run run = Batch(input, whole);
    Check(Batch(input, chunked) == run);
    whole.maxRecordBytes = chunked.maxRecordBytes = 1 + (data[0] >> 2) * 3;
    Check(Batch(input, chunked) == Batch(input, whole));

    const int status = run.status;
    const std::string& output = run.out;

    const Reference ref = Read(input);
    Check(status >= 0 && status <= 2);
    const bool unusable =
        ref.refused || ref.records.empty() || !HasRequiredColumns(ref.records.front());
    if (status == 2) {
        Check(unusable);
        return 0;
    }
    Check(!unusable);
    const std::vector<Record> rows = ReadOutput(output);
    Check(rows.size() == ref.records.size());
    const std::size_t width = ref.records.front().size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Check(rows[r].size() == width + 12);
        const Record& given = ref.records[r];
        for (std::size_t f = 0; f < width; ++f)
            Check(rows[r][f] == (f < given.size() ? given[f] : std::string()));
    }
    return 0;
}
