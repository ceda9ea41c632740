#include "pipe_file.h"

namespace gaspipe {

namespace {
constexpr const char* kListKey = "PipeDia";
}

std::vector<std::string> SplitPipeDia(const std::string& listText) {
    std::vector<std::string> pieces;
    if (listText.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = listText.find(',', start);
        pieces.push_back(listText.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return pieces;
}

std::vector<std::string> ReadNominalDiameters(const classIniFile& ini,
                                              const std::string& material) {
    return SplitPipeDia(ini.GetIniKey(material, kListKey));
}

std::string ReadInnerDiameter(const classIniFile& ini, const std::string& material,
                              const std::string& nominal) {
    return ini.GetIniKey(material, nominal);
}

}  // namespace gaspipe
