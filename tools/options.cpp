#include "options.h"

#include <optional>
#include <string_view>

#include "messages.h"
#include "platform.h"
#include "segment_job.h"

namespace gaspipe::cli {

namespace {

namespace hy = hydraulics;

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

// A selector option stored as the library's enum.
template <typename E>
CLI::Option* AddSelector(CLI::App& cmd, const std::string& name, E& target,
                         std::optional<E> (*parse)(std::string_view), Canonicalizer canonical,
                         const std::string& choices, const std::string& description) {
    return cmd
        .add_option_function<std::string>(
            name, [&target, parse](const std::string& text) { target = *parse(text); }, description)
        ->transform(Selector(canonical, choices))
        ->type_name("TEXT");
}

CLI::Option* AddParsed(CLI::App& cmd, const std::string& name, const std::string& description,
                       std::function<bool(const std::string&)> store,
                       std::function<bool()> single) {
    return cmd
        .add_option_function<std::string>(
            name,
            [name, store, single](const std::string& text) {
                if (!store(text))
                    throw CLI::ValidationError(
                        name, Quoted(text) + " " + std::string(NumberProblem(single())));
            },
            description)
        ->type_name("NUMBER");
}

}  // namespace

void AddMethodOption(CLI::App& cmd, hy::Method& method) {
    cmd.add_option_function<std::string>(
           "--method",
           [&method](const std::string& text) {
               const auto m = ParseMethod(text);
               if (!m)
                   throw CLI::ValidationError(
                       "--method", Quoted(text) + " is not one of appendix|gb50028-2006");
               method = *m;
           },
           "Calculation method: appendix (the window's, default) or gb50028-2006")
        ->type_name("appendix|gb50028-2006");
}

void AddSegmentOptions(CLI::App& cmd, SegmentInput& in, bool withDiameter, bool allRequired) {
    hy::SegmentInput& s = in.segment;
    hy::MethodOptions& o = in.options;
    AddMethodOption(cmd, o.method);
    AddSelector(cmd, "--gas", s.gas, ParseGas, CanonicalGas,
                "天然气|人工煤气|液化石油气|natural-gas|manufactured-gas|lpg", "Gas kind")
        ->required();
    AddSelector(cmd, "--class", s.pressureClass, ParseClass, CanonicalClass,
                "高中压|低压|high-medium|low", "Pressure class")
        ->required();
    AddSelector(cmd, "--material", s.material, ParseMaterial, CanonicalMaterial,
                "钢管|PE管|铸铁管|steel|pe|cast-iron", "Pipe material")
        ->required();
    AddNumberOption(cmd, "--density", s.density, o.method, "Gas density, kg/Nm3")->required();
    AddNumberOption(cmd, "--viscosity", s.viscosity, o.method, "Kinematic viscosity, 1e-6 m2/s")
        ->required();
    AddNumberOption(cmd, "--temperature", s.temperature, o.method, "Gas temperature, K")
        ->required();
    if (withDiameter)
        AddNumberOption(cmd, "--diameter", s.diameter, o.method, "Inner diameter, mm")
            ->required(allRequired);
    AddNumberOption(cmd, "--length", s.length, o.method, "Pipe length, m")->required(allRequired);
    AddNumberOption(cmd, "--flow", s.flow, o.method, "Flow, Nm3/h")->required(allRequired);
    AddNumberOption(cmd, "--inlet", s.inlet, o.method,
                    "Inlet pressure: absolute 1e5 Pa (high/medium) or gauge Pa (low)")
        ->required(allRequired);
    // Read as doubles whatever the method: they are computed beside the
    // appendix routine or refused for it.
    static const hy::Method kDouble = hy::Method::Gb50028_2006;
    AddNumberOption(cmd, "--rise", o.rise, kDouble,
                    "End minus start elevation, m; low pressure: additional head 9.8(1.293-rho)h");
    AddNumberOption(cmd, "--local-loss", o.localLoss, kDouble,
                    "gb50028-2006: local losses as a fraction of friction (default 0.1)");
    AddNumberOption(cmd, "--roughness", o.roughness, kDouble,
                    "gb50028-2006: roughness K, mm (default by material)");
    AddNumberOption(cmd, "--z", o.z, kDouble,
                    "gb50028-2006, high/medium: compressibility factor (default empirical)");
}

CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, double& target,
                             const hy::Method& method, const std::string& description) {
    const hy::Method* m = &method;
    auto single = [m] { return *m == hy::Method::Appendix; };
    return AddParsed(
        cmd, name, description,
        [&target, single](const std::string& text) {
            const auto v = ParseNumber(text, single());
            if (v) target = *v;
            return v.has_value();
        },
        single);
}

CLI::Option* AddNumberOption(CLI::App& cmd, const std::string& name, std::optional<double>& target,
                             const hy::Method& method, const std::string& description) {
    const hy::Method* m = &method;
    auto single = [m] { return *m == hy::Method::Appendix; };
    return AddParsed(
        cmd, name, description,
        [&target, single](const std::string& text) {
            target = ParseNumber(text, single());
            return target.has_value();
        },
        single);
}

CLI::Option* AddMaterialOption(CLI::App& cmd, std::string& material) {
    return cmd.add_option("--material", material, "Pipe material")
        ->required()
        ->transform(Selector(CanonicalMaterial, "钢管|PE管|铸铁管|steel|pe|cast-iron"));
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

void AddSimultaneityOption(CLI::App& cmd, std::string& path) {
    cmd.add_option("--simultaneity", path,
                   "Simultaneity file for households (default: beside the executable)");
}

SimultaneityTable ReadSimultaneity(const std::string& path) {
    return SimultaneityTable::Read(
        path.empty() ? ExecutableDirectory() + "/" + kSimultaneityFileName : path);
}

}  // namespace gaspipe::cli
