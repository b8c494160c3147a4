// Lexical level of the expression engine: characters, number texts, variable
// and function names, and the cutting of a text into operand, bracket group or
// function call. Every operation is stateless and reports through its result;
// texts are byte strings and the length of a text is its size.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "func/kinds.h"

namespace qirt {

// Characters
Byte DigitValue(char c);                  // 0 ... 9, or 255 for a non-digit
char DigitChar(Byte d);                   // "0" ... "9", or "-" for any other value
char IncrementDigit(char c, Real& carry); // next digit; "9" gives "0" with carry 1
Byte OperatorCode(char c);                // 100 ... 104 for + - * / ^, else 0
char OperatorChar(Byte code);             // inverse of OperatorCode, "?" otherwise
inline bool IsOperatorChar(char c) { return OperatorCode(c) != 0; }

// Text tests
bool IsDigitText(std::string_view text);
bool IsIntegerText(std::string_view text);
// An optional "-", one or more digits, optionally "." and zero or more digits.
bool IsNumberText(std::string_view text);
// 1 ... 10 when the text starts with "x[0]" ... "x[9]", else 0.
Byte VariableNumber(std::string_view text);
// Recognises "name(argument)" with one of the function names. The code
// keeps the caller's value when the name is unknown (callers pass 0).
bool FunctionCode(std::string_view text, Byte& code);

// Text cutting
// mode 1: the name before the first "(", mode 2: the argument up to the final ")".
bool SplitFunctionCall(std::string_view text, std::string& part, int mode);

// For every bracket, the position of its partner (npos when it has none). The
// partner of a "(" is the first ")" at which the depth counted from it is 0.
std::vector<std::size_t> MatchBrackets(std::string_view text);

// Number texts. TextToReal also reads an exponent part ("1e-7", "2E+20"),
// and "inf" and "-inf"; a text that is not a number converts to 0.
// RealToText writes the fixed form of at most 18 digits, and values of
// 1e18 and more in magnitude as printf's "%.17Lg" does ("1.5e+20").
Real TextToReal(std::string_view text);
std::string RealToText(Real x);
// A number text with an optional exponent part, as TextToReal reads it and
// RealToText writes finite values.
bool IsRealText(std::string_view text);

} // namespace qirt
