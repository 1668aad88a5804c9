#pragma once
// Parameter lists written as tables: one row per descriptor, turned into
// the descriptor with its defaults as the current value.

#include <cstdint>

#include "framework/parameters/ParameterDescriptor.h"

namespace corvane {

struct ParameterRow {
    const char* identifier;  // the storage key
    const char* name;
    const char* help;
    ParameterKind kind;
    double minimum, maximum, defaultValue;
    DisplayCallback display;
    const char* format;
    ParameterCurve curve;
    bool fullUpdate;
    bool randomizable;
};

// Enumerations take their item names from `items`.
void DeclareRow(const ParameterRow& row, ParameterDescriptor& d, const char* const* items = nullptr,
                int32_t itemCount = 0);

}  // namespace corvane
