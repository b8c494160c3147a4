#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "graph/track/track.h"

namespace qirt {
namespace {

std::string Text(Real v) {
    char out[23];
    TrackNumberText(v, out);
    return std::string(out, 23);
}

// The same form from the C library's exact conversion, for comparison.
std::string Reference(Real v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14LE", v);
    std::string s = text;
    const std::size_t e = s.find('E');
    int exponent = std::stoi(s.substr(e + 1));
    std::string mantissa = s.substr(0, e);
    if (mantissa[0] != '-') mantissa = " " + mantissa;
    if (v == 0) mantissa = " 0.00000000000000";
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + tail;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(TrackNumberText, FixedFormExamples) {
    EXPECT_EQ(Text(1.5L), " 1.50000000000000E+0000");
    EXPECT_EQ(Text(-0.001L), "-1.00000000000000E-0003");
    EXPECT_EQ(Text(0), " 0.00000000000000E+0000");
    EXPECT_EQ(Text(-0.0L), " 0.00000000000000E+0000");
    EXPECT_EQ(Text(123456789012345678.0L), " 1.23456789012346E+0017");
    EXPECT_EQ(Text(9.999999999999999L), " 1.00000000000000E+0001"); // rounds up a decade
    EXPECT_EQ(Text(std::numeric_limits<Real>::max()), " 1.18973149535723E+4932");
    EXPECT_EQ(Text(-std::numeric_limits<Real>::denorm_min()), "-3.64519953188247E-4951");
    EXPECT_EQ(Text(NAN), "                    Nan");
    EXPECT_EQ(Text(HUGE_VALL), "                   +Inf");
    EXPECT_EQ(Text(-HUGE_VALL), "                   -Inf");
}

TEST(TrackNumberText, AgreesWithTheExactConversionEverywhere) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> exponent(-4950, 4931);
    int checked = 0;
    for (int k = 0; k < 200000; ++k) {
        Real v;
        switch (k % 4) {
        case 0: // any value of the range
            v = mantissa(random) * std::pow(10.0L, exponent(random));
            break;
        case 1: // ordinary magnitudes
            v = Real(mantissa(random)) * std::pow(10.0L, exponent(random) % 20);
            break;
        case 2: { // 16 digits ending in 5: ties or within a hair of them
            const auto digits = random() % 9'000'000'000'000'000ULL + 1'000'000'000'000'000ULL;
            v = Real(digits / 10 * 10 + 5) * std::pow(10.0L, exponent(random) % 30 - 15);
            break;
        }
        default: { // raw bit patterns, denormals included
            Real r;
            auto bits = random();
            const auto top = static_cast<unsigned short>(random());
            if (top & 0x7fff) bits |= 1ULL << 63; // the explicit integer bit of a normal number
            static_assert(sizeof(Real) >= 10);
            std::memcpy(&r, &bits, 8);
            std::memcpy(reinterpret_cast<char*>(&r) + 8, &top, 2);
            if (!std::isfinite(r)) continue;
            v = r;
        }
        }
        if (random() & 1) v = -v;
        ASSERT_EQ(Text(v), Reference(v)) << static_cast<double>(v);
        ++checked;
    }
    EXPECT_GT(checked, 190000);
}

TEST(SaveTrack, EmptyTrackWritesTheCountAlone) {
    const std::string name = ::testing::TempDir() + "empty_track.txt";
    Tdata track;
    ASSERT_TRUE(SaveTrack(track, name, 2));
    EXPECT_EQ(ReadFile(name), "0\r\n");
}

TEST(SaveTrack, OneLinePerPointOfTheCurrentVariables) {
    const std::string name = ::testing::TempDir() + "two_points.txt";
    Tdata track;
    AddTrackPoint(track, Vector{1.5L, -0.001L, 7}, 2, 99);
    AddTrackPoint(track, Vector{0, 2}, 2, 98);
    ASSERT_TRUE(SaveTrack(track, name, 2));
    const std::string text = ReadFile(name);
    EXPECT_EQ(text,
              "2\r\n"
              " 1.50000000000000E+0000-1.00000000000000E-0003\r\n"
              " 0.00000000000000E+0000 2.00000000000000E+0000\r\n");
    EXPECT_EQ(track.Cursor, nullptr); // read to the end
    // The value stored with a point is never written.
    EXPECT_EQ(text.find("9.9"), std::string::npos);
}

TEST(SaveTrack, ClearedTrackAndUnwritableFile) {
    const std::string name = ::testing::TempDir() + "cleared_track.txt";
    Tdata track;
    AddTrackPoint(track, Vector{1}, 0, 0);
    ClearTrack(track); // Count stays 1, but there is no point to write
    ASSERT_TRUE(SaveTrack(track, name, 1));
    EXPECT_EQ(ReadFile(name), "0\r\n");
    EXPECT_FALSE(SaveTrack(track, "/nonexistent-directory/track.txt", 1));
}

} // namespace
} // namespace qirt

namespace qirt {
namespace {

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WriteWholeFile, AFailedWriteLeavesTheTargetAsItWasAndNothingBeside) {
    const std::string dir = ::testing::TempDir() + "whole_file";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string name = dir + "/t.txt";
    ASSERT_TRUE(WriteWholeFile(name, [](std::FILE* f) { return std::fputs("old\r\n", f) >= 0; }));
    ::chmod(name.c_str(), 0640);
    // Half written, then a failure: the old file stays, no partial one.
    EXPECT_FALSE(WriteWholeFile(name, [](std::FILE* f) {
        std::fputs("new, but not all of it", f);
        return false;
    }));
    std::ifstream in(name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "old\r\n");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"t.txt"});
    // A whole write replaces it and keeps its mode.
    ASSERT_TRUE(WriteWholeFile(name, [](std::FILE* f) { return std::fputs("new\r\n", f) >= 0; }));
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"t.txt"});
    // A folder that does not exist: false, nothing made.
    EXPECT_FALSE(WriteWholeFile(dir + "/no/such/t.txt", [](std::FILE*) { return true; }));
    std::filesystem::remove_all(dir);
}

std::string Contents(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Nothing that is not the regular file the user meant is ever replaced:
// links are followed, devices and FIFOs written in place, and what cannot
// be written is refused.
TEST(WriteWholeFile, LinksDevicesAndFifosKeepWhatTheyAre) {
    namespace fs = std::filesystem;
    const std::string dir = ::testing::TempDir() + "whole_file_kinds";
    fs::remove_all(dir);
    fs::create_directories(dir + "/sub");
    auto hello = [](std::FILE* f) { return std::fputs("hello\n", f) >= 0; };

    // A link to a file, relative and absolute: the file gets the text, the
    // link stays a link.
    std::ofstream(dir + "/sub/target.csv") << "old";
    fs::create_symlink("sub/target.csv", dir + "/relative.csv");
    fs::create_symlink(dir + "/relative.csv", dir + "/chain.csv");
    ASSERT_TRUE(WriteWholeFile(dir + "/chain.csv", hello));
    EXPECT_TRUE(fs::is_symlink(dir + "/chain.csv"));
    EXPECT_TRUE(fs::is_symlink(dir + "/relative.csv"));
    EXPECT_EQ(Contents(dir + "/sub/target.csv"), "hello\n");
    // A link to nothing yet: the file is made where it points.
    fs::create_symlink("sub/new.csv", dir + "/dangling.csv");
    ASSERT_TRUE(WriteWholeFile(dir + "/dangling.csv", hello));
    EXPECT_TRUE(fs::is_symlink(dir + "/dangling.csv"));
    EXPECT_EQ(Contents(dir + "/sub/new.csv"), "hello\n");
    // A loop of links and a folder are refused.
    fs::create_symlink("loop2", dir + "/loop1");
    fs::create_symlink("loop1", dir + "/loop2");
    EXPECT_FALSE(WriteWholeFile(dir + "/loop1", hello));
    EXPECT_FALSE(WriteWholeFile(dir + "/sub", hello));
    EXPECT_TRUE(fs::is_directory(dir + "/sub"));

    // A FIFO nobody reads is refused at once; with a reader it gets the
    // text, and stays a FIFO.
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(WriteWholeFile(fifo, hello));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(WriteWholeFile(fifo, hello));
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 6);
    EXPECT_STREQ(got, "hello\n");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A device node of our own (the null device's numbers), where we may
    // make one: written in place, still a device afterwards.
    const std::string device = dir + "/null";
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        EXPECT_TRUE(WriteWholeFile(device, hello));
        EXPECT_TRUE(fs::is_character_file(device));
        // A link to the device: the same.
        fs::create_symlink("null", dir + "/to-null");
        EXPECT_TRUE(WriteWholeFile(dir + "/to-null", hello));
        EXPECT_TRUE(fs::is_character_file(device));
        EXPECT_TRUE(fs::is_symlink(dir + "/to-null"));
    }
    // Nothing was left beside any of them.
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".csv."), std::string::npos) << entry.path();
    fs::remove_all(dir);
}

} // namespace
} // namespace qirt
