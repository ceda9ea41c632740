#include "csv_reader.h"

#include <csv.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace gaspipe::cli {

namespace {

constexpr unsigned char kStrict = CSV_STRICT | CSV_STRICT_FINI;

class Reader {
  public:
    explicit Reader(CsvSink& sink) : sink_(sink) {}
    ~Reader() {
        if (ready_) csv_free(&parser_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    CsvReadResult Run(std::FILE* in, std::size_t maxRecordBytes) {
        CsvReadResult result;
        if (csv_init(&parser_, kStrict) != 0) {
            result.error = "out of memory";
            return result;
        }
        ready_ = true;
        // Blanks are part of the field: the input columns pass through as given.
        csv_set_space_func(&parser_, [](unsigned char) { return 0; });
        csv_set_blk_size(&parser_, 4096);

        std::vector<char> chunk(64 * 1024);
        std::uint64_t offset = 0;  // input bytes before the chunk
        std::size_t bytesInRecord = 0;
        for (;;) {
            std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
            if (n == 0) break;
            std::size_t skip = 0;
            if (offset == 0 && n >= 3 && std::memcmp(chunk.data(), "\xEF\xBB\xBF", 3) == 0)
                skip = 3;
            const std::size_t before = records_;
            if (!Feed(chunk.data() + skip, n - skip, offset + skip, result.error)) return result;
            if (stopped_) return result;
            offset += n;
            bytesInRecord = records_ == before ? bytesInRecord + n : 0;
            if (bytesInRecord > maxRecordBytes) {
                result.error = "record " + std::to_string(records_ + 1) + " is longer than " +
                               std::to_string(maxRecordBytes) + " bytes" + OpenQuoteNote();
                return result;
            }
        }
        if (std::ferror(in)) {
            result.error = "cannot read the input";
            return result;
        }
        if (csv_fini(&parser_, OnField, OnRecord, this) != 0) {
            result.error = csv_error(&parser_) == CSV_EPARSE
                               ? "record " + std::to_string(records_ + 1) + ": the quote at byte " +
                                     std::to_string(openQuote_) + " is never closed"
                               : csv_strerror(csv_error(&parser_));
            return result;
        }
        result.complete = !stopped_;
        return result;
    }

  private:
    static void OnField(void* data, std::size_t len, void* self) {
        auto* r = static_cast<Reader*>(self);
        if (!r->stopped_) r->sink_.Field({static_cast<const char*>(data), len});
    }
    static void OnRecord(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        if (r->stopped_) return;
        ++r->records_;
        r->stopped_ = !r->sink_.EndRecord();
    }

    // Parses data, the input bytes from offset on. It is fed up to each quote
    // in turn, so the quote that opens a field is known by its position.
    bool Feed(const char* data, std::size_t n, std::uint64_t offset, std::string& error) {
        std::size_t i = 0;
        while (i < n && !stopped_) {
            const auto* quote = static_cast<const char*>(std::memchr(data + i, '"', n - i));
            const std::size_t end = quote ? static_cast<std::size_t>(quote - data) + 1 : n;
            const std::size_t got = csv_parse(&parser_, data + i, end - i, OnField, OnRecord, this);
            if (got == end - i) {
                // Only a quote that has just opened a field leaves it quoted and empty.
                if (quote && parser_.quoted && parser_.entry_pos == 0) openQuote_ = offset + end;
                i = end;
                continue;
            }
            if (csv_error(&parser_) != CSV_EPARSE) {
                error = csv_strerror(csv_error(&parser_));
                return false;
            }
            // Strict mode stopped at data[bad]: a quote inside an unquoted field,
            // or text right after the closing quote of a quoted one.
            const std::size_t bad = i + got;
            if (parser_.quoted) {
                if (FieldHasLineBreak()) {
                    error =
                        "record " + std::to_string(records_ + 1) +
                        ": the quoted field opened at byte " + std::to_string(openQuote_) +
                        " runs over a line break and has text after its closing quote at byte " +
                        std::to_string(offset + bad) + "; its quotes cannot be paired";
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

    std::string OpenQuoteNote() const {
        if (!parser_.quoted) return {};
        return "; the quote at byte " + std::to_string(openQuote_) + " is not closed";
    }

    CsvSink& sink_;
    csv_parser parser_{};
    bool ready_ = false;
    bool stopped_ = false;
    std::size_t records_ = 0;
    std::uint64_t openQuote_ = 0;  // 1-based byte of the quote that opened the last quoted field
};

}  // namespace

CsvReadResult ReadCsv(std::FILE* in, CsvSink& sink, std::size_t maxRecordBytes) {
    return Reader(sink).Run(in, maxRecordBytes);
}

}  // namespace gaspipe::cli
