// CLI11 option helpers shared by the subcommands, so every command accepts the
// same selector spellings and reports a bad number by its option name.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "pipe_file.h"

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

// --ini: the pipe file diameters and size read (default: the one beside the
// executable).
void AddPipeFileOption(CLI::App& cmd, std::string& path);

// The pipe file at path ("" for the default one). A file that is missing or
// cannot be read gets a message naming it and nullopt: a command cannot
// answer from it (the window, by contrast, shows an empty list).
std::optional<PipeFile> ReadPipeFile(std::string_view command, const std::string& path);

}  // namespace gaspipe::cli
