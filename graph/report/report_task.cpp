// The task section of a report: the main window's fields, the method or the
// methods compared, the region with its strategy, and the view of the map.
#include <QStringList>

#include "graph/language/texts.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"
#include "methods/method_table.h"

namespace qirt {

namespace {

// The map's looks, in words.
struct TLookText {
    TMapLook Look;
    const char* Text;
};
constexpr TLookText kLookTexts[] = {
    {{false, false}, UI_TEXT("qirt", "точки уровней")},
    {{true, false}, UI_TEXT("qirt", "заливка уровней")},
    {{false, true}, UI_TEXT("qirt", "точки и линии уровня")},
    {{true, true}, UI_TEXT("qirt", "заливка и линии уровня")},
};

QString LookText(const TMapLook& look) {
    for (const TLookText& t : kLookTexts)
        if (t.Look == look) return Tr(t.Text);
    return {};
}

QString YesNo(bool yes) {
    return yes ? Tr("qirt", "да") : Tr("qirt", "нет");
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString MethodCaption(int method) {
    return method >= 0 && method < kMethodCount ? Tr(kMethods[method].Caption) : QString();
}

QString MethodText(const TTask& t) {
    if (t.Run.MethodFamily == family::GraphOnly) return Tr("qirt", "нет (только карта функции)");
    return MethodCaption(MethodIndex(t.Run.MethodFamily, t.Run.MethodVariant));
}

QString RangeText(Real low, Real high) {
    return QStringLiteral("[%1; %2]").arg(Text(low), Text(high));
}

QString RegionPart(const TTask& t) {
    QString s = Heading(3, Tr("qirt", "Область"));
    s += TableStart("conditions");
    s += HeaderRow({QStringLiteral("№"), Tr("qirt", "Неравенство"), Tr("qirt", "Коэффициент"),
                    Tr("qirt", "Степень"), Tr("qirt", "Вид штрафа")});
    for (std::size_t k = 0; k < t.Conditions.size(); ++k) {
        const TTaskCondition& c = t.Conditions[k];
        s += Row({QString::number(k + 1), Q(c.Inequality), Q(c.Coefficient), Q(c.Power),
                  Tr(c.Kind.c_str())});
    }
    s += kTableEnd;
    s += TableStart("fields");
    s += Field(Tr("qirt", "Учёт области"), Tr(RegionStrategyText(t.Run.RegionStrategy)));
    s += Field(Tr("qirt", "Штрафы на карте"), YesNo(t.Run.ExtendedPlot));
    s += kTableEnd;
    return s;
}

} // namespace

QString TaskSection(const TReport& r) {
    const TTask& t = r.Task;
    const TRunInputs& in = t.Run;
    QString s = Heading(2, Tr("qirt", "Задача"), "task");
    s += TableStart("fields");
    s += Field(Tr("qirt", "Функция"), Q(in.Formula));
    QString count = Tr(in.VariableCountText.c_str());
    if (r.Variables > 0) count += QStringLiteral(" (%1)").arg(r.Variables);
    s += Field(Tr("qirt", "Число переменных"), count);
    s += Field(Tr("qirt", "Начальная точка"), Q(in.StartText));
    s += Field(Tr("qirt", "Точность по переменным"), Q(in.VariableAccuracyText));
    s += Field(Tr("qirt", "Точность по значению функции"), Q(in.ValueAccuracyText));
    s += Field(Tr("qirt", "Шаг дифференцирования"), Tr(in.StepText.c_str()));
    if (r.Comparing()) {
        QStringList methods;
        for (int m : t.Compare)
            methods << MethodCaption(m);
        s += Field(Tr("qirt", "Сравниваемые методы"), methods.join(QStringLiteral(", ")));
    } else {
        s += Field(Tr("qirt", "Метод"), MethodText(t));
    }
    s += kTableEnd;
    if (!t.Conditions.empty()) s += RegionPart(t);

    const TTaskView& v = t.View;
    const QString a = QStringLiteral("x[%1]").arg(v.AxisX),
                  b = QStringLiteral("x[%1]").arg(v.AxisY);
    s += Heading(3, Tr("qirt", "Вид карты"));
    s += TableStart("fields");
    s += Field(Tr("qirt", "Оси"), a + QStringLiteral(", ") + b);
    if (v.HaveRange)
        s += Field(Tr("qirt", "Диапазон"), a + QStringLiteral(" ∈ ") +
                                               RangeText(v.Range.XMin, v.Range.XMax) +
                                               QStringLiteral(", ") + b + QStringLiteral(" ∈ ") +
                                               RangeText(v.Range.YMin, v.Range.YMax));
    s += Field(Tr("qirt", "Число цветов"), Q(v.Colours));
    s += Field(Tr("qirt", "Изображение"), LookText(v.Look));
    if (!t.Conditions.empty()) s += Field(Tr("qirt", "Затенение вне области"), YesNo(v.Shade));
    s += kTableEnd;
    return s;
}

} // namespace qirt
