#pragma once
// The VST3 binary interface: Debian's "travesty" declarations (ISC licence,
// package dpf-source) of the published interfaces, with the layouts hosts
// rely on checked here, and the few helpers the adapter needs.

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/Utf8.h"

#include "travesty/audio_processor.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/events.h"
#include "travesty/factory.h"
#include "travesty/host.h"
#include "travesty/view.h"

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

inline int32_t ChannelCount(v3_speaker_arrangement arrangement) { return __builtin_popcountll(arrangement); }

// UTF-8 into a zero-terminated UTF-16 buffer of `capacity` units, cut to fit.
inline void CopyUtf16(const std::string& text, int16_t* out, size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < capacity;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        uint32_t cp = byte;
        size_t length = 1;
        if (byte >= 0xF0 && i + 3 < text.size()) {
            cp = ((byte & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) | ((text[i + 2] & 0x3Fu) << 6) |
                 (text[i + 3] & 0x3Fu);
            length = 4;
        } else if (byte >= 0xE0 && i + 2 < text.size()) {
            cp = ((byte & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
            length = 3;
        } else if (byte >= 0xC0 && i + 1 < text.size()) {
            cp = ((byte & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
            length = 2;
        }
        i += length;
        if (cp >= 0x10000) {
            if (n + 2 >= capacity) break;
            cp -= 0x10000;
            out[n++] = static_cast<int16_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<int16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out[n++] = static_cast<int16_t>(cp);
        }
    }
    out[n] = 0;
}

// A zero-terminated UTF-16 text as UTF-8.
inline std::string FromUtf16(const int16_t* text, size_t capacity) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; i < capacity && text[i] != 0; ++i) {
        uint32_t cp = static_cast<uint16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < capacity) {
            const uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        corvane::AppendUtf8(out, cp);
    }
    return out;
}

inline bool SameId(const v3_tuid a, const v3_tuid b) { return v3_tuid_match(a, b); }

}  // namespace Vst3
