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

// Readers: true when the attribute is present and reads strictly as a
// number (in range); a present but unreadable value is logged and ignored.
bool ReadReal(const MXMLItem& item, const std::string& name, double& value);
bool ReadInteger(const MXMLItem& item, const std::string& name, int64_t& value, int64_t minimum, int64_t maximum);

// These return the default when the attribute is absent or unreadable.
double LoadReal(const MXMLItem& item, const std::string& name, double defaultValue);
int64_t LoadInteger(const MXMLItem& item, const std::string& name, int64_t defaultValue);
bool LoadBool(const MXMLItem& item, const std::string& name, bool defaultValue);

}  // namespace corvane
