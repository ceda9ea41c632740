#include "csv_reader.h"

#include <csv.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "byte_marks.h"

namespace gaspipe::cli {

namespace {

constexpr unsigned char kStrict = CSV_STRICT | CSV_STRICT_FINI;

// The fields of one record, kept joined by commas in one growing buffer, so
// records cost no allocation each once it has grown.
class Fields {
  public:
    void Add(std::string_view field) {
        plain_ = plain_ && !NeedsQuotes(field);
        if (!ends_.empty()) text_ += ',';
        text_ += field;
        ends_.push_back(text_.size());
    }
    CsvRecord View() {
        views_.clear();
        std::size_t begin = 0;
        for (std::size_t end : ends_) {
            views_.emplace_back(text_.data() + begin, end - begin);
            begin = end + 1;
        }
        return {views_, text_, plain_, text_.data() + text_.size()};
    }
    void Clear() {
        text_.clear();
        ends_.clear();
        plain_ = true;
    }

  private:
    std::string text_;
    std::vector<std::size_t> ends_;
    std::vector<std::string_view> views_;
    bool plain_ = true;
};

// Quote-free text: fields end at commas, records at line breaks (an LF or a
// CR, as libcsv reads them); a line break that starts a record is the end of
// the one before or a blank line, and no record.
CsvReadResult ReadPlain(std::string_view data, CsvSink& sink) {
    CsvReadResult result;
    std::vector<std::string_view> fields;
    const char* record = data.data();
    const char* field = record;
    const char* const end = record + data.size();
    auto deliver = [&](const char* stop) {
        fields.emplace_back(field, stop - field);
        ++result.records;
        result.stopped = !sink.Record({fields, std::string_view(record, stop - record), true, end});
        fields.clear();
        return !result.stopped;
    };
    auto mark = [&](const char* at) {
        if (*at == ',') {
            fields.emplace_back(field, at - field);
            field = at + 1;
            return true;
        }
        const bool go = at == record || deliver(at);
        record = field = at + 1;
        return go;
    };
    const char* q = record;
    for (; end - q >= 16; q += 16)
        for (std::uint32_t marks = CommaAndBreakMarks(q); marks != 0; marks &= marks - 1)
            if (!mark(q + std::countr_zero(marks))) return result;
    for (; q < end; ++q)
        if ((*q == ',' || *q == '\n' || *q == '\r') && !mark(q)) return result;
    if (record < end) deliver(end);
    return result;
}

class Reader {
  public:
    Reader(CsvSink& sink, std::uint64_t offset) : sink_(sink), offset_(offset) {}
    ~Reader() {
        if (ready_) csv_free(&parser_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    CsvReadResult Run(std::string_view data, bool last) {
        if (csv_init(&parser_, kStrict) != 0) return Fail(0, "out of memory");
        ready_ = true;
        // Blanks are part of the field: the input columns pass through as given.
        csv_set_space_func(&parser_, [](unsigned char) { return 0; });
        csv_set_blk_size(&parser_, 4096);
        if (!Feed(data.data(), data.size()) || result_.stopped) return result_;
        if (last && csv_fini(&parser_, OnField, OnRecord, this) != 0) {
            if (csv_error(&parser_) != CSV_EPARSE)
                return Fail(0, csv_strerror(csv_error(&parser_)));
            return Fail(result_.records + 1,
                        ": the quote at byte " + std::to_string(openQuote_) + " is never closed");
        }
        return result_;
    }

  private:
    CsvReadResult Fail(std::size_t record, std::string text) {
        result_.error = CsvError{record, std::move(text)};
        return result_;
    }

    static void OnField(void* data, std::size_t len, void* self) {
        auto* r = static_cast<Reader*>(self);
        if (!r->result_.stopped) r->fields_.Add({static_cast<const char*>(data), len});
    }
    static void OnRecord(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        if (r->result_.stopped) return;
        ++r->result_.records;
        r->result_.stopped = !r->sink_.Record(r->fields_.View());
        r->fields_.Clear();
    }

    // Parses data, fed up to each quote in turn, so the quote that opens a
    // field is known by its position.
    bool Feed(const char* data, std::size_t n) {
        std::size_t i = 0;
        while (i < n && !result_.stopped) {
            const auto* quote = static_cast<const char*>(std::memchr(data + i, '"', n - i));
            const std::size_t end = quote ? static_cast<std::size_t>(quote - data) + 1 : n;
            const std::size_t got = csv_parse(&parser_, data + i, end - i, OnField, OnRecord, this);
            if (got == end - i) {
                // Only a quote that has just opened a field leaves it quoted and empty.
                if (quote && parser_.quoted && parser_.entry_pos == 0) openQuote_ = offset_ + end;
                i = end;
                continue;
            }
            if (csv_error(&parser_) != CSV_EPARSE) {
                Fail(0, csv_strerror(csv_error(&parser_)));
                return false;
            }
            // Strict mode stopped at data[bad]: a quote inside an unquoted field,
            // or text right after the closing quote of a quoted one.
            const std::size_t bad = i + got;
            if (parser_.quoted) {
                if (FieldHasLineBreak()) {
                    Fail(result_.records + 1,
                         ": the quoted field opened at byte " + std::to_string(openQuote_) +
                             " runs over a line break and has text after its closing quote at "
                             "byte " +
                             std::to_string(offset_ + bad) + "; its quotes cannot be paired");
                    return false;
                }
                // libcsv keeps the closing quote in the field until it knows
                // the field has ended; drop it and go on as an unquoted field.
                parser_.entry_pos -= 1;
                parser_.quoted = 0;
            }
            // Read that one byte leniently: an unquoted field takes it as it is.
            csv_set_opts(&parser_, CSV_STRICT_FINI);
            parser_.status = CSV_SUCCESS;
            csv_parse(&parser_, data + bad, 1, OnField, OnRecord, this);
            csv_set_opts(&parser_, kStrict);
            i = bad + 1;
        }
        return true;
    }

    bool FieldHasLineBreak() const {
        const std::string_view field(reinterpret_cast<const char*>(parser_.entry_buf),
                                     parser_.entry_pos);
        return field.find_first_of("\r\n") != std::string_view::npos;
    }

    CsvSink& sink_;
    std::uint64_t offset_;  // input bytes before the data
    csv_parser parser_{};
    bool ready_ = false;
    Fields fields_;
    CsvReadResult result_;
    std::uint64_t openQuote_ = 0;  // 1-based byte of the quote that opened the last quoted field
};

}  // namespace

CsvReadResult ReadCsv(std::string_view data, std::uint64_t offset, bool last, CsvSink& sink,
                      bool quoteFree) {
    if (quoteFree || data.empty() || std::memchr(data.data(), '"', data.size()) == nullptr)
        return ReadPlain(data, sink);
    return Reader(sink, offset).Run(data, last);
}

}  // namespace gaspipe::cli
