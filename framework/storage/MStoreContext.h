#pragma once
// One two-way store operation per object: the same call writes a value
// (storing) or reads it back (loading), with one name, type and default.

#include <cstdint>
#include <string>

#include "framework/storage/MXMLItem.h"

namespace corvane {

enum class StorePolicy {
    DefaultElided,  // removed when at its default; missing on load: the default
    AlwaysWritten,  // always written; missing on load: unchanged
};

class MStoreContext {
public:
    MStoreContext(bool storing, MXMLItem& item) : storing(storing), item(item) {}

    void Integer(const std::string& name, int32_t& value, StorePolicy policy, int32_t defaultValue = 0);
    void Boolean(const std::string& name, bool& value, StorePolicy policy, bool defaultValue = false);
    void Real(const std::string& name, double& value, StorePolicy policy, double defaultValue = 0.0);
    void Text(const std::string& name, std::string& value);
    // Stored by display name; loaded case-insensitively, an unknown name gives 0.
    void Enumeration(const std::string& name, int32_t& value, const char* const* names, int32_t count);

    // Always-written values that take a default when missing on load.
    void IntegerWithLoadDefault(const std::string& name, int32_t& value, int32_t loadDefault);
    void BooleanWithLoadDefault(const std::string& name, bool& value, bool loadDefault);

    // Storing: get-or-add the child. Loading: the child, or null when missing.
    MXMLItem* Child(const std::string& name);
    // Runs `body` on the child's context; on load nothing happens when it is missing.
    template <class Body>
    void InChild(const std::string& name, Body&& body) {
        if (MXMLItem* element = Child(name)) {
            MStoreContext child(storing, *element);
            body(child);
        }
    }

    const bool storing;
    MXMLItem& item;
};

}  // namespace corvane
