// Writing the track as text. A track of a million points of ten variables
// is ten million numbers, so each is formatted by scaling into a 15-digit
// integer; only values within a hair of a rounding tie, and the extremes of
// the exponent range, go through the C library's exact conversion.
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "graph/track/track.h"

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

// "00" ... "99"
struct TDigitPairs {
    char Pairs[200];
    TDigitPairs() {
        for (int i = 0; i < 100; ++i) {
            Pairs[2 * i] = static_cast<char>('0' + i / 10);
            Pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
const TDigitPairs kDigitPairs;

// Writes value (below 10^(2 * pairs)) as 2 * pairs digits.
void PutPairs(char* out, std::uint32_t value, int pairs) {
    for (int i = pairs - 1; i >= 0; --i) {
        std::memcpy(out + 2 * i, kDigitPairs.Pairs + 2 * (value % 100), 2);
        value /= 100;
    }
}

// sign, mantissa m (15 digits; below 1e14 only for zero) and decimal exponent e.
void PutNumber(char out[23], bool negative, std::uint64_t m, int e) {
    out[0] = negative ? '-' : ' ';
    char digits[16];
    const auto high = static_cast<std::uint32_t>(m / 100'000'000); // 7 digits
    const auto low = static_cast<std::uint32_t>(m % 100'000'000);  // 8 digits
    PutPairs(digits, high, 4);                                     // "0" + 7 digits
    PutPairs(digits + 8, low, 4);
    out[1] = digits[1];
    out[2] = '.';
    std::memcpy(out + 3, digits + 2, 14);
    out[17] = 'E';
    out[18] = e < 0 ? '-' : '+';
    PutPairs(out + 19, static_cast<std::uint32_t>(e < 0 ? -e : e), 2);
}

// The exact conversion of the C library, rearranged into the fixed form.
void ExactNumber(Real v, char out[23]) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14LE", v);
    const char* p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    std::uint64_t m = static_cast<std::uint64_t>(p[0] - '0');
    for (int i = 2; i < 16; ++i) m = m * 10 + static_cast<std::uint64_t>(p[i] - '0');
    PutNumber(out, negative, m, std::atoi(p + 17));
}

void RightAligned(const char* word, char out[23]) {
    const std::size_t n = std::strlen(word);
    std::memset(out, ' ', 23 - n);
    std::memcpy(out + 23 - n, word, n);
}

} // namespace

void TrackNumberText(Real v, char out[23]) {
    static_assert(std::numeric_limits<Real>::digits == 64, "80-bit extended reals");
    std::uint16_t signAndExponent;
    std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&v) + 8, 2);
    const int biased = signAndExponent & 0x7fff;
    if (biased == 0x7fff) {
        if (std::isnan(v)) return RightAligned("Nan", out);
        return RightAligned(v > 0 ? "+Inf" : "-Inf", out);
    }
    if (v == 0) return PutNumber(out, false, 0, 0); // either zero, with a blank
    const int b = biased - 16383; // |v| in [2^b, 2^(b+1)) for normal numbers
    if (biased == 0 || b < -15900 || b > 15900) return ExactNumber(v, out);

    // e is the decimal exponent of |v| or one less (78913 / 2^18 ~ log10 2).
    int e = (b * 78913) >> 18;
    Real y = Powers().Scale(std::fabs(v), 14 - e);
    if (y >= 1e15L) {
        y /= 10;
        ++e;
    }
    // y now holds the 15 significant digits in its whole part, with an error
    // of a few units in its last place (about 1e-4). Adding 2^63 rounds it
    // to a whole number and leaves that number in the low significand bits.
    const Real rounded = y + 0x1p63L;
    const Real fraction = y - (rounded - 0x1p63L); // in [-0.5, 0.5]
    // Near a tie, or where rounding would reach 1e15, ask the exact way.
    if (std::fabs(fraction) > 0.5L - 4e-3L || y < 1e14L || y >= 1e15L - 1)
        return ExactNumber(v, out);
    std::uint64_t significand;
    std::memcpy(&significand, &rounded, 8);
    PutNumber(out, std::signbit(v), significand & ~(1ULL << 63), e);
}

namespace {

// The mode a new file gets: that of the file it replaces, or what the
// process's file creation mask leaves of rw-rw-rw-.
mode_t NewFileMode(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a name stands for: symbolic links followed to their end, also
// where the last one points to nothing yet (the file is then created
// there). Empty for a loop of links.
std::string FollowLinks(std::string name) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(name.c_str(), target.data(), target.size());
        if (length < 0) return {};
        target.resize(static_cast<std::size_t>(length));
        // A relative target is relative to the link's own folder.
        const std::size_t slash = name.rfind('/');
        name = target.front() == '/' || slash == std::string::npos ? target : name.substr(0, slash + 1) + target;
    }
    return {};
}

// Writes straight into something that is not a regular file (a device, a
// FIFO, a terminal): nothing to write beside it, nothing to rename. A FIFO
// without a reader is refused rather than waited for.
bool WriteInPlace(const std::string& name, const std::function<bool(std::FILE*)>& write) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        ::close(fd);
        return false;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        return false;
    }
    bool ok = write(file);
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

} // namespace

bool WriteWholeFile(const std::string& fileName, const std::function<bool(std::FILE*)>& write) {
    const std::string target = FollowLinks(fileName);
    if (target.empty()) {
        errno = ELOOP;
        return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (!S_ISREG(st.st_mode)) return WriteInPlace(target, write);
    }
    // A regular file (or none yet) is written beside its target and renamed
    // over it only when complete, so a failure never leaves a partial file
    // that looks whole.
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    // The temporary file goes again on failure; errno still says why.
    auto fail = [&] {
        const int reason = errno;
        ::unlink(temporary.c_str());
        errno = reason;
        return false;
    };
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        return fail();
    }
    bool ok = write(file);
    ok = std::fflush(file) == 0 && ok;
    ok = ::fchmod(fd, NewFileMode(target)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    return ok || fail();
}

bool SaveTrack(Tdata& track, const std::string& fileName, int variableCount) {
    return WriteWholeFile(fileName, [&](std::FILE* file) { return WriteTrack(track, file, variableCount); });
}

bool WriteTrack(Tdata& track, std::FILE* file, int variableCount) {
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
    return written;
}

} // namespace qirt
