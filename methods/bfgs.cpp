#include "methods/bfgs.h"

#include <algorithm>
#include <cmath>

#include "func/derivative.h"
#include "methods/blis.h"
#include "methods/blmetr.h"
#include "methods/linear.h"
#include "methods/verdict.h"

namespace qirt {

namespace {

// The step doubles until the function rises, or to the end of the number
// range (about 16,400 doublings) where the function is unbounded below.
constexpr int kBracketSteps = 40'000;
constexpr int kZoomSteps = 40;
// Iterations in a row with neither the value nor the point changing, after
// which the method ends whatever the gradient says.
constexpr int kStillIterations = 20;

// The minimiser of the cubic through (a, fa, da) and (b, fb, db), or NaN.
Real CubicMinimiser(Real a, Real fa, Real da, Real b, Real fb, Real db) {
    const Real d1 = da + db - 3 * (fa - fb) / (a - b);
    const Real squared = d1 * d1 - da * db;
    if (!(squared >= 0)) return std::nanl("");
    const Real d2 = std::copysign(std::sqrt(squared), b - a);
    return b - (b - a) * (db + d2 - d1) / (db - da + 2 * d2);
}

} // namespace

TWolfeResult WolfeSearch(TSession& S, const Vector& x, int last, Real f0, const Vector& g0,
                         const Vector& p, Real& alpha, Vector& xNew, Real& fNew, Vector& gNew) {
    const Real slope0 = Dot(g0, p, last);
    if (!(slope0 < 0)) return TWolfeResult::Failed;
    if (S.Log) S.Log->SearchBegins(x, p);
    struct TTrial {
        Real A = 0, F = 0, D = 0;
        bool Defined = false;
        Vector X{}, G{};
    };
    // The value, and the slope when asked, at step a; undefined points are
    // never accepted.
    auto at = [&](Real a, bool slope) {
        TTrial t;
        t.A = a;
        for (int i = 0; i <= last; ++i) t.X[i] = x[i] + a * p[i];
        t.Defined = DefinedValue(S, t.X, last, t.F);
        if (S.Log) S.Log->Trial(a, t.Defined ? t.F : HUGE_VALL);
        if (t.Defined && slope) {
            t.Defined = DefinedGradient(S.Function, t.X, t.G, last);
            t.D = t.Defined ? Dot(t.G, p, last) : 0;
        }
        return t;
    };
    auto accept = [&](const TTrial& t) {
        if (S.Log) S.Log->Accepted(t.A);
        alpha = t.A;
        xNew = t.X;
        fNew = t.F;
        gNew = t.G;
        return TWolfeResult::Found;
    };
    auto sufficient = [&](const TTrial& t) { return t.F <= f0 + kWolfeDecrease * t.A * slope0; };
    auto curvature = [&](const TTrial& t) { return std::fabs(t.D) <= -kWolfeCurvature * slope0; };

    TTrial lo{0, f0, slope0, true, x, g0}, hi;
    auto zoom = [&]() {
        for (int k = 0; k < kZoomSteps; ++k) {
            // A cubic step, kept well inside the bracket; else its middle.
            const Real width = hi.A - lo.A;
            Real a = hi.Defined ? CubicMinimiser(lo.A, lo.F, lo.D, hi.A, hi.F, hi.D) : std::nanl("");
            const Real inner = 0.1L * std::fabs(width);
            if (!std::isfinite(a) || std::fabs(a - lo.A) < inner || std::fabs(hi.A - a) < inner ||
                (a - lo.A) * (a - hi.A) > 0)
                a = lo.A + width / 2;
            TTrial t = at(a, true);
            if (!t.Defined || !sufficient(t) || t.F >= lo.F) {
                hi = t;
                if (!t.Defined) hi.Defined = false;
                continue;
            }
            if (curvature(t)) return accept(t);
            if (t.D * (hi.A - lo.A) >= 0) hi = lo;
            lo = t;
        }
        // No step meets both conditions: the lowest one with enough decrease.
        if (lo.A > 0) return accept(lo);
        return TWolfeResult::Failed;
    };

    TTrial previous = lo;
    Real a = alpha > 0 && std::isfinite(alpha) ? alpha : 1;
    for (int k = 0; k < kBracketSteps; ++k) {
        TTrial t = at(a, true);
        bool beyond = t.F == -HUGE_VALL && S.Function.LastEvaluationDefined();
        for (int i = 0; i <= last; ++i) beyond = beyond || !std::isfinite(t.X[i]);
        if (beyond) {
            // The values fell all the way to the end of the number range.
            if (previous.A > 0) {
                accept(previous);
                return TWolfeResult::Unbounded;
            }
            return TWolfeResult::Failed;
        }
        if (!t.Defined || !sufficient(t) || (k > 0 && t.F >= previous.F)) {
            lo = previous;
            hi = t;
            return zoom();
        }
        if (curvature(t)) return accept(t);
        if (t.D >= 0) {
            lo = t;
            hi = previous;
            return zoom();
        }
        previous = t;
        a *= 2;
    }
    accept(previous);
    return TWolfeResult::Unbounded;
}

void BfgsMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                int RecordTrack, Real ValueAccuracy, Real VariableAccuracy) {
    const int last = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;
    TFunction& F = S.Function;

    BeginMethod(S, last);
    TRestartRule rule(x, last);
    Matrix H{};
    Vector g{}, p{}, xNew{}, gNew{}, s{}, y{};
    bool scaled = false;
    int stillCount = 0; // iterations in a row on which the value and step tests held

    if (!StartValue(S, x, last, f)) goto end;
    if (VariableAccuracy == 0) VariableAccuracy = ValueAccuracy = kMetricDefaultAccuracy;
    if (!DefinedGradient(F, x, g, last)) {
        S.End = TMethodEnd::UndefinedDerivative;
        goto end;
    }

restart:
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j <= last; ++j) H[i][j] = i == j ? 1 : 0;
    scaled = false;
    for (;;) {
        Real largest = 0;
        for (int i = 0; i <= last; ++i) largest = std::max(largest, std::fabs(g[i]));
        MinusProduct(H, g, p, last);
        // The gradient test, where the decrease the model still promises,
        // g^T H g / 2, is within the accuracy in the values too: on a tail
        // that levels off towards infinity the gradient is tiny but the
        // model still sees the function falling far ahead.
        if (largest <= VariableAccuracy &&
            -Dot(g, p, last) / 2 <= ValueAccuracy * std::max<Real>(1, std::fabs(f)))
            goto end;
        // The first step of a restart is at most 1 long; later ones try 1.
        Real alpha = scaled ? 1 : std::min<Real>(1, 1 / std::sqrt(SquaredNorm(p, last)));
        Real fNew;
        NoteGradient(S, g);
        const TWolfeResult found = WolfeSearch(S, x, last, f, g, p, alpha, xNew, fNew, gNew);
        if (found == TWolfeResult::Failed) {
            if (rule.RestartAfterFailure(x)) goto restart;
            goto end;
        }
        rule.StepAccepted();
        for (int i = 0; i <= last; ++i) {
            s[i] = xNew[i] - x[i];
            y[i] = gNew[i] - g[i];
        }
        const Real fPrev = f;
        x = xNew;
        f = fNew;
        g = gNew;
        if (RecordTrack) RecordPoint(S, x, last, f);
        ++S.IterationCount;
        if (found == TWolfeResult::Unbounded) {
            S.End = TMethodEnd::Unbounded;
            goto end;
        }
        {
            // A small change of the value or of the point alone says little
            // where the function is flat along the step: both must hold on
            // two iterations in a row, and the gradient must be small.
            // Where they keep holding with the gradient still large, the
            // method makes no progress: it ends after kStillIterations (or
            // at once when the values have fallen below any real problem's)
            // and the gradient tells the user it found no minimum.
            const bool still = ValueConverged(fPrev, f, ValueAccuracy) && StepConverged(s, x, last, VariableAccuracy);
            stillCount = still ? stillCount + 1 : 0;
            if (stillCount >= 2 && (RelativeGradient(g, f, x, last) <= StationaryTolerance(ValueAccuracy) ||
                                    f <= kUnboundedValue || stillCount >= kStillIterations))
                goto end;
        }
        if (!KeepGoing(S, f)) goto end;

        const Real ys = Dot(y, s, last);
        if (!(ys > 0)) continue; // no positive curvature: H stays as it is
        if (!scaled) {
            // The first matrix takes the scale of the function.
            const Real scale = ys / Dot(y, y, last);
            for (int i = 0; i <= last; ++i) H[i][i] = scale;
            scaled = true;
        }
        // H = (I - rho s y^T) H (I - rho y s^T) + rho s s^T
        const Real rho = 1 / ys;
        Vector Hy{};
        Product(H, y, Hy, last);
        const Real yHy = Dot(y, Hy, last);
        for (int i = 0; i <= last; ++i)
            for (int j = 0; j <= last; ++j)
                H[i][j] += (1 + rho * yHy) * rho * s[i] * s[j] - rho * (Hy[i] * s[j] + s[i] * Hy[j]);
    }

end:
    RecordPoint(S, x, last, f);
}

} // namespace qirt
