#pragma once
// The VST3 binary interface: Debian's "travesty" declarations (ISC licence,
// package dpf-source) of the published interfaces, with the layouts hosts
// rely on checked here, and the few helpers the adapter needs.

#include <cstddef>
#include <cstdint>
#include <string>

#include "travesty/audio_processor.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/events.h"
#include "travesty/factory.h"
#include "travesty/host.h"

namespace Vst3 {

// The layouts hosts hand us, as the published interfaces fix them on x86-64.
static_assert(sizeof(v3_process_setup) == 24, "ProcessSetup layout");
static_assert(offsetof(v3_process_data, inputs) == 24, "ProcessData layout");
static_assert(sizeof(v3_process_data) == 80, "ProcessData layout");
static_assert(sizeof(v3_audio_bus_buffers) == 24, "AudioBusBuffers layout");
static_assert(offsetof(v3_param_info, step_count) == 772, "ParameterInfo layout");
static_assert(sizeof(v3_param_info) == 792, "ParameterInfo layout");
static_assert(offsetof(v3_bus_info, bus_type) == 268, "BusInfo layout");
static_assert(offsetof(v3_event, note_on) == 24, "Event layout");
static_assert(offsetof(v3_process_context, bpm) == 72, "ProcessContext layout");
static_assert(sizeof(v3_class_info_2) == 440, "PClassInfo2 layout");

constexpr v3_speaker_arrangement StereoArrangement = V3_SPEAKER_L | V3_SPEAKER_R;
// L, R, C, Ls, Rs, Cs, Sl, Sr: what an eight-channel bus offers.
constexpr v3_speaker_arrangement EightChannelArrangement = V3_SPEAKER_L | V3_SPEAKER_R | V3_SPEAKER_C | V3_SPEAKER_LS |
                                                           V3_SPEAKER_RS | V3_SPEAKER_S | V3_SPEAKER_SL | V3_SPEAKER_SR;
constexpr int32_t InfiniteTail = INT32_MAX;

inline int32_t ChannelCount(v3_speaker_arrangement arrangement) { return __builtin_popcountll(arrangement); }

// UTF-8 into a zero-terminated UTF-16 buffer of `capacity` units, cut to fit.
void CopyUtf16(const std::string& text, int16_t* out, size_t capacity);
// A zero-terminated UTF-16 text as UTF-8.
std::string FromUtf16(const int16_t* text, size_t capacity);

inline bool SameId(const v3_tuid a, const v3_tuid b) { return v3_tuid_match(a, b); }

}  // namespace Vst3
