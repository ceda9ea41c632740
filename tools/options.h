// CLI11 option helpers shared by the subcommands, so every command accepts the
// same selector spellings and reports a bad number by its option name.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace gaspipe::cli {

struct SegmentInput;

// The required inputs of one segment: --gas, --class and --material (Chinese
// texts or ASCII aliases), then the numbers; --diameter only when asked for.
void AddSegmentOptions(CLI::App& cmd, SegmentInput& input, bool withDiameter);

// A float option read in the C locale; a malformed or out-of-range value is a
// usage error naming the option.
CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, float& target,
                             const std::string& description);

// The material selector alone (for commands that need no gas or class).
CLI::Option* AddMaterialOption(CLI::App& cmd, std::string& material);

}  // namespace gaspipe::cli
