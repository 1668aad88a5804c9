#include "entry/interface/ParameterStorage.h"

#include <algorithm>
#include <string>

#include "framework/storage/StoredValues.h"

namespace corvane {
namespace {

std::string AttributeName(const ParameterDescriptor& descriptor) { return "parameter" + descriptor.identifier; }

int32_t LoadEnumIndex(const ParameterDescriptor& descriptor, const MXMLItem& element) {
    const std::string name = AttributeName(descriptor);
    const EnumValueBlock& e = descriptor.enumValues;
    if (const std::string* text = element.FindAttribute(name + "Enum"))
        for (int32_t index = 0; index < e.itemCount; ++index)
            if (const char* item = ItemName(descriptor, index); item != nullptr && *text == item) return index;
    // Older states stored the index.
    const int64_t index = LoadInteger(element, name, e.defaultIndex);
    return static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(index, e.itemCount - 1)));
}

}  // namespace

void StoreParameter(const ParameterDescriptor& descriptor, MXMLItem& element) {
    const std::string name = AttributeName(descriptor);
    switch (descriptor.kind) {
        case ParameterKindFloat:
            StoreReal(element, name, LoadRelaxed(descriptor.floatValues.value));
            break;
        case ParameterKindInteger:
            StoreInteger(element, name, LoadRelaxed(descriptor.integerValues.value));
            break;
        case ParameterKindEnum:
            if (const char* item = ItemName(descriptor, LoadRelaxed(descriptor.enumValues.valueIndex)))
                element.SetAttribute(name + "Enum", item);
            break;
        case ParameterKindBool:
            StoreBool(element, name, LoadRelaxed(descriptor.boolValue) != 0);
            break;
        case ParameterKindGroup:
            if (descriptor.groupValues.switchValue != nullptr)
                StoreBool(element, name, *descriptor.groupValues.switchValue != 0);
            break;
        case ParameterKindText:
            element.SetAttribute(name, descriptor.textValue);
            break;
        default:
            break;
    }
}

void LoadParameter(ParameterDescriptor& descriptor, const MXMLItem& element) {
    const std::string name = AttributeName(descriptor);
    switch (descriptor.kind) {
        // Values are read by other threads meanwhile (hosts, the audio thread): written whole.
        case ParameterKindFloat: {
            FloatValueBlock& f = descriptor.floatValues;
            StoreRelaxed(f.value, std::min(std::max(LoadReal(element, name, f.defaultValue), f.minimum), f.maximum));
            break;
        }
        case ParameterKindInteger: {
            IntegerValueBlock& i = descriptor.integerValues;
            const int64_t value = LoadInteger(element, name, i.defaultValue);
            StoreRelaxed(i.value,
                         static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, i.minimum), i.maximum)));
            break;
        }
        case ParameterKindEnum:
            StoreRelaxed(descriptor.enumValues.valueIndex, LoadEnumIndex(descriptor, element));
            break;
        case ParameterKindBool:
            StoreRelaxed(descriptor.boolValue,
                         static_cast<uint8_t>(LoadBool(element, name, descriptor.boolDefault != 0) ? 1 : 0));
            break;
        case ParameterKindGroup:
            if (descriptor.groupValues.switchValue != nullptr)
                *descriptor.groupValues.switchValue = LoadBool(element, name, false) ? 1 : 0;
            break;
        case ParameterKindText:
            descriptor.textValue = element.GetAttribute(name, descriptor.textValue);
            break;
        default:
            break;
    }
}

}  // namespace corvane
