// A session with a formula built into its function object and an empty
// track, as the run controller prepares them before it calls a method.
#pragma once

#include <vector>

#include "func/derivative.h"
#include "func/evaluate.h"
#include "methods/session.h"

namespace qirt::testing {

struct BuiltSession {
    explicit BuiltSession(const char* formula, Real step = 0) {
        S.Function.DifferentiationStep = step;
        BuildTree(S.Function, formula);
        S.Track = &track;
    }
    int Evaluations() const { return S.Function.EvaluationCount; }
    std::vector<Vector> TrackPoints() const {
        std::vector<Vector> points;
        for (const TrackPoint* p = track.Head; p; p = p->Next) points.push_back(p->X);
        return points;
    }
    Real ValueAt(const Vector& x) {
        S.Function.ClearEvaluationError();
        return FunctionValue(S.Function, x, S.Function.VariableCount - 1);
    }

    TSession S;
    Tdata track;
};

} // namespace qirt::testing
