// The case file's reader behind ParseCase: the JSON text parsed under the
// file's limits into a Case. Internal to the network library.
#pragma once

#include <cstddef>
#include <string_view>

#include "case_file.h"

namespace gaspipe::network::detail {

inline constexpr std::size_t kNoPlace = static_cast<std::size_t>(-1);

// Thrown with what is wrong and the byte offset it is at (kNoPlace: none).
struct ReadProblem {
    CaseFileProblem problem;
    std::size_t offset = kNoPlace;
};

Case ReadCaseText(std::string_view bytes, const CaseFileLimits& limits);

// Names from the file as messages quote them: cut on a character boundary.
std::string ShortName(std::string_view name);

}  // namespace gaspipe::network::detail
