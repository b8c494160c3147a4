#include "methods/nyton.h"

#include "func/derivative.h"
#include "methods/blis.h"
#include "methods/linear.h"

namespace qirt {

void ExchangeStep(Matrix& M, int LastIndex, int r, int c) {
    const int last = LastIndex;
    const Real a = M[r][c];
    for (int i = 0; i <= last; ++i) {
        if (i == r) continue;
        for (int j = 0; j <= last; ++j)
            if (j != c) M[i][j] = M[i][j] - M[r][j] * M[i][c] / M[r][c];
    }
    for (int j = 0; j <= last; ++j) M[r][j] = -M[r][j] / a;
    for (int i = 0; i <= last; ++i) M[i][c] = M[i][c] / a;
    M[r][c] = -M[r][c];
}

void InvertMatrix(Matrix& M, int LastIndex, bool& ok) {
    ok = true;
    int pending[10];
    int count = LastIndex + 1;
    for (int i = 0; i < count; ++i) pending[i] = i;
    int scan = 0;
    while (count > 0) {
        const int p = pending[scan];
        if (M[p][p] != 0) {
            ExchangeStep(M, LastIndex, p, p);
            for (int i = scan; i + 1 < count; ++i) pending[i] = pending[i + 1];
            --count;
            scan = 0;
        } else if (++scan == count) {
            ok = false;
            return;
        }
    }
}

void NewtonMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                  int RecordTrack, Real ValueAccuracy, Real VariableAccuracy) {
    const int last = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;
    TFunction& F = S.Function;

    BeginMethod(S, last);
    TRestartRule rule(x, last);
    Matrix M{};
    Vector g{}, s{}, d{};

    if (!DefinedValue(S, x, last, f)) {
        S.End = TMethodEnd::UndefinedStart;
        goto end;
    }
    if (RecordTrack) RecordPoint(S, x, last, f);
    for (;;) {
        Real alpha = kInitialStep, good = 0;
        int failed;
        bool ok;
        if (!DefinedHessian(F, x, M, last)) {
            S.End = TMethodEnd::UndefinedDerivative;
            goto end;
        }
        // A coordinate the function does not depend on has no curvature
        // (and a zero gradient): a unit entry in its place lets the others
        // be inverted, and it keeps its value.
        for (int i = 0; i <= last; ++i)
            if (!S.CoordinateUsed[i]) {
                for (int j = 0; j <= last; ++j) M[i][j] = M[j][i] = 0;
                M[i][i] = 1;
            }
        InvertMatrix(M, last, ok);
        if (!ok) {
            S.End = TMethodEnd::SingularHessian;
            goto end;
        }
        if (!DefinedGradient(F, x, g, last)) {
            S.End = TMethodEnd::UndefinedDerivative;
            goto end;
        }
        if (SquaredNorm(g, last) == 0) goto end;
        MinusProduct(M, g, s, last);
        NoteGradient(S, g);
        LineSearch(S, x, last, s, alpha, failed, &good);
        if (failed) {
            if (rule.RestartAfterFailure(x)) continue;
            goto end;
        }
        if (alpha == 0) return; // a flat parabola: stop without the final record

        rule.StepAccepted();
        const Real fprev = f;
        if (!TakeStep(S, x, last, s, alpha, good, d, f)) goto end;
        // The point is recorded with the value held before it was evaluated.
        if (RecordTrack) RecordPoint(S, x, last, fprev);
        ++S.IterationCount;
        if (ValueConverged(fprev, f, ValueAccuracy)) goto end;
        if (StepConverged(d, x, last, VariableAccuracy)) goto end;
        if (!KeepGoing(S, f)) goto end;
    }

end:
    RecordPoint(S, x, last, f);
}

} // namespace qirt
