// The report as PDF, read back with poppler's tools: A4 pages, numbered,
// with the task, the results and every section's heading as text.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "graph/language/texts.h"
#include "report_fixture.h"
#include "report_language.h"

using namespace qirt;
using namespace qirt::testing;

namespace {

// The standard output of a tool run on a file; empty if it fails.
QString ToolOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool HaveTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

} // namespace

TEST(ReportPdf, HoldsTheReportOnNumberedA4Pages) {
    if (!HaveTools())
        GTEST_SKIP()
            << "pdftotext or pdfinfo is missing (poppler-utils; scripts/setup.sh installs it)";
    // Steepest descent on Rosenbrock's function: a long track, a table over
    // several pages with its middle left out.
    TReportCase c;
    c.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    c.Method = "steepest-descent";
    c.Start = "-1.2,1";
    TReport report;
    ASSERT_TRUE(MakeReport(c, report));
    const int points = report.Runs.front().Run.Track->Count;
    ASSERT_GT(points, kReportAllRows);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    ASSERT_TRUE(WriteReport(report, name, error)) << error.toStdString();

    const QString info = ToolOutput(QStringLiteral("pdfinfo"), {name});
    EXPECT_TRUE(info.contains(QRegularExpression(
        QStringLiteral("Page size:\\s+59[56](\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))))
        << info.toStdString();
    const QRegularExpressionMatch pagesMatch =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    ASSERT_TRUE(pagesMatch.hasMatch()) << info.toStdString();
    const int pages = pagesMatch.captured(1).toInt();
    EXPECT_GE(pages, 4); // two pictures and over 200 rows do not fit on fewer
    EXPECT_TRUE(info.contains(Tr("qirt", "Минимизация функции"))) << info.toStdString();

    const QString text =
        ToolOutput(QStringLiteral("pdftotext"),
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), name, QStringLiteral("-")});
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(QString::fromStdString(c.Formula)));
    EXPECT_TRUE(text.contains(report.Runs.front().Figures.Minimum))
        << report.Runs.front().Figures.Minimum.toStdString();
    // The headings in order, in the run's language.
    qsizetype at = 0;
    for (const QString& heading : Texts({{"Задача", "Task"},
                                         {"Результаты", "Results"},
                                         {"Карта линий уровня", "Level map"},
                                         {"Сходимость", "Convergence"},
                                         {"Итерации", "Iterations"}})) {
        const qsizetype found = text.indexOf(heading, at);
        EXPECT_GE(found, at) << heading.toStdString();
        at = std::max(at, found);
    }
    EXPECT_TRUE(
        text.contains(Tr("qirt", "… пропущено строк: %1 …").arg(points - 2 * kReportEndRows)));
    // Every page says its number and the count (the tool may drop the
    // narrow spaces around the slash).
    for (int k = 1; k <= pages; ++k)
        EXPECT_TRUE(
            text.contains(QRegularExpression(QStringLiteral("\\b%1 ?/ ?%2\\b").arg(k).arg(pages))))
            << k;
}
