#include "func/messages.h"

namespace qirt {

std::string FillArguments(const std::string& pattern, const std::vector<std::string>& arguments) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const char c = pattern[k];
        if (c == '%' && k + 1 < pattern.size() && pattern[k + 1] >= '1' && pattern[k + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[k + 1] - '1');
            if (n < arguments.size()) {
                text += arguments[n];
                ++k;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace qirt
