#pragma once
// Runs carrier and modulator through the plug-in block by block, the way a
// host plays a track, and lines the output up with the inputs.

#include <functional>
#include <vector>

#include "tools/render/AudioFiles.h"
#include "tools/render/PluginHost.h"

namespace render {

struct RenderSummary {
    double seconds = 0.0;       // of audio
    double wallSeconds = 0.0;   // spent rendering
    double peak = 0.0;          // largest magnitude
    size_t clippedSamples = 0;  // above full scale
};

// Carrier and modulator stereo at one sample rate; the output runs to the
// longer of the two, with the plug-in's latency taken out. MIDI messages
// (in time order) reach the plug-in with the block that holds their frame.
Audio Render(PluginHost& plugin, const Audio& carrier, const Audio& modulator, int32_t blockSize,
             RenderSummary& summary, const std::function<void(double)>& progress = {},
             const std::vector<MidiMessage>& midi = {});

}  // namespace render
