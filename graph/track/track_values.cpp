#include "graph/track/track_values.h"

#include <charconv>
#include <cmath>
#include <string>

#include "func/conditions.h"
#include "func/evaluate.h"

namespace qirt {

std::vector<Real> TrackValues(const TFunction& F, const uslov* region, const Tdata& track,
                              int lastIndex) {
    TFunction f;
    CopyForEvaluation(F, f);
    uslov conditions;
    if (region && region->Size > 0) {
        conditions.CopyForEvaluation(*region);
        f.Conditions = &conditions;
    }
    std::vector<Real> values;
    values.reserve(static_cast<std::size_t>(track.Count > 0 ? track.Count : 0));
    for (const TrackPoint* p = track.Head; p; p = p->Next) {
        f.ClearEvaluationError();
        const Real v = FunctionValue(f, p->X, lastIndex);
        values.push_back(f.LastEvaluationDefined() ? v : std::nanl(""));
    }
    return values;
}

std::string ShortestText(Real v) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

bool WriteTrackCsv(const Tdata& track, int variableCount, const std::vector<Real>& values,
                   std::FILE* file) {
    std::string line = "k";
    for (int i = 0; i < variableCount; ++i) line += ",x[" + std::to_string(i) + "]";
    line += ",f\n";
    bool ok = std::fputs(line.c_str(), file) >= 0;
    std::size_t k = 0;
    for (const TrackPoint* p = track.Head; p && ok; p = p->Next, ++k) {
        line = std::to_string(k);
        for (int i = 0; i < variableCount; ++i) line += "," + ShortestText(p->X[i]);
        line += ",";
        if (k < values.size()) line += ShortestText(values[k]);
        line += "\n";
        ok = std::fputs(line.c_str(), file) >= 0;
    }
    return ok;
}

} // namespace qirt
