#include "func/tree.h"

#include <utility>
#include <vector>

namespace qirt {

void FreeTree(TreeNode* node) {
    std::vector<TreeNode*> pending;
    if (node) pending.push_back(node);
    while (!pending.empty()) {
        TreeNode* n = pending.back();
        pending.pop_back();
        if (n->Left) pending.push_back(n->Left);
        if (n->Right) pending.push_back(n->Right);
        delete n;
    }
}

void CopyTree(TreeNode*& copy, const TreeNode* source, TreeNode* parent) {
    copy = nullptr;
    // Each entry copies one source node into the slot, below the given parent.
    std::vector<std::pair<const TreeNode*, std::pair<TreeNode**, TreeNode*>>> pending;
    if (source) pending.push_back({source, {&copy, parent}});
    while (!pending.empty()) {
        auto [src, where] = pending.back();
        pending.pop_back();
        auto* n = new TreeNode{src->Kind, src->Value, nullptr, nullptr, where.second};
        *where.first = n;
        if (src->Right) pending.push_back({src->Right, {&n->Right, n}});
        if (src->Left) pending.push_back({src->Left, {&n->Left, n}});
    }
}

std::size_t CountNodes(const TreeNode* node) {
    std::size_t count = 0;
    std::vector<const TreeNode*> pending;
    if (node) pending.push_back(node);
    while (!pending.empty()) {
        const TreeNode* n = pending.back();
        pending.pop_back();
        ++count;
        if (n->Left) pending.push_back(n->Left);
        if (n->Right) pending.push_back(n->Right);
    }
    return count;
}

TreeNode* MakeNode(Byte kind, TreeNode* left, TreeNode* right) {
    auto* n = new TreeNode{kind, 0, right, left, nullptr};
    if (left) left->Parent = n;
    if (right) right->Parent = n;
    return n;
}

TreeNode* MakeConstant(Real value) { return new TreeNode{kind::Constant, value, nullptr, nullptr, nullptr}; }

} // namespace qirt
