#pragma once
// How values are written as attribute texts: integers in decimal, booleans
// "0"/"1", reals with twelve significant digits.

#include <cstdint>
#include <string>

#include "framework/storage/MXMLItem.h"

namespace corvane {

std::string StoredRealText(double value);

void StoreReal(MXMLItem& item, const std::string& name, double value);
void StoreInteger(MXMLItem& item, const std::string& name, int64_t value);
void StoreBool(MXMLItem& item, const std::string& name, bool value);

// Readers return the default when the attribute is absent.
double LoadReal(const MXMLItem& item, const std::string& name, double defaultValue);
int64_t LoadInteger(const MXMLItem& item, const std::string& name, int64_t defaultValue);
bool LoadBool(const MXMLItem& item, const std::string& name, bool defaultValue);

}  // namespace corvane
