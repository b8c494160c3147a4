// The parser exactly as the re-bracketing algorithm states it: whole texts
// are copied, split at the first operator and merged back with brackets,
// recursively. Slow (quadratic and deeper), kept as the reference that the
// engine's parser is checked against.
#pragma once

#include <string>
#include <string_view>

#include "func/tree.h"

namespace qirt::literal {

// The text cutting of the reference parser.
// For a text starting with "(": the text inside its matching ")".
bool ReadBracketGroup(std::string_view text, std::string& inner);
// The operand in front of the first operator outside all brackets; a leading
// "-" belongs to the operand. Fails when no operator follows the operand.
bool ReadOperand(std::string_view text, std::string& operand);
// Characters position + 1 ... end (positions count from 1).
std::string TextAfter(std::string_view text, std::size_t position);
// Removes enclosing bracket pairs; true when the rest starts with a closed "(".
bool StripOuterBrackets(std::string& text);

bool SplitAtOperator(const std::string& text, Byte& op, std::string& left, std::string& right);
bool ClassifyExpression(const std::string& text, std::string& left, Byte& kind,
                        std::string& right);
bool BuildSubtree(bool (&used)[10], TreeNode*& node, const std::string& text, TreeNode* parent);
// The tree of a whole text, or null.
TreeNode* Parse(const std::string& text, bool (&used)[10]);

} // namespace qirt::literal
