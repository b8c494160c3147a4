// Where a formula that does not parse goes wrong, and what the user may
// have meant. The parser only says yes or no; this reads the text left to
// right as a student would and names the first fault it meets, with its
// position in characters (from 1) and, for names and operators other tools
// use, the program's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qirt {

enum class TFormulaFaultKind {
    None,
    UnbalancedBracket, // a "(" never closed, or a ")" never opened
    UnknownName,       // a name that is no function, variable or constant
    MissingOperand,    // nothing after an operator, empty brackets, a function without its argument
    MisplacedOperator, // an operator where an operand belongs ("**", "*x[0]")
    VariableIndex,     // x[10], x[-1], x[a]
    BadNumber,         // "1.2.3", ".5"
    TextLeftOver,      // text after a whole operand: "2x[0]", "(x[0])(x[1])"
};

struct TFormulaFault {
    TFormulaFaultKind Kind = TFormulaFaultKind::None;
    int Position = 0;      // in characters, from 1
    std::size_t Byte = 0;  // the same place in the text's bytes, from 0
    std::string What;      // the name, operator, number or text at the place
    std::string Hint;      // what was meant ("tg", "^", "*"), or empty
    bool Call = false;     // an unknown name stands before "(": a function was meant
    // The formula around the place and a marker under it, two lines; long
    // formulas cut to about 60 characters around the place.
    std::string Excerpt;
};

// The first fault of a text the parser refuses (Kind None for a text it
// takes).
TFormulaFault DiagnoseFormula(std::string_view text);

// The kind's key for scripts: "unbalanced-bracket", "unknown-name",
// "missing-operand", "misplaced-operator", "variable-index", "bad-number",
// "text-left-over".
const char* FaultKindKey(TFormulaFaultKind kind);

// The fault said in one line, the pattern and its arguments for the message
// window ("позиция 9: неизвестная функция «tan» — возможно, tg").
struct TFaultLine {
    const char* Pattern = nullptr; // a marked text: %1 the position, %2 what, %3 the hint
    std::vector<std::string> Arguments;
};
TFaultLine FaultLine(const TFormulaFault& fault);

} // namespace qirt
