// The results section of a report: one run's figures, or the table of a
// comparison with the best row marked; and what each run found about the
// region where there was one.
#include <QStringList>

#include "graph/language/texts.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"

namespace qirt {

namespace {

// The numbers (from 1) of the conditions with the property, or "нет".
template <class Property> QString ConditionNumbers(const TRegionReport& region, Property property) {
    QStringList numbers;
    for (std::size_t k = 0; k < region.Conditions.size(); ++k)
        if (property(region.Conditions[k])) numbers << QString::number(k + 1);
    return numbers.isEmpty() ? Tr("qirt", "нет") : numbers.join(QStringLiteral(", "));
}

QString Active(const TRegionReport& g) {
    return ConditionNumbers(g, [](const TConditionState& c) { return c.Active; });
}
QString Violated(const TRegionReport& g) {
    return ConditionNumbers(g, [](const TConditionState& c) { return c.Violated; });
}
QString Multipliers(const TRegionReport& g) {
    if (!g.HasMultipliers) return {};
    QStringList list;
    for (std::size_t k = 0; k < g.Conditions.size(); ++k)
        list << QStringLiteral("λ%1 = %2").arg(k + 1).arg(Text(g.Conditions[k].Multiplier));
    return list.join(QStringLiteral("; "));
}
QString Kkt(const TRegionReport& g) {
    return g.HasMultipliers ? Text(g.Kkt) : QString();
}

const char* const kGradientCaption = UI_TEXT("qirt", "Наибольшая компонента градиента ‖∇f‖∞");

QString RegionFields(const TRegionReport& g) {
    QString s = Field(Tr("qirt", "f без штрафов"), Text(g.Objective));
    s += Field(Tr("qirt", "Наибольшее нарушение условий"), Text(g.Violation));
    s += Field(Tr("qirt", "Активные условия"), Active(g));
    s += Field(Tr("qirt", "Нарушенные условия"), Violated(g));
    if (g.HasMultipliers) {
        s += Field(Tr("qirt", "Множители Лагранжа"), Multipliers(g));
        s += Field(Tr("qirt", "Невязка условий ККТ"), Kkt(g));
    }
    s += Field(Tr("qirt", "Итог по области"), Tr(RegionEndText(g.End)));
    return s;
}

// A strategy's outer steps: the penalty problems it solved one after another.
QString OuterSteps(const TRegionReport& g) {
    if (g.Outer.empty()) return {};
    QString s = Heading(3, Tr("qirt", "Внешние шаги"));
    s += TableStart("outer");
    s += HeaderRow({QStringLiteral("№"), Tr("qirt", "Коэффициент"),
                    Tr("qirt", "Вес внутренних штрафов"), Tr("qirt", "f без штрафов"),
                    Tr("qirt", "Нарушение"), Tr("qirt", "Итерации"), Tr("qirt", "Завершение")});
    for (std::size_t k = 0; k < g.Outer.size(); ++k) {
        const TOuterStep& o = g.Outer[k];
        s += Row({QString::number(k + 1), Text(o.Coefficient), Text(o.InteriorWeight),
                  Text(o.Objective), Text(o.Violation), QString::number(o.Iterations),
                  Tr(EndText(o.End))});
    }
    return s + kTableEnd;
}

QString OneRun(const TReportRun& run) {
    const TResultRow& f = run.Figures;
    QString s = TableStart("fields");
    s += Field(Tr("qirt", "Метод"), f.Method);
    s += Field(Tr("qirt", "Точка"), f.Point);
    s += Field(Tr("qirt", "Минимум"), f.Minimum);
    s += Field(Tr("qirt", "Итерации"), f.Iterations);
    s += Field(Tr("qirt", "Вычисления функции"), f.Evaluations);
    s += Field(Tr(kGradientCaption), f.Gradient);
    s += Field(Tr("qirt", "Завершение"), f.End);
    if (run.Run.Region.Present) s += RegionFields(run.Run.Region);
    s += kTableEnd;
    return s + OuterSteps(run.Run.Region);
}

QString Swatch(TColour c) {
    return QStringLiteral("<span style=\"background-color:#%1\">&#160;&#160;&#160;</span>&#160;")
        .arg((c.Red << 16) | (c.Green << 8) | c.Blue, 6, 16, QLatin1Char('0'));
}

// A comparison in narrow tables that fit a page: the figures, the points,
// and what each run found about the region.
QString Comparison(const TReport& r) {
    QString s = TableStart("results");
    s += HeaderRow({Tr("qirt", "Метод"), Tr("qirt", "Минимум"), QStringLiteral("‖∇f‖∞"),
                    Tr("qirt", "Итерации"), Tr("qirt", "Вычисления функции"),
                    Tr("qirt", "Время, с"), Tr("qirt", "Завершение")});
    for (std::size_t k = 0; k < r.Runs.size(); ++k) {
        const TResultRow& f = r.Runs[k].Figures;
        s += Row({f.Method, f.Minimum, f.Gradient, f.Iterations, f.Evaluations, f.Seconds, f.End},
                 static_cast<int>(k) == r.Best ? "best" : nullptr, false,
                 Swatch(r.Runs[k].Run.Colour));
    }
    s += kTableEnd;
    if (r.Best >= 0)
        s += Paragraph(Tr("qirt", "Жирным выделен метод с наименьшим минимумом."), "note");

    s += Heading(3, Tr("qirt", "Найденные точки"));
    s += TableStart("points");
    s += HeaderRow({Tr("qirt", "Метод"), Tr("qirt", "Точка")});
    for (const TReportRun& run : r.Runs)
        s += Row({run.Figures.Method, run.Figures.Point});
    s += kTableEnd;

    bool region = false, multipliers = false;
    for (const TReportRun& run : r.Runs) {
        region |= run.Run.Region.Present;
        multipliers |= run.Run.Region.HasMultipliers;
    }
    if (!region) return s;
    s += Heading(3, Tr("qirt", "Область"));
    s += TableStart("region");
    s += HeaderRow({Tr("qirt", "Метод"), Tr("qirt", "f без штрафов"), Tr("qirt", "Нарушение"),
                    Tr("qirt", "Активные условия"), Tr("qirt", "Нарушенные условия"),
                    Tr("qirt", "Итог по области")});
    for (const TReportRun& run : r.Runs) {
        const TRegionReport& g = run.Run.Region;
        if (g.Present)
            s += Row({run.Figures.Method, Text(g.Objective), Text(g.Violation), Active(g),
                      Violated(g), Tr(RegionEndText(g.End))});
    }
    s += kTableEnd;
    if (!multipliers) return s;
    s += TableStart("multipliers");
    s += HeaderRow(
        {Tr("qirt", "Метод"), Tr("qirt", "Множители Лагранжа"), Tr("qirt", "Невязка условий ККТ")});
    for (const TReportRun& run : r.Runs)
        if (run.Run.Region.HasMultipliers)
            s += Row({run.Figures.Method, Multipliers(run.Run.Region), Kkt(run.Run.Region)});
    return s + kTableEnd;
}

} // namespace

QString ResultsSection(const TReport& r) {
    QString s = Heading(2, Tr("qirt", "Результаты"), "results");
    if (r.Runs.empty())
        return s + Paragraph(Tr("qirt", "Метод не запускался: показана только карта функции."));
    return s + (r.Comparing() ? Comparison(r) : OneRun(r.Runs.front()));
}

} // namespace qirt
