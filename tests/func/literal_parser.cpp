#include "literal_parser.h"

#include "func/scan.h"

namespace qirt::literal {

bool SplitAtOperator(const std::string& text, Byte& op, std::string& left, std::string& right) {
    std::string first;
    if (!text.empty() && text[0] == '(') {
        std::string inner;
        if (!ReadBracketGroup(text, inner)) return false;
        first = "(" + inner + ")";
    } else if (!ReadOperand(text, first)) {
        return false;
    }
    const std::size_t at = first.size();
    const char op_char = at < text.size() ? text[at] : '\0';
    op = OperatorCode(op_char);
    std::string rest = TextAfter(text, at + 1);
    if (first.empty() || rest.empty()) return false;
    Byte op2;
    std::string left2, right2;
    if (SplitAtOperator(rest, op2, left2, right2) && op >= op2) {
        first = "(" + first + ")" + op_char + left2;
        op = op2;
        rest = right2;
    }
    left = first;
    right = rest;
    return true;
}

bool ClassifyExpression(const std::string& text, std::string& left, Byte& kind,
                        std::string& right) {
    std::string t = text;
    StripOuterBrackets(t);
    if (!t.empty() && t[0] == '-') t = "0" + t;
    left.clear();
    right.clear();
    Byte op;
    if (SplitAtOperator(t, op, left, right)) {
        kind = op;
        return op != 0;
    }
    left.clear();
    right.clear();
    if (IsNumberText(t)) {
        kind = kind::Constant;
        return true;
    }
    if (t.size() == 4 && VariableNumber(t) != 0) {
        kind = VariableNumber(t);
        return true;
    }
    Byte code = 0;
    if (FunctionCode(t, code)) {
        kind = code;
        return SplitFunctionCall(t, right, 2);
    }
    return false;
}

bool BuildSubtree(bool (&used)[10], TreeNode*& node, const std::string& text, TreeNode* parent) {
    node = nullptr;
    std::string left, right;
    Byte k = 0;
    if (!ClassifyExpression(text, left, k, right)) return false;
    node = new TreeNode{k, 0, nullptr, nullptr, parent};
    bool ok = true;
    if (kind::IsVariable(k)) {
        used[k - 1] = true;
    } else if (k == kind::Constant) {
        std::string t = text;
        while (StripOuterBrackets(t)) {
        }
        node->Value = TextToReal(t);
    } else if (kind::IsFunction(k)) {
        ok = !right.empty() && BuildSubtree(used, node->Right, right, node);
    } else {
        ok = !left.empty() && !right.empty() && BuildSubtree(used, node->Left, left, node) &&
             BuildSubtree(used, node->Right, right, node);
    }
    if (!ok) {
        FreeTree(node);
        node = nullptr;
    }
    return ok;
}

TreeNode* Parse(const std::string& text, bool (&used)[10]) {
    TreeNode* root = nullptr;
    BuildSubtree(used, root, text, nullptr);
    return root;
}

} // namespace qirt::literal
