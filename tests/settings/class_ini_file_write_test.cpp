#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ini_test_util.h"

namespace gaspipe::test {

using IniWrite = IniTest;

TEST_F(IniWrite, OnlyAWriteCreatesAFileAndChineseReadsBack) {
    classIniFile elsewhere;
    elsewhere.INIFileName((dir_ / "missing/settings.ini").string());
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");
    EXPECT_EQ(elsewhere.GetIniKey("a", "k"), "");
    ini_.DelIniKey("a", "k");
    ini_.DelIniSec("a");
    elsewhere.WriteIniKey("a", "k", "1");
    EXPECT_EQ(Entries(), 0u);

    ini_.WriteIniKey("钢管", "说明", "天然气，低压");
    EXPECT_EQ(ReadBytes(path_), Gbk("[钢管]\r\n说明=天然气，低压\r\n"));
    EXPECT_EQ(ini_.GetIniKey("钢管", "说明"), "天然气，低压");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(IniWrite, ChineseFolderAndFileNames) {
    const fs::path dir = dir_ / u8"管网", file = dir / u8"管道参数.ini";
    fs::create_directory(dir);
    const std::u8string name = file.u8string();
    classIniFile ini;
    ini.INIFileName(std::string(name.begin(), name.end()));
    ini.WriteIniKey("钢管", "PipeDia", "15");
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(ini.GetIniKey("钢管", "PipeDia"), "15");
    ini.WriteIniKey("钢管", "PipeDia", "20");
    EXPECT_EQ(ini.GetIniKey("钢管", "PipeDia"), "20");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

TEST_F(IniWrite, EditsChangeOnlyTheirOwnLines) {
    using Edit = std::function<void(classIniFile&)>;
    auto set = [](std::string s, std::string k, std::string v) -> Edit {
        return [=](classIniFile& ini) { ini.WriteIniKey(s, k, v); };
    };
    auto delKey = [](std::string s, std::string k) -> Edit {
        return [=](classIniFile& ini) { ini.DelIniKey(s, k); };
    };
    auto delSec = [](std::string s) -> Edit { return [=](classIniFile& i) { i.DelIniSec(s); }; };
    const std::string a = "[a]\r\nk=1\r\n";
    const struct {
        std::string before;
        Edit edit;
        std::string after;
    } rows[] = {
        {"; pipes\r\n[A]\r\n  Key = old\r\nz=1\r\n\r\n[b]\r\nKey=other\r\n", set("a", "key", "new"),
         "; pipes\r\n[A]\r\n  Key=new\r\nz=1\r\n\r\n[b]\r\nKey=other\r\n"},
        {"[a]\nk=1\nk=2\n[a]\nk=3\n", set("a", "k", "new"), "[a]\nk=new\nk=2\n[a]\nk=3\n"},
        // A new key follows the last key of its section, with that line's break.
        {"[a]\nk=1\n; next comes b\n\n[b]\nx=1\n", set("a", "j", "2"),
         "[a]\nk=1\nj=2\n; next comes b\n\n[b]\nx=1\n"},
        {"[a]\n[b]\nx=1\n", set("A", "j", "2"), "[a]\nj=2\n[b]\nx=1\n"},
        {"[a]\nk=1\r\n[b]\n", set("a", "j", "2"), "[a]\nk=1\r\nj=2\r\n[b]\n"},
        {"[a]\nk=1", set("b", "x", "2"), "[a]\nk=1\n\n[b]\nx=2\n"},
        {"[a]", set("a", "x", "2"), "[a]\r\nx=2\r\n"},
        // Nothing that would not read back as written is written.
        {a, set("a", "k", "\xF0\x9F\x98\x80"), a},
        {a, set("a", "k", "1\r\n[b]"), a},
        {a, set("a", "k=j", "1"), a},
        {a, set("a", "[k]", "1"), a},
        {a, set("a", ";k", "1"), a},
        {a, set("", "k", "1"), a},
        {"[a]\r\nk=1\r\n; note\r\nj=2\r\nK=3\r\n[b]\r\nk=4\r\n[A]\r\nk=5\r\n", delKey("A", "k"),
         "[a]\r\n; note\r\nj=2\r\n[b]\r\nk=4\r\n[A]\r\n"},
        // The lone CR before the blank line's LF would otherwise read as one CRLF.
        {"[a]\rk=1\n\n[b]\n", delKey("a", "k"), "[a]\r\n\n[b]\n"},
        {"; top\n[b]\nx=1\n[a]\nk=1\nj=2\n\n[c]\ny=3\n[A]\nk=4", delSec("a"),
         "; top\n[b]\nx=1\n[c]\ny=3\n"},
        {a, delSec("b"), a},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        WriteBytes(path_, rows[i].before);
        rows[i].edit(ini_);
        EXPECT_EQ(ReadBytes(path_), rows[i].after) << "row " << i;
    }
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(IniWrite, FailedReplacementLeavesTheFileUntouched) {
    const std::string before = "[a]\nk=1\n";
    WriteBytes(path_, before);
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
    ini_.WriteIniKey("a", "k", "2");
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Entries(), 1u);
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(IniWrite, TemporaryFilesOfDeadWritersAreRemovedByTheNextWrite) {
    const std::string pid = std::to_string(EndedProcessId());
    const std::string self = std::to_string(CurrentProcessId());
    const std::vector<std::string> stale = {".settings.ini." + pid + "-0123abcd.tmp"};
    const std::vector<std::string> kept = {
        ".settings.ini." + self + "-0123abcd.tmp",  // a writer still running
        ".settings.ini." + pid + "-0123abcd.tmp~", ".settings.ini." + pid + "-0123ABCE.tmp",
        ".settings.ini." + pid + "-123abcd.tmp",   ".other.ini." + pid + "-0123abcd.tmp",
        "settings.ini." + pid + "-0123abcd.tmp",
    };
    for (const auto& name : stale) WriteBytes((dir_ / name).string(), "half");
    for (const auto& name : kept) WriteBytes((dir_ / name).string(), "half");
    ini_.WriteIniKey("a", "k", "1");
    for (const auto& name : stale) EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(dir_ / name)) << name;
    EXPECT_EQ(Entries(), kept.size() + 1);
}

}  // namespace gaspipe::test
