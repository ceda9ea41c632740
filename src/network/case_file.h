// The .gpcase case file: UTF-8 JSON, {"format": "gaspipe-case", "version": N,
// ...}. Older versions are migrated step by step on reading; a newer version
// is refused. Members this program does not know are kept through a load and
// save. Reading bounds what a file may hold, so a damaged or hostile file
// ends in an error naming its position, never in a crash, a hang or an
// exhausted memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "case.h"

namespace gaspipe::network {

inline constexpr std::string_view kCaseFormat = "gaspipe-case";
inline constexpr int kCaseVersion = 1;

struct CaseFileLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxSegments = 100'000;
    std::size_t maxNodes = 100'001;
    std::size_t maxDepth = 32;          // nesting of arrays and objects
    std::size_t maxValues = 4'000'000;  // every value, key, object and array
    std::size_t maxIdBytes = 256;       // ids, node names, materials, nominal diameters
    std::size_t maxTextBytes = 4096;    // project fields and other free texts
};

struct CaseReadResult {
    std::optional<Case> value;
    // When value is empty: what is wrong, starting with "line L, column C: "
    // when the problem has a place in the text.
    std::string error;
    std::size_t line = 0, column = 0;  // 1-based; 0 when the error has no place
};

CaseReadResult ParseCase(std::string_view bytes, const CaseFileLimits& limits = {});
CaseReadResult LoadCase(const std::string& path, const CaseFileLimits& limits = {});

// The file text: one line per top-level member, one line per node and per
// segment, so that a version-control diff shows the rows that changed.
std::string CaseToJson(const Case& c);

// Writes the case atomically (temporary file in the same folder, fsync,
// rename; the permissions of an existing file are kept). On failure the
// previous file is untouched and the message says why.
struct SaveResult {
    bool ok = false;
    std::string error;
};
SaveResult SaveCase(const std::string& path, const Case& c);

}  // namespace gaspipe::network
