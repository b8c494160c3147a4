#include "windows/history.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

char16_t Cp1251Char(unsigned char byte) { return static_cast<char16_t>(CharOf(byte)); }

namespace {

// Closes a descriptor (and so releases its lock) when it goes.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : fd_(fd) {}
    ~TDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

std::uint32_t HashOf(std::string_view line) {
    const std::size_t h = std::hash<std::string_view>{}(line);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

} // namespace

TFunctionHistory::TFunctionHistory(std::string fileName) : fileName_(std::move(fileName)) {}

std::string_view TFunctionHistory::Line(std::size_t k) const {
    if (k >= lines_.size()) return {};
    return std::string_view(bytes_).substr(lines_[k].Start, lines_[k].Length);
}

void TFunctionHistory::StartFile() {
    fileBase_ = bytes_.size();
    firstFileLine_ = lines_.size();
    lastLineOpen_ = pendingCR_ = false;
    slots_.assign(1024, 0);
    slotHashes_.assign(1024, 0);
    distinct_ = 0;
}

void TFunctionHistory::Read() {
    bytes_.clear();
    lines_.clear();
    fileBase_ = firstFileLine_ = readCount_ = longest_ = 0;
    StartFile();
    TDescriptor fd(::open(fileName_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        TDescriptor created(::open(fileName_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
        return;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    ReadFrom(fd.Get(), 0, static_cast<std::uint64_t>(st.st_size));
    readCount_ = lines_.size();
    for (std::size_t k = 1; k < readCount_; ++k)
        if (lines_[k].Length > lines_[longest_].Length) longest_ = k;
}

bool TFunctionHistory::ReadFrom(int fd, std::uint64_t from, std::uint64_t to) {
    const std::size_t start = bytes_.size();
    bytes_.resize(start + (to - from));
    std::size_t got = 0;
    while (got < to - from) {
        const ssize_t n = ::pread(fd, bytes_.data() + start + got, (to - from) - got,
                                  static_cast<off_t>(from + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the file shrank meanwhile: take what is there
        got += static_cast<std::size_t>(n);
    }
    bytes_.resize(start + got);
    AddLines(start);
    return got == to - from;
}

void TFunctionHistory::AddLines(std::size_t from) {
    const char* data = bytes_.data();
    const char* p = data + from;
    const char* end = data + bytes_.size();
    if (p == end) return;
    if (pendingCR_ && *p == '\n') ++p; // the LF of a CR LF cut where the bytes were known
    pendingCR_ = false;
    auto next = [&](char c, const char* at) {
        const void* found = std::memchr(at, c, static_cast<std::size_t>(end - at));
        return found ? static_cast<const char*>(found) : end;
    };
    if (lastLineOpen_) {
        // The known bytes ended inside a line; the caller has made sure a
        // line end follows, which closes that line as it stood.
        lastLineOpen_ = false;
        if (*p == '\r') {
            if (++p < end && *p == '\n') ++p;
            else if (p == end) pendingCR_ = true;
        } else if (*p == '\n') {
            ++p;
        }
    }
    const char* lf = next('\n', p);
    const char* cr = next('\r', p);
    std::size_t lineStart = static_cast<std::size_t>(p - data);
    for (;;) {
        const char* stop = std::min(lf, cr);
        if (stop == end) break;
        lines_.push_back({lineStart, static_cast<std::uint32_t>((stop - data) - lineStart)});
        Index(lines_.size() - 1);
        p = stop + 1;
        if (*stop == '\r') {
            if (p < end && *p == '\n') ++p;
            else if (p == end) pendingCR_ = true;
        }
        lineStart = static_cast<std::size_t>(p - data);
        if (lf < p) lf = next('\n', p);
        if (cr < p) cr = next('\r', p);
    }
    lastLineOpen_ = lineStart < bytes_.size();
    if (lastLineOpen_) {
        lines_.push_back({lineStart, static_cast<std::uint32_t>(bytes_.size() - lineStart)});
        Index(lines_.size() - 1);
    }
}

void TFunctionHistory::Index(std::size_t line) {
    const std::string_view text = Line(line);
    const std::uint32_t h = HashOf(text);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t s = h & mask;; s = (s + 1) & mask) {
        if (slots_[s] == 0) {
            slots_[s] = static_cast<std::uint32_t>(line + 1);
            slotHashes_[s] = h;
            break;
        }
        if (slotHashes_[s] == h && Line(slots_[s] - 1) == text) return; // a repeated line
    }
    if (++distinct_ * 4 <= slots_.size() * 3) return;
    // Three quarters full: twice the room, every entry placed again.
    std::vector<std::uint32_t> slots(slots_.size() * 2, 0), hashes(slots_.size() * 2, 0);
    mask = slots.size() - 1;
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        if (slots_[k] == 0) continue;
        std::size_t s = slotHashes_[k] & mask;
        while (slots[s] != 0) s = (s + 1) & mask;
        slots[s] = slots_[k];
        hashes[s] = slotHashes_[k];
    }
    slots_.swap(slots);
    slotHashes_.swap(hashes);
}

bool TFunctionHistory::Contains(std::string_view text) const {
    const std::uint32_t h = HashOf(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = h & mask; slots_[s] != 0; s = (s + 1) & mask)
        if (slotHashes_[s] == h && Line(slots_[s] - 1) == text) return true;
    return false;
}

TFunctionHistory::TSaved TFunctionHistory::SaveFunctionHistory(const std::string& formula) {
    const std::string line = Utf8ToCp1251(formula);
    TDescriptor fd(::open(fileName_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (fd.Get() < 0) return TSaved::Failed;
    // The lock covers the check and the append: two programs saving at once
    // neither interleave their bytes nor both add the same line.
    while (::flock(fd.Get(), LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return TSaved::Failed;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    bool again = size < KnownSize() || static_cast<std::uint64_t>(st.st_dev) != device_ ||
                 static_cast<std::uint64_t>(st.st_ino) != inode_;
    if (!again && lastLineOpen_ && size > KnownSize()) {
        // Another program continued the open last line, or closed it.
        char next = 0;
        again = ::pread(fd.Get(), &next, 1, static_cast<off_t>(KnownSize())) != 1 ||
                (next != '\r' && next != '\n');
    }
    if (again) {
        StartFile();
        device_ = st.st_dev;
        inode_ = st.st_ino;
    }
    if (size > KnownSize() && !ReadFrom(fd.Get(), KnownSize(), size)) return TSaved::Failed;
    if (Contains(line)) return TSaved::AlreadyThere;

    std::string out;
    if (lastLineOpen_) out = "\r\n"; // the last line stays whole
    out += line;
    out += "\r\n";
    std::size_t written = 0;
    while (written < out.size()) {
        const ssize_t n = ::write(fd.Get(), out.data() + written, out.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // Take back the part that went out; what was there stays.
            if (written > 0 && ::ftruncate(fd.Get(), static_cast<off_t>(size)) != 0) {
            }
            return TSaved::Failed;
        }
        written += static_cast<std::size_t>(n);
    }
    const std::size_t start = bytes_.size();
    bytes_ += out;
    AddLines(start);
    return TSaved::Added;
}

} // namespace qirt
