#include "literal_parser.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "func/scan.h"

namespace qirt::literal {

bool ReadBracketGroup(std::string_view text, std::string& inner) {
    inner.clear();
    if (text.empty() || text[0] != '(') return false;
    int depth = 1;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == ')') --depth;
        else if (text[i] == '(') ++depth;
        if (depth == 0) return true;
        inner.push_back(text[i]);
    }
    return false;
}

// The value of "digits[.digits](e|E)[+|-]digits" (with an optional "-"),
// NaN for any other text.
Real ExponentValue(const std::string& t) {
    const std::size_t e = t.find_first_of("eE");
    if (e == std::string::npos || e == 0) return std::nanl("");
    std::string mantissa = t.substr(0, e), exponent = t.substr(e + 1);
    if (mantissa[0] == '-') mantissa.erase(0, 1);
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
    if (!IsNumberText(mantissa) || mantissa[0] == '-' || !IsDigitText(exponent)) return std::nanl("");
    return std::strtold(t.c_str(), nullptr);
}

bool ReadOperand(std::string_view text, std::string& operand) {
    operand.clear();
    std::size_t i = 0;
    int depth = 0;
    if (!text.empty() && text[0] == '-') {
        operand.push_back('-');
        i = 1;
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        // The sign of a number's exponent ("1e-3") belongs to the number.
        const bool exponentSign = (c == '+' || c == '-') && i + 1 < text.size() && text[i + 1] >= '0' &&
                                  text[i + 1] <= '9' && operand.size() >= 2 &&
                                  (operand.back() == 'e' || operand.back() == 'E') &&
                                  IsNumberText(std::string_view(operand).substr(operand[0] == '-' ? 1 : 0,
                                                                                operand.size() - 1 - (operand[0] == '-')));
        if (depth == 0 && IsOperatorChar(c) && !exponentSign) break;
        if (c == '(') ++depth;
        else if (c == ')') --depth;
        operand.push_back(c);
    }
    // The operand must be followed by an operator that is not the last character.
    bool stopped_before_end = i + 1 < text.size();
    if (!stopped_before_end || operand.empty()) return false;
    return true;
}

std::string TextAfter(std::string_view text, std::size_t position) {
    return position >= text.size() ? std::string() : std::string(text.substr(position));
}

bool StripOuterBrackets(std::string& text) {
    std::vector<std::size_t> match = MatchBrackets(text);
    std::size_t first = 0, last = text.size(); // the remaining text is [first, last)
    while (last - first >= 2 && text[first] == '(' && match[first] == last - 1) {
        ++first;
        --last;
    }
    text = text.substr(first, last - first);
    return !text.empty() && text[0] == '(' && match[first] < last;
}


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
    if (IsNumberText(t) || t == "pi" || t == "e" || !std::isnan(ExponentValue(t))) {
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
        node->Value = t == "pi"                          ? 3.141592653589793238462643383279502884L
                      : t == "e"                         ? 2.718281828459045235360287471352662498L
                      : !std::isnan(ExponentValue(t))    ? ExponentValue(t)
                                                         : TextToReal(t);
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
