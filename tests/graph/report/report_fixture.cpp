#include "report_fixture.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "graph/language/texts.h"
#include "methods/method_table.h"

namespace qirt::testing {

bool MakeReport(const TReportCase& c, TReport& report) {
    TSession S;
    TTask task;
    task.Run.Formula = c.Formula;
    task.Run.StartText = c.Start;
    const int method = MethodIndex(c.Method);
    task.Run.MethodFamily = kMethods[method].Family;
    task.Run.MethodVariant = kMethods[method].Variant;
    task.Run.RegionStrategy = c.Strategy;
    S.RegionStrategy = c.Strategy;
    for (const std::string& name : c.Compare)
        task.Compare.push_back(MethodIndex(name));
    task.Conditions = c.Conditions;
    for (const TTaskCondition& k : c.Conditions)
        S.Conditions.AddCondition(k.Inequality, k.Coefficient, k.Power, k.Kind);
    const bool ran = RunReport(S, task, report);
    EXPECT_TRUE(ran) << c.Formula;
    return ran;
}

TReport ReportWithTrack(int points) {
    TReport report;
    report.Task.Run.Formula = "x[0]+x[1]";
    report.Variables = 2;
    TRunResult result;
    result.Method = MethodIndex("gauss");
    result.LastIndex = 1;
    result.Track = std::make_shared<Tdata>();
    std::vector<Real> values;
    for (int k = 0; k < points; ++k) {
        AddTrackPoint(*result.Track, Vector{Real(k), Real(-k)}, 1, 0);
        values.push_back(Real(100 - k));
    }
    result.Iterations = points - 1;
    report.Runs.push_back(ReportRun(result, values, Tr(kMethods[result.Method].Caption), kBlack));
    report.Plot.Map = QImage(kMapPixels, kMapPixels, QImage::Format_RGB32);
    report.Plot.Map.fill(Qt::white);
    return report;
}

std::vector<const TReadHtml::TTable*> TReadHtml::TablesOf(const QString& cls) const {
    std::vector<const TTable*> found;
    for (const TTable& t : Tables)
        if (t.Class == cls) found.push_back(&t);
    return found;
}

TReadHtml ReadHtml(const QString& html) {
    TReadHtml read;
    QXmlStreamReader xml(html);
    QString text; // of the element being read
    QStringList* cells = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            const auto attributes = xml.attributes();
            if (name == QLatin1String("h2"))
                read.SectionIds << attributes.value(QLatin1String("id")).toString();
            if (name == QLatin1String("img"))
                read.Images.push_back({attributes.value(QLatin1String("src")).toString(),
                                       attributes.value(QLatin1String("width")).toInt(),
                                       attributes.value(QLatin1String("height")).toInt()});
            if (name == QLatin1String("table"))
                read.Tables.push_back(
                    {attributes.value(QLatin1String("class")).toString(), {}, {}});
            if (name == QLatin1String("tr") && !read.Tables.empty()) {
                read.Tables.back().Rows.emplace_back();
                read.Tables.back().RowClasses.push_back(
                    attributes.value(QLatin1String("class")).toString());
                cells = &read.Tables.back().Rows.back();
            }
            text.clear();
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            const QString name = xml.name().toString();
            if (name == QLatin1String("h2")) read.SectionTitles << text;
            if (name == QLatin1String("h3")) read.H3Titles << text;
            if ((name == QLatin1String("td") || name == QLatin1String("th")) && cells)
                cells->push_back(text.trimmed());
            if (name == QLatin1String("tr")) cells = nullptr;
        }
    }
    if (xml.hasError())
        read.Error = xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber());
    return read;
}

QImage DataImage(const QString& source) {
    const QString prefix = QStringLiteral("data:image/png;base64,");
    if (!source.startsWith(prefix)) return {};
    return QImage::fromData(QByteArray::fromBase64(source.mid(prefix.size()).toLatin1()), "PNG");
}

} // namespace qirt::testing
