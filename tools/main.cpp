// gaspipe-calc: the calculator for scripts and batches. main only parses,
// runs the chosen subcommand and maps the outcome to the exit status.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "messages.h"
#include "platform.h"

int main(int argc, char** argv) {
    using namespace gaspipe::cli;
    GuardStandardStreams();
    CLI::App app{"gaspipe-calc: hydraulic calculation of city-gas pipe segments"};
    app.require_subcommand(1);
    // Options are --long or -s on every platform: a path such as /tmp/a.csv
    // is never read as a Windows-style /option.
    app.allow_windows_style_options(false);
    int exitStatus = kExitOk;
    SetupSegment(app, exitStatus);
    SetupBatch(app, exitStatus);
    SetupDiameters(app, exitStatus);
    SetupSize(app, exitStatus);
    SetupSolve(app, exitStatus);
    SetupNetwork(app, exitStatus);
    SetupSheet(app, exitStatus);
    try {
        const std::vector<std::string> args = Utf8Arguments(argc, argv);
        std::vector<const char*> pointers;
        for (const std::string& arg : args) pointers.push_back(arg.c_str());
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            app.exit(e);  // --help, written to std::cout
        } else {
            // CLI11's messages quote the arguments as given; they pass
            // through the same escaping and cutting as the tool's own.
            PrintMessage(stderr, std::string("gaspipe-calc: ") + e.what());
            PrintMessage(stderr, "Run with --help for more information.");
            return kExitUsage;
        }
    }
    // Results that could not be written are no results (a command that
    // failed already has said why).
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    const bool written = flushed && !std::ferror(stdout) && std::cout.flush();
    if (!written && exitStatus != kExitUsage) {
        std::string message = "gaspipe-calc: cannot write to standard output";
        if (!flushed) message += std::string(": ") + std::strerror(error);
        PrintMessage(stderr, message);
    }
    return written ? exitStatus : kExitUsage;
}
