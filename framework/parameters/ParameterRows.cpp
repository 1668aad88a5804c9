#include "framework/parameters/ParameterRows.h"

namespace corvane {

void DeclareRow(const ParameterRow& row, ParameterDescriptor& d, const char* const* items, int32_t itemCount) {
    d = ParameterDescriptor();
    d.kind = row.kind;
    d.identifier = row.identifier;
    d.name = row.name;
    d.helpText = row.help;
    d.displayCallback = row.display;
    d.format = row.format;
    d.curve = row.curve;
    d.SetBit(0, ParameterBits::FullUpdate, row.fullUpdate);
    d.SetBit(0, ParameterBits::Randomizable, row.randomizable);
    switch (row.kind) {
        case ParameterKindFloat:
            d.floatValues = {row.minimum, row.maximum, row.defaultValue, row.defaultValue, row.defaultValue};
            d.committedValue = row.defaultValue;
            break;
        case ParameterKindInteger: {
            const auto value = static_cast<int32_t>(row.defaultValue);
            d.integerValues = {static_cast<int32_t>(row.minimum), static_cast<int32_t>(row.maximum), value, value,
                               value};
            break;
        }
        case ParameterKindEnum:
            d.enumValues = {items, itemCount, static_cast<int32_t>(row.defaultValue),
                            static_cast<int32_t>(row.defaultValue)};
            break;
        case ParameterKindBool:
            d.boolValue = d.boolDefault = row.defaultValue != 0.0;
            break;
        default:
            break;
    }
}

}  // namespace corvane
