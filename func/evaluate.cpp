#include "func/evaluate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "func/compiled.h"
#include "func/conditions.h"

namespace qirt {

namespace {

// The value of one operation, or false when it is undefined for these operands.
bool Apply(Byte k, Real l, Real r, Real& out) {
    switch (k) {
    case kind::Plus: out = l + r; return true;
    case kind::Minus: out = l - r; return true;
    case kind::Times: out = l * r; return true;
    case kind::Divide:
        if (r == 0) return false;
        out = l / r;
        return true;
    case kind::Power: return PowerValue(l, r, out);
    default: return FunctionValueOf(k, r, out);
    }
}

} // namespace

Real EvaluateNode(TFunction& F, const TreeNode* node) {
    // Frames of the walk; Stage 0 = not entered, 1 = first operand done,
    // 2 = both done. `value` carries the result of the frame just finished.
    struct Frame {
        const TreeNode* Node;
        int Stage;
        Real Left;
    };
    std::vector<Frame> frames;
    frames.push_back({node, 0, 0});
    Real value = 0;
    auto fail = [&](Byte code) {
        F.ErrorCode = code;
        value = 0;
    };
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.Stage == 0) {
            if (F.ErrorCode != error::None) {
                value = 0;
                frames.pop_back();
                continue;
            }
            const TreeNode* n = f.Node;
            if (!n) {
                fail(error::Undefined);
                frames.pop_back();
            } else if (kind::IsVariable(n->Kind) || n->Kind == kind::Constant) {
                value = n->Kind == kind::Constant ? n->Value : F.Point[n->Kind - 1];
                if (std::isnan(value)) fail(error::Undefined);
                frames.pop_back();
            } else if (kind::IsOperator(n->Kind)) {
                f.Stage = 1;
                frames.push_back({n->Left, 0, 0});
            } else if (kind::IsFunction(n->Kind)) {
                f.Stage = 2;
                frames.push_back({n->Right, 0, 0});
            } else {
                fail(error::Undefined);
                frames.pop_back();
            }
        } else if (f.Stage == 1) {
            f.Left = value;
            f.Stage = 2;
            frames.push_back({f.Node->Right, 0, 0});
        } else {
            Real out = 0;
            const Byte k = f.Node->Kind;
            // A NaN result is an undefined operation of its node as well.
            if (Apply(k, f.Left, value, out) && !std::isnan(out))
                value = out;
            else
                fail(k);
            frames.pop_back();
        }
    }
    return value;
}

TCompiledTree& TFunction::Compiled() {
    if (compiled_ && compiled_->Source() == Root && compiled_->IsCompiled()) [[likely]]
        return *compiled_;
    if (!compiled_) compiled_ = std::make_unique<TCompiledTree>();
    compiled_->Compile(Root, Point);
    return *compiled_;
}

namespace {
Real TreeValue(TFunction& F) {
    bool ok;
    const Real value = F.Compiled().Run(ok);
    return ok ? value : EvaluateNode(F, F.Root);
}
} // namespace

Real CurrentValue(TFunction& F) {
    if (!F.CountingPaused) ++F.EvaluationCount;
    if (F.ErrorCode != error::None || !F.Root) return 0;
    if (!F.Conditions) return TreeValue(F);
    uslov& region = *F.Conditions;
    Real penalty = 0;
    if (region.Size == 0) [[likely]] {
        region.NearBoundary = false, region.Cursor = region.Head; // what a sum over none leaves
    } else {
        penalty = region.PenaltySum(F.Point, F.VariableCount);
        // Where a condition cannot be evaluated the penalised function has
        // no value; the function alone (penalties off) still has one.
        if (region.ConditionErrorCode != 0 && region.PenaltyEnabled) {
            F.ErrorCode = error::Region;
            return 0;
        }
    }
    Real value = penalty + TreeValue(F);
    if (std::isnan(value)) {
        // infinite penalty and value of opposite signs
        F.ErrorCode = kind::Plus;
        return 0;
    }
    return value;
}

Real FunctionValue(TFunction& F, const Vector& point, int lastIndex) {
    // Copied as bytes, one fixed-size move per coordinate: moving 80-bit
    // values through the FPU, or a variable-length memcpy, is slower.
    const int last = std::min(lastIndex, 9);
    for (int i = 0; i <= last; ++i) std::memcpy(&F.Point[i], &point[i], sizeof(Real));
    return CurrentValue(F);
}

} // namespace qirt
