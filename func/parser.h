// Formula text to expression tree.
//
// The grammar has numbers (also in exponent form, "1e-3", "2.5E+4"), the
// constants pi and e, x[0] ... x[9], the operators + - * / ^, a leading
// unary minus (read as subtraction from 0), brackets and the functions of the formula language.
// Operators group by their kind: the root of a text is the rightmost operator
// of the lowest kind, so "+" < "-" < "*" < "/" < "^" and equal operators group
// to the left ('a-b+c' is (a-b)+c, 'a+b-c' is a+(b-c), '2^3^2' is (2^3)^2).
// A "-" right after an operator belongs to its operand ('x[0]*-x[1]') and
// becomes "0-" when that operand starts a text of its own.
//
// The parser scans the text once, keeps bracket partners in a table and works
// from an explicit task list, so neither deep nesting nor long chains can
// exhaust the stack.
#pragma once

#include <string_view>

#include "func/tree.h"

namespace qirt {

class TFunction;

// The tree of a whole text, or null when the text is not parseable. Sets
// used[i] for every variable x[i] that occurs (the flags are not cleared).
TreeNode* ParseExpression(std::string_view text, bool (&used)[10]);

} // namespace qirt
