// Nodes of an expression tree. A node is a plain record allocated on its own;
// an operator has Left and Right operands, a function its argument in Right.
#pragma once

#include <cstddef>

#include "func/kinds.h"

namespace qirt {

struct TreeNode {
    Byte Kind = 0;
    Real Value = 0;            // the number of a constant node
    TreeNode* Right = nullptr; // right operand, or the argument of a function
    TreeNode* Left = nullptr;  // left operand of an operator
    TreeNode* Parent = nullptr;
};

// Frees a subtree. Works without recursion, so trees of any depth can go.
void FreeTree(TreeNode* node);

// Deep copy of source below parent; a null source copies as null.
void CopyTree(TreeNode*& copy, const TreeNode* source, TreeNode* parent);

// Number of nodes of a subtree.
std::size_t CountNodes(const TreeNode* node);

// New node with the given children; the children get it as their parent.
TreeNode* MakeNode(Byte kind, TreeNode* left = nullptr, TreeNode* right = nullptr);
TreeNode* MakeConstant(Real value);

} // namespace qirt
