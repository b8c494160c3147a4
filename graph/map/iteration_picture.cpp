#include "graph/map/iteration_picture.h"

#include <algorithm>
#include <cmath>

#include "func/evaluate.h"

namespace qirt {

namespace {

// Points of the view in map pixels, unrounded.
struct TProjection {
    const TViewRange& View;
    int A, B, Side;
    double PerX() const { return Side / double(View.XMax - View.XMin); }
    double PerY() const { return Side / double(View.YMax - View.YMin); }
    double X(const Vector& p) const { return double(p[A] - View.XMin) * PerX(); }
    double Y(const Vector& p) const { return Side - double(p[B] - View.YMin) * PerY(); }
    // A direction in pixels (y down).
    std::pair<double, double> Along(const Vector& d) const { return {double(d[A]) * PerX(), -double(d[B]) * PerY()}; }
};

// Keeps the part of a segment within the map and a margin of a map side
// around it (Liang and Barsky); false when none of it is there.
bool Clip(TOverlaySegment& s, int side) {
    const double low = -side, high = 2.0 * side;
    double t0 = 0, t1 = 1;
    const double dx = s.X2 - s.X1, dy = s.Y2 - s.Y1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!std::isfinite(s.X1) || !std::isfinite(s.Y1) || !std::isfinite(s.X2) || !std::isfinite(s.Y2)) return false;
    if (!edge(-dx, s.X1 - low) || !edge(dx, high - s.X1) || !edge(-dy, s.Y1 - low) || !edge(dy, high - s.Y1))
        return false;
    const TOverlaySegment whole = s;
    s.X1 = whole.X1 + t0 * dx;
    s.Y1 = whole.Y1 + t0 * dy;
    s.X2 = whole.X1 + t1 * dx;
    s.Y2 = whole.Y1 + t1 * dy;
    return true;
}

void Add(std::vector<TOverlaySegment>& to, TOverlaySegment s, int side) {
    if (Clip(s, side)) to.push_back(s);
}

// A segment of `length` pixels from (x, y) along the pixel direction, or
// nothing when the direction has no length on the map.
bool Fixed(double x, double y, std::pair<double, double> d, double length, TOverlaySegment& s) {
    const double norm = std::hypot(d.first, d.second);
    if (!(norm > 0) || !std::isfinite(norm)) return false;
    s = {x, y, x + d.first / norm * length, y + d.second / norm * length};
    return true;
}

} // namespace

TIterationOverlay IterationOverlay(const TIterationView& it, const Vector& point, int a, int b,
                                   const TViewRange& view, int side) {
    TIterationOverlay o;
    if (!(view.XMax > view.XMin) || !(view.YMax > view.YMin)) return o;
    const TProjection p{view, a, b, side};
    const double length = 0.12 * side; // 60 pixels on the map as first placed
    const double x = p.X(point), y = p.Y(point);
    TOverlaySegment s;
    if (it.HasGradient) {
        Vector minus{};
        for (int i = 0; i < 10; ++i) minus[i] = -it.Gradient[i];
        if (Fixed(x, y, p.Along(minus), length, s)) Add(o.Antigradient, s, side);
    }
    for (const TSearchView& search : it.Searches) {
        const auto [t0, t1] = SearchInterval(search);
        auto at = [&](double t) {
            Vector q{};
            for (int i = 0; i < 10; ++i) q[i] = search.Origin[i] + Real(t) * search.Direction[i];
            return q;
        };
        const Vector from = at(t0), to = at(t1);
        if (p.X(from) != p.X(to) || p.Y(from) != p.Y(to)) Add(o.Directions, {p.X(from), p.Y(from), p.X(to), p.Y(to)}, side);
        for (const TTrialPoint& t : search.Trials) {
            const Vector q = at(t.Step);
            const double qx = p.X(q), qy = p.Y(q);
            if (qx >= 0 && qy >= 0 && qx <= side && qy <= side) o.Trials.push_back({qx, qy});
        }
        if (search.Taken) {
            Vector end{};
            for (int i = 0; i < 10; ++i) end[i] = search.Origin[i] + search.Accepted * search.Direction[i];
            Add(o.Steps, {p.X(search.Origin), p.Y(search.Origin), p.X(end), p.Y(end)}, side);
        }
    }
    const int n = static_cast<int>(it.Simplex.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            Add(o.Simplex, {p.X(it.Simplex[i]), p.Y(it.Simplex[i]), p.X(it.Simplex[j]), p.Y(it.Simplex[j])}, side);
    for (const Vector& axis : it.Axes) {
        // Through the point, both ways.
        Vector back{};
        for (int i = 0; i < 10; ++i) back[i] = -axis[i];
        TOverlaySegment forward, backward;
        if (Fixed(x, y, p.Along(axis), length, forward) && Fixed(x, y, p.Along(back), length, backward))
            Add(o.Axes, {backward.X2, backward.Y2, forward.X2, forward.Y2}, side);
    }
    return o;
}

std::pair<double, double> SearchInterval(const TSearchView& s) {
    double low = 0, high = 0;
    for (const TTrialPoint& t : s.Trials)
        if (std::isfinite(t.Step)) {
            low = std::min(low, t.Step);
            high = std::max(high, t.Step);
        }
    if (s.Taken && std::isfinite(double(s.Accepted))) {
        low = std::min(low, double(s.Accepted));
        high = std::max(high, double(s.Accepted));
    }
    if (low == high) return {-1, 1};
    const double margin = (high - low) / 20;
    return {low - margin, high + margin};
}

std::vector<double> SampleSearchLine(TFunction& F, int lastIndex, const TSearchView& s, double t0, double t1,
                                     int count) {
    std::vector<double> phi(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        const Real t = count > 1 ? t0 + (t1 - t0) * k / (count - 1) : t0;
        Vector x{};
        for (int i = 0; i <= lastIndex; ++i) x[i] = s.Origin[i] + t * s.Direction[i];
        F.ClearEvaluationError();
        const Real v = FunctionValue(F, x, lastIndex);
        phi[static_cast<std::size_t>(k)] = F.LastEvaluationDefined() && std::isfinite(v) ? double(v) : std::nan("");
    }
    return phi;
}

} // namespace qirt
