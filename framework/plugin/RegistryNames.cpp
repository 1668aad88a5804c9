#include "framework/plugin/RegistryNames.h"

namespace corvane {

int32_t RegistryNames::IndexOf(const std::string& name) {
    if (byLabel_.empty()) {
        // Labels first; a plain name (from a hand-written state) where no label has it.
        for (int32_t i = registry_.TotalCount() - 1; i >= 0; --i) byName_[registry_.GetParameterName(i)] = i;
        for (int32_t i = registry_.TotalCount() - 1; i >= 0; --i) byLabel_[registry_.GetParameterLabel(i)] = i;
    }
    for (const auto* names : {&byLabel_, &byName_})
        if (auto found = names->find(name); found != names->end()) return found->second;
    return -1;
}

}  // namespace corvane
