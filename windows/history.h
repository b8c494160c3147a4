// The function history "funtion.txt": one formula per line, single-byte
// Windows-1251 text with CR LF line ends, formulas in the order they were
// first run; read at start into the formula list, appended after a run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qirt {

inline constexpr const char* kHistoryFileName = "funtion.txt";

// Windows-1251 bytes to UTF-8 and back. Every byte has a character, so any
// byte string survives the round trip; characters without a byte become "?".
std::string Cp1251ToUtf8(std::string_view bytes);
std::string Utf8ToCp1251(std::string_view text);

// The lines of the history (UTF-8, line ends removed). A file that cannot
// be opened is created empty and gives no lines. Any content is taken:
// LF or CR LF, NUL bytes, very long lines, no final line end.
std::vector<std::string> ReadFunctionHistory(const std::string& fileName = kHistoryFileName);

// Appends the formula (UTF-8) as a line unless a line equals it already.
// Earlier lines are never changed; failures change nothing and are silent.
void SaveFunctionHistory(const std::string& formula,
                         const std::string& fileName = kHistoryFileName);

} // namespace qirt
