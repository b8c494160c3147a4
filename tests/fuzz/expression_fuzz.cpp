// Parses the input as a formula and as an inequality, evaluates it at a few
// points with and without symbolic derivatives, and converts it as a number.
// A crash, a sanitizer report or a NaN value from an evaluation is a finding.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/evaluate.h"
#include "func/scan.h"

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
        Check(!std::isnan(FunctionValue(F, p, last)));
        Check(!std::isnan(EvaluateNode(F, F.Root)));
        if (F.VariableCount == 0) continue;
        Vector g{};
        Gradient(F, p, g, last);
        Matrix h{};
        Hessian(F, p, h, last);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    Real number = TextToReal(text);
    Check(!std::isnan(number) || !IsNumberText(text));
    (void)RealToText(number);

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
    return 0;
}
