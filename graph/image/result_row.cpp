#include "graph/image/result_row.h"

#include <QStringList>

#include "graph/language/texts.h"
#include "methods/result.h"

namespace qirt {

TResultRow ResultRow(const TRunResult& r, const QString& method) {
    QStringList coordinates;
    for (int i = 0; i <= r.LastIndex; ++i)
        coordinates << Text(r.Point[i]);
    const bool ran = r.LastIndex >= 0;
    const bool region = ran && r.Region.Present;
    return {method,
            coordinates.join(QStringLiteral("; ")),
            ran ? Text(r.Minimum) : QString(),
            ran ? GradientText(r.GradientNorm) : QString(),
            ran ? QString::number(r.Iterations) : QString(),
            ran ? QString::number(r.Evaluations) : QString(),
            ran ? QString::number(r.Seconds, 'f', 4) : QString(),
            Tr(EndText(r.End)),
            region ? Text(r.Region.Objective) : QString(),
            region ? Text(r.Region.Violation) : QString(),
            region ? Tr(RegionEndText(r.Region.End)) : QString()};
}

} // namespace qirt
