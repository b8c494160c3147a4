#include "func/scan.h"

#include <array>

namespace qirt {

namespace {
// The function names and their node kinds.
struct FunctionName {
    std::string_view Name;
    Byte Kind;
};
constexpr std::array<FunctionName, 18> kFunctionNames{{
    {"sqrt", kind::Sqrt},
    {"sin", kind::Sin},
    {"cos", kind::Cos},
    {"tg", kind::Tg},
    {"ctg", kind::Ctg},
    {"sec", kind::Sec},
    {"cosec", kind::Cosec},
    {"ln", kind::Ln},
    {"abs", kind::Abs},
    {"exp", kind::Exp},
    {"arcsin", kind::Arcsin},
    {"arccos", kind::Arccos},
    {"arctg", kind::Arctg},
    {"arcctg", kind::Arcctg},
    {"lg", kind::Lg},
    {"sh", kind::Sh},
    {"ch", kind::Ch},
    {"th", kind::Th},
}};

constexpr std::string_view kOperators = "+-*/^";
} // namespace

Byte DigitValue(char c) { return c >= '0' && c <= '9' ? Byte(c - '0') : Byte(255); }

char DigitChar(Byte d) { return d <= 9 ? char('0' + d) : '-'; }

char IncrementDigit(char c, Real& carry) {
    carry = 0;
    if (c >= '0' && c <= '8') return char(c + 1);
    if (c == '9') {
        carry = 1.0L;
        return '0';
    }
    return '0';
}

Byte OperatorCode(char c) {
    auto pos = kOperators.find(c);
    return c != '\0' && pos != std::string_view::npos ? Byte(kind::Plus + pos) : Byte(0);
}

char OperatorChar(Byte code) {
    return code >= kind::Plus && code <= kind::Power ? kOperators[code - kind::Plus] : '?';
}

bool IsDigitText(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (DigitValue(c) == 255) return false;
    return true;
}

bool IsIntegerText(std::string_view text) {
    if (text == "0") return true;
    if (!text.empty() && text[0] == '-') return IsDigitText(text.substr(1));
    return IsDigitText(text);
}

bool IsNumberText(std::string_view text) {
    if (text.empty()) return false;
    auto point = text.find('.');
    if (point == std::string_view::npos) return IsIntegerText(text);
    // A second point makes the text a non-number ("5..", "1.2.").
    std::string_view fraction = text.substr(point + 1);
    if (fraction.find('.') != std::string_view::npos) return false;
    if (!IsIntegerText(text.substr(0, point))) return false;
    return fraction.empty() || IsDigitText(fraction);
}

Byte VariableNumber(std::string_view text) {
    if (text.size() < 4 || text[0] != 'x' || text[1] != '[' || text[3] != ']') return 0;
    Byte d = DigitValue(text[2]);
    return d <= 9 ? Byte(d + 1) : Byte(0);
}

bool SplitFunctionCall(std::string_view text, std::string& part, int mode) {
    part.clear();
    if (text.empty() || text.back() != ')') return false;
    auto open = text.find('(');
    if (open == std::string_view::npos) return false;
    if (mode == 1)
        part.assign(text.substr(0, open));
    else
        part.assign(text.substr(open + 1, text.size() - open - 2));
    return true;
}

bool FunctionCode(std::string_view text, Byte& code) {
    std::string name;
    if (!SplitFunctionCall(text, name, 1)) {
        code = 0;
        return false;
    }
    for (const auto& f : kFunctionNames)
        if (f.Name == name) {
            code = f.Kind;
            return true;
        }
    return code != 0;
}

std::vector<std::size_t> MatchBrackets(std::string_view text) {
    std::vector<std::size_t> match(text.size(), std::string_view::npos);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            match[open.back()] = i;
            match[i] = open.back();
            open.pop_back();
        }
    }
    return match;
}

} // namespace qirt
