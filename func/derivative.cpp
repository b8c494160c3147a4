#include "func/derivative.h"

#include <cmath>
#include <vector>

#include "func/conditions.h"
#include "func/evaluate.h"
#include "func/messages.h"

namespace qirt {

namespace {

bool IsConstantNode(const TreeNode* n) { return n && n->Kind == kind::Constant; }

// True when a variable occurs in the subtree.
bool HasVariable(const TreeNode* node) {
    std::vector<const TreeNode*> pending{node};
    while (!pending.empty()) {
        const TreeNode* n = pending.back();
        pending.pop_back();
        if (!n) continue;
        if (kind::IsVariable(n->Kind)) return true;
        pending.push_back(n->Left);
        pending.push_back(n->Right);
    }
    return false;
}

// True when every node that differentiation visits is well formed: operators
// with both operands, functions with an argument. The exponent of "^" is
// visited only when it holds a variable.
bool HasRules(const TreeNode* node) {
    std::vector<const TreeNode*> pending{node};
    while (!pending.empty()) {
        const TreeNode* n = pending.back();
        pending.pop_back();
        if (!n) return false;
        if (n->Kind == kind::Constant || kind::IsVariable(n->Kind)) continue;
        if (kind::IsFunction(n->Kind)) {
            pending.push_back(n->Right);
        } else if (n->Kind == kind::Power) {
            if (!n->Right) return false;
            // An exponent without variables is not differentiated.
            if (HasVariable(n->Right)) pending.push_back(n->Right);
            pending.push_back(n->Left);
        } else if (kind::IsOperator(n->Kind)) {
            pending.push_back(n->Left);
            pending.push_back(n->Right);
        } else {
            return false;
        }
    }
    return true;
}

class Deriver {
public:
    Deriver(int k, std::size_t& budget) : k_(k), budget_(budget) {}

    TreeNode* Run(const TreeNode* node) {
        std::vector<std::pair<const TreeNode*, bool>> walk{{node, false}};
        while (!walk.empty()) {
            auto [n, done] = walk.back();
            walk.pop_back();
            if (!done && (kind::IsVariable(n->Kind) || n->Kind == kind::Constant)) {
                bool one = kind::IsVariable(n->Kind) && n->Kind - 1 == k_;
                results_.push_back(Const(one ? 1 : 0));
            } else if (!done) {
                walk.push_back({n, true});
                if (kind::IsOperator(n->Kind) && (n->Kind != kind::Power || HasVariable(n->Right)))
                    walk.push_back({n->Right, false});
                walk.push_back({kind::IsOperator(n->Kind) ? n->Left : n->Right, false});
            } else {
                results_.push_back(Rule(n));
            }
            if (exhausted_) {
                for (TreeNode* t : results_) FreeTree(t);
                return nullptr;
            }
        }
        return results_.back();
    }

private:
    TreeNode* Pop() {
        TreeNode* t = results_.back();
        results_.pop_back();
        return t;
    }
    TreeNode* Node(Byte kind, TreeNode* left, TreeNode* right) {
        Take(1);
        return MakeNode(kind, left, right);
    }
    TreeNode* Const(Real v) {
        Take(1);
        return MakeConstant(v);
    }
    TreeNode* Copy(const TreeNode* source) {
        Take(CountNodes(source));
        if (exhausted_) return nullptr;
        TreeNode* copy;
        CopyTree(copy, source, nullptr);
        return copy;
    }
    void Take(std::size_t nodes) {
        if (nodes > budget_) exhausted_ = true;
        budget_ = nodes > budget_ ? 0 : budget_ - nodes;
    }

    // The rules; u, v are the operands and du, dv their derivatives.
    TreeNode* Rule(const TreeNode* n) {
        const TreeNode* u = kind::IsOperator(n->Kind) ? n->Left : n->Right;
        const TreeNode* v = n->Right;
        switch (n->Kind) {
        case kind::Plus:
        case kind::Minus: {
            TreeNode* dv = Pop();
            TreeNode* du = Pop();
            return Node(n->Kind, du, dv); // u' +- v'
        }
        case kind::Times: {
            TreeNode* dv = Pop();
            TreeNode* du = Pop();
            return Node(kind::Plus, Node(kind::Times, du, Copy(v)), // u'v + uv'
                        Node(kind::Times, Copy(u), dv));
        }
        case kind::Divide: {
            TreeNode* dv = Pop();
            TreeNode* du = Pop();
            TreeNode* top = Node(kind::Minus, Node(kind::Times, du, Copy(v)),
                                 Node(kind::Times, Copy(u), dv));
            return Node(kind::Divide, top, Node(kind::Power, Copy(v), Const(2))); // (u'v-uv')/v^2
        }
        case kind::Power: {
            if (HasVariable(v)) { // (u^v)' = u^v (v' ln u + v u' / u)
                TreeNode* dv = Pop();
                TreeNode* du = Pop();
                TreeNode* logPart = Node(kind::Times, dv, Node(kind::Ln, nullptr, Copy(u)));
                TreeNode* ratio = Node(kind::Divide, Node(kind::Times, Copy(v), du), Copy(u));
                return Node(kind::Times, Node(kind::Power, Copy(u), Copy(v)),
                            Node(kind::Plus, logPart, ratio));
            }
            TreeNode* du = Pop();
            if (!IsConstantNode(v)) { // an exponent without variables, "x[0]^-2": v u^(v-1) u'
                TreeNode* power = Node(kind::Power, Copy(u), Node(kind::Minus, Copy(v), Const(1)));
                return Node(kind::Times, Copy(v), Node(kind::Times, power, du));
            }
            Real c = v->Value;
            if (c == 2) return Node(kind::Times, Const(2), Node(kind::Times, Copy(u), du)); // 2(u u')
            TreeNode* power = Node(kind::Power, Copy(u), Const(c - 1));
            return Node(kind::Times, Const(c), Node(kind::Times, power, du)); // c(u^(c-1) u')
        }
        case kind::Sin: // cos(u) u'
            return Node(kind::Times, Node(kind::Cos, nullptr, Copy(u)), Pop());
        case kind::Cos: { // (-1 sin(u)) u'
            TreeNode* du = Pop();
            TreeNode* sine = Node(kind::Sin, nullptr, Copy(u));
            return Node(kind::Times, Node(kind::Times, Const(-1), sine), du);
        }
        case kind::Exp: // exp(u) u'
            return Node(kind::Times, Node(kind::Exp, nullptr, Copy(u)), Pop());
        case kind::Sh: // ch(u) u'
            return Node(kind::Times, Node(kind::Ch, nullptr, Copy(u)), Pop());
        case kind::Ch: // sh(u) u'
            return Node(kind::Times, Node(kind::Sh, nullptr, Copy(u)), Pop());
        case kind::Th: // u' / ch(u)^2
            return Node(kind::Divide, Pop(), Node(kind::Power, Node(kind::Ch, nullptr, Copy(u)), Const(2)));
        case kind::Arcsin: // (1 - u^2)^(-0.5) u'
        case kind::Arccos: { // -(1 - u^2)^(-0.5) u'
            TreeNode* du = Pop();
            TreeNode* root = Node(kind::Power, Node(kind::Minus, Const(1), Node(kind::Power, Copy(u), Const(2))),
                                  Const(-0.5L));
            TreeNode* d = Node(kind::Times, root, du);
            return n->Kind == kind::Arcsin ? d : Node(kind::Times, Const(-1), d);
        }
        case kind::Arctg: // u' / (1 + u^2)
        case kind::Arcctg: { // -u' / (1 + u^2)
            TreeNode* du = Pop();
            TreeNode* d = Node(kind::Divide, du, Node(kind::Plus, Const(1), Node(kind::Power, Copy(u), Const(2))));
            return n->Kind == kind::Arctg ? d : Node(kind::Times, Const(-1), d);
        }
        case kind::Sqrt: { // u' / (2 sqrt(u)); a division by 0 where u = 0, undefined as there
            TreeNode* du = Pop();
            return Node(kind::Divide, du,
                        Node(kind::Times, Const(2), Node(kind::Sqrt, nullptr, Copy(u))));
        }
        case kind::Abs: { // u' (u / abs(u)): u' times the sign of u, and 0/0 (undefined) at u = 0
            TreeNode* du = Pop();
            return Node(kind::Times, du,
                        Node(kind::Divide, Copy(u), Node(kind::Abs, nullptr, Copy(u))));
        }
        case kind::Tg: { // u' / cos(u)^2
            TreeNode* du = Pop();
            return Node(kind::Divide, du,
                        Node(kind::Power, Node(kind::Cos, nullptr, Copy(u)), Const(2)));
        }
        case kind::Ctg: { // -1 (u' / sin(u)^2)
            TreeNode* du = Pop();
            TreeNode* d = Node(kind::Divide, du,
                               Node(kind::Power, Node(kind::Sin, nullptr, Copy(u)), Const(2)));
            return Node(kind::Times, Const(-1), d);
        }
        case kind::Sec: { // (sec(u) tg(u)) u'
            TreeNode* du = Pop();
            TreeNode* f = Node(kind::Times, Node(kind::Sec, nullptr, Copy(u)),
                               Node(kind::Tg, nullptr, Copy(u)));
            return Node(kind::Times, f, du);
        }
        case kind::Cosec: { // (-1 (cosec(u) ctg(u))) u'
            TreeNode* du = Pop();
            TreeNode* f = Node(kind::Times, Node(kind::Cosec, nullptr, Copy(u)),
                               Node(kind::Ctg, nullptr, Copy(u)));
            return Node(kind::Times, Node(kind::Times, Const(-1), f), du);
        }
        case kind::Lg: // (1 / (u ln 10)) u'
            return Node(kind::Times,
                        Node(kind::Divide, Const(1), Node(kind::Times, Copy(u), Const(std::log(10.0L)))),
                        Pop());
        default: // ln: (1/u) u'
            return Node(kind::Times, Node(kind::Divide, Const(1), Copy(u)), Pop());
        }
    }

    int k_;
    std::size_t& budget_;
    bool exhausted_ = false;
    std::vector<TreeNode*> results_;
};

bool IsConst(const TreeNode* n, Real v) { return n && n->Kind == kind::Constant && n->Value == v; }
bool IsConst(const TreeNode* n) { return n && n->Kind == kind::Constant; }

// The node takes the place of its child `keep`; `drop` is freed.
void ReplaceByChild(TreeNode* node, TreeNode* keep, TreeNode* drop) {
    FreeTree(drop);
    node->Kind = keep->Kind;
    node->Value = keep->Value;
    node->Left = keep->Left;
    node->Right = keep->Right;
    if (node->Left) node->Left->Parent = node;
    if (node->Right) node->Right->Parent = node;
    delete keep;
}

void BecomeConstant(TreeNode* node, Real value) {
    FreeTree(node->Left);
    FreeTree(node->Right);
    node->Left = node->Right = nullptr;
    node->Kind = kind::Constant;
    node->Value = value;
}

enum class Outcome { None, Folded, Replaced };

Outcome SimplifyOnce(TreeNode* n) {
    TreeNode* l = n->Left;
    TreeNode* r = n->Right;
    switch (n->Kind) {
    case kind::Plus:
        if (IsConst(l) && IsConst(r)) {
            BecomeConstant(n, l->Value + r->Value);
            return Outcome::Folded;
        }
        if (IsConst(l, 0)) {
            ReplaceByChild(n, r, l);
            return Outcome::Replaced;
        }
        if (IsConst(r, 0)) {
            ReplaceByChild(n, l, r);
            return Outcome::Replaced;
        }
        return Outcome::None;
    case kind::Minus:
        if (IsConst(l) && IsConst(r)) {
            BecomeConstant(n, l->Value - r->Value);
            return Outcome::Folded;
        }
        return Outcome::None;
    case kind::Times:
        if (IsConst(l) && IsConst(r)) {
            BecomeConstant(n, l->Value * r->Value);
            return Outcome::Folded;
        }
        if (IsConst(l, 0) || IsConst(r, 0)) {
            BecomeConstant(n, 0);
            return Outcome::Replaced;
        }
        if (IsConst(l, 1)) {
            ReplaceByChild(n, r, l);
            return Outcome::Replaced;
        }
        if (IsConst(r, 1)) {
            ReplaceByChild(n, l, r);
            return Outcome::Replaced;
        }
        return Outcome::None;
    default: return Outcome::None;
    }
}

} // namespace

bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent,
                   std::size_t& budget) {
    newRoot = nullptr;
    if (!HasRules(node)) return false;
    newRoot = Deriver(k, budget).Run(node);
    if (newRoot) newRoot->Parent = parent;
    return newRoot != nullptr;
}

bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent) {
    std::size_t budget = kMaxDerivativeNodes;
    return Differentiate(node, k, newRoot, parent, budget);
}

void Simplify(TreeNode*& node) {
    std::vector<TreeNode*> pending{node};
    while (!pending.empty()) {
        TreeNode* n = pending.back();
        pending.pop_back();
        if (!n) continue;
        while (SimplifyOnce(n) == Outcome::Replaced) {
        }
        pending.push_back(n->Right);
        pending.push_back(n->Left);
    }
}

void BuildDerivativeObjects(TFunction& F) {
    const int n = F.VariableCount;
    std::size_t budget = kMaxDerivativeNodes;
    auto derive = [&](const TreeNode* from, int k, TFunction*& into) {
        into = new TFunction;
        if (!Differentiate(from, k, into->Root, nullptr, budget)) return false;
        Simplify(into->Root);
        return true;
    };
    for (int i = 0; i < n; ++i) {
        if (!derive(F.Root, i, F.GradientTrees[i])) {
            ReleaseDerivativeObjects(F);
            F.ErrorCode = error::Build;
            ShowMessage(F.Messages, message::DerivativeTrees, ShowKind::NonModal);
            ShowMessage(F.Messages, message::UseNumericStep, ShowKind::NonModal);
            return;
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (j < i) {
                F.HessianTrees[i][j] = F.HessianTrees[j][i];
            } else if (!derive(F.GradientTrees[i]->Root, j, F.HessianTrees[i][j])) {
                ReleaseDerivativeObjects(F);
                F.ErrorCode = error::Build;
                ShowMessage(F.Messages, message::HessianTrees, ShowKind::NonModal);
                ShowMessage(F.Messages, message::UseNumericStep, ShowKind::NonModal);
                return;
            }
        }
    }
}

Real NumericStep(TFunction& F) {
    if (F.DifferentiationStep >= 1 || F.DifferentiationStep < 0) F.DifferentiationStep = 1e-5L;
    return F.DifferentiationStep;
}

Real GradientComponent(TFunction& F, int i) {
    if (F.DifferentiationStep == 0) {
        TFunction* derivative = F.GradientTrees[i];
        return derivative ? FunctionValue(*derivative, F.Point, F.VariableCount - 1) : 0;
    }
    F.CountingPaused = true;
    const Real x = F.Point[i];
    const Real h = ScaledStep(NumericStep(F), x);
    F.Point[i] = x + h;
    const Real f1 = CurrentValue(F);
    F.Point[i] = x - h;
    const Real f2 = CurrentValue(F);
    F.Point[i] = x;
    F.CountingPaused = false;
    return (f1 - f2) / 2 / h;
}

namespace {

// The derivative trees are those of the formula alone; in symbolic mode the
// region's penalty terms add their derivatives. (Numeric derivatives take
// values that include the penalties already.)
uslov* SymbolicPenalties(const TFunction& F) {
    uslov* region = F.Conditions;
    if (F.DifferentiationStep != 0 || !region || region->Size == 0 || !region->PenaltyEnabled)
        return nullptr;
    return region;
}

// Adds the penalty sum's gradient and, when asked, its second derivatives
// at F.Point; false where a condition cannot be evaluated there.
bool AddPenalties(TFunction& F, Vector& gradient, Matrix* hessian, int lastIndex) {
    uslov* region = SymbolicPenalties(F);
    if (!region) return true;
    Vector pg;
    Matrix ph;
    if (!region->PenaltyDerivatives(F.Point, lastIndex + 1, pg, hessian ? &ph : nullptr))
        return false;
    for (int i = 0; i <= lastIndex; ++i) {
        gradient[i] += pg[i];
        if (hessian)
            for (int j = 0; j <= lastIndex; ++j) (*hessian)[i][j] += ph[i][j];
    }
    return true;
}

} // namespace

void Gradient(TFunction& F, const Vector& point, Vector& gradient, int lastIndex) {
    ++F.GradientCount;
    for (int i = 0; i <= lastIndex; ++i) F.Point[i] = point[i];
    for (int i = 0; i <= lastIndex; ++i) gradient[i] = GradientComponent(F, i);
    AddPenalties(F, gradient, nullptr, lastIndex);
}

bool DefinedGradient(TFunction& F, const Vector& point, Vector& gradient, int lastIndex) {
    ++F.GradientCount;
    for (int i = 0; i <= lastIndex; ++i) F.Point[i] = point[i];
    for (int i = 0; i <= lastIndex; ++i) {
        TFunction* derivative = F.DifferentiationStep == 0 ? F.GradientTrees[i] : &F;
        if (derivative) derivative->ClearEvaluationError();
        gradient[i] = GradientComponent(F, i);
        if (derivative && !derivative->LastEvaluationDefined()) return false;
        if (!std::isfinite(gradient[i])) return false;
    }
    if (!AddPenalties(F, gradient, nullptr, lastIndex)) return false;
    for (int i = 0; i <= lastIndex; ++i)
        if (!std::isfinite(gradient[i])) return false;
    return true;
}

namespace {

// The Hessian with every value taken through `value(object, point)`, so the
// plain and the checked forms share one order of evaluations.
template <class ValueAt>
void HessianWith(TFunction& F, const Vector& point, Matrix& hessian, int lastIndex,
                 ValueAt&& value) {
    if (F.DifferentiationStep == 0) {
        for (int i = 0; i <= lastIndex; ++i)
            for (int j = 0; j <= lastIndex; ++j)
                hessian[i][j] = F.HessianTrees[i][j] ? value(*F.HessianTrees[i][j], point) : 0;
        return;
    }
    CentralHessian(point, hessian, lastIndex, NumericStep(F),
                   [&](const Vector& t) { return value(F, t); });
}

} // namespace

void Hessian(TFunction& F, const Vector& point, Matrix& hessian, int lastIndex) {
    ++F.HessianCount;
    HessianWith(F, point, hessian, lastIndex, [lastIndex](TFunction& G, const Vector& p) {
        return FunctionValue(G, p, lastIndex);
    });
    if (SymbolicPenalties(F)) {
        for (int i = 0; i <= lastIndex; ++i) F.Point[i] = point[i];
        Vector unused{};
        AddPenalties(F, unused, &hessian, lastIndex);
    }
}

bool DefinedHessian(TFunction& F, const Vector& point, Matrix& hessian, int lastIndex) {
    ++F.HessianCount;
    bool defined = true;
    HessianWith(F, point, hessian, lastIndex, [&](TFunction& G, const Vector& p) {
        G.ClearEvaluationError();
        Real v = FunctionValue(G, p, lastIndex);
        defined = defined && G.LastEvaluationDefined();
        return v;
    });
    if (defined && SymbolicPenalties(F)) {
        for (int i = 0; i <= lastIndex; ++i) F.Point[i] = point[i];
        Vector unused{};
        defined = AddPenalties(F, unused, &hessian, lastIndex);
    }
    for (int i = 0; i <= lastIndex && defined; ++i)
        for (int j = 0; j <= lastIndex && defined; ++j) defined = std::isfinite(hessian[i][j]);
    return defined;
}

} // namespace qirt
