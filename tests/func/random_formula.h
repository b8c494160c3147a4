// Random formula texts for differential tests: mostly well formed, with
// unary minus, brackets and functions, and optionally mangled by a few
// random edits so that malformed texts are covered as well.
#pragma once

#include <random>
#include <string>

namespace qirt::testing {

struct FormulaOptions {
    int MaxDepth = 4;
    int Variables = 3;           // x[0] ... x[Variables-1]
    bool OnlyDifferentiable = false; // no sqrt, tg, ctg, sec, cosec, abs; constant exponents
    bool Mangle = false;
};

class RandomFormula {
public:
    explicit RandomFormula(unsigned seed, FormulaOptions options = {})
        : rng_(seed), options_(options) {}
    std::string Next();

private:
    std::string Expression(int depth);
    std::string Operand(int depth);
    std::string Number();
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::string Mangled(std::string text);

    std::mt19937 rng_;
    FormulaOptions options_;
};

} // namespace qirt::testing
