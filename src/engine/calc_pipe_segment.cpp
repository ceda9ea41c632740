#include "calc_pipe_segment.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "checked.h"

namespace gaspipe {

using detail::C;
using detail::pw;
using detail::store;

namespace {

constexpr float kRoughSteel = 0.1f;
constexpr float kRoughSteelManufactured = 0.15f;
constexpr float kRoughPe = 0.01f;
constexpr float kTolerance = 0.001f;

// The constant powers of ten, taken once with the same power function the
// formulas use, so the values are those of evaluating them in place.
const C kE3 = pw(10, 3);
const C kE5 = pw(10, 5);
const C kE7 = pw(10, 7);
const C kEm6 = pw(10, -6);

// Selector texts compared by length first: most differ in it, and no call
// to compare the bytes is needed then.
bool Is(const std::string& text, std::string_view selector) { return text == selector; }

struct Working {
    float K = 0;
    float P2old = 0;
    float Pm = 0;
    float Z = 0;
    float Qa = 0;
    float v = 0;
    float Re = 0;
    float lambda = 0;
    float rel = 0;
};

}  // namespace

namespace detail {

float Roughness(const std::string& gas, const std::string& material) {
    float K = 0;
    if (Is(material, sel::kSteel)) {
        if (Is(gas, sel::kLpg) || Is(gas, sel::kNaturalGas)) K = kRoughSteel;
        if (Is(gas, sel::kManufacturedGas)) K = kRoughSteelManufactured;
    }
    if (Is(material, sel::kPe)) K = kRoughPe;
    return K;
}

FrictionLaw FrictionLawOf(const std::string& material) {
    if (Is(material, sel::kSteel) || Is(material, sel::kPe)) return FrictionLaw::Altshul;
    if (Is(material, sel::kCastIron)) return FrictionLaw::CastIron;
    return FrictionLaw::None;
}

float Friction(FrictionLaw law, float K, float d, float nu, float Q, float Re, float previous) {
    if (Re <= 2100) return store(C(64) / Re);
    if (Re <= 3500) return store((C(Re) - 2100) / (C(65) * Re - kE5) + 0.03);
    switch (law) {
        case FrictionLaw::Altshul:
            return store(C(0.11) * pw(C(K) / d + C(68) / Re, 0.25));
        case FrictionLaw::CastIron:
            return store(C(0.102236) * pw(C(1) / d + C(5158) * d * kEm6 * nu / Q, 0.284));
        case FrictionLaw::None:
            break;
    }
    return previous;
}

float Friction(const std::string& material, float K, float d, float nu, float Q, float Re,
               float previous) {
    return Friction(FrictionLawOf(material), K, d, nu, Q, Re, previous);
}

void CalcPipeSegmentImpl(const SegmentSelectors& selectors, const float& sngDensity,
                         const float& sngViscosity, const float& sngTemperature,
                         const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                         const float& sngInletPressure, float& sngOutletPressure,
                         float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                         std::int16_t& intCalcError, int& passes, const CalcOptions& options) {
    const float P1 = sngInletPressure;
    const float Q = sngFlow;
    const float d = sngInnerDia;
    const float L = sngLength;
    const float rho = sngDensity;
    const float nu = sngViscosity;
    const float T = sngTemperature;
    const bool highMedium = selectors.highMedium;
    const bool low = selectors.low;
    const FrictionLaw law = selectors.law;

    // Powers of inputs only, the same in every pass; none of them can fail for
    // a float argument, so taking them once changes no result and no error.
    const C areaScale = pw(C(d) / 1000, 2);
    const C Q2 = pw(Q, 2);
    const C d5 = pw(d, 5);
    const C P1sq = pw(P1, 2);

    Working w;
    w.K = selectors.roughness;

    // Velocity from the actual flow; shared by the passes and the outlet state.
    auto velocity = [&](float Qa) { return store((C(Qa) / 3600 * 4 / 3.1416) / areaScale); };
    auto compressibility = [&](float p) {
        return P1 >= 13 ? store(C(100) / (pw(p, 1.15) * 0.12 + 100)) : 1.0f;
    };

    passes = 0;
    for (;;) {
        if (passes == options.maxPasses)
            throw CalcError(CalcError::Kind::NoConvergence, "outlet pressure does not settle");
        ++passes;

        w.P2old = sngOutletPressure;
        w.Pm = store(C(2) / 3 * (C(P1) + pw(w.P2old, 2) / (C(P1) + w.P2old)));

        if (highMedium) {
            w.Z = compressibility(w.Pm);
            w.Qa = store(C(Q) * 1.01325 * T * w.Z / w.Pm / 273.16);
        } else if (low) {
            w.Qa = store(C(Q) * 101325 * T / (C(w.Pm) + 101325) / 273.16);
        }

        w.v = velocity(w.Qa);
        sngMeanVelocity = w.v;
        w.Re = store((C(d) / 1000 * w.v) / (kEm6 * nu));
        w.lambda = detail::Friction(law, w.K, d, nu, Q, w.Re, w.lambda);

        float P2 = w.P2old;
        auto record = [&] {
            const PassValues values{
                w.Pm, w.Z, w.Qa, w.v, w.Re, w.lambda, sngPressureLoss, sngOutletPressure, w.rel};
            if (options.trace) options.trace->push_back(values);
            if (options.last) *options.last = values;
        };
        if (highMedium) {
            sngPressureLoss =
                store(C(1.397) * kE3 * w.lambda * Q2 / d5 * rho * L * T / 273.16 * w.Z);
            const C x = P1sq - sngPressureLoss;
            if (x.value() <= 0) {
                record();
                intCalcError = -1;
                return;
            }
            P2 = store(pw(x, 0.5));
            sngOutletPressure = P2;
            if (P2 <= 1) {
                record();
                intCalcError = -1;
                return;
            }
        } else if (low) {
            sngPressureLoss = store(C(6.886) * kE7 * w.lambda * Q2 / d5 * rho * L * T / 273.16);
            P2 = store(C(P1) - sngPressureLoss);
            sngOutletPressure = P2;
            if (P2 <= 0) {
                record();
                intCalcError = -1;
                return;
            }
        }

        w.rel = store(abs((C(w.P2old) - P2) / (C(w.P2old) + P2)));
        record();
        if (w.rel < kTolerance) break;
    }

    const float P2 = sngOutletPressure;
    if (highMedium) {
        w.Z = compressibility(P2);
        w.Qa = store(C(Q) * 1.01325 * T * w.Z / P2 / 273.16);
    } else if (low) {
        w.Qa = store(C(Q) * 101325 * T / (C(P2) + 101325) / 273.16);
    }
    sngMaxVelocity = velocity(w.Qa);
}

}  // namespace detail

void CalcPipeSegmentCounted(const std::string& strGasKind, const std::string& strPressureClass,
                            const std::string& strPipeMaterial, const float& sngDensity,
                            const float& sngViscosity, const float& sngTemperature,
                            const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                            const float& sngInletPressure, float& sngOutletPressure,
                            float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                            std::int16_t& intCalcError, int& passes) {
    detail::CalcPipeSegmentImpl(ReadSelectors(strGasKind, strPressureClass, strPipeMaterial),
                                sngDensity, sngViscosity, sngTemperature, sngInnerDia, sngLength,
                                sngFlow, sngInletPressure, sngOutletPressure, sngPressureLoss,
                                sngMeanVelocity, sngMaxVelocity, intCalcError, passes, {});
}

void CalcPipeSegmentTraced(const std::string& strGasKind, const std::string& strPressureClass,
                           const std::string& strPipeMaterial, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes,
                           std::vector<PassValues>& trace) {
    detail::CalcPipeSegmentImpl(ReadSelectors(strGasKind, strPressureClass, strPipeMaterial),
                                sngDensity, sngViscosity, sngTemperature, sngInnerDia, sngLength,
                                sngFlow, sngInletPressure, sngOutletPressure, sngPressureLoss,
                                sngMeanVelocity, sngMaxVelocity, intCalcError, passes,
                                {kMaxPasses, &trace});
}

void CalcPipeSegmentTraced(const std::string& strGasKind, const std::string& strPressureClass,
                           const std::string& strPipeMaterial, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes, PassValues& last) {
    detail::CalcPipeSegmentImpl(ReadSelectors(strGasKind, strPressureClass, strPipeMaterial),
                                sngDensity, sngViscosity, sngTemperature, sngInnerDia, sngLength,
                                sngFlow, sngInletPressure, sngOutletPressure, sngPressureLoss,
                                sngMeanVelocity, sngMaxVelocity, intCalcError, passes,
                                {kMaxPasses, nullptr, &last});
}

void CalcPipeSegmentTraced(const SegmentSelectors& selectors, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes, PassValues& last) {
    detail::CalcPipeSegmentImpl(selectors, sngDensity, sngViscosity, sngTemperature, sngInnerDia,
                                sngLength, sngFlow, sngInletPressure, sngOutletPressure,
                                sngPressureLoss, sngMeanVelocity, sngMaxVelocity, intCalcError,
                                passes, {kMaxPasses, nullptr, &last});
}

SegmentSelectors ReadSelectors(const std::string& strGasKind, const std::string& strPressureClass,
                               const std::string& strPipeMaterial) {
    return {Is(strPressureClass, sel::kHighMedium), Is(strPressureClass, sel::kLow),
            detail::FrictionLawOf(strPipeMaterial), detail::Roughness(strGasKind, strPipeMaterial)};
}

void CalcPipeSegment(const std::string& strGasKind, const std::string& strPressureClass,
                     const std::string& strPipeMaterial, const float& sngDensity,
                     const float& sngViscosity, const float& sngTemperature,
                     const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                     const float& sngInletPressure, float& sngOutletPressure,
                     float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                     std::int16_t& intCalcError) {
    int passes = 0;
    CalcPipeSegmentCounted(strGasKind, strPressureClass, strPipeMaterial, sngDensity, sngViscosity,
                           sngTemperature, sngInnerDia, sngLength, sngFlow, sngInletPressure,
                           sngOutletPressure, sngPressureLoss, sngMeanVelocity, sngMaxVelocity,
                           intCalcError, passes);
}

}  // namespace gaspipe
