#include "methods/blis.h"

#include <cmath>

#include "func/evaluate.h"

namespace qirt {

namespace {

bool AllFinite(const Vector& v, int last) {
    for (int i = 0; i <= last; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// A value as the search compares it: a point where the function is
// undefined, or a value that is not finite, is never a decrease. Beyond is
// set when the point or the value has run past the end of the number range
// (a value of minus infinity included): the function fell all the way there.
// The trial point is the search's origin plus `step` times its direction;
// the step goes to the run's log with the value.
Real SearchValue(TSession& S, const Vector& point, int last, Real step, bool& beyond) {
    TFunction& F = S.Function;
    F.ClearEvaluationError();
    const Real value = FunctionValue(F, point, last);
    beyond = !AllFinite(point, last) || (F.LastEvaluationDefined() && value == -HUGE_VALL);
    const bool defined = F.LastEvaluationDefined() && std::isfinite(value) && !beyond;
    const Real compared = defined ? value : HUGE_VALL;
    if (S.Log) S.Log->Trial(step, compared);
    return compared;
}

Real SearchValue(TSession& S, const Vector& point, int last, Real step) {
    bool beyond;
    return SearchValue(S, point, last, step, beyond);
}

} // namespace

bool DefinedValue(TSession& S, const Vector& x, int LastIndex, Real& value) {
    TFunction& F = S.Function;
    F.ClearEvaluationError();
    value = FunctionValue(F, x, LastIndex);
    return F.LastEvaluationDefined() && std::isfinite(value) && AllFinite(x, LastIndex);
}

void LineSearch(TSession& S, const Vector& x, int LastIndex, const Vector& s, Real& StepLength,
                int& SearchFailed, Real* LastGoodStep) {
    const int last = LastIndex;
    Real& alpha = StepLength;
    Real good = 0; // step of the lowest value evaluated so far, 0 while none is below f0
    auto fail = [&](bool keepStep) {
        SearchFailed = 1;
        if (!keepStep) alpha = 0;
        if (LastGoodStep) *LastGoodStep = 0;
    };

    if (S.Log) S.Log->SearchBegins(x, s);
    const Real f0 = SearchValue(S, x, last, 0);
    SearchFailed = 0;
    bool zeroDirection = true;
    for (int i = 0; i <= last; ++i)
        if (s[i] != 0) zeroDirection = false;
    if (zeroDirection) return fail(true);
    // Nothing to search with: a zero or endless step, an endless direction,
    // or a start where the function is undefined.
    if (alpha == 0 || !std::isfinite(alpha) || !AllFinite(s, last) || !std::isfinite(f0))
        return fail(false);

    const Real alpha0 = alpha;
    bool reversed = false;
    Vector t = x;
    Real f1, f2;
    int halvings;
trial:
    halvings = 0;
    for (int i = 0; i <= last; ++i) t[i] = x[i] + alpha * s[i];
    f1 = SearchValue(S, t, last, alpha);
    if (f1 <= f0) {
        // Expansion: double the step while the value keeps falling (`at`
        // is how far along s the point t has gone).
        bool beyond;
        for (int i = 0; i <= last; ++i) t[i] += alpha * s[i];
        Real at = 2 * alpha;
        f2 = SearchValue(S, t, last, at, beyond);
        for (int doublings = 0; f2 <= f1; ++doublings) {
            if (doublings == kMaxDoublings || !std::isfinite(2 * alpha)) {
                // The step cannot grow and the function has not risen along
                // s: it is unbounded below there. Keep the lowest point
                // found, or fail where it is flat.
                if (!(f2 < f0)) return fail(false);
                S.End = TMethodEnd::Unbounded;
                if (std::isfinite(2 * alpha)) alpha = 2 * alpha;
                if (LastGoodStep) *LastGoodStep = alpha;
                return;
            }
            alpha *= 2;
            f1 = f2;
            for (int i = 0; i <= last; ++i) t[i] += alpha * s[i];
            at += alpha;
            f2 = SearchValue(S, t, last, at, beyond);
        }
        good = alpha;
        if (!std::isfinite(f2)) {
            // No parabola through an undefined value: keep the last good
            // step, if it went down at all (a flat run ends at the edge of
            // the number range, where the point itself stops being finite).
            if (!(f1 < f0)) return fail(false);
            // Falling all the way to the end of the number range shows that
            // the function is unbounded below along s: the run ends here.
            if (beyond) S.End = TMethodEnd::Unbounded;
            if (LastGoodStep) *LastGoodStep = good;
            return;
        }
    } else {
        // Contraction: halve the step until the value is no higher than f0.
        do {
            ++halvings;
            alpha /= 2;
            f2 = f1;
            for (int i = 0; i <= last; ++i) t[i] = x[i] + alpha * s[i];
            f1 = SearchValue(S, t, last, alpha);
            if (halvings > kMaxHalvings && !reversed) {
                alpha = -2 * alpha0;
                reversed = true;
                goto trial;
            }
            if (reversed) {
                SearchFailed = 1;
                alpha = 0;
            }
        } while (!(f1 <= f0 || halvings > kMaxHalvings));
        if (f1 > f0 || halvings > kMaxHalvings) SearchFailed = 1;
        if (!SearchFailed) good = alpha;
    }

    // The vertex of the parabola through (0, f0), (alpha, f1), (2 alpha, f2).
    const Real d = f0 + f2 - 2 * f1;
    if (d == 0) return fail(false);
    const Real vertex = alpha * (3 * f0 - 4 * f1 + f2) / (2 * d);
    alpha = std::isfinite(vertex) ? vertex : good;
    if (LastGoodStep) *LastGoodStep = good;
}

Real SquaredNorm(const Vector& v, int LastIndex) {
    Real sum = 0;
    for (int i = 0; i <= LastIndex; ++i) sum += v[i] * v[i];
    return sum;
}

bool ValueConverged(Real fprev, Real f, Real ValueAccuracy) {
    if (std::fabs(fprev) > 1) return std::fabs(fprev - f) / std::fabs(fprev) < ValueAccuracy;
    return std::fabs(fprev - f) < ValueAccuracy;
}

bool StepConverged(const Vector& d, const Vector& x, int LastIndex, Real VariableAccuracy) {
    for (int i = 0; i <= LastIndex; ++i) {
        Real change = std::fabs(x[i]) > 1 ? std::fabs(d[i] / x[i]) : std::fabs(d[i]);
        if (!(change < VariableAccuracy)) return false;
    }
    return true;
}

bool TRestartRule::RestartAfterFailure(const Vector& x) {
    bool moved = false;
    for (int i = 0; i <= last_; ++i)
        if (x[i] != remembered_[i]) moved = true;
    if (!moved) return false;
    remembered_ = x;
    if (restarted_) return false;
    restarted_ = true;
    return true;
}

bool TakeStep(TSession& S, Vector& x, int LastIndex, const Vector& s, Real& StepLength,
              Real lastGoodStep, Vector& d, Real& f) {
    for (;;) {
        Vector step{}, trial = x;
        for (int i = 0; i <= LastIndex; ++i) {
            step[i] = StepLength * s[i];
            trial[i] = x[i] + step[i];
        }
        Real value;
        if (DefinedValue(S, trial, LastIndex, value)) {
            x = trial;
            d = step;
            f = value;
            if (S.Log) S.Log->Accepted(StepLength);
            return true;
        }
        if (lastGoodStep == 0 || lastGoodStep == StepLength) break;
        StepLength = lastGoodStep;
    }
    S.End = TMethodEnd::NoDefinedStep;
    return false;
}

bool StartValue(TSession& S, const Vector& x, int LastIndex, Real& f) {
    if (!DefinedValue(S, x, LastIndex, f)) S.End = TMethodEnd::UndefinedStart;
    RecordPoint(S, x, LastIndex, f);
    return S.End == TMethodEnd::Converged;
}

void RecordPoint(TSession& S, const Vector& x, int LastIndex, Real f) {
    if (S.Track) AddTrackPoint(*S.Track, x, LastIndex, f);
    if (S.Log) S.Log->PointRecorded();
}

bool KeepGoing(TSession& S, Real f) {
    if (S.End == TMethodEnd::Unbounded) return false;
    if (S.IterationCount >= kMaxIterations) {
        S.End = TMethodEnd::IterationLimit;
        return false;
    }
    if (S.Function.EvaluationCount >= kMaxEvaluations) {
        S.End = TMethodEnd::EvaluationLimit;
        return false;
    }
    if (S.Progress && !S.Progress->Continue(S.IterationCount, f)) {
        S.End = TMethodEnd::Cancelled;
        return false;
    }
    return true;
}

void BeginMethod(TSession& S, int LastIndex) {
    S.CurrentLastIndex = static_cast<Byte>(LastIndex);
    S.IterationCount = 0;
    S.End = TMethodEnd::Converged;
}

} // namespace qirt
