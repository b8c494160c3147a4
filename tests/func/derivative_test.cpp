#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/evaluate.h"
#include "random_formula.h"
#include "recording_messages.h"
#include "tree_text.h"

namespace qirt {
namespace {

using testing::RecordingMessages;
using testing::TreeText;

struct DerivativeCase {
    const char* Formula;
    int Variable;
    const char* Simplified;
};

TEST(Differentiate, RulesAndSimplification) {
    const DerivativeCase cases[] = {
        {"x[0]^2+x[1]^2", 0, "((2*x[0])+(2*0))"},
        {"x[0]*x[1]", 0, "(x[1]+0)"},
        {"sin(x[0])", 0, "cos(x[0])"},
        {"cos(x[0])", 0, "(-1*sin(x[0]))"},
        {"ln(x[0])", 0, "(1/x[0])"},
        {"x[0]^3", 0, "(3*(x[0]^2))"},
        {"x[0]/x[1]", 1, "((0-x[0])/(x[1]^2))"},
        {"x[0]-5", 0, "1"},
        {"7", 0, "0"},
        {"x[0]^(0.5)", 0, "(0.5*(x[0]^-0.5))"},
        {"sqrt(x[0])", 0, "(1/(2*sqrt(x[0])))"},
        {"abs(x[0])", 0, "(x[0]/abs(x[0]))"},
        {"abs(x[0])", 1, "0"}, // no 0/0 left where x[0] = 0: it does not vary with x[1]
        {"tg(x[0])", 0, "(1/(cos(x[0])^2))"},
        {"ctg(x[0])", 0, "(-1*(1/(sin(x[0])^2)))"},
        {"sec(x[0])", 0, "(sec(x[0])*tg(x[0]))"},
        {"cosec(x[0])", 0, "(-1*(cosec(x[0])*ctg(x[0])))"},
        {"sqrt(x[0]*x[1])", 1, "((0+x[0])/(2*sqrt((x[0]*x[1]))))"},
    };
    for (const DerivativeCase& c : cases) {
        TFunction F;
        F.DifferentiationStep = 1e-3L;
        BuildTree(F, c.Formula);
        TreeNode* d = nullptr;
        ASSERT_TRUE(Differentiate(F.Root, c.Variable, d, nullptr)) << c.Formula;
        Simplify(d);
        EXPECT_EQ(TreeText(d), c.Simplified) << c.Formula;
        EXPECT_TRUE(testing::ParentsConsistent(d));
        FreeTree(d);
    }
}

TEST(Differentiate, MalformedTreeHasNoDerivative) {
    // "+" with its right operand missing: no rule applies, nothing is built.
    TreeNode* plus = MakeNode(kind::Plus, MakeNode(kind::FirstVariable), nullptr);
    TreeNode* d = plus;
    EXPECT_FALSE(Differentiate(plus, 0, d, nullptr));
    EXPECT_EQ(d, nullptr);
    FreeTree(plus);
}

TEST(SymbolicMode, BuildsGradientAndSharedHessianObjects) {
    TFunction F;
    BuildTree(F, "x[0]^2+x[1]^2");
    ASSERT_EQ(F.ErrorCode, 0);
    EXPECT_EQ(F.HessianTrees[0][1], F.HessianTrees[1][0]);
    Vector g{}, p{3, -1};
    Gradient(F, p, g, 1);
    EXPECT_EQ(g[0], 6);
    EXPECT_EQ(g[1], -2);
    EXPECT_EQ(F.EvaluationCount, 0); // counted on the derivative objects
    EXPECT_EQ(F.GradientTrees[0]->EvaluationCount, 1);
    Matrix h{};
    Hessian(F, p, h, 1);
    EXPECT_EQ(h[0][0], 2);
    EXPECT_EQ(h[1][1], 2);
    EXPECT_EQ(h[0][1], 0);
    EXPECT_EQ(h[1][0], 0);

    BuildTree(F, "x[0]*x[1]");
    ASSERT_EQ(F.ErrorCode, 0);
    EXPECT_EQ(TreeText(F.HessianTrees[0][1]->Root), "1");
}

TEST(SymbolicMode, NoDerivativesForAConstant) {
    TFunction F;
    BuildTree(F, "5");
    EXPECT_EQ(F.ErrorCode, 0);
    EXPECT_EQ(F.GradientTrees[0], nullptr);
}

TEST(SymbolicMode, HugeDerivativesFailInsteadOfExhaustingMemory) {
    // The derivative of n nested calls copies the argument at every level:
    // about n^2/2 nodes, far beyond the limit.
    std::string nested;
    for (int k = 0; k < 100000; ++k) nested += "sin(";
    nested += "x[0]" + std::string(100000, ')');
    RecordingMessages messages;
    TFunction F;
    F.Messages = &messages;
    BuildTree(F, nested);
    EXPECT_EQ(F.ErrorCode, error::Build);
    // The cause, then the way out; both beside each other, non-modally.
    EXPECT_EQ(messages.shown,
              (std::vector<RecordingMessages::Shown>{
                  {"Ошибка создания дерева производных", ShowKind::NonModal},
                  {message::UseNumericStep, ShowKind::NonModal}}));
    EXPECT_EQ(F.GradientTrees[0], nullptr); // nothing half-built is left

    // A product of many factors: the gradient fits, its Hessian would not.
    std::string product = "x[0]";
    for (int k = 0; k < 400; ++k) product += "*sin(x[0]+" + std::to_string(k) + ")";
    messages.shown.clear();
    BuildTree(F, product);
    EXPECT_EQ(F.ErrorCode, error::Build);
    EXPECT_EQ(messages.shown,
              (std::vector<RecordingMessages::Shown>{
                  {"Ошибка создания матрицы Гессе", ShowKind::NonModal},
                  {message::UseNumericStep, ShowKind::NonModal}}));
    EXPECT_EQ(F.GradientTrees[0], nullptr);
    EXPECT_EQ(F.HessianTrees[0][0], nullptr);

    // The same formula with a numeric step builds, and has derivatives.
    messages.shown.clear();
    F.DifferentiationStep = 1e-5L;
    BuildTree(F, product);
    EXPECT_EQ(F.ErrorCode, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(NumericMode, CentralDifferencesAreNotCounted) {
    TFunction F;
    F.DifferentiationStep = 1e-3L;
    BuildTree(F, "x[0]^2+x[1]^2");
    Vector g{}, p{1, 2};
    Gradient(F, p, g, 1);
    EXPECT_NEAR(double(g[0]), 2, 1e-12);
    EXPECT_NEAR(double(g[1]), 4, 1e-12);
    EXPECT_EQ(F.EvaluationCount, 0);
    EXPECT_EQ(F.Point[0], 1); // the point is restored
    Matrix h{};
    Hessian(F, p, h, 1);
    EXPECT_EQ(F.EvaluationCount, 4 * 1 + 3 * 2);
    EXPECT_NEAR(double(h[0][0]), 2, 1e-9);
    EXPECT_NEAR(double(h[0][1]), 0, 1e-9);
    EXPECT_EQ(h[0][1], h[1][0]);
}

TEST(NumericMode, GradientOfSqrt) {
    TFunction F;
    F.DifferentiationStep = 1e-5L;
    BuildTree(F, "sqrt(x[0])");
    ASSERT_EQ(F.ErrorCode, 0);
    Vector g{}, p{4};
    Gradient(F, p, g, 0);
    EXPECT_NEAR(double(g[0]), 0.25, 1e-9);
}

TEST(NumericMode, StepOutsideZeroToOneBecomesTenToMinusFive) {
    for (Real typed : {2.0L, -1e-3L, 1.0L}) {
        TFunction F;
        F.DifferentiationStep = typed;
        BuildTree(F, "x[0]^2");
        Vector g{}, p{1};
        Gradient(F, p, g, 0);
        EXPECT_EQ(F.DifferentiationStep, 1e-5L);
    }
}

TEST(Gradient, BothModesSeeThePenalty) {
    uslov region;
    region.AddCondition("x[0]<=1", "1", "2", kExteriorKind);
    Vector p{3}, symbolic{}, numeric{};
    TFunction S;
    S.Conditions = &region;
    BuildTree(S, "x[0]^2");
    Gradient(S, p, symbolic, 0);
    TFunction N;
    N.Conditions = &region;
    N.DifferentiationStep = 1e-4L;
    BuildTree(N, "x[0]^2");
    Gradient(N, p, numeric, 0);
    EXPECT_EQ(symbolic[0], 6 + 4); // d/dx (x-1)^2 = 4 at 3
    EXPECT_NEAR(double(numeric[0]), 6 + 4, 1e-6);
    Matrix h{};
    Hessian(S, p, h, 0);
    EXPECT_EQ(h[0][0], 2 + 2);
}

// Symbolic derivatives checked against central differences on random
// differentiable formulas, at points where both are well defined.
TEST(Gradient, SymbolicAgreesWithCentralDifferences) {
    testing::RandomFormula formulas(21, {.MaxDepth = 3, .Variables = 2, .OnlyDifferentiable = true});
    int checked = 0;
    for (int k = 0; k < 1500; ++k) {
        std::string text = formulas.Next();
        TFunction S, N, M;
        BuildTree(S, text);
        if (S.ErrorCode != 0 || S.VariableCount != 2) continue;
        N.DifferentiationStep = 1e-6L;
        BuildTree(N, text);
        M.DifferentiationStep = 1e-5L;
        BuildTree(M, text);
        Vector p{0.7L, 1.3L}, gs{}, gn{}, gm{}, near{}, gs_near{};
        Gradient(S, p, gs, 1);
        near = {p[0] + 1e-7L, p[1] + 1e-7L};
        Gradient(S, near, gs_near, 1);
        Gradient(N, p, gn, 1);
        Gradient(M, p, gm, 1);
        Real f = FunctionValue(N, p, 1);
        bool defined = N.ErrorCode == 0 && M.ErrorCode == 0 && S.GradientTrees[0]->ErrorCode == 0 &&
                       S.GradientTrees[1]->ErrorCode == 0 && std::fabs(f) < 1e6;
        if (!defined) continue;
        for (int i = 0; i < 2; ++i) {
            Real scale = std::fmax(1, std::fabs(gs[i]));
            // Skip ill-conditioned points, where two steps disagree already.
            // Skip ill-conditioned points: where two steps disagree, or where the
            // derivative itself swings within 1e-7 (sin of a huge argument).
            if (std::fabs(gn[i] - gm[i]) > 1e-6L * std::fmax(1, std::fabs(gn[i]))) continue;
            if (std::fabs(gs_near[i] - gs[i]) > 1e-3L * scale) continue;
            if (!std::isfinite(gs[i]) || std::fabs(gs[i]) > 1e4) continue;
            EXPECT_NEAR(double(gs[i] / scale), double(gn[i] / scale), 1e-4) << text << " d/dx" << i;
        }
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

} // namespace
} // namespace qirt
