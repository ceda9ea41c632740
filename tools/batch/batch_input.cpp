#include "batch_input.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace gaspipe::cli {

namespace {

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

}  // namespace

ChunkReader::ChunkReader(std::FILE* in, std::size_t chunkBytes, std::size_t maxRecordBytes)
    : in_(in), chunkBytes_(std::max<std::size_t>(chunkBytes, 1)), maxRecordBytes_(maxRecordBytes) {}

bool ChunkReader::Next(InputChunk& chunk) {
    if (done_) return false;
    chunk.last = false;
    chunk.stop.reset();
    for (;;) {
        if (tooLong_) {
            std::string text = " is longer than " + std::to_string(maxRecordBytes_) + " bytes";
            if (tooLongInQuotes_)
                text += "; the quote at byte " + std::to_string(offset_ + openQuote_ + 1) +
                        " is not closed";
            Cut(chunk, lastEnd_);
            chunk.stop = CsvError{1, std::move(text)};
            done_ = true;
            return true;
        }
        if (eof_) {
            Cut(chunk, pending_.size());
            chunk.last = done_ = true;
            return true;
        }
        if (lastEnd_ > 0 && pending_.size() >= chunkBytes_) {
            Cut(chunk, lastEnd_);
            return true;
        }

        // At least three bytes at the start, to see a byte order mark.
        const std::size_t want = std::max<std::size_t>(chunkBytes_, started_ ? 1 : 3);
        const std::size_t old = pending_.size();
        pending_.resize(old + want);
        const std::size_t n = std::fread(pending_.data() + old, 1, want, in_);
        pending_.resize(old + n);
        if (n < want && std::ferror(in_)) {
            // What was read whole is still calculated; the rest is not.
            Cut(chunk, lastEnd_);
            chunk.stop = CsvError{0, "cannot read the input"};
            done_ = true;
            return true;
        }
        eof_ = n < want;
        if (!started_) {
            started_ = true;
            if (pending_.size() >= 3 && std::memcmp(pending_.data(), "\xEF\xBB\xBF", 3) == 0) {
                pending_.erase(pending_.begin(), pending_.begin() + 3);
                offset_ = 3;
            }
        }
        Scan();
    }
}

// Moves on from scanned_: outside quotes only a quote can change the state
// and every line break ends a record (or a blank line); inside, only a quote.
// A record is too long when it has a byte at lastEnd_ + maxRecordBytes_ (the
// limit); where that byte is found does not depend on how the input was read,
// nor does the note that it lies in a quoted field.
void ChunkReader::Scan() {
    const char* const d = pending_.data();
    const std::size_t n = pending_.size();
    const std::size_t max = maxRecordBytes_;
    auto tooLong = [&](bool inQuotes) {
        tooLong_ = true;
        tooLongInQuotes_ = inQuotes;
    };
    std::size_t pos = scanned_;
    while (pos < n) {
        switch (state_) {
            case State::Outside: {
                const auto* q = static_cast<const char*>(std::memchr(d + pos, '"', n - pos));
                const std::size_t stop = q ? static_cast<std::size_t>(q - d) : n;
                if (q) lastQuote_ = stop + 1;
                if (stop - lastEnd_ <= max) {
                    for (std::size_t k = stop; k > pos; --k) {
                        if (IsLineBreak(d[k - 1])) {
                            lastEnd_ = k;
                            break;
                        }
                    }
                } else {
                    // A record here may be too long: measure each.
                    for (std::size_t k = pos; k < stop; ++k) {
                        if (!IsLineBreak(d[k])) continue;
                        if (k - lastEnd_ > max) return tooLong(false);
                        lastEnd_ = k + 1;
                    }
                    if (stop - lastEnd_ > max) return tooLong(false);
                }
                if (!q) {
                    pos = n;
                    break;
                }
                // A quote opens a field only at its start (pending_ starts a record).
                const bool opens = stop == 0 || d[stop - 1] == ',' || IsLineBreak(d[stop - 1]);
                if (opens) {
                    state_ = State::Quoted;
                    openQuote_ = stop;
                }
                if (stop - lastEnd_ == max) return tooLong(opens);
                pos = stop + 1;
                break;
            }
            case State::Quoted: {
                const auto* q = static_cast<const char*>(std::memchr(d + pos, '"', n - pos));
                const std::size_t end = q ? static_cast<std::size_t>(q - d) : n;
                if (q) lastQuote_ = end + 1;
                if (lastEnd_ + max < end || (q && lastEnd_ + max == end)) return tooLong(true);
                if (!q) {
                    pos = n;
                    break;
                }
                pos = end + 1;
                state_ = State::QuoteSeen;
                break;
            }
            case State::QuoteSeen:
                // A doubled quote stays inside; anything else closes the field
                // and is read from outside.
                if (d[pos] == '"') {
                    lastQuote_ = pos + 1;
                    if (pos == lastEnd_ + max) return tooLong(true);
                    state_ = State::Quoted;
                    ++pos;
                } else {
                    state_ = State::Outside;
                }
                break;
        }
    }
    scanned_ = n;
}

// Gives out pending_[0, end) and keeps the rest, which starts a record.
void ChunkReader::Cut(InputChunk& chunk, std::size_t end) {
    chunk.bytes.swap(pending_);
    pending_.assign(chunk.bytes.begin() + static_cast<std::ptrdiff_t>(end), chunk.bytes.end());
    chunk.bytes.resize(end);
    chunk.offset = offset_;
    // A quote after the cut may hide others before it; only none seen at all
    // says the chunk has none.
    chunk.mayHaveQuotes = lastQuote_ != 0;
    lastQuote_ = lastQuote_ > end ? lastQuote_ - end : 0;
    offset_ += end;
    scanned_ -= end;
    if (state_ != State::Outside) openQuote_ -= end;
    lastEnd_ = 0;
}

}  // namespace gaspipe::cli
