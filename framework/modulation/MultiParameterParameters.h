#pragma once
// A multiparameter's host parameters: "MultiParameter n", whose changes
// apply it and whose text follows its value display mode, then its first
// target's Value, MaxValue and Range.

#include <cstdint>

#include "framework/modulation/MMultiParameter.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

void RegisterMultiParameter(MMultiParameter& multi, MParameterRegistry& registry);

}  // namespace corvane
