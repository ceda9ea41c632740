// The pipe parameter file PipeParameters.Ini: one section per pipe material,
// "PipeDia" lists the nominal diameters, and one key per nominal diameter
// holds its inner diameter in millimetres as display text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "class_ini_file.h"

namespace gaspipe {

inline constexpr const char* kPipeFileName = "PipeParameters.Ini";

// Cuts a "PipeDia" value at every ','; pieces are kept character for
// character, empty pieces included. "" gives no entries.
std::vector<std::string> SplitPipeDia(const std::string& listText);

// One version of the pipe file: every lookup through one PipeFile answers
// from the same version, even when the file is replaced meanwhile, so a list
// and its inner diameters always belong together. Values read as
// classIniFile::GetIniKey reads them. Each version is parsed once for all its
// lookups, and a file whose inode, size and times are those of the version
// read last is not read again.
class PipeFile {
  public:
    // The file that ini names, as it is now.
    explicit PipeFile(const classIniFile& ini);

    // false when the file is missing or cannot be read; it then has no entries.
    bool readable() const;
    // Why it cannot be read ("No such file or directory", ...).
    const std::string& problem() const;

    // The nominal diameters of a material, in file order ("PipeDia" split).
    std::vector<std::string> NominalDiameters(const std::string& material) const;
    // The inner diameter text of one nominal diameter; "" when it has none.
    std::string InnerDiameter(const std::string& material, const std::string& nominal) const;
    // Any other entry ("" when absent): the optional outside diameters,
    // walls and standards, which the window's reader never asks for.
    std::string Entry(const std::string& section, const std::string& key) const;

    struct Version;

  private:
    std::shared_ptr<const Version> version_;
};

// One lookup each, in the version of the file at the time of the call. A
// caller that needs both the list and inner diameters reads them through one
// PipeFile instead.
std::vector<std::string> ReadNominalDiameters(const classIniFile& ini, const std::string& material);
std::string ReadInnerDiameter(const classIniFile& ini, const std::string& material,
                              const std::string& nominal);

}  // namespace gaspipe
