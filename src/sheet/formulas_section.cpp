// The basis and the formulas chapters: the method's source, its constants,
// and each formula as the calculation uses it, with its symbols.
#include <string>
#include <string_view>

#include "numbers.h"
#include "sections.h"

namespace gaspipe::sheet::detail {

namespace {

constexpr std::string_view kDesignCode = "《城镇燃气设计规范》GB 50028-2006（2020年版）";
constexpr std::string_view kProjectCode = "《燃气工程项目规范》GB 55009-2021";

using hydraulics::Material;
using hydraulics::Method;

bool Has(const FormulaScope& s, Material m) { return s.materials.count(m) > 0; }

std::string AppendixRoughness(const FormulaScope& s) {
    std::string text;
    if (Has(s, Material::Steel)) text += "钢管 0.1 mm（人工煤气 0.15 mm）";
    if (Has(s, Material::Pe)) text += std::string(text.empty() ? "" : "，") + "PE 管 0.01 mm";
    if (Has(s, Material::CastIron))
        text += std::string(text.empty() ? "" : "；") + "铸铁管按其专用公式计算，不取 K";
    return text;
}

std::string CurrentRoughness(const FormulaScope& s) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "，") + part; };
    if (Has(s, Material::Steel)) add("钢管 0.1 mm（人工煤气 0.15 mm）");
    if (Has(s, Material::Pe)) add("PE 管 0.01 mm");
    if (Has(s, Material::CastIron)) add("球墨铸铁管 0.2 mm");
    return text + "；另有给定值时按给定值";
}

}  // namespace

void AddBasis(Writer& w, const FormulaScope& s) {
    w.Chapter("计算依据");
    w.Para("1　" + std::string(kDesignCode) + "；");
    w.Para("2　" + std::string(kProjectCode) + "。");
    const std::string table = "表 " + std::to_string(w.chapter()) + "-1";
    Table constants;
    constants.columns = {Col("名　称", Align::Left, 3), Col("取　值", Align::Left, 3),
                         Col("说　明", Align::Left, 6)};
    auto row = [&constants](const std::string& a, const std::string& b, const std::string& c) {
        constants.rows.push_back({Text(a), Text(b), Text(c)});
    };
    if (s.method == Method::Appendix) {
        w.Para(
            "计算采用本程序的单管段计算程序：流态分界与摩擦阻力系数按 GB 50028-2006 附录 C "
            "的公式，阻力系数与换算常数为程序自有（" +
            table +
            "），局部阻力按摩擦阻力的 10% 计入阻力系数。程序的雷诺数由平均压力下的实际流速与标准"
            "状态的运动黏度求得，与规范由标准状态流量求得的雷诺数不同，紊流区的摩擦阻力系数"
            "与压力降随之不同；同一输入按现行规范方法的复核见计算结果之后。");
        if (s.low)
            row("低压阻力系数", "6.886×10^{7}", "6.26×10^{7}×1.1；压力降以 Pa、长度以 m 计");
        else
            row("高中压阻力系数", "1.397×10^{3}",
                "1.27×10^{10}×1.1 换算为压力以 10^{5} Pa、长度以 m 计");
        row("标准状态温度", "273.16 K", "实际流量换算（规范取 273.15 K）");
        row("标准大气压", s.low ? "101325 Pa" : "1.01325×10^{5} Pa", "实际流量换算");
        row("圆周率", "3.1416", "流速计算");
        row("当量绝对粗糙度 K", "见说明", AppendixRoughness(s));
        if (!s.low)
            row("压缩因子 Z", "经验近似公式",
                "未见规范或手册出处；起点压力不小于 13×10^{5} Pa（绝对压力，约 1.2 MPa 表压）时"
                "计入，否则 Z = 1");
        row("流态分界", "Re = 2100，3500", "层流区、临界区、紊流区（附录 C）");
        row("迭代收敛条件", "0.001", "相邻两次出口压力的相对变化");
    } else {
        w.Para(
            "摩擦阻力按 GB 50028-2006 第 6.2.5 条（低压）、第 6.2.6 条（高压、次高压、中压）"
            "计算，紊流区摩擦阻力系数按柯列勃洛克（Colebrook-White）公式以牛顿法迭代求解；"
            "局部阻力按第 6.2.7 条以摩擦阻力的百分数计，或按管件局部阻力系数之和 Σζ "
            "折算为当量长度计算；低压管道计入第 6.2.8 条的附加压头。常数见" +
            table + "。");
        if (s.low) {
            row("低压阻力系数", "6.26×10^{7}", "式 (6.2.5)；压力降以 Pa、长度以 m 计");
        } else {
            row("高中压阻力系数", "1.27×10^{10}",
                "式 (6.2.6)；压力以 kPa（绝对压力）、长度以 km 计");
        }
        row("标准状态温度 T_{0}", "273.15 K", "");
        row("标准大气压 P_{0}", "101325 Pa", "");
        if (s.low || s.additionalHead) {
            row("空气密度", "1.293 kg/m^{3}", "附加压头计算");
            row("重力加速度 g", "9.8 m/s^{2}", "附加压头计算");
        }
        row("当量绝对粗糙度 K", "见说明", CurrentRoughness(s));
        row("流态分界", "Re = 2100，3500", "层流区、临界区、紊流区（附录 C）");
        if (!s.low && !s.zGiven)
            row("压缩因子 Z", "经验近似公式",
                "未见规范或手册出处，适用于天然气；起点压力不小于 13.01325×10^{5} Pa（绝对压力，即"
                "表压 1.2 MPa）时计入，否则 Z = 1；按出口压力迭代至相对变化小于 10^{−12}。"
                "有实测或物性计算的 Z 时宜直接给定");
    }
    w.Add(std::move(constants), "计算常数");
    w.Para(std::string(s.low ? "低压管道压力为表压，以 Pa 计"
                             : "计算过程中高中压管道压力为绝对压力，以 10^{5} Pa 计，"
                               "结果另以表压（MPa）与压力降（kPa）列出") +
           "；流量、密度与运动黏度均为标准状态下的值。");
}

void AddFormulas(Writer& w, const FormulaScope& s) {
    w.Chapter("计算公式");
    const bool appendix = s.method == Method::Appendix;
    const bool iterated = appendix || (!s.low && !s.zGiven);
    if (appendix) {
        w.Para(
            "以出口压力迭代计算：由出口压力初值求平均压力、实际流量、流速、雷诺数与摩擦阻力系数，"
            "再求出口压力，直至相邻两次出口压力的相对变化小于 0.001。");
        w.Formula("pm", "P_{m} = (2/3)[P_{1} + P_{2}^{2}/(P_{1} + P_{2})]");
        if (!s.low) {
            w.Formula("z", "Z = 100/(100 + 0.12P_{m}^{1.15})",
                      "经验近似公式；P_{1} ≥ 13×10^{5} Pa，否则 Z = 1");
            w.Formula("qa", "Q_{a} = 1.01325QTZ/(273.16P_{m})");
        } else {
            w.Formula("qa", "Q_{a} = 101325QT/[273.16(P_{m} + 101325)]");
        }
        w.Formula("v", "v = (Q_{a}/3600)(4/3.1416)/(d/1000)^{2}");
        w.Formula("re", "Re = (d/1000)v/(ν×10^{−6})",
                  "v 为平均压力下的实际流速，ν 为标准状态运动黏度");
    } else {
        w.Formula("re", "Re = (Q/3600)/[(π/4)(d/1000)^{2}]·(d/1000)/(ν×10^{−6})",
                  "按标准状态流量计算");
    }
    w.Formula("lam-laminar", "λ = 64/Re", "Re ≤ 2100，层流区；附录 C");
    w.Formula("lam-critical", "λ = 0.03 + (Re − 2100)/(65Re − 10^{5})",
              "2100 < Re ≤ 3500，临界区；附录 C");
    if (!appendix) {
        w.Formula("lam-turbulent", "1/√λ = −2lg[K/(3.7d) + 2.51/(Re√λ)]",
                  "Re > 3500，紊流区；第 6.2.5 条");
    } else {
        if (Has(s, Material::Steel) || Has(s, Material::Pe))
            w.Formula("lam-turbulent", "λ = 0.11(K/d + 68/Re)^{0.25}",
                      "Re > 3500，紊流区，钢管、PE 管；附录 C");
        if (Has(s, Material::CastIron))
            w.Formula("lam-turbulent-cast", "λ = 0.102236(1/d + 5158dν×10^{−6}/Q)^{0.284}",
                      "Re > 3500，紊流区，铸铁管；附录 C");
    }
    if (appendix && s.low) {
        w.Formula("loss", "ΔP = 6.886×10^{7}λ(Q^{2}/d^{5})ρL(T/273.16)",
                  "程序常数，含 10% 局部阻力");
        w.Formula("p2", "P_{2} = P_{1} − ΔP");
    } else if (appendix) {
        w.Formula("loss", "P_{1}^{2} − P_{2}^{2} = 1.397×10^{3}λ(Q^{2}/d^{5})ρL(T/273.16)Z",
                  "程序常数，含 10% 局部阻力");
    } else {
        // A line can have segments with Σζ and segments with a fraction.
        const char* both = s.zeta && s.fraction ? "给定 Σζ 的管段" : "";
        if (s.zeta) w.Formula("le", "L_{e} = Σζ(d/1000)/λ", "管件局部阻力折算的当量长度");
        if (s.low) {
            w.Formula("loss", "ΔP_{f} = 6.26×10^{7}λ(Q^{2}/d^{5})ρ(T/T_{0})L", "第 6.2.5 条");
            if (s.fraction) w.Formula("local", "ΔP_{j} = nΔP_{f}", "第 6.2.7 条");
            if (s.zeta)
                w.Formula("local-zeta", "ΔP_{j} = 6.26×10^{7}λ(Q^{2}/d^{5})ρ(T/T_{0})L_{e}", both);
        } else {
            w.Formula("loss",
                      "(P_{1}^{2} − P_{2}^{2})_{f} = 1.27×10^{10}λ(Q^{2}/d^{5})ρ(T/T_{0})ZL",
                      "第 6.2.6 条；P 以 kPa、L 以 km 计");
            if (s.fraction)
                w.Formula("local", "(P_{1}^{2} − P_{2}^{2})_{j} = n(P_{1}^{2} − P_{2}^{2})_{f}",
                          "第 6.2.7 条");
            if (s.zeta)
                w.Formula(
                    "local-zeta",
                    "(P_{1}^{2} − P_{2}^{2})_{j} = 1.27×10^{10}λ(Q^{2}/d^{5})ρ(T/T_{0})ZL_{e}",
                    both);
            w.Para(
                "P 以 10^{5} Pa、L 与 L_{e} 以 m 计时，" + w.Ref("loss") +
                " 的常数为 1.27×10^{10}×(10^{2})^{−2}×10^{−3} = 1.27×10^{3}，计算过程按此代入。");
        }
    }
    if (appendix) w.Formula("rel", "δ = |P_{2}′ − P_{2}|/(P_{2}′ + P_{2})", "δ < 0.001 时迭代结束");
    if (s.low && (s.additionalHead || !appendix))
        w.Formula("head", "ΔH = 9.8(1.293 − ρ)h", "第 6.2.8 条");
    if (!appendix) {
        if (s.low) {
            w.Formula("p2", "P_{2} = P_{1} − ΔP_{f} − ΔP_{j} + ΔH");
        } else {
            w.Formula(
                "p2",
                "P_{2} = √[P_{1}^{2} − (P_{1}^{2} − P_{2}^{2})_{f} − (P_{1}^{2} − P_{2}^{2})_{j}]");
            if (iterated) {
                w.Formula("z", "Z = 100/(100 + 0.12P_{m}^{1.15})",
                          "经验近似公式；P_{1} ≥ 13.01325×10^{5} Pa，否则 Z = 1");
                w.Formula("rel", "δ = |P_{2} − P_{2}′|/P_{2}", "δ < 10^{−12} 时迭代结束");
            }
        }
        w.Formula("pm", "P_{m} = (2/3)[P_{1} + P_{2}^{2}/(P_{1} + P_{2})]", "以绝对压力计");
        w.Formula("qa", "Q_{a} = Q(P_{0}/P_{m})(T/T_{0})Z", "气体状态方程");
        w.Formula("v", "v = (Q_{a}/3600)/[(π/4)(d/1000)^{2}]");
    } else if (s.low && s.additionalHead) {
        w.Formula("p2-head", "P_{2} = P_{1} − ΔP + ΔH", "计入高程差的附加压头");
    }
    w.Para("最大流速 v_{max} 按出口压力 P_{2} 下的实际流量计算，公式同平均流速。");

    Symbols symbols;
    auto sym = [&symbols](const std::string& symbol, const std::string& meaning) {
        symbols.entries.emplace_back(ParseRich(symbol), meaning);
    };
    const std::string p = s.low ? "表压，Pa" : "绝对压力，10^{5} Pa";
    sym("P_{1}", "起点压力（" + p + "）");
    sym("P_{2}", "终点（出口）压力（" + p + "）");
    if (iterated) sym("P_{2}′", "上一次迭代的出口压力");
    sym("P_{m}", "平均压力");
    if (!s.low || !appendix) sym("Z", "压缩因子");
    sym("Q", "计算流量（标准状态），m^{3}/h");
    sym("Q_{a}", "实际流量，m^{3}/h");
    sym("v", "流速，m/s");
    sym("d", "管道内径，mm");
    sym("L", "管道计算长度，m");
    sym("ν", "运动黏度（标准状态），10^{−6} m^{2}/s");
    sym("ρ", "燃气密度（标准状态），kg/m^{3}");
    sym("T", "燃气温度，K");
    if (!appendix) sym("T_{0}、P_{0}", "标准状态温度 273.15 K 与压力 101325 Pa");
    sym("Re", "雷诺数");
    sym("λ", "摩擦阻力系数");
    sym("K", "管壁当量绝对粗糙度，mm");
    if (s.low)
        sym(appendix ? "ΔP" : "ΔP_{f}、ΔP_{j}",
            appendix ? "压力降，Pa" : "摩擦阻力损失、局部阻力损失，Pa");
    if (!s.low && !appendix)
        sym("(P_{1}^{2} − P_{2}^{2})_{f}、_{j}", "摩擦阻力、局部阻力引起的压力平方差");
    if (!appendix && s.fraction) sym("n", "局部阻力占摩擦阻力的比例");
    if (s.zeta) sym("Σζ、L_{e}", "管件局部阻力系数之和及其当量长度（m）");
    if (s.low && (s.additionalHead || !appendix)) {
        sym("h", "终点与起点的高程差，m");
        sym("ΔH", "附加压头，Pa");
    }
    if (iterated) sym("δ", "相邻两次出口压力的相对变化");
    w.Add(std::move(symbols));
}

}  // namespace gaspipe::sheet::detail
