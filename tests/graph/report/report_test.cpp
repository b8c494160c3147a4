// The report's HTML: its sections in order and well-formed, its pictures,
// the iteration tables of long tracks, comparisons, regions, and writing
// it to a file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "graph/language/texts.h"
#include "methods/method_table.h"
#include "report_fixture.h"
#include "report_language.h"

using namespace qirt;
using namespace qirt::testing;

namespace {

// The rows of every table of the class, header rows included.
std::vector<QStringList> RowsOf(const TReadHtml& read, const char* cls, int table = 0) {
    const auto tables = read.TablesOf(QString::fromLatin1(cls));
    if (table >= static_cast<int>(tables.size())) return {};
    return tables[static_cast<std::size_t>(table)]->Rows;
}

// The value beside a caption in the field tables.
QString FieldValue(const TReadHtml& read, const QString& caption) {
    for (const auto* t : read.TablesOf(QStringLiteral("fields")))
        for (const QStringList& row : t->Rows)
            if (row.size() == 2 && row[0] == caption) return row[1];
    return QStringLiteral("<none>");
}

QByteArray FileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(ReportRows, KeepEveryRowUpTo200ThenBothEnds) {
    struct Case {
        int Count;
        TReportRows Rows;
    };
    for (const Case& c :
         {Case{0, {0, 0, 0}}, Case{1, {1, 0, 0}}, Case{200, {200, 0, 0}}, Case{201, {100, 1, 100}},
          Case{202, {100, 2, 100}}, Case{100000, {100, 99800, 100}}}) {
        SCOPED_TRACE(c.Count);
        const TReportRows rows = ReportRows(c.Count);
        EXPECT_EQ(rows.Head, c.Rows.Head);
        EXPECT_EQ(rows.LeftOut, c.Rows.LeftOut);
        EXPECT_EQ(rows.Tail, c.Rows.Tail);
    }
}

TEST(ReportHtml, HasItsSectionsInOrderAndIsWellFormed) {
    TReport report;
    ASSERT_TRUE(MakeReport({}, report));
    const TReadHtml read = ReadHtml(ReportHtml(report));
    ASSERT_TRUE(read.Error.isEmpty()) << read.Error.toStdString();
    EXPECT_EQ(read.SectionIds,
              (QStringList{"task", "results", "map", "convergence", "iterations"}));
    EXPECT_EQ(read.SectionTitles, Texts({{"Задача", "Task"},
                                         {"Результаты", "Results"},
                                         {"Карта линий уровня", "Level map"},
                                         {"Сходимость", "Convergence"},
                                         {"Итерации", "Iterations"}}));
    // The task as typed, the method by its caption, the view as drawn.
    EXPECT_EQ(FieldValue(read, Text1("Функция", "Function")), QStringLiteral("x[0]^2+x[1]^2"));
    EXPECT_EQ(FieldValue(read, Text1("Начальная точка", "Start point")), QStringLiteral("3,4"));
    EXPECT_EQ(FieldValue(read, Text1("Метод", "Method")),
              Tr(kMethods[MethodIndex("fletcher-reeves")].Caption));
    EXPECT_EQ(FieldValue(read, Text1("Число переменных", "Number of variables")),
              Text1("Автоопределение", "Automatic") + QStringLiteral(" (2)"));
    EXPECT_EQ(FieldValue(read, Text1("Диапазон", "Range")),
              QStringLiteral("x[0] ∈ [-5; 5], x[1] ∈ [-5; 5]")); // the first view around (0, 0)
    EXPECT_EQ(FieldValue(read, Text1("Изображение", "Look")), Text1("точки уровней", "level dots"));
    // The results as the run found them.
    const TReportRun& run = report.Runs.front();
    EXPECT_EQ(FieldValue(read, Text1("Минимум", "Minimum")),
              Text(report.Runs.front().Run.Values.back()));
    EXPECT_EQ(FieldValue(read, Text1("Итерации", "Iterations")), run.Figures.Iterations);
    EXPECT_EQ(FieldValue(read, Text1("Завершение", "End")), Text1("сходимость", "converged"));
    EXPECT_EQ(read.TablesOf(QStringLiteral("conditions")).size(), 0u); // no region, no conditions
}

TEST(ReportHtml, PicturesArePngOfTheirSizeWithTheMapPixelForPixel) {
    TReport report;
    ASSERT_TRUE(MakeReport({}, report));
    const TReadHtml read = ReadHtml(ReportHtml(report));
    ASSERT_EQ(read.Images.size(), 2u);
    const QImage plot = DataImage(read.Images[0].Source);
    const QImage convergence = DataImage(read.Images[1].Source);
    ASSERT_FALSE(plot.isNull());
    ASSERT_FALSE(convergence.isNull());
    EXPECT_EQ(plot.size(), QSize(read.Images[0].Width, read.Images[0].Height));
    EXPECT_EQ(convergence.size(), kReportConvergenceSize);
    EXPECT_EQ(convergence.size(), QSize(read.Images[1].Width, read.Images[1].Height));
    // The 500 x 500 map with its track stands in the plot unscaled, inside
    // the frame drawn over its outermost pixels.
    const QImage map = report.Plot.Map.convertToFormat(plot.format());
    ASSERT_EQ(map.size(), QSize(kMapPixels, kMapPixels));
    const QPoint middle(250, 250), corner(3, 3), track(400, 50);
    bool found = false;
    for (int y = 0; y + kMapPixels <= plot.height() && !found; ++y)
        for (int x = 0; x + kMapPixels <= plot.width() && !found; ++x) {
            const QPoint at(x, y);
            if (plot.pixel(at + middle) != map.pixel(middle) ||
                plot.pixel(at + corner) != map.pixel(corner) ||
                plot.pixel(at + track) != map.pixel(track))
                continue;
            found = plot.copy(QRect(at + QPoint(1, 1), map.size() - QSize(2, 2))) ==
                    map.copy(QRect(QPoint(1, 1), map.size() - QSize(2, 2)));
        }
    EXPECT_TRUE(found);
    // The curve is drawn in the run's colour, black, on white.
    bool curve = false;
    for (int x = 60; x < convergence.width() - 10 && !curve; ++x)
        for (int y = 10; y < convergence.height() - 30 && !curve; ++y)
            curve = qGray(convergence.pixel(x, y)) < 64;
    EXPECT_TRUE(curve);
}

TEST(ReportHtml, IterationTablesKeepTheEndsOfALongTrack) {
    struct Case {
        int Points;
        std::vector<int> Head, Tail; // first and last k before and after the gap
        int LeftOut;
    };
    for (const Case& c : {Case{1, {0, 0}, {}, 0}, Case{200, {0, 199}, {}, 0},
                          Case{201, {0, 99}, {101, 200}, 1}, Case{450, {0, 99}, {350, 449}, 250}}) {
        SCOPED_TRACE(c.Points);
        const TReadHtml read = ReadHtml(ReportHtml(ReportWithTrack(c.Points)));
        ASSERT_TRUE(read.Error.isEmpty()) << read.Error.toStdString();
        const std::vector<QStringList> rows = RowsOf(read, "iterations");
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0], (QStringList{"k", "x[0]", "x[1]", "f"}));
        const std::size_t expected =
            1 + (c.Head[1] - c.Head[0] + 1) + (c.LeftOut ? 1 + c.Tail[1] - c.Tail[0] + 1 : 0);
        ASSERT_EQ(rows.size(), expected);
        // Consecutive rows up to the gap, the gap, consecutive rows after it.
        std::size_t r = 1;
        for (int k = c.Head[0]; k <= c.Head[1]; ++k, ++r) {
            ASSERT_EQ(rows[r][0], QString::number(k));
            ASSERT_EQ(rows[r][1], Text(Real(k)));
            ASSERT_EQ(rows[r][3], Text(Real(100 - k)));
        }
        if (!c.LeftOut) continue;
        EXPECT_EQ(rows[r], QStringList{Tr("qirt", "… пропущено строк: %1 …").arg(c.LeftOut)});
        EXPECT_TRUE(rows[r][0].contains(QString::number(c.LeftOut)));
        ++r;
        for (int k = c.Tail[0]; k <= c.Tail[1]; ++k, ++r)
            ASSERT_EQ(rows[r][0], QString::number(k));
    }
}

TEST(ReportHtml, ComparisonListsEveryMethodAndMarksTheBest) {
    TReportCase c;
    c.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    c.Start = "-1.2,1";
    c.Compare = {"steepest-descent", "dfp", "bfgs", "nelder-mead"};
    TReport report;
    ASSERT_TRUE(MakeReport(c, report));
    ASSERT_EQ(report.Runs.size(), c.Compare.size());
    const TReadHtml read = ReadHtml(ReportHtml(report));
    ASSERT_TRUE(read.Error.isEmpty()) << read.Error.toStdString();
    const auto* results = read.TablesOf(QStringLiteral("results")).front();
    ASSERT_EQ(results->Rows.size(), 1 + c.Compare.size());
    // A row per method in the order they ran, the lowest minimum in bold.
    Real lowest = 1e300L;
    int best = -1;
    QStringList captions;
    for (std::size_t k = 0; k < c.Compare.size(); ++k) {
        const QString caption = Tr(kMethods[MethodIndex(c.Compare[k])].Caption);
        captions << caption;
        const QStringList& row = results->Rows[k + 1];
        EXPECT_EQ(row[0], caption);
        EXPECT_EQ(row[1], report.Runs[k].Figures.Minimum);
        EXPECT_EQ(RowsOf(read, "points")[k + 1],
                  (QStringList{caption, report.Runs[k].Figures.Point}));
        const Real minimum = TextToReal(Std(row[1]));
        if (minimum < lowest) {
            lowest = minimum;
            best = static_cast<int>(k);
        }
    }
    for (std::size_t k = 0; k < c.Compare.size(); ++k)
        EXPECT_EQ(results->RowClasses[k + 1],
                  static_cast<int>(k) == best ? QStringLiteral("best") : QString())
            << k;
    EXPECT_EQ(FieldValue(read, Text1("Сравниваемые методы", "Methods compared")),
              captions.join(QStringLiteral(", ")));
    // An iteration table per method under its name, and the map's legend.
    EXPECT_EQ(read.H3Titles.mid(read.H3Titles.size() - captions.size()), captions);
    EXPECT_EQ(read.TablesOf(QStringLiteral("iterations")).size(), c.Compare.size());
    ASSERT_EQ(report.Plot.Legend.size(), c.Compare.size());
    EXPECT_EQ(report.Plot.Legend[1].first, captions[1]);
}

TEST(ReportHtml, RegionRunShowsItsConditionsAndFigures) {
    TReportCase c;
    c.Formula = "(x[0]-2)^2+(x[1]-2)^2";
    c.Method = "bfgs";
    c.Start = "0,0";
    c.Conditions = {{"x[0]+x[1]<=2", "10", "2", kExteriorKind}};
    c.Strategy = TRegionStrategy::Multipliers;
    TReport report;
    ASSERT_TRUE(MakeReport(c, report));
    const TRegionReport& region = report.Runs.front().Run.Region;
    ASSERT_TRUE(region.Present);
    ASSERT_TRUE(region.HasMultipliers);
    const TReadHtml read = ReadHtml(ReportHtml(report));
    ASSERT_TRUE(read.Error.isEmpty()) << read.Error.toStdString();
    EXPECT_EQ(RowsOf(read, "conditions"),
              (std::vector<QStringList>{
                  {"№", Text1("Неравенство", "Inequality"), Text1("Коэффициент", "Coefficient"),
                   Text1("Степень", "Power"), Text1("Вид штрафа", "Penalty kind")},
                  {"1", "x[0]+x[1]<=2", "10", "2", Text1("внешняя", "exterior")}}));
    EXPECT_EQ(FieldValue(read, Text1("Учёт области", "Region handling")),
              Tr(RegionStrategyText(c.Strategy)));
    EXPECT_EQ(FieldValue(read, Text1("f без штрафов", "f without penalties")),
              Text(region.Objective));
    EXPECT_EQ(FieldValue(read, Text1("Активные условия", "Active conditions")),
              QStringLiteral("1"));
    EXPECT_EQ(FieldValue(read, Text1("Нарушенные условия", "Violated conditions")),
              Text1("нет", "none"));
    EXPECT_EQ(FieldValue(read, Text1("Множители Лагранжа", "Lagrange multipliers")),
              QStringLiteral("λ1 = ") + Text(region.Conditions[0].Multiplier));
    EXPECT_EQ(FieldValue(read, Text1("Невязка условий ККТ", "KKT residual")), Text(region.Kkt));
    EXPECT_EQ(FieldValue(read, Text1("Итог по области", "Region verdict")),
              Tr(RegionEndText(region.End)));
    // The outer steps, and where each starts in the iteration table.
    ASSERT_GE(region.Outer.size(), 2u);
    EXPECT_EQ(RowsOf(read, "outer").size(), 1 + region.Outer.size());
    const std::vector<QStringList> rows = RowsOf(read, "iterations");
    ASSERT_EQ(rows[0].back(), Text1("Внешний шаг", "Outer step"));
    const int second = region.Outer[1].FirstTrackPoint;
    ASSERT_LT(second, kReportEndRows);
    EXPECT_EQ(rows[1 + second].back(), QStringLiteral("2"));
    EXPECT_EQ(rows[1].back(), QStringLiteral("1"));
}

TEST(ReportHtml, MapAloneHasNoResults) {
    TSession S;
    TTask task;
    task.Run.Formula = "x[0]*x[1]";
    task.Run.MethodFamily = family::GraphOnly;
    TReport report;
    ASSERT_TRUE(RunReport(S, task, report));
    EXPECT_TRUE(report.Runs.empty());
    const TReadHtml read = ReadHtml(ReportHtml(report));
    ASSERT_TRUE(read.Error.isEmpty()) << read.Error.toStdString();
    EXPECT_EQ(read.SectionIds.size(), 5);
    EXPECT_EQ(read.Images.size(), 1u); // the map; no convergence without a step
    EXPECT_EQ(FieldValue(read, Text1("Метод", "Method")),
              Text1("нет (только карта функции)", "none (the function's map only)"));
}

TEST(WriteReport, ChoosesHtmlByTheNameAndRefusesOtherNames) {
    QTemporaryDir dir;
    const TReport report = ReportWithTrack(3);
    QString error;
    for (const char* name : {"r.html", "R.HTM"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteReport(report, dir.filePath(name), error)) << error.toStdString();
        EXPECT_EQ(FileBytes(dir.filePath(name)), ReportHtml(report).toUtf8());
    }
    EXPECT_FALSE(WriteReport(report, dir.filePath("r.txt"), error));
    EXPECT_TRUE(error.contains(dir.filePath("r.txt")));
    EXPECT_TRUE(error.contains(QStringLiteral(".pdf")));
    EXPECT_FALSE(QFile::exists(dir.filePath("r.txt")));
}

TEST(WriteReport, SaysWhyAFileCannotBeWrittenAndLeavesWhatWasThere) {
    QTemporaryDir dir;
    const TReport report = ReportWithTrack(3);
    QString error;
    struct Case {
        QString Name;
        const char* Russian;
        const char* English;
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.html")));
    for (const Case& c : {Case{dir.filePath("missing/r.html"), "нет такой папки", "no such folder"},
                          Case{dir.filePath("folder.html"), "это папка", "it is a folder"}}) {
        SCOPED_TRACE(c.Name.toStdString());
        EXPECT_FALSE(WriteReport(report, c.Name, error));
        EXPECT_EQ(error, Text1("Отчёт «%1» не записан: %2", "The report “%1” was not written: %2")
                             .arg(c.Name, Text1(c.Russian, c.English)));
    }
    // A failed write leaves the old file whole and nothing beside it.
    const QString old = dir.filePath("old.html");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(dir.path()).isWritable()) { // root may write anywhere
        EXPECT_FALSE(WriteReport(report, old, error));
        EXPECT_EQ(error, Text1("Отчёт «%1» не записан: %2", "The report “%1” was not written: %2")
                             .arg(old, Text1("нет прав на запись", "permission denied")));
        EXPECT_EQ(FileBytes(old), QByteArray("old"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
