// Reading and writing task files. Reading checks every member as the
// windows would check the field it fills, and names the first that is
// wrong; the task is changed only when the whole file is good.
#include "graph/task/task.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "func/messages.h"
#include "func/scan.h"
#include "graph/track/track.h"
#include "graph/track/track_values.h"

namespace qirt {

namespace {

constexpr const char* kFormat = "qirt-task";

// What reading found wrong: a marked pattern and its arguments.
struct TFault {
    const char* Pattern = nullptr;
    std::vector<std::string> Arguments;
};

constexpr const char* kNotJson = UI_TEXT("qirt", "файл повреждён: это не JSON (%1, символ %2)");
constexpr const char* kNotTask = UI_TEXT("qirt", "это не файл задачи QIRT");
constexpr const char* kNewerVersion =
    UI_TEXT("qirt", "задача записана более новой версией программы (версия %1; эта версия программы читает задачи версий до %2 включительно)");
constexpr const char* kWrongType = UI_TEXT("qirt", "поле «%1» должно быть %2");
constexpr const char* kAString = UI_TEXT("qirt", "строкой");
constexpr const char* kAnArray = UI_TEXT("qirt", "списком");
constexpr const char* kAnObject = UI_TEXT("qirt", "объектом");
constexpr const char* kABoolean = UI_TEXT("qirt", "значением true или false");
constexpr const char* kAVersion = UI_TEXT("qirt", "целым числом не меньше 1");
constexpr const char* kMissing = UI_TEXT("qirt", "нет поля «%1»");
constexpr const char* kEmptyFormula = UI_TEXT("qirt", "формула пуста");
constexpr const char* kTooLong = UI_TEXT("qirt", "поле «%1» длиннее %2 символов");
constexpr const char* kUnknownMethod = UI_TEXT("qirt", "неизвестный метод «%1»");
constexpr const char* kRepeatedMethod = UI_TEXT("qirt", "метод «%1» назван в «compare» дважды");
constexpr const char* kNoComparedMethod = UI_TEXT("qirt", "в «compare» нет ни одного метода");
constexpr const char* kUnknownKind = UI_TEXT("qirt", "условие %1: неизвестный вид «%2»");
constexpr const char* kBadCondition = UI_TEXT("qirt", "условие %1 («%2») не разобрано");
constexpr const char* kBadPower = UI_TEXT("qirt", "условие %1: степень «%2» должна быть чётным числом 0, 2, 4, …");
constexpr const char* kBadCoefficient =
    UI_TEXT("qirt", "условие %1: коэффициент «%2» должен быть неотрицательным числом");
constexpr const char* kUnknownStrategy = UI_TEXT("qirt", "неизвестная стратегия «%1»");
constexpr const char* kUnknownStyle = UI_TEXT("qirt", "неизвестный вид карты «%1»");
constexpr const char* kBadVariables = UI_TEXT("qirt", "поле «variables» должно быть «auto» или числом от 1 до 10, а не «%1»");
constexpr const char* kBadAxes = UI_TEXT("qirt", "оси карты должны быть двумя разными переменными из x[0] … x[9]");
constexpr const char* kBadRange =
    UI_TEXT("qirt", "поле «view.range» должно быть четырьмя числами: xmin < xmax, ymin < ymax, не слишком далеко друг от друга");
constexpr const char* kBadNegativeAccuracy = UI_TEXT("qirt", "поле «%1»: точность не может быть отрицательной");

constexpr const char* kOpenFailed = UI_TEXT("qirt", "Задача %1 не открыта: %2");
constexpr const char* kNoSuchFile = UI_TEXT("qirt", "нет такого файла");
constexpr const char* kAFolder = UI_TEXT("qirt", "это папка");
constexpr const char* kNotReadable = UI_TEXT("qirt", "нет прав на чтение");
constexpr const char* kSaveFailed = UI_TEXT("qirt", "Задача %1 не записана: %2");

// The style keys, in the order Filled + 2 LevelLines.
constexpr const char* kStyles[] = {"dots", "filled", "lines", "filled-lines"};

std::string Utf8(const QString& s) { return s.toStdString(); }

class TReader {
public:
    explicit TReader(TFault& fault) : fault_(fault) {}

    bool Fail(const char* pattern, std::vector<std::string> arguments = {}) {
        fault_ = {pattern, std::move(arguments)};
        return false;
    }
    bool WrongType(const QString& name, const char* what) {
        return Fail(kWrongType, {Utf8(name), what});
    }
    // A string member; absent: the value stays.
    bool String(const QJsonObject& o, const char* key, std::string& value, const QString& path = {}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return true;
        const QString name = path.isEmpty() ? QString::fromLatin1(key) : path + QLatin1Char('.') + QLatin1String(key);
        if (!v.isString()) return WrongType(name, kAString);
        if (v.toString().size() > kMaxTaskText) return Fail(kTooLong, {Utf8(name), std::to_string(kMaxTaskText)});
        value = Utf8(v.toString());
        return true;
    }
    bool Boolean(const QJsonObject& o, const char* key, bool& value, const QString& path = {}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return true;
        if (!v.isBool()) return WrongType(path + QLatin1String(key), kABoolean);
        value = v.toBool();
        return true;
    }

private:
    TFault& fault_;
};

// A number field's text the run would take: empty (the default) or a
// finite number.
bool UsableNumber(const std::string& text) {
    return text.empty() || (IsRealText(text) && std::isfinite(TextToReal(text)));
}

int MethodOfKey(const std::string& key) { return MethodIndex(key); }

// The text after the tenth comma: the coordinates beyond x[9].
std::string NthCoordinateAfterTen(const std::string& text) {
    std::size_t at = 0;
    for (int k = 0; k < 10; ++k) at = text.find(',', at) + 1;
    return text.substr(at);
}

bool ReadRun(const QJsonObject& o, TReader& r, TTask& t) {
    TRunInputs& in = t.Run;
    if (!o.contains(QLatin1String("formula"))) return r.Fail(kMissing, {"formula"});
    if (!r.String(o, "formula", in.Formula)) return false;
    if (in.Formula.empty()) return r.Fail(kEmptyFormula);
    std::string variables = "auto";
    if (!r.String(o, "variables", variables)) return false;
    if (variables == "auto") {
        in.VariableCountText = kAutomaticCount;
    } else {
        if (!IsDigitText(variables) || variables.size() > 2 || std::stoi(variables) < 1 || std::stoi(variables) > 10 ||
            variables != std::to_string(std::stoi(variables)))
            return r.Fail(kBadVariables, {variables});
        in.VariableCountText = variables;
    }
    if (!r.String(o, "start", in.StartText)) return false;
    // Every coordinate given is a number, and there are at most ten (an
    // empty start is the point 0, as in the window).
    if (!in.StartText.empty()) {
        const auto fields = std::count(in.StartText.begin(), in.StartText.end(), ',') + 1;
        if (fields > 10) return r.Fail(message::BadStartCoordinate, {"11", NthCoordinateAfterTen(in.StartText)});
        for (int n = 1; n <= fields; ++n) {
            const std::string field = NthCoordinate(in.StartText, n);
            if (!IsRealText(field) || !std::isfinite(TextToReal(field)))
                return r.Fail(message::BadStartCoordinate, {std::to_string(n), field});
        }
    }
    if (!r.String(o, "variable_accuracy", in.VariableAccuracyText)) return false;
    if (!UsableNumber(in.VariableAccuracyText)) return r.Fail(message::BadVariableAccuracy);
    if (!in.VariableAccuracyText.empty() && TextToReal(in.VariableAccuracyText) < 0)
        return r.Fail(kBadNegativeAccuracy, {"variable_accuracy"});
    if (!r.String(o, "value_accuracy", in.ValueAccuracyText)) return false;
    if (!UsableNumber(in.ValueAccuracyText)) return r.Fail(message::BadValueAccuracy);
    if (!in.ValueAccuracyText.empty() && TextToReal(in.ValueAccuracyText) < 0)
        return r.Fail(kBadNegativeAccuracy, {"value_accuracy"});
    std::string step = "symbolic";
    if (!r.String(o, "step", step)) return false;
    if (step == "symbolic") {
        in.StepText = kSymbolicStepText;
    } else {
        if (step.empty() || !UsableNumber(step)) return r.Fail(message::BadStep);
        in.StepText = step;
    }
    std::string method = kMethods[MethodIndex(family::FirstOrder, 1)].Name;
    if (!r.String(o, "method", method)) return false;
    if (method == "graph") {
        in.MethodFamily = family::GraphOnly;
        in.MethodVariant = 1;
    } else {
        const int k = MethodOfKey(method);
        if (k < 0) return r.Fail(kUnknownMethod, {method});
        in.MethodFamily = kMethods[k].Family;
        in.MethodVariant = kMethods[k].Variant;
    }
    if (o.contains(QLatin1String("compare"))) {
        const QJsonValue v = o.value(QLatin1String("compare"));
        if (!v.isArray()) return r.WrongType(QStringLiteral("compare"), kAnArray);
        std::set<int> seen;
        for (const QJsonValue& name : v.toArray()) {
            if (!name.isString()) return r.WrongType(QStringLiteral("compare"), kAnArray);
            const int k = MethodOfKey(Utf8(name.toString()));
            if (k < 0) return r.Fail(kUnknownMethod, {Utf8(name.toString())});
            if (!seen.insert(k).second) return r.Fail(kRepeatedMethod, {Utf8(name.toString())});
            t.Compare.push_back(k);
        }
        if (t.Compare.empty()) return r.Fail(kNoComparedMethod);
    }
    return r.Boolean(o, "extended_plot", in.ExtendedPlot);
}

bool ReadRegion(const QJsonObject& o, TReader& r, TTask& t) {
    const QJsonValue v = o.value(QLatin1String("region"));
    if (v.isUndefined()) return true;
    if (!v.isObject()) return r.WrongType(QStringLiteral("region"), kAnObject);
    const QJsonObject region = v.toObject();
    std::string strategy = RegionStrategyKey(TRegionStrategy::Single);
    if (!r.String(region, "strategy", strategy, QStringLiteral("region"))) return false;
    const int s = RegionStrategyIndex(strategy.c_str());
    if (s < 0) return r.Fail(kUnknownStrategy, {strategy});
    t.Run.RegionStrategy = static_cast<TRegionStrategy>(s);
    const QJsonValue list = region.value(QLatin1String("conditions"));
    if (list.isUndefined()) return true;
    if (!list.isArray()) return r.WrongType(QStringLiteral("region.conditions"), kAnArray);
    int number = 0;
    for (const QJsonValue& item : list.toArray()) {
        ++number;
        const QString path = QStringLiteral("region.conditions[%1]").arg(number);
        if (!item.isObject()) return r.WrongType(path, kAnObject);
        const QJsonObject c = item.toObject();
        TTaskCondition condition;
        condition.Coefficient = "1";
        condition.Power = "2";
        std::string kind = "exterior";
        if (!c.contains(QLatin1String("inequality"))) return r.Fail(kMissing, {Utf8(path) + ".inequality"});
        if (!r.String(c, "inequality", condition.Inequality, path) ||
            !r.String(c, "coefficient", condition.Coefficient, path) || !r.String(c, "power", condition.Power, path) ||
            !r.String(c, "kind", kind, path))
            return false;
        // The program's keys, and its Russian words as the region window shows them.
        if (kind == "exterior" || kind == kExteriorKind)
            condition.Kind = kExteriorKind;
        else if (kind == "interior" || kind == kInteriorKind)
            condition.Kind = kInteriorKind;
        else
            return r.Fail(kUnknownKind, {std::to_string(number), kind});
        // A coefficient that is no number would drop the term; a negative
        // one rewards leaving the region.
        if (!IsRealText(condition.Coefficient) || !std::isfinite(TextToReal(condition.Coefficient)) ||
            TextToReal(condition.Coefficient) < 0)
            return r.Fail(kBadCoefficient, {std::to_string(number), condition.Coefficient});
        uslov check;
        check.AddCondition(condition.Inequality, condition.Coefficient, condition.Power, condition.Kind);
        if (check.ConditionErrorCode == condition_error::BadPower)
            return r.Fail(kBadPower, {std::to_string(number), condition.Power});
        if (check.ConditionErrorCode != 0 || check.Size != 1)
            return r.Fail(kBadCondition, {std::to_string(number), condition.Inequality});
        t.Conditions.push_back(std::move(condition));
    }
    return true;
}

// A number of the range: a JSON number or a number's text.
bool RangeNumber(const QJsonValue& v, Real& value) {
    std::string text;
    if (v.isDouble())
        text = Utf8(QString::number(v.toDouble(), 'g', 17));
    else if (v.isString())
        text = Utf8(v.toString());
    else
        return false;
    if (!IsRealText(text)) return false;
    // Read correctly rounded, so that the shortest text written gives back
    // every bit of the number.
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    return fault == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool ReadView(const QJsonObject& o, TReader& r, TTaskView& view) {
    const QJsonValue v = o.value(QLatin1String("view"));
    if (v.isUndefined()) return true;
    if (!v.isObject()) return r.WrongType(QStringLiteral("view"), kAnObject);
    const QJsonObject w = v.toObject();
    if (w.contains(QLatin1String("axes"))) {
        const QJsonArray axes = w.value(QLatin1String("axes")).toArray();
        if (!w.value(QLatin1String("axes")).isArray() || axes.size() != 2 || !axes[0].isString() ||
            !axes[1].isString())
            return r.Fail(kBadAxes);
        int a[2];
        for (int k = 0; k < 2; ++k) {
            const std::string name = Utf8(axes[k].toString());
            a[k] = name.size() == 4 ? VariableNumber(name) - 1 : -1;
        }
        if (a[0] < 0 || a[1] < 0 || a[0] == a[1]) return r.Fail(kBadAxes);
        view.AxisX = a[0];
        view.AxisY = a[1];
    }
    if (w.contains(QLatin1String("range"))) {
        const QJsonValue range = w.value(QLatin1String("range"));
        Real x[4];
        if (!range.isArray() || range.toArray().size() != 4) return r.Fail(kBadRange);
        for (int k = 0; k < 4; ++k)
            if (!RangeNumber(range.toArray()[k], x[k])) return r.Fail(kBadRange);
        view.Range = {x[0], x[1], x[2], x[3]};
        if (!(x[0] < x[1] && x[2] < x[3]) || !UsableView(view.Range)) return r.Fail(kBadRange);
        view.HaveRange = true;
    }
    if (!r.String(w, "colours", view.Colours, QStringLiteral("view"))) return false;
    if (!UsableColourCount(view.Colours)) return r.Fail(message::BadColourCount);
    std::string style = "dots";
    if (!r.String(w, "style", style, QStringLiteral("view"))) return false;
    int s = 0;
    while (s < 4 && style != kStyles[s]) ++s;
    if (s == 4) return r.Fail(kUnknownStyle, {style});
    view.Look = {(s & 1) != 0, (s & 2) != 0};
    return r.Boolean(w, "shade", view.Shade, QStringLiteral("view."));
}

bool ReadNotes(const QJsonObject& o, TReader& r, std::map<std::string, std::string>& notes) {
    const QJsonValue v = o.value(QLatin1String("note"));
    if (v.isUndefined()) return true;
    if (v.isString()) {
        notes["ru"] = notes["en"] = Utf8(v.toString());
        return true;
    }
    if (!v.isObject()) return r.WrongType(QStringLiteral("note"), kAString);
    const QJsonObject languages = v.toObject();
    for (auto it = languages.begin(); it != languages.end(); ++it) {
        if (!it.value().isString()) return r.WrongType(QStringLiteral("note.") + it.key(), kAString);
        notes[Utf8(it.key())] = Utf8(it.value().toString());
    }
    return true;
}

bool Read(const QByteArray& json, TTask& task, TFault& fault) {
    TReader r(fault);
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return r.Fail(kNotJson, {Utf8(parse.errorString()), std::to_string(parse.offset + 1)});
    const QJsonObject o = document.object();
    if (!document.isObject() || o.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
        return r.Fail(kNotTask);
    const QJsonValue version = o.value(QLatin1String("version"));
    if (version.isUndefined()) return r.Fail(kMissing, {"version"});
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) || version.toDouble() < 1)
        return r.WrongType(QStringLiteral("version"), kAVersion);
    if (version.toDouble() > kTaskVersion)
        return r.Fail(kNewerVersion, {Utf8(QString::number(version.toDouble(), 'g', 17)), std::to_string(kTaskVersion)});
    TTask t;
    if (!ReadRun(o, r, t) || !ReadRegion(o, r, t) || !ReadView(o, r, t.View) || !ReadNotes(o, r, t.Notes))
        return false;
    task = std::move(t);
    return true;
}

QString FaultText(const TFault& fault, const TTextOf& text) {
    return QString::fromStdString(FillArguments(Utf8(text(fault.Pattern)), fault.Arguments));
}

// The message for a file: the pattern with the file's name and the fault.
QString FileMessage(const char* pattern, const QString& fileName, const QString& what, const TTextOf& text) {
    return QString::fromStdString(
        FillArguments(Utf8(text(pattern)), {Utf8(QFileInfo(fileName).fileName()), Utf8(what)}));
}

// The members in the order a reader expects them, whatever Qt's order.
const QStringList kMemberOrder = {
    QStringLiteral("format"),  QStringLiteral("version"),     QStringLiteral("note"),
    QStringLiteral("ru"),      QStringLiteral("en"),          QStringLiteral("formula"),
    QStringLiteral("variables"), QStringLiteral("start"),     QStringLiteral("variable_accuracy"),
    QStringLiteral("value_accuracy"), QStringLiteral("step"), QStringLiteral("method"),
    QStringLiteral("compare"), QStringLiteral("extended_plot"), QStringLiteral("region"),
    QStringLiteral("strategy"), QStringLiteral("conditions"), QStringLiteral("inequality"),
    QStringLiteral("coefficient"), QStringLiteral("power"),   QStringLiteral("kind"),
    QStringLiteral("view"),    QStringLiteral("axes"),        QStringLiteral("range"),
    QStringLiteral("colours"), QStringLiteral("style"),       QStringLiteral("shade")};

// A value as indented JSON: objects with their members in kMemberOrder
// (others after, by name), arrays of plain values on one line.
void WriteJson(const QJsonValue& v, int depth, QByteArray& out) {
    const QByteArray indent(4 * (depth + 1), ' ');
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        QStringList keys = o.keys();
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            const auto rank = [](const QString& k) {
                const auto i = kMemberOrder.indexOf(k);
                return i < 0 ? kMemberOrder.size() : i;
            };
            return rank(a) < rank(b);
        });
        out += "{\n";
        for (qsizetype k = 0; k < keys.size(); ++k) {
            out += indent + QJsonDocument(QJsonArray{keys[k]}).toJson(QJsonDocument::Compact).mid(1).chopped(1) + ": ";
            WriteJson(o.value(keys[k]), depth + 1, out);
            out += k + 1 < keys.size() ? ",\n" : "\n";
        }
        out += QByteArray(4 * depth, ' ') + "}";
    } else if (v.isArray() && std::any_of(v.toArray().begin(), v.toArray().end(),
                                          [](const QJsonValue& e) { return e.isObject(); })) {
        const QJsonArray a = v.toArray();
        out += "[\n";
        for (qsizetype k = 0; k < a.size(); ++k) {
            out += indent;
            WriteJson(a[k], depth + 1, out);
            out += k + 1 < a.size() ? ",\n" : "\n";
        }
        out += QByteArray(4 * depth, ' ') + "]";
    } else {
        // A plain value as Qt writes it; an array of them on one line.
        const auto plain = [](const QJsonValue& e) {
            return QJsonDocument(QJsonArray{e}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
        };
        if (!v.isArray()) {
            out += plain(v);
            return;
        }
        QByteArrayList items;
        for (const QJsonValue& e : v.toArray()) items << plain(e);
        out += "[" + items.join(", ") + "]";
    }
}

std::string MethodKey(int family, int variant) {
    if (family == family::GraphOnly) return "graph";
    const int k = MethodIndex(family, variant);
    return k >= 0 ? kMethods[k].Name : "?";
}

} // namespace

QString DefaultText(const char* source) { return QCoreApplication::translate("qirt", source); }

std::string TTask::Note(TLanguage language) const {
    const std::string code = Utf8(LanguageCode(language));
    if (auto it = Notes.find(code); it != Notes.end() && !it->second.empty()) return it->second;
    for (const auto& [key, note] : Notes)
        if (!note.empty()) return note;
    return {};
}

bool ReadTask(const QByteArray& json, TTask& task, QString& error, const TTextOf& text) {
    TFault fault;
    if (Read(json, task, fault)) return true;
    error = FaultText(fault, text);
    return false;
}

bool LoadTask(const QString& fileName, TTask& task, QString& error, const TTextOf& text) {
    QFile file(fileName);
    // A task is a few kilobytes; anything much larger is not one (and is
    // not read whole into memory).
    constexpr qint64 kMaxTaskFile = 16 * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly)) {
        // The usual reasons in the user's words; the rest in Qt's.
        const QFileInfo info(fileName);
        const char* reason = !info.exists() ? kNoSuchFile : info.isDir() ? kAFolder : !info.isReadable() ? kNotReadable
                                                                                                         : nullptr;
        error = FileMessage(kOpenFailed, fileName, reason ? text(reason) : file.errorString(), text);
        return false;
    }
    if (file.size() > kMaxTaskFile) {
        error = FileMessage(kOpenFailed, fileName, text(kNotTask), text);
        return false;
    }
    QString what;
    if (!ReadTask(file.read(kMaxTaskFile + 1), task, what, text)) {
        error = FileMessage(kOpenFailed, fileName, what, text);
        return false;
    }
    return true;
}

QByteArray TaskJson(const TTask& task) {
    const TRunInputs& in = task.Run;
    auto q = [](const std::string& s) { return QString::fromStdString(s); };
    QJsonObject o;
    o[QStringLiteral("format")] = QLatin1String(kFormat);
    o[QStringLiteral("version")] = kTaskVersion;
    if (!task.Notes.empty()) {
        QJsonObject notes;
        for (const auto& [code, note] : task.Notes) notes[q(code)] = q(note);
        o[QStringLiteral("note")] = notes;
    }
    o[QStringLiteral("formula")] = q(in.Formula);
    o[QStringLiteral("variables")] = in.VariableCountText == kAutomaticCount ? QStringLiteral("auto") : q(in.VariableCountText);
    o[QStringLiteral("start")] = q(in.StartText);
    o[QStringLiteral("variable_accuracy")] = q(in.VariableAccuracyText);
    o[QStringLiteral("value_accuracy")] = q(in.ValueAccuracyText);
    o[QStringLiteral("step")] = in.StepText == kSymbolicStepText ? QStringLiteral("symbolic") : q(in.StepText);
    o[QStringLiteral("method")] = q(MethodKey(in.MethodFamily, in.MethodVariant));
    if (!task.Compare.empty()) {
        QJsonArray compare;
        for (int k : task.Compare) compare.append(QLatin1String(kMethods[k].Name));
        o[QStringLiteral("compare")] = compare;
    }
    o[QStringLiteral("extended_plot")] = in.ExtendedPlot;
    if (!task.Conditions.empty() || in.RegionStrategy != TRegionStrategy::Single) {
        QJsonArray conditions;
        for (const TTaskCondition& c : task.Conditions)
            conditions.append(QJsonObject{{QStringLiteral("inequality"), q(c.Inequality)},
                                          {QStringLiteral("coefficient"), q(c.Coefficient)},
                                          {QStringLiteral("power"), q(c.Power)},
                                          {QStringLiteral("kind"), c.Kind == kInteriorKind ? QStringLiteral("interior")
                                                                                           : QStringLiteral("exterior")}});
        o[QStringLiteral("region")] = QJsonObject{
            {QStringLiteral("strategy"), QLatin1String(RegionStrategyKey(in.RegionStrategy))},
            {QStringLiteral("conditions"), conditions}};
    }
    const TTaskView& v = task.View;
    QJsonObject view{
        {QStringLiteral("axes"), QJsonArray{QStringLiteral("x[%1]").arg(v.AxisX), QStringLiteral("x[%1]").arg(v.AxisY)}},
        {QStringLiteral("colours"), q(v.Colours)},
        {QStringLiteral("style"), QLatin1String(kStyles[(v.Look.Filled ? 1 : 0) + (v.Look.LevelLines ? 2 : 0)])},
        {QStringLiteral("shade"), v.Shade}};
    if (v.HaveRange)
        view[QStringLiteral("range")] = QJsonArray{q(ShortestText(v.Range.XMin)), q(ShortestText(v.Range.XMax)),
                                                   q(ShortestText(v.Range.YMin)), q(ShortestText(v.Range.YMax))};
    o[QStringLiteral("view")] = view;
    QByteArray out;
    WriteJson(o, 0, out);
    return out + "\n";
}

bool SaveTask(const TTask& task, const QString& fileName, QString& error, const TTextOf& text) {
    // What is written must open again: a task the reader would refuse is
    // not written, and the reason is named.
    const QByteArray json = TaskJson(task);
    TTask check;
    TFault fault;
    if (!Read(json, check, fault)) {
        error = FileMessage(kSaveFailed, fileName, FaultText(fault, text), text);
        return false;
    }
    errno = 0;
    if (!WriteWholeFile(Utf8(fileName), [&](std::FILE* f) {
            return std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), f) ==
                   static_cast<std::size_t>(json.size());
        })) {
        const int why = errno ? errno : EIO;
        const char* reason = WriteFailureText(why);
        error = FileMessage(kSaveFailed, fileName, reason ? text(reason) : QString::fromLocal8Bit(std::strerror(why)),
                            text);
        return false;
    }
    return true;
}

} // namespace qirt
