#include "framework/storage/MStoreContext.h"

#include <cmath>
#include <cstdint>

#include "framework/core/Strings.h"
#include "framework/storage/StoredValues.h"

namespace corvane {

void MStoreContext::Integer(const std::string& name, int32_t& value, StorePolicy policy, int32_t defaultValue) {
    if (storing) {
        if (policy == StorePolicy::DefaultElided && value == defaultValue)
            item.RemoveAttribute(name);
        else
            StoreInteger(item, name, value);
        return;
    }
    int64_t read = 0;
    if (ReadInteger(item, name, read, INT32_MIN, INT32_MAX))
        value = static_cast<int32_t>(read);
    else if (policy == StorePolicy::DefaultElided)
        value = defaultValue;
}

void MStoreContext::Boolean(const std::string& name, bool& value, StorePolicy policy, bool defaultValue) {
    int32_t number = value ? 1 : 0;
    Integer(name, number, policy, defaultValue ? 1 : 0);
    if (!storing) value = number != 0;  // a save must not write what the audio thread reads
}

void MStoreContext::Real(const std::string& name, double& value, StorePolicy policy, double defaultValue) {
    if (storing) {
        if (policy == StorePolicy::DefaultElided && std::fabs(value - defaultValue) < 1e-50)
            item.RemoveAttribute(name);
        else
            StoreReal(item, name, value);
        return;
    }
    if (!ReadReal(item, name, value) && policy == StorePolicy::DefaultElided) value = defaultValue;
}

void MStoreContext::Text(const std::string& name, std::string& value) {
    if (storing)
        item.SetAttribute(name, value);
    else if (const std::string* text = item.FindAttribute(name))
        value = *text;
}

void MStoreContext::Enumeration(const std::string& name, int32_t& value, const char* const* names, int32_t count) {
    if (storing) {
        item.SetAttribute(name, value >= 0 && value < count ? names[value] : "");
        return;
    }
    const std::string* text = item.FindAttribute(name);
    if (text == nullptr) return;
    value = 0;
    for (int32_t i = 0; i < count; ++i)
        if (EqualsIgnoreCase(*text, names[i])) value = i;
}

void MStoreContext::IntegerWithLoadDefault(const std::string& name, int32_t& value, int32_t loadDefault) {
    if (!storing && item.FindAttribute(name) == nullptr) {
        value = loadDefault;
        return;
    }
    Integer(name, value, StorePolicy::AlwaysWritten);
}

void MStoreContext::BooleanWithLoadDefault(const std::string& name, bool& value, bool loadDefault) {
    int32_t number = value ? 1 : 0;
    IntegerWithLoadDefault(name, number, loadDefault ? 1 : 0);
    if (!storing) value = number != 0;
}

MXMLItem* MStoreContext::Child(const std::string& name) {
    return storing ? &item.GetOrAddSubItem(name) : item.FindSubItem(name);
}

}  // namespace corvane
