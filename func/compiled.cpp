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
constexpr Real kMaxIntegerExponent = 2147483647.0L;

bool IsSmallWhole(Real r) { return r == std::trunc(r) && std::fabs(r) <= kMaxIntegerExponent; }
} // namespace

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
// Where an operand lives while the program is laid out.
struct Ref {
    enum Where : std::uint8_t { Variable, Constant, Slot } Place;
    std::uint32_t Index;
};

TCompiledTree::Op FunctionOp(Byte k) {
    switch (k) {
    case kind::Sqrt: return TCompiledTree::Sqrt;
    case kind::Sin: return TCompiledTree::Sin;
    case kind::Cos: return TCompiledTree::Cos;
    case kind::Tg: return TCompiledTree::Tg;
    case kind::Ctg: return TCompiledTree::Ctg;
    case kind::Sec: return TCompiledTree::Sec;
    case kind::Cosec: return TCompiledTree::Cosec;
    case kind::Ln: return TCompiledTree::Ln;
    case kind::Abs: return TCompiledTree::Abs;
    default: return TCompiledTree::Undefined;
    }
}

TCompiledTree::Op OperatorOp(Byte k) {
    switch (k) {
    case kind::Plus: return TCompiledTree::Add;
    case kind::Minus: return TCompiledTree::Sub;
    case kind::Times: return TCompiledTree::Mul;
    case kind::Divide: return TCompiledTree::Div;
    default: return TCompiledTree::Pow;
    }
}
} // namespace

void TCompiledTree::Compile(const TreeNode* root, const Vector& point) {
    struct Pending {
        Op Code;
        std::int32_t N;
        Ref A, B, Out;
    };
    std::vector<Pending> program;
    std::vector<Ref> operands;
    std::uint32_t live = 0, max_live = 0;
    constants_.clear();
    code_.clear();

    auto take_slot = [&](int popped) {
        for (int k = 0; k < popped; ++k)
            if (operands[operands.size() - 1 - k].Place == Ref::Slot) --live;
        operands.resize(operands.size() - popped);
        Ref out{Ref::Slot, live++};
        if (live > max_live) max_live = live;
        return out;
    };
    auto emit = [&](Op code, std::int32_t n, int popped) {
        Ref a = popped >= 1 ? operands[operands.size() - popped] : Ref{};
        Ref b = popped == 2 ? operands.back() : a;
        Ref out = take_slot(popped);
        program.push_back({code, n, a, b, out});
        operands.push_back(out);
    };

    // Post-order walk; the flag says whether the children are done.
    std::vector<std::pair<const TreeNode*, bool>> walk;
    walk.push_back({root, false});
    while (!walk.empty()) {
        auto [n, done] = walk.back();
        walk.pop_back();
        if (!n) {
            emit(Undefined, 0, 0);
            continue;
        }
        const Byte k = n->Kind;
        const bool has_rule = kind::IsVariable(k) || k == kind::Constant ||
                              FunctionOp(k) != Undefined || kind::IsOperator(k);
        if (!has_rule) {
            emit(Undefined, 0, 0);
            continue;
        }
        if (kind::IsVariable(k)) {
            operands.push_back({Ref::Variable, std::uint32_t(k - 1)});
        } else if (k == kind::Constant) {
            constants_.push_back(n->Value);
            operands.push_back({Ref::Constant, std::uint32_t(constants_.size() - 1)});
        } else if (!done) {
            walk.push_back({n, true});
            walk.push_back({n->Right, false});
            if (kind::IsOperator(k)) walk.push_back({n->Left, false});
        } else if (kind::IsFunction(k)) {
            emit(FunctionOp(k), 0, 1);
        } else if (k == kind::Power && n->Right && n->Right->Kind == kind::Constant) {
            Real c = n->Right->Value;
            if (c == 0) {
                emit(PowZero, 0, 2);
            } else if (IsSmallWhole(c) && c > 0) {
                emit(c == 2 ? Square : PowInt, std::int32_t(c), 2);
            } else if (IsSmallWhole(c)) {
                emit(PowNegInt, std::int32_t(-c), 2);
            } else {
                emit(Pow, 0, 2);
            }
        } else {
            emit(OperatorOp(k), 0, 2);
        }
    }

    slots_.assign(max_live, 0);
    auto resolve = [&](Ref r) -> const Real* {
        switch (r.Place) {
        case Ref::Variable: return &point[r.Index];
        case Ref::Constant: return &constants_[r.Index];
        default: return &slots_[r.Index];
        }
    };
    for (const Pending& p : program)
        code_.push_back({p.Code, p.N, resolve(p.A), resolve(p.B), &slots_[p.Out.Index]});
    result_ = resolve(operands.back());
    source_ = root;
    compiled_ = true;
}

bool TCompiledTree::Run(Real& value) {
    for (const Instruction& in : code_) {
        const Real a = *in.A;
        Real r;
        switch (in.Code) {
        case Add: r = a + *in.B; break;
        case Sub: r = a - *in.B; break;
        case Mul: r = a * *in.B; break;
        case Div: {
            const Real b = *in.B;
            if (b == 0) return false;
            r = a / b;
            break;
        }
        case Square:
            if (a == 0) {
                r = 0;
                break;
            }
            r = a * a;
            break;
        case PowInt:
            if (a == 0) {
                r = 0;
                break;
            }
            r = IntegerPower(a, std::uint32_t(in.N));
            break;
        case PowNegInt:
            if (a == 0 || std::isnan(a)) return false;
            r = 1 / IntegerPower(a, std::uint32_t(in.N));
            break;
        case PowZero:
            if (std::isnan(a)) return false;
            r = 1;
            break;
        case Pow: {
            const Real b = *in.B;
            if (std::isnan(a) || std::isnan(b) || !PowerValue(a, b, r)) return false;
            break;
        }
        case Sqrt:
            if (!(a >= 0)) return false;
            r = std::sqrt(a);
            break;
        case Sin: r = std::sin(a); break;
        case Cos: r = std::cos(a); break;
        case Tg: {
            const Real c = std::cos(a);
            if (c == 0) return false;
            r = std::sin(a) / c;
            break;
        }
        case Ctg: {
            const Real s = std::sin(a);
            if (s == 0) return false;
            r = std::cos(a) / s;
            break;
        }
        case Sec: {
            const Real c = std::cos(a);
            if (c == 0) return false;
            r = 1 / c;
            break;
        }
        case Cosec: {
            const Real s = std::sin(a);
            if (s == 0) return false;
            r = 1 / s;
            break;
        }
        case Ln:
            if (!(a > 0)) return false;
            r = std::log(a);
            break;
        case Abs: r = a >= 0 ? a : -a; break;
        default: return false;
        }
        *in.Out = r;
    }
    value = *result_;
    return !std::isnan(value);
}

} // namespace qirt
