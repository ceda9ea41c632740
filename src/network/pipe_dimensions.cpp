#include "pipe_dimensions.h"

#include <charconv>
#include <cmath>

namespace gaspipe::network {

namespace {

std::optional<double> Number(const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

std::string Shortest(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Walls with their tenth of a millimetre: "4.0".
std::string Wall(double v) {
    std::string text = Shortest(v);
    return text.find('.') == std::string::npos ? text + ".0" : text;
}

}  // namespace

PipeDimensions ReadPipeDimensions(const PipeFile& file, const std::string& material,
                                  const std::string& nominal) {
    PipeDimensions dimensions;
    dimensions.outer = Number(file.Entry(material, "OD." + nominal));
    dimensions.wall = Number(file.Entry(material, "Wall." + nominal));
    dimensions.sdr = Number(file.Entry(material, "SDR"));
    dimensions.pipeClass = file.Entry(material, "Class");
    dimensions.standard = file.Entry(material, "Standard." + nominal);
    if (dimensions.standard.empty()) dimensions.standard = file.Entry(material, "Standard");
    return dimensions;
}

std::string PipeFileTitle(const PipeFile& file) { return file.Entry("PipeParameters", "Title"); }

std::string PipeDesignation(const std::string& material, const std::string& nominal,
                            const PipeDimensions& dimensions) {
    // Appended piece by piece: GCC 12 warns falsely about "D" + std::string
    // and its assignment.
    std::string text = material == "PE管" ? "dn" : "DN";
    text += nominal;
    std::string detail;
    if (material == "PE管") {
        if (dimensions.sdr) text += " SDR" + Shortest(*dimensions.sdr);
    } else {
        if (!dimensions.pipeClass.empty()) text += " " + dimensions.pipeClass;
        if (dimensions.outer && dimensions.wall) {
            detail.push_back('D');
            detail += Shortest(*dimensions.outer) + "×" + Wall(*dimensions.wall);
        }
    }
    if (!dimensions.standard.empty()) detail += (detail.empty() ? "" : "，") + dimensions.standard;
    return detail.empty() ? text : text + "（" + detail + "）";
}

}  // namespace gaspipe::network
