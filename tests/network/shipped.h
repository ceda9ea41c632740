// The shipped pipe file's catalogue and row lookup for the network tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "case.h"
#include "class_ini_file.h"
#include "pipe_catalog.h"

namespace gaspipe::network::testing {

inline PipeCatalog ShippedCatalog(const Case& c) {
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    return PipeCatalog::Read(ini, c);
}

inline std::size_t Row(const Case& c, const std::string& id) {
    for (std::size_t i = 0; i < c.segments.size(); ++i)
        if (c.segments[i].id == id) return i;
    ADD_FAILURE() << "no segment " << id;
    return 0;
}

}  // namespace gaspipe::network::testing
