// The names of temporary files beside a target:
// ".<target name>.<writer's pid>-<8 lowercase hex digits>.tmp".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gaspipe::fileio::detail {

// A new name in dir for a temporary version of the file base, by writer pid.
std::string TemporaryName(const std::string& dir, const std::string& base, long pid);

// The writer's pid when name is one of the temporary names of base.
std::optional<long> WriterOf(std::string_view name, const std::string& base);

}  // namespace gaspipe::fileio::detail
