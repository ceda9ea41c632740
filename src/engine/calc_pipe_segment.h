// Hydraulics of one gas pipe segment (module Module2).
//
// The window's calculate command hands its state fields to CalcPipeSegment by
// reference; the routine iterates the outlet pressure and writes the results
// straight back into the caller's fields. Every quantity is stored as a 32-bit
// float and every formula is evaluated in double, left to right, so results
// match the reference arithmetic to the last bit.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaspipe {

// Raised at the first arithmetic step that divides by zero, is invalid or
// overflows (also when a result does not fit a float), and when the iteration
// does not settle. The outputs written before that point keep their values.
class CalcError : public std::runtime_error {
  public:
    enum class Kind { DivideByZero, Invalid, Overflow, NoConvergence };

    CalcError(Kind kind, const char* what) : std::runtime_error(what), kind_(kind) {}
    Kind kind() const noexcept { return kind_; }

  private:
    Kind kind_;
};

// Real cases settle within about ten passes; this only stops a runaway.
inline constexpr int kMaxPasses = 1000;

// The fifteen arguments in the caller's order: selectors are UTF-8 texts, the
// diameter comes before the length. Arguments 1-10 are only read; the outlet
// pressure is the starting estimate on entry; intCalcError is only ever set to
// -1 (no valid outlet pressure), never cleared.
void CalcPipeSegment(const std::string& strGasKind, const std::string& strPressureClass,
                     const std::string& strPipeMaterial, const float& sngDensity,
                     const float& sngViscosity, const float& sngTemperature,
                     const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                     const float& sngInletPressure, float& sngOutletPressure,
                     float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                     std::int16_t& intCalcError);

// Same calculation; also reports how many passes ran (also when it ended early
// with the error flag or an exception, through `passes` written as it goes).
void CalcPipeSegmentCounted(const std::string& strGasKind, const std::string& strPressureClass,
                            const std::string& strPipeMaterial, const float& sngDensity,
                            const float& sngViscosity, const float& sngTemperature,
                            const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                            const float& sngInletPressure, float& sngOutletPressure,
                            float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                            std::int16_t& intCalcError, int& passes);

// Working values at the end of one pass (or at the early exit of a failing
// one): mean pressure, compressibility, actual flow, velocity, Reynolds number,
// friction factor, loss, outlet pressure and relative change. A pass that ends
// without a valid outlet keeps the previous pass's relative change.
struct PassValues {
    float Pm, Z, Qa, v, Re, lambda, loss, P2, rel;
};

// Same calculation; also appends every pass to `trace`, for callers that show
// the working.
void CalcPipeSegmentTraced(const std::string& strGasKind, const std::string& strPressureClass,
                           const std::string& strPipeMaterial, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes, std::vector<PassValues>& trace);

// Same calculation; `last` receives the working of the last pass only (left
// as it was when no pass recorded any), for callers that run many segments.
void CalcPipeSegmentTraced(const std::string& strGasKind, const std::string& strPressureClass,
                           const std::string& strPipeMaterial, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes, PassValues& last);

// Which turbulent friction law a material takes.
enum class FrictionLaw { Altshul, CastIron, None };

// What the calculation reads from its three selector texts. Callers that run
// many segments on the same few selectors read each set once, rather than
// have the texts compared in every call.
struct SegmentSelectors {
    bool highMedium = false;  // neither class: a text the calculation does not know
    bool low = false;
    FrictionLaw law = FrictionLaw::None;
    float roughness = 0;  // mm; 0 where the friction law takes none
};
SegmentSelectors ReadSelectors(const std::string& strGasKind, const std::string& strPressureClass,
                               const std::string& strPipeMaterial);

// The calculation with the last pass's working, as above, on selectors read
// beforehand.
void CalcPipeSegmentTraced(const SegmentSelectors& selectors, const float& sngDensity,
                           const float& sngViscosity, const float& sngTemperature,
                           const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                           const float& sngInletPressure, float& sngOutletPressure,
                           float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                           std::int16_t& intCalcError, int& passes, PassValues& last);

// Selector texts, shared by every caller that builds them.
namespace sel {
inline constexpr const char* kNaturalGas = "天然气";
inline constexpr const char* kManufacturedGas = "人工煤气";
inline constexpr const char* kLpg = "液化石油气";
inline constexpr const char* kHighMedium = "高中压";
inline constexpr const char* kLow = "低压";
inline constexpr const char* kSteel = "钢管";
inline constexpr const char* kPe = "PE管";
inline constexpr const char* kCastIron = "铸铁管";
}  // namespace sel

}  // namespace gaspipe
