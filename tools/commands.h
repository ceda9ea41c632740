// Subcommands of gaspipe-calc. Each Setup function adds its subcommand to the
// app; the subcommand's callback stores the process exit status:
// 0 success, 1 a calculation failed (or no diameter fits), 2 bad usage or
// unreadable input.
#pragma once

#include <CLI/CLI.hpp>

namespace gaspipe::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCalcFailed = 1;
inline constexpr int kExitUsage = 2;

void SetupSegment(CLI::App& app, int& exitStatus);
void SetupBatch(CLI::App& app, int& exitStatus);
void SetupDiameters(CLI::App& app, int& exitStatus);
void SetupSize(CLI::App& app, int& exitStatus);
void SetupSolve(CLI::App& app, int& exitStatus);
void SetupNetwork(CLI::App& app, int& exitStatus);
void SetupSheet(CLI::App& app, int& exitStatus);

}  // namespace gaspipe::cli
