#include "gbk.h"

#include <iconv.h>

#include <cerrno>

namespace gaspipe::gbk {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible of [in, in+inLeft) and appends it to out;
    // returns the errno of the stop (0 when all input was converted).
    int Run(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            // iconv's prototype takes char** though it never writes the input.
            const std::size_t rc = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && err != E2BIG) return err;
        }
        return 0;
    }

  private:
    iconv_t cd_;
};

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    while (i < a.size()) {
        const std::size_t len = CharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(static_cast<unsigned char>(a[i])) !=
                   FoldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string_view CutToWholeChars(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t len = CharLength(text, end);
        if (end + len > maxBytes) break;
        end += len;
    }
    return text.substr(0, end);
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    Converter conv("CP936", "UTF-8");
    if (!conv.ok()) return std::nullopt;
    std::string out;
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    if (conv.Run(in, inLeft, out) != 0) return std::nullopt;
    return out;
}

std::string ToUtf8(std::string_view gbk) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    Converter conv("UTF-8", "CP936");
    std::string out;
    if (!conv.ok()) return out;
    out.reserve(gbk.size() * 3 / 2);
    const char* in = gbk.data();
    std::size_t inLeft = gbk.size();
    while (inLeft > 0) {
        if (conv.Run(in, inLeft, out) == 0) break;
        // Skip the whole offending character, so that a bad trail byte that
        // looks like ASCII does not reappear as a letter.
        const auto pos = static_cast<std::size_t>(in - gbk.data());
        const std::size_t skip = CharLength(gbk, pos);
        out.append(kReplacement);
        in += skip;
        inLeft -= skip;
    }
    return out;
}

}  // namespace gaspipe::gbk
