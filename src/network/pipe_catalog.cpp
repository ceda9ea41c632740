#include "pipe_catalog.h"

#include <charconv>
#include <cmath>

#include "pipe_file.h"

namespace gaspipe::network {

namespace {

std::optional<double> Millimetres(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    double v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() ||
        !std::isfinite(v) || v <= 0)
        return std::nullopt;
    return v;
}

}  // namespace

PipeCatalog PipeCatalog::Read(const PipeFile& file, const Case& c) {
    PipeCatalog catalog;
    catalog.title_ = PipeFileTitle(file);
    for (const Segment& s : c.segments) {
        bool known = false;
        for (const auto& m : catalog.materials_) known = known || m.first == s.material;
        if (known) continue;
        std::vector<PipeSize> sizes;
        for (auto& nominal : file.NominalDiameters(s.material)) {
            const auto inner = Millimetres(file.InnerDiameter(s.material, nominal));
            PipeDimensions dimensions = ReadPipeDimensions(file, s.material, nominal);
            sizes.push_back({std::move(nominal), inner, std::move(dimensions)});
        }
        catalog.SetSizes(s.material, std::move(sizes));
    }
    return catalog;
}

void PipeCatalog::SetSizes(std::string material, std::vector<PipeSize> sizes) {
    for (auto& m : materials_) {
        if (m.first == material) {
            m.second = std::move(sizes);
            return;
        }
    }
    materials_.emplace_back(std::move(material), std::move(sizes));
}

const std::vector<PipeSize>& PipeCatalog::Sizes(std::string_view material) const {
    static const std::vector<PipeSize> kNone;
    for (const auto& m : materials_)
        if (m.first == material) return m.second;
    return kNone;
}

const PipeSize* PipeCatalog::Find(std::string_view material, std::string_view nominal) const {
    for (const PipeSize& size : Sizes(material))
        if (size.nominal == nominal) return &size;
    return nullptr;
}

}  // namespace gaspipe::network
