#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "windows/history.h"

namespace qirt {
namespace {

std::string ReadAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF\xA8\xB8"), "АяЁё");
    EXPECT_EQ(Utf8ToCp1251("x[0]+Ж№"), "x[0]+\xC6\xB9");
    EXPECT_EQ(Utf8ToCp1251("日"), "?");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?"); // a cut sequence
}

TEST(FunctionHistory, ReadsAnyContent) {
    const std::string name = ::testing::TempDir() + "history_read.txt";
    std::string longLine(100000, 'a');
    WriteAll(name, std::string("x[0]^2\r\nx[1]\n\r\n") + std::string("a\0b", 3) + "\n" + longLine +
                       "\n\xC0\xC1");
    const auto lines = ReadFunctionHistory(name);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "x[0]^2");
    EXPECT_EQ(lines[1], "x[1]");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], std::string("a\0b", 3));
    EXPECT_EQ(lines[4], longLine);
    EXPECT_EQ(lines[5], "АБ"); // the last line has no line end
}

TEST(FunctionHistory, MissingFileIsCreatedEmpty) {
    const std::string name = ::testing::TempDir() + "history_missing.txt";
    std::remove(name.c_str());
    EXPECT_TRUE(ReadFunctionHistory(name).empty());
    EXPECT_EQ(ReadAll(name), "");
}

TEST(FunctionHistory, AppendsNewFormulasOnceAndKeepsEarlierLines) {
    const std::string name = ::testing::TempDir() + "history_save.txt";
    const std::string before = std::string("old\r\n\xC0\0z", 8); // no final line end
    WriteAll(name, before);
    SaveFunctionHistory("x[0]^2", name);
    SaveFunctionHistory("x[0]^2", name);  // already there
    SaveFunctionHistory("x[0]^2 ", name); // differs by a blank: a new line
    SaveFunctionHistory("old", name);
    EXPECT_EQ(ReadAll(name), before + "\r\nx[0]^2\r\nx[0]^2 \r\n");
    SaveFunctionHistory("Ж", name);
    EXPECT_EQ(ReadAll(name).substr(before.size()), "\r\nx[0]^2\r\nx[0]^2 \r\n\xC6\r\n");
}

TEST(FunctionHistory, UnwritablePlacesChangeNothing) {
    SaveFunctionHistory("x[0]", "/nonexistent-directory/funtion.txt");
    EXPECT_TRUE(ReadFunctionHistory("/nonexistent-directory/funtion.txt").empty());
}

} // namespace
} // namespace qirt
