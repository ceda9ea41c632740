// The calculation sheet of one segment, from its hydraulics trace: cover with
// the project fields and the sign-off table, the method's basis, the inputs
// with the pipe table entry, the formulas, the working, the results and the
// checks. Every figure is one the trace holds.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "document.h"
#include "hydraulics.h"
#include "pipe_dimensions.h"
#include "pressure_display.h"

namespace gaspipe::sheet {

struct Project {
    std::string name, number, stage, date, designer;  // 工程名称, 工程编号, 设计阶段, 日期, 设计人
    std::string organization, sheetNumber, revision;  // 设计单位, 计算书编号, 版次
};

// What the footer says about where the sheet came from.
struct Produced {
    std::string program = "gaspipe";
    std::string version;
    std::string time;  // "2024-05-01 10:30"
};

// This program at a moment, in local time.
Produced ProducedAt(std::time_t when);

// The pipe table entry behind the inner diameter.
struct PipeEntry {
    std::string nominal;                 // empty: the inner diameter was given without one
    std::string pipeFile;                // path of the pipe file (the sheet names only the file)
    std::optional<double> fileInner;     // the file's inner diameter for the entry, mm
    network::PipeDimensions dimensions;  // outside diameter, wall, standard, when the file has them
    std::string fileTitle;               // the pipe file's own title
};

// The pipe file's name without its folder, which is the user's machine's
// business, and its title.
std::string PipeFileText(const std::string& path, const std::string& title);

// Limits the results are checked against; absent ones are not checked.
struct Limits {
    std::optional<double> maxVelocity;  // m/s, on the maximum velocity
    std::optional<double> maxDrop;      // the class's pressure unit, on P1 − P2
};

struct SegmentSheet {
    Project project;
    Produced produced;
    hydraulics::SegmentTrace trace;  // outcome Ok
    PipeEntry pipe;
    Limits limits;
    std::optional<double> zeta;  // Σζ behind the trace's equivalent length, when given
    // What results and checks show high/medium pressures in.
    network::PressureUnit pressureUnit = network::kDefaultPressureUnit;
};

Document BuildSegmentSheet(const SegmentSheet& sheet);

// The method as the cover names it: the code's clauses, or the program's
// own routine with the code's friction laws.
std::string MethodCitation(hydraulics::Method method);

}  // namespace gaspipe::sheet
