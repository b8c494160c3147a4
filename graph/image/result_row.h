// A run's figures as texts, as the results table of a comparison and the
// reports show them, in the interface's language.
#pragma once

#include <QString>

namespace qirt {

struct TRunResult;

struct TResultRow {
    QString Method, Point, Minimum, Gradient, Iterations, Evaluations, Seconds, End;
    // With a region: f without the penalties, the largest violation and
    // what the strategy found (empty without a region).
    QString Objective, Violation, RegionEnd;
};

// The row of a result under the method's name: the coordinates that took
// part separated by "; ", and the figures left empty where nothing ran.
TResultRow ResultRow(const TRunResult& result, const QString& method);

} // namespace qirt
