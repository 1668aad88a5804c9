#include "framework/storage/StoredValues.h"

#include "framework/core/Strings.h"

namespace corvane {

std::string StoredRealText(double value) { return FormatDouble(value, std::chars_format::general, 12); }

void StoreReal(MXMLItem& item, const std::string& name, double value) {
    item.SetAttribute(name, StoredRealText(value));
}

void StoreInteger(MXMLItem& item, const std::string& name, int64_t value) {
    item.SetAttribute(name, std::to_string(value));
}

void StoreBool(MXMLItem& item, const std::string& name, bool value) { item.SetAttribute(name, value ? "1" : "0"); }

double LoadReal(const MXMLItem& item, const std::string& name, double defaultValue) {
    const std::string* text = item.FindAttribute(name);
    return text != nullptr ? ParseDouble(*text) : defaultValue;
}

int64_t LoadInteger(const MXMLItem& item, const std::string& name, int64_t defaultValue) {
    const std::string* text = item.FindAttribute(name);
    return text != nullptr ? ParseInteger(*text) : defaultValue;
}

bool LoadBool(const MXMLItem& item, const std::string& name, bool defaultValue) {
    const std::string* text = item.FindAttribute(name);
    return text != nullptr ? ParseInteger(*text) != 0 : defaultValue;
}

}  // namespace corvane
