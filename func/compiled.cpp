#include "func/compiled.h"

#include <cmath>

namespace qirt {

Real IntegerPower(Real base, std::uint32_t n) {
    Real result = 1;
    while (n != 0) {
        if (n & 1u) result *= base;
        n >>= 1;
        if (n != 0) base *= base;
    }
    return result;
}

namespace {
bool IsSmallWhole(Real r) { return r == std::trunc(r) && std::fabs(r) <= 2147483647.0L; }
} // namespace

bool FunctionValueOf(Byte k, Real a, Real& out) {
    switch (k) {
    case kind::Sqrt:
        out = std::sqrt(a);
        return a >= 0;
    case kind::Sin: out = std::sin(a); return true;
    case kind::Cos: out = std::cos(a); return true;
    case kind::Tg: { // sin/cos, undefined where the cosine is exactly 0
        const Real c = std::cos(a);
        out = std::sin(a) / c;
        return c != 0;
    }
    case kind::Ctg: {
        const Real s = std::sin(a);
        out = std::cos(a) / s;
        return s != 0;
    }
    case kind::Sec: {
        const Real c = std::cos(a);
        out = 1 / c;
        return c != 0;
    }
    case kind::Cosec: {
        const Real s = std::sin(a);
        out = 1 / s;
        return s != 0;
    }
    case kind::Ln:
        if (!(a > 0)) return false;
        out = std::log(a);
        return true;
    case kind::Abs: out = a >= 0 ? a : -a; return true;
    case kind::Exp: out = std::exp(a); return true;
    case kind::Arcsin:
        if (!(a >= -1 && a <= 1)) return false;
        out = std::asin(a);
        return true;
    case kind::Arccos:
        if (!(a >= -1 && a <= 1)) return false;
        out = std::acos(a);
        return true;
    case kind::Arctg: out = std::atan(a); return true;
    case kind::Arcctg: out = std::atan2(Real(1), a); return true; // in (0, pi), pi/2 at 0
    case kind::Lg:
        if (!(a > 0)) return false;
        out = std::log10(a);
        return true;
    case kind::Sh: out = std::sinh(a); return true;
    case kind::Ch: out = std::cosh(a); return true;
    case kind::Th: out = std::tanh(a); return true;
    default: return false;
    }
}

bool PowerValue(Real l, Real r, Real& out) {
    if (r == 0) {
        out = 1;
        return true;
    }
    if (l == 0) {
        out = 0;
        return r > 0;
    }
    if (IsSmallWhole(r)) {
        auto n = static_cast<std::int64_t>(r);
        Real p = IntegerPower(l, static_cast<std::uint32_t>(n < 0 ? -n : n));
        out = n < 0 ? 1 / p : p;
        return true;
    }
    if (l < 0) {
        out = 0;
        return false;
    }
    out = std::exp(r * std::log(l));
    return true;
}

namespace {

bool IsLeaf(const TreeNode* n) {
    return n && (kind::IsVariable(n->Kind) || n->Kind == kind::Constant);
}

bool HasRule(const TreeNode* n) {
    return n && (IsLeaf(n) || kind::IsFunction(n->Kind) || kind::IsOperator(n->Kind));
}

// Operation with the accumulator on the left / on the right / on two leaves.
struct OperatorOps {
    TCompiledTree::Op AccLeft, AccRight, Pair;
};
OperatorOps OperatorOpsOf(Byte k) {
    switch (k) {
    case kind::Plus: return {TCompiledTree::Add, TCompiledTree::Add, TCompiledTree::AddPair};
    case kind::Minus: return {TCompiledTree::Sub, TCompiledTree::SubFrom, TCompiledTree::SubPair};
    case kind::Times: return {TCompiledTree::Mul, TCompiledTree::Mul, TCompiledTree::MulPair};
    case kind::Divide: return {TCompiledTree::Div, TCompiledTree::DivFrom, TCompiledTree::DivPair};
    default: return {TCompiledTree::Pow, TCompiledTree::PowFrom, TCompiledTree::Undefined};
    }
}

} // namespace

void TCompiledTree::Compile(const TreeNode* root, const Vector& point) {
    // Operands are kept as indices until the pools have their final size.
    enum Where : std::uint8_t { None, Variable, Constant, Slot };
    struct Ref {
        Where Place = None;
        std::uint32_t Index = 0;
    };
    struct Pending {
        Op Code;
        std::int32_t N;
        Ref M, M2;
    };
    std::vector<Pending> program;
    constants_.clear();
    code_.clear();
    std::uint32_t depth = 0, max_depth = 0;

    auto leaf = [&](const TreeNode* n) -> Ref {
        if (kind::IsVariable(n->Kind)) return {Variable, std::uint32_t(n->Kind - 1)};
        constants_.push_back(n->Value);
        return {Constant, std::uint32_t(constants_.size() - 1)};
    };
    auto emit = [&](Op code, Ref m = {}, Ref m2 = {}, std::int32_t n = 0) {
        program.push_back({code, n, m, m2});
    };

    // Stage 0: entering a node. Later stages say what follows its operands.
    enum Stage { Enter, AfterArgument, AfterBase, AfterLeft, AfterRight, LeftStored, AfterBoth };
    struct Frame {
        const TreeNode* Node;
        Stage At;
        std::uint32_t SlotIndex;
    };
    std::vector<Frame> walk{{root, Enter, 0}};
    while (!walk.empty()) {
        Frame f = walk.back();
        walk.pop_back();
        const TreeNode* n = f.Node;
        switch (f.At) {
        case Enter: {
            if (!HasRule(n)) {
                emit(Undefined);
            } else if (IsLeaf(n)) {
                emit(Load, leaf(n));
            } else if (kind::IsFunction(n->Kind)) {
                walk.push_back({n, AfterArgument, 0});
                walk.push_back({n->Right, Enter, 0});
            } else if (!HasRule(n->Left) || !HasRule(n->Right)) {
                emit(Undefined);
            } else if (n->Kind == kind::Power && n->Right->Kind == kind::Constant) {
                walk.push_back({n, AfterBase, 0});
                walk.push_back({n->Left, Enter, 0});
            } else if (IsLeaf(n->Left) && IsLeaf(n->Right) && n->Kind != kind::Power) {
                Ref l = leaf(n->Left);
                emit(OperatorOpsOf(n->Kind).Pair, l, leaf(n->Right));
            } else if (IsLeaf(n->Right)) {
                walk.push_back({n, AfterLeft, 0});
                walk.push_back({n->Left, Enter, 0});
            } else if (IsLeaf(n->Left)) {
                walk.push_back({n, AfterRight, 0});
                walk.push_back({n->Right, Enter, 0});
            } else {
                walk.push_back({n, LeftStored, 0});
                walk.push_back({n->Left, Enter, 0});
            }
            break;
        }
        case AfterArgument:
            if (n->Kind == kind::Abs)
                emit(Abs);
            else
                emit(Function, {}, {}, n->Kind);
            break;
        case AfterBase: {
            const Real c = n->Right->Value;
            if (c == 0)
                emit(PowZero);
            else if (c == 2)
                emit(Square);
            else if (IsSmallWhole(c))
                emit(c > 0 ? PowInt : PowNegInt, {}, {}, std::int32_t(std::fabs(c)));
            else
                emit(Pow, leaf(n->Right));
            break;
        }
        case AfterLeft: emit(OperatorOpsOf(n->Kind).AccLeft, leaf(n->Right)); break;
        case AfterRight: emit(OperatorOpsOf(n->Kind).AccRight, leaf(n->Left)); break;
        case LeftStored: {
            const std::uint32_t slot = depth++;
            if (depth > max_depth) max_depth = depth;
            emit(Store, {Slot, slot});
            walk.push_back({n, AfterBoth, slot});
            walk.push_back({n->Right, Enter, 0});
            break;
        }
        case AfterBoth:
            emit(OperatorOpsOf(n->Kind).AccRight, {Slot, f.SlotIndex});
            --depth;
            break;
        }
    }

    slots_.assign(max_depth + 1, 0);
    auto resolve = [&](Ref r) -> const Real* {
        switch (r.Place) {
        case Variable: return &point[r.Index];
        case Constant: return &constants_[r.Index];
        case Slot: return &slots_[r.Index];
        default: return &slots_[0];
        }
    };
    // "(a - b)^2" and the like are so common that one instruction does both.
    std::vector<Pending> fused;
    for (const Pending& p : program) {
        if (p.Code == Square && !fused.empty()) {
            Op& last = fused.back().Code;
            switch (last) {
            case Load: last = LoadSquare; continue;
            case Add: last = AddSquare; continue;
            case Sub: last = SubSquare; continue;
            case SubFrom: last = SubFromSquare; continue;
            case AddPair: last = AddPairSquare; continue;
            case SubPair: last = SubPairSquare; continue;
            default: break;
            }
        }
        fused.push_back(p);
    }
    for (const Pending& p : fused) code_.push_back({p.Code, p.N, resolve(p.M), resolve(p.M2)});
    source_ = root;
    compiled_ = true;
}

namespace {
// The operations that call into the maths library. Kept out of the loop of
// plain arithmetic so that the accumulator can stay in a register there; the
// accumulator is passed and returned in registers.
[[gnu::noinline]] Real CallOperation(TCompiledTree::Op code, std::int32_t n, const Real* m,
                                     Real acc, bool& ok) {
    switch (code) {
    case TCompiledTree::Pow: ok = !std::isnan(acc) && !std::isnan(*m) && PowerValue(acc, *m, acc); break;
    case TCompiledTree::PowFrom: ok = !std::isnan(acc) && !std::isnan(*m) && PowerValue(*m, acc, acc); break;
    case TCompiledTree::Function: ok = FunctionValueOf(Byte(n), acc, acc); break;
    case TCompiledTree::PowInt:
        ok = true;
        acc = acc == 0 ? 0 : IntegerPower(acc, std::uint32_t(n));
        break;
    case TCompiledTree::PowNegInt:
        ok = acc != 0 && !std::isnan(acc);
        if (ok) acc = 1 / IntegerPower(acc, std::uint32_t(n));
        break;
    default: ok = false;
    }
    return acc;
}
} // namespace

// Compiled without jump tables: a tree of compares keeps the accumulator in
// a floating-point register across instructions, an indirect jump does not.
[[gnu::optimize("no-jump-tables")]] Real TCompiledTree::Run(bool& ok) const {
    Real acc = 0;
    ok = false;
    const Instruction* in = code_.data();
    const Instruction* const end = in + code_.size();
    while (in != end) {
        // Plain arithmetic, no calls.
        for (; in != end; ++in) {
            switch (in->Code) {
            case Load: acc = *in->M; continue;
            case Store: *const_cast<Real*>(in->M) = acc; continue;
            case Add: acc = acc + *in->M; continue;
            case Sub: acc = acc - *in->M; continue;
            case SubFrom: acc = *in->M - acc; continue;
            case Mul: acc = acc * *in->M; continue;
            case Div:
                if (*in->M == 0) return 0;
                acc = acc / *in->M;
                continue;
            case DivFrom:
                if (acc == 0) return 0;
                acc = *in->M / acc;
                continue;
            case AddPair: acc = *in->M + *in->M2; continue;
            case SubPair: acc = *in->M - *in->M2; continue;
            case MulPair: acc = *in->M * *in->M2; continue;
            case DivPair:
                if (*in->M2 == 0) return 0;
                acc = *in->M / *in->M2;
                continue;
            // x^2 is x*x: the rule "0^2 = 0" gives the same +0 for either zero.
            case Square: acc = acc * acc; continue;
            case LoadSquare: acc = *in->M * *in->M; continue;
            case AddSquare: acc = acc + *in->M; acc = acc * acc; continue;
            case SubSquare: acc = acc - *in->M; acc = acc * acc; continue;
            case SubFromSquare: acc = *in->M - acc; acc = acc * acc; continue;
            case AddPairSquare: acc = *in->M + *in->M2; acc = acc * acc; continue;
            case SubPairSquare: acc = *in->M - *in->M2; acc = acc * acc; continue;
            case PowZero:
                if (acc != acc) return 0;
                acc = 1;
                continue;
            case Abs: acc = acc >= 0 ? acc : -acc; continue;
            default: break;
            }
            break;
        }
        if (in == end) break;
        bool done;
        acc = CallOperation(in->Code, in->N, in->M, acc, done);
        if (!done) return 0;
        ++in;
    }
    ok = acc == acc;
    return acc;
}

} // namespace qirt
