// The report's pictures: the plot around the map at its own pixels, and the
// convergence plot in black on white.
#include <QPainter>

#include "graph/image/convergence_picture.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"

namespace qirt {

TReportPictures ReportPictures(const TReport& r) {
    TReportPictures pictures;
    const QSize plotSize = PlotSizeForMap(r.Plot, kReportMapSide);
    pictures.Map = QImage(plotSize, QImage::Format_RGB32);
    {
        QPainter p(&pictures.Map);
        DrawPlot(p, plotSize, r.Plot);
    }
    std::vector<TShownRun> runs;
    bool steps = false;
    for (const TReportRun& run : r.Runs) {
        runs.push_back(run.Run);
        steps |= run.Run.Values.size() > 1;
    }
    if (!steps) return pictures;
    pictures.Convergence = QImage(kReportConvergenceSize, QImage::Format_RGB32);
    pictures.Convergence.fill(Qt::white);
    QPainter p(&pictures.Convergence);
    DrawConvergence(p, pictures.Convergence.rect(), &runs, ConvergenceScale(runs), Qt::black);
    return pictures;
}

} // namespace qirt
