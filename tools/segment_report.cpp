#include "segment_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "calc_pipe_segment.h"
#include "report.h"

namespace gaspipe::cli {

namespace {

namespace hy = hydraulics;

// The window's fixed-point text (no "-0.000" for zero), from a double.
std::string Fixed(double value, int decimals) {
    char buf[400];
    const double shown = value == 0 ? 0.0 : value;
    const auto res =
        std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

bool High(const hy::SegmentInput& in) { return in.pressureClass == hy::PressureClass::HighMedium; }

std::string PressureUnit(bool high) { return high ? "× 10⁵ Pa absolute" : "Pa gauge"; }

// Both texts are built from one list, so the two forms never disagree.
struct Line {
    enum Kind { Number, Text, Flag };
    std::string name;
    std::optional<double> value;  // none: null
    std::string unit;
    std::string text;
    Kind kind = Number;
    bool flag = false;
};

struct TraceLines {
    std::vector<Line> head, tail;
};

TraceLines Lines(const hy::SegmentTrace& t) {
    const hy::SegmentInput& in = t.input;
    const bool high = High(in), appendix = t.method == hy::Method::Appendix;
    const std::string p = PressureUnit(high);
    auto text = [](std::string name, std::string_view value) {
        Line l;
        l.name = std::move(name);
        l.text = value;
        l.kind = Line::Text;
        return l;
    };
    auto flag = [](std::string name, bool value) {
        Line l;
        l.name = std::move(name);
        l.flag = value;
        l.kind = Line::Flag;
        return l;
    };
    auto num = [](std::string name, std::optional<double> value, std::string unit = {}) {
        Line l;
        l.name = std::move(name);
        l.value = value;
        l.unit = std::move(unit);
        return l;
    };
    TraceLines lines;
    auto& h = lines.head;
    h.push_back(text("method", hy::MethodName(t.method)));
    h.push_back(text("basis", hy::MethodBasis(t.method)));
    h.push_back(text("gas", hy::SelectorText(in.gas)));
    h.push_back(text("class", hy::SelectorText(in.pressureClass)));
    h.push_back(text("material", hy::SelectorText(in.material)));
    h.push_back(num("density", in.density, "kg/m³"));
    h.push_back(num("viscosity", in.viscosity, "10⁻⁶ m²/s"));
    h.push_back(num("temperature", in.temperature, "K"));
    h.push_back(num("diameter", in.diameter, "mm"));
    h.push_back(num("length", in.length, "m"));
    h.push_back(num("flow", in.flow, "m³/h"));
    h.push_back(num("inlet", in.inlet, p));
    if (appendix) h.push_back(num("start", in.start, p));
    h.push_back(num("roughness", t.roughness, "mm"));
    h.push_back(flag("roughness_used", t.roughnessUsed));
    h.push_back(num("local_loss_fraction", t.localLossFraction));
    if (t.equivalentLength != 0) h.push_back(num("equivalent_length", t.equivalentLength, "m"));
    if (!high) h.push_back(num("rise", t.rise, "m"));
    // The appendix routine leaves no working when its first pass fails.
    const bool working = t.method != hy::Method::Appendix || !t.passes.empty();
    auto known = [&](double v) { return working ? std::optional(v) : std::nullopt; };
    if (working)
        h.push_back(text("regime", hy::RegimeName(t.regime)));
    else
        h.push_back(num("regime", std::nullopt));
    h.push_back(num("reynolds", known(t.reynolds)));
    h.push_back(num("friction_factor", known(t.frictionFactor)));
    h.push_back(num("z", known(t.z)));
    h.push_back(flag("z_given", t.zGiven));
    h.push_back(num("mean_pressure", known(t.meanPressure), high ? p : "Pa gauge"));
    h.push_back(num("actual_flow", known(t.actualFlow), "m³/h"));
    h.push_back(num("pass_count", t.passCount));

    const bool ok = t.outcome == hy::Outcome::Ok;
    auto result = [&](std::string name, double v, std::string unit) {
        lines.tail.push_back(num(std::move(name), ok ? std::optional(v) : std::nullopt, unit));
    };
    const std::string loss = high ? "(10⁵ Pa)²" : "Pa";
    result("friction_loss", t.frictionLoss, loss);
    result("local_loss", t.localLoss, loss);
    if (!high) result("additional_head", t.additionalHead, "Pa");
    result("loss", t.loss, loss);
    result("drop", t.drop, high ? "× 10⁵ Pa" : "Pa");
    result("outlet", t.outlet, p);
    result("mean_velocity", t.meanVelocity, "m/s");
    result("max_velocity", t.maxVelocity, "m/s");
    lines.tail.push_back(text("status", hy::OutcomeName(t.outcome)));
    lines.tail.push_back(text("message", t.reason));
    return lines;
}

using PassField = std::pair<const char*, std::optional<double> (*)(const hy::Pass&)>;
constexpr PassField kPassFields[] = {
    {"outlet_before", [](const hy::Pass& p) { return std::optional(p.outletBefore); }},
    {"outlet_after", [](const hy::Pass& p) { return p.outletAfter; }},
    {"relative_change", [](const hy::Pass& p) { return p.relativeChange; }},
    {"mean_pressure", [](const hy::Pass& p) { return std::optional(p.meanPressure); }},
    {"z", [](const hy::Pass& p) { return std::optional(p.z); }},
    {"actual_flow", [](const hy::Pass& p) { return std::optional(p.actualFlow); }},
    {"velocity", [](const hy::Pass& p) { return std::optional(p.velocity); }},
    {"reynolds", [](const hy::Pass& p) { return std::optional(p.reynolds); }},
    {"friction_factor", [](const hy::Pass& p) { return std::optional(p.frictionFactor); }},
    {"loss", [](const hy::Pass& p) { return std::optional(p.loss); }},
};

// A number that did not come out of the calculation (none, or not finite
// where a formula had no solution) is shown as missing.
std::string Value(const std::optional<double>& v, bool single, const char* none) {
    return v && std::isfinite(*v) ? FormatNumber(*v, single) : none;
}

}  // namespace

std::vector<std::string> ReportText(const SegmentInput& in, const SegmentOutcome& o) {
    const bool high = High(in.segment);
    if (o.single && o.additionalHead == 0) {
        const SegmentResult r{static_cast<float>(in.segment.inlet), static_cast<float>(o.outlet),
                              static_cast<float>(o.loss), static_cast<float>(o.meanVelocity),
                              static_cast<float>(o.maxVelocity)};
        return ReportLines(high ? sel::kHighMedium : sel::kLow, r);
    }
    if (high)
        return {"压力降=    " + Fixed(o.drop, 3) + "公斤",
                "出口压力=  " + Fixed(o.outlet, 3) + "公斤",
                "压力平方差=" + Fixed(o.loss, 3) + "公斤^2",
                "平均流速=  " + Fixed(o.meanVelocity, 3) + "米/秒",
                "最大流速=  " + Fixed(o.maxVelocity, 3) + "米/秒"};
    std::vector<std::string> lines{"压力降=  " + Fixed(o.loss, 2) + "帕"};
    if (o.additionalHead != 0) lines.push_back("附加压头=" + Fixed(o.additionalHead, 2) + "帕");
    lines.push_back("出口压力=" + Fixed(o.outlet, 2) + "帕");
    lines.push_back("平均流速=" + Fixed(o.meanVelocity, 3) + "米/秒");
    lines.push_back("最大流速=" + Fixed(o.maxVelocity, 3) + "米/秒");
    return lines;
}

std::string TraceText(const hy::SegmentTrace& t) {
    const bool single = t.method == hy::Method::Appendix;
    const TraceLines lines = Lines(t);
    std::string out;
    auto print = [&](const Line& l) {
        char name[32];
        std::snprintf(name, sizeof name, "%-20s", l.name.c_str());
        out += name;
        switch (l.kind) {
            case Line::Number:
                out += Value(l.value, single, "-");
                if (l.value && !l.unit.empty()) out += " " + l.unit;
                break;
            case Line::Text:
                out += l.text;
                break;
            case Line::Flag:
                out += l.flag ? "yes" : "no";
                break;
        }
        while (out.back() == ' ') out.pop_back();
        out += '\n';
    };
    for (const Line& l : lines.head) print(l);
    if (!t.passes.empty()) {
        out += "pass";
        for (const auto& [name, get] : kPassFields) {
            out += '\t';
            out += name;
        }
        out += '\n';
        for (std::size_t i = 0; i < t.passes.size(); ++i) {
            out += std::to_string(i + 1);
            for (const auto& [name, get] : kPassFields) {
                out += '\t';
                out += Value(get(t.passes[i]), single, "-");
            }
            out += '\n';
        }
    }
    for (const Line& l : lines.tail) print(l);
    return out;
}

std::string TraceJson(const hy::SegmentTrace& t) {
    const bool single = t.method == hy::Method::Appendix;
    const TraceLines lines = Lines(t);
    std::string out = "{";
    auto member = [&](const Line& l) {
        if (out.size() > 1) out += ',';
        out += JsonString(l.name) + ':';
        switch (l.kind) {
            case Line::Number:
                out += Value(l.value, single, "null");
                break;
            case Line::Text:
                out += JsonString(l.text);
                break;
            case Line::Flag:
                out += l.flag ? "true" : "false";
                break;
        }
    };
    for (const Line& l : lines.head) member(l);
    out += ",\"passes\":[";
    for (std::size_t i = 0; i < t.passes.size(); ++i) {
        out += i ? ",{" : "{";
        bool first = true;
        for (const auto& [name, get] : kPassFields) {
            out += first ? "" : ",";
            first = false;
            out += JsonString(name) + ':' + Value(get(t.passes[i]), single, "null");
        }
        out += '}';
    }
    out += ']';
    for (const Line& l : lines.tail) member(l);
    return out + "}";
}

}  // namespace gaspipe::cli
