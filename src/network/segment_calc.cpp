#include "segment_calc.h"

namespace gaspipe::network::detail {

namespace {

SegmentStatus StatusOf(hydraulics::Outcome o) {
    switch (o) {
        case hydraulics::Outcome::Ok:
            return SegmentStatus::Ok;
        case hydraulics::Outcome::PipeTooSmall:
            return SegmentStatus::PipeTooSmall;
        case hydraulics::Outcome::CalcError:
            return SegmentStatus::CalcError;
        case hydraulics::Outcome::InputError:
            break;
    }
    return SegmentStatus::InputError;
}

}  // namespace

SegmentResult CalculateSegment(const SegmentCall& call, hydraulics::SegmentTrace* keep) {
    const Case& c = call.c;
    const Segment& s = call.segment;
    SegmentResult r;
    r.flow = call.flow;
    r.rise = call.rise;
    r.inlet = call.inlet;
    auto fail = [&](SegmentStatus status, std::string message) {
        r.status = status;
        r.message = std::move(message);
        return r;
    };

    const auto gas = hydraulics::GasFromText(c.gas.kind);
    const auto cls = hydraulics::ClassFromText(c.pressureClass);
    const auto material = hydraulics::MaterialFromText(s.material);
    if (!gas || !cls) return fail(SegmentStatus::InputError, "the case's gas or class is unknown");
    if (!material) return fail(SegmentStatus::InputError, UnknownMaterial(s.material));
    if (call.inner) {
        r.innerDiameter = *call.inner;
    } else if (s.innerDiameter) {
        r.innerDiameter = *s.innerDiameter;
    } else {
        const PipeSize* size = call.catalog.Find(s.material, s.nominal);
        if (!size)
            return fail(SegmentStatus::InputError, "nominal diameter '" + s.nominal +
                                                       "' is not in the pipe file's list for " +
                                                       s.material);
        if (!size->inner)
            return fail(
                SegmentStatus::InputError,
                "the pipe file gives no usable inner diameter for " + s.material + " " + s.nominal);
        r.innerDiameter = *size->inner;
    }
    if (s.simultaneity && !(*s.simultaneity > 0 && *s.simultaneity <= 1))
        return fail(SegmentStatus::InputError,
                    "the simultaneity factor must be above 0 and at most 1");

    hydraulics::SegmentInput in;
    in.gas = *gas;
    in.pressureClass = *cls;
    in.material = *material;
    in.density = c.gas.density;
    in.viscosity = c.gas.viscosity;
    in.temperature = c.gas.temperature;
    in.diameter = r.innerDiameter;
    in.length = s.length;
    in.flow = call.flow;
    in.inlet = call.inlet;
    in.start = 0;  // the appendix routine's outlet estimate, as sizing uses

    const bool low = *cls == hydraulics::PressureClass::Low;
    const bool appendix = c.method.method == Method::Appendix;
    hydraulics::MethodOptions options;
    options.method = appendix ? hydraulics::Method::Appendix : hydraulics::Method::Gb50028_2006;
    // A segment's own local_loss, zeta or roughness under the appendix method
    // reach the library, which refuses them with a clear message.
    options.localLoss = s.localLoss;
    options.zeta = s.zeta;
    options.roughness = s.roughness;
    if (!appendix) {
        if (!s.localLoss && !s.zeta) options.localLoss = c.method.localLoss;
        if (!s.roughness) options.roughness = MaterialRoughness(c.method, s.material);
        if (!low) options.z = c.method.z;
    }
    if (low) options.rise = call.rise;
    if (auto problem = hydraulics::Validate(in, options))
        return fail(SegmentStatus::InputError, problem->message);

    hydraulics::SegmentTrace t = hydraulics::Calculate(in, options);
    r.status = StatusOf(t.outcome);
    r.message = t.reason;
    if (r.status == SegmentStatus::Ok) {
        r.outlet = t.outlet;
        r.drop = t.drop;
        r.loss = t.loss;
        r.frictionLoss = t.frictionLoss;
        r.localLoss = t.localLoss;
        r.additionalHead = t.additionalHead;
        r.meanVelocity = t.meanVelocity;
        r.maxVelocity = t.maxVelocity;
        r.reynolds = t.reynolds;
        r.frictionFactor = t.frictionFactor;
        r.z = t.z;
        r.regime = t.regime;
        r.calculationLength = s.length + t.equivalentLength;
        r.unitFrictionLoss = t.frictionLoss / s.length;
        r.passes = static_cast<int>(t.passes.size());
    }
    if (keep) *keep = std::move(t);
    return r;
}

}  // namespace gaspipe::network::detail
