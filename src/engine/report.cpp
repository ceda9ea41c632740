#include "report.h"

#include <charconv>
#include <system_error>

#include "calc_pipe_segment.h"
#include "checked.h"

namespace gaspipe {

std::string FormatFixed(float value, int decimals, const std::string& decimalSeparator) {
    char buf[64];
    // -0.0 prints as a plain zero; a negative value that rounds to zero keeps
    // its sign (-0.000), since the sign says which way the pressure went.
    const double shown = value == 0 ? 0.0 : static_cast<double>(value);
    // A float's magnitude is below 3.5e38, so 39 integer digits plus decimals
    // always fit.
    const auto res =
        std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed, decimals);
    std::string s(buf, res.ptr);
    if (decimalSeparator != ".")
        if (const auto dot = s.find('.'); dot != std::string::npos)
            s.replace(dot, 1, decimalSeparator);
    return s;
}

float HighMediumPressureDrop(float inletPressure, float outletPressure) {
    return detail::store(detail::C(inletPressure) - outletPressure);
}

std::vector<std::string> ReportLines(const std::string& pressureClass, const SegmentResult& r,
                                     const std::string& sep) {
    std::vector<std::string> lines;
    if (pressureClass == sel::kHighMedium) {
        const float drop = HighMediumPressureDrop(r.inletPressure, r.outletPressure);
        lines.push_back("压力降=    " + FormatFixed(drop, 3, sep) + "公斤");
        lines.push_back("出口压力=  " + FormatFixed(r.outletPressure, 3, sep) + "公斤");
        lines.push_back("压力平方差=" + FormatFixed(r.pressureLoss, 3, sep) + "公斤^2");
        lines.push_back("平均流速=  " + FormatFixed(r.meanVelocity, 3, sep) + "米/秒");
        lines.push_back("最大流速=  " + FormatFixed(r.maxVelocity, 3, sep) + "米/秒");
    }
    if (pressureClass == sel::kLow) {
        lines.push_back("压力降=  " + FormatFixed(r.pressureLoss, 2, sep) + "帕");
        lines.push_back("出口压力=" + FormatFixed(r.outletPressure, 2, sep) + "帕");
        lines.push_back("平均流速=" + FormatFixed(r.meanVelocity, 3, sep) + "米/秒");
        lines.push_back("最大流速=" + FormatFixed(r.maxVelocity, 3, sep) + "米/秒");
    }
    return lines;
}

}  // namespace gaspipe
