#include "table_sheet.h"

#include <algorithm>

#include "numbers.h"
#include "profile.h"
#include "sections.h"

namespace gaspipe::sheet {

using namespace detail;
using network::SegmentResult;
using network::SegmentStatus;

namespace {

hydraulics::Method MethodOf(const network::Case& c) {
    return c.method.method == network::Method::Appendix ? hydraulics::Method::Appendix
                                                        : hydraulics::Method::Gb50028_2006;
}

std::string StatusText(const SegmentResult& r) {
    switch (r.status) {
        case SegmentStatus::Ok:
            break;
        case SegmentStatus::PipeTooSmall:
            return "管径太小";
        case SegmentStatus::NotCalculated:
            return "未计算";
        default:
            return "计算错误";
    }
    if (r.velocityOverLimit && r.dropOverLimit) return "流速、压降超限";
    if (r.velocityOverLimit) return "流速超限";
    if (r.dropOverLimit) return "压降超限";
    return "满足";
}

void AddInputs(Writer& w, const network::Case& c, const TableSheet& o, bool low,
               const std::string& tableRef) {
    w.Chapter("已知条件");
    Table t;
    t.columns = {Col("序号", Align::Center, 1), Col("名　称", Align::Left, 5),
                 Col("数　值", Align::Center, 4), Col("单　位", Align::Left, 3)};
    auto row = [&t](const std::string& name, const std::string& value, const std::string& unit) {
        t.rows.push_back(
            {Text(std::to_string(t.rows.size() + 1)), Text(name), Text(value), Text(unit)});
    };
    row("燃气种类", c.gas.kind, "");
    row("燃气密度（标准状态）ρ", Shortest(c.gas.density), "kg/m^{3}");
    row("运动黏度（标准状态）ν", Shortest(c.gas.viscosity), "10^{−6} m^{2}/s");
    row("燃气温度 T", Shortest(c.gas.temperature), "K");
    row("压力级制",
        c.pressureClass + "（" +
            std::string(network::PressureLevelName(network::SourceLevel(c.source.pressure, low))) +
            "）",
        "");
    row("气源节点", c.source.node, "");
    row(low ? "气源压力（表压）" : "气源压力（绝对压力）", Shortest(c.source.pressure),
        PressureUnit(low));
    if (!low) row("气源压力（表压）", Fixed(network::GaugeMPa(c.source.pressure, low), 4), "MPa");
    row("气源标高", Shortest(c.source.elevation), "m");
    if (c.limits.maxVelocity) row("允许最大流速", Shortest(*c.limits.maxVelocity), "m/s");
    if (c.limits.maxDrop) row("允许压力降", Shortest(*c.limits.maxDrop), PressureUnit(low));
    if (c.limits.appliancePressure)
        row("燃具额定压力 P_{n}", Shortest(*c.limits.appliancePressure), "Pa");
    if (c.method.method == network::Method::Appendix) {
        row("局部阻力", "按摩擦阻力的 10% 计", "");
    } else {
        row("局部阻力占摩擦阻力的比例 n（未另给定的管段）", Shortest(c.method.localLoss), "");
        for (const auto& r : c.method.roughness)
            row(r.material + "当量绝对粗糙度 K", Shortest(r.roughness), "mm");
        if (c.method.z && !low) row("压缩因子 Z（给定）", Shortest(*c.method.z), "");
    }
    w.Add(std::move(t), "计算参数");
    w.Para("各管段的管材、公称直径、长度与流量见" + tableRef + "；管道内径取自" +
           PipeFileText(o.pipeFile, o.catalog ? o.catalog->title() : std::string()) +
           "，另给定内径的管段按给定值。");
    if (!c.nodes.empty()) {
        Table nodes;
        nodes.widthPercent = 70;
        nodes.columns = {Col("节　点", Align::Center), Col("标高（m）", Align::Right),
                         Col("负荷（m^{3}/h）", Align::Right)};
        for (const network::Node& n : c.nodes)
            nodes.rows.push_back({Text(n.id), Text(Shortest(n.elevation)), Text(Shortest(n.load))});
        w.Add(std::move(nodes), "节点标高与负荷");
    }
}

void AddSketch(Writer& w, const network::Case& c, const network::Network& net) {
    w.Chapter("计算简图");
    SketchFigure figure;
    figure.tree = sketch::BuildTree(c, net.topology());
    figure.caption = "图 " + std::to_string(w.chapter()) + "-1　计算简图";
    w.Add(std::move(figure));
    w.Note(
        "注：■ 为气源，● 为节点，○ 为末端节点（其后为节点负荷）；管段上方为管段编号，下方为公称"
        "直径（钢管、铸铁管 DN，PE 管 dn）与管段长度 L。");
}

void AddTable(Writer& w, const network::Case& c, const network::Network& net, bool low) {
    const Precision p = TablePrecision(low);
    const std::string pu = "（" + PressureUnit(low) + "）";
    w.Chapter("水力计算表");
    Table t;
    t.density = Table::Density::Dense;
    t.columns = {Col("管段", Align::Center, 3),           Col("起点", Align::Center, 3),
                 Col("终点", Align::Center, 3),           Col("管材", Align::Center, 2),
                 Col("公称\n直径", Align::Center, 2),     Col("内径\n（mm）", Align::Right, 3),
                 Col("长度\n（m）", Align::Right, 3),     Col("流量\n（m^{3}/h）", Align::Right, 4),
                 Col("起点压力\n" + pu, Align::Right, 4), Col("终点压力\n" + pu, Align::Right, 4),
                 Col("压力降\n" + pu, Align::Right, 4)};
    if (low) t.columns.push_back(Col("附加压头\n（Pa）", Align::Right, 3));
    for (Column col :
         {Col("累计压降\n" + pu, Align::Right, 4), Col("平均流速\n（m/s）", Align::Right, 3),
          Col("最大流速\n（m/s）", Align::Right, 3), Col("Re", Align::Right, 3),
          Col("λ", Align::Right, 4), Col("校核", Align::Center, 3)})
        t.columns.push_back(std::move(col));
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const network::Segment& s = c.segments[i];
        const SegmentResult& r = net.results()[i];
        const bool known = r.status != SegmentStatus::NotCalculated;
        const bool ok = r.status == SegmentStatus::Ok;
        auto num = [](bool shown, double v, int decimals) {
            return Text(shown ? Fixed(v, decimals) : "—");
        };
        std::vector<Cell> row = {Text(s.id),
                                 Text(s.from),
                                 Text(s.to),
                                 Text(s.material),
                                 Text(s.nominal),
                                 num(known && r.innerDiameter > 0, r.innerDiameter, 1),
                                 Text(Shortest(s.length)),
                                 num(known, r.flow, 3),
                                 num(known, r.inlet, p.pressure),
                                 num(ok, r.outlet, p.pressure),
                                 num(ok, r.drop, p.pressure)};
        if (low) row.push_back(num(ok, r.additionalHead, p.pressure));
        Cell cumulative = num(ok, r.cumulativeDrop, p.pressure);
        Cell velocity = num(ok, r.maxVelocity, p.velocity);
        if (r.dropOverLimit) cumulative.check = Check::Fail;
        if (r.velocityOverLimit) velocity.check = Check::Fail;
        Cell status = Text(StatusText(r));
        status.check = r.ChecksHold() ? Check::Pass : Check::Fail;
        for (Cell cell : {cumulative, num(ok, r.meanVelocity, p.velocity), velocity,
                          num(ok, r.reynolds, 0), num(ok, r.frictionFactor, 5), status})
            row.push_back(std::move(cell));
        t.rows.push_back(std::move(row));
    }
    w.Add(std::move(t), "管网水力计算表");
    std::string note = low ? "注：压力为表压，单位 Pa；" : "注：压力为绝对压力，单位 10^{5} Pa；";
    note += "压力降为管段起点与终点压力之差，累计压降为气源压力与管段终点压力之差";
    if (low) note += "，附加压头为正时使终点压力升高";
    w.Note(note + "。");
    // Why a segment has no results; those below it only follow from it.
    std::size_t below = 0;
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const SegmentResult& r = net.results()[i];
        const std::string id = "管段 " + c.segments[i].id;
        switch (r.status) {
            case SegmentStatus::Ok:
                break;
            case SegmentStatus::PipeTooSmall:
                w.Note(id + " 管径太小，得不到有效的出口压力。");
                break;
            case SegmentStatus::NotCalculated:
                ++below;
                break;
            case SegmentStatus::InputError:
                w.Note(id + " 的输入不能计算：" + r.message + "。");
                break;
            case SegmentStatus::CalcError:
                w.Note(id + " 计算出错：" + r.message + "。");
                break;
        }
    }
    if (below) w.Note("另有 " + std::to_string(below) + " 个管段因上游管段未能计算而未计算。");
}

void AddSummary(Writer& w, const network::Case& c, const network::Network& net,
                const network::PressureScale& scale) {
    const Precision p = TablePrecision(scale.lowPressure);
    w.Chapter("校核结论");
    std::vector<CheckRow> rows;
    std::size_t calculated = 0;
    std::optional<std::size_t> fastest, deepest;
    for (std::size_t i = 0; i < net.results().size(); ++i) {
        const SegmentResult& r = net.results()[i];
        if (r.status != SegmentStatus::Ok) continue;
        ++calculated;
        if (!fastest || r.maxVelocity > net.results()[*fastest].maxVelocity) fastest = i;
        if (!deepest || r.cumulativeDrop > net.results()[*deepest].cumulativeDrop) deepest = i;
    }
    rows.push_back(
        {"各管段出口压力有效",
         std::to_string(calculated) + "/" + std::to_string(c.segments.size()) + " 个管段",
         "全部管段", calculated == c.segments.size()});
    if (c.limits.maxVelocity && fastest) {
        const SegmentResult& r = net.results()[*fastest];
        rows.push_back({"最大流速（管段 " + c.segments[*fastest].id + "）",
                        Fixed(r.maxVelocity, p.velocity) + " m/s",
                        "≤ " + Shortest(*c.limits.maxVelocity) + " m/s", !r.velocityOverLimit});
    }
    const auto maxDrop = network::EffectiveMaxDrop(c);
    if (maxDrop && deepest) {
        const SegmentResult& r = net.results()[*deepest];
        const std::string unit = " " + std::string(scale.DropUnitText());
        rows.push_back({"累计压力降（至节点 " + c.segments[*deepest].to + "）",
                        Fixed(scale.Drop(r.cumulativeDrop), scale.DropDecimals()) + unit,
                        "≤ " + Trimmed(scale.Drop(*maxDrop), scale.DropDecimals()) + unit,
                        !r.dropOverLimit});
    }
    std::string failing;
    for (std::size_t i = 0; i < c.segments.size(); ++i)
        if (!net.results()[i].ChecksHold())
            failing += (failing.empty() ? "" : "、") + c.segments[i].id;
    std::string conclusion = failing.empty() ? "校核结论：全部管段均满足要求。"
                                             : "校核结论：管段 " + failing +
                                                   " 不满足要求，应调整管径或相关参数后重新计算。";
    if (!c.limits.maxVelocity && !maxDrop)
        conclusion = "未给定允许流速与允许压力降，仅校核各管段的出口压力。" + conclusion;
    AddChecks(w, rows, conclusion);
}

}  // namespace

std::optional<std::size_t> LargestLossSegment(const network::Network& net) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < net.results().size(); ++i) {
        const SegmentResult& r = net.results()[i];
        if (r.status == SegmentStatus::Ok && (!best || r.loss > net.results()[*best].loss))
            best = i;
    }
    return best;
}

Project CaseProject(const network::Case& c) {
    return {c.project.name,     c.project.number,       c.project.stage,       c.project.date,
            c.project.designer, c.project.organization, c.project.sheetNumber, c.project.revision};
}

Document BuildTableSheet(const network::Case& c, const network::Network& net, const TableSheet& o) {
    const bool low = network::IsLowPressure(c);
    const hydraulics::Method method = MethodOf(c);
    const network::PressureScale scale = network::ScaleFor(low, o.pressureUnit);
    Document doc;
    doc.title = "燃气管道水力计算书";
    SetRunningTexts(doc, o.project, method, o.produced);
    AddCover(doc, o.project, "管网水力计算",
             c.pressureClass + "燃气管道，自" + c.source.node + "起共 " +
                 std::to_string(c.segments.size()) + " 个管段",
             MethodCitation(method), o.produced);

    FormulaScope scope;
    scope.method = method;
    scope.low = low;
    scope.zGiven = !low && c.method.z.has_value() && method != hydraulics::Method::Appendix;
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        if (auto m = hydraulics::MaterialFromText(c.segments[i].material))
            scope.materials.insert(*m);
        scope.zeta = scope.zeta || c.segments[i].zeta.has_value();
        scope.fraction = scope.fraction || !c.segments[i].zeta.has_value();
        if (i < net.results().size() && net.results()[i].rise != 0) scope.additionalHead = true;
    }

    Writer w(doc);
    AddBasis(w, scope);
    if (const auto maxDrop = network::EffectiveMaxDrop(c); maxDrop && !c.limits.maxDrop)
        w.Para("低压管道自调压装置至燃具的允许压力降按 0.75P_{n} + 150 Pa 计，P_{n} = " +
               Shortest(*c.limits.appliancePressure) + " Pa 时为 " + Shortest(*maxDrop) + " Pa。");
    // The table's chapter comes after these two, the formulas and the sketch.
    const std::string tableRef = "表 " + std::to_string(w.chapter() + 4) + "-1";
    AddInputs(w, c, o, low, tableRef);
    AddFormulas(w, scope);

    w.Add(PageBreak{Orientation::Landscape});
    AddSketch(w, c, net);
    AddTable(w, c, net, low);
    if (const auto lowest = network::LowestPressureSegment(net)) {
        w.Chapter("压力曲线");
        ProfileFigure figure;
        figure.profile = network::PressureProfile(c, net, *lowest);
        figure.lowPressure = low;
        figure.caption = "图 " + std::to_string(w.chapter()) + "-1　自气源" + c.source.node +
                         "至压力最低节点" + c.segments[*lowest].to + "的压力曲线";
        figure.widthMm = 230;
        figure.heightMm = 120;
        w.Add(std::move(figure));
    }
    w.Add(PageBreak{Orientation::Portrait});

    std::optional<std::size_t> detail = o.detail;
    const bool chosen = detail && *detail < net.results().size() &&
                        net.results()[*detail].status == SegmentStatus::Ok;
    if (!chosen) detail = LargestLossSegment(net);
    if (detail) {
        const network::Segment& s = c.segments[*detail];
        w.Chapter("管段 " + s.id + " 详细计算");
        w.Para(std::string(chosen ? "选取" : "取损失最大的") + "管段 " + s.id + "（" + s.from +
               " → " + s.to + "）给出详细计算过程，其余管段按相同方法计算，结果见" + tableRef +
               "。");
        const hydraulics::SegmentTrace trace = net.Trace(c, *detail);
        PipeEntry pipe;
        pipe.nominal = s.nominal;
        pipe.pipeFile = o.pipeFile;
        if (o.catalog) {
            pipe.fileTitle = o.catalog->title();
            if (const network::PipeSize* size = o.catalog->Find(s.material, s.nominal)) {
                pipe.fileInner = size->inner;
                pipe.spec = size->spec;
            }
        }
        const Precision p = TablePrecision(low);
        w.Section("计算参数");
        AddSegmentInputs(w, trace, pipe, s.zeta);
        w.Section("计算过程");
        AddWorking(w, trace, p, s.zeta);
        w.Section("计算结果");
        AddResults(w, trace, p, scale);
        if (method == hydraulics::Method::Appendix) {
            w.Section("按现行规范方法复核");
            AddCurrentCodeCheck(w, trace, scale);
        }
    }
    AddSummary(w, c, net, scale);
    return doc;
}

}  // namespace gaspipe::sheet
