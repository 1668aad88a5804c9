#pragma once
// Plain records in which effects and the framework declare their parameters
// and compound objects. No virtual operations: the automation adapters give
// them behaviour.

#include <cstdint>
#include <string>

namespace corvane {

class MAudioPluginAutomationAdapter;
struct ParameterDescriptor;

// One entry for both directions: with an empty input it returns the current
// value as text; with a text it parses it, stores the physical value into the
// descriptor and returns an empty text.
using DisplayCallback = std::string (*)(ParameterDescriptor& descriptor, const std::string& input);

enum ParameterKind : uint32_t {
    ParameterKindNone = 0,
    ParameterKindFloat = 1,
    ParameterKindInteger = 2,
    ParameterKindEnum = 3,
    ParameterKindBool = 4,
    ParameterKindGroup = 5,
    ParameterKindText = 7,
};

enum ParameterCurve : uint32_t {
    CurveLinear = 0,
    CurveQuadratic = 1,
    CurveFourthPower = 2,
};

// Adapter flags: carried unchanged into the adapters and stored by effects
// built separately, so the values cannot change; their meaning beyond the
// owner they mark is not ours to define.
namespace AdapterFlags {
constexpr uint64_t None = 0;
constexpr uint64_t FrameworkParameter = 73;  // the framework's own parameters
constexpr uint64_t Saturation = 72;          // the vocoder's two saturation amounts
constexpr uint64_t BandGraph = 61;           // the vocoder's band graphs
}  // namespace AdapterFlags

// Attribute bits, by byte.
namespace ParameterBits {
constexpr uint8_t Exposed = 1 << 0;       // byte 0: only exposed descriptors get an adapter
constexpr uint8_t Interpolated = 1 << 3;  // byte 0: ramps within a block
constexpr uint8_t TargetMode = 1 << 4;    // byte 0: writes go to the target value
constexpr uint8_t FullUpdate = 1 << 5;    // byte 0: a change needs the effect's Update
constexpr uint8_t Randomizable = 1 << 6;  // byte 0
constexpr uint8_t EndsGroup = 1 << 3;     // byte 1: closes the running group
// Further bits the vocoder declares; carried unchanged for the framework.
constexpr uint8_t VocoderMarkA = 1 << 1;   // byte 0, on "BandCount"
constexpr uint8_t VocoderMarkB = 1 << 2;   // byte 0, on "Freeze"
constexpr uint8_t DetectorMark0 = 1 << 7;  // bytes 0 and 1 of the "Detector" group
constexpr uint8_t DetectorMark2 = 1 << 0;  // byte 2 of the "Detector" group
constexpr uint8_t WholeNumbers = 1 << 6;   // byte 1: randomised floats round to integers
constexpr uint8_t DefaultByte0 = Exposed | FullUpdate | Randomizable;
constexpr uint8_t DefaultByte1 = (1 << 0) | (1 << 2);
constexpr uint8_t DefaultByte2 = 1 << 2;
}  // namespace ParameterBits

struct FloatValueBlock {
    double minimum = 0.0, maximum = 1.0, defaultValue = 0.0, value = 0.0, target = 0.0;
};

struct IntegerValueBlock {
    int32_t minimum = 0, maximum = 1, defaultValue = 0, value = 0, target = 0;
};

struct EnumValueBlock {
    const char* const* itemNames = nullptr;
    int32_t itemCount = 0;
    int32_t defaultIndex = 0;
    int32_t valueIndex = 0;
};

struct GroupValueBlock {
    uint8_t* switchValue = nullptr;  // external boolean; null: the group has no host parameter
};

struct ParameterDescriptor {
    uint8_t attributes[3] = {ParameterBits::DefaultByte0, ParameterBits::DefaultByte1, ParameterBits::DefaultByte2};
    uint32_t kind = ParameterKindNone;
    std::string name;
    std::string identifier;
    std::string helpText;
    std::string pathPart2;
    std::string pathPart1;
    DisplayCallback displayCallback = nullptr;
    std::string format;
    uint64_t adapterFlags = 0;
    // Value block: the member matching the kind is the live one.
    FloatValueBlock floatValues;
    IntegerValueBlock integerValues;
    EnumValueBlock enumValues;
    uint8_t boolValue = 0;
    uint8_t boolDefault = 0;
    GroupValueBlock groupValues;
    std::string textValue;  // kind 7
    double committedValue = 0.0;
    uint32_t curve = CurveLinear;
    int32_t triplet1[3] = {0, 0, 0};
    int32_t triplet2[3] = {0, 0, 0};
    MAudioPluginAutomationAdapter* adapter = nullptr;

    bool HasBit(int byte, uint8_t bit) const { return (attributes[byte] & bit) != 0; }
    void SetBit(int byte, uint8_t bit, bool on) {
        attributes[byte] = static_cast<uint8_t>(on ? (attributes[byte] | bit) : (attributes[byte] & ~bit));
    }
    bool IsExposed() const { return HasBit(0, ParameterBits::Exposed); }
    bool IsInterpolated() const { return HasBit(0, ParameterBits::Interpolated); }
    bool IsTargetMode() const { return HasBit(0, ParameterBits::TargetMode); }
    bool NeedsFullUpdate() const { return HasBit(0, ParameterBits::FullUpdate); }
    bool IsRandomizable() const { return HasBit(0, ParameterBits::Randomizable); }
    bool EndsGroup() const { return HasBit(1, ParameterBits::EndsGroup); }
    bool WantsWholeNumbers() const { return HasBit(1, ParameterBits::WholeNumbers); }
};

// Compound objects (signal generators, ADSR, envelopes) an owner declares.
enum SpecialParameterKind : uint32_t {
    SpecialKindSignalGenerator = 0,
    SpecialKindSignalGeneratorHarmonics = 1,
    SpecialKindADSR = 2,
    SpecialKindEnvelope = 3,
    SpecialKindEnvelopeGraph = 4,
    SpecialKindNone = 5,
};

struct SpecialParameterDescriptor {
    uint32_t kind = SpecialKindNone;
    std::string name;
    std::string pathPart1;
    std::string pathPart2;
    void* object = nullptr;  // the compound object, of the class the kind names
    uint64_t adapterFlags = 0;
    uint8_t enabled = 1;
};

// Parameter values are written by host and editor threads while the audio
// thread reads them, without a lock: single fields, read and written whole.
template <class T>
inline T LoadRelaxed(const T& field) {
    T value;
    __atomic_load(&field, &value, __ATOMIC_RELAXED);
    return value;
}

template <class T>
inline void StoreRelaxed(T& field, T value) {
    __atomic_store(&field, &value, __ATOMIC_RELAXED);
}

// An enumeration's item name, or null for an index outside its items.
const char* ItemName(const ParameterDescriptor& descriptor, int32_t index);

// Physical value <-> 0..1 travel through the descriptor's curve.
double ApplyCurve(uint32_t curve, double x);
double InverseCurve(uint32_t curve, double x);

}  // namespace corvane
