// The gas properties a new calculation starts from for each kind of gas, at
// the standard state: the main window writes them into its boxes when a gas
// is chosen, and the calculation table's header does the same.
#pragma once

#include "hydraulics.h"

namespace gaspipe::hydraulics {

struct GasProperties {
    double density;    // kg/m³
    double viscosity;  // kinematic, 10⁻⁶ m²/s
};

constexpr GasProperties DefaultGasProperties(Gas g) {
    switch (g) {
        case Gas::ManufacturedGas:
            return {0.45, 25};
        case Gas::Lpg:
            return {2.38, 3.25};
        case Gas::NaturalGas:
            break;
    }
    return {0.7247, 14.5};
}

inline constexpr double kDefaultTemperature = 288;  // K

}  // namespace gaspipe::hydraulics
