// The channel through which the engine reports errors to the user. The
// message window implements it; a caller puts a text in with SetMessage and
// then shows the window modally (waiting until the user closes it) or
// non-modally (going on at once).
#pragma once

#include <string>
#include <vector>

#include "func/ui_text.h"

namespace qirt {

class TMessageWindow {
public:
    virtual ~TMessageWindow() = default;
    virtual void SetMessage(const std::string& text) = 0;
    // A text with numbered places (%1, %2, ...) filled from the arguments;
    // a window that translates texts translates the pattern first.
    virtual void SetMessage(const std::string& pattern, const std::vector<std::string>& arguments);
    virtual void ShowModal() = 0;
    virtual void ShowNonModal() = 0;
    // A new action of the user begins: its messages need not stand beside
    // those of the one before.
    virtual void NewReport() {}
    // A text shown under the messages in a fixed-width font, for a formula
    // with a marker under the place it goes wrong.
    virtual void SetExcerpt(const std::string& excerpt) { (void)excerpt; }
};

// The texts of the engine's messages.
namespace message {
inline constexpr const char* TreeBuild = UI_TEXT("qirt", "Ошибка формирования дерева");
inline constexpr const char* DerivativeTrees = UI_TEXT("qirt", "Ошибка создания дерева производных");
inline constexpr const char* HessianTrees = UI_TEXT("qirt", "Ошибка создания матрицы Гессе");
// Shown after either of the two above: every function has a derivative rule,
// so the trees failed only for their size, and central differences need none.
inline constexpr const char* UseNumericStep = UI_TEXT(
    "qirt",
    "Производные слишком велики для символьного дифференцирования: "
    "задайте шаг при дифференцировании числом, например 1e-5");
inline constexpr const char* ConditionEvaluation = UI_TEXT("qirt", "Ошибка вычисления условий");
// The run of a method.
inline constexpr const char* RunBuild = UI_TEXT("qirt", "Ошибка создания дерева");
inline constexpr const char* MissingCoordinates = UI_TEXT("qirt", "Нехватает переменных");
// A plot's size that is not "width×height" of 200 ... 10000 pixels each.
inline constexpr const char* BadPlotSize =
    UI_TEXT("qirt", "Размер графика — ширина×высота в пикселях, от 200 до 10000, например 1000×800");
// A required field of the main window is empty: nothing runs.
inline constexpr const char* EmptyFormula = UI_TEXT("qirt", "Введите функцию: поле функции пусто");
inline constexpr const char* EmptyStep =
    UI_TEXT("qirt", "Поле шага дифференцирования пусто: выберите «Символьное дифференцирование» или введите шаг");
inline constexpr const char* EmptyVariableCount =
    UI_TEXT("qirt", "Поле числа переменных пусто: выберите «Автоопределение» или введите число");
inline constexpr const char* NoVariables = UI_TEXT("qirt", "Функция не содержит переменных: минимизировать нечего");
inline constexpr const char* UndefinedStart = UI_TEXT("qirt", "Функция не определена в начальной точке");
inline constexpr const char* Unbounded = UI_TEXT(
    "qirt",
    "Функция не ограничена снизу: поиск дошёл до конца диапазона чисел. "
    "Показана последняя точка с конечным значением");
inline constexpr const char* RunsOff = UI_TEXT(
    "qirt",
    "Точка уходит в бесконечность, а значения функции выходят на свою нижнюю грань: "
    "минимума нет. Показана последняя точка с конечными координатами");
inline constexpr const char* NotStationary = UI_TEXT(
    "qirt",
    "Метод остановился, но градиент в найденной точке не мал: это не минимум. "
    "Попробуйте другой метод, числовой шаг дифференцирования или другие точности");
inline constexpr const char* SingularHessian = UI_TEXT(
    "qirt",
    "Матрица Гессе вырождена: метод Ньютона не может сделать шаг. "
    "Попробуйте метод переменной метрики или другую начальную точку");
inline constexpr const char* OutsideInterior = UI_TEXT(
    "qirt",
    "Метод остановился вне области с внутренним штрафом: там штраф — постоянная 1e6, "
    "и путь внутрь не найден. Начните из точки внутри области");
inline constexpr const char* BadRange = UI_TEXT(
    "qirt",
    "Недопустимый диапазон: концы должны быть конечными числами, левый меньше правого, "
    "а ширина не слишком мала для 500 точек по сравнению с самими концами");
inline constexpr const char* HistoryNotWritten = UI_TEXT(
    "qirt",
    "Не удалось записать формулу в файл истории funtion.txt");
inline constexpr const char* BadVariableAccuracy = UI_TEXT(
    "qirt",
    "Точность по переменным должна быть числом, например 1e-7");
inline constexpr const char* BadValueAccuracy = UI_TEXT(
    "qirt",
    "Точность по значениям функции должна быть числом, например 1e-7");
inline constexpr const char* BadStep = UI_TEXT(
    "qirt",
    "Шаг при дифференцировании должен быть числом, например 1e-5, "
    "или «Символьное дифференцирование»");
inline constexpr const char* BadStartCoordinate = UI_TEXT("qirt", "Начальное приближение: координата %1 («%2») — не число");
inline constexpr const char* BadColourCount = UI_TEXT(
    "qirt",
    "Количество цветов должно быть целым числом не меньше 1");
inline constexpr const char* NegativeVariableAccuracy = UI_TEXT(
    "qirt",
    "Точность по переменным не может быть отрицательной");
inline constexpr const char* NegativeValueAccuracy = UI_TEXT(
    "qirt",
    "Точность по значениям функции не может быть отрицательной");
} // namespace message

// The pattern with %1, %2, ... replaced by the arguments, in one pass (an
// argument holding "%2" stays as it is).
std::string FillArguments(const std::string& pattern, const std::vector<std::string>& arguments);

inline void TMessageWindow::SetMessage(const std::string& pattern,
                                       const std::vector<std::string>& arguments) {
    SetMessage(FillArguments(pattern, arguments));
}

enum class ShowKind { Modal, NonModal };

// Puts the text into the window and shows it; a missing window drops it.
inline void ShowMessage(TMessageWindow* window, const char* text, ShowKind how,
                        const std::vector<std::string>& arguments = {}) {
    if (!window) return;
    if (arguments.empty())
        window->SetMessage(text);
    else
        window->SetMessage(text, arguments);
    if (how == ShowKind::Modal)
        window->ShowModal();
    else
        window->ShowNonModal();
}

} // namespace qirt
