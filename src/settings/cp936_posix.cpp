#include <iconv.h>

#include <cerrno>

#include "cp936.h"

namespace gaspipe::gbk::cp936 {
namespace {

// glibc's CP936 table has no private-use characters, so nothing needs
// rejecting beyond what iconv rejects.
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

}  // namespace

std::size_t Decode(std::string_view gbk, std::string& out) {
    Converter conv("UTF-8", "CP936");
    if (!conv.ok()) return 0;
    const char* in = gbk.data();
    std::size_t inLeft = gbk.size();
    conv.Run(in, inLeft, out);
    return gbk.size() - inLeft;
}

bool Encode(std::string_view utf8, std::string& out) {
    Converter conv("CP936", "UTF-8");
    if (!conv.ok()) return false;
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    return conv.Run(in, inLeft, out) == 0;
}

}  // namespace gaspipe::gbk::cp936
