#pragma once
// What an effect hands the framework with command 2: its descriptors, its
// compound objects, and how many input buses it has.

#include <cstdint>

#include "framework/parameters/ParameterDescriptor.h"

namespace corvane {

// The effect side of change notification; MPlugin implements it.
class MParameterEffect {
public:
    virtual void ParameterChanged(int32_t index) = 0;

protected:
    ~MParameterEffect() = default;
};

// A graph item that the effect's full randomisation may reshape.
struct RandomizableGraphItem {
    int32_t mode = 0;
    int32_t divisor = 1;
    void (*randomize)(void* item) = nullptr;
    void* item = nullptr;
};

namespace ParameterTableFlags {
constexpr uint32_t SecondListsPresent = 1 << 0;  // the second descriptor lists are filled in
constexpr uint32_t SecondLevelDisplay = 1 << 1;  // a second level display is fed after each block
}  // namespace ParameterTableFlags

struct ParameterTable {
    ParameterDescriptor* parameters = nullptr;
    int32_t parameterCount = 0;
    SpecialParameterDescriptor* specials = nullptr;
    int32_t specialCount = 0;
    ParameterDescriptor* secondParameters = nullptr;
    int32_t secondParameterCount = 0;
    SpecialParameterDescriptor* secondSpecials = nullptr;
    int32_t secondSpecialCount = 0;
    uint32_t flags = 0;
    int32_t inputBusCount = 1;  // 1 without side-chain, 2 with one side-chain bus
    RandomizableGraphItem* graphItems = nullptr;
    int32_t graphItemCount = 0;
};

}  // namespace corvane
