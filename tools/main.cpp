// gaspipe-calc: the calculator for scripts and batches. main only parses,
// runs the chosen subcommand and maps the outcome to the exit status.
#include <filesystem>
#include <system_error>

#include "commands.h"

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
    SetupNetwork(app, exitStatus);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kExitOk : kExitUsage;
    }
    return exitStatus;
}
