#pragma once
// Finds a parameter by the label hosts show, so that tests do not hard-code
// global indexes that move as the framework registers more.

#include <cstdint>
#include <string>

#include "framework/parameters/MParameterRegistry.h"

namespace sonvera_test {

inline int32_t ParameterIndex(corvane::MParameterRegistry& registry, const std::string& label) {
    for (int32_t i = 0; i < registry.TotalCount(); ++i)
        if (registry.GetParameterLabel(i) == label) return i;
    return -1;
}

}  // namespace sonvera_test
