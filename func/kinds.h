// Node kinds of the expression tree and the error codes of a function object.
// The operator kinds double as precedence: "+" < "-" < "*" < "/" < "^".
#pragma once

#include "func/types.h"

namespace qirt {

namespace kind {
// 1 ... 10 are the variables x[0] ... x[9]
inline constexpr Byte FirstVariable = 1;
inline constexpr Byte LastVariable = 10;
inline constexpr Byte Constant = 11;
inline constexpr Byte Sqrt = 22;
inline constexpr Byte Sin = 23;
inline constexpr Byte Cos = 24;
inline constexpr Byte Tg = 25;
inline constexpr Byte Ctg = 26;
inline constexpr Byte Sec = 27;
inline constexpr Byte Cosec = 28;
inline constexpr Byte Ln = 29;
inline constexpr Byte Abs = 30;
inline constexpr Byte Exp = 31;
inline constexpr Byte Arcsin = 32;
inline constexpr Byte Arccos = 33;
inline constexpr Byte Arctg = 34;
inline constexpr Byte Arcctg = 35;
inline constexpr Byte Lg = 36;
inline constexpr Byte Sh = 37;
inline constexpr Byte Ch = 38;
inline constexpr Byte Th = 39;
inline constexpr Byte Plus = 100;
inline constexpr Byte Minus = 101;
inline constexpr Byte Times = 102;
inline constexpr Byte Divide = 103;
inline constexpr Byte Power = 104;

inline constexpr bool IsVariable(Byte k) { return k >= FirstVariable && k <= LastVariable; }
inline constexpr bool IsFunction(Byte k) { return k >= Sqrt && k <= Th; }
inline constexpr bool IsOperator(Byte k) { return k >= Plus && k <= Power; }
} // namespace kind

// Values of TFunction::ErrorCode. An evaluation error carries the node kind of
// the operation that failed, so the codes of the table below are node kinds.
namespace error {
inline constexpr Byte None = 0;
inline constexpr Byte Build = 1;         // the text did not parse: "x[0]+"
inline constexpr Byte Sqrt = 22;         // root of a negative number: "sqrt(x[0])" at x[0] = -1
inline constexpr Byte Tg = 25;           // cosine exactly 0: "tg(x[0])" where cos x[0] = 0
inline constexpr Byte Ctg = 26;          // sine exactly 0: "ctg(x[0])" at x[0] = 0
inline constexpr Byte Sec = 27;          // cosine exactly 0: "sec(x[0])"
inline constexpr Byte Cosec = 28;        // sine exactly 0: "cosec(x[0])" at x[0] = 0
inline constexpr Byte Ln = 29;           // logarithm of a number <= 0: "ln(x[0])" at x[0] = 0
inline constexpr Byte Arcsin = 32;       // argument outside [-1, 1]: "arcsin(x[0])" at x[0] = 2
inline constexpr Byte Arccos = 33;       // argument outside [-1, 1]: "arccos(x[0])" at x[0] = -2
inline constexpr Byte Lg = 36;           // logarithm of a number <= 0: "lg(x[0])" at x[0] = 0
inline constexpr Byte Divide = 103;      // division by exactly 0: "1/x[0]" at x[0] = 0
inline constexpr Byte Power = 104;       // "x[0]^0.5" at x[0] = -1, "0^(0-1)"
inline constexpr Byte Region = 201;      // a region condition cannot be evaluated: "ln(x[0])<=1" at x[0] = 0
inline constexpr Byte Undefined = 255;   // a node without a rule, or a leaf holding NaN
} // namespace error

} // namespace qirt
