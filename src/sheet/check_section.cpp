// The appendix routine checked by the current code's method: the routine
// takes its Reynolds number from the actual velocity at the mean pressure,
// which the code does not, so a reviewer is shown how far apart the two are
// for the same inputs.
#include <cmath>
#include <string>

#include "numbers.h"
#include "sections.h"

namespace gaspipe::sheet::detail {

hydraulics::SegmentTrace CurrentCodeCheck(const hydraulics::SegmentTrace& t) {
    hydraulics::MethodOptions options;
    options.method = hydraulics::Method::Gb50028_2006;
    options.localLoss = 0.1;  // what the routine's constants hold
    if (t.rise != 0) options.rise = t.rise;
    return hydraulics::Calculate(t.input, options);
}

void AddCurrentCodeCheck(Writer& w, const hydraulics::SegmentTrace& t,
                         const network::PressureScale& scale) {
    const hydraulics::SegmentTrace c = CurrentCodeCheck(t);
    w.Para(
        "本程序单管段计算与现行规范方法（GB 50028-2006 第 6.2.5、6.2.6 条，紊流区 λ "
        "按柯列勃洛克公式，K 取默认值，局部阻力按摩擦阻力的 10% 计）对同一输入的结果对比如下，"
        "差值以现行规范方法为基准：");
    if (c.outcome != hydraulics::Outcome::Ok) {
        w.Para("现行规范方法对同一输入得不到有效结果：" + c.reason + "。");
        return;
    }
    Table table;
    table.columns = {Col("项　目", Align::Left, 4),     Col("符号", Align::Center, 2),
                     Col("本程序", Align::Right, 3),    Col("现行规范方法", Align::Right, 3),
                     Col("差值（%）", Align::Right, 2), Col("单　位", Align::Left, 3)};
    auto row = [&table](const std::string& name, const std::string& symbol, double routine,
                        double code, int decimals, const std::string& unit) {
        const std::string difference =
            code != 0 ? Fixed((routine - code) / std::abs(code) * 100, 1) : std::string("—");
        table.rows.push_back({Text(name), Text(symbol), Text(Fixed(routine, decimals)),
                              Text(Fixed(code, decimals)), Text(difference), Text(unit)});
    };
    row("雷诺数", "Re", t.reynolds, c.reynolds, 0, "");
    row("摩擦阻力系数", "λ", t.frictionFactor, c.frictionFactor, 5, "");
    row("压力降", "ΔP", scale.Drop(t.drop), scale.Drop(c.drop), scale.DropDecimals(),
        std::string(scale.DropUnitText()));
    row("出口压力", "P_{2}", scale.Pressure(t.outlet), scale.Pressure(c.outlet),
        scale.PressureDecimals(), scale.PressureHeadingUnit());
    w.Add(std::move(table), "按现行规范方法复核");
}

}  // namespace gaspipe::sheet::detail
