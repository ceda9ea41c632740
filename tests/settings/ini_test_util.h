// A scratch folder with one settings file, and raw access to its bytes.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "class_ini_file.h"

namespace gaspipe::test {

namespace fs = std::filesystem;

// iconv directly, so fixtures do not depend on the converter under test.
inline std::string Gbk(std::string utf8) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char *in = utf8.data(), *dst = out.data();
    std::size_t inLeft = utf8.size(), dstLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &dstLeft), std::size_t(-1)) << utf8;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

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
        std::string pattern = (fs::temp_directory_path() / "gaspipe-ini-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        return fs::path(pattern);
    }();
    const std::string path_ = (dir_ / "settings.ini").string();
    classIniFile ini_;
};

}  // namespace gaspipe::test
