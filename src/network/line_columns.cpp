#include "line_columns.h"

#include <algorithm>

namespace gaspipe::network {

std::string_view ColumnName(LineColumn column) {
    switch (column) {
        case LineColumn::Id:
            return "管段";
        case LineColumn::From:
            return "起点";
        case LineColumn::To:
            return "终点";
        case LineColumn::Material:
            return "管材";
        case LineColumn::Nominal:
            return "公称直径";
        case LineColumn::Inner:
            return "内径";
        case LineColumn::Length:
            return "管长 L";
        case LineColumn::CalculationLength:
            return "计算长度";
        case LineColumn::Part:
            return "所属部分";
        case LineColumn::Households:
            return "户数 N";
        case LineColumn::RatedFlow:
            return "额定流量 Qn";
        case LineColumn::Simultaneity:
            return "同时工作系数 k";
        case LineColumn::Flow:
            return "计算流量 Q";
        case LineColumn::Inlet:
            return "起点压力";
        case LineColumn::Outlet:
            return "终点压力";
        case LineColumn::Drop:
            return "压力降";
        case LineColumn::UnitFrictionLoss:
            return "单位长度摩擦阻力损失";
        case LineColumn::FrictionLoss:
            return "摩擦阻力损失";
        case LineColumn::LocalLoss:
            return "局部阻力损失";
        case LineColumn::AdditionalHead:
            return "附加压头";
        case LineColumn::CumulativeDrop:
            return "累计压降";
        case LineColumn::PartDrop:
            return "本部分累计压降";
        case LineColumn::MeanVelocity:
            return "平均流速";
        case LineColumn::MaxVelocity:
            return "最大流速";
        case LineColumn::Reynolds:
            return "雷诺数 Re";
        case LineColumn::Regime:
            return "流态";
        case LineColumn::FrictionFactor:
            return "摩阻系数 λ";
        case LineColumn::Check:
            break;
    }
    return "校核";
}

std::string ColumnUnit(LineColumn column, const PressureScale& scale) {
    switch (column) {
        case LineColumn::Inner:
            return "mm";
        case LineColumn::Length:
        case LineColumn::CalculationLength:
            return "m";
        case LineColumn::RatedFlow:
        case LineColumn::Flow:
            return "m³/h";
        case LineColumn::Inlet:
        case LineColumn::Outlet:
            return scale.PressureHeadingUnit();
        case LineColumn::Drop:
        case LineColumn::CumulativeDrop:
        case LineColumn::PartDrop:
            return std::string(scale.DropUnitText());
        case LineColumn::UnitFrictionLoss:
            return scale.LossPerLengthUnitText();
        case LineColumn::FrictionLoss:
        case LineColumn::LocalLoss:
            return std::string(scale.LossUnitText());
        case LineColumn::AdditionalHead:
            return "Pa";
        case LineColumn::MeanVelocity:
        case LineColumn::MaxVelocity:
            return "m/s";
        default:
            return {};
    }
}

int ColumnDecimals(LineColumn column, const PressureScale& scale) {
    switch (column) {
        case LineColumn::Inner:
            return 1;
        case LineColumn::Length:
        case LineColumn::CalculationLength:
        case LineColumn::MeanVelocity:
        case LineColumn::MaxVelocity:
            return 2;
        case LineColumn::RatedFlow:
        case LineColumn::Simultaneity:
        case LineColumn::Flow:
            return 3;
        case LineColumn::Inlet:
        case LineColumn::Outlet:
            return scale.PressureDecimals();
        case LineColumn::Drop:
        case LineColumn::CumulativeDrop:
        case LineColumn::PartDrop:
            return scale.DropDecimals();
        case LineColumn::UnitFrictionLoss:
            return scale.LossPerLengthDecimals();
        case LineColumn::FrictionLoss:
        case LineColumn::LocalLoss:
            return scale.LossDecimals();
        case LineColumn::AdditionalHead:
            return 1;
        case LineColumn::FrictionFactor:
            return 5;
        default:
            return 0;
    }
}

bool IsTextColumn(LineColumn column) {
    switch (column) {
        case LineColumn::Id:
        case LineColumn::From:
        case LineColumn::To:
        case LineColumn::Material:
        case LineColumn::Nominal:
        case LineColumn::Part:
        case LineColumn::Regime:
        case LineColumn::Check:
            return true;
        default:
            return false;
    }
}

bool UsesParts(const Case& c) {
    return !c.limits.shares.empty() ||
           std::any_of(c.segments.begin(), c.segments.end(),
                       [](const Segment& s) { return s.part.has_value(); });
}

bool UsesFlowBasis(const Case& c) {
    return UsesHouseholds(c) || std::any_of(c.segments.begin(), c.segments.end(),
                                            [](const Segment& s) { return s.simultaneity; });
}

std::vector<LineColumn> TableColumns(const Case& c) {
    using C = LineColumn;
    std::vector<LineColumn> columns = {C::Id,      C::From,  C::To,     C::Material,
                                       C::Nominal, C::Inner, C::Length, C::CalculationLength};
    const bool parts = UsesParts(c);
    if (parts) columns.push_back(C::Part);
    if (UsesFlowBasis(c))
        columns.insert(columns.end(), {C::Households, C::RatedFlow, C::Simultaneity});
    columns.insert(columns.end(), {C::Flow, C::Inlet, C::Outlet, C::Drop, C::UnitFrictionLoss,
                                   C::FrictionLoss, C::LocalLoss});
    if (IsLowPressure(c)) columns.push_back(C::AdditionalHead);
    columns.push_back(C::CumulativeDrop);
    if (parts) columns.push_back(C::PartDrop);
    columns.insert(columns.end(),
                   {C::MeanVelocity, C::MaxVelocity, C::Reynolds, C::FrictionFactor, C::Check});
    return columns;
}

std::string_view RegimeWords(hydraulics::Regime regime) {
    switch (regime) {
        case hydraulics::Regime::Laminar:
            return "层流";
        case hydraulics::Regime::Critical:
            return "临界";
        case hydraulics::Regime::Turbulent:
            break;
    }
    return "紊流";
}

std::string CheckWords(const SegmentResult& r) {
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
    std::string text;
    auto add = [&](const char* what) { text += (text.empty() ? "" : "、") + std::string(what); };
    if (r.velocityOverLimit) add("流速超限");
    if (r.dropOverLimit) add("压降超限");
    if (r.partDropOverLimit) add("本部分压降超限");
    return text.empty() ? "满足" : text;
}

ColumnCell CellOf(LineColumn column, const Case& c, const Network& net, std::size_t row,
                  const PressureScale& scale) {
    ColumnCell cell;
    if (row >= c.segments.size() || row >= net.results().size()) return cell;
    const Segment& s = c.segments[row];
    const SegmentResult& r = net.results()[row];
    const bool known = r.status != SegmentStatus::NotCalculated;
    const bool ok = r.status == SegmentStatus::Ok;
    auto number = [&](bool shown, double v) {
        if (shown) cell.number = v;
        return cell;
    };
    switch (column) {
        case LineColumn::Id:
            cell.text = s.id;
            return cell;
        case LineColumn::From:
            cell.text = s.from;
            return cell;
        case LineColumn::To:
            cell.text = s.to;
            return cell;
        case LineColumn::Material:
            cell.text = s.material;
            return cell;
        case LineColumn::Nominal:
            cell.text = s.nominal;
            return cell;
        case LineColumn::Part:
            if (r.part) cell.text = PartName(*r.part);
            cell.typed = s.part.has_value();
            return cell;
        case LineColumn::Regime:
            if (ok) cell.text = RegimeWords(r.regime);
            return cell;
        case LineColumn::Check:
            cell.text = CheckWords(r);
            cell.failed = !r.ChecksHold();
            return cell;
        case LineColumn::Inner:
            return number(known && r.innerDiameter > 0, r.innerDiameter);
        case LineColumn::Length:
            return number(true, s.length);
        case LineColumn::CalculationLength:
            return number(ok, r.calculationLength);
        case LineColumn::Households:
            return number(r.households > 0, r.households);
        case LineColumn::RatedFlow:
            return number(r.ratedFlow.has_value(), r.ratedFlow.value_or(0));
        case LineColumn::Simultaneity:
            cell.typed = s.simultaneity.has_value();
            return number(r.simultaneity.has_value(), r.simultaneity.value_or(0));
        case LineColumn::Flow:
            cell.typed = s.flow.has_value();
            return number(true, r.flow);
        case LineColumn::Inlet:
            return number(known, scale.Pressure(r.inlet));
        case LineColumn::Outlet:
            cell.failed = r.dropOverLimit;
            return number(ok, scale.Pressure(r.outlet));
        case LineColumn::Drop:
            return number(ok, scale.Drop(r.drop));
        case LineColumn::UnitFrictionLoss:
            return number(ok, scale.LossPerLength(r.unitFrictionLoss));
        case LineColumn::FrictionLoss:
            return number(ok, scale.Loss(r.frictionLoss));
        case LineColumn::LocalLoss:
            return number(ok, scale.Loss(r.localLoss));
        case LineColumn::AdditionalHead:
            return number(ok && IsLowPressure(c), r.additionalHead);
        case LineColumn::CumulativeDrop:
            cell.failed = r.dropOverLimit;
            return number(ok, scale.Drop(r.cumulativeDrop));
        case LineColumn::PartDrop:
            cell.failed = r.partDropOverLimit;
            return number(ok && r.part.has_value(), scale.Drop(r.partDrop));
        case LineColumn::MeanVelocity:
            return number(ok, r.meanVelocity);
        case LineColumn::MaxVelocity:
            cell.failed = r.velocityOverLimit;
            return number(ok, r.maxVelocity);
        case LineColumn::Reynolds:
            return number(ok, r.reynolds);
        case LineColumn::FrictionFactor:
            break;
    }
    return number(ok, r.frictionFactor);
}

}  // namespace gaspipe::network
