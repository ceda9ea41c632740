#include "segment_columns.h"

#include <algorithm>
#include <array>

#include "case_document.h"
#include "messages.h"
#include "number_text.h"

namespace gaspipe::table {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString Optional(const std::optional<double>& v) { return v ? ShortestText(*v) : QString(); }

// The inner diameter the pipe file gives the segment's nominal diameter.
std::optional<double> CatalogInner(const CaseDocument& doc, const network::Segment& s) {
    const network::PipeSize* size = doc.catalog().Find(s.material, s.nominal);
    return size ? size->inner : std::nullopt;
}

}  // namespace

std::optional<network::LineColumn> CatalogColumn(int column) {
    using C = network::LineColumn;
    switch (column) {
        case kHouseholds:
            return C::Households;
        case kRatedFlow:
            return C::RatedFlow;
        case kFactor:
            return C::Simultaneity;
        case kCalculationLength:
            return C::CalculationLength;
        case kInlet:
            return C::Inlet;
        case kOutlet:
            return C::Outlet;
        case kDrop:
            return C::Drop;
        case kUnitFrictionLoss:
            return C::UnitFrictionLoss;
        case kFrictionLoss:
            return C::FrictionLoss;
        case kLocalLossValue:
            return C::LocalLoss;
        case kAdditionalHead:
            return C::AdditionalHead;
        case kCumulativeDrop:
            return C::CumulativeDrop;
        case kPartDrop:
            return C::PartDrop;
        case kMeanVelocity:
            return C::MeanVelocity;
        case kMaxVelocity:
            return C::MaxVelocity;
        case kReynolds:
            return C::Reynolds;
        case kRegime:
            return C::Regime;
        case kFrictionFactor:
            return C::FrictionFactor;
        default:
            return std::nullopt;
    }
}

QString ColumnTitle(int column, bool lowPressure) {
    return ColumnTitle(column, network::ScaleFor(lowPressure));
}

QString ColumnTitle(int column, const network::PressureScale& scale) {
    if (const auto catalog = CatalogColumn(column)) {
        // "(MPa，表压)": one pair of brackets in a narrow heading.
        const bool pressure = column == kInlet || column == kOutlet;
        const std::string unit =
            pressure ? std::string(scale.PressureUnitText()) + "，" + std::string(scale.Reference())
                     : network::ColumnUnit(*catalog, scale);
        QString name = Q(std::string(network::ColumnName(*catalog)));
        // Long names on two lines, as the input columns have them.
        for (const QString& prefix : {QStringLiteral("单位长度"), QStringLiteral("本部分")})
            if (name.startsWith(prefix)) name.insert(prefix.size(), QLatin1Char('\n'));
        name.replace(QLatin1Char(' '), QLatin1Char('\n'));
        return unit.empty() ? name : name + QStringLiteral("\n(") + Q(unit) + QLatin1Char(')');
    }
    switch (column) {
        case kId:
            return QStringLiteral("管段\n编号");
        case kFrom:
            return QStringLiteral("起点");
        case kTo:
            return QStringLiteral("终点");
        case kMaterial:
            return QStringLiteral("管材");
        case kNominal:
            return QStringLiteral("公称\n直径");
        case kInner:
            return QStringLiteral("内径\n(mm)");
        case kLength:
            return QStringLiteral("长度\n(m)");
        case kFlow:
            return QStringLiteral("计算流量 Q\n(m³/h)");
        case kLoad:
            return QStringLiteral("终点负荷\n(m³/h)");
        case kToHouseholds:
            return QStringLiteral("终点户数\nN");
        case kToAppliances:
            return QStringLiteral("终点燃具");
        case kToRatedFlow:
            return QStringLiteral("额定流量\nQn (m³/h)");
        case kPart:
            return QStringLiteral("所属\n部分");
        case kSimultaneity:
            return QStringLiteral("给定同时\n工作系数");
        case kElevation:
            return QStringLiteral("终点标高\n(m)");
        case kLocalLoss:
            return QStringLiteral("局部阻力\n(占沿程)");
        case kZeta:
            return QStringLiteral("局部阻力\n系数 Σζ");
        case kRoughness:
            return QStringLiteral("粗糙度\n(mm)");
        default:
            return {};
    }
}

bool ColumnApplies(const network::Case& c, int column) {
    switch (column) {
        case kLocalLoss:
        case kZeta:
        case kRoughness:
            return c.method.method == network::Method::Gb50028;
        case kAdditionalHead:
            return network::IsLowPressure(c);
        case kPart:
            return network::IsLowPressure(c);
        case kPartDrop:
            return network::UsesParts(c);
        case kToHouseholds:
        case kToAppliances:
        case kToRatedFlow:
            return network::IsLowPressure(c) || network::UsesHouseholds(c);
        case kHouseholds:
        case kRatedFlow:
        case kFactor:
            return network::UsesFlowBasis(c);
        default:
            return column >= 0 && column < kColumnCount;
    }
}

bool ColumnShown(const network::Case& c, int column) {
    if (ColumnApplies(c, column)) return true;
    if (column == kAdditionalHead || column == kPart || IsResultColumn(column)) return false;
    if (column != kLocalLoss && column != kZeta && column != kRoughness) return false;
    return std::any_of(c.segments.begin(), c.segments.end(), [column](const network::Segment& s) {
        return column == kLocalLoss ? s.localLoss.has_value()
               : column == kZeta    ? s.zeta.has_value()
                                    : s.roughness.has_value();
    });
}

Shown CellShown(const CaseDocument& doc, std::size_t row, int column) {
    const network::Case& c = doc.data();
    if (row >= c.segments.size()) return {};
    const network::Segment& s = c.segments[row];
    const network::Node* to = doc.FindNode(s.to);
    switch (column) {
        case kId:
            return {Q(s.id)};
        case kFrom:
            return {Q(s.from)};
        case kTo:
            return {Q(s.to)};
        case kMaterial:
            return {Q(s.material)};
        case kNominal:
            return {Q(s.nominal)};
        case kInner:
            if (s.innerDiameter) return {ShortestText(*s.innerDiameter)};
            if (const auto inner = CatalogInner(doc, s)) return {ShortestText(*inner), true};
            return {};
        case kLength:
            return {ShortestText(s.length)};
        case kFlow: {
            if (s.flow) return {ShortestText(*s.flow)};
            const auto& results = doc.network().results();
            if (row < results.size() &&
                results[row].status != network::SegmentStatus::NotCalculated)
                return {RoundedText(results[row].flow, 3), true};
            return {};
        }
        case kLoad:
            return {ShortestText(to ? to->load : 0)};
        case kToHouseholds:
            return {to && to->households ? ShortestText(*to->households) : QString()};
        case kToAppliances:
            return {to ? Q(to->appliances) : QString()};
        case kToRatedFlow: {
            if (!to) return {};
            if (to->ratedFlow) return {ShortestText(*to->ratedFlow)};
            const SimultaneityTable& factors = doc.factors();
            const auto set =
                network::HasHouseholds(*to) ? factors.FindSet(to->appliances) : std::nullopt;
            const auto rated = set ? factors.RatedFlow(*set, c.gas.kind) : std::nullopt;
            return rated ? Shown{ShortestText(*rated), true} : Shown{};
        }
        case kPart: {
            if (s.part) return {Q(std::string(network::PartName(*s.part)))};
            const auto& results = doc.network().results();
            if (row < results.size() && results[row].part)
                return {Q(std::string(network::PartName(*results[row].part))), true};
            return {};
        }
        case kSimultaneity:
            return {Optional(s.simultaneity)};
        case kElevation:
            return {ShortestText(to ? to->elevation : 0)};
        case kLocalLoss:
            if (s.localLoss) return {ShortestText(*s.localLoss)};
            if (!s.zeta && ColumnApplies(c, column))
                return {ShortestText(c.method.localLoss), true};
            return {};
        case kZeta:
            return {Optional(s.zeta)};
        case kRoughness:
            return {Optional(s.roughness)};
        default:
            break;
    }
    const auto catalog = CatalogColumn(column);
    if (!catalog || !ColumnApplies(c, column)) return {};
    const network::PressureScale scale = network::CaseScale(c);
    const network::ColumnCell cell = network::CellOf(*catalog, c, doc.network(), row, scale);
    if (network::IsTextColumn(*catalog)) return {Q(cell.text), !cell.typed && !cell.text.empty()};
    if (!cell.number) return {};
    return {FixedText(*cell.number, network::ColumnDecimals(*catalog, scale))};
}

QString CellEditText(const CaseDocument& doc, std::size_t row, int column) {
    const network::Case& c = doc.data();
    if (row >= c.segments.size() || IsResultColumn(column)) return {};
    const network::Segment& s = c.segments[row];
    switch (column) {
        case kInner:
            return Optional(s.innerDiameter);
        case kFlow:
            return Optional(s.flow);
        case kLocalLoss:
            return Optional(s.localLoss);
        case kToRatedFlow: {
            const network::Node* to = doc.FindNode(s.to);
            return to ? Optional(to->ratedFlow) : QString();
        }
        case kPart:
            return s.part ? Q(std::string(network::PartName(*s.part))) : QString();
        default:
            return CellShown(doc, row, column).text;
    }
}

QVariant CellSortValue(const CaseDocument& doc, std::size_t row, int column) {
    const network::Case& c = doc.data();
    if (row >= c.segments.size()) return {};
    const auto& results = doc.network().results();
    const network::Segment& s = c.segments[row];
    switch (column) {
        case kLength:
            return s.length;
        case kInner:
            if (row < results.size() && results[row].innerDiameter > 0)
                return results[row].innerDiameter;
            break;
        case kFlow:
            if (row < results.size() &&
                results[row].status != network::SegmentStatus::NotCalculated)
                return results[row].flow;
            break;
        default:
            break;
    }
    if (const auto catalog = CatalogColumn(column); catalog && IsNumberColumn(column)) {
        const network::ColumnCell cell =
            network::CellOf(*catalog, c, doc.network(), row, network::CaseScale(c));
        return cell.number ? QVariant(*cell.number) : QVariant();
    }
    const Shown shown = CellShown(doc, row, column);
    if (IsNumberColumn(column)) {
        if (const auto v = ParseNumber(shown.text)) return *v;
        return {};
    }
    return shown.text;
}

}  // namespace gaspipe::table
