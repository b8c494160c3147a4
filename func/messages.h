// The channel through which the engine reports errors to the user. The
// message window implements it; a caller puts a text in with SetMessage and
// then shows the window modally (waiting until the user closes it) or
// non-modally (going on at once).
#pragma once

#include <string>

namespace qirt {

class TMessageWindow {
public:
    virtual ~TMessageWindow() = default;
    virtual void SetMessage(const std::string& text) = 0;
    virtual void ShowModal() = 0;
    virtual void ShowNonModal() = 0;
    // A new action of the user begins: its messages need not stand beside
    // those of the one before.
    virtual void NewReport() {}
};

// The texts of the engine's messages.
namespace message {
inline constexpr const char* TreeBuild = "Ошибка формирования дерева";
inline constexpr const char* DerivativeTrees = "Ошибка создания дерева производных";
inline constexpr const char* HessianTrees = "Ошибка создания матрицы Гессе";
inline constexpr const char* ConditionEvaluation = "Ошибка вычисления условий";
// The run of a method.
inline constexpr const char* RunBuild = "Ошибка создания дерева";
inline constexpr const char* MissingCoordinates = "Нехватает переменных";
inline constexpr const char* NoVariables = "Функция не содержит переменных: минимизировать нечего";
inline constexpr const char* UndefinedStart = "Функция не определена в начальной точке";
inline constexpr const char* Unbounded =
    "Функция не ограничена снизу: поиск дошёл до конца диапазона чисел. "
    "Показана последняя точка с конечным значением";
inline constexpr const char* HistoryNotWritten =
    "Не удалось записать формулу в файл истории funtion.txt";
inline constexpr const char* BadVariableAccuracy =
    "Точность по переменным должна быть числом, например 1e-7";
inline constexpr const char* BadValueAccuracy =
    "Точность по значениям функции должна быть числом, например 1e-7";
inline constexpr const char* BadStep =
    "Шаг при дифференцировании должен быть числом, например 1e-5, "
    "или «Символьное дифференцирование»";
inline constexpr const char* BadStartCoordinate = "Начальное приближение: координата ";
inline constexpr const char* BadColourCount =
    "Количество цветов должно быть целым числом не меньше 1";
inline constexpr const char* NegativeVariableAccuracy =
    "Точность по переменным не может быть отрицательной";
inline constexpr const char* NegativeValueAccuracy =
    "Точность по значениям функции не может быть отрицательной";
} // namespace message

enum class ShowKind { Modal, NonModal };

// Puts the text into the window and shows it; a missing window drops it.
inline void ShowMessage(TMessageWindow* window, const char* text, ShowKind how) {
    if (!window) return;
    window->SetMessage(text);
    if (how == ShowKind::Modal)
        window->ShowModal();
    else
        window->ShowNonModal();
}

} // namespace qirt
