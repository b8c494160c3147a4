// Conversions between decimal texts and extended reals.
#include <cmath>
#include <cstdio>
#include <string>

#include "func/scan.h"

namespace qirt {

namespace {
// The value of a mantissa "-12.50": integer and fraction digits accumulated
// separately, the fraction divided by 10 once per digit.
Real MantissaValue(std::string_view text) {
    if (text == "0") return 0;
    Real sign = 1;
    std::size_t i = 0;
    if (text[0] == '-') {
        sign = -1;
        i = 1;
    }
    Real whole = 0, fraction = 0;
    for (; i < text.size() && text[i] != '.'; ++i) whole = whole * 10 + DigitValue(text[i]);
    // Fraction digits past the range of the accumulator cannot change the
    // value; reading them all would overflow it to infinity for a number < 1.
    constexpr std::size_t kMaxFractionDigits = 4900;
    std::size_t fraction_digits = 0;
    if (i < text.size()) {
        for (++i; i < text.size() && fraction_digits < kMaxFractionDigits; ++i, ++fraction_digits)
            fraction = fraction * 10 + DigitValue(text[i]);
    }
    for (std::size_t k = 0; k < fraction_digits && fraction != 0; ++k) fraction /= 10;
    return (whole + fraction) * sign;
}
} // namespace

namespace {
// The exponent part after "e": a number text, with a "+" allowed in front
// (as the exponent form of large values is written).
std::string_view ExponentText(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    return text;
}
} // namespace

bool IsRealText(std::string_view text) {
    const auto e = text.find_first_of("eE");
    if (e == std::string_view::npos) return IsNumberText(text);
    return IsNumberText(text.substr(0, e)) && IsNumberText(ExponentText(text.substr(e + 1)));
}

Real TextToReal(std::string_view text) {
    if (text == "inf") return HUGE_VALL;
    if (text == "-inf") return -HUGE_VALL;
    auto e = text.find_first_of("eE");
    std::string_view mantissa = text.substr(0, e);
    Real exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view exponent_text = ExponentText(text.substr(e + 1));
        if (!IsNumberText(exponent_text)) return 0;
        exponent = MantissaValue(exponent_text);
    }
    if (!IsNumberText(mantissa)) return 0;
    Real value = MantissaValue(mantissa);
    // Scaling stops early once the value is 0 or infinite: further factors of
    // 10 cannot change it, and an exponent like 1e999999999 must not spin.
    for (; exponent >= 1 && value != 0 && !std::isinf(value); exponent -= 1) value *= 10;
    for (; exponent <= -1 && value != 0 && !std::isinf(value); exponent += 1) value /= 10;
    return value;
}

std::string RealToText(Real x) {
    if (x == 0) return "0";
    if (std::isnan(x)) return "Nan";
    if (std::fabs(x) >= 1e18L) {
        // Beyond 18 integer digits the fixed form would only pad with
        // zeros (up to 4,900 of them); such values get the exponent form.
        char text[64];
        std::snprintf(text, sizeof text, "%.17Lg", x);
        return text;
    }
    bool negative = x < 0;
    Real r = std::fabs(x);
    Real p = 10;
    int e = 1;
    while (r > p) {
        p *= 10;
        ++e;
    }
    std::string text;
    int digits = 0;
    while (digits < 18 && r != 0) {
        p /= 10;
        --e;
        int d = 0;
        if (!(p > r)) {
            d = 1;
            Real q = p;
            while (r > q + p && d < 9) {
                q += p;
                ++d;
            }
            r -= q;
        }
        if (e == -1) text.push_back('.');
        text.push_back(DigitChar(Byte(d)));
        ++digits;
    }
    // Round the last digit by what is left over.
    if (r > p / 2) {
        Real carry = 1;
        std::size_t i = text.size();
        while (carry != 0 && i > 0) {
            --i;
            if (text[i] != '.') text[i] = IncrementDigit(text[i], carry);
        }
        if (carry != 0) text.insert(text.begin(), '1');
    }
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (negative) text.insert(text.begin(), '-');
    return text;
}

} // namespace qirt
