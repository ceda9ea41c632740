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

const network::SegmentResult* Solved(const CaseDocument& doc, std::size_t row) {
    const auto& results = doc.network().results();
    if (row >= results.size() || results[row].status != network::SegmentStatus::Ok) return nullptr;
    return &results[row];
}

}  // namespace

QString ColumnTitle(int column, bool lowPressure) {
    const QString pressure = lowPressure ? QStringLiteral("(Pa)") : QStringLiteral("(绝压 10⁵ Pa)");
    const QString drop = lowPressure ? QStringLiteral("(Pa)") : QStringLiteral("(10⁵ Pa)");
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
            return QStringLiteral("流量\n(m³/h)");
        case kLoad:
            return QStringLiteral("终点负荷\n(m³/h)");
        case kSimultaneity:
            return QStringLiteral("同时\n工作系数");
        case kElevation:
            return QStringLiteral("终点标高\n(m)");
        case kLocalLoss:
            return QStringLiteral("局部阻力\n(占沿程)");
        case kZeta:
            return QStringLiteral("局部阻力\n系数 Σζ");
        case kRoughness:
            return QStringLiteral("粗糙度\n(mm)");
        case kInlet:
            return QStringLiteral("起点压力\n") + pressure;
        case kOutlet:
            return QStringLiteral("终点压力\n") + pressure;
        case kDrop:
            return QStringLiteral("压降\n") + drop;
        case kCumulativeDrop:
            return QStringLiteral("累计压降\n") + drop;
        case kAdditionalHead:
            return QStringLiteral("附加压头\n(Pa)");
        case kMeanVelocity:
            return QStringLiteral("平均流速\n(m/s)");
        case kMaxVelocity:
            return QStringLiteral("最大流速\n(m/s)");
        case kReynolds:
            return QStringLiteral("雷诺数\nRe");
        case kRegime:
            return QStringLiteral("流态");
        case kFrictionFactor:
            return QStringLiteral("摩阻\n系数 λ");
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
        default:
            return column >= 0 && column < kColumnCount;
    }
}

bool ColumnShown(const network::Case& c, int column) {
    if (ColumnApplies(c, column)) return true;
    if (column != kLocalLoss && column != kZeta && column != kRoughness) return false;
    return std::any_of(c.segments.begin(), c.segments.end(), [column](const network::Segment& s) {
        return column == kLocalLoss ? s.localLoss.has_value()
               : column == kZeta    ? s.zeta.has_value()
                                    : s.roughness.has_value();
    });
}

int ResultDecimals(int column, bool lowPressure) {
    switch (column) {
        case kInlet:
        case kOutlet:
        case kDrop:
        case kCumulativeDrop:
            return lowPressure ? 1 : 5;
        case kAdditionalHead:
            return 1;
        case kMeanVelocity:
        case kMaxVelocity:
            return 2;
        case kReynolds:
            return 0;
        case kFrictionFactor:
            return 5;
        default:
            return 0;
    }
}

Shown CellShown(const CaseDocument& doc, std::size_t row, int column) {
    const network::Case& c = doc.data();
    if (row >= c.segments.size()) return {};
    const network::Segment& s = c.segments[row];
    const network::Node* to =
        column == kLoad || column == kElevation ? doc.FindNode(s.to) : nullptr;
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
    const bool low = network::IsLowPressure(c);
    if (column == kInlet) {
        const auto& results = doc.network().results();
        if (row < results.size() && results[row].status != network::SegmentStatus::NotCalculated)
            return {FixedText(results[row].inlet, ResultDecimals(column, low))};
        return {};
    }
    const network::SegmentResult* r = Solved(doc, row);
    if (!r) return {};
    const int decimals = ResultDecimals(column, low);
    switch (column) {
        case kOutlet:
            return {FixedText(r->outlet, decimals)};
        case kDrop:
            return {FixedText(r->drop, decimals)};
        case kCumulativeDrop:
            return {FixedText(r->cumulativeDrop, decimals)};
        case kAdditionalHead:
            return {ColumnApplies(c, column) ? FixedText(r->additionalHead, decimals) : QString()};
        case kMeanVelocity:
            return {FixedText(r->meanVelocity, decimals)};
        case kMaxVelocity:
            return {FixedText(r->maxVelocity, decimals)};
        case kReynolds:
            return {FixedText(r->reynolds, decimals)};
        case kRegime:
            return {RegimeText(r->regime)};
        case kFrictionFactor:
            return {FixedText(r->frictionFactor, decimals)};
        default:
            return {};
    }
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
        default:
            return CellShown(doc, row, column).text;
    }
}

QVariant CellSortValue(const CaseDocument& doc, std::size_t row, int column) {
    const network::Case& c = doc.data();
    if (row >= c.segments.size()) return {};
    const auto& results = doc.network().results();
    const network::SegmentResult* r = Solved(doc, row);
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
        case kInlet:
            if (row < results.size() &&
                results[row].status != network::SegmentStatus::NotCalculated)
                return results[row].inlet;
            return {};
        case kOutlet:
            return r ? QVariant(r->outlet) : QVariant();
        case kDrop:
            return r ? QVariant(r->drop) : QVariant();
        case kCumulativeDrop:
            return r ? QVariant(r->cumulativeDrop) : QVariant();
        case kAdditionalHead:
            return r ? QVariant(r->additionalHead) : QVariant();
        case kMeanVelocity:
            return r ? QVariant(r->meanVelocity) : QVariant();
        case kMaxVelocity:
            return r ? QVariant(r->maxVelocity) : QVariant();
        case kReynolds:
            return r ? QVariant(r->reynolds) : QVariant();
        case kFrictionFactor:
            return r ? QVariant(r->frictionFactor) : QVariant();
        default:
            break;
    }
    const Shown shown = CellShown(doc, row, column);
    if (IsNumberColumn(column)) {
        if (const auto v = ParseNumber(shown.text)) return *v;
        return {};
    }
    return shown.text;
}

}  // namespace gaspipe::table
