// Task files: what is written reads back as it was, what is damaged or
// out of range is refused with its reason and changes nothing, and a save
// that fails leaves the old file.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include <QFile>

#include "graph/task/task.h"

using namespace qirt;

namespace {

// Every field away from its default.
TTask FullTask() {
    TTask t;
    t.Run.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2+ln(x[2]+5)";
    t.Run.VariableCountText = "3";
    t.Run.StartText = "-1.2,1,0.5";
    t.Run.VariableAccuracyText = "1e-9";
    t.Run.ValueAccuracyText = "2.5e-8";
    t.Run.StepText = "1e-5";
    t.Run.MethodFamily = family::VariableMetric;
    t.Run.MethodVariant = 4;
    t.Run.ExtendedPlot = true;
    t.Run.RegionStrategy = TRegionStrategy::Multipliers;
    t.Compare = {MethodIndex("newton"), MethodIndex("rosenbrock"), MethodIndex("bfgs")};
    t.Conditions = {{"x[0]+x[1]>=1", "1000", "2", kExteriorKind}, {"x[0]<3", "0.5", "4", kInteriorKind}};
    // Numbers no double holds: the range keeps every bit of the extended reals.
    t.View = {2, 0, true, {-0.1L, std::nextafter(0.3L, 1.0L), -1e-30L, 7e300L}, "40", {true, true}, true};
    t.Notes = {{"ru", "Овраг Розенброка"}, {"en", "Rosenbrock's valley"}};
    return t;
}

void ExpectSame(const TTask& a, const TTask& b) {
    EXPECT_EQ(a.Run.Formula, b.Run.Formula);
    EXPECT_EQ(a.Run.VariableCountText, b.Run.VariableCountText);
    EXPECT_EQ(a.Run.StartText, b.Run.StartText);
    EXPECT_EQ(a.Run.VariableAccuracyText, b.Run.VariableAccuracyText);
    EXPECT_EQ(a.Run.ValueAccuracyText, b.Run.ValueAccuracyText);
    EXPECT_EQ(a.Run.StepText, b.Run.StepText);
    EXPECT_EQ(a.Run.MethodFamily, b.Run.MethodFamily);
    EXPECT_EQ(a.Run.MethodVariant, b.Run.MethodVariant);
    EXPECT_EQ(a.Run.ExtendedPlot, b.Run.ExtendedPlot);
    EXPECT_EQ(a.Run.RegionStrategy, b.Run.RegionStrategy);
    EXPECT_EQ(a.Compare, b.Compare);
    EXPECT_EQ(a.Conditions, b.Conditions);
    EXPECT_EQ(a.View.AxisX, b.View.AxisX);
    EXPECT_EQ(a.View.AxisY, b.View.AxisY);
    EXPECT_EQ(a.View.HaveRange, b.View.HaveRange);
    if (a.View.HaveRange && b.View.HaveRange) {
        EXPECT_EQ(a.View.Range.XMin, b.View.Range.XMin);
        EXPECT_EQ(a.View.Range.XMax, b.View.Range.XMax);
        EXPECT_EQ(a.View.Range.YMin, b.View.Range.YMin);
        EXPECT_EQ(a.View.Range.YMax, b.View.Range.YMax);
    }
    EXPECT_EQ(a.View.Colours, b.View.Colours);
    EXPECT_EQ(a.View.Look, b.View.Look);
    EXPECT_EQ(a.View.Shade, b.View.Shade);
    EXPECT_EQ(a.Notes, b.Notes);
}

QByteArray Minimal(const char* more = "") {
    return QByteArray(R"({"format": "qirt-task", "version": 1, "formula": "x[0]^2+x[1]^2")") + more + "}";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct TTempFolder {
    std::filesystem::path Path;
    TTempFolder() {
        char name[] = "/tmp/qirt-task-XXXXXX";
        Path = mkdtemp(name);
    }
    ~TTempFolder() { std::filesystem::remove_all(Path); }
    QString File(const char* name) const { return QString::fromStdString((Path / name).string()); }
};

} // namespace

TEST(TaskFile, EveryFieldReadsBackAsWritten) {
    const TTask written = FullTask();
    TTask read;
    QString error;
    ASSERT_TRUE(ReadTask(TaskJson(written), read, error)) << error.toStdString();
    ExpectSame(written, read);
    // And once more: the text is stable.
    EXPECT_EQ(TaskJson(read), TaskJson(written));
}

TEST(TaskFile, TheWindowsDefaultsRoundTripAndFillWhatIsLeftOut) {
    TTask read;
    QString error;
    ASSERT_TRUE(ReadTask(Minimal(), read, error)) << error.toStdString();
    TTask defaults;
    defaults.Run.Formula = "x[0]^2+x[1]^2";
    ExpectSame(defaults, read);
    EXPECT_EQ(read.Run.VariableCountText, kAutomaticCount);
    EXPECT_EQ(read.Run.StepText, kSymbolicStepText);
    EXPECT_EQ(read.Run.MethodFamily, family::FirstOrder);
    TTask again;
    ASSERT_TRUE(ReadTask(TaskJson(defaults), again, error));
    ExpectSame(defaults, again);
}

TEST(TaskFile, ReadsWhatAPersonWouldWrite) {
    TTask t;
    QString error;
    // Range as JSON numbers, the Russian kind word, a note for every language,
    // the map-only method, members this version does not know.
    ASSERT_TRUE(ReadTask(Minimal(R"(, "method": "graph", "note": "Просто", "future_member": [1, 2],
        "region": {"conditions": [{"inequality": "x[0]>=1", "kind": "внутреняя"}]},
        "view": {"range": [-2.5, 2, -1, 3e2], "axes": ["x[1]", "x[0]"]})"),
                         t, error))
        << error.toStdString();
    EXPECT_EQ(t.Run.MethodFamily, family::GraphOnly);
    EXPECT_EQ(t.Note(TLanguage::English), "Просто");
    ASSERT_EQ(t.Conditions.size(), 1u);
    EXPECT_EQ(t.Conditions[0].Kind, kInteriorKind);
    EXPECT_EQ(t.Conditions[0].Coefficient, "1");
    EXPECT_EQ(t.Conditions[0].Power, "2");
    EXPECT_TRUE(t.View.HaveRange);
    EXPECT_EQ(t.View.Range.XMin, -2.5L);
    EXPECT_EQ(t.View.Range.YMax, 300.0L);
    EXPECT_EQ(t.View.AxisX, 1);
    EXPECT_EQ(t.View.AxisY, 0);
}

TEST(TaskFile, NoteFallsBackToTheOtherLanguage) {
    TTask t;
    t.Notes = {{"ru", "Только по-русски"}};
    EXPECT_EQ(t.Note(TLanguage::English), "Только по-русски");
    t.Notes["en"] = "In English";
    EXPECT_EQ(t.Note(TLanguage::English), "In English");
    EXPECT_EQ(t.Note(TLanguage::Russian), "Только по-русски");
}

// Each refusal names what is wrong, and the task given stays as it was.
TEST(TaskFile, RefusesWhatTheWindowsWouldRefuseAndChangesNothing) {
    const std::string tooLong(kMaxTaskText + 1, 'x');
    const struct {
        QByteArray Json;
        const char* Reason;
    } cases[] = {
        {"{\"format\": \"qirt-task\", \"version\": 1, \"formula\": ", "это не JSON"},
        {"[1, 2]", "это не файл задачи QIRT"},
        {R"({"version": 1, "formula": "x[0]"})", "это не файл задачи QIRT"},
        {R"({"format": "qirt-task", "formula": "x[0]"})", "нет поля «version»"},
        {R"({"format": "qirt-task", "version": 2, "formula": "x[0]"})", "более новой версией программы (версия 2"},
        {R"({"format": "qirt-task", "version": "1", "formula": "x[0]"})", "поле «version» должно быть целым числом"},
        {R"({"format": "qirt-task", "version": 1})", "нет поля «formula»"},
        {Minimal().replace("\"x[0]^2+x[1]^2\"", "42"), "поле «formula» должно быть строкой"},
        {Minimal().replace("x[0]^2+x[1]^2", ""), "формула пуста"},
        {Minimal().replace("x[0]^2+x[1]^2", QByteArray::fromStdString(tooLong)), "поле «formula» длиннее 65536"},
        {Minimal(R"(, "method": "newtn")"), "неизвестный метод «newtn»"},
        {Minimal(R"(, "compare": "all")"), "поле «compare» должно быть списком"},
        {Minimal(R"(, "compare": ["dfp", "simplex"])"), "неизвестный метод «simplex»"},
        {Minimal(R"(, "compare": ["dfp", "dfp"])"), "метод «dfp» назван в «compare» дважды"},
        {Minimal(R"(, "compare": [])"), "в «compare» нет ни одного метода"},
        {Minimal(R"(, "variables": "11")"), "поле «variables» должно быть «auto» или числом от 1 до 10"},
        {Minimal(R"(, "variables": "02")"), "поле «variables» должно быть"},
        {Minimal(R"(, "start": "1,a")"), "координата 2 («a») — не число"},
        {Minimal(R"(, "start": "1,2,3,4,5,6,7,8,9,10,11")"), "координата 11 («11») — не число"},
        {Minimal(R"(, "variable_accuracy": "abc")"), "Точность по переменным должна быть числом"},
        {Minimal(R"(, "value_accuracy": "1e5000")"), "Точность по значениям функции должна быть числом"},
        {Minimal(R"(, "value_accuracy": "-1e-7")"), "поле «value_accuracy»: точность не может быть отрицательной"},
        {Minimal(R"(, "step": "")"), "Шаг при дифференцировании должен быть числом"},
        {Minimal(R"(, "extended_plot": "yes")"), "поле «extended_plot» должно быть значением true или false"},
        {Minimal(R"(, "region": [])"), "поле «region» должно быть объектом"},
        {Minimal(R"(, "region": {"strategy": "barrier"})"), "неизвестная стратегия «barrier»"},
        {Minimal(R"(, "region": {"conditions": [{"coefficient": "1"}]})"), "нет поля «region.conditions[1].inequality»"},
        {Minimal(R"(, "region": {"conditions": [{"inequality": "x[0]>1"}, {"inequality": "x[0]>", "kind": "exterior"}]})"),
         "условие 2 («x[0]>») не разобрано"},
        {Minimal(R"(, "region": {"conditions": [{"inequality": "x[0]>1", "kind": "both"}]})"), "условие 1: неизвестный вид «both»"},
        {Minimal(R"(, "region": {"conditions": [{"inequality": "x[0]>1", "power": "3"}]})"),
         "условие 1: степень «3» должна быть чётным числом"},
        {Minimal(R"(, "region": {"conditions": [{"inequality": "x[0]>1", "coefficient": "-5"}]})"),
         "условие 1: коэффициент «-5» должен быть неотрицательным числом"},
        {Minimal(R"(, "region": {"conditions": [{"inequality": "x[0]>1", "power": 2}]})"),
         "поле «region.conditions[1].power» должно быть строкой"},
        {Minimal(R"(, "view": {"axes": ["x[0]", "x[0]"]})"), "оси карты должны быть двумя разными переменными"},
        {Minimal(R"(, "view": {"axes": ["x[0]", "x[10]"]})"), "оси карты должны быть двумя разными переменными"},
        {Minimal(R"(, "view": {"range": [1, 0, 0, 1]})"), "поле «view.range» должно быть четырьмя числами"},
        {Minimal(R"(, "view": {"range": [0, 1, 0]})"), "поле «view.range» должно быть четырьмя числами"},
        {Minimal(R"(, "view": {"range": [0, "1e5000", 0, 1]})"), "поле «view.range» должно быть четырьмя числами"},
        {Minimal(R"(, "view": {"colours": "0"})"), "Количество цветов должно быть целым числом не меньше 1"},
        {Minimal(R"(, "view": {"style": "contours"})"), "неизвестный вид карты «contours»"},
        {Minimal(R"(, "note": 5)"), "поле «note» должно быть строкой"},
    };
    for (const auto& c : cases) {
        TTask task = FullTask();
        QString error;
        EXPECT_FALSE(ReadTask(c.Json, task, error)) << c.Json.left(200).toStdString();
        EXPECT_NE(error.toStdString().find(c.Reason), std::string::npos)
            << "[" << error.toStdString() << "] lacks [" << c.Reason << "]";
        ExpectSame(task, FullTask());
    }
}

TEST(TaskFile, SaveAndLoadThroughAFileNameTheFileInTheMessage) {
    TTempFolder folder;
    const QString name = folder.File("задача.qirt");
    QString error;
    ASSERT_TRUE(SaveTask(FullTask(), name, error)) << error.toStdString();
    TTask read;
    ASSERT_TRUE(LoadTask(name, read, error)) << error.toStdString();
    ExpectSame(FullTask(), read);
    // UTF-8 on disk, readable as text.
    EXPECT_NE(Slurp(name.toStdString()).find("Овраг Розенброка"), std::string::npos);

    // The usual reasons in the interface's words, not the system's.
    EXPECT_FALSE(LoadTask(folder.File("нет.qirt"), read, error));
    EXPECT_EQ(error, QStringLiteral("Задача нет.qirt не открыта: нет такого файла"));
    EXPECT_FALSE(LoadTask(QString::fromStdString(folder.Path.string()), read, error));
    EXPECT_TRUE(error.endsWith(QStringLiteral(" не открыта: это папка"))) << error.toStdString();
    std::ofstream(folder.File("broken.qirt").toStdString()) << "{\"format\": \"qirt-task\"";
    EXPECT_FALSE(LoadTask(folder.File("broken.qirt"), read, error));
    EXPECT_TRUE(error.contains(QStringLiteral("broken.qirt"))) << error.toStdString();
    ExpectSame(FullTask(), read);
}

TEST(TaskFile, AFailedSaveLeavesTheOldFile) {
    TTempFolder folder;
    const QString name = folder.File("t.qirt");
    QString error;
    ASSERT_TRUE(SaveTask(FullTask(), name, error));
    const std::string before = Slurp(name.toStdString());
    // A task the reader would refuse is not written over a good one.
    TTask bad = FullTask();
    bad.Run.VariableAccuracyText = "abc";
    EXPECT_FALSE(SaveTask(bad, name, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Задача t.qirt не записана: Точность по переменным")))
        << error.toStdString();
    EXPECT_EQ(Slurp(name.toStdString()), before);
    // Nothing stays behind beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path), {}), 1);
    // A folder that cannot be written: refused with the reason.
    EXPECT_FALSE(SaveTask(FullTask(), folder.File("no-such-folder/t.qirt"), error));
    EXPECT_EQ(error, QStringLiteral("Задача t.qirt не записана: нет такой папки"));
}

TEST(TaskFile, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
    TTempFolder folder;
    const auto target = folder.Path / "real.qirt", link = folder.Path / "link.qirt";
    std::ofstream(target.string()) << "old";
    std::filesystem::create_symlink(target, link);
    QString error;
    ASSERT_TRUE(SaveTask(FullTask(), QString::fromStdString(link.string()), error)) << error.toStdString();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    TTask read;
    ASSERT_TRUE(LoadTask(QString::fromStdString(target.string()), read, error));
    ExpectSame(FullTask(), read);
}
