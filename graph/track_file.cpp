// Writing the track as text. A track of a million points of ten variables
// is ten million numbers, so each is formatted by scaling into a 15-digit
// integer; only values within a hair of a rounding tie, and the extremes of
// the exponent range, go through the C library's exact conversion.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "graph/track.h"

namespace qirt {

namespace {

// Decimal powers 10^(100 n), n = -48 ... 48, and 10^j, j = 0 ... 99, each
// correctly rounded.
struct TPowers {
    std::array<Real, 97> Hundreds;
    std::array<Real, 100> Units;
    TPowers() {
        char text[16];
        for (int n = -48; n <= 48; ++n) {
            std::snprintf(text, sizeof text, "1e%d", 100 * n);
            Hundreds[n + 48] = std::strtold(text, nullptr);
        }
        for (int j = 0; j < 100; ++j) {
            std::snprintf(text, sizeof text, "1e%d", j);
            Units[j] = std::strtold(text, nullptr);
        }
    }
    // |v| * 10^p for p in -4800 ... 4899.
    Real Scale(Real v, int p) const {
        int n = p >= 0 ? p / 100 : -((-p + 99) / 100);
        return v * Hundreds[n + 48] * Units[p - 100 * n];
    }
};

const TPowers& Powers() {
    static const TPowers powers;
    return powers;
}

void PutDigits(char* out, unsigned long long value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// sign, mantissa m (15 digits, m >= 1e14) and decimal exponent e.
void PutNumber(char out[23], bool negative, unsigned long long m, int e) {
    out[0] = negative ? '-' : ' ';
    char digits[15];
    PutDigits(digits, m, 15);
    out[1] = digits[0];
    out[2] = '.';
    std::memcpy(out + 3, digits + 1, 14);
    out[17] = 'E';
    out[18] = e < 0 ? '-' : '+';
    PutDigits(out + 19, static_cast<unsigned long long>(e < 0 ? -e : e), 4);
}

// The exact conversion of the C library, rearranged into the fixed form.
void ExactNumber(Real v, char out[23]) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14LE", v);
    const char* p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    unsigned long long m = static_cast<unsigned long long>(p[0] - '0');
    for (int i = 2; i < 16; ++i) m = m * 10 + static_cast<unsigned long long>(p[i] - '0');
    PutNumber(out, negative, m, std::atoi(p + 17));
}

void RightAligned(const char* word, char out[23]) {
    const std::size_t n = std::strlen(word);
    std::memset(out, ' ', 23 - n);
    std::memcpy(out + 23 - n, word, n);
}

} // namespace

void TrackNumberText(Real v, char out[23]) {
    if (std::isnan(v)) return RightAligned("Nan", out);
    if (std::isinf(v)) return RightAligned(v > 0 ? "+Inf" : "-Inf", out);
    if (v == 0) return PutNumber(out, false, 100'000'000'000'000ULL, 0);
    const Real a = std::fabs(v);
    if (!(a > 1e-4800L && a < 1e4800L)) return ExactNumber(v, out);

    int binaryExponent;
    std::frexp(a, &binaryExponent); // a in [2^(b-1), 2^b)
    int e = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398119521L));
    Real y = Powers().Scale(a, 14 - e);
    if (y >= 1e15L) y = Powers().Scale(a, 14 - ++e);
    if (y < 1e14L) y = Powers().Scale(a, 14 - --e);

    const Real whole = std::floor(y);
    const Real fraction = y - whole;
    // The scaled value carries a few units in the last place of error:
    // near a tie, or on either side of the 15-digit range, ask the exact way.
    if (std::fabs(fraction - 0.5L) < 4e-3L || y < 1e14L || y >= 1e15L - 1)
        return ExactNumber(v, out);
    auto m = static_cast<unsigned long long>(whole) + (fraction > 0.5L ? 1 : 0);
    PutNumber(out, v < 0, m, e);
}

bool SaveTrack(Tdata& track, const std::string& fileName, int variableCount) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file) return false;
    const int n = variableCount < 0 ? 0 : (variableCount > 10 ? 10 : variableCount);
    const std::size_t lineLength = 23 * static_cast<std::size_t>(n) + 2;
    constexpr std::size_t kBuffer = 1 << 20;
    auto buffer = std::make_unique<char[]>(kBuffer);
    std::size_t used = 0;
    bool written = true;
    auto flush = [&] {
        if (used && std::fwrite(buffer.get(), 1, used, file) != used) written = false;
        used = 0;
    };

    // A cleared track has no points, whatever its count says.
    const std::int32_t count = track.Head ? track.Count : 0;
    used = static_cast<std::size_t>(std::snprintf(buffer.get(), 32, "%d\r\n", count));
    track.Cursor = track.Head;
    for (std::int32_t k = 0; k < count && track.Cursor; ++k) {
        if (kBuffer - used < lineLength) flush();
        char* line = buffer.get() + used;
        for (int i = 0; i < n; ++i) TrackNumberText(track.Cursor->X[i], line + 23 * i);
        line[23 * n] = '\r';
        line[23 * n + 1] = '\n';
        used += lineLength;
        track.Cursor = track.Cursor->Next;
    }
    flush();
    if (std::fclose(file) != 0) written = false;
    return written;
}

} // namespace qirt
