// One segment's inputs, working and results, written from its trace: each
// line substitutes the inputs and the trace's own intermediate values into
// a formula and ends in the value the trace holds.
#include <string>

#include "numbers.h"
#include "sections.h"

namespace gaspipe::sheet::detail {

namespace {

using hydraulics::Material;
using hydraulics::Method;
using hydraulics::PressureClass;
using hydraulics::Regime;
using hydraulics::SegmentTrace;

bool IsLow(const SegmentTrace& t) { return t.input.pressureClass == PressureClass::Low; }
bool IsAppendix(const SegmentTrace& t) { return t.method == Method::Appendix; }

// An input as the calculation stored it.
std::string In(const SegmentTrace& t, double v) {
    return IsAppendix(t) ? ShortestFloat(v) : Shortest(v);
}

std::string Lambda(double v) { return Fixed(v, 5); }
std::string Flow(double v) { return Fixed(v, 3); }
std::string Z(double v) { return Fixed(v, 5); }

// The shared operands "(Q^2/d^5)×ρ" of the loss formulas.
std::string LossOperands(const SegmentTrace& t) {
    std::string text = "(";  // GCC 12 warns falsely about "(" + std::string
    text +=
        In(t, t.input.flow) + "^{2}/" + In(t, t.input.diameter) + "^{5})×" + In(t, t.input.density);
    return text;
}

// The friction factor line for the regime the Reynolds number falls in.
void FrictionLine(Writer& w, const SegmentTrace& t, double re, double lambda) {
    const std::string r = Fixed(re, 0), l = Lambda(lambda);
    const std::string head = "Re = " + r;
    switch (t.regime) {
        case Regime::Laminar:
            w.Para(head + " ≤ 2100，属层流区，按" + w.Ref("lam-laminar") + "：");
            w.Para("λ = 64/" + r + " = " + l);
            return;
        case Regime::Critical:
            w.Para("2100 < " + head + " ≤ 3500，属临界区，按" + w.Ref("lam-critical") + "：");
            w.Para("λ = 0.03 + (" + r + " − 2100)/(65×" + r + " − 10^{5}) = " + l);
            return;
        case Regime::Turbulent:
            break;
    }
    const std::string d = In(t, t.input.diameter);
    if (!IsAppendix(t)) {
        w.Para(head + " > 3500，属紊流区，以 K = " + In(t, t.roughness) + " mm、d = " + d +
               " mm、Re = " + r + " 代入" + w.Ref("lam-turbulent") + "，迭代求得 λ = " + l);
    } else if (t.input.material == Material::CastIron) {
        w.Para(head + " > 3500，属紊流区，按" + w.Ref("lam-turbulent-cast") + "：");
        w.Para("λ = 0.102236×(1/" + d + " + 5158×" + d + "×" + In(t, t.input.viscosity) +
               "×10^{−6}/" + In(t, t.input.flow) + ")^{0.284} = " + l);
    } else {
        w.Para(head + " > 3500，属紊流区，按" + w.Ref("lam-turbulent") + "：");
        w.Para("λ = 0.11×(" + In(t, t.roughness) + "/" + d + " + 68/" + r + ")^{0.25} = " + l);
    }
}

void AppendixWorking(Writer& w, const SegmentTrace& t, const Precision& p) {
    const bool low = IsLow(t);
    auto P = [&](double v) { return Fixed(v, p.workingPressure); };
    const std::string lossDecimalsUnit = low ? " Pa" : "×10^{10} Pa^{2}";
    const hydraulics::Pass& last = t.passes.back();
    const std::string n = std::to_string(t.passes.size());
    const std::string p1 = In(t, t.input.inlet);

    w.Para("以出口压力初值 P_{2}^{(0)} = " + In(t, t.input.start) + " 起按" + w.Ref("pm") + "～" +
           w.Ref("rel").substr(std::string("式 ").size()) + " 迭代，共 " + n + " 次，各次结果见" +
           w.NextTable() + "。");
    Table passes;
    passes.density = Table::Density::Dense;
    passes.columns = {Col("次数", Align::Center), Col("P_{2}′", Align::Right, 2),
                      Col("P_{m}", Align::Right, 2)};
    if (!low) passes.columns.push_back(Col("Z", Align::Right, 2));
    for (const char* title : {"Q_{a}（m^{3}/h）", "v（m/s）", "Re", "λ"})
        passes.columns.push_back(Col(title, Align::Right, 2));
    passes.columns.push_back(Col(low ? "ΔP" : "P_{1}^{2} − P_{2}^{2}", Align::Right, 2));
    passes.columns.push_back(Col("P_{2}", Align::Right, 2));
    passes.columns.push_back(Col("δ", Align::Right, 3));
    for (std::size_t i = 0; i < t.passes.size(); ++i) {
        const hydraulics::Pass& s = t.passes[i];
        std::vector<Cell> row = {Text(std::to_string(i + 1)), Text(P(s.outletBefore)),
                                 Text(P(s.meanPressure))};
        if (!low) row.push_back(Text(Z(s.z)));
        for (const std::string& v : {Flow(s.actualFlow), Fixed(s.velocity, 3), Fixed(s.reynolds, 0),
                                     Lambda(s.frictionFactor), Fixed(s.loss, p.workingLoss),
                                     s.outletAfter ? P(*s.outletAfter) : "—",
                                     s.relativeChange ? Power10(*s.relativeChange, 3) : "—"})
            row.push_back(Text(v));
        passes.rows.push_back(std::move(row));
    }
    w.Add(std::move(passes), "迭代计算过程");
    w.Note(
        low ? "注：压力为表压，单位 Pa；ΔP 单位 Pa。"
            : "注：压力为绝对压力，单位 10^{5} Pa；P_{1}^{2} − P_{2}^{2} 单位 (10^{5} Pa)^{2}。");

    w.Para("末次（第 " + n + " 次）迭代计算如下：");
    const std::string p2old = P(last.outletBefore), pm = P(last.meanPressure);
    const std::string unit = low ? " Pa" : "×10^{5} Pa";
    w.Para("P_{m} = (2/3)×[" + p1 + " + " + p2old + "^{2}/(" + p1 + " + " + p2old + ")] = " + pm +
           unit);
    const std::string T = In(t, t.input.temperature), Q = In(t, t.input.flow),
                      d = In(t, t.input.diameter);
    if (!low) {
        if (t.input.inlet >= 13)
            w.Para("Z = 100/(100 + 0.12×" + pm + "^{1.15}) = " + Z(last.z));
        else
            w.Para("P_{1} = " + p1 + "×10^{5} Pa < 13×10^{5} Pa，取 Z = 1");
        w.Para("Q_{a} = " + Q + "×1.01325×" + T + "×" + Z(last.z) + "/(" + pm +
               "×273.16) = " + Flow(last.actualFlow) + " m^{3}/h");
    } else {
        w.Para("Q_{a} = " + Q + "×101325×" + T + "/[(" + pm +
               " + 101325)×273.16] = " + Flow(last.actualFlow) + " m^{3}/h");
    }
    w.Para("v = (" + Flow(last.actualFlow) + "/3600)×(4/3.1416)/(" + d +
           "/1000)^{2} = " + Fixed(last.velocity, 3) + " m/s");
    w.Para("Re = (" + d + "/1000)×" + Fixed(last.velocity, 3) + "/(" + In(t, t.input.viscosity) +
           "×10^{−6}) = " + Fixed(last.reynolds, 0));
    FrictionLine(w, t, last.reynolds, last.frictionFactor);
    const std::string loss = Fixed(last.loss, p.workingLoss);
    const std::string common = Lambda(last.frictionFactor) + "×" + LossOperands(t) + "×" +
                               In(t, t.input.length) + "×" + T + "/273.16";
    if (low) {
        w.Para("ΔP = 6.886×10^{7}×" + common + " = " + loss + " Pa");
        w.Para("P_{2} = " + p1 + " − " + loss + " = " + P(last.outletAfter.value_or(0)) + " Pa");
    } else {
        w.Para("P_{1}^{2} − P_{2}^{2} = 1.397×10^{3}×" + common + "×" + Z(last.z) + " = " + loss +
               lossDecimalsUnit);
        w.Para("P_{2} = √(" + p1 + "^{2} − " + loss + ") = " + P(last.outletAfter.value_or(0)) +
               unit);
    }
    if (last.relativeChange) {
        const std::string p2 = P(last.outletAfter.value_or(0));
        w.Para("δ = |" + p2old + " − " + p2 + "|/(" + p2old + " + " + p2 +
               ") = " + Power10(*last.relativeChange, 3) + " < 0.001，迭代结束。");
    }
    if (low && t.rise != 0) {
        w.Para("ΔH = 9.8×(1.293 − " + In(t, t.input.density) + ")×" + Shortest(t.rise) + " = " +
               Fixed(t.additionalHead, p.workingPressure) + " Pa");
        w.Para("P_{2} = P_{1} − ΔP + ΔH = " + p1 + " − " + loss + " + " +
               Fixed(t.additionalHead, p.workingPressure) + " = " + P(t.outlet) + " Pa");
    }
}

void CurrentWorking(Writer& w, const SegmentTrace& t, const Precision& p,
                    std::optional<double> zeta) {
    const bool low = IsLow(t);
    auto P = [&](double v) { return Fixed(v, p.workingPressure); };
    const std::string Q = In(t, t.input.flow), d = In(t, t.input.diameter),
                      T = In(t, t.input.temperature), p1 = In(t, t.input.inlet);
    w.Para("Re = (" + Q + "/3600)/[(π/4)×(" + d + "/1000)^{2}]×(" + d + "/1000)/(" +
           In(t, t.input.viscosity) + "×10^{−6}) = " + Fixed(t.reynolds, 0));
    FrictionLine(w, t, t.reynolds, t.frictionFactor);
    const std::string l = Lambda(t.frictionFactor);
    if (zeta)
        w.Para("L_{e} = " + Shortest(*zeta) + "×(" + d + "/1000)/" + l + " = " +
               Fixed(t.equivalentLength, 3) + " m");
    const std::string n = Shortest(t.localLossFraction);
    const std::string common = l + "×" + LossOperands(t) + "×(" + T + "/273.15)";
    const std::string le = Fixed(t.equivalentLength, 3);
    if (low) {
        const std::string f = P(t.frictionLoss), j = P(t.localLoss), h = P(t.additionalHead);
        w.Para("ΔP_{f} = 6.26×10^{7}×" + common + "×" + In(t, t.input.length) + " = " + f + " Pa");
        if (zeta)
            w.Para("ΔP_{j} = 6.26×10^{7}×" + common + "×" + le + " = " + j + " Pa");
        else
            w.Para("ΔP_{j} = " + n + "×" + f + " = " + j + " Pa");
        w.Para("ΔH = 9.8×(1.293 − " + In(t, t.input.density) + ")×" + Shortest(t.rise) + " = " + h +
               " Pa");
        w.Para("P_{2} = " + p1 + " − " + f + " − " + j + " + " + h + " = " + P(t.outlet) + " Pa");
        w.Para("按" + w.Ref("pm") + " 以绝对压力计算，平均压力 P_{m} = " + P(t.meanPressure) +
               " Pa（表压）");
        w.Para("Q_{a} = " + Q + "×[101325/(" + P(t.meanPressure) + " + 101325)]×(" + T +
               "/273.15)×1 = " + Flow(t.actualFlow) + " m^{3}/h");
    } else {
        const int lp = p.workingLoss;
        const std::string zText = Z(t.z);
        if (!t.passes.empty()) {
            w.Para("起点压力不小于 13.01325×10^{5} Pa，压缩因子随平均压力变化，按" + w.Ref("z") +
                   " 以出口压力迭代 " + std::to_string(t.passes.size()) + " 次，见" +
                   w.NextTable() + "。");
            Table passes;
            passes.density = Table::Density::Dense;
            passes.columns = {Col("次数", Align::Center),
                              Col("P_{2}′", Align::Right, 2),
                              Col("P_{m}", Align::Right, 2),
                              Col("Z", Align::Right, 2),
                              Col("P_{1}^{2} − P_{2}^{2}", Align::Right, 2),
                              Col("P_{2}", Align::Right, 2),
                              Col("δ", Align::Right, 3)};
            for (std::size_t i = 0; i < t.passes.size(); ++i) {
                const hydraulics::Pass& s = t.passes[i];
                passes.rows.push_back(
                    {Text(std::to_string(i + 1)), Text(P(s.outletBefore)), Text(P(s.meanPressure)),
                     Text(Z(s.z)), Text(Fixed(s.loss, lp)),
                     Text(s.outletAfter ? P(*s.outletAfter) : "—"),
                     Text(s.relativeChange ? Power10(*s.relativeChange, 3) : "—")});
            }
            w.Add(std::move(passes), "压缩因子迭代计算过程");
            w.Para("末次迭代 Z = " + zText);
        } else if (t.zGiven) {
            w.Para("压缩因子取给定值 Z = " + zText);
        } else {
            w.Para("P_{1} = " + p1 + "×10^{5} Pa < 13.01325×10^{5} Pa，取 Z = 1");
        }
        const std::string f = Fixed(t.frictionLoss, lp), j = Fixed(t.localLoss, lp);
        w.Para("(P_{1}^{2} − P_{2}^{2})_{f} = 1.27×10^{3}×" + common + "×" + zText + "×" +
               In(t, t.input.length) + " = " + f + "×10^{10} Pa^{2}");
        if (zeta)
            w.Para("(P_{1}^{2} − P_{2}^{2})_{j} = 1.27×10^{3}×" + common + "×" + zText + "×" + le +
                   " = " + j + "×10^{10} Pa^{2}");
        else
            w.Para("(P_{1}^{2} − P_{2}^{2})_{j} = " + n + "×" + f + " = " + j + "×10^{10} Pa^{2}");
        w.Para("P_{2} = √(" + p1 + "^{2} − " + f + " − " + j + ") = " + P(t.outlet) + "×10^{5} Pa");
        const std::string p2 = P(t.outlet), pm = P(t.meanPressure);
        w.Para("P_{m} = (2/3)×[" + p1 + " + " + p2 + "^{2}/(" + p1 + " + " + p2 + ")] = " + pm +
               "×10^{5} Pa");
        w.Para("Q_{a} = " + Q + "×(1.01325/" + pm + ")×(" + T + "/273.15)×" + zText + " = " +
               Flow(t.actualFlow) + " m^{3}/h");
    }
    w.Para("v = (" + Flow(t.actualFlow) + "/3600)/[(π/4)×(" + d +
           "/1000)^{2}] = " + Fixed(t.meanVelocity, 3) + " m/s");
}

}  // namespace

void AddSegmentInputs(Writer& w, const SegmentTrace& t, const PipeEntry& pipe,
                      std::optional<double> zeta) {
    const bool low = IsLow(t), appendix = IsAppendix(t);
    Table inputs;
    inputs.columns = {Col("序号", Align::Center, 1), Col("名　称", Align::Left, 5),
                      Col("符号", Align::Center, 2), Col("数　值", Align::Center, 4),
                      Col("单　位", Align::Left, 3)};
    auto row = [&](const std::string& name, const std::string& symbol, const std::string& value,
                   const std::string& unit) {
        inputs.rows.push_back({Text(std::to_string(inputs.rows.size() + 1)), Text(name),
                               Text(symbol), Text(value), Text(unit)});
    };
    row("燃气种类", "", std::string(hydraulics::SelectorText(t.input.gas)), "");
    row("压力级制", "",
        std::string(hydraulics::SelectorText(t.input.pressureClass)) + "（" +
            std::string(network::PressureLevelName(network::SourceLevel(t.input.inlet, low))) +
            "）",
        "");
    row("燃气密度（标准状态）", "ρ", In(t, t.input.density), "kg/m^{3}");
    row("运动黏度（标准状态）", "ν", In(t, t.input.viscosity), "10^{−6} m^{2}/s");
    row("燃气温度", "T", In(t, t.input.temperature), "K");
    row("计算流量（标准状态）", "Q", In(t, t.input.flow), "m^{3}/h");
    row("管道计算长度", "L", In(t, t.input.length), "m");
    row(low ? "起点压力（表压）" : "起点压力（绝对压力）", "P_{1}", In(t, t.input.inlet),
        PressureUnit(low));
    if (!low) row("起点压力（表压）", "", Fixed(network::GaugeMPa(t.input.inlet, low), 4), "MPa");
    if (appendix) row("出口压力迭代初值", "P_{2}^{(0)}", In(t, t.input.start), PressureUnit(low));
    row("管材", "", std::string(hydraulics::SelectorText(t.input.material)), "");
    const std::string material(hydraulics::SelectorText(t.input.material));
    const std::string designation =
        pipe.nominal.empty() ? std::string()
                             : network::PipeDesignation(material, pipe.nominal, pipe.dimensions);
    if (!pipe.nominal.empty()) row("管道规格", "", designation, "");
    row("管道内径", "d", In(t, t.input.diameter), "mm");
    if (t.roughnessUsed) row("当量绝对粗糙度", "K", In(t, t.roughness), "mm");
    if (appendix)
        row("局部阻力", "", "按摩擦阻力的 10% 计", "");
    else if (zeta)
        row("管件局部阻力系数之和", "Σζ", Shortest(*zeta), "");
    else
        row("局部阻力占摩擦阻力的比例", "n", Shortest(t.localLossFraction), "");
    if (low && (!appendix || t.rise != 0)) row("终点与起点高程差", "h", Shortest(t.rise), "m");
    if (t.zGiven) row("压缩因子（给定）", "Z", Shortest(t.z), "");
    w.Add(std::move(inputs), "计算参数");

    const std::string d = In(t, t.input.diameter);
    const std::string file = PipeFileText(pipe.pipeFile, pipe.fileTitle);
    // Steel and iron are identified by outside diameter and wall, PE by SDR.
    const bool identified = material == "PE管" ? pipe.dimensions.sdr.has_value()
                                               : pipe.dimensions.outer && pipe.dimensions.wall;
    const std::string only = identified ? "" : "；该文件只给出内径，未给出外径与壁厚";
    const bool matches = pipe.fileInner && (appendix ? static_cast<float>(*pipe.fileInner) ==
                                                           static_cast<float>(t.input.diameter)
                                                     : *pipe.fileInner == t.input.diameter);
    if (pipe.nominal.empty() || pipe.pipeFile.empty())
        w.Para("管道内径按给定值 d = " + d + " mm 计算，未引用管道参数文件。");
    else if (matches)
        w.Para("管道规格取自" + file + "：" + material + " " + designation + "，内径 " + d + " mm" +
               only + "。");
    else if (pipe.fileInner)
        w.Para("管道内径按给定值 d = " + d + " mm 计算；" + file + "中" + material + " " +
               designation + " 的内径为 " + In(t, *pipe.fileInner) + " mm" + only + "。");
    else
        w.Para(file + "中无" + material + " " + designation + " 的内径，管道内径按给定值 d = " + d +
               " mm 计算。");
}

void AddWorking(Writer& w, const SegmentTrace& t, const Precision& p, std::optional<double> zeta) {
    if (IsAppendix(t) && !t.passes.empty())
        AppendixWorking(w, t, p);
    else
        CurrentWorking(w, t, p, zeta);
    const bool low = IsLow(t);
    w.Para("按出口压力 P_{2} = " + PressureValue(Fixed(t.outlet, p.workingPressure), low) +
           " 计算实际流量，得最大流速 v_{max} = " + Fixed(t.maxVelocity, 3) + " m/s。");
}

void AddResults(Writer& w, const SegmentTrace& t, const Precision& p,
                const network::PressureScale& scale) {
    const bool low = IsLow(t);
    Table results;
    results.columns = {Col("序号", Align::Center, 1), Col("项　目", Align::Left, 5),
                       Col("符号", Align::Center, 4), Col("数　值", Align::Right, 3),
                       Col("单　位", Align::Left, 3)};
    auto row = [&](const std::string& name, const std::string& symbol, const std::string& value,
                   const std::string& unit) {
        results.rows.push_back({Text(std::to_string(results.rows.size() + 1)), Text(name),
                                Text(symbol), Text(value), Text(unit)});
    };
    const std::string lu = LossUnit(low);
    row("压力降", "ΔP = P_{1} − P_{2}", Fixed(scale.Drop(t.drop), scale.DropDecimals()),
        std::string(scale.DropUnitText()));
    row("出口压力", "P_{2}", Fixed(scale.Pressure(t.outlet), scale.PressureDecimals()),
        scale.PressureHeadingUnit());
    if (!low && scale.unit != network::PressureUnit::BarAbsolute)
        row("出口压力（绝对压力）", "P_{2}", Fixed(t.outlet, p.pressure), PressureUnit(low));
    if (!low) row("压力平方差", "P_{1}^{2} − P_{2}^{2}", Fixed(t.loss, p.loss), lu);
    row(low ? "摩擦阻力损失" : "其中：摩擦阻力", low ? "ΔP_{f}" : "(P_{1}^{2} − P_{2}^{2})_{f}",
        Fixed(t.frictionLoss, p.loss), lu);
    row(low ? "局部阻力损失" : "　　　局部阻力", low ? "ΔP_{j}" : "(P_{1}^{2} − P_{2}^{2})_{j}",
        Fixed(t.localLoss, p.loss), lu);
    if (low && (!IsAppendix(t) || t.rise != 0))
        row("附加压头", "ΔH", Fixed(t.additionalHead, p.pressure), "Pa");
    row("平均流速", "v", Fixed(t.meanVelocity, p.velocity), "m/s");
    row("最大流速（出口）", "v_{max}", Fixed(t.maxVelocity, p.velocity), "m/s");
    w.Add(std::move(results), "计算结果");
}

void AddChecks(Writer& w, const std::vector<CheckRow>& rows, const std::string& conclusion) {
    Table checks;
    checks.columns = {Col("序号", Align::Center, 1), Col("校核项目", Align::Left, 4),
                      Col("计算值", Align::Right, 4), Col("允许值", Align::Right, 4),
                      Col("结论", Align::Center, 2)};
    for (const CheckRow& r : rows)
        checks.rows.push_back({Text(std::to_string(checks.rows.size() + 1)), Text(r.item),
                               Text(r.value), Text(r.allowed), CheckCell(r.holds)});
    w.Add(std::move(checks), "校核");
    w.Para(conclusion);
}

}  // namespace gaspipe::sheet::detail
