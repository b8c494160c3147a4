<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>qirt</name>
    <message>
        <source>внешняя</source>
        <translation>exterior</translation>
    </message>
    <message>
        <source>внутреняя</source>
        <translation>interior</translation>
    </message>
    <message>
        <source>Ошибка формирования дерева</source>
        <translation>Error building the expression tree</translation>
    </message>
    <message>
        <source>Ошибка создания дерева производных</source>
        <translation>Error building the derivative trees</translation>
    </message>
    <message>
        <source>Ошибка создания матрицы Гессе</source>
        <translation>Error building the Hessian matrix</translation>
    </message>
    <message>
        <source>Ошибка вычисления условий</source>
        <translation>Error evaluating the conditions</translation>
    </message>
    <message>
        <source>Ошибка создания дерева</source>
        <translation>Error building the tree</translation>
    </message>
    <message>
        <source>Нехватает переменных</source>
        <translation>Not enough variables</translation>
    </message>
    <message>
        <source>Функция не содержит переменных: минимизировать нечего</source>
        <translation>The function has no variables: there is nothing to minimise</translation>
    </message>
    <message>
        <source>Функция не определена в начальной точке</source>
        <translation>The function is undefined at the start point</translation>
    </message>
    <message>
        <source>Функция не ограничена снизу: поиск дошёл до конца диапазона чисел. Показана последняя точка с конечным значением</source>
        <translation>The function is unbounded below: the search reached the end of the number range. The last point with a finite value is shown</translation>
    </message>
    <message>
        <source>Не удалось записать формулу в файл истории funtion.txt</source>
        <translation>Could not write the formula to the history file funtion.txt</translation>
    </message>
    <message>
        <source>Точность по переменным должна быть числом, например 1e-7</source>
        <translation>The accuracy in the variables must be a number, for example 1e-7</translation>
    </message>
    <message>
        <source>Точность по значениям функции должна быть числом, например 1e-7</source>
        <translation>The accuracy in the function values must be a number, for example 1e-7</translation>
    </message>
    <message>
        <source>Шаг при дифференцировании должен быть числом, например 1e-5, или «Символьное дифференцирование»</source>
        <translation>The differentiation step must be a number, for example 1e-5, or “Symbolic differentiation”</translation>
    </message>
    <message>
        <source>Начальное приближение: координата %1 («%2») — не число</source>
        <translation>Start point: coordinate %1 (“%2”) is not a number</translation>
    </message>
    <message>
        <source>Количество цветов должно быть целым числом не меньше 1</source>
        <translation>The number of colours must be a whole number of at least 1</translation>
    </message>
    <message>
        <source>Точность по переменным не может быть отрицательной</source>
        <translation>The accuracy in the variables cannot be negative</translation>
    </message>
    <message>
        <source>Точность по значениям функции не может быть отрицательной</source>
        <translation>The accuracy in the function values cannot be negative</translation>
    </message>
    <message>
        <source>сходимость</source>
        <translation>converged</translation>
    </message>
    <message>
        <source>предел итераций</source>
        <translation>iteration limit</translation>
    </message>
    <message>
        <source>производная не определена</source>
        <translation>derivative undefined</translation>
    </message>
    <message>
        <source>шаг в точку, где функция не определена</source>
        <translation>step to a point where the function is undefined</translation>
    </message>
    <message>
        <source>остановлен</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>функция не ограничена снизу</source>
        <translation>function unbounded below</translation>
    </message>
    <message>
        <source>не определена в начальной точке</source>
        <translation>undefined at the start point</translation>
    </message>
    <message>
        <source>не запущен</source>
        <translation>not started</translation>
    </message>
    <message>
        <source>пропущен</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>Метод вpащающихся кооpдинат Розенбpока</source>
        <translation>Rosenbrock&apos;s rotating coordinates</translation>
    </message>
    <message>
        <source>Гауса</source>
        <translation>Gauss</translation>
    </message>
    <message>
        <source>Нелдера-Мида</source>
        <translation>Nelder–Mead</translation>
    </message>
    <message>
        <source>Флетчеpа-Ривса</source>
        <translation>Fletcher–Reeves</translation>
    </message>
    <message>
        <source>Пшеничного</source>
        <translation>Pshenichny</translation>
    </message>
    <message>
        <source>Наискорейшего спуска</source>
        <translation>Steepest descent</translation>
    </message>
    <message>
        <source>Метод Ньютона</source>
        <translation>Newton&apos;s method</translation>
    </message>
    <message>
        <source>Дэвидона-Флетчеpа-Пауэла</source>
        <translation>Davidon–Fletcher–Powell</translation>
    </message>
    <message>
        <source>Флетчеpа</source>
        <translation>Fletcher</translation>
    </message>
    <message>
        <source>Бpойдена</source>
        <translation>Broyden</translation>
    </message>
    <message>
        <source>Бройдена-Флетчера-Гольдфарба-Шанно</source>
        <translation>Broyden–Fletcher–Goldfarb–Shanno</translation>
    </message>
    <message>
        <source>Символьное дифференцирование</source>
        <translation>Symbolic differentiation</translation>
    </message>
    <message>
        <source>f(x_k) − f_лучшее</source>
        <translation>f(x_k) − f_best</translation>
    </message>
    <message>
        <source>График</source>
        <translation>Graph</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>save map</source>
        <translation>Save map</translation>
    </message>
    <message>
        <source>save as map</source>
        <translation>Save map as…</translation>
    </message>
    <message>
        <source>save trek</source>
        <translation>Save track</translation>
    </message>
    <message>
        <source>save as trek</source>
        <translation>Save track as…</translation>
    </message>
    <message>
        <source>Сохранить карту как PNG…</source>
        <translation>Save map as PNG…</translation>
    </message>
    <message>
        <source>Сохранить траекторию как CSV…</source>
        <translation>Save track as CSV…</translation>
    </message>
    <message>
        <source>Сохранить результаты сравнения как CSV…</source>
        <translation>Save comparison results as CSV…</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Итерации и сходимость</source>
        <translation>Iterations and convergence</translation>
    </message>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
    <message>
        <source>Text DOS (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>Диапазон </source>
        <translation>Range </translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Cannot create file %1</translation>
    </message>
    <message>
        <source>функция не определена</source>
        <translation>function undefined</translation>
    </message>
    <message>
        <source>Координаты:(%1;%2)  Значение: (%3)</source>
        <translation>Coordinates: (%1; %2)  Value: (%3)</translation>
    </message>
    <message>
        <source>Исследуемая функция</source>
        <translation>Function studied</translation>
    </message>
    <message>
        <source>Полученная точка</source>
        <translation>Point found</translation>
    </message>
    <message>
        <source>Минимум функции</source>
        <translation>Minimum of the function</translation>
    </message>
    <message>
        <source>Число итераций</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>Число вычислений функции</source>
        <translation>Function evaluations</translation>
    </message>
    <message>
        <source>Используемый метод</source>
        <translation>Method used</translation>
    </message>
    <message>
        <source>Координаты</source>
        <translation>Axes</translation>
    </message>
    <message>
        <source>Уменьшить</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>Увеличить</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Диапазон  x[0]</source>
        <translation>Range  x[0]</translation>
    </message>
    <message>
        <source>Диапазон  x[1]</source>
        <translation>Range  x[1]</translation>
    </message>
    <message>
        <source>Перерисовать</source>
        <translation>Redraw</translation>
    </message>
    <message>
        <source>Количество цветов</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>не определена</source>
        <translation>undefined</translation>
    </message>
    <message>
        <source>К первой точке</source>
        <translation>To the first point</translation>
    </message>
    <message>
        <source>На точку назад</source>
        <translation>One point back</translation>
    </message>
    <message>
        <source>На точку вперёд</source>
        <translation>One point forward</translation>
    </message>
    <message>
        <source>Вся траектория</source>
        <translation>The whole track</translation>
    </message>
    <message>
        <source>Итерации</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>Сходимость</source>
        <translation>Convergence</translation>
    </message>
    <message>
        <source>Метод</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>Точка</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Вычисления</source>
        <translation>Evaluations</translation>
    </message>
    <message>
        <source>Время, с</source>
        <translation>Time, s</translation>
    </message>
    <message>
        <source>Окончание</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Сравнение</source>
        <translation>Comparison</translation>
    </message>
    <message>
        <source>Вся траектория: %1 точек</source>
        <translation>The whole track: %1 points</translation>
    </message>
    <message>
        <source>Точка %1 из %2</source>
        <translation>Point %1 of %2</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Version 1.0</source>
        <translation>Version 1.0</translation>
    </message>
    <message>
        <source>Сравнение методов</source>
        <translation>Compare methods</translation>
    </message>
    <message>
        <source>Отмеченные методы выполняются один за другим с теми же
функцией, начальной точкой, точностями, шагом и областью.</source>
        <translation>The ticked methods run one after another with the same
function, start point, accuracies, step and region.</translation>
    </message>
    <message>
        <source>Сравнить</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Автоопределение</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(Методы нулевого порядка)</source>
        <translation>Operations research package (zero-order methods)</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(Методы первого порядка)</source>
        <translation>Operations research package (first-order methods)</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(Методы второго порядка)</source>
        <translation>Operations research package (second-order methods)</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(Методы переменной метрики)</source>
        <translation>Operations research package (variable metric methods)</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(Статистические методы)</source>
        <translation>Operations research package (statistical methods)</translation>
    </message>
    <message>
        <source>Ненаправленный поиск</source>
        <translation>Random search</translation>
    </message>
    <message>
        <source>Програмный пакет по исследованиям операций(График функции)</source>
        <translation>Operations research package (graph of the function)</translation>
    </message>
    <message>
        <source>График функции</source>
        <translation>Graph of the function</translation>
    </message>
    <message>
        <source>Методы нулевого порядка</source>
        <translation>Zero-order methods</translation>
    </message>
    <message>
        <source>Методы первого пордка</source>
        <translation>First-order methods</translation>
    </message>
    <message>
        <source>Методы второго порядка</source>
        <translation>Second-order methods</translation>
    </message>
    <message>
        <source>Методы переменной метрики</source>
        <translation>Variable metric methods</translation>
    </message>
    <message>
        <source>Статистические методы</source>
        <translation>Statistical methods</translation>
    </message>
    <message>
        <source>Сравнить методы…</source>
        <translation>Compare methods…</translation>
    </message>
    <message>
        <source>Флетчера-Ривса</source>
        <translation>Fletcher–Reeves</translation>
    </message>
    <message>
        <source>Минимизируемая функция</source>
        <translation>Function to minimise</translation>
    </message>
    <message>
        <source>Точность по переменным</source>
        <translation>Accuracy in the variables</translation>
    </message>
    <message>
        <source>Точность по значениям функции</source>
        <translation>Accuracy in the function values</translation>
    </message>
    <message>
        <source>Количество переменных</source>
        <translation>Number of variables</translation>
    </message>
    <message>
        <source>Начальное приближение</source>
        <translation>Start point</translation>
    </message>
    <message>
        <source>Шаг при дифференцировании</source>
        <translation>Differentiation step</translation>
    </message>
    <message>
        <source>Максимальное число итераций</source>
        <translation>Maximum number of iterations</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Настройки по умолчанию</source>
        <translation>Default settings</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Задана область(да/нет)</source>
        <translation>Region given (yes/no)</translation>
    </message>
    <message>
        <source>График расширенной функции</source>
        <translation>Graph of the penalised function</translation>
    </message>
    <message>
        <source>Начать вычисления</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Справка — qirt.HLP</source>
        <translation>Help — qirt.HLP</translation>
    </message>
    <message>
        <source>:/help/qirt_help.html</source>
        <translation>:/help/qirt_help_en.html</translation>
    </message>
    <message>
        <source>Исследуемая функция:</source>
        <translation>Function studied:</translation>
    </message>
    <message>
        <source>Найденный минимум:</source>
        <translation>Minimum found:</translation>
    </message>
    <message>
        <source>mesage</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Идёт поиск минимума</source>
        <translation>Searching for the minimum</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Число итераций: %1</source>
        <translation>Iterations: %1</translation>
    </message>
    <message>
        <source>Число вычислений функции: %1</source>
        <translation>Function evaluations: %1</translation>
    </message>
    <message>
        <source>Текущее значение: %1</source>
        <translation>Current value: %1</translation>
    </message>
    <message>
        <source>Метод %1 из %2: %3</source>
        <translation>Method %1 of %2: %3</translation>
    </message>
    <message>
        <source>Номер</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>Неравенство</source>
        <translation>Inequality</translation>
    </message>
    <message>
        <source>Коэффициент</source>
        <translation>Coefficient</translation>
    </message>
    <message>
        <source>Степень</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Вид функции</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Недопустимое неравенство</source>
        <translation>Invalid inequality</translation>
    </message>
    <message>
        <source>Ввод области</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Закончить</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Недопустимое неравенство: %1</source>
        <translation>Invalid inequality: %1</translation>
    </message>
    <message>
        <source>Производные слишком велики для символьного дифференцирования: задайте шаг при дифференцировании числом, например 1e-5</source>
        <translation>The derivatives are too large for symbolic differentiation: enter a numeric differentiation step, for example 1e-5</translation>
    </message>
    <message>
        <source>Точка уходит в бесконечность, а значения функции выходят на свою нижнюю грань: минимума нет. Показана последняя точка с конечными координатами</source>
        <translation>The point runs off to infinity while the function approaches its infimum: there is no minimum. The last point with finite coordinates is shown</translation>
    </message>
    <message>
        <source>Матрица Гессе вырождена: метод Ньютона не может сделать шаг. Попробуйте метод переменной метрики или другую начальную точку</source>
        <translation>The Hessian is singular: Newton&apos;s method cannot take a step. Try a variable-metric method or another start point</translation>
    </message>
    <message>
        <source>остановка не в минимуме</source>
        <translation>stopped, not at a minimum</translation>
    </message>
    <message>
        <source>матрица Гессе вырождена</source>
        <translation>singular Hessian</translation>
    </message>
    <message>
        <source>точка уходит в бесконечность</source>
        <translation>the point runs off to infinity</translation>
    </message>
    <message>
        <source>Метод остановился, но градиент в найденной точке не мал: это не минимум. Попробуйте другой метод, числовой шаг дифференцирования или другие точности</source>
        <translation>The method stopped, but the gradient at the point found is not small: this is not a minimum. Try another method, a numeric differentiation step or other accuracies</translation>
    </message>
    <message>
        <source>Градиент (‖∇f‖∞)</source>
        <translation>Gradient (‖∇f‖∞)</translation>
    </message>
    <message>
        <source>Метод остановился вне области с внутренним штрафом: там штраф — постоянная 1e6, и путь внутрь не найден. Начните из точки внутри области</source>
        <translation>The method stopped outside the region with an interior penalty: there the penalty is the constant 1e6 and no way in was found. Start from a point inside the region</translation>
    </message>
    <message>
        <source>Недопустимый диапазон: концы должны быть конечными числами, левый меньше правого, а ширина не слишком мала для 500 точек по сравнению с самими концами</source>
        <translation>Invalid range: the ends must be finite numbers, the left below the right, and the width not too small for 500 points beside the ends themselves</translation>
    </message>
    <message>
        <source>предел вычислений функции</source>
        <translation>evaluation limit</translation>
    </message>
    <message>
        <source>одна штрафная функция</source>
        <translation>one penalised function</translation>
    </message>
    <message>
        <source>последовательность штрафов</source>
        <translation>sequence of penalties</translation>
    </message>
    <message>
        <source>метод множителей</source>
        <translation>method of multipliers</translation>
    </message>
    <message>
        <source>минимум функции со штрафами</source>
        <translation>minimum of the penalised function</translation>
    </message>
    <message>
        <source>минимум в области</source>
        <translation>minimum in the region</translation>
    </message>
    <message>
        <source>в области, но условия Куна-Таккера не выполнены</source>
        <translation>in the region, but the Kuhn-Tucker conditions do not hold</translation>
    </message>
    <message>
        <source>предел внешних шагов</source>
        <translation>outer step limit</translation>
    </message>
    <message>
        <source>внутренний прогон не сошёлся</source>
        <translation>an inner run did not converge</translation>
    </message>
    <message>
        <source>начальная точка вне области внутренних штрафов</source>
        <translation>the start lies outside the region of the interior terms</translation>
    </message>
    <message>
        <source>Учёт области:</source>
        <translation>Region taken as:</translation>
    </message>
    <message>
        <source>Одна штрафная функция: метод минимизирует функцию со штрафами один раз. Последовательность штрафов и метод множителей ищут минимум в самой области.</source>
        <translation>One penalised function: the method minimises the function with its penalty terms once. The sequence of penalties and the method of multipliers look for the minimum in the region itself.</translation>
    </message>
    <message>
        <source>№</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>c(x)</source>
        <translation>c(x)</translation>
    </message>
    <message>
        <source>Нарушение</source>
        <translation>Violation</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Множитель</source>
        <translation>Multiplier</translation>
    </message>
    <message>
        <source>Шаг</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Вес</source>
        <translation>Weight</translation>
    </message>
    <message>
        <source>f</source>
        <translation>f</translation>
    </message>
    <message>
        <source>Учёт области: %1</source>
        <translation>Region taken as: %1</translation>
    </message>
    <message>
        <source>f без штрафов: %1</source>
        <translation>f without penalties: %1</translation>
    </message>
    <message>
        <source>f со штрафами: %1</source>
        <translation>f with penalties: %1</translation>
    </message>
    <message>
        <source>Наибольшее нарушение условий: %1</source>
        <translation>Largest violation: %1</translation>
    </message>
    <message>
        <source>Невязка условий Куна-Таккера ‖∇f + Σ λᵢ∇cᵢ‖∞: %1</source>
        <translation>Kuhn-Tucker residual ‖∇f + Σ λᵢ∇cᵢ‖∞: %1</translation>
    </message>
    <message>
        <source>Итог: %1</source>
        <translation>Outcome: %1</translation>
    </message>
    <message>
        <source>нарушено</source>
        <translation>violated</translation>
    </message>
    <message>
        <source>активно</source>
        <translation>active</translation>
    </message>
    <message>
        <source>выполнено</source>
        <translation>holds</translation>
    </message>
    <message>
        <source>Область</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>Затенять то, что вне области</source>
        <translation>Shade what lies outside the region</translation>
    </message>
    <message>
        <source>▒ вне области</source>
        <translation>▒ outside the region</translation>
    </message>
    <message>
        <source>f без штрафов</source>
        <translation>f without penalties</translation>
    </message>
    <message>
        <source>Внешний шаг</source>
        <translation>Outer step</translation>
    </message>
    <message>
        <source>Введите функцию: поле функции пусто</source>
        <translation>Type a function: the function field is empty</translation>
    </message>
    <message>
        <source>Поле шага дифференцирования пусто: выберите «Символьное дифференцирование» или введите шаг</source>
        <translation>The differentiation step field is empty: choose “Symbolic differentiation” or type a step</translation>
    </message>
    <message>
        <source>Поле числа переменных пусто: выберите «Автоопределение» или введите число</source>
        <translation>The variable count field is empty: choose “Automatic” or type a number</translation>
    </message>
    <message>
        <source>&lt;p&gt;(%1 символов)&lt;/p&gt;</source>
        <translation>&lt;p&gt;(%1 characters)&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Начало рамки: (%1; %2)</source>
        <translation>Frame from: (%1; %2)</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Удалить все условия области</source>
        <translation>Delete every condition of the region</translation>
    </message>
    <message>
        <source>Сохранить сетку значений как CSV…</source>
        <translation>Save the grid of values as CSV…</translation>
    </message>
    <message>
        <source>Заливка уровней</source>
        <translation>Filled levels</translation>
    </message>
    <message>
        <source>Линии уровня</source>
        <translation>Level lines</translation>
    </message>
    <message>
        <source>Размер графика — ширина×высота в пикселях, от 200 до 10000, например 1000×800</source>
        <translation>The plot&apos;s size is width×height in pixels, 200 to 10000 each, for example 1000×800</translation>
    </message>
    <message>
        <source>Экспортировать график (PNG или SVG)…</source>
        <translation>Export the plot (PNG or SVG)…</translation>
    </message>
    <message>
        <source>Размер графика</source>
        <translation>Plot size</translation>
    </message>
    <message>
        <source>Ширина × высота:</source>
        <translation>Width × height:</translation>
    </message>
    <message>
        <source>Выберите итерацию в таблице или ползунком.</source>
        <translation>Choose an iteration in the table or with the slider.</translation>
    </message>
    <message>
        <source>Поиск %1 из %2</source>
        <translation>Search %1 of %2</translation>
    </message>
    <message>
        <source>На этой итерации метод не искал на прямой.</source>
        <translation>The method made no search on a line in this iteration.</translation>
    </message>
    <message>
        <source>Метод Нелдера-Мида не ищет на прямой: на карте — его симплекс.</source>
        <translation>Nelder–Mead makes no searches on a line: the map shows its simplex.</translation>
    </message>
    <message>
        <source>φ(t) = f(x + t·s); пробных точек: %1</source>
        <translation>φ(t) = f(x + t·s); trial points: %1</translation>
    </message>
    <message>
        <source>; принятый шаг t = %1</source>
        <translation>; step taken t = %1</translation>
    </message>
    <message>
        <source>; шаг не найден</source>
        <translation>; no step found</translation>
    </message>
    <message>
        <source>. Пунктир — достаточное убывание, точки — наклон условия кривизны (Вольфе).</source>
        <translation>. Dashed: sufficient decrease; dotted: the curvature condition&apos;s slope (Wolfe).</translation>
    </message>
    <message>
        <source>На карте: &lt;span style=&quot;color:#dc0000&quot;&gt;антиградиент&lt;/span&gt;, &lt;span style=&quot;color:#1e3cc8&quot;&gt;направление поиска&lt;/span&gt;, пробные точки (○), &lt;span style=&quot;color:#008c3c&quot;&gt;принятый шаг&lt;/span&gt;, &lt;span style=&quot;color:#a000b4&quot;&gt;симплекс&lt;/span&gt;, &lt;span style=&quot;color:#783c00&quot;&gt;оси Розенброка&lt;/span&gt;.</source>
        <translation>On the map: &lt;span style=&quot;color:#dc0000&quot;&gt;antigradient&lt;/span&gt;, &lt;span style=&quot;color:#1e3cc8&quot;&gt;search direction&lt;/span&gt;, trial points (○), &lt;span style=&quot;color:#008c3c&quot;&gt;step taken&lt;/span&gt;, &lt;span style=&quot;color:#a000b4&quot;&gt;simplex&lt;/span&gt;, &lt;span style=&quot;color:#783c00&quot;&gt;Rosenbrock&apos;s axes&lt;/span&gt;.</translation>
    </message>
    <message>
        <source>не удаётся создать контекст OpenGL</source>
        <translation>an OpenGL context cannot be created</translation>
    </message>
    <message>
        <source>контекст OpenGL не удаётся сделать текущим</source>
        <translation>the OpenGL context cannot be made current</translation>
    </message>
    <message>
        <source>версия OpenGL %1.%2 ниже нужной (2.1)</source>
        <translation>OpenGL %1.%2 is older than the 2.1 needed</translation>
    </message>
    <message>
        <source>Поверхность</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>Трёхмерная поверхность недоступна: %1.
Нужен OpenGL 2.1 или новее; карта уровней работает и без него.</source>
        <translation>The 3-D surface is not available: %1.
It needs OpenGL 2.1 or later; the level map works without it.</translation>
    </message>
    <message>
        <source>Правая кнопка мыши — повернуть, колесо — приблизить, щелчок левой — значения в точке.</source>
        <translation>Right mouse button: turn; wheel: zoom; left click: the values at a point.</translation>
    </message>
    <message>
        <source>Поиск на прямой</source>
        <translation>Search on a line</translation>
    </message>
    <message>
        <source>Сохранить поверхность как PNG…</source>
        <translation>Save the surface as PNG…</translation>
    </message>
    <message>
        <source>Карта сходимости</source>
        <translation>Basins of attraction</translation>
    </message>
    <message>
        <source>Сетка N × N, N =</source>
        <translation>Grid N × N, N =</translation>
    </message>
    <message>
        <source>Построить</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>Итог</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>Идёт расчёт…</source>
        <translation>Computing…</translation>
    </message>
    <message>
        <source>минимум %1</source>
        <translation>minimum %1</translation>
    </message>
    <message>
        <source>Остановлено: выполнено стартов %1 из %2.</source>
        <translation>Stopped: %1 of %2 starts done.</translation>
    </message>
    <message>
        <source>Минимумов: %1; стартов: %2; %3 с.</source>
        <translation>Minima: %1; starts: %2; %3 s.</translation>
    </message>
    <message>
        <source>Расчёт не выполнен.</source>
        <translation>Nothing was computed.</translation>
    </message>
    <message>
        <source>Старт (%1; %2): итераций %3, f = %4 — %5.</source>
        <translation>Start (%1; %2): %3 iterations, f = %4 — %5.</translation>
    </message>
    <message>
        <source>нет прав на запись</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>диск только для чтения</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>нет такой папки</source>
        <translation>no such folder</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>на диске нет места</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>канал никто не читает</source>
        <translation>nobody reads the pipe</translation>
    </message>
    <message>
        <source>символические ссылки замкнуты в кольцо</source>
        <translation>the symbolic links form a loop</translation>
    </message>
    <message>
        <source>Наибольшая компонента градиента ‖∇f‖∞</source>
        <translation>Largest gradient component ‖∇f‖∞</translation>
    </message>
    <message>
        <source>точки уровней</source>
        <translation>level dots</translation>
    </message>
    <message>
        <source>заливка уровней</source>
        <translation>filled levels</translation>
    </message>
    <message>
        <source>точки и линии уровня</source>
        <translation>level dots and level lines</translation>
    </message>
    <message>
        <source>заливка и линии уровня</source>
        <translation>filled levels and level lines</translation>
    </message>
    <message>
        <source>Отчёт «%1» не записан: имя файла должно оканчиваться на .html, .htm или .pdf</source>
        <translation>The report “%1” was not written: the file name must end in .html, .htm or .pdf</translation>
    </message>
    <message>
        <source>Отчёт «%1» не записан: %2</source>
        <translation>The report “%1” was not written: %2</translation>
    </message>
    <message>
        <source>Карта линий уровня</source>
        <translation>Level map</translation>
    </message>
    <message>
        <source>Траектории методов в цветах легенды; крест — конец траектории.</source>
        <translation>The methods’ tracks in the colours of the legend; a cross marks where a track ends.</translation>
    </message>
    <message>
        <source>Траектория метода; крест — её конец.</source>
        <translation>The method’s track; a cross marks its end.</translation>
    </message>
    <message>
        <source>Метод не сделал ни одного шага.</source>
        <translation>The method took no step.</translation>
    </message>
    <message>
        <source>f(x_k) − f_лучшее по итерациям k в логарифмической шкале; f_лучшее — наименьшее значение всех траекторий.</source>
        <translation>f(x_k) − f_best against the iteration k on a logarithmic scale; f_best is the lowest value of all tracks.</translation>
    </message>
    <message>
        <source>Сравнение методов минимизации</source>
        <translation>Comparison of minimisation methods</translation>
    </message>
    <message>
        <source>Минимизация функции</source>
        <translation>Minimisation of a function</translation>
    </message>
    <message>
        <source>Траектория пуста.</source>
        <translation>The track is empty.</translation>
    </message>
    <message>
        <source>… пропущено строк: %1 …</source>
        <translation>… rows left out: %1 …</translation>
    </message>
    <message>
        <source>Метод не запускался.</source>
        <translation>No method ran.</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Наибольшее нарушение условий</source>
        <translation>Largest violation of the conditions</translation>
    </message>
    <message>
        <source>Активные условия</source>
        <translation>Active conditions</translation>
    </message>
    <message>
        <source>Нарушенные условия</source>
        <translation>Violated conditions</translation>
    </message>
    <message>
        <source>Множители Лагранжа</source>
        <translation>Lagrange multipliers</translation>
    </message>
    <message>
        <source>Невязка условий ККТ</source>
        <translation>KKT residual</translation>
    </message>
    <message>
        <source>Итог по области</source>
        <translation>Region verdict</translation>
    </message>
    <message>
        <source>Внешние шаги</source>
        <translation>Outer steps</translation>
    </message>
    <message>
        <source>Вес внутренних штрафов</source>
        <translation>Weight of the interior penalties</translation>
    </message>
    <message>
        <source>Завершение</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Вычисления функции</source>
        <translation>Function evaluations</translation>
    </message>
    <message>
        <source>Жирным выделен метод с наименьшим минимумом.</source>
        <translation>The method with the lowest minimum is in bold.</translation>
    </message>
    <message>
        <source>Найденные точки</source>
        <translation>Points found</translation>
    </message>
    <message>
        <source>Результаты</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>Метод не запускался: показана только карта функции.</source>
        <translation>No method ran: only the function’s map is shown.</translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет (только карта функции)</source>
        <translation>none (the function&apos;s map only)</translation>
    </message>
    <message>
        <source>Вид штрафа</source>
        <translation>Penalty kind</translation>
    </message>
    <message>
        <source>Учёт области</source>
        <translation>Region handling</translation>
    </message>
    <message>
        <source>Штрафы на карте</source>
        <translation>Penalties on the map</translation>
    </message>
    <message>
        <source>Задача</source>
        <translation>Task</translation>
    </message>
    <message>
        <source>Функция</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>Число переменных</source>
        <translation>Number of variables</translation>
    </message>
    <message>
        <source>Начальная точка</source>
        <translation>Start point</translation>
    </message>
    <message>
        <source>Точность по значению функции</source>
        <translation>Accuracy in the function value</translation>
    </message>
    <message>
        <source>Шаг дифференцирования</source>
        <translation>Differentiation step</translation>
    </message>
    <message>
        <source>Сравниваемые методы</source>
        <translation>Methods compared</translation>
    </message>
    <message>
        <source>Вид карты</source>
        <translation>Map view</translation>
    </message>
    <message>
        <source>Оси</source>
        <translation>Axes</translation>
    </message>
    <message>
        <source>Диапазон</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>Число цветов</source>
        <translation>Number of colours</translation>
    </message>
    <message>
        <source>Изображение</source>
        <translation>Look</translation>
    </message>
    <message>
        <source>Затенение вне области</source>
        <translation>Shading outside the region</translation>
    </message>
    <message>
        <source>Отчёт…</source>
        <translation>Report…</translation>
    </message>
    <message>
        <source>файл повреждён: это не JSON (%1, символ %2)</source>
        <translation>the file is damaged: it is not JSON (%1, character %2)</translation>
    </message>
    <message>
        <source>это не файл задачи QIRT</source>
        <translation>it is not a QIRT task file</translation>
    </message>
    <message>
        <source>задача записана более новой версией программы (версия %1; эта версия программы читает задачи версий до %2 включительно)</source>
        <translation>the task was written by a newer version of the program (version %1; this version reads tasks up to version %2)</translation>
    </message>
    <message>
        <source>поле «%1» должно быть %2</source>
        <translation>the member “%1” must be %2</translation>
    </message>
    <message>
        <source>строкой</source>
        <translation>a string</translation>
    </message>
    <message>
        <source>списком</source>
        <translation>a list</translation>
    </message>
    <message>
        <source>объектом</source>
        <translation>an object</translation>
    </message>
    <message>
        <source>значением true или false</source>
        <translation>true or false</translation>
    </message>
    <message>
        <source>нет поля «%1»</source>
        <translation>the member “%1” is missing</translation>
    </message>
    <message>
        <source>формула пуста</source>
        <translation>the formula is empty</translation>
    </message>
    <message>
        <source>поле «%1» длиннее %2 символов</source>
        <translation>the member “%1” is longer than %2 characters</translation>
    </message>
    <message>
        <source>неизвестный метод «%1»</source>
        <translation>unknown method “%1”</translation>
    </message>
    <message>
        <source>метод «%1» назван в «compare» дважды</source>
        <translation>the method “%1” is named twice in “compare”</translation>
    </message>
    <message>
        <source>в «compare» нет ни одного метода</source>
        <translation>“compare” names no method</translation>
    </message>
    <message>
        <source>условие %1: неизвестный вид «%2»</source>
        <translation>condition %1: unknown kind “%2”</translation>
    </message>
    <message>
        <source>условие %1 («%2») не разобрано</source>
        <translation>condition %1 (“%2”) cannot be read</translation>
    </message>
    <message>
        <source>условие %1: степень «%2» должна быть чётным числом 0, 2, 4, …</source>
        <translation>condition %1: the power “%2” must be an even number 0, 2, 4, …</translation>
    </message>
    <message>
        <source>условие %1: коэффициент «%2» должен быть неотрицательным числом</source>
        <translation>condition %1: the coefficient “%2” must be a number not below 0</translation>
    </message>
    <message>
        <source>неизвестная стратегия «%1»</source>
        <translation>unknown strategy “%1”</translation>
    </message>
    <message>
        <source>неизвестный вид карты «%1»</source>
        <translation>unknown map style “%1”</translation>
    </message>
    <message>
        <source>поле «variables» должно быть «auto» или числом от 1 до 10, а не «%1»</source>
        <translation>the member “variables” must be “auto” or a number from 1 to 10, not “%1”</translation>
    </message>
    <message>
        <source>оси карты должны быть двумя разными переменными из x[0] … x[9]</source>
        <translation>the map&apos;s axes must be two different variables of x[0] … x[9]</translation>
    </message>
    <message>
        <source>поле «view.range» должно быть четырьмя числами: xmin &lt; xmax, ymin &lt; ymax, не слишком далеко друг от друга</source>
        <translation>the member “view.range” must be four numbers: xmin &lt; xmax, ymin &lt; ymax, not too far apart</translation>
    </message>
    <message>
        <source>поле «%1»: точность не может быть отрицательной</source>
        <translation>the member “%1”: an accuracy cannot be negative</translation>
    </message>
    <message>
        <source>Задача %1 не открыта: %2</source>
        <translation>Task %1 was not opened: %2</translation>
    </message>
    <message>
        <source>Задача %1 не записана: %2</source>
        <translation>Task %1 was not saved: %2</translation>
    </message>
    <message>
        <source>Овраг Розенброка</source>
        <translation>Rosenbrock&apos;s valley</translation>
    </message>
    <message>
        <source>Четыре минимума Химмельблау</source>
        <translation>Himmelblau&apos;s four minima</translation>
    </message>
    <message>
        <source>Функция Бута: Ньютону хватает шага</source>
        <translation>Booth&apos;s function: one step for Newton</translation>
    </message>
    <message>
        <source>Функция Била</source>
        <translation>Beale&apos;s function</translation>
    </message>
    <message>
        <source>Плохо масштабированная квадратичная функция</source>
        <translation>A badly scaled quadratic</translation>
    </message>
    <message>
        <source>Покоординатный спуск в косом овраге</source>
        <translation>Coordinate descent in a slanted valley</translation>
    </message>
    <message>
        <source>Трёхгорбый верблюд: несколько минимумов</source>
        <translation>The three-hump camel: several minima</translation>
    </message>
    <message>
        <source>Сумма квадратов десяти переменных</source>
        <translation>A sum of squares in ten variables</translation>
    </message>
    <message>
        <source>Функция, определённая не везде (ln, sqrt)</source>
        <translation>A function not defined everywhere (ln, sqrt)</translation>
    </message>
    <message>
        <source>Область: внешний штраф и множители</source>
        <translation>A region: exterior penalty and multipliers</translation>
    </message>
    <message>
        <source>Область: внутренний штраф</source>
        <translation>A region: interior penalty</translation>
    </message>
    <message>
        <source>Сравнение всех методов</source>
        <translation>All methods compared</translation>
    </message>
    <message>
        <source>Задачи QIRT (*.qirt)</source>
        <translation>QIRT tasks (*.qirt)</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Открыть задачу…</source>
        <translation>Open task…</translation>
    </message>
    <message>
        <source>Сохранить задачу</source>
        <translation>Save task</translation>
    </message>
    <message>
        <source>Сохранить задачу как…</source>
        <translation>Save task as…</translation>
    </message>
    <message>
        <source>Последние задачи</source>
        <translation>Recent tasks</translation>
    </message>
    <message>
        <source>Примеры</source>
        <translation>Examples</translation>
    </message>
    <message>
        <source>ru</source>
        <translation>en</translation>
    </message>
    <message>
        <source>позиция %1: скобка «(» не закрыта</source>
        <translation>position %1: the bracket “(” is never closed</translation>
    </message>
    <message>
        <source>позиция %1: скобка «)» не была открыта</source>
        <translation>position %1: the bracket “)” was never opened</translation>
    </message>
    <message>
        <source>позиция %1: неизвестная функция «%2» — возможно, %3</source>
        <translation>position %1: unknown function “%2” — perhaps %3</translation>
    </message>
    <message>
        <source>позиция %1: неизвестная функция «%2»</source>
        <translation>position %1: unknown function “%2”</translation>
    </message>
    <message>
        <source>позиция %1: неизвестное имя «%2» — возможно, %3</source>
        <translation>position %1: unknown name “%2” — perhaps %3</translation>
    </message>
    <message>
        <source>позиция %1: неизвестное имя «%2»</source>
        <translation>position %1: unknown name “%2”</translation>
    </message>
    <message>
        <source>позиция %1: в скобках ничего нет</source>
        <translation>position %1: nothing in the brackets</translation>
    </message>
    <message>
        <source>позиция %1: формула пуста</source>
        <translation>position %1: the formula is empty</translation>
    </message>
    <message>
        <source>позиция %1: у функции «%2» нет аргумента в скобках</source>
        <translation>position %1: the function “%2” has no argument in brackets</translation>
    </message>
    <message>
        <source>позиция %1: после «%2» нет операнда</source>
        <translation>position %1: no operand after “%2”</translation>
    </message>
    <message>
        <source>позиция %1: знак «%2» там, где ожидается операнд — возможно, %3</source>
        <translation>position %1: the sign “%2” where an operand belongs — perhaps %3</translation>
    </message>
    <message>
        <source>позиция %1: знак «%2» там, где ожидается операнд</source>
        <translation>position %1: the sign “%2” where an operand belongs</translation>
    </message>
    <message>
        <source>позиция %1: «%2» — переменные называются x[0] … x[9]</source>
        <translation>position %1: “%2” — the variables are x[0] … x[9]</translation>
    </message>
    <message>
        <source>позиция %1: число «%2» не читается</source>
        <translation>position %1: the number “%2” cannot be read</translation>
    </message>
    <message>
        <source>позиция %1: лишний текст «%2» — возможно, пропущен знак «%3»</source>
        <translation>position %1: text left over “%2” — perhaps a “%3” is missing</translation>
    </message>
    <message>
        <source>позиция %1: лишний текст «%2» — ожидается знак операции</source>
        <translation>position %1: text left over “%2” — an operator is expected</translation>
    </message>
    <message>
        <source>%1 переменная</source>
        <translation>%1 variable</translation>
    </message>
    <message>
        <source>%1 переменные</source>
        <translation>%1 variables</translation>
    </message>
    <message>
        <source>%1 переменных</source>
        <translation>%1 variables</translation>
    </message>
    <message>
        <source>в формуле нет переменных</source>
        <translation>the formula has no variables</translation>
    </message>
    <message>
        <source>символьные производные</source>
        <translation>symbolic derivatives</translation>
    </message>
    <message>
        <source>производные численно: формула велика для символьных</source>
        <translation>numeric derivatives: the formula is too large for symbolic ones</translation>
    </message>
    <message>
        <source>седловая точка %1</source>
        <translation>saddle %1</translation>
    </message>
    <message>
        <source>максимум %1</source>
        <translation>maximum %1</translation>
    </message>
    <message>
        <source>Доля
стартов</source>
        <translation>Share of
starts</translation>
    </message>
    <message>
        <source>Медиана
итераций</source>
        <translation>Median
iterations</translation>
    </message>
    <message>
        <source>Цвет клетки — точка, где остановился метод, начав из её центра (минимум, седло или серый — остановка по иной причине); светлее — меньше итераций, темнее — больше. Щёлкните клетку, чтобы увидеть её траекторию.</source>
        <translation>A cell&apos;s colour is the point where the method stopped, starting from its centre (a minimum, a saddle, or grey for a stop of another kind); lighter means fewer iterations, darker more. Click a cell to see its track.</translation>
    </message>
    <message>
        <source>Минимумов: %1, седловых точек и максимумов: %2; стартов: %3; %4 с.</source>
        <translation>Minima: %1, saddles and maxima: %2; starts: %3; %4 s.</translation>
    </message>
    <message>
        <source>Точка %1 вне карты: (%2; %3)</source>
        <translation>Point %1 is off the map: (%2; %3)</translation>
    </message>
    <message>
        <source>нет такого файла</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>нет прав на чтение</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>целым числом не меньше 1</source>
        <translation>a whole number not less than 1</translation>
    </message>
</context>
</TS>
