#include "windows/history.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace qirt {

namespace {

// Unicode of the bytes 0x80 ... 0xBF; 0xC0 ... 0xFF are U+0410 ... U+044F.
constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char32_t CharOf(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
    return kHighHalf[byte - 0x80];
}

void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of UTF-8 text; a malformed sequence gives U+FFFD and
// moves on by one byte.
char32_t NextChar(std::string_view text, std::size_t& i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        if ((next & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (extra == 0) {
        ++i;
        return 0xFFFD; // a continuation byte on its own
    }
    i += extra + 1;
    return c;
}

unsigned char ByteOf(char32_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    if (c >= 0x0410 && c <= 0x044F) return static_cast<unsigned char>(0xC0 + (c - 0x0410));
    for (int k = 0; k < 64; ++k)
        if (kHighHalf[k] == c) return static_cast<unsigned char>(0x80 + k);
    return '?';
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// The raw lines of a file, CR before LF removed.
bool ReadLines(const std::string& fileName, std::vector<std::string>& lines) {
    TFile file(std::fopen(fileName.c_str(), "rb"));
    if (!file) return false;
    std::string line;
    bool pending = false;
    for (int c; (c = std::fgetc(file.get())) != EOF;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
            pending = false;
        } else {
            line += static_cast<char>(c);
            pending = true;
        }
    }
    if (pending) lines.push_back(std::move(line));
    return true;
}

} // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) PutUtf8(out, CharOf(static_cast<unsigned char>(b)));
    return out;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) out += static_cast<char>(ByteOf(NextChar(text, i)));
    return out;
}

std::vector<std::string> ReadFunctionHistory(const std::string& fileName) {
    std::vector<std::string> lines;
    if (!ReadLines(fileName, lines)) {
        TFile created(std::fopen(fileName.c_str(), "ab"));
        return {};
    }
    for (std::string& line : lines) line = Cp1251ToUtf8(line);
    return lines;
}

void SaveFunctionHistory(const std::string& formula, const std::string& fileName) {
    const std::string bytes = Utf8ToCp1251(formula);
    std::vector<std::string> lines;
    if (ReadLines(fileName, lines))
        for (const std::string& line : lines)
            if (line == bytes) return;
    TFile file(std::fopen(fileName.c_str(), "ab+"));
    if (!file) return;
    // A last line without its line end gets one first, so it stays whole.
    bool needsBreak = false;
    if (std::fseek(file.get(), 0, SEEK_END) == 0 && std::ftell(file.get()) > 0 &&
        std::fseek(file.get(), -1, SEEK_END) == 0)
        needsBreak = std::fgetc(file.get()) != '\n';
    std::fseek(file.get(), 0, SEEK_END);
    if (needsBreak) std::fputs("\r\n", file.get());
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::fputs("\r\n", file.get());
}

} // namespace qirt
