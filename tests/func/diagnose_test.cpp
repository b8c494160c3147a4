// Where a formula goes wrong: the place (in characters, from 1) and the kind
// of the first fault, the hint to the program's own names, the excerpt with
// its marker; and the constants and exponent numbers the language now takes.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "func/derivative.h"
#include "func/diagnose.h"
#include "func/evaluate.h"
#include "func/function.h"
#include "func/messages.h"
#include "func/parser.h"

namespace qirt {
namespace {

using K = TFormulaFaultKind;

struct TCase {
    const char* Text;
    int Position;
    K Kind;
    const char* What;
    const char* Hint;
};

TEST(Diagnose, NamesThePlaceAndKindOfTheFirstFault) {
    const TCase cases[] = {
        // What new users type.
        {"x[0]^2+tan(x[1])", 8, K::UnknownName, "tan", "tg"},
        {"x[0]^2+(x[1]", 8, K::UnbalancedBracket, "(", ""},
        {"x[0]**2", 6, K::MisplacedOperator, "*", "^"},
        {"2x[0]^2", 2, K::TextLeftOver, "x[0]", "*"},
        {"x[0]^2+cot(x[1])+log(x[0])", 8, K::UnknownName, "cot", "ctg"},
        // Brackets: never closed (the first open one), never opened, empty.
        {"((x[0]+1)", 1, K::UnbalancedBracket, "(", ""},
        {"x[0]+(1+(x[1]", 6, K::UnbalancedBracket, "(", ""},
        {"x[0])+1", 5, K::UnbalancedBracket, ")", ""},
        {"(x[0]))+((1)", 7, K::UnbalancedBracket, ")", ""},
        {"x[0]+()", 6, K::MissingOperand, "()", ""},
        {"sin()", 4, K::MissingOperand, "()", ""},
        {"(x[0])(x[1])", 7, K::TextLeftOver, "", ""},
        {"x[0](x[1])", 5, K::TextLeftOver, "", ""},
        // Operators: nothing after, one where an operand belongs.
        {"x[0]+", 5, K::MissingOperand, "+", ""},
        {"x[0]^-", 6, K::MissingOperand, "-", ""},
        {"(x[0]*)", 6, K::MissingOperand, "*", ""},
        {"-", 1, K::MissingOperand, "-", ""},
        {"", 1, K::MissingOperand, "", ""},
        {"+x[0]", 1, K::MisplacedOperator, "+", ""},
        {"x[0]*+1", 6, K::MisplacedOperator, "+", ""},
        {"x[0]*/x[1]", 6, K::MisplacedOperator, "/", ""},
        {"(^x[0])", 2, K::MisplacedOperator, "^", ""},
        {"x[0]*--x[1]", 7, K::MisplacedOperator, "-", ""},
        // Indices: outside 0 ... 9, not a digit, never closed.
        {"x[10]", 1, K::VariableIndex, "x[10]", ""},
        {"x[0]+x[-1]", 6, K::VariableIndex, "x[-1]", ""},
        {"x[a]*2", 1, K::VariableIndex, "x[a]", ""},
        {"x[0]+x[", 6, K::VariableIndex, "x[", ""},
        // Numbers.
        {"1.2.3*x[0]", 1, K::BadNumber, "1.2.3", ""},
        {"x[0]+.5", 6, K::BadNumber, ".5", ""},
        {"x[0]*5..", 6, K::BadNumber, "5..", ""},
        {"x[0]+2e9298", 6, K::BadNumber, "2e9298", ""}, // beyond the extended reals
        {"1e-99999*x[0]", 1, K::BadNumber, "1e-99999", ""},
        // Names: other tools' and capitals get the program's own.
        {"atan(x[0])", 1, K::UnknownName, "atan", "arctg"},
        {"log10(x[0])", 1, K::UnknownName, "log10", "lg"},
        {"sinh(x[0])+cosh(x[1])", 1, K::UnknownName, "sinh", "sh"},
        {"Sin(x[0])", 1, K::UnknownName, "Sin", "sin"},
        {"PI*x[0]", 1, K::UnknownName, "PI", "pi"},
        {"X[0]^2", 1, K::UnknownName, "X", "x"},
        {"х[0]^2", 1, K::UnknownName, "х", "x"}, // a Cyrillic letter
        {"x[0] + 1", 5, K::TextLeftOver, " ", ""},
        {"expo(x[0])", 1, K::UnknownName, "expo", ""},
        {"a-b+c", 1, K::UnknownName, "a", ""},
        {"sin x[0]", 1, K::MissingOperand, "sin", ""},
        // Text left over after a whole operand.
        {"x[0]x[1]", 5, K::TextLeftOver, "x[1]", ""},
        {"2e", 2, K::TextLeftOver, "e", "*"},
        {"3pi", 2, K::TextLeftOver, "pi", "*"},
        // Positions count characters, not bytes.
        {"ln(х[0])", 4, K::UnknownName, "х", "x"},
    };
    for (const TCase& c : cases) {
        const TFormulaFault f = DiagnoseFormula(c.Text);
        EXPECT_EQ(f.Position, c.Position) << c.Text;
        EXPECT_EQ(f.Kind, c.Kind) << c.Text;
        if (*c.What) {
            EXPECT_EQ(f.What, c.What) << c.Text;
        }
        EXPECT_EQ(f.Hint, c.Hint) << c.Text;
        // And the parser refuses each of them.
        bool used[10] = {};
        TreeNode* tree = ParseExpression(c.Text, used);
        EXPECT_EQ(tree, nullptr) << c.Text;
        FreeTree(tree);
    }
}

TEST(Diagnose, FindsNothingInWhatParses) {
    for (const char* text : {"x[0]^2+x[1]^2", "-x[0]", "--1", "x[0]--x[1]", "x[0]*-x[1]", "5.", "007",
                             "100*(x[1]-x[0]^x[6]+--x[0])^2", // after the lowest operator, two signs parse
                             "cosec(-x[9])", "pi*e", "1e-3*x[0]", "2.5E+4-x[0]", "-(x[0]+1)-2", "sin((x[0]))"}) {
        EXPECT_EQ(DiagnoseFormula(text).Kind, K::None) << text;
        bool used[10] = {};
        TreeNode* tree = ParseExpression(text, used);
        EXPECT_NE(tree, nullptr) << text;
        FreeTree(tree);
    }
}

TEST(Diagnose, AFaultAtTheEndOfALongFormulaIsFoundThereAndShownAroundIt) {
    std::string text;
    while (text.size() < 36000) text += "+(x[0]-1)^2";
    text.erase(0, 1);
    for (const auto& [tail, kind, what] :
         {std::tuple{"+tan(x[1])", K::UnknownName, "tan"}, std::tuple{"+x[10]", K::VariableIndex, "x[10]"},
          std::tuple{"*", K::MissingOperand, "*"}, std::tuple{"+(x[1]", K::UnbalancedBracket, "("}}) {
        const std::string formula = text + tail;
        const TFormulaFault f = DiagnoseFormula(formula);
        EXPECT_EQ(f.Kind, kind) << tail;
        EXPECT_EQ(f.What, what) << tail;
        EXPECT_EQ(f.Position, static_cast<int>(text.size()) + (kind == K::MissingOperand ? 1 : 2)) << tail;
        // The excerpt: about 60 characters, cut with "…", the marker under the place.
        const std::size_t newline = f.Excerpt.find('\n');
        ASSERT_NE(newline, std::string::npos);
        const std::string line = f.Excerpt.substr(0, newline), marker = f.Excerpt.substr(newline + 1);
        EXPECT_EQ(line.rfind("…", 0), 0u) << line;
        EXPECT_LT(line.size(), 80u);
        EXPECT_EQ(marker.back(), '^');
        // The marker stands under the fault's first character (the line
        // starts with the three bytes of "…", one character).
        const std::size_t column = marker.size() - 1;
        EXPECT_EQ(line.substr(column - 1 + 3, std::strlen(what)), what) << line << "\n" << marker;
    }
}

TEST(Diagnose, TheLineSaysWhereWhatAndWhatWasMeant) {
    auto line = [](const char* text) {
        const TFaultLine l = FaultLine(DiagnoseFormula(text));
        return FillArguments(l.Pattern, l.Arguments);
    };
    EXPECT_EQ(line("x[0]^2+tan(x[1])"), "позиция 8: неизвестная функция «tan» — возможно, tg");
    EXPECT_EQ(line("x[0]**2"), "позиция 6: знак «*» там, где ожидается операнд — возможно, ^");
    EXPECT_EQ(line("2x[0]^2"), "позиция 2: лишний текст «x[0]» — возможно, пропущен знак «*»");
    EXPECT_EQ(line("x[0]^2+(x[1]"), "позиция 8: скобка «(» не закрыта");
    EXPECT_EQ(line("x[0]+"), "позиция 5: после «+» нет операнда");
    EXPECT_EQ(line("x[12]"), "позиция 1: «x[12]» — переменные называются x[0] … x[9]");
    EXPECT_EQ(DiagnoseFormula("x[0]^2+tan(x[1])").Excerpt, "x[0]^2+tan(x[1])\n       ^");
    EXPECT_EQ(FaultKindKey(K::UnknownName), std::string("unknown-name"));
}

// A build that fails keeps its fault, and the next one that works clears it.
TEST(Diagnose, TheFunctionObjectKeepsTheFaultOfItsLastBuild) {
    TFunction F;
    BuildTree(F, "x[0]+tan(x[1])");
    EXPECT_EQ(F.Fault.Kind, K::UnknownName);
    EXPECT_EQ(F.Fault.Position, 6);
    BuildTree(F, "x[0]+tg(x[1])");
    EXPECT_EQ(F.Fault.Kind, K::None);
}

Real ValueOf(const char* text, const Vector& point = {}) {
    TFunction F;
    BuildTree(F, text);
    EXPECT_EQ(F.ErrorCode, 0) << text;
    return FunctionValue(F, point, 9);
}

bool SameBits(Real a, Real b) { return std::memcmp(&a, &b, 10) == 0; }

TEST(Constants, PiEAndExponentNumbersToTheLastBit) {
    EXPECT_TRUE(SameBits(ValueOf("pi"), 3.141592653589793238462643383279502884L));
    EXPECT_TRUE(SameBits(ValueOf("e"), 2.718281828459045235360287471352662498L));
    EXPECT_TRUE(SameBits(ValueOf("1e-3"), 1e-3L));
    EXPECT_TRUE(SameBits(ValueOf("2.5E+4"), 2.5E+4L));
    EXPECT_TRUE(SameBits(ValueOf("7.E2"), 700.0L));
    EXPECT_TRUE(SameBits(ValueOf("1e4000"), 1e4000L));
    EXPECT_TRUE(SameBits(ValueOf("3e-4900"), 3e-4900L));
    EXPECT_TRUE(SameBits(ValueOf("0.1e1"), 1.0L));
    // e never takes an exponent's sign: e-1 is e minus one, 2e-1 is 0.2.
    EXPECT_TRUE(SameBits(ValueOf("e-1"), 2.718281828459045235360287471352662498L - 1));
    EXPECT_TRUE(SameBits(ValueOf("2e-1"), 2e-1L));
    EXPECT_TRUE(SameBits(ValueOf("2*e-1"), 2 * 2.718281828459045235360287471352662498L - 1));
    EXPECT_TRUE(SameBits(ValueOf("-1e2+e"), -100 + 2.718281828459045235360287471352662498L));
    EXPECT_TRUE(SameBits(ValueOf("x[0]*-2e-2", {3}), 3 * -2e-2L));
    EXPECT_TRUE(SameBits(ValueOf("sin(pi/2)"), std::sin(3.141592653589793238462643383279502884L / 2)));
}

TEST(Constants, DerivativesTreatThemAsNumbers) {
    TFunction F;
    BuildTree(F, "pi*x[0]^2+1e-3*x[1]+e^x[0]");
    ASSERT_EQ(F.ErrorCode, 0);
    const Vector point{2, 5};
    Vector g{};
    Gradient(F, point, g, 1);
    const Real e = 2.718281828459045235360287471352662498L, pi = 3.141592653589793238462643383279502884L;
    EXPECT_NEAR(static_cast<double>(g[0]), static_cast<double>(2 * pi * 2 + std::pow(e, 2.0L)), 1e-15);
    EXPECT_TRUE(SameBits(g[1], 1e-3L));
}

} // namespace
} // namespace qirt
