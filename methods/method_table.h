// The table of methods: everything the program knows about each method in
// one row. The main menu's tabs, the comparison dialog, qirt-batch's -m
// names, the benchmarks and the colours of the compared tracks all read it.
// A new method is its own file and one row here.
#pragma once

#include <iterator>
#include <string_view>

#include "func/ui_text.h"
#include "graph/track/canvas.h"
#include "methods/bfgs.h"
#include "methods/blmetr.h"
#include "methods/blpow.h"
#include "methods/blriv.h"
#include "methods/nelder_mead.h"
#include "methods/nyton.h"
#include "methods/session.h"

namespace qirt {

// Method families, as the main menu numbers them.
namespace family {
inline constexpr int ZeroOrder = 1;
inline constexpr int FirstOrder = 2;
inline constexpr int Newton = 3;
inline constexpr int VariableMetric = 4;
inline constexpr int Statistical = 5; // has no method
inline constexpr int GraphOnly = 6;
} // namespace family

// What a method asks of the function besides its values.
enum class TDerivatives { None, Gradient, Hessian };

// A method: moves x from the start point to where it ends, leaves the value
// there in f, records its track and counts its iterations in the session.
using TMethodRun = void (*)(TSession& S, Vector& x, Byte lastIndex, Real& f, Real valueAccuracy,
                            Real variableAccuracy);

struct TMethod {
    const char* Name;    // as qirt-batch's -m names it
    const char* Caption; // the tab's caption
    int Family;
    int Variant;         // the tab, counted from 1
    TDerivatives Needs;
    TMethodRun Run;
    TColour Colour;      // of its track when methods are compared
};

// The methods, in the order of the main menu and the tabs. Every run
// records its track.
inline constexpr TMethod kMethods[] = {
    {"rosenbrock", UI_TEXT("qirt", "Метод вpащающихся кооpдинат Розенбpока"), family::ZeroOrder, 1,
     TDerivatives::None,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { ZeroOrderMethod(S, x, n, f, 1, 1, fa, xa); },
     {230, 25, 75}},
    {"gauss", UI_TEXT("qirt", "Гауса"), family::ZeroOrder, 2, TDerivatives::None,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { ZeroOrderMethod(S, x, n, f, 2, 1, fa, xa); },
     {0, 130, 200}},
    {"nelder-mead", UI_TEXT("qirt", "Нелдера-Мида"), family::ZeroOrder, 3, TDerivatives::None,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { NelderMeadMethod(S, x, n, f, 1, fa, xa); },
     {0, 128, 128}},
    {"fletcher-reeves", UI_TEXT("qirt", "Флетчеpа-Ривса"), family::FirstOrder, 1, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { FirstOrderMethod(S, x, n, f, 1, 1, fa, xa); },
     {60, 180, 75}},
    {"pshenichny", UI_TEXT("qirt", "Пшеничного"), family::FirstOrder, 2, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { FirstOrderMethod(S, x, n, f, 2, 1, fa, xa); },
     {245, 130, 48}},
    {"steepest-descent", UI_TEXT("qirt", "Наискорейшего спуска"), family::FirstOrder, 3, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { FirstOrderMethod(S, x, n, f, 3, 1, fa, xa); },
     {145, 30, 180}},
    {"newton", UI_TEXT("qirt", "Метод Ньютона"), family::Newton, 1, TDerivatives::Hessian,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { NewtonMethod(S, x, n, f, 1, fa, xa); },
     {0, 0, 128}},
    {"dfp", UI_TEXT("qirt", "Дэвидона-Флетчеpа-Пауэла"), family::VariableMetric, 1, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { VariableMetricMethod(S, x, n, f, 1, 1, fa, xa); },
     {240, 50, 230}},
    {"fletcher", UI_TEXT("qirt", "Флетчеpа"), family::VariableMetric, 2, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { VariableMetricMethod(S, x, n, f, 2, 1, fa, xa); },
     {128, 128, 0}},
    {"broyden", UI_TEXT("qirt", "Бpойдена"), family::VariableMetric, 3, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { VariableMetricMethod(S, x, n, f, 3, 1, fa, xa); },
     {128, 0, 0}},
    {"bfgs", UI_TEXT("qirt", "Бройдена-Флетчера-Гольдфарба-Шанно"), family::VariableMetric, 4, TDerivatives::Gradient,
     [](TSession& S, Vector& x, Byte n, Real& f, Real fa, Real xa) { BfgsMethod(S, x, n, f, 1, fa, xa); },
     {170, 110, 40}},
};
inline constexpr int kMethodCount = static_cast<int>(std::size(kMethods));

// Whether the method's searches keep to the Wolfe conditions (BFGS).
inline bool UsesWolfeSearch(int method) {
    return method >= 0 && method < kMethodCount && std::string_view(kMethods[method].Name) == "bfgs";
}

// The index of a -m name, or of a family's variant; -1 for none.
int MethodIndex(std::string_view name);
int MethodIndex(int family, int variant);

} // namespace qirt
