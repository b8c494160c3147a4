#include "methods/nelder_mead.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "methods/blis.h"

namespace qirt {

TSimplexMove NelderMeadStep(TSimplex& s, int last, const std::function<Real(const Vector&)>& value) {
    const int n = last + 1, worst = n, second = n - 1;
    auto along = [&](const Vector& from, const Vector& to, Real t) { // from + t (to - from)
        Vector p{};
        for (int i = 0; i <= last; ++i) p[i] = from[i] + t * (to[i] - from[i]);
        return p;
    };
    Vector centre{};
    for (int k = 0; k < n; ++k)
        for (int i = 0; i <= last; ++i) centre[i] += s.Points[k][i] / n;
    const Vector reflected = along(centre, s.Points[worst], -kReflection);
    const Real fr = value(reflected);
    if (fr < s.Values[0]) {
        const Vector expanded = along(centre, s.Points[worst], -kReflection * kExpansion);
        const Real fe = value(expanded);
        if (fe < fr) {
            s.Points[worst] = expanded, s.Values[worst] = fe;
            return TSimplexMove::Expansion;
        }
        s.Points[worst] = reflected, s.Values[worst] = fr;
        return TSimplexMove::Reflection;
    }
    if (fr < s.Values[second]) {
        s.Points[worst] = reflected, s.Values[worst] = fr;
        return TSimplexMove::Reflection;
    }
    // Contraction, outside when the reflection improved on the worst.
    const bool outside = fr < s.Values[worst];
    const Vector contracted =
        along(centre, s.Points[worst], outside ? -kReflection * kContraction : kContraction);
    const Real fc = value(contracted);
    if (fc < (outside ? fr : s.Values[worst])) {
        s.Points[worst] = contracted, s.Values[worst] = fc;
        return outside ? TSimplexMove::OutsideContraction : TSimplexMove::InsideContraction;
    }
    for (int k = 1; k <= n; ++k) { // shrink towards the best
        s.Points[k] = along(s.Points[0], s.Points[k], kShrink);
        s.Values[k] = value(s.Points[k]);
    }
    return TSimplexMove::Shrink;
}

void NelderMeadMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                      int RecordTrack, Real ValueAccuracy, Real VariableAccuracy) {
    const int full = LastIndex;
    Vector& x = ResultPoint;
    Real& f = MinimumValue;
    BeginMethod(S, full);
    // The simplex spans only the coordinates the function depends on; the
    // others keep their values (a simplex spread along them would drift
    // where every value is the same). Its points hold those coordinates in
    // order; Whole puts them back in place.
    int taking[10], m = 0;
    for (int i = 0; i <= full; ++i)
        if (S.CoordinateUsed[i]) taking[m++] = i;
    if (m == 0)
        for (int i = 0; i <= full; ++i) taking[m++] = i;
    const int last = m - 1, n = m;
    const Vector start = x;
    auto whole = [&](const Vector& p) {
        Vector w = start;
        for (int j = 0; j < m; ++j) w[taking[j]] = p[j];
        return w;
    };
    // A value as the simplex compares it: undefined is higher than any. A
    // point or value past the end of the number range shows that the
    // function falls without end (the run ends there).
    bool fell = false;
    auto value = [&](const Vector& part) {
        const Vector p = whole(part);
        Real v;
        if (DefinedValue(S, p, full, v)) return v;
        bool beyond = v == -HUGE_VALL && S.Function.LastEvaluationDefined();
        for (int i = 0; i <= full; ++i) beyond = beyond || !std::isfinite(p[i]);
        fell = fell || beyond;
        return HUGE_VALL;
    };
    if (!DefinedValue(S, x, full, f)) {
        S.End = TMethodEnd::UndefinedStart;
        RecordPoint(S, x, full, f);
        return;
    }
    RecordPoint(S, x, full, f);

    Vector points[11];
    Real values[11];
    for (int j = 0; j < m; ++j) points[0][j] = x[taking[j]];
    values[0] = f;
    for (int i = 0; i < n; ++i) {
        points[i + 1] = points[0];
        const Real xi = points[0][i];
        points[i + 1][i] = xi != 0 ? (1 + kSimplexShare) * xi : kSimplexFloor;
        values[i + 1] = value(points[i + 1]);
    }
    int order[11];
    std::iota(order, order + n + 1, 0);
    for (;;) {
        std::stable_sort(order, order + n + 1, [&](int a, int b) { return values[a] < values[b]; });
        const int best = order[0];
        // Both spreads small: done.
        Real spreadF = 0, spreadX = 0;
        for (int k = 1; k <= n; ++k) {
            spreadF = std::max(spreadF, std::fabs(values[order[k]] - values[best]));
            for (int i = 0; i <= last; ++i)
                spreadX = std::max(spreadX, std::fabs(points[order[k]][i] - points[best][i]));
        }
        if (S.IterationCount > 0 && spreadF <= ValueAccuracy && spreadX <= VariableAccuracy) break;
        if (spreadX == 0) break; // the simplex has shrunk to a point: nothing can move it
        if (S.IterationCount > 0 && !KeepGoing(S, values[best])) break;

        TSimplex simplex;
        for (int k = 0; k <= n; ++k) {
            simplex.Points[k] = points[order[k]];
            simplex.Values[k] = values[order[k]];
        }
        if (S.Log) {
            Vector vertices[11];
            for (int k = 0; k <= n; ++k) vertices[k] = whole(simplex.Points[k]);
            S.Log->Simplex(vertices, n + 1);
        }
        NelderMeadStep(simplex, last, value);
        for (int k = 0; k <= n; ++k) {
            points[order[k]] = simplex.Points[k];
            values[order[k]] = simplex.Values[k];
        }
        ++S.IterationCount;
        const int now = *std::min_element(order, order + n + 1,
                                          [&](int a, int b) { return values[a] < values[b]; });
        if (RecordTrack) RecordPoint(S, whole(points[now]), full, values[now]);
        if (fell) {
            S.End = TMethodEnd::Unbounded;
            break;
        }
    }
    const int now = *std::min_element(order, order + n + 1,
                                      [&](int a, int b) { return values[a] < values[b]; });
    x = whole(points[now]);
    f = values[now];
    RecordPoint(S, x, full, f);
}

} // namespace qirt
