#include "methods/blpow.h"

#include <cmath>
#include <utility>

#include "methods/blis.h"
#include "methods/nelder_mead.h"

namespace qirt {

namespace {
constexpr Real kInitialDirectionStep = 0.1L; // Rosenbrock: h at entry
constexpr Real kReplacementStep = 0.01L;     // Rosenbrock: for a kept step of 0
constexpr Real kInitialSharedStep = 1;       // Gauss: at entry and when out of [-1, 1]

void SwapColumns(Matrix& D, int a, int b, int last) {
    for (int r = 0; r <= last; ++r) std::swap(D[r][a], D[r][b]);
}
} // namespace

void RebuildDirections(Vector& h, Matrix& D, int LastIndex, bool& CanContinue) {
    const int last = LastIndex;
    CanContinue = true;
    int k = last;
    for (int i = last; i >= 0; --i) {
        if (h[i] == 0) {
            h[i] = h[k];
            h[k] = 0;
            SwapColumns(D, i, k, last);
            --k;
        }
    }
    if (k == -1) {
        CanContinue = false;
        return;
    }
    Real sum = 0;
    Vector A{};
    for (int j = k; j >= 0; --j) {
        sum += h[j] * h[j];
        for (int r = 0; r <= last; ++r) A[r] += h[j] * D[r][j];
        if (j > 0) {
            const Real r = std::sqrt((h[j - 1] * h[j - 1] + sum) * sum);
            if (r != 0)
                for (int row = 0; row <= last; ++row)
                    D[row][j] = (sum * D[row][j - 1] - h[j - 1] * A[row]) / r;
        } else {
            const Real r = std::sqrt(sum);
            if (r == 0)
                CanContinue = false;
            else
                for (int row = 0; row <= last; ++row) D[row][0] = A[row] / r;
        }
    }
}

void ZeroOrderMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                     int MethodVariant, int RecordTrack, Real ValueAccuracy,
                     Real VariableAccuracy) {
    if (MethodVariant == 3)
        return NelderMeadMethod(S, ResultPoint, LastIndex, MinimumValue, RecordTrack, ValueAccuracy,
                                VariableAccuracy);
    const int last = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;

    BeginMethod(S, last);
    Real alpha = kInitialSharedStep;
    Vector h{}, xBase = x, direction{}, step{};
    Matrix D{};
    for (int j = 0; j <= last; ++j) {
        h[j] = kInitialDirectionStep;
        D[j][j] = 1;
    }
    if (!DefinedValue(S, x, last, f)) {
        S.End = TMethodEnd::UndefinedStart;
        goto end;
    }

    for (;;) {
        const Real fBase = f;
        if (RecordTrack) RecordPoint(S, x, last, f);
        if (S.Log && MethodVariant == 1) S.Log->Axes(D);
        for (int j = 0; j <= last; ++j) {
            if (MethodVariant == 1) {
                alpha = h[j];
                for (int r = 0; r <= last; ++r) direction[r] = D[r][j];
                if (alpha == 0) alpha = kReplacementStep;
            } else {
                direction = Vector{};
                direction[j] = 1;
                // A shared step of 0 (a search that failed) would stay 0.
                if (alpha > 1 || alpha < -1 || alpha == 0) alpha = kInitialSharedStep;
            }
            int failed;
            Real good = 0;
            LineSearch(S, x, last, direction, alpha, failed, &good);
            if (alpha == 0) continue;
            if (!TakeStep(S, x, last, direction, alpha, good, step, f)) {
                // Neither step leads to a defined point: skip the direction.
                S.End = TMethodEnd::Converged;
                alpha = 0;
                continue;
            }
            if (MethodVariant == 1) h[j] = alpha;
            if (S.End == TMethodEnd::Unbounded) break;
        }
        ++S.IterationCount;
        Vector delta{};
        for (int i = 0; i <= last; ++i) delta[i] = x[i] - xBase[i];
        xBase = x;
        if (S.End == TMethodEnd::Unbounded) break;

        if ((std::fabs(f) < 1 && std::fabs(f) < ValueAccuracy) ||
            std::fabs(f - fBase) < ValueAccuracy)
            break;
        int moving = -1;
        for (int i = 0; i <= last && moving < 0; ++i) {
            const bool converged = std::fabs(x[i]) < 1
                                       ? std::fabs(delta[i]) <= VariableAccuracy
                                       : std::fabs(delta[i] / x[i]) <= VariableAccuracy;
            if (!converged) moving = i;
        }
        if (moving < 0) break;
        if (MethodVariant == 1) {
            bool canContinue;
            RebuildDirections(h, D, last, canContinue);
            if (!canContinue) break;
        }
        if (!KeepGoing(S, f)) break;
    }

end:
    ++S.IterationCount;
    if (RecordTrack) RecordPoint(S, x, last, f);
}

} // namespace qirt
