#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <set>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::vector<std::string> Lines(const TFunctionHistory& h) {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < h.LineCount(); ++k) lines.push_back(h.LineUtf8(k));
    return lines;
}

std::vector<std::string> ReadLines(const std::string& name) {
    TFunctionHistory h(name);
    h.Read();
    return Lines(h);
}

TEST(FunctionHistory, ReadsAnyContent) {
    const std::string name = ::testing::TempDir() + "history_read.txt";
    std::string longLine(100000, 'a');
    WriteAll(name, std::string("x[0]^2\r\nx[1]\n\r\n") + std::string("a\0b", 3) + "\n" + longLine +
                       "\n\xC0\xC1");
    TFunctionHistory h(name);
    h.Read();
    const auto lines = Lines(h);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "x[0]^2");
    EXPECT_EQ(lines[1], "x[1]");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], std::string("a\0b", 3));
    EXPECT_EQ(lines[4], longLine);
    EXPECT_EQ(lines[5], "АБ"); // the last line has no line end
    EXPECT_EQ(h.LongestLine(), 4u);
}

TEST(FunctionHistory, CrLfAndCrAloneAllEndLines) {
    const std::string name = ::testing::TempDir() + "history_cr.txt";
    WriteAll(name, "a\rb\r\rc\r\nd\ne\r");
    EXPECT_EQ(ReadLines(name), (std::vector<std::string>{"a", "b", "", "c", "d", "e"}));
    // A formula already there on a CR-only line is not added again.
    TFunctionHistory h(name);
    h.Read();
    EXPECT_EQ(h.SaveFunctionHistory("b"), TFunctionHistory::TSaved::AlreadyThere);
    EXPECT_EQ(h.SaveFunctionHistory("e"), TFunctionHistory::TSaved::AlreadyThere);
    EXPECT_EQ(h.SaveFunctionHistory("f"), TFunctionHistory::TSaved::Added);
    EXPECT_EQ(ReadAll(name), "a\rb\r\rc\r\nd\ne\rf\r\n");
}

TEST(FunctionHistory, MissingFileIsCreatedEmpty) {
    const std::string name = ::testing::TempDir() + "history_missing.txt";
    std::remove(name.c_str());
    EXPECT_TRUE(ReadLines(name).empty());
    EXPECT_EQ(ReadAll(name), "");
}

TEST(FunctionHistory, AppendsNewFormulasOnceAndKeepsEarlierLines) {
    const std::string name = ::testing::TempDir() + "history_save.txt";
    const std::string before = std::string("old\r\n\xC0\0z", 8); // no final line end
    WriteAll(name, before);
    TFunctionHistory h(name);
    h.Read();
    using S = TFunctionHistory::TSaved;
    EXPECT_EQ(h.SaveFunctionHistory(std::string("А\0z", 4)), S::AlreadyThere); // the open last line
    EXPECT_EQ(h.SaveFunctionHistory("x[0]^2"), S::Added);
    EXPECT_EQ(h.SaveFunctionHistory("x[0]^2"), S::AlreadyThere);
    EXPECT_EQ(h.SaveFunctionHistory("x[0]^2 "), S::Added); // differs by a blank: a new line
    EXPECT_EQ(h.SaveFunctionHistory("old"), S::AlreadyThere);
    EXPECT_EQ(ReadAll(name), before + "\r\nx[0]^2\r\nx[0]^2 \r\n");
    EXPECT_EQ(h.SaveFunctionHistory("Ж"), S::Added);
    EXPECT_EQ(ReadAll(name).substr(before.size()), "\r\nx[0]^2\r\nx[0]^2 \r\n\xC6\r\n");
    // The list shows what was read at start.
    EXPECT_EQ(h.LineCount(), 2u);
}

TEST(FunctionHistory, SeesWhatOtherProgramsAppendedOrRewrote) {
    const std::string name = ::testing::TempDir() + "history_others.txt";
    WriteAll(name, "a\r\nb");
    TFunctionHistory mine(name), theirs(name);
    mine.Read();
    theirs.Read();
    using S = TFunctionHistory::TSaved;
    EXPECT_EQ(theirs.SaveFunctionHistory("c"), S::Added);
    EXPECT_EQ(mine.SaveFunctionHistory("c"), S::AlreadyThere); // read from the tail
    // Another program continued the open last line "b" into "bx".
    WriteAll(name, "a\r\nbx");
    EXPECT_EQ(mine.SaveFunctionHistory("b"), S::Added);
    EXPECT_EQ(ReadAll(name), "a\r\nbx\r\nb\r\n");
    // The file was replaced by a shorter one.
    WriteAll(name, "z\n");
    EXPECT_EQ(mine.SaveFunctionHistory("a"), S::Added);
    EXPECT_EQ(mine.SaveFunctionHistory("z"), S::AlreadyThere);
    EXPECT_EQ(ReadAll(name), "z\na\r\n");
}

TEST(FunctionHistory, ManyLinesAreIndexedWithoutLosingAny) {
    const std::string name = ::testing::TempDir() + "history_many.txt";
    std::string content;
    for (int k = 0; k < 50000; ++k) content += "x[0]^" + std::to_string(k % 20000) + "\r\n";
    WriteAll(name, content);
    TFunctionHistory h(name);
    h.Read();
    ASSERT_EQ(h.LineCount(), 50000u);
    EXPECT_EQ(h.LineUtf8(49999), "x[0]^9999");
    using S = TFunctionHistory::TSaved;
    for (int k = 0; k < 20000; k += 997)
        EXPECT_EQ(h.SaveFunctionHistory("x[0]^" + std::to_string(k)), S::AlreadyThere) << k;
    EXPECT_EQ(h.SaveFunctionHistory("x[0]^20000"), S::Added);
}

// Two programs saving at the same moment: every line arrives whole, and a
// formula both of them save is there once.
TEST(FunctionHistory, TwoProgramsAppendingAtOnceNeitherSplitNorRepeatLines) {
    const std::string name = ::testing::TempDir() + "history_two.txt";
    WriteAll(name, "");
    auto formula = [](int k) { // over 4 KiB, so no single buffer holds it
        return "x[0]+" + std::to_string(k) + "*" + std::string(5000, '1') + "+x[1]";
    };
    std::vector<pid_t> children;
    for (int program = 0; program < 2; ++program) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            TFunctionHistory h(name);
            h.Read();
            // Half of the formulas are the other program's too.
            for (int k = 0; k < 300; ++k) h.SaveFunctionHistory(formula(k % 2 ? k : 1000 * program + k));
            std::_Exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> lines = ReadLines(name);
    std::set<std::string> expected, seen;
    for (int program = 0; program < 2; ++program)
        for (int k = 0; k < 300; ++k) expected.insert(formula(k % 2 ? k : 1000 * program + k));
    for (const std::string& line : lines) {
        EXPECT_TRUE(expected.count(line)) << "a broken line of " << line.size() << " bytes";
        EXPECT_TRUE(seen.insert(line).second) << "a repeated line";
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(lines.size(), 450u);
}

TEST(FunctionHistory, UnwritablePlacesChangeNothingAndSaySo) {
    TFunctionHistory missing("/nonexistent-directory/funtion.txt");
    missing.Read();
    EXPECT_EQ(missing.LineCount(), 0u);
    EXPECT_EQ(missing.SaveFunctionHistory("x[0]"), TFunctionHistory::TSaved::Failed);
    const std::string directory = ::testing::TempDir() + "history_dir";
    ::mkdir(directory.c_str(), 0755);
    TFunctionHistory dir(directory);
    dir.Read();
    EXPECT_EQ(dir.SaveFunctionHistory("x[0]"), TFunctionHistory::TSaved::Failed);
}

} // namespace
} // namespace qirt
