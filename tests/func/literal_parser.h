// The parser exactly as the re-bracketing algorithm states it: whole texts
// are copied, split at the first operator and merged back with brackets,
// recursively. Slow (quadratic and deeper), kept as the reference that the
// engine's parser is checked against.
#pragma once

#include <string>

#include "func/tree.h"

namespace qirt::literal {

bool SplitAtOperator(const std::string& text, Byte& op, std::string& left, std::string& right);
bool ClassifyExpression(const std::string& text, std::string& left, Byte& kind,
                        std::string& right);
bool BuildSubtree(bool (&used)[10], TreeNode*& node, const std::string& text, TreeNode* parent);
// The tree of a whole text, or null.
TreeNode* Parse(const std::string& text, bool (&used)[10]);

} // namespace qirt::literal
