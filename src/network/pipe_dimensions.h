// How a reviewer identifies a pipe: steel by DN with its outside diameter
// and wall (DN100, D114.3×4.0), PE by dn and SDR (dn110 SDR11), ductile iron
// by DN and class, each with its standard. Optional entries of the pipe
// file, which older files lack and the window's reader never asks for:
//
//   [PipeParameters]  Title=…                 the file's own title
//   [钢管]            Standard=GB/T 3091-2008  the material's standard
//                     OD.100=114.3  Wall.100=4.0  Standard.200=GB/T 8163-2018
//   [PE管]            SDR=11
//   [铸铁管]          Class=K9
#pragma once

#include <optional>
#include <string>

#include "pipe_file.h"

namespace gaspipe::network {

struct PipeDimensions {
    std::optional<double> outer, wall;  // mm
    std::optional<double> sdr;          // PE's standard dimension ratio
    std::string pipeClass;              // "K9"
    std::string standard;               // the entry's, else the material's
};

PipeDimensions ReadPipeDimensions(const PipeFile& file, const std::string& material,
                                  const std::string& nominal);

// The file's own title; "" when it has none.
std::string PipeFileTitle(const PipeFile& file);

// "DN100（D114.3×4.0，GB/T 3091-2008）", "dn110 SDR11（GB 15558.1-2015）",
// "DN100 K9（GB/T 13295-2019）"; "DN100" alone without the entries.
std::string PipeDesignation(const std::string& material, const std::string& nominal,
                            const PipeDimensions& dimensions);

}  // namespace gaspipe::network
