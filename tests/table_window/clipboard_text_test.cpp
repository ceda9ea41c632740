// Ranges as Excel, WPS and LibreOffice put them on the clipboard, and back.
#include <gtest/gtest.h>

#include "clipboard_text.h"

namespace gaspipe::table {
namespace {

struct ParseCase {
    const char* name;
    const char* text;
    CellBlock rows;
};

TEST(ClipboardText, ReadsWhatSpreadsheetsCopy) {
    const ParseCase cases[] = {
        {"nothing", "", {}},
        {"one cell with Excel's CRLF", "12.5\r\n", {{"12.5"}}},
        {"block with a trailing line break", "1\t2\n3\t4\n", {{"1", "2"}, {"3", "4"}}},
        {"last line without a break", "1\t2\n3\t4", {{"1", "2"}, {"3", "4"}}},
        {"empty cells keep their places", "\t2\n3\t\n", {{"", "2"}, {"3", ""}}},
        {"an empty row inside the block", "1\n\n2\n", {{"1"}, {""}, {"2"}}},
        {"quoted cell holding a tab, a line break and quotes",
         "\"a\tb\r\nc \"\"d\"\"\"\tx\n",
         {{"a\tb\nc \"d\"", "x"}}},
        {"a quote inside an unquoted cell is text", "5\" pipe\t1\n", {{"5\" pipe", "1"}}},
        {"a quote that never closes is text", "\"abc\t1\n", {{"\"abc", "1"}}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseClipboardTable(QString::fromUtf8(c.text)), c.rows);
    }
}

TEST(ClipboardText, WritesWhatItReadsBack) {
    const CellBlock block = {{"管段", "a\tb", "\"quoted\""}, {"", "two\nlines", "3.5"}};
    EXPECT_EQ(ToTabSeparated(block),
              QString::fromUtf8("管段\t\"a\tb\"\t\"\"\"quoted\"\"\"\n\t\"two\nlines\"\t3.5\n"));
    EXPECT_EQ(ParseClipboardTable(ToTabSeparated(block)), block);
    EXPECT_EQ(ToHtmlTable({{"<1>", "a\nb"}}),
              QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>"
                             "<tr><td>&lt;1&gt;</td><td>a<br>b</td></tr></table></body></html>"));
}

}  // namespace
}  // namespace gaspipe::table
