#pragma once
// The VST 2.4 binary interface as hosts use it on x86-64: the effect record,
// opcodes, events, time info, pins and speaker arrangements. Written from the
// published definitions; opcodes we do not use keep neutral numeric names.

#include <cstddef>
#include <cstdint>

namespace Vst2 {

struct AEffect;

using HostCallback = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
using DispatcherProc = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt);
using ProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
using ProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs, int32_t sampleFrames);
using SetParameterProc = void (*)(AEffect* effect, int32_t index, float value);
using GetParameterProc = float (*)(AEffect* effect, int32_t index);

constexpr int32_t FourCC(char a, char b, char c, char d) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24 |
                                static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8 | static_cast<uint8_t>(d));
}

constexpr int32_t kEffectMagic = FourCC('V', 's', 't', 'P');

struct AEffect {
    int32_t magic;
    DispatcherProc dispatcher;
    ProcessProc process;  // accumulating
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t reserved1;
    intptr_t reserved2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID;
    int32_t version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect layout");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect layout");
static_assert(offsetof(AEffect, flags) == 56, "AEffect layout");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect layout");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect layout");
static_assert(offsetof(AEffect, object) == 96, "AEffect layout");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect layout");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect layout");
static_assert(sizeof(AEffect) == 192, "AEffect layout");

enum EffectFlags : int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Host-to-plug-in opcodes.
enum EffectOpcode : int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effOpcode09 = 9,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effOpcode16 = 16,
    effOpcode17 = 17,
    effOpcode18 = 18,
    effEditIdle = 19,
    effOpcode20 = 20,
    effOpcode21 = 21,
    effOpcode22 = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effOpcode28 = 28,
    effGetProgramNameIndexed = 29,
    effOpcode30 = 30,
    effOpcode31 = 31,
    effOpcode32 = 32,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// Plug-in-to-host opcodes.
enum HostOpcode : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterCanDo = 37,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum PlugCategory : int32_t { kPlugCategUnknown = 0, kPlugCategEffect = 1 };

enum VstEventType : int32_t { kVstMidiType = 1 };

struct VstEvent {
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    char data[16];
};

struct VstMidiEvent {
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t noteLength;
    int32_t noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

static_assert(sizeof(VstEvent) == 32, "VstEvent layout");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent layout");

// A variable-length list: hosts allocate room for numEvents pointers.
struct VstEvents {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];
};

static_assert(offsetof(VstEvents, events) == 16, "VstEvents layout");

enum VstTimeInfoFlags : int32_t {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;
};

static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo layout");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo layout");

enum VstPinFlags : int32_t { kVstPinIsActive = 1, kVstPinIsStereo = 2, kVstPinUseSpeaker = 4 };

struct VstPinProperties {
    char label[64];
    int32_t flags;
    int32_t arrangementType;
    char shortLabel[8];
    char future[48];
};

static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties layout");

enum VstSpeakerArrangementType : int32_t {
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
    kSpeakerArr71Music = 23,
    kSpeakerArr80Cine = 24,
    kSpeakerArr80Music = 25,
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    char future[28];
};

struct VstSpeakerArrangement {
    int32_t type;
    int32_t numChannels;
    VstSpeakerProperties speakers[8];
};

static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties layout");
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement layout");

// Answer to effGetParameterProperties.
enum VstParameterFlags : int32_t {
    kVstParameterIsSwitch = 1 << 0,
    kVstParameterUsesIntegerMinMax = 1 << 1,
    kVstParameterUsesFloatStep = 1 << 2,
    kVstParameterUsesIntStep = 1 << 3,
    kVstParameterSupportsDisplayIndex = 1 << 4,
    kVstParameterSupportsDisplayCategory = 1 << 5,
    kVstParameterCanRamp = 1 << 6,
};

struct VstParameterProperties {
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    int32_t flags;
    int32_t minInteger;
    int32_t maxInteger;
    int32_t stepInteger;
    int32_t largeStepInteger;
    char shortLabel[8];
    int16_t displayIndex;
    int16_t category;  // 0: none, else category index + 1
    int16_t numParametersInCategory;
    int16_t reserved;
    char categoryLabel[24];
    char future[16];
};

static_assert(offsetof(VstParameterProperties, flags) == 76, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, shortLabel) == 96, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112, "VstParameterProperties layout");
static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties layout");

struct ERect {
    int16_t top, left, bottom, right;
};

// Published text buffer sizes.
constexpr size_t kVstMaxParamStrLen = 8;
constexpr size_t kVstMaxEffectNameLen = 32;
constexpr size_t kVstMaxVendorStrLen = 64;
constexpr size_t kVstMaxProductStrLen = 64;
constexpr size_t kVstMaxLabelLen = 64;
constexpr size_t kVstExtMaxParamStrLen = 32;

}  // namespace Vst2
