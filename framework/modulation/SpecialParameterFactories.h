#pragma once
// Teaches a parameter registry which adapters each compound object kind gets.

#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

void InstallSpecialParameterFactories(MParameterRegistry& registry);

}  // namespace corvane
