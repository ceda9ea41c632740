#include "segment_sheet.h"

#include "numbers.h"
#include "sections.h"

namespace gaspipe::sheet {

using namespace detail;

Produced ProducedAt(std::time_t when) {
    Produced p;
    p.version = GASPIPE_VERSION;
    char text[32] = "";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    p.time = text;
    return p;
}

std::string PipeFileText(const std::string& path, const std::string& title) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return "管道参数文件“" + name + "”" + (title.empty() ? "" : "（" + title + "）");
}

std::string MethodCitation(hydraulics::Method method) {
    return method == hydraulics::Method::Appendix
               ? "本程序单管段计算程序（摩擦阻力系数按 GB 50028-2006 附录 C）"
               : "《城镇燃气设计规范》GB 50028-2006（2020年版）第 6.2.5～6.2.8 条";
}

Document BuildSegmentSheet(const SegmentSheet& s) {
    const hydraulics::SegmentTrace& t = s.trace;
    const bool low = t.input.pressureClass == hydraulics::PressureClass::Low;
    const Precision p = SegmentPrecision(low);
    Document doc;
    doc.title = "燃气管道水力计算书";
    SetRunningTexts(doc, s.project, t.method, s.produced);
    const std::string diameter =
        s.pipe.nominal.empty()
            ? "内径 " + Shortest(t.input.diameter) + " mm"
            : network::PipeDesignation(std::string(hydraulics::SelectorText(t.input.material)),
                                       s.pipe.nominal, s.pipe.dimensions);
    AddCover(doc, s.project, "单管段水力计算",
             std::string(hydraulics::SelectorText(t.input.pressureClass)) + "燃气管道，" +
                 std::string(hydraulics::SelectorText(t.input.material)) + " " + diameter +
                 "，长 " + Shortest(t.input.length) + " m",
             MethodCitation(t.method), s.produced);

    FormulaScope scope;
    scope.method = t.method;
    scope.low = low;
    scope.materials = {t.input.material};
    scope.zeta = s.zeta.has_value();
    scope.fraction = !scope.zeta;
    scope.additionalHead = t.rise != 0;
    scope.zGiven = t.zGiven;

    Writer w(doc);
    AddBasis(w, scope);
    w.Chapter("已知条件");
    AddSegmentInputs(w, t, s.pipe, s.zeta);
    AddFormulas(w, scope);
    w.Chapter("计算过程");
    AddWorking(w, t, p, s.zeta);
    const network::PressureScale scale = network::ScaleFor(low, s.pressureUnit);
    w.Chapter("计算结果");
    AddResults(w, t, p, scale);
    if (t.method == hydraulics::Method::Appendix) AddCurrentCodeCheck(w, t, scale);

    w.Chapter("校核");
    std::vector<CheckRow> rows;
    rows.push_back({"出口压力", PressureValue(Fixed(t.outlet, p.pressure), low),
                    low ? "> 0 Pa" : "> 1×10^{5} Pa", true});
    if (s.limits.maxVelocity)
        rows.push_back({"最大流速", Fixed(t.maxVelocity, p.velocity) + " m/s",
                        "≤ " + Shortest(*s.limits.maxVelocity) + " m/s",
                        t.maxVelocity <= *s.limits.maxVelocity});
    if (s.limits.maxDrop) {
        const std::string unit = " " + std::string(scale.DropUnitText());
        rows.push_back({"压力降", Fixed(scale.Drop(t.drop), scale.DropDecimals()) + unit,
                        "≤ " + Trimmed(scale.Drop(*s.limits.maxDrop), scale.DropDecimals()) + unit,
                        t.drop <= *s.limits.maxDrop});
    }
    std::string failed;
    for (const CheckRow& r : rows)
        if (!r.holds) failed += (failed.empty() ? "" : "、") + r.item;
    std::string conclusion =
        failed.empty() ? "校核结论：各项均满足要求。"
                       : "校核结论：" + failed + "不满足要求，应调整管径或相关参数后重新计算。";
    if (!s.limits.maxVelocity && !s.limits.maxDrop)
        conclusion = "未给定允许流速与允许压力降，仅校核出口压力。" + conclusion;
    AddChecks(w, rows, conclusion);
    return doc;
}

}  // namespace gaspipe::sheet
