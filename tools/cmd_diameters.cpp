// gaspipe-calc diameters: the nominal-diameter list of one material with the
// inner diameter of each entry, read the way the window fills its list and
// inner-diameter box, so the pipe file can be checked without the window.
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "options.h"

namespace gaspipe::cli {

namespace {

struct DiametersOptions {
    std::string material = "钢管";  // the list the window opens with
    std::string ini;
};

void PrintField(const std::string& text) {
    // fwrite, not printf: the texts come from a file and are printed as is.
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

void SetupDiameters(CLI::App& app, int& exitStatus) {
    auto opt = std::make_shared<DiametersOptions>();
    auto* cmd = app.add_subcommand(
        "diameters", "List the nominal diameters of a material, a tab, and each inner diameter");
    AddMaterialOption(*cmd, opt->material)->required(false);
    AddPipeFileOption(*cmd, opt->ini);

    cmd->callback([opt, &exitStatus] {
        const auto pipes = ReadPipeFile("diameters", opt->ini);
        if (!pipes) {
            exitStatus = kExitUsage;
            return;
        }
        for (const std::string& nominal : pipes->NominalDiameters(opt->material)) {
            PrintField(nominal);
            std::fputc('\t', stdout);
            PrintField(pipes->InnerDiameter(opt->material, nominal));
            std::fputc('\n', stdout);
        }
        exitStatus = kExitOk;
    });
}

}  // namespace gaspipe::cli
