#include "sizing.h"

namespace gaspipe::cli {

std::vector<SizingRow> SizeSegment(const PipeFile& pipes, const SegmentInput& base,
                                   const SizingLimits& limits) {
    std::vector<SizingRow> rows;
    const std::string material(hydraulics::SelectorText(base.segment.material));
    for (auto& nominal : pipes.NominalDiameters(material)) {
        SizingRow row;
        row.innerText = pipes.InnerDiameter(material, nominal);
        row.nominal = std::move(nominal);
        row.inner = ParseNumber(row.innerText, base.single());
        row.outcome.single = base.single();
        if (!row.inner) {
            row.outcome.status = Status::InputError;
            row.outcome.message = "no usable inner diameter for this nominal diameter";
        } else {
            SegmentInput in = base;
            in.segment.diameter = *row.inner;
            in.segment.start = 0;
            row.outcome = RunSegment(in);
            const auto& o = row.outcome;
            row.meets = o.status == Status::Ok && (!limits.maxDrop || o.drop <= *limits.maxDrop) &&
                        (!limits.maxVelocity || o.maxVelocity <= *limits.maxVelocity);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::size_t> SmallestFitting(const std::vector<SizingRow>& rows) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].meets && (!best || *rows[i].inner < *rows[*best].inner)) best = i;
    return best;
}

}  // namespace gaspipe::cli
