#include "methods/blmetr.h"

#include "func/derivative.h"
#include "methods/bfgs.h"
#include "methods/blis.h"
#include "methods/linear.h"

namespace qirt {

namespace {

void SetIdentity(Matrix& m, int last) {
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) m[i][j] = i == j ? 1 : 0;
}

} // namespace

void DavidonFletcherPowellUpdate(TMetricStorage& m, int last) {
    Matrix& H = m.MetricMatrix;
    const Real dy = Dot(m.d, m.y, last);
    if (dy == 0) return;
    Vector& v = m.w;
    Product(H, m.y, v, last);
    const Real yv = Dot(m.y, v, last);
    if (yv == 0) return;
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j)
            H[i][j] = H[i][j] + m.d[i] * m.d[j] / dy - v[i] * v[j] / yv;
}

void FletcherUpdate(TMetricStorage& m, int last) {
    Matrix& H = m.MetricMatrix;
    const Real dy = Dot(m.d, m.y, last);
    if (dy == 0) return;
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) m.A[i][j] = (i == j ? 1 : 0) - m.y[i] * m.d[j] / dy;
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) {
            m.B[i][j] = 0;
            for (int k = 0; k <= last; ++k) m.B[i][j] += H[i][k] * m.A[k][j];
        }
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) {
            H[i][j] = 0;
            for (int k = 0; k <= last; ++k) H[i][j] += m.A[k][i] * m.B[k][j];
            H[i][j] += m.d[i] * m.d[j] / dy;
        }
}

void BroydenUpdate(TMetricStorage& m, int last) {
    Matrix& H = m.MetricMatrix;
    for (int i = 0; i <= last; ++i) {
        Real Hy = 0;
        for (int j = 0; j <= last; ++j) Hy += H[i][j] * m.y[j];
        m.w[i] = m.d[i] - Hy;
    }
    const Real wy = Dot(m.w, m.y, last);
    if (wy == 0) return;
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) H[i][j] = H[i][j] + m.w[i] * m.w[j] / wy;
}

void VariableMetricMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                          int MethodVariant, int RecordTrack, Real ValueAccuracy,
                          Real VariableAccuracy) {
    if (MethodVariant == 4)
        return BfgsMethod(S, ResultPoint, LastIndex, MinimumValue, RecordTrack, ValueAccuracy,
                          VariableAccuracy);
    const int last = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;
    TFunction& F = S.Function;
    TMetricStorage m;
    Matrix& H = m.MetricMatrix;

    BeginMethod(S, last);
    TRestartRule rule(x, last);
    Real alpha = kInitialStep, good = 0;
    int k = 0, failed = 0;

    if (!StartValue(S, x, last, f)) goto end;
    if (VariableAccuracy == 0) VariableAccuracy = ValueAccuracy = kMetricDefaultAccuracy;

restart:
    k = 0;
    alpha = kInitialStep;
    SetIdentity(H, last);
    for (;;) {
        if (!DefinedGradient(F, x, m.g, last)) {
            S.End = TMethodEnd::UndefinedDerivative;
            goto end;
        }
        if (SquaredNorm(m.g, last) == 0) goto end;
        MinusProduct(H, m.g, m.s, last);
        NoteGradient(S, m.g);
        LineSearch(S, x, last, m.s, alpha, failed, &good);
        if (failed) {
            if (rule.RestartAfterFailure(x)) goto restart;
            goto end;
        }
        if (alpha == 0) return; // a flat parabola: stop without the final record

        rule.StepAccepted();
        const Vector gBefore = m.g;
        const Real fprev = f;
        if (!TakeStep(S, x, last, m.s, alpha, good, m.d, f)) goto end;
        // The point is recorded with the value held before it was evaluated.
        if (RecordTrack) RecordPoint(S, x, last, fprev);
        ++S.IterationCount;
        ++k;
        if (ValueConverged(fprev, f, ValueAccuracy)) goto end;
        if (StepConverged(m.d, x, last, VariableAccuracy)) goto end;
        if (!KeepGoing(S, f)) goto end;
        if (k > 2 * last + 3) goto restart;

        if (!DefinedGradient(F, x, m.g, last)) {
            S.End = TMethodEnd::UndefinedDerivative;
            goto end;
        }
        for (int i = 0; i <= last; ++i) m.y[i] = m.g[i] - gBefore[i];
        switch (MethodVariant) {
        case 1: DavidonFletcherPowellUpdate(m, S.CurrentLastIndex); break;
        case 2: FletcherUpdate(m, S.CurrentLastIndex); break;
        default: BroydenUpdate(m, S.CurrentLastIndex); break;
        }
    }

end:
    RecordPoint(S, x, last, f);
}

} // namespace qirt
