// gaspipe-calc: the calculator for scripts and batches. main only parses,
// runs the chosen subcommand and maps the outcome to the exit status.
#include <filesystem>
#include <string>
#include <system_error>

#include "commands.h"
#include "messages.h"

namespace gaspipe::cli {

std::string ExecutableDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

}  // namespace gaspipe::cli

int main(int argc, char** argv) {
    using namespace gaspipe::cli;
    CLI::App app{"gaspipe-calc: hydraulic calculation of city-gas pipe segments"};
    app.require_subcommand(1);
    int exitStatus = kExitOk;
    SetupSegment(app, exitStatus);
    SetupBatch(app, exitStatus);
    SetupDiameters(app, exitStatus);
    SetupSize(app, exitStatus);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e);
        // CLI11's messages quote the arguments as given; they pass through
        // the same escaping and cutting as the tool's own.
        PrintMessage(stderr, std::string("gaspipe-calc: ") + e.what());
        PrintMessage(stderr, "Run with --help for more information.");
        return kExitUsage;
    }
    return exitStatus;
}
