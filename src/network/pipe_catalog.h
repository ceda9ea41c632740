// The pipe file's nominal diameters and inner diameters, read once for the
// materials of a case, so that solving and sizing thousands of segments never
// goes back to the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "case.h"
#include "class_ini_file.h"
#include "pipe_dimensions.h"
#include "pipe_file.h"

namespace gaspipe::network {

struct PipeSize {
    std::string nominal;
    std::optional<double> inner;  // mm; empty when the file has no usable number
    PipeDimensions dimensions;    // what the sheet names the pipe by
};

class PipeCatalog {
  public:
    // The lists of every material the case's segments use, all from one
    // version of the pipe file.
    static PipeCatalog Read(const PipeFile& file, const Case& c);
    static PipeCatalog Read(const classIniFile& ini, const Case& c) {
        return Read(PipeFile(ini), c);
    }

    void SetSizes(std::string material, std::vector<PipeSize> sizes);
    // In the file's order; empty for a material the file does not list.
    const std::vector<PipeSize>& Sizes(std::string_view material) const;
    const PipeSize* Find(std::string_view material, std::string_view nominal) const;
    // The file's own title; "" when it has none.
    const std::string& title() const { return title_; }

  private:
    std::vector<std::pair<std::string, std::vector<PipeSize>>> materials_;
    std::string title_;
};

}  // namespace gaspipe::network
