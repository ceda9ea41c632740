#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_platform.h"

namespace gaspipe::test {

std::string Gbk(const std::string& text) {
    std::string utf8 = text;
    iconv_t cd = iconv_open("CP936", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char *in = utf8.data(), *dst = out.data();
    std::size_t inLeft = utf8.size(), dstLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &dstLeft), std::size_t(-1)) << utf8;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

long CurrentProcessId() { return ::getpid(); }

long EndedProcessId() {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    EXPECT_GT(ended, 0);
    EXPECT_EQ(::waitpid(ended, nullptr, 0), ended);
    return ended;
}

}  // namespace gaspipe::test
