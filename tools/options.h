// CLI11 option helpers shared by the subcommands, so every command accepts the
// same selector spellings and reports a bad number by its option name.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "hydraulics.h"
#include "pipe_file.h"
#include "simultaneity_file.h"

namespace gaspipe::cli {

struct SegmentInput;

// --method. CLI11 runs the options' callbacks in the order the options were
// added, so numbers added after it are read at the method's precision.
void AddMethodOption(CLI::App& cmd, hydraulics::Method& method);

// The inputs of one segment: --method, then --gas, --class and --material
// (Chinese texts or ASCII aliases), the numbers (--diameter only when asked
// for), --rise, and the current-code method's --local-loss, --roughness, --z.
// Without allRequired, --diameter, --length, --flow and --inlet may be left
// out (a command that solves for one of them checks the others itself).
void AddSegmentOptions(CLI::App& cmd, SegmentInput& input, bool withDiameter,
                       bool allRequired = true);

// A number read in the C locale as a float when method is the appendix one
// (held widened), as a double otherwise; a malformed or out-of-range value is
// a usage error naming the option.
CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, double& target,
                             const hydraulics::Method& method, const std::string& description);
CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, std::optional<double>& target,
                             const hydraulics::Method& method, const std::string& description);

// The material selector alone (for commands that need no gas or class).
CLI::Option* AddMaterialOption(CLI::App& cmd, std::string& material);

// --ini: the pipe file diameters and size read (default: the one beside the
// executable).
void AddPipeFileOption(CLI::App& cmd, std::string& path);

// The pipe file at path ("" for the default one). A file that is missing or
// cannot be read gets a message naming it and nullopt: a command cannot
// answer from it (the window, by contrast, shows an empty list).
std::optional<PipeFile> ReadPipeFile(std::string_view command, const std::string& path);

// --simultaneity: the simultaneity file households take their factors from
// (default: the one beside the executable).
void AddSimultaneityOption(CLI::App& cmd, std::string& path);
// The file at path ("" for the default one), read or with why not: a case
// without households does not need it, one with households names it.
SimultaneityTable ReadSimultaneity(const std::string& path);

}  // namespace gaspipe::cli
