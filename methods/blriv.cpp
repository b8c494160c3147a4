#include "methods/blriv.h"

#include "func/derivative.h"
#include "methods/blis.h"

namespace qirt {

namespace {
// The run ends when the squared gradient norm is no larger than this.
constexpr Real kGradientThreshold = 1e-26L;
} // namespace

void FirstOrderMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                      int MethodVariant, int RecordTrack, Real ValueAccuracy,
                      Real VariableAccuracy) {
    const int last = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;
    TFunction& F = S.Function;

    BeginMethod(S, last);
    TRestartRule rule(x, last);
    Vector s{}, g{}, gOld{}, d{};
    Real alpha = kInitialStep, beta = 0, gg = 0, good = 0;
    int k = 0, failed = 0;

    if (!StartValue(S, x, last, f)) goto end;

restart:
    alpha = kInitialStep;
    k = 0;
    beta = 0;
    if (!DefinedGradient(F, x, g, last)) {
        S.End = TMethodEnd::UndefinedDerivative;
        goto end;
    }
    gg = SquaredNorm(g, last);
    if (gg <= kGradientThreshold) goto end;
    for (;;) {
        for (int i = 0; i <= last; ++i) s[i] = beta * s[i] - g[i];
        NoteGradient(S, g);
        LineSearch(S, x, last, s, alpha, failed, &good);
        if (failed) {
            if (rule.RestartAfterFailure(x)) goto restart;
            goto end;
        }

        rule.StepAccepted();
        const Real fprev = f;
        if (!TakeStep(S, x, last, s, alpha, good, d, f)) goto end;
        if (RecordTrack) RecordPoint(S, x, last, f);
        ++S.IterationCount;
        ++k;
        if (ValueConverged(fprev, f, ValueAccuracy)) goto end;
        if (StepConverged(d, x, last, VariableAccuracy)) goto end;
        if (!KeepGoing(S, f)) goto end;

        bool periodic = k > last + 1 || MethodVariant == 3;
        if (!periodic && MethodVariant == 1) {
            if (!DefinedGradient(F, x, g, last)) {
                S.End = TMethodEnd::UndefinedDerivative;
                goto end;
            }
            const Real ggNew = SquaredNorm(g, last);
            beta = ggNew / gg;
            gg = ggNew;
        } else if (!periodic) {
            gOld = g;
            Real gs = 0;
            for (int i = 0; i <= last; ++i) gs += gOld[i] * s[i];
            if (!DefinedGradient(F, x, g, last)) {
                S.End = TMethodEnd::UndefinedDerivative;
                goto end;
            }
            if (gs == 0) {
                // No conjugation coefficient: start again from the antigradient.
                periodic = true;
            } else {
                Real sum = 0;
                for (int i = 0; i <= last; ++i) sum += g[i] * (g[i] - gOld[i]);
                beta = -sum / gs;
            }
        } else if (!DefinedGradient(F, x, g, last)) {
            S.End = TMethodEnd::UndefinedDerivative;
            goto end;
        }
        if (periodic) {
            // Back to the antigradient; the restart rule is left alone.
            alpha = kInitialStep;
            k = 0;
            beta = 0;
            gg = SquaredNorm(g, last);
        }
        if (gg <= kGradientThreshold) goto end;
    }

end:
    RecordPoint(S, x, last, f);
}

} // namespace qirt
