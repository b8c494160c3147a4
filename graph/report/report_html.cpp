// The report's document: its head and style, the sections in order (task,
// results, map, convergence, iterations) and the pictures in it.
#include <QBuffer>
#include <QByteArray>

#include "graph/language/texts.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"
#include "methods/result.h"

namespace qirt {

namespace {

// For a browser; the PDF's text document reads the tables' attributes and
// what of this it knows.
constexpr const char* kStyle = R"(
body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; color: #000; background: #fff; }
h1 { font-size: 16pt; }
h2 { font-size: 13pt; margin-top: 18px; border-bottom: 1px solid #888; }
h3 { font-size: 11pt; }
table { border-collapse: collapse; margin: 4px 0 10px 0; }
th, td { border: 1px solid #999; padding: 2px 6px; vertical-align: top; }
th { background-color: #eee; text-align: left; }
td.number { text-align: right; font-family: 'DejaVu Sans Mono', monospace; }
tr.best td { font-weight: bold; }
tr.gap td { text-align: center; font-style: italic; color: #555; }
p.formula { font-family: 'DejaVu Sans Mono', monospace; }
p.note { font-style: italic; }
img { max-width: 100%; height: auto; }
)";

QString Image(const QImage& image, const char* resource, const QString& alt,
              const TMarkupOptions& o) {
    QString source;
    if (o.Inline) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        source = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    } else {
        source = QString::fromLatin1(resource);
    }
    // Shown at the page's width, its height in proportion; else as drawn.
    const double width = o.ImageWidth > 0 ? o.ImageWidth : image.width();
    const double height = width * image.height() / image.width();
    return QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\"/></p>\n")
        .arg(source)
        .arg(qRound(width))
        .arg(qRound(height))
        .arg(Escaped(alt));
}

QString MapSection(const TReport& r, const TReportPictures& pictures, const TMarkupOptions& o) {
    const QString heading = Tr("qirt", "Карта линий уровня");
    return Heading(2, heading, "map", true) + Image(pictures.Map, kMapResource, heading, o) +
           Paragraph(
               r.Comparing()
                   ? Tr("qirt", "Траектории методов в цветах легенды; крест — конец траектории.")
                   : Tr("qirt", "Траектория метода; крест — её конец."),
               "note");
}

QString ConvergenceSection(const TReportPictures& pictures, const TMarkupOptions& o) {
    const QString heading = Tr("qirt", "Сходимость");
    QString s = Heading(2, heading, "convergence", !pictures.Convergence.isNull());
    if (pictures.Convergence.isNull())
        return s + Paragraph(Tr("qirt", "Метод не сделал ни одного шага."));
    return s + Image(pictures.Convergence, kConvergenceResource, heading, o) +
           Paragraph(Tr("qirt", "f(x_k) − f_лучшее по итерациям k в логарифмической шкале; "
                                "f_лучшее — наименьшее значение всех траекторий."),
                     "note");
}

} // namespace

TReportRun ReportRun(const TRunResult& result, std::vector<Real> values, const QString& name,
                     TColour colour) {
    TReportRun run;
    run.Run.Name = name;
    run.Run.Colour = colour;
    run.Run.Track = result.Track;
    run.Run.Values = std::move(values);
    run.Run.LastIndex = result.LastIndex > 0 ? result.LastIndex : 0;
    run.Run.GradientNorm = result.GradientNorm;
    run.Run.Region = result.Region;
    run.Run.Log = result.Log;
    run.Figures = ResultRow(result, name);
    return run;
}

QString ReportTitle(const TReport& r) {
    return r.Comparing() ? Tr("qirt", "Сравнение методов минимизации")
                         : Tr("qirt", "Минимизация функции");
}

QString ReportMarkup(const TReport& r, const TReportPictures& pictures, const TMarkupOptions& o) {
    QString s =
        QStringLiteral("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head>\n"
                       "<meta charset=\"utf-8\"/>\n");
    s += QStringLiteral("<title>%1</title>\n").arg(Escaped(ReportTitle(r)));
    s += QStringLiteral("<style>") + QString::fromLatin1(kStyle) +
         QStringLiteral("</style>\n</head>\n<body>\n");
    s += Heading(1, ReportTitle(r));
    s += Paragraph(QStringLiteral("f(x) = ") + QString::fromStdString(r.Task.Run.Formula),
                   "formula");
    s += TaskSection(r);
    s += ResultsSection(r);
    s += MapSection(r, pictures, o);
    s += ConvergenceSection(pictures, o);
    s += IterationsSection(r);
    return s + QStringLiteral("</body>\n</html>\n");
}

QString ReportHtml(const TReport& report) {
    return ReportMarkup(report, ReportPictures(report), {});
}

} // namespace qirt
