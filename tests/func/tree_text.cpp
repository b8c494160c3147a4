#include "tree_text.h"

#include <sstream>

#include "func/scan.h"

namespace qirt::testing {

namespace {
const char* FunctionName(Byte k) {
    static const char* names[] = {"sqrt", "sin",   "cos",    "tg",    "ctg", "sec",
                                  "cosec", "ln",   "abs",    "exp",   "arcsin", "arccos",
                                  "arctg", "arcctg", "lg",   "sh",    "ch",  "th"};
    return kind::IsFunction(k) ? names[k - kind::Sqrt] : "?";
}
} // namespace

std::string TreeText(const TreeNode* n) {
    if (!n) return "null";
    if (kind::IsVariable(n->Kind)) return "x[" + std::to_string(n->Kind - 1) + "]";
    if (n->Kind == kind::Constant) {
        std::ostringstream out;
        out.precision(21);
        out << n->Value;
        return out.str();
    }
    if (kind::IsFunction(n->Kind)) return std::string(FunctionName(n->Kind)) + "(" + TreeText(n->Right) + ")";
    if (kind::IsOperator(n->Kind))
        return "(" + TreeText(n->Left) + OperatorChar(n->Kind) + TreeText(n->Right) + ")";
    return "kind" + std::to_string(n->Kind);
}

bool ParentsConsistent(const TreeNode* n) {
    if (!n) return true;
    if (n->Left && n->Left->Parent != n) return false;
    if (n->Right && n->Right->Parent != n) return false;
    return ParentsConsistent(n->Left) && ParentsConsistent(n->Right);
}

} // namespace qirt::testing
