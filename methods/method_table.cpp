#include "methods/method_table.h"

namespace qirt {

int MethodIndex(std::string_view name) {
    for (int k = 0; k < kMethodCount; ++k)
        if (name == kMethods[k].Name) return k;
    return -1;
}

int MethodIndex(int family, int variant) {
    for (int k = 0; k < kMethodCount; ++k)
        if (kMethods[k].Family == family && kMethods[k].Variant == variant) return k;
    return -1;
}

} // namespace qirt
