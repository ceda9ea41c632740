#include "csv_reader.h"

#include <csv.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gaspipe::cli {

namespace {

constexpr unsigned char kStrict = CSV_STRICT | CSV_STRICT_FINI;

bool NeedsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

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
        return {views_, text_, plain_};
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

// Quote-free text: fields end at commas, records at line breaks.
CsvReadResult ReadPlain(std::string_view data, CsvSink& sink) {
    CsvReadResult result;
    std::vector<std::string_view> fields;
    const char* p = data.data();
    const char* const end = p + data.size();
    const bool cr = std::memchr(p, '\r', data.size()) != nullptr;
    while (p < end) {
        const char* e = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!e) e = end;
        if (cr)
            if (const auto* r = static_cast<const char*>(std::memchr(p, '\r', e - p))) e = r;
        if (e == p) {  // a line break ending the record before, or a blank line
            ++p;
            continue;
        }
        fields.clear();
        const char* field = p;
        const char* q = p;
        if constexpr (std::endian::native == std::endian::little) {
            // Eight bytes at a time: the lowest byte the mask marks is the
            // first comma among them.
            constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
            while (e - q >= 8) {
                std::uint64_t word;
                std::memcpy(&word, q, sizeof word);
                const std::uint64_t x = word ^ (kOnes * ',');
                const std::uint64_t commas = (x - kOnes) & ~x & kHighs;
                if (commas == 0) {
                    q += 8;
                    continue;
                }
                q += std::countr_zero(commas) / 8;
                fields.emplace_back(field, q - field);
                field = ++q;
            }
        }
        for (; q < e; ++q) {
            if (*q == ',') {
                fields.emplace_back(field, q - field);
                field = q + 1;
            }
        }
        fields.emplace_back(field, e - field);
        ++result.records;
        if (!sink.Record({fields, std::string_view(p, e - p), true})) {
            result.stopped = true;
            return result;
        }
        p = e;
    }
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

CsvReadResult ReadCsv(std::string_view data, std::uint64_t offset, bool last, CsvSink& sink) {
    if (data.empty() || std::memchr(data.data(), '"', data.size()) == nullptr)
        return ReadPlain(data, sink);
    return Reader(sink, offset).Run(data, last);
}

}  // namespace gaspipe::cli
