#include "case_file.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <tuple>

#include "atomic_file.h"
#include "case_reader.h"
#include "ini_storage.h"

#ifndef GASPIPE_VERSION
#define GASPIPE_VERSION "unknown"
#endif

namespace gaspipe::network {

namespace {

using OrderedJson = nlohmann::ordered_json;
using Kind = CaseFileProblem::Kind;

std::pair<std::size_t, std::size_t> LineColumn(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // one per character, not per UTF-8 byte
        }
    }
    return {line, column};
}

CaseReadResult Refused(CaseFileProblem problem) {
    CaseReadResult result;
    result.line = problem.line;
    result.column = problem.column;
    result.error = DescribeProblem(problem);
    result.problem = std::move(problem);
    return result;
}

// Adds the members a newer program wrote, after the known ones.
void AddUnknown(OrderedJson& object, const std::string& unknown) {
    if (unknown.empty()) return;
    const OrderedJson extra = OrderedJson::parse(unknown, nullptr, false);
    if (!extra.is_object()) return;
    for (auto it = extra.begin(); it != extra.end(); ++it)
        if (!object.contains(it.key())) object[it.key()] = it.value();
}

void SetOptional(OrderedJson& object, const char* key, const std::optional<double>& value) {
    if (value) object[key] = *value;
}

std::string Dump(const OrderedJson& j) {
    return j.dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

}  // namespace

CaseReadResult ParseCase(std::string_view bytes, const CaseFileLimits& limits) {
    CaseFileProblem problem;
    try {
        CaseReadResult result;
        result.value = detail::ReadCaseText(bytes, limits);
        return result;
    } catch (const detail::ReadProblem& e) {
        problem = e.problem;
        if (e.offset != detail::kNoPlace)
            std::tie(problem.line, problem.column) = LineColumn(bytes, e.offset);
    } catch (const std::bad_alloc&) {
        problem.kind = Kind::NoMemory;
    } catch (const nlohmann::json::exception& e) {
        problem.kind = Kind::NotJson;
        problem.detail = e.what();
    }
    return Refused(std::move(problem));
}

CaseReadResult LoadCase(const std::string& path, const CaseFileLimits& limits) {
    const auto file = ini_storage::ReadWholeFile(path, limits.maxBytes);
    if (file.status == ini_storage::ReadStatus::Ok) return ParseCase(file.bytes, limits);
    CaseFileProblem problem;
    problem.detail = path;
    if (file.status == ini_storage::ReadStatus::Missing) {
        problem.kind = Kind::NoSuchFile;
    } else if (file.why == ini_storage::UnusableWhy::NotRegular) {
        problem.kind = Kind::NotAFile;
    } else if (file.why == ini_storage::UnusableWhy::TooLarge) {
        problem.kind = Kind::TooLarge;
        problem.number = limits.maxBytes;
    } else {
        problem.kind = Kind::CannotRead;
        problem.detail = file.problem;
    }
    return Refused(std::move(problem));
}

TextFault CheckCaseText(std::string_view text, std::size_t maxBytes, bool id) {
    if (text.size() > maxBytes) return TextFault::TooLong;
    if (!id) return TextFault::None;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // C1 controls are U+0080..U+009F, encoded C2 80..C2 9F.
        const bool c1 =
            c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F || c1) return TextFault::ControlCharacter;
    }
    return TextFault::None;
}

int CaseFileVersion(const Case& c) { return UsesHouseholds(c) || !c.limits.shares.empty() ? 2 : 1; }

std::string CaseToJson(const Case& c) {
    OrderedJson root;
    root["format"] = kCaseFormat;
    root["version"] = CaseFileVersion(c);
    root["generator"] = "gaspipe " GASPIPE_VERSION;
    OrderedJson project = {{"name", c.project.name},
                           {"number", c.project.number},
                           {"stage", c.project.stage},
                           {"designer", c.project.designer},
                           {"date", c.project.date}};
    // Written only when given: a file that uses none of them saves as before.
    for (auto [key, value] : {std::pair{"organization", &c.project.organization},
                              {"sheet_number", &c.project.sheetNumber},
                              {"revision", &c.project.revision}})
        if (!value->empty()) project[key] = *value;
    AddUnknown(project, c.project.unknown);
    root["project"] = std::move(project);
    OrderedJson gas = {{"kind", c.gas.kind},
                       {"density", c.gas.density},
                       {"viscosity", c.gas.viscosity},
                       {"temperature", c.gas.temperature}};
    AddUnknown(gas, c.gas.unknown);
    root["gas"] = std::move(gas);
    root["pressure_class"] = c.pressureClass;
    OrderedJson method = {{"name", MethodName(c.method.method)},
                          {"local_loss", c.method.localLoss}};
    if (!c.method.roughness.empty()) {
        OrderedJson rough = OrderedJson::object();
        for (const auto& r : c.method.roughness) rough[r.material] = r.roughness;
        method["roughness"] = std::move(rough);
    }
    SetOptional(method, "z", c.method.z);
    AddUnknown(method, c.method.unknown);
    root["method"] = std::move(method);
    OrderedJson source = {{"node", c.source.node},
                          {"pressure", c.source.pressure},
                          {"elevation", c.source.elevation}};
    AddUnknown(source, c.source.unknown);
    root["source"] = std::move(source);
    OrderedJson limits = OrderedJson::object();
    SetOptional(limits, "max_velocity", c.limits.maxVelocity);
    SetOptional(limits, "max_drop", c.limits.maxDrop);
    SetOptional(limits, "appliance_pressure", c.limits.appliancePressure);
    if (!c.limits.shares.empty()) {
        OrderedJson shares = OrderedJson::object();
        for (const PartShare& share : c.limits.shares) {
            OrderedJson one = OrderedJson::object();
            SetOptional(one, "drop", share.drop);
            SetOptional(one, "fraction", share.fraction);
            AddUnknown(one, share.unknown);
            shares[std::string(PartName(share.part))] = std::move(one);
        }
        limits["shares"] = std::move(shares);
    }
    AddUnknown(limits, c.limits.unknown);
    root["limits"] = std::move(limits);
    // Written only when given: a file that keeps the default saves as before.
    if (c.display.pressureUnit || !c.display.unknown.empty()) {
        OrderedJson display = OrderedJson::object();
        if (c.display.pressureUnit)
            display["pressure_unit"] = PressureUnitName(*c.display.pressureUnit);
        AddUnknown(display, c.display.unknown);
        root["display"] = std::move(display);
    }
    AddUnknown(root, c.unknown);

    std::string out = "{\n";
    for (auto it = root.begin(); it != root.end(); ++it)
        out += "  " + Dump(it.key()) + ": " + Dump(it.value()) + ",\n";
    out += "  \"nodes\": [";
    for (std::size_t i = 0; i < c.nodes.size(); ++i) {
        const Node& n = c.nodes[i];
        OrderedJson node = {{"id", n.id}, {"elevation", n.elevation}, {"load", n.load}};
        // Whole numbers of households as they are typed: 12, not 12.0.
        if (n.households && *n.households == std::floor(*n.households) &&
            std::fabs(*n.households) < 1e15)
            node["households"] = static_cast<std::int64_t>(*n.households);
        else
            SetOptional(node, "households", n.households);
        if (!n.appliances.empty()) node["appliances"] = n.appliances;
        SetOptional(node, "rated_flow", n.ratedFlow);
        AddUnknown(node, n.unknown);
        out += (i ? ",\n    " : "\n    ") + Dump(node);
    }
    out += c.nodes.empty() ? "],\n" : "\n  ],\n";
    out += "  \"segments\": [";
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const Segment& s = c.segments[i];
        OrderedJson seg = {{"id", s.id},
                           {"from", s.from},
                           {"to", s.to},
                           {"material", s.material},
                           {"nominal", s.nominal}};
        SetOptional(seg, "inner_diameter", s.innerDiameter);
        seg["length"] = s.length;
        SetOptional(seg, "flow", s.flow);
        SetOptional(seg, "local_loss", s.localLoss);
        SetOptional(seg, "zeta", s.zeta);
        SetOptional(seg, "simultaneity", s.simultaneity);
        SetOptional(seg, "roughness", s.roughness);
        if (s.part) seg["part"] = PartName(*s.part);
        AddUnknown(seg, s.unknown);
        out += (i ? ",\n    " : "\n    ") + Dump(seg);
    }
    out += c.segments.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

CaseText CheckedCaseToJson(const Case& c) {
    CaseText result;
    result.text = CaseToJson(c);
    CaseReadResult back = ParseCase(result.text);
    if (!back.value) {
        result.text.clear();
        result.problem = std::move(back.problem);
        // The place is in a text that was never shown; the problem names the row.
        if (result.problem) result.problem->line = result.problem->column = 0;
    }
    return result;
}

SaveResult SaveCase(const std::string& path, const Case& c) {
    SaveResult result;
    CaseText text = CheckedCaseToJson(c);
    if (text.problem) {
        result.problem = std::move(text.problem);
        result.error = "not saved to '" + path + "': gaspipe could not open it again (" +
                       DescribeProblem(*result.problem) + "); the previous file is unchanged";
        return result;
    }
    result.ok = fileio::WriteWholeFile(path, text.text, result.systemError);
    if (!result.ok)
        result.error = "cannot save '" + path + "': " + result.systemError +
                       "; the previous file is unchanged";
    return result;
}

}  // namespace gaspipe::network
