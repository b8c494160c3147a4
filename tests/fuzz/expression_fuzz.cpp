// Parses the input as a formula and as an inequality, evaluates it at a few
// points with and without symbolic derivatives, and converts it as a number.
// A finding is a crash, a sanitizer report, a NaN value from an evaluation,
// or a broken promise checked here: the reader of faults finds one exactly
// when the parser refuses the text, the flat evaluator agrees with the tree
// walk bit for bit, the gradient of a function with the input as a region
// condition agrees with central differences where f is smooth, and every
// number reads back from its shortest text exactly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/diagnose.h"
#include "func/parser.h"
#include "func/evaluate.h"
#include "func/scan.h"
#include "graph/track/track_values.h"

using namespace qirt;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

const Vector kPoints[] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, -2, 3, -4, 5, -6, 7, -8, 9, -10},
    {0.5L, 1e-300L, -1e300L, 2, 3, 4, 5, 6, 7, 8},
};

void Exercise(TFunction& F) {
    if (F.ErrorCode != 0) return;
    const int last = F.VariableCount > 0 ? F.VariableCount - 1 : 0;
    for (const Vector& p : kPoints) {
        F.ClearEvaluationError();
        const Real flat = FunctionValue(F, p, last);
        const Byte flatCode = F.ErrorCode;
        F.ClearEvaluationError();
        const Real walked = EvaluateNode(F, F.Root);
        Check(!std::isnan(flat) && !std::isnan(walked));
        // The flat run and the tree walk: the same value bytes, the same error.
        Check(flatCode == F.ErrorCode && std::memcmp(&flat, &walked, 10) == 0);
        if (F.VariableCount == 0) continue;
        Vector g{};
        Gradient(F, p, g, last);
        Matrix h{};
        Hessian(F, p, h, last);
    }
}

// True when every subtree of G has a moderate value at the point. A huge
// intermediate value (sin of 1e26 x[0] - x[1]) swallows the small changes a
// difference step makes, so differences cannot judge a derivative there.
bool ModerateEverywhere(TFunction& G, const Vector& point) {
    constexpr std::size_t kMaxNodes = 2000; // each subtree is evaluated apart
    if (!G.Root || CountNodes(G.Root) > kMaxNodes) return false;
    G.ClearEvaluationError();
    (void)FunctionValue(G, point, 9);
    std::vector<const TreeNode*> pending{G.Root};
    while (!pending.empty()) {
        const TreeNode* node = pending.back();
        pending.pop_back();
        G.ClearEvaluationError();
        const Real v = EvaluateNode(G, node);
        if (!G.LastEvaluationDefined() || !(std::fabs(v) <= 1e6L)) return false;
        if (node->Left) pending.push_back(node->Left);
        if (node->Right) pending.push_back(node->Right);
    }
    return true;
}

// The gradient of x[0]^2 + x[1]^2 + x[2]^2 with the input as an exterior
// condition (power 2, so the term is smooth across the boundary), symbolic,
// against central differences at points where two step sizes agree (f is
// smooth there, and f at the point lies between its neighbours) and f and
// every intermediate value of the condition are moderate.
void CheckPenalisedGradient(std::string_view text) {
    uslov region;
    region.AddCondition(text, "1", "2", kExteriorKind);
    if (region.ConditionErrorCode != 0 || region.Size != 1) return;
    TFunction F;
    F.Conditions = &region;
    BuildTree(F, "x[0]^2+x[1]^2+x[2]^2");
    if (F.ErrorCode != 0) return;
    const Vector points[] = {{0.3L, -0.7L, 1.1L}, {1.7L, 0.2L, -0.4L}};
    for (const Vector& p : points) {
        if (!ModerateEverywhere(region.Head->Expression, p)) continue;
        Vector g{};
        if (!DefinedGradient(F, p, g, 2)) continue;
        // Differences of a huge value lose the gradient in its rounding.
        F.ClearEvaluationError();
        const Real f = FunctionValue(F, p, 2);
        if (!F.LastEvaluationDefined() || !(std::fabs(f) <= 1e6L)) continue;
        for (int i = 0; i < 3; ++i) {
            auto central = [&](Real h) {
                Vector up = p, down = p;
                up[i] += h;
                down[i] -= h;
                F.ClearEvaluationError();
                const Real a = FunctionValue(F, up, 2);
                const bool ok = F.LastEvaluationDefined();
                F.ClearEvaluationError();
                const Real b = FunctionValue(F, down, 2);
                if (!ok || !F.LastEvaluationDefined()) return std::nanl("");
                // Both neighbours far from f itself: a narrow band where the
                // condition is violated lies between them, and the
                // differences step over it.
                if (!(std::fabs((a + b) / 2 - f) <= 1e-5L * (1 + std::fabs(f)))) return std::nanl("");
                return (a - b) / (up[i] - down[i]);
            };
            const Real coarse = central(1e-4L), fine = central(5e-5L);
            if (!std::isfinite(coarse) || !std::isfinite(fine) || std::fabs(coarse) > 1e6L) continue;
            const Real scale = 1 + std::fabs(fine);
            if (std::fabs(coarse - fine) > 1e-7L * scale) continue; // not smooth enough here
            Check(std::fabs(g[i] - fine) <= 1e-3L * scale);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    Real number = TextToReal(text);
    Check(!std::isnan(number) || !IsNumberText(text));
    (void)RealToText(number);
    // A number's shortest text (the exact text the CSV and JSON files give)
    // reads back as the same number with the standard reader.
    if (IsRealText(text) && std::isfinite(number)) {
        const Real back = std::strtold(ShortestText(number).c_str(), nullptr);
        Check(std::memcmp(&back, &number, 10) == 0 || (back == 0 && number == 0));
    }

    // The parser and the reader of faults agree on what parses, and a fault
    // lies within the text (or just after it).
    {
        bool used[10] = {};
        TreeNode* tree = ParseExpression(text, used);
        const TFormulaFault fault = DiagnoseFormula(text);
        Check((tree != nullptr) == (fault.Kind == TFormulaFaultKind::None));
        Check(fault.Byte <= text.size() && fault.Position >= 0 && (tree || fault.Position >= 1));
        FreeTree(tree);
    }

    TFunction symbolic;
    BuildTree(symbolic, text);
    Exercise(symbolic);

    TFunction numeric;
    numeric.DifferentiationStep = 1e-3L;
    BuildTree(numeric, text);
    Exercise(numeric);

    uslov region;
    region.AddCondition(text, "1", "2", kExteriorKind);
    region.AddCondition(text, "1", "2", kInteriorKind);
    region.BoundaryTolerance = 0.1L;
    for (const Vector& p : kPoints) (void)region.PenaltySum(p, 3);
    CheckPenalisedGradient(text);
    return 0;
}
