// The iteration tables of a report: k, the coordinates and f at every point
// of a run's track (and the outer step that starts at the row, for a region
// strategy), the middle of a long track left out.
#include <QStringList>

#include "graph/language/texts.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"

namespace qirt {

TReportRows ReportRows(int count) {
    if (count <= kReportAllRows) return {count > 0 ? count : 0, 0, 0};
    return {kReportEndRows, count - 2 * kReportEndRows, kReportEndRows};
}

namespace {

QString IterationTable(const TShownRun& run) {
    const std::vector<const TrackPoint*> points = run.Points();
    if (points.empty()) return Paragraph(Tr("qirt", "Траектория пуста."));
    // The outer step starting at each row, 0 for none.
    std::vector<int> outer(run.Region.Outer.empty() ? 0 : points.size(), 0);
    for (std::size_t k = 0; k < run.Region.Outer.size(); ++k) {
        const auto row = static_cast<std::size_t>(run.Region.Outer[k].FirstTrackPoint);
        if (row < outer.size()) outer[row] = static_cast<int>(k + 1);
    }
    QStringList header{QStringLiteral("k")};
    for (int i = 0; i <= run.LastIndex; ++i)
        header << QStringLiteral("x[%1]").arg(i);
    header << QStringLiteral("f");
    if (!outer.empty()) header << Tr("qirt", "Внешний шаг");

    auto row = [&](int k) {
        QStringList cells{QString::number(k)};
        for (int i = 0; i <= run.LastIndex; ++i)
            cells << Text(points[static_cast<std::size_t>(k)]->X[i]);
        const bool known =
            k < static_cast<int>(run.Values.size()) &&
            run.Values[static_cast<std::size_t>(k)] == run.Values[static_cast<std::size_t>(k)];
        cells << (known ? Text(run.Values[static_cast<std::size_t>(k)])
                        : Tr("qirt", "не определена"));
        if (!outer.empty()) {
            const int step = outer[static_cast<std::size_t>(k)];
            cells << (step ? QString::number(step) : QString());
        }
        return Row(cells, nullptr, true);
    };
    const int count = static_cast<int>(points.size());
    const TReportRows rows = ReportRows(count);
    // The header row repeats on every page of the PDF.
    QString s = TableStart("iterations") + QStringLiteral("<thead>") + HeaderRow(header) +
                QStringLiteral("</thead>\n<tbody>\n");
    for (int k = 0; k < rows.Head; ++k)
        s += row(k);
    if (rows.LeftOut > 0)
        s += QStringLiteral("<tr class=\"gap\"><td colspan=\"%1\">%2</td></tr>\n")
                 .arg(header.size())
                 .arg(Escaped(Tr("qirt", "… пропущено строк: %1 …").arg(rows.LeftOut)));
    for (int k = count - rows.Tail; k < count; ++k)
        s += row(k);
    return s + QStringLiteral("</tbody>\n") + kTableEnd;
}

} // namespace

// A comparison shows every run's table: the methods are compared by how
// they went, not only by where they ended.
QString IterationsSection(const TReport& r) {
    QString s = Heading(2, Tr("qirt", "Итерации"), "iterations");
    if (r.Runs.empty()) return s + Paragraph(Tr("qirt", "Метод не запускался."));
    for (const TReportRun& run : r.Runs) {
        if (r.Comparing()) s += Heading(3, run.Run.Name);
        s += IterationTable(run.Run);
    }
    return s;
}

} // namespace qirt
