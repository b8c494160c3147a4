// The function history "funtion.txt": one formula per line, single-byte
// Windows-1251 text, formulas in the order they were first run; read at
// start into the formula list, appended after a run.
//
// The file is read once, in one piece, and kept as its bytes with a table of
// line positions and a hash index of the distinct lines, so that a history
// of millions of lines opens in a moment and a save needs no re-reading.
// Several programs may share the file: a save takes a lock on it, reads
// only what others appended since, and appends its line in one write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qirt {

inline constexpr const char* kHistoryFileName = "funtion.txt";

// Windows-1251 bytes to UTF-8 and back. Every byte has a character, so any
// byte string survives the round trip; characters without a byte become "?".
std::string Cp1251ToUtf8(std::string_view bytes);
std::string Utf8ToCp1251(std::string_view text);
// The Unicode character of one Windows-1251 byte.
char16_t Cp1251Char(unsigned char byte);

class TFunctionHistory {
public:
    explicit TFunctionHistory(std::string fileName = kHistoryFileName);

    // Reads the file; one that cannot be opened is created empty and gives
    // no lines. Any content is taken: CR LF, LF or CR line ends, NUL bytes,
    // very long lines, no final line end. Every line is kept, in order.
    void Read();

    // The lines read at start (later saves do not change these).
    std::size_t LineCount() const { return readCount_; }
    std::string_view Line(std::size_t k) const; // Windows-1251 bytes
    std::string LineUtf8(std::size_t k) const { return Cp1251ToUtf8(Line(k)); }
    // The line with the most bytes among those read at start (0 when none).
    std::size_t LongestLine() const { return longest_; }

    enum class TSaved { Added, AlreadyThere, Failed };
    // Appends the formula (UTF-8) as a line unless a line of the file equals
    // it. Earlier bytes of the file are never changed; a line that does not
    // end the file with a line end gets one first. CR LF ends the new line.
    TSaved SaveFunctionHistory(const std::string& formula);

    const std::string& FileName() const { return fileName_; }

private:
    struct TLine {
        std::uint64_t Start;
        std::uint32_t Length;
    };
    // Forgets the file's content (the lines read at start stay readable)
    // and starts again from byte 0 of the file.
    void StartFile();
    // Reads the file's bytes from `from` to `to` and takes their lines.
    bool ReadFrom(int fd, std::uint64_t from, std::uint64_t to);
    // Splits bytes_ from `from` on into lines and indexes them.
    void AddLines(std::size_t from);
    void Index(std::size_t line);
    bool Contains(std::string_view line) const;
    std::uint64_t KnownSize() const { return bytes_.size() - fileBase_; }

    std::string fileName_;
    std::string bytes_;         // the lines read at start, then the file as known
    std::size_t fileBase_ = 0;  // where the file's byte 0 is in bytes_
    std::size_t firstFileLine_ = 0;
    std::vector<TLine> lines_;
    bool lastLineOpen_ = false; // the known bytes end inside a line
    bool pendingCR_ = false;    // they end with a CR whose LF may follow
    std::uint64_t device_ = 0, inode_ = 0;
    std::size_t readCount_ = 0;
    std::size_t longest_ = 0;
    // Open addressing over line numbers + 1 (0 = empty), with their hashes.
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> slotHashes_;
    std::size_t distinct_ = 0;
};

} // namespace qirt
