#pragma once
// How one descriptor is written to and read from the settings element:
// attribute "parameter" + identifier, by kind.

#include "framework/parameters/ParameterDescriptor.h"
#include "framework/storage/MXMLItem.h"

namespace corvane {

void StoreParameter(const ParameterDescriptor& descriptor, MXMLItem& element);
// A missing attribute restores the default; loaded values are limited to the range.
void LoadParameter(ParameterDescriptor& descriptor, const MXMLItem& element);

}  // namespace corvane
