#include "func/diagnose.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "func/derivative.h"
#include "func/function.h"
#include "func/parser.h"
#include "func/scan.h"
#include "func/ui_text.h"

namespace qirt {

namespace {

// Names other tools use, and what this program calls them.
struct TAlias {
    std::string_view Name, Meant;
};
constexpr TAlias kAliases[] = {
    {"tan", "tg"},       {"cot", "ctg"},      {"cotan", "ctg"},   {"log", "ln"},       {"log10", "lg"},
    {"asin", "arcsin"},  {"acos", "arccos"},  {"atan", "arctg"},  {"acot", "arcctg"},  {"arctan", "arctg"},
    {"arccot", "arcctg"}, {"sinh", "sh"},     {"cosh", "ch"},     {"tanh", "th"},      {"csc", "cosec"},
    {"sqr", "sqrt"},     {"fabs", "abs"},     {"PI", "pi"},       {"Pi", "pi"},        {"E", "e"},         {"X", "x"},
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The character count of the text's first `bytes` bytes (UTF-8).
int Characters(std::string_view text, std::size_t bytes) {
    int n = 0;
    for (std::size_t i = 0; i < bytes && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++n;
    return n;
}

// The whole UTF-8 character at i.
std::string CharacterAt(std::string_view text, std::size_t i) {
    std::size_t end = i + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return std::string(text.substr(i, end - i));
}

// What other tools' names mean here; empty for none.
std::string Meant(std::string_view name) {
    for (const TAlias& a : kAliases)
        if (a.Name == name) return std::string(a.Meant);
    // A function of the program in capitals: "Sin", "LN".
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Byte code = 0;
    if (lower != name && FunctionCode(lower + "(0)", code) && code != 0) return lower;
    return {};
}

class TDiagnoser {
public:
    explicit TDiagnoser(std::string_view text) : s_(text) {}

    TFormulaFault Run() {
        if (Brackets()) return fault_;
        // Operands and operators in turn; a "(" opens a group that must hold
        // an operand, a ")" closes it.
        bool expectOperand = true;
        std::size_t lastOperator = npos;   // where the operator before an expected operand stands
        bool groupStart = true;            // the operand expected starts a text (a "-" may come first)
        int minuses = 0;                   // signs read before the operand expected
        std::vector<std::size_t> opened;   // the "(" of the open groups
        for (std::size_t i = 0; i < s_.size();) {
            const char c = s_[i];
            if (!expectOperand) {
                if (IsOperatorChar(c)) {
                    lastOperator = i;
                    expectOperand = true;
                    groupStart = false;
                    minuses = 0;
                    ++i;
                } else if (c == ')') {
                    opened.pop_back();
                    ++i;
                } else {
                    // Text after a whole operand: a "*" left out after a number.
                    const bool afterNumber = i > 0 && (IsDigit(s_[i - 1]) || s_[i - 1] == '.');
                    return Fail(TFormulaFaultKind::TextLeftOver, i, Rest(i),
                                afterNumber && (IsLetter(c) || c == '(') ? "*" : "");
                }
                continue;
            }
            if (c == '-' && minuses < (groupStart ? 2 : 1)) {
                ++minuses;
                lastOperator = i;
                ++i;
                continue;
            }
            if (IsOperatorChar(c)) {
                const bool power = c == '*' && i > 0 && s_[i - 1] == '*';
                return Fail(TFormulaFaultKind::MisplacedOperator, i, std::string(1, c), power ? "^" : "");
            }
            if (c == ')') {
                if (lastOperator != npos && (opened.empty() || lastOperator > opened.back()))
                    return Fail(TFormulaFaultKind::MissingOperand, lastOperator, std::string(1, s_[lastOperator]));
                return Fail(TFormulaFaultKind::MissingOperand, opened.empty() ? i : opened.back(), "()");
            }
            if (c == '(') {
                opened.push_back(i);
                groupStart = true;
                minuses = 0;
                lastOperator = npos;
                ++i;
                continue;
            }
            std::size_t end = i;
            if (IsDigit(c) || c == '.') {
                if (!Number(i, end)) return fault_;
            } else if (c == 'x' && i + 1 < s_.size() && s_[i + 1] == '[') {
                if (!Variable(i, end)) return fault_;
            } else if (IsLetter(c)) {
                while (end < s_.size() && (IsLetter(s_[end]) || IsDigit(s_[end]))) ++end;
                const std::string name(s_.substr(i, end - i));
                const bool call = end < s_.size() && s_[end] == '(';
                Byte code = 0;
                const bool function = FunctionCode(name + "(0)", code) && code != 0;
                if (call && function) {
                    opened.push_back(end);
                    groupStart = true;
                    minuses = 0;
                    lastOperator = npos;
                    i = end + 1;
                    continue;
                }
                if (function) return Fail(TFormulaFaultKind::MissingOperand, i, name);
                if (call || (name != "pi" && name != "e"))
                    return Fail(TFormulaFaultKind::UnknownName, i, name, Meant(name), call);
            } else {
                // A character that starts no operand: a Cyrillic "х", a space, a comma.
                const std::string what = CharacterAt(s_, i);
                return Fail(TFormulaFaultKind::UnknownName, i, what, what == "х" || what == "Х" || c == 'X' ? "x" : "");
            }
            i = end;
            expectOperand = false;
        }
        if (expectOperand) {
            if (lastOperator != npos) return Fail(TFormulaFaultKind::MissingOperand, lastOperator, std::string(1, s_[lastOperator]));
            return Fail(TFormulaFaultKind::MissingOperand, s_.size(), "");
        }
        return fault_;
    }

    // A fault of the kind at the byte, as the reading would give it.
    TFormulaFault Fault(TFormulaFaultKind kind, std::size_t at, std::string what) {
        return Fail(kind, at, std::move(what));
    }

private:
    static constexpr std::size_t npos = std::string_view::npos;

    TFormulaFault Fail(TFormulaFaultKind kind, std::size_t at, std::string what, std::string hint = {},
                       bool call = false) {
        fault_.Kind = kind;
        fault_.Byte = at;
        fault_.Position = Characters(s_, at) + 1;
        fault_.What = std::move(what);
        fault_.Hint = std::move(hint);
        fault_.Call = call;
        return fault_;
    }

    // A bracket with no partner: the first ")" never opened, else the first
    // "(" never closed.
    bool Brackets() {
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < s_.size(); ++i) {
            if (s_[i] == '(') open.push_back(i);
            if (s_[i] == ')') {
                if (open.empty()) {
                    Fail(TFormulaFaultKind::UnbalancedBracket, i, ")");
                    return true;
                }
                open.pop_back();
            }
        }
        if (open.empty()) return false;
        Fail(TFormulaFaultKind::UnbalancedBracket, open.front(), "(");
        return true;
    }

    // The operand text from i up to the next operator or bracket (at most
    // 20 characters), for the message.
    std::string Rest(std::size_t i) const {
        std::size_t end = i;
        while (end < s_.size() && end - i < 20 && !IsOperatorChar(s_[end]) && s_[end] != '(' && s_[end] != ')') ++end;
        if (end == i) end = i + CharacterAt(s_, i).size();
        return std::string(s_.substr(i, end - i));
    }

    // digits ["." digits] [("e"|"E") ["+"|"-"] digits]
    bool Number(std::size_t i, std::size_t& end) {
        end = i;
        while (end < s_.size() && (IsDigit(s_[end]) || s_[end] == '.')) ++end;
        std::string_view mantissa = s_.substr(i, end - i);
        if (!IsNumberText(mantissa)) {
            Fail(TFormulaFaultKind::BadNumber, i, std::string(mantissa));
            return false;
        }
        if (end < s_.size() && (s_[end] == 'e' || s_[end] == 'E')) {
            std::size_t k = end + 1;
            if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) ++k;
            if (k < s_.size() && IsDigit(s_[k])) {
                while (k < s_.size() && IsDigit(s_[k])) ++k;
                end = k;
                // Beyond the range of the extended reals, either way.
                long double value;
                const auto [stop, fault] = std::from_chars(s_.data() + i, s_.data() + end, value);
                if (fault != std::errc() || stop != s_.data() + end) {
                    Fail(TFormulaFaultKind::BadNumber, i, std::string(s_.substr(i, end - i)));
                    return false;
                }
            }
        }
        return true;
    }

    // "x[" one digit "]"
    bool Variable(std::size_t i, std::size_t& end) {
        const std::size_t close = s_.find(']', i);
        const std::size_t stop = std::min(close == npos ? s_.size() : close + 1, i + 12);
        if (close != npos && close == i + 3 && IsDigit(s_[i + 2])) {
            end = i + 4;
            return true;
        }
        Fail(TFormulaFaultKind::VariableIndex, i, std::string(s_.substr(i, stop - i)));
        return false;
    }

    std::string_view s_;
    TFormulaFault fault_;
};

} // namespace

namespace {
std::string FaultExcerpt(std::string_view text, const TFormulaFault& f);
}

TFormulaFault DiagnoseFormula(std::string_view text) {
    // What the parser takes has no fault, however its signs are placed
    // (after "+" it takes "--x[0]", after "*" not).
    bool used[10] = {};
    if (TreeNode* tree = ParseExpression(text, used)) {
        FreeTree(tree);
        return {};
    }
    TFormulaFault fault = TDiagnoser(text).Run();
    if (fault.Kind == TFormulaFaultKind::None) {
        // A run of signs the reading above lets pass: the second sign is
        // the one where an operand belongs.
        const std::size_t signs = text.find("--");
        fault = signs != std::string_view::npos
                    ? TDiagnoser(text).Fault(TFormulaFaultKind::MisplacedOperator, signs + 1, "-")
                    : TDiagnoser(text).Fault(TFormulaFaultKind::TextLeftOver, 0, std::string(text.substr(0, 20)));
    }
    fault.Excerpt = FaultExcerpt(text, fault);
    return fault;
}

TFormulaCheck CheckFormula(std::string_view text) {
    TFormulaCheck check;
    TFunction F;
    BuildTree(F, text, false);
    if (F.ErrorCode != error::None) {
        check.Fault = F.Fault;
        return check;
    }
    for (int i = 0; i < 10; ++i) {
        check.Used[i] = F.VariableUsed[i];
        if (F.VariableUsed[i]) check.Highest = i;
    }
    if (check.Highest >= 0) {
        // The derivatives as a run builds them: in the variables up to the highest.
        SetVariableCount(F, static_cast<Byte>(check.Highest + 1));
        BuildDerivativeObjects(F);
        check.Symbolic = F.ErrorCode == error::None;
    }
    return check;
}

const char* FaultKindKey(TFormulaFaultKind kind) {
    switch (kind) {
    case TFormulaFaultKind::None: return "none";
    case TFormulaFaultKind::UnbalancedBracket: return "unbalanced-bracket";
    case TFormulaFaultKind::UnknownName: return "unknown-name";
    case TFormulaFaultKind::MissingOperand: return "missing-operand";
    case TFormulaFaultKind::MisplacedOperator: return "misplaced-operator";
    case TFormulaFaultKind::VariableIndex: return "variable-index";
    case TFormulaFaultKind::BadNumber: return "bad-number";
    case TFormulaFaultKind::TextLeftOver: return "text-left-over";
    }
    return "none";
}

TFaultLine FaultLine(const TFormulaFault& f) {
    const bool hint = !f.Hint.empty();
    const char* pattern = nullptr;
    switch (f.Kind) {
    case TFormulaFaultKind::None: return {};
    case TFormulaFaultKind::UnbalancedBracket:
        pattern = f.What == "(" ? UI_TEXT("qirt", "позиция %1: скобка «(» не закрыта")
                                : UI_TEXT("qirt", "позиция %1: скобка «)» не была открыта");
        break;
    case TFormulaFaultKind::UnknownName:
        if (f.Call)
            pattern = hint ? UI_TEXT("qirt", "позиция %1: неизвестная функция «%2» — возможно, %3")
                           : UI_TEXT("qirt", "позиция %1: неизвестная функция «%2»");
        else
            pattern = hint ? UI_TEXT("qirt", "позиция %1: неизвестное имя «%2» — возможно, %3")
                           : UI_TEXT("qirt", "позиция %1: неизвестное имя «%2»");
        break;
    case TFormulaFaultKind::MissingOperand:
        if (f.What == "()")
            pattern = UI_TEXT("qirt", "позиция %1: в скобках ничего нет");
        else if (f.What.empty())
            pattern = UI_TEXT("qirt", "позиция %1: формула пуста");
        else if (!IsOperatorChar(f.What[0]))
            pattern = UI_TEXT("qirt", "позиция %1: у функции «%2» нет аргумента в скобках");
        else
            pattern = UI_TEXT("qirt", "позиция %1: после «%2» нет операнда");
        break;
    case TFormulaFaultKind::MisplacedOperator:
        pattern = hint ? UI_TEXT("qirt", "позиция %1: знак «%2» там, где ожидается операнд — возможно, %3")
                       : UI_TEXT("qirt", "позиция %1: знак «%2» там, где ожидается операнд");
        break;
    case TFormulaFaultKind::VariableIndex:
        pattern = UI_TEXT("qirt", "позиция %1: «%2» — переменные называются x[0] … x[9]");
        break;
    case TFormulaFaultKind::BadNumber: pattern = UI_TEXT("qirt", "позиция %1: число «%2» не читается"); break;
    case TFormulaFaultKind::TextLeftOver:
        pattern = hint ? UI_TEXT("qirt", "позиция %1: лишний текст «%2» — возможно, пропущен знак «%3»")
                       : UI_TEXT("qirt", "позиция %1: лишний текст «%2» — ожидается знак операции");
        break;
    }
    return {pattern, {std::to_string(f.Position), f.What, f.Hint}};
}

namespace {
std::string FaultExcerpt(std::string_view text, const TFormulaFault& f) {
    if (f.Kind == TFormulaFaultKind::None) return {};
    // About 30 characters either side, cut at character boundaries.
    constexpr int kSide = 30;
    auto back = [&](std::size_t at, int n) {
        while (at > 0 && n > 0) {
            --at;
            if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) --n;
        }
        return at;
    };
    auto forward = [&](std::size_t at, int n) {
        while (at < text.size() && n > 0) {
            ++at;
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
            --n;
        }
        return at;
    };
    const std::size_t at = std::min(f.Byte, text.size());
    const std::size_t from = back(at, kSide), to = forward(at, kSide);
    std::string line;
    if (from > 0) line += "…";
    line += text.substr(from, to - from);
    if (to < text.size()) line += "…";
    const int column = (from > 0 ? 1 : 0) + Characters(text.substr(from), at - from);
    return line + "\n" + std::string(static_cast<std::size_t>(column), ' ') + "^";
}
} // namespace

} // namespace qirt
