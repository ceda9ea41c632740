#include "table_sheet.h"

#include <algorithm>

#include "line_columns.h"
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

// A quoted sentence without its full stop, for the sentence around it.
std::string_view WithoutStop(std::string_view text) {
    while (text.ends_with("。")) text.remove_suffix(std::string_view("。").size());
    return text;
}

void AddInputs(Writer& w, const network::Case& c, const network::Network& net, const TableSheet& o,
               bool low, const std::string& tableRef) {
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
        const bool households = network::UsesHouseholds(c);
        if (households) {
            nodes.widthPercent = 100;
            for (Column col : {Col("户数 N", Align::Right), Col("燃具", Align::Center, 3),
                               Col("额定流量 Q_{n}（m^{3}/h）", Align::Right, 2)})
                nodes.columns.push_back(std::move(col));
        }
        for (const network::Node& n : c.nodes) {
            std::vector<Cell> row = {Text(n.id), Text(Shortest(n.elevation)),
                                     Text(Shortest(n.load))};
            if (households) {
                const bool has = network::HasHouseholds(n);
                std::optional<double> rated = n.ratedFlow;
                const SimultaneityTable* factors = net.factors();
                if (has && !rated && factors)
                    if (const auto set = factors->FindSet(n.appliances))
                        rated = factors->RatedFlow(*set, c.gas.kind);
                row.push_back(Text(has ? Shortest(*n.households) : "—"));
                row.push_back(Text(has ? n.appliances : "—"));
                row.push_back(Text(has && rated ? Shortest(*rated) : "—"));
            }
            nodes.rows.push_back(std::move(row));
        }
        w.Add(std::move(nodes), "节点标高与负荷");
        const SimultaneityTable* factors = net.factors();
        if (households && factors && factors->readable())
            w.Para(
                "居民用户的同时工作系数 k 按户数 N 取自" +
                (factors->source().empty() ? std::string("同时工作系数文件") : factors->source()) +
                "，表列户数之间线性插值" +
                (factors->note().empty()
                     ? std::string()
                     : "（" + std::string(WithoutStop(factors->note())) + "）") +
                "。");
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

// The allowed drop of each part of the route that has a share, and the total.
void AddShares(Writer& w, const network::Case& c, const network::PressureScale& scale) {
    std::string text;
    for (network::Part part :
         {network::Part::Street, network::Part::Courtyard, network::Part::Indoor}) {
        const auto share = network::PartAllowedDrop(c, part);
        if (!share) continue;
        text += (text.empty() ? "" : "，") + std::string(network::PartName(part)) + " " +
                Trimmed(scale.Drop(*share), scale.DropDecimals()) + " " +
                std::string(scale.DropUnitText());
    }
    if (text.empty()) return;
    w.Note(
        "注：允许压力降按管道所属部分分配：" + text +
        "；各部分管段的累计压降（本部分累计压降）按该部分的分配值校核，至各末端的累计压降按总允许"
        "压力降校核。");
}

// Units as the sheet's markup writes them: m^{3}/h, kPa^{2}/km, 10^{5} Pa.
std::string UnitMarkup(std::string unit) {
    for (auto [plain, markup] :
         {std::pair{"³", "^{3}"}, std::pair{"²", "^{2}"}, std::pair{"⁵", "^{5}"}}) {
        for (std::size_t at = unit.find(plain); at != std::string::npos; at = unit.find(plain))
            unit.replace(at, std::string_view(plain).size(), markup);
    }
    return unit;
}

// The catalogue's names broken into the short lines a narrow column of the
// landscape table holds; pressures without their reference, which the note
// under the table states.
std::string SheetHeading(network::LineColumn column) {
    using C = network::LineColumn;
    switch (column) {
        case C::Nominal:
            return "公称\n直径";
        case C::Length:
            return "管长\nL";
        case C::CalculationLength:
            return "计算\n长度";
        case C::Part:
            return "所属\n部分";
        case C::Households:
            return "户数\nN";
        case C::RatedFlow:
            return "额定\n流量\nQ_{n}";
        case C::Simultaneity:
            return "同时\n工作\n系数 k";
        case C::Flow:
            return "计算\n流量 Q";
        case C::Inlet:
            return "起点\n压力";
        case C::Outlet:
            return "终点\n压力";
        case C::UnitFrictionLoss:
            return "单位\n长度\n摩阻";
        case C::FrictionLoss:
            return "摩擦\n阻力";
        case C::LocalLoss:
            return "局部\n阻力";
        case C::AdditionalHead:
            return "附加\n压头";
        case C::CumulativeDrop:
            return "累计\n压降";
        case C::PartDrop:
            return "本部分\n累计\n压降";
        case C::MaxVelocity:
            return "最大\n流速";
        default:
            return std::string(network::ColumnName(column));
    }
}

int ColumnWidth(network::LineColumn column) {
    using C = network::LineColumn;
    switch (column) {
        case C::Material:
        case C::Nominal:
        case C::Part:
        case C::Households:
            return 2;
        case C::Flow:
        case C::Inlet:
        case C::Outlet:
        case C::Drop:
        case C::UnitFrictionLoss:
        case C::CumulativeDrop:
        case C::PartDrop:
            return 4;
        default:
            return 3;
    }
}

void AddTable(Writer& w, const network::Case& c, const network::Network& net,
              const network::PressureScale& scale) {
    using C = network::LineColumn;
    const bool low = scale.lowPressure;
    w.Chapter("水力计算表");
    // The working names the regime, Re and λ of the segment worked in full.
    std::vector<C> columns;
    for (C column : network::TableColumns(c))
        if (column != C::Reynolds && column != C::FrictionFactor && column != C::MeanVelocity)
            columns.push_back(column);
    Table t;
    t.density = Table::Density::Dense;
    for (C column : columns) {
        const bool pressure = column == C::Inlet || column == C::Outlet;
        const std::string unit =
            pressure ? std::string(scale.PressureUnitText()) : network::ColumnUnit(column, scale);
        const bool text = network::IsTextColumn(column);
        t.columns.push_back(
            Col(SheetHeading(column) + (unit.empty() ? "" : "\n（" + UnitMarkup(unit) + "）"),
                text ? Align::Center : Align::Right, ColumnWidth(column)));
    }
    bool typed = false;
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        std::vector<Cell> row;
        for (C column : columns) {
            const network::ColumnCell v = network::CellOf(column, c, net, i, scale);
            Cell cell = Text(network::IsTextColumn(column) ? (v.text.empty() ? "—" : v.text)
                             : v.number ? Fixed(*v.number, network::ColumnDecimals(column, scale)) +
                                              (v.typed ? "*" : "")
                                        : "—");
            typed = typed || (v.typed && v.number);
            if (v.failed) cell.check = Check::Fail;
            if (column == C::Check && !v.failed) cell.check = Check::Pass;
            row.push_back(std::move(cell));
        }
        t.rows.push_back(std::move(row));
    }
    w.Add(std::move(t), "管网水力计算表");
    std::string note = "注：压力为" + std::string(scale.Reference()) + "，单位 " +
                       UnitMarkup(std::string(scale.PressureUnitText())) +
                       "；压力降为管段起点与终点压力之差，累计压降为气源压力与管段终点压力之差";
    if (low) note += "，附加压头为正时使终点压力升高";
    note += "；计算长度为管长与局部阻力当量长度之和（未给定 Σζ 的管段即为管长）";
    if (network::UsesFlowBasis(c))
        note += "；计算流量 Q = Σ k·N·Q_{n}（按户数 N 查同时工作系数 k）另加非居民用户负荷";
    if (typed) note += "；带 * 者为管段给定的流量、同时工作系数或所属部分";
    w.Note(note + "。");
    AddShares(w, c, scale);
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
    for (network::Part part :
         {network::Part::Street, network::Part::Courtyard, network::Part::Indoor}) {
        const auto share = network::PartAllowedDrop(c, part);
        if (!share) continue;
        std::optional<std::size_t> worst;
        for (std::size_t i = 0; i < net.results().size(); ++i) {
            const SegmentResult& r = net.results()[i];
            if (r.status == SegmentStatus::Ok && r.part == part &&
                (!worst || r.partDrop > net.results()[*worst].partDrop))
                worst = i;
        }
        if (!worst) continue;
        const SegmentResult& r = net.results()[*worst];
        const std::string unit = " " + std::string(scale.DropUnitText());
        rows.push_back({std::string(network::PartName(part)) + "部分累计压降（至节点 " +
                            c.segments[*worst].to + "）",
                        Fixed(scale.Drop(r.partDrop), scale.DropDecimals()) + unit,
                        "≤ " + Trimmed(scale.Drop(*share), scale.DropDecimals()) + unit,
                        !r.partDropOverLimit});
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
    AddInputs(w, c, net, o, low, tableRef);
    AddFormulas(w, scope);

    w.Add(PageBreak{Orientation::Landscape});
    AddSketch(w, c, net);
    AddTable(w, c, net, scale);
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
                pipe.dimensions = size->dimensions;
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
