#include "random_formula.h"

namespace qirt::testing {

std::string RandomFormula::Number() {
    static const char* numbers[] = {"1", "2", "3", "0.5", "10", "2.", "0", "007", "1.25", "100"};
    return numbers[Pick(10)];
}

std::string RandomFormula::Operand(int depth) {
    int choice = Pick(depth <= 0 ? 2 : 5);
    switch (choice) {
    case 0: return "x[" + std::to_string(Pick(options_.Variables)) + "]";
    case 1: return Number();
    case 2: return "(" + Expression(depth - 1) + ")";
    case 3: {
        static const char* all[] = {"sin", "cos",    "ln",     "sqrt",  "tg",     "ctg",
                                    "sec", "cosec",  "abs",    "exp",   "arcsin", "arccos",
                                    "arctg", "arcctg", "lg",   "sh",    "ch",     "th"};
        static const char* differentiable[] = {"sin",    "cos",    "ln", "exp", "arcsin", "arccos",
                                               "arctg", "arcctg", "lg", "sh",  "ch",     "th"};
        std::string name = options_.OnlyDifferentiable ? differentiable[Pick(12)] : all[Pick(18)];
        return name + "(" + Expression(depth - 1) + ")";
    }
    default: return "-" + Operand(depth - 1);
    }
}

std::string RandomFormula::Expression(int depth) {
    std::string text = Operand(depth);
    int terms = Pick(4);
    for (int k = 0; k < terms; ++k) {
        static const char ops[] = "+-*/^";
        char op = ops[Pick(5)];
        if (op == '^' && options_.OnlyDifferentiable) {
            static const char* exponents[] = {"2", "3", "(0.5)", "1", "0"};
            text += std::string("^") + exponents[Pick(5)];
            continue;
        }
        text += op;
        text += Operand(depth);
    }
    return text;
}

std::string RandomFormula::Mangled(std::string text) {
    static const char pieces[] = "()+-*/^x[]0.e ";
    int edits = 1 + Pick(3);
    for (int k = 0; k < edits && !text.empty(); ++k) {
        std::size_t at = std::size_t(Pick(int(text.size())));
        switch (Pick(3)) {
        case 0: text.erase(at, 1); break;
        case 1: text.insert(at, 1, pieces[Pick(sizeof(pieces) - 1)]); break;
        default: text[at] = pieces[Pick(sizeof(pieces) - 1)]; break;
        }
    }
    return text;
}

std::string RandomFormula::Next() {
    std::string text = Expression(options_.MaxDepth);
    return options_.Mangle ? Mangled(text) : text;
}

} // namespace qirt::testing
