#include "messages.h"

#include <QStringList>

#include "case_document.h"
#include "number_text.h"
#include "topology.h"

namespace gaspipe::table {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString OptionName(const std::string& option) {
    if (option == "local_loss") return QStringLiteral("局部阻力");
    if (option == "roughness") return QStringLiteral("粗糙度");
    return QStringLiteral("压缩因子 Z");
}

QString Ids(const network::CaseProblem& p, const network::Case& c) {
    return Q(network::SegmentList(c, p.segments));
}

}  // namespace

QString ProblemText(const network::CaseProblem& p, const network::Case& c) {
    using Kind = network::CaseProblem::Kind;
    const QString detail = QStringLiteral("（%1）").arg(Q(p.message));
    switch (p.kind) {
        case Kind::MissingId:
            return QStringLiteral("管段缺少编号、起点或终点") + detail;
        case Kind::DuplicateSegmentId:
            return QStringLiteral("管段编号重复：%1").arg(Ids(p, c));
        case Kind::DuplicateNodeId:
            return QStringLiteral("节点重复") + detail;
        case Kind::NoSource:
            return QStringLiteral("未指定气源节点");
        case Kind::SourceFed:
            return QStringLiteral("管段 %1 的终点是气源：管线只能由气源供气（不计算环状管网）")
                .arg(Ids(p, c));
        case Kind::FedTwice:
            return QStringLiteral(
                       "管段 %1 的终点相同：每个节点只能由一个管段供气（不计算环状管网和并联管）")
                .arg(Ids(p, c));
        case Kind::UnknownNode:
            return QStringLiteral("管段 %1 的起点既不是气源，也不是任何管段的终点").arg(Ids(p, c));
        case Kind::SecondSource:
            return QStringLiteral("管段 %1 的起点没有管段供气：一个计算只能有一个气源")
                .arg(Ids(p, c));
        case Kind::Loop:
            return QStringLiteral("管段 %1 构成环路：不计算环状管网").arg(Ids(p, c));
        case Kind::UnconnectedNode:
            return QStringLiteral("节点不在任何管段上，其负荷无处计入") + detail;
        case Kind::SourceListed:
            return QStringLiteral(
                       "节点列表另给了气源节点“%1”负荷或标高：气源按表头的标高计，不带负荷")
                .arg(Q(c.source.node));
        case Kind::OptionNotForMethod:
            return QStringLiteral(
                       "附录公式不用计算方法的%1（其常数已含 10% 的局部阻力）："
                       "改用 GB 50028-2006 公式，或再选一次附录公式将其清除")
                .arg(OptionName(p.subject));
        case Kind::OptionNotForClass:
            return QStringLiteral("压缩因子 Z 只用于高中压：再选一次低压将其清除");
        case Kind::UnknownRoughnessMaterial:
            return QStringLiteral(
                       "计算方法的粗糙度中，管材“%1”不是钢管、PE管或铸铁管："
                       "再选一次附录公式可清除粗糙度设置")
                .arg(Q(p.subject));
        case Kind::SharesNotForClass:
            return QStringLiteral("各部分的允许压降分配只用于低压：再选一次低压，或清除分配");
        case Kind::FractionWithoutTotal:
            return QStringLiteral(
                       "%1部分的允许压降按总允许压降的比例给出，但未给定允许压降"
                       "或燃具额定压力")
                .arg(Q(p.subject));
        case Kind::NoSimultaneityFile:
            return QStringLiteral("按户数计算流量需要同时工作系数文件 %1，但该文件不能读取")
                       .arg(Q(p.subject.empty() ? std::string(kSimultaneityFileName) : p.subject)) +
                   detail;
        case Kind::UnknownApplianceSet:
            return QStringLiteral("燃具组合“%1”不在同时工作系数文件中").arg(Q(p.subject)) + detail;
        case Kind::NoRatedFlow:
            return QStringLiteral(
                       "节点 %1 未给定燃具额定流量，同时工作系数文件也未给出该燃气种类的值")
                .arg(Q(p.subject));
        case Kind::InvalidValue:
            break;
    }
    return QStringLiteral("数据有误") + detail;
}

QString PressureUnit(bool lowPressure) {
    return lowPressure ? QStringLiteral("Pa") : QStringLiteral("10⁵ Pa");
}

QString RegimeText(hydraulics::Regime regime) {
    switch (regime) {
        case hydraulics::Regime::Laminar:
            return QStringLiteral("层流");
        case hydraulics::Regime::Critical:
            return QStringLiteral("临界");
        case hydraulics::Regime::Turbulent:
            break;
    }
    return QStringLiteral("紊流");
}

QString StatusText(const CaseDocument& doc, std::size_t row) {
    const auto& results = doc.network().results();
    if (row >= results.size()) return {};
    const network::SegmentResult& r = results[row];
    const QString detail = QStringLiteral("（%1）").arg(Q(r.message));
    switch (r.status) {
        case network::SegmentStatus::Ok:
            return {};
        case network::SegmentStatus::PipeTooSmall:
            return QStringLiteral("管径太小，无法满足要求") + detail;
        case network::SegmentStatus::CalcError:
            return QStringLiteral("计算出错") + detail;
        case network::SegmentStatus::InputError:
            return QStringLiteral("输入数据有误") + detail;
        case network::SegmentStatus::NotCalculated:
            break;
    }
    // Name the segment where it went wrong, however far up.
    const auto& topology = doc.network().topology();
    std::size_t up = row;
    while (up < topology.feeder.size() &&
           results[up].status == network::SegmentStatus::NotCalculated &&
           topology.feeder[up] != network::kNoSegment)
        up = topology.feeder[up];
    if (up == row) return QStringLiteral("未计算");
    return QStringLiteral("未计算：上游管段“%1”未能计算").arg(Q(doc.data().segments[up].id));
}

QString VelocityCheckText(const CaseDocument& doc, std::size_t row) {
    const auto& results = doc.network().results();
    if (row >= results.size() || !results[row].velocityOverLimit) return {};
    return QStringLiteral("最大流速 %1 m/s 超过限值 %2 m/s")
        .arg(RoundedText(results[row].maxVelocity, 2),
             ShortestText(doc.data().limits.maxVelocity.value_or(0)));
}

QString DropCheckText(const CaseDocument& doc, std::size_t row) {
    const auto& results = doc.network().results();
    if (row >= results.size() || !results[row].dropOverLimit) return {};
    const bool low = network::IsLowPressure(doc.data());
    const int decimals = low ? 1 : 5;
    return QStringLiteral("累计压降 %1 %3 超过允许压降 %2 %3")
        .arg(RoundedText(results[row].cumulativeDrop, decimals),
             RoundedText(network::EffectiveMaxDrop(doc.data()).value_or(0), decimals),
             PressureUnit(low));
}

QString RowMessage(const CaseDocument& doc, std::size_t row) {
    QStringList lines;
    for (const QString& line : {doc.RowProblem(row), StatusText(doc, row),
                                VelocityCheckText(doc, row), DropCheckText(doc, row)})
        if (!line.isEmpty()) lines << line;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace gaspipe::table
