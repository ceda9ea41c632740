// The writer of a build without Qt: HTML only, and a clear word for the rest.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "sheet_files.h"

namespace gaspipe::sheet {
namespace {

TEST(HtmlOnlyFiles, WritesHtmlAndSaysPdfNeedsQt) {
    Document doc;
    doc.title = "燃气管道水力计算书";
    const std::string dir = ::testing::TempDir();
    std::string error;
    EXPECT_FALSE(CanWrite(Format::Pdf));
    EXPECT_FALSE(WriteSheetFile(doc, dir + "sheet.pdf", error));
    EXPECT_EQ(error, "PDF and ODT need the build with Qt; this one writes .html");
    ASSERT_TRUE(WriteSheetFile(doc, dir + "sheet.HTM", error)) << error;
    std::ifstream in(dir + "sheet.HTM");
    const std::string page((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("<title>燃气管道水力计算书</title>"), std::string::npos);
    std::remove((dir + "sheet.HTM").c_str());
}

}  // namespace
}  // namespace gaspipe::sheet
