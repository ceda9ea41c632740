#include "options.h"

#include <optional>
#include <string_view>

#include "messages.h"
#include "platform.h"
#include "segment_job.h"

namespace gaspipe::cli {

namespace {

using Canonicalizer = std::optional<std::string> (*)(std::string_view);

// Rewrites an accepted spelling to the Chinese selector text.
CLI::Validator Selector(Canonicalizer canonical, const std::string& choices) {
    return CLI::Validator(
        [canonical, choices](std::string& text) -> std::string {
            if (auto c = canonical(text)) {
                text = *c;
                return {};
            }
            return Quoted(text) + " is not one of " + choices;
        },
        choices);
}

}  // namespace

void AddSegmentOptions(CLI::App& cmd, SegmentInput& in, bool withDiameter) {
    cmd.add_option("--gas", in.gas, "Gas kind")
        ->required()
        ->transform(
            Selector(CanonicalGas, "天然气|人工煤气|液化石油气|natural-gas|manufactured-gas|lpg"));
    cmd.add_option("--class", in.pressureClass, "Pressure class")
        ->required()
        ->transform(Selector(CanonicalClass, "高中压|低压|high-medium|low"));
    AddMaterialOption(cmd, in.material);
    AddNumberOption(cmd, "--density", in.density, "Gas density, kg/Nm3")->required();
    AddNumberOption(cmd, "--viscosity", in.viscosity, "Kinematic viscosity, 1e-6 m2/s")->required();
    AddNumberOption(cmd, "--temperature", in.temperature, "Gas temperature, K")->required();
    if (withDiameter)
        AddNumberOption(cmd, "--diameter", in.diameter, "Inner diameter, mm")->required();
    AddNumberOption(cmd, "--length", in.length, "Pipe length, m")->required();
    AddNumberOption(cmd, "--flow", in.flow, "Flow, Nm3/h")->required();
    AddNumberOption(cmd, "--inlet", in.inlet,
                    "Inlet pressure: absolute 1e5 Pa (high/medium) or gauge Pa (low)")
        ->required();
}

CLI::Option* AddMaterialOption(CLI::App& cmd, std::string& material) {
    return cmd.add_option("--material", material, "Pipe material")
        ->required()
        ->transform(Selector(CanonicalMaterial, "钢管|PE管|铸铁管|steel|pe|cast-iron"));
}

CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, float& target,
                             const std::string& description) {
    return cmd
        .add_option_function<std::string>(
            name,
            [&target, name](const std::string& text) {
                const auto value = ParseNumber(text);
                if (!value)
                    throw CLI::ValidationError(
                        name, Quoted(text) + " is not a number that fits a 32-bit float");
                target = *value;
            },
            description)
        ->type_name("NUMBER");
}

void AddPipeFileOption(CLI::App& cmd, std::string& path) {
    cmd.add_option("--ini", path, "Pipe parameter file (default: beside the executable)");
}

std::optional<PipeFile> ReadPipeFile(std::string_view command, const std::string& path) {
    classIniFile ini;
    ini.INIFileName(path.empty() ? ExecutableDirectory() + "/" + kPipeFileName : path);
    PipeFile file(ini);
    if (file.readable()) return file;
    PrintMessage(stderr, std::string(command) + ": cannot read the pipe file " +
                             QuotedPath(ini.INIFileName()) + ": " + file.problem());
    return std::nullopt;
}

}  // namespace gaspipe::cli
