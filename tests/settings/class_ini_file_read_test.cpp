#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ini_storage.h"
#include "ini_test_util.h"

namespace gaspipe::test {

using IniRead = IniTest;

TEST_F(IniRead, NamesFindOnlyTheFirstMatchingEntry) {
    const std::string pe = Gbk("[PE管]\r\nPipeDia=20,25\r\n");
    const std::string blanks = "  [ a b ]  \r\n\t key one \t=  \t value  x \t \r\n";
    const std::string comments = "[a]\n;k=commented\n  ; [b]\nk=real\n[b]\nx=1\n";
    ExpectReads({
        {pe, "pe管", "pipedia", "20,25"},
        // 0x81 0x41 (丄) and 0x81 0x61 (乤) differ in a trail byte that looks like 'A' / 'a'.
        {"[\x81\x41]\nk=1\n", "丄", "k", "1"},
        {"[\x81\x41]\nk=1\n", "乤", "k", ""},
        {"[s]\n\x81\x61=1\n", "s", "丄", ""},
        {blanks, " a b ", " key one\t", "value  x"},
        {blanks, "ab", "keyone", ""},
        {comments, "a", "k", "real"},
        {comments, "a", ";k", ""},
        {"[a]\nk=first\nK=second\n", "a", "k", "first"},
        {"[a]\nk\nk=2\n", "a", "k", ""},
        {"[a]\nk=1\n[A]\nj=2\n", "a", "j", ""},
        {"k=1\n[a]\n", "a", "k", ""},
        {"[a]\nk=1\n", "b", "k", ""},
        {"[a]\n=1\n", "a", "", ""},
        // A name code page 936 cannot hold, or that is not UTF-8, must not be substituted.
        {"[a]\nk=1\n?=2\n", "a", "\xF0\x9F\x98\x80", ""},
        {"[a]\nk=1\n", "a", "\xFFk", ""},
        // 0xB0 0x5D is one character ending in ']': that line is no section header.
        {"[a]\nk=1\n[\xB0\x5D\nj=2\n", "a", "j", "2"},
    });
}

TEST_F(IniRead, ValuesAreTrimmedUnquotedAndCutOnAWholeCharacter) {
    std::string chinese, cut;
    for (int i = 0; i < 600; ++i) chinese += "管";
    for (int i = 0; i < 511; ++i) cut += "管";
    const std::string exact = "y" + std::string(1022, 'z');
    ExpectReads({
        {"[a]\r\nk=1\r\nj=2\r\n", "a", "j", "2"},
        {"[a]\nk=1\nj=2", "a", "j", "2"},
        {"[a]\rk=1\rj=2\r", "a", "k", "1"},
        {"[a]\nk='x y'\n", "a", "k", "x y"},
        {"[a]\nk=\"x'\n", "a", "k", "\"x'"},
        {"[a]\nk=\"\n", "a", "k", "\""},
        {"[a]\nk=\"   quoted\"\n", "a", "k", "quoted"},
        {std::string("[a]\nk=ab\0cd\n", 11), "a", "k", "ab"},
        {std::string("[a]\nk= \0x\n", 10), "a", "k", ""},
        {"[a]\nk=" + exact, "a", "k", exact},
        // The 512th character would take bytes 1023 and 1024: it goes whole.
        {"[a]\nk=" + Gbk(chinese), "a", "k", cut},
    });
}

TEST_F(IniRead, DamagedFilesStillRead) {
    const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
    const std::string huge(4 << 20, 'v');
    std::mt19937 random(936);
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage += static_cast<char>(random() & 0xFF);
    ExpectReads({
        // A lead byte before '0', an unassigned pair, a lead byte at the end.
        {"[a]\nk=x\x81"
         "0y\n",
         "a", "k", "x" + bad + "0y"},
        {"[a]\nk=x\xAA\xA1y\n", "a", "k", "x" + bad + "y"},
        {"[a]\nk=xy\x81", "a", "k", "xy" + bad},
        {"x=" + huge + "\n[a]\nk=1\n", "a", "k", "1"},
        {"[a]\nk=" + huge + "\n", "a", "k", std::string(1023, 'v')},
        {garbage + "\n[a]\nk=1\n" + garbage, "a", "k", "1"},
    });
}

TEST_F(IniRead, FileOverTheSizeLimitReadsAsMissingAndIsNotRewritten) {
    const std::string file = "[a]\nk=1\n";
    ini_storage::SetMaxFileBytesForTesting(file.size());
    ExpectReads({{file, "a", "k", "1"}});
    ini_storage::SetMaxFileBytesForTesting(file.size() - 1);
    ExpectReads({{file, "a", "k", ""}});
    ini_.WriteIniKey("a", "j", "2");
    ini_.DelIniSec("a");
    EXPECT_EQ(ReadBytes(path_), file);
    ini_storage::SetMaxFileBytesForTesting(ini_storage::kDefaultMaxFileBytes);
}

}  // namespace gaspipe::test
