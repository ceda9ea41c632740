// What the settings tests need from the operating system; one file per platform.
#pragma once

#include <string>

namespace gaspipe::test {

// utf8 in code page 936, by the platform's converter called directly, so
// fixtures do not depend on the converter under test.
std::string Gbk(const std::string& utf8);

long CurrentProcessId();

// The id of a process that has ended.
long EndedProcessId();

}  // namespace gaspipe::test
