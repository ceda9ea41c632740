// A scratch folder with one settings file, and raw access to its bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "class_ini_file.h"
#include "test_platform.h"

namespace gaspipe::test {

namespace fs = std::filesystem;

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct ReadRow {
    std::string file, section, key, expected;
};

class IniTest : public ::testing::Test {
  protected:
    IniTest() { ini_.INIFileName(path_); }
    ~IniTest() override { fs::remove_all(dir_); }

    void ExpectReads(const std::vector<ReadRow>& rows) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            WriteBytes(path_, rows[i].file);
            EXPECT_EQ(ini_.GetIniKey(rows[i].section, rows[i].key), rows[i].expected)
                << "row " << i;
        }
    }

    // Counts temporary files left behind too.
    std::size_t Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }

    const fs::path dir_ = [] {
        std::mt19937 random{std::random_device{}()};
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path dir =
                fs::temp_directory_path() / ("gaspipe-ini-" + std::to_string(random()));
            if (fs::create_directory(dir)) return dir;
        }
        ADD_FAILURE() << "no scratch folder";
        return fs::path();
    }();
    const std::string path_ = (dir_ / "settings.ini").string();
    classIniFile ini_;
};

}  // namespace gaspipe::test
