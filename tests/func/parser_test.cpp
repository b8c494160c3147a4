#include <cmath>
#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "func/evaluate.h"
#include "func/function.h"
#include "func/parser.h"
#include "literal_parser.h"
#include "random_formula.h"
#include "recording_messages.h"
#include "tree_text.h"

namespace qirt {
namespace {

using testing::RecordingMessages;
using testing::TreeText;

std::string Parsed(const std::string& text) {
    bool used[10] = {};
    TreeNode* root = ParseExpression(text, used);
    std::string result = TreeText(root);
    EXPECT_TRUE(testing::ParentsConsistent(root)) << text;
    if (root) {
        EXPECT_EQ(root->Parent, nullptr);
    }
    FreeTree(root);
    return result;
}

std::string LiterallyParsed(const std::string& text) {
    bool used[10] = {};
    TreeNode* root = literal::Parse(text, used);
    std::string result = TreeText(root);
    FreeTree(root);
    return result;
}

struct Shape {
    const char* Text;
    const char* Tree;
};

TEST(Parser, GroupsOperatorsByKind) {
    const Shape cases[] = {
        {"x[0]^2+x[1]^2", "((x[0]^2)+(x[1]^2))"},
        {"-x[0]^2", "(0-(x[0]^2))"},
        {"x[0]*-x[1]", "(x[0]*(0-x[1]))"},
        {"2^3^2", "((2^3)^2)"},
        {"x[0]-x[1]-x[2]", "((x[0]-x[1])-x[2])"},
        {"a-b+c", "null"},
        {"x[0]-x[1]+x[2]", "((x[0]-x[1])+x[2])"},
        {"x[0]+x[1]-x[2]", "(x[0]+(x[1]-x[2]))"},
        {"x[0]/x[1]*x[2]", "((x[0]/x[1])*x[2])"},
        {"x[0]*x[1]/x[2]", "(x[0]*(x[1]/x[2]))"},
        {"(x[0]-1)^2+(x[1]-2)^2", "(((x[0]-1)^2)+((x[1]-2)^2))"},
        {"((x[0]))", "x[0]"},
        {"(5)", "5"},
        {"x[0]*(x[1]+1)-2", "((x[0]*(x[1]+1))-2)"},
        {"-(x[0]+1)-2", "((0-(x[0]+1))-2)"},
        {"x[0]+-x[1]*x[2]", "(x[0]+(0-(x[1]*x[2])))"},
        {"x[0]*-x[1]*x[2]", "((x[0]*(0-x[1]))*x[2])"},
        {"sin(x[0]+1)-2", "(sin((x[0]+1))-2)"},
        {"5.", "5"},
        {"007", "7"},
        {"cosec(-x[9])", "cosec((0-x[9]))"},
        {"x[0]--x[1]", "(x[0]-(0-x[1]))"},
        {"--1", "(0-(0-1))"},
    };
    for (const Shape& c : cases) EXPECT_EQ(Parsed(c.Text), c.Tree) << c.Text;
}

TEST(Parser, RefusesWhatIsNotAFormula) {
    const char* bad[] = {"sin(x[0]", "x[0])", "x[0] + 1", "Sin(x[0])", "x[10]", "expo(x[0])",
                         "2e", "e2", "2e-x[0]", "x[0]e-3", "pi(x[0])", "Pi", "(x[0])(x[1])", "()", "", "-", "x[0]+", "+x[0]",
                         "x[0]*+1", "5..", "1.2.", ".5", "sin()", "x[0](x[1])",
                         "(x[0])x[1]", "X[0]", "x[0]x[1]", "x[0]^-"};
    for (const char* text : bad) EXPECT_EQ(Parsed(text), "null") << text;
    EXPECT_EQ(Parsed(std::string("x[0]\0+1", 7)), "null");
}

TEST(Parser, AgreesWithTheLiteralAlgorithmOnRandomFormulas) {
    for (bool mangle : {false, true}) {
        testing::RandomFormula formulas(mangle ? 7 : 3, {.MaxDepth = 4, .Mangle = mangle});
        int parsed = 0;
        for (int k = 0; k < 20000; ++k) {
            std::string text = formulas.Next();
            std::string fast = Parsed(text);
            ASSERT_EQ(fast, LiterallyParsed(text)) << text;
            parsed += fast != "null";
        }
        // both kinds of text must really be exercised
        EXPECT_GT(parsed, mangle ? 500 : 15000);
        EXPECT_LT(parsed, mangle ? 18000 : 20001);
    }
}

TEST(Parser, AgreesWithTheLiteralAlgorithmOnEveryShortText) {
    // Every text of up to 6 characters over a small alphabet.
    const std::string alphabet = "(-)+*^x1";
    std::string text;
    int compared = 0;
    std::function<void(int)> all = [&](int left) {
        ++compared;
        ASSERT_EQ(Parsed(text), LiterallyParsed(text)) << text;
        if (left == 0) return;
        for (char c : alphabet) {
            text.push_back(c);
            all(left - 1);
            text.pop_back();
        }
    };
    all(6);
    EXPECT_GT(compared, 290000);
}

TEST(Parser, SplitAtOperatorMergesWithBrackets) {
    Byte op;
    std::string left, right;
    ASSERT_TRUE(literal::SplitAtOperator("x[0]*x[1]+x[2]", op, left, right));
    EXPECT_EQ(op, kind::Plus);
    EXPECT_EQ(left, "(x[0])*x[1]");
    EXPECT_EQ(right, "x[2]");
}

TEST(BuildTree, CountsDistinctVariablesAndResets) {
    TFunction F;
    F.DifferentiationStep = 1e-3L;
    BuildTree(F, "x[0]*x[2]+x[0]");
    ASSERT_EQ(F.ErrorCode, 0);
    EXPECT_EQ(F.VariableCount, 2);
    EXPECT_TRUE(F.VariableUsed[0]);
    EXPECT_FALSE(F.VariableUsed[1]);
    EXPECT_TRUE(F.VariableUsed[2]);
    F.Point = {1, 5, 3};
    EXPECT_EQ(CurrentValue(F), 4);
    EXPECT_EQ(F.EvaluationCount, 1);
    BuildTree(F, "5");
    EXPECT_EQ(F.VariableCount, 0);
    EXPECT_EQ(F.EvaluationCount, 0);
    EXPECT_FALSE(F.VariableUsed[0]);
}

TEST(BuildTree, ReportsAnUnparseableTextModally) {
    RecordingMessages messages;
    TFunction F;
    F.Messages = &messages;
    F.DifferentiationStep = 1e-3L;
    BuildTree(F, "x[0]+x[1]");
    BuildTree(F, "x[0] + 1");
    EXPECT_EQ(F.ErrorCode, error::Build);
    EXPECT_EQ(F.VariableCount, 2); // a failed build leaves the count alone
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].Text, "Ошибка формирования дерева");
    EXPECT_EQ(messages.shown[0].How, ShowKind::Modal);
    EXPECT_EQ(CurrentValue(F), 0);
}

TEST(SetVariableCount, TakesOnlyOneToTen) {
    TFunction F;
    SetCoordinate(F, 0, 7);
    EXPECT_EQ(GetCoordinate(F, 0), 0); // no variables yet: nothing stored
    SetVariableCount(F, 3);
    SetVariableCount(F, 0);
    SetVariableCount(F, 11);
    EXPECT_EQ(F.VariableCount, 3);
    SetCoordinate(F, 2, 7);
    EXPECT_EQ(GetCoordinate(F, 2), 7);
}

// Huge and hostile inputs end in a tree or the build message, quickly and
// without exhausting the stack.
TEST(Parser, SurvivesHugeTexts) {
    std::string nested = std::string(100000, '(') + "x[0]" + std::string(100000, ')');
    EXPECT_EQ(Parsed(nested), "x[0]");

    std::string chain = "x[0]";
    for (int k = 0; k < 100000; ++k) chain += "+x[1]";
    std::string functions;
    for (int k = 0; k < 100000; ++k) functions += "sin(";
    functions += "x[0]" + std::string(100000, ')');
    std::string right_deep;
    for (int k = 0; k < 50000; ++k) right_deep += "x[0]-(";
    right_deep += "1" + std::string(50000, ')');

    for (const std::string* text : {&chain, &functions, &right_deep}) {
        TFunction F;
        F.DifferentiationStep = 1e-3L;
        BuildTree(F, *text);
        ASSERT_EQ(F.ErrorCode, 0);
        F.Point[0] = 0.5L;
        F.Point[1] = 1;
        Real value = CurrentValue(F);
        EXPECT_TRUE(std::isfinite(value));
        // the walk node by node agrees with the flat run
        EXPECT_EQ(EvaluateNode(F, F.Root), value);
    }
    {
        TFunction F;
        F.DifferentiationStep = 1e-3L;
        BuildTree(F, chain);
        F.Point[0] = 1;
        F.Point[1] = 1;
        EXPECT_EQ(CurrentValue(F), 100001);
    }

    std::mt19937 rng(1);
    std::string noise(1 << 20, ' ');
    for (char& c : noise) c = char(rng());
    EXPECT_EQ(Parsed(noise), "null");
    std::string brackets(1 << 20, '(');
    EXPECT_EQ(Parsed(brackets), "null");
}

} // namespace
} // namespace qirt
