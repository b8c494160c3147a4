#include <cfloat>
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "func/scan.h"
#include "literal_parser.h"

namespace qirt {
namespace {

using literal::ReadBracketGroup;
using literal::ReadOperand;
using literal::StripOuterBrackets;
using literal::TextAfter;

TEST(Characters, DigitsAndOperatorsRoundTrip) {
    for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(DigitChar(DigitValue(c)), c);
    EXPECT_EQ(DigitValue('a'), 255);
    EXPECT_EQ(DigitChar(10), '-');
    for (char c : std::string("+-*/^")) EXPECT_EQ(OperatorChar(OperatorCode(c)), c);
    EXPECT_EQ(OperatorCode('('), 0);
    EXPECT_EQ(OperatorCode('\0'), 0);
    EXPECT_EQ(OperatorChar(99), '?');
    Real carry = 5;
    EXPECT_EQ(IncrementDigit('8', carry), '9');
    EXPECT_EQ(carry, 0);
    EXPECT_EQ(IncrementDigit('9', carry), '0');
    EXPECT_EQ(carry, 1);
    EXPECT_EQ(IncrementDigit('x', carry), '0');
    EXPECT_EQ(carry, 0);
}

TEST(NumberText, AcceptsOnlyTheDecimalForm) {
    struct Case {
        const char* Text;
        bool Number;
    };
    const Case cases[] = {
        {"-12.50", true}, {"0", true},    {"007", true},   {"3.", true},    {"5.", true},
        {"-0", true},     {"", false},    {".5", false},   {"-.5", false},  {"-", false},
        {"1e5", false},   {"1.2.3", false}, {"x", false},  {"+5", false},   {"5..", false},
        {"1.2.", false},  {"- 1", false}, {"1 ", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsNumberText(c.Text), c.Number) << c.Text;
}

TEST(NumberText, ConvertsEveryAcceptedTextToItsValue) {
    Real tenth_seven = 1;
    for (int k = 0; k < 7; ++k) tenth_seven /= 10;
    EXPECT_EQ(TextToReal("1e-7"), tenth_seven);
    EXPECT_EQ(TextToReal("2e1"), 20);
    EXPECT_EQ(TextToReal("5e-1"), 0.5L);
    EXPECT_EQ(TextToReal("-2.5"), -2.5L);
    EXPECT_EQ(TextToReal("5."), 5);
    EXPECT_EQ(TextToReal("1e2.5"), 100); // a fractional exponent is cut toward zero
    EXPECT_EQ(TextToReal("1E3"), 1000);
    EXPECT_EQ(TextToReal("007"), 7);
    EXPECT_TRUE(std::signbit(TextToReal("-0")));
    // Texts that are not numbers convert to 0.
    for (const char* text : {"", "abc", "+5", "5..", "1.2.", "1e", "e5", "1e2e3", "1e+", "1e++5"})
        EXPECT_EQ(TextToReal(text), 0) << text;
    // The exponent form of large values carries a "+".
    EXPECT_EQ(TextToReal("1e+5"), 100000);
    EXPECT_EQ(TextToReal("-2.5E+20"), -250000000000000000000.0L);
    EXPECT_EQ(TextToReal("inf"), INFINITY);
    EXPECT_EQ(TextToReal("-inf"), -INFINITY);
    // Huge exponents end at once.
    EXPECT_TRUE(std::isinf(TextToReal("1e999999999")));
    EXPECT_EQ(TextToReal("1e-999999999"), 0);
    // Thousands of fraction digits still give a value below 1.
    Real long_fraction = TextToReal("0." + std::string(6000, '3'));
    EXPECT_NEAR(double(long_fraction), 1.0 / 3, 1e-15);
}

TEST(RealToText, WritesDecimalsWithoutExponent) {
    struct Case {
        Real Value;
        const char* Text;
    };
    const Case cases[] = {
        {0, "0"},           {5, "5"},           {100, "100"},
        {0.1L, "0.1"},      {1.5L, "1.5"},      {-0.75L, "-0.75"},
        {2.0L / 3, "0.66666666666666667"},      {1e-7L, "0.0000001"},
        {1e-30L, "0"},      {123456.789L, "123456.789"},
        {-1e-30L, "-0"},    {999999999999999999.0L, "999999999999999999"},
        {-123456789012345678.0L, "-123456789012345678"},
        // From 1e18 on, the exponent form with 17 digits after the first.
        {1e18L, "1e+18"},   {1e20L, "1e+20"},   {-2.5e19L, "-2.5e+19"},
        {123456789012345678901.0L, "1.2345678901234568e+20"},
        {-1.0907479943664433e4931L, "-1.0907479943664433e+4931"},
        {LDBL_MAX, "1.1897314953572318e+4932"},
        {INFINITY, "inf"},  {-INFINITY, "-inf"},  {NAN, "Nan"},
    };
    for (const Case& c : cases) EXPECT_EQ(RealToText(c.Value), c.Text) << double(c.Value);
}

TEST(RealToText, LargeValuesReadBackThroughTheNumberFields) {
    // Every exponent from 18 to the end of the range, with mantissas that
    // use all seventeen digits.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1, 10);
    for (int e = 18; e <= 4931; ++e) {
        Real x = mantissa(random);
        for (int k = 0; k < e; ++k) x *= 10;
        if (e % 2) x = -x;
        const std::string text = RealToText(x);
        ASSERT_TRUE(IsRealText(text)) << text;
        ASSERT_FALSE(IsNumberText(text)) << text; // formulas take no exponent form
        const Real back = TextToReal(text);
        ASSERT_NEAR(double(back / x), 1.0, 1e-15) << text;
    }
    EXPECT_FALSE(IsRealText("inf"));
    EXPECT_FALSE(IsRealText("1e"));
    EXPECT_FALSE(IsRealText("e5"));
    EXPECT_TRUE(IsRealText("-3.5E-2"));
}

TEST(RealToText, ReadsBackCloseToTheValue) {
    for (Real x : {3.14159265358979323846L, -2.5e-5L, 123456789.125L, 7e15L, 0.001L}) {
        Real back = TextToReal(RealToText(x));
        EXPECT_NEAR(double(back / x), 1.0, 1e-16) << double(x);
    }
}

TEST(Names, VariablesAndFunctions) {
    EXPECT_EQ(VariableNumber("x[3]"), 4);
    EXPECT_EQ(VariableNumber("x[0]+1"), 1); // only the first four characters count
    EXPECT_EQ(VariableNumber("x[10]"), 0);
    EXPECT_EQ(VariableNumber("X[3]"), 0);
    EXPECT_EQ(VariableNumber("x[a]"), 0);
    Byte code = 0;
    EXPECT_TRUE(FunctionCode("sin(x[0])", code));
    EXPECT_EQ(code, 23);
    code = 0;
    EXPECT_TRUE(FunctionCode("cosec(x[0])", code));
    EXPECT_EQ(code, 28);
    code = 0;
    EXPECT_FALSE(FunctionCode("Sin(x[0])", code));
    code = 0;
    EXPECT_FALSE(FunctionCode("sin x[0]", code));
    EXPECT_EQ(code, 0);
}

TEST(Cutting, OperandsGroupsAndCalls) {
    std::string part;
    EXPECT_TRUE(SplitFunctionCall("cos(x[0]*(x[1]+1))", part, 2));
    EXPECT_EQ(part, "x[0]*(x[1]+1)");
    EXPECT_TRUE(SplitFunctionCall("cos(x[0]*(x[1]+1))", part, 1));
    EXPECT_EQ(part, "cos");
    EXPECT_FALSE(SplitFunctionCall("cos x", part, 1));
    EXPECT_EQ(part, "");

    EXPECT_TRUE(ReadOperand("-x[0]*2", part));
    EXPECT_EQ(part, "-x[0]");
    EXPECT_TRUE(ReadOperand("sin(x[0]+1)-2", part));
    EXPECT_EQ(part, "sin(x[0]+1)");
    EXPECT_FALSE(ReadOperand("x[0]", part));
    EXPECT_FALSE(ReadOperand("x[0]+", part));
    EXPECT_FALSE(ReadOperand("+1", part));
    EXPECT_FALSE(ReadOperand("(x[0]+1", part)); // an open bracket never ends the scan early

    EXPECT_TRUE(ReadBracketGroup("(a(b)c)+d", part));
    EXPECT_EQ(part, "a(b)c");
    EXPECT_FALSE(ReadBracketGroup("(a(b)c", part));
    EXPECT_FALSE(ReadBracketGroup("a(b)", part));

    EXPECT_EQ(TextAfter("x[0]+1", 5), "1");
    EXPECT_EQ(TextAfter("x[0]+1", 6), "");
}

TEST(Cutting, StripOuterBrackets) {
    std::string text = "((x[0]+1))";
    EXPECT_FALSE(StripOuterBrackets(text));
    EXPECT_EQ(text, "x[0]+1");
    text = "(x[0])+(x[1])";
    EXPECT_TRUE(StripOuterBrackets(text));
    EXPECT_EQ(text, "(x[0])+(x[1])");
    text = "((x[0])";
    EXPECT_FALSE(StripOuterBrackets(text)); // never closed
    EXPECT_EQ(text, "((x[0])");
    text = "";
    EXPECT_FALSE(StripOuterBrackets(text));
    text = "()";
    EXPECT_FALSE(StripOuterBrackets(text));
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace qirt
