#include "framework/storage/StoredValues.h"

#include <cstdint>

#include "framework/core/DiagnosticLog.h"
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

void ReportUnreadable(const std::string& name, const std::string& text) {
    DiagnosticLog::Write("Ignored the stored value of \"" + name + "\": \"" + text.substr(0, 40) +
                         "\" is not a number in range.");
}

bool ReadReal(const MXMLItem& item, const std::string& name, double& value) {
    const std::string* text = item.FindAttribute(name);
    if (text == nullptr) return false;
    if (ParseStoredReal(*text, value)) return true;
    ReportUnreadable(name, *text);
    return false;
}

bool ReadInteger(const MXMLItem& item, const std::string& name, int64_t& value, int64_t minimum, int64_t maximum) {
    const std::string* text = item.FindAttribute(name);
    if (text == nullptr) return false;
    if (ParseStoredInteger(*text, value, minimum, maximum)) return true;
    ReportUnreadable(name, *text);
    return false;
}

double LoadReal(const MXMLItem& item, const std::string& name, double defaultValue) {
    double value = defaultValue;
    ReadReal(item, name, value);
    return value;
}

int64_t LoadInteger(const MXMLItem& item, const std::string& name, int64_t defaultValue) {
    int64_t value = defaultValue;
    ReadInteger(item, name, value, INT32_MIN, INT32_MAX);
    return value;
}

bool LoadBool(const MXMLItem& item, const std::string& name, bool defaultValue) {
    int64_t value = defaultValue ? 1 : 0;
    ReadInteger(item, name, value, INT32_MIN, INT32_MAX);
    return value != 0;
}

}  // namespace corvane
