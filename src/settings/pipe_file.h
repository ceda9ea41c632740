// The pipe parameter file PipeParameters.Ini: one section per pipe material,
// "PipeDia" lists the nominal diameters, and one key per nominal diameter
// holds its inner diameter in millimetres as display text.
#pragma once

#include <string>
#include <vector>

#include "class_ini_file.h"

namespace gaspipe {

inline constexpr const char* kPipeFileName = "PipeParameters.Ini";

// Cuts a "PipeDia" value at every ','; pieces are kept character for
// character, empty pieces included. "" gives no entries.
std::vector<std::string> SplitPipeDia(const std::string& listText);

// The nominal diameters of a material, in file order ("PipeDia" split).
std::vector<std::string> ReadNominalDiameters(const classIniFile& ini, const std::string& material);

// The inner diameter text of one nominal diameter; "" when it has none.
std::string ReadInnerDiameter(const classIniFile& ini, const std::string& material,
                              const std::string& nominal);

}  // namespace gaspipe
