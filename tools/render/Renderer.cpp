#include "tools/render/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace render {

Audio Render(PluginHost& plugin, const Audio& carrier, const Audio& modulator, int32_t blockSize,
             RenderSummary& summary, const std::function<void(double)>& progress,
             const std::vector<MidiMessage>& midi) {
    const size_t length = std::max(carrier.Frames(), modulator.Frames());
    const size_t latency = static_cast<size_t>(std::max(plugin.Latency(), 0));
    const size_t total = length + latency;
    const size_t block = static_cast<size_t>(std::max(blockSize, 1));

    std::vector<float> in[4], out[2];
    for (auto& b : in) b.assign(block, 0.0f);
    for (auto& b : out) b.assign(block, 0.0f);
    Audio result;
    result.sampleRate = carrier.sampleRate;
    result.channels.assign(2, std::vector<float>(length));

    const auto start = std::chrono::steady_clock::now();
    size_t nextMidi = 0;
    for (size_t at = 0; at < total; at += block) {
        const size_t n = std::min(block, total - at);
        for (; nextMidi < midi.size() && static_cast<size_t>(std::max<int64_t>(midi[nextMidi].frame, 0)) < at + n;
             ++nextMidi) {
            MidiMessage message = midi[nextMidi];
            message.frame = std::max<int64_t>(message.frame - static_cast<int64_t>(at), 0);
            plugin.QueueMidi(message);
        }
        auto fill = [&](std::vector<float>& buffer, const std::vector<float>& source) {
            for (size_t i = 0; i < n; ++i) buffer[i] = at + i < source.size() ? source[at + i] : 0.0f;
        };
        fill(in[0], carrier.channels[0]);
        fill(in[1], carrier.channels[1]);
        fill(in[2], modulator.channels[0]);
        fill(in[3], modulator.channels[1]);
        float* const carrierChannels[2] = {in[0].data(), in[1].data()};
        float* const modulatorChannels[2] = {in[2].data(), in[3].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        plugin.Process(carrierChannels, modulatorChannels, outputs, static_cast<int32_t>(n));
        // The first `latency` samples are the plug-in's delay, not the music.
        for (size_t i = 0; i < n; ++i) {
            const size_t position = at + i;
            if (position < latency) continue;
            for (int c = 0; c < 2; ++c) result.channels[static_cast<size_t>(c)][position - latency] = out[c][i];
        }
        if (progress) progress(static_cast<double>(at + n) / static_cast<double>(total));
    }
    summary.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.seconds = static_cast<double>(length) / carrier.sampleRate;
    for (const auto& channel : result.channels)
        for (float s : channel) {
            summary.peak = std::max(summary.peak, static_cast<double>(std::fabs(s)));
            if (std::fabs(s) > 1.0f) ++summary.clippedSamples;
        }
    return result;
}

}  // namespace render
