#include "func/parser.h"

#include <charconv>
#include <vector>

#include "func/function.h"
#include "func/scan.h"

namespace qirt {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// digits ["." digits] ("e" | "E") ["+" | "-"] digits, with an optional "-"
// in front, as its correctly rounded value.
bool ExponentNumber(std::string_view s, Real& value) {
    const std::size_t e = s.find_first_of("eE");
    if (e == std::string_view::npos) return false;
    std::string_view mantissa = s.substr(0, e), exponent = s.substr(e + 1);
    if (!mantissa.empty() && mantissa[0] == '-') mantissa.remove_prefix(1);
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.remove_prefix(1);
    if (!IsNumberText(mantissa) || mantissa[0] == '-' || !IsDigitText(exponent)) return false;
    // from_chars takes no "+" before the number itself, only in the exponent.
    const auto [end, fault] = std::from_chars(s.data(), s.data() + s.size(), value);
    return fault == std::errc() && end == s.data() + s.size();
}

// An operand of one level of a text: the characters [a, b), or the 0 that a
// leading "-" is subtracted from.
struct Atom {
    std::size_t a = 0, b = 0;
    bool Zero = false;
};

// Where a parsed text goes: the slot in its parent node.
struct Task {
    std::size_t a, b;
    TreeNode** Slot;
    TreeNode* Parent;
};

class Parser {
public:
    Parser(std::string_view text, bool (&used)[10]) : text_(text), used_(used) {}

    TreeNode* Run(TreeNode* parent) {
        match_ = MatchBrackets(text_);
        for (std::size_t i = 0; i < text_.size(); ++i)
            if ((text_[i] == '(' || text_[i] == ')') && match_[i] == npos) return nullptr;
        TreeNode* root = nullptr;
        tasks_.push_back({0, text_.size(), &root, parent});
        while (!tasks_.empty()) {
            Task t = tasks_.back();
            tasks_.pop_back();
            if (!ParseText(t)) {
                FreeTree(root);
                return nullptr;
            }
        }
        return root;
    }

private:
    // Cuts [a, b) into operands and the operators between them.
    bool Tokenize(std::size_t a, std::size_t b) {
        atoms_.clear();
        ops_.clear();
        std::size_t i = a;
        for (;;) {
            if (i >= b) return false; // empty operand: "x[0]+", "x[0]*+1"
            std::size_t start = i, end;
            if (text_[i] == '(') {
                end = match_[i] + 1;
            } else {
                end = i;
                if (text_[end] == '-') ++end;
                while (end < b && (!IsOperatorChar(text_[end]) || ExponentSign(start, end, b)))
                    end = text_[end] == '(' ? match_[end] + 1 : end + 1;
                if (end == start) return false;
            }
            atoms_.push_back({start, end, false});
            if (end == b) return true;
            Byte op = OperatorCode(text_[end]);
            if (op == 0) return false; // a bracket group followed by a non-operator
            ops_.push_back(op);
            i = end + 1;
        }
    }

    // The "+" or "-" at `at` is the sign of a number's exponent: the operand
    // so far is digits, perhaps a point and digits, and "e" or "E", and a
    // digit follows ("1e-3", "2.5E+4"). A name ending in e ("e-1", "x[0]e")
    // is no mantissa, so the constant e never takes a sign.
    bool ExponentSign(std::size_t start, std::size_t at, std::size_t b) const {
        if (text_[at] != '+' && text_[at] != '-') return false;
        if (at + 1 >= b || text_[at + 1] < '0' || text_[at + 1] > '9') return false;
        if (at - start < 2 || (text_[at - 1] != 'e' && text_[at - 1] != 'E')) return false;
        std::string_view mantissa = text_.substr(start, at - 1 - start);
        if (!mantissa.empty() && mantissa[0] == '-') mantissa.remove_prefix(1);
        return IsNumberText(mantissa);
    }

    // Leaves: number, constant, variable or function call.
    bool ParseLeaf(std::size_t a, std::size_t b, const Task& t) {
        std::string_view s = text_.substr(a, b - a);
        if (IsNumberText(s)) {
            Place(t, MakeConstant(TextToReal(s)));
            return true;
        }
        // The constants, to the last bit of the extended reals.
        if (s == "pi" || s == "e") {
            Place(t, MakeConstant(s == "pi" ? 3.141592653589793238462643383279502884L
                                            : 2.718281828459045235360287471352662498L));
            return true;
        }
        // A number in exponent form, read correctly rounded.
        if (Real value; ExponentNumber(s, value)) {
            Place(t, MakeConstant(value));
            return true;
        }
        if (s.size() == 4) {
            if (Byte v = VariableNumber(s)) {
                used_[v - 1] = true;
                Place(t, MakeNode(v));
                return true;
            }
        }
        Byte code = 0;
        if (!FunctionCode(s, code) || code == 0) return false;
        std::size_t open = text_.find('(', a);
        if (open + 1 >= b - 1 || match_[open] != b - 1) return false; // empty or unbalanced argument
        TreeNode* call = MakeNode(code);
        Place(t, call);
        tasks_.push_back({open + 1, b - 1, &call->Right, call});
        return true;
    }

    void Place(const Task& t, TreeNode* node) {
        node->Parent = t.Parent;
        *t.Slot = node;
    }

    // Operand handle for the shunting of one merged range.
    struct Operand {
        TreeNode* Node;
        Atom Text;
    };

    void Attach(const Operand& operand, TreeNode** slot, TreeNode* parent) {
        if (operand.Node) {
            operand.Node->Parent = parent;
            *slot = operand.Node;
        } else if (operand.Text.Zero) {
            TreeNode* zero = MakeConstant(0);
            zero->Parent = parent;
            *slot = zero;
        } else {
            tasks_.push_back({operand.Text.a, operand.Text.b, slot, parent});
        }
    }

    // Builds the operators of a run of operands in which every operand stands
    // for itself: the rightmost operator of the lowest kind is the root.
    Operand Merge(const std::vector<Atom>& atoms, const std::vector<Byte>& ops) {
        operands_.clear();
        pending_.clear();
        auto reduce = [&] {
            Byte op = pending_.back();
            pending_.pop_back();
            Operand right = operands_.back();
            operands_.pop_back();
            Operand left = operands_.back();
            TreeNode* node = MakeNode(op);
            Attach(left, &node->Left, node);
            Attach(right, &node->Right, node);
            operands_.back() = {node, {}};
        };
        operands_.push_back({nullptr, atoms[0]});
        for (std::size_t k = 0; k < ops.size(); ++k) {
            while (!pending_.empty() && pending_.back() >= ops[k]) reduce();
            pending_.push_back(ops[k]);
            operands_.push_back({nullptr, atoms[k + 1]});
        }
        while (!pending_.empty()) reduce();
        return operands_.back();
    }

    // One text: strip enclosing brackets, read "-..." as "0-...", cut it into
    // operands and operators, and split at the rightmost operator of the
    // lowest kind. The left part is a merged run of operands; the right part
    // is read again as a text of its own. Every operator right of the root has
    // a higher kind, so a chain of right parts is at most a few texts long.
    bool ParseText(const Task& t) {
        std::size_t a = t.a, b = t.b;
        while (b - a >= 2 && text_[a] == '(' && match_[a] == b - 1) {
            ++a;
            --b;
        }
        if (a == b) return false;
        const bool negated = text_[a] == '-';
        if (!Tokenize(negated ? a + 1 : a, b)) return false;
        if (negated) {
            atoms_.insert(atoms_.begin(), Atom{0, 0, true});
            ops_.insert(ops_.begin(), kind::Minus);
        }
        if (atoms_.size() == 1) return ParseLeaf(a, b, t);

        std::size_t j = 0; // rightmost operator of the lowest kind
        for (std::size_t k = 1; k < ops_.size(); ++k)
            if (ops_[k] <= ops_[j]) j = k;
        TreeNode* root = MakeNode(ops_[j]);
        Place(t, root);
        tasks_.push_back({atoms_[j + 1].a, b, &root->Right, root});
        atoms_.resize(j + 1);
        ops_.resize(j);
        Attach(Merge(atoms_, ops_), &root->Left, root);
        return true;
    }

    std::string_view text_;
    bool (&used_)[10];
    std::vector<std::size_t> match_;
    std::vector<Task> tasks_;
    std::vector<Atom> atoms_;
    std::vector<Byte> ops_, pending_;
    std::vector<Operand> operands_;
};

} // namespace

TreeNode* ParseExpression(std::string_view text, bool (&used)[10]) {
    return Parser(text, used).Run(nullptr);
}

} // namespace qirt
