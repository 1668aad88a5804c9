#include "tools/render/Speech.h"

#include <espeak-ng/speak_lib.h>

#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace render {
namespace {

std::vector<float>* collected = nullptr;

int Collect(short* samples, int count, espeak_EVENT*) {
    if (samples != nullptr && collected != nullptr)
        for (int i = 0; i < count; ++i) collected->push_back(static_cast<float>(samples[i]) / 32768.0f);
    return 0;  // go on
}

}  // namespace

Audio Speak(const std::string& text) {
    // The synthesiser is one per process and calls back with its samples.
    static std::mutex once;
    std::lock_guard<std::mutex> lock(once);
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) throw std::runtime_error("the speech synthesiser (espeak-ng) could not start");
    espeak_SetSynthCallback(Collect);
    if (espeak_SetVoiceByName("en") != EE_OK) throw std::runtime_error("the speech synthesiser has no English voice");
    std::vector<float> samples;
    collected = &samples;
    const espeak_ERROR result =
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    collected = nullptr;
    if (result != EE_OK || samples.empty()) throw std::runtime_error("the speech synthesiser said nothing");
    Audio audio;
    audio.sampleRate = rate;
    audio.channels.push_back(std::move(samples));
    return audio;
}

}  // namespace render
