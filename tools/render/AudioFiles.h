#pragma once
// Reading and writing sound files through libsndfile, and sample-rate
// conversion through libsamplerate.

#include <string>
#include <vector>

namespace render {

struct Audio {
    double sampleRate = 48000.0;
    std::vector<std::vector<float>> channels;  // one vector per channel
    size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Throws std::runtime_error naming the file and the reason.
Audio ReadAudio(const std::string& path);
// The format follows the extension (.wav .aiff .flac .ogg); 32-bit float WAV otherwise.
// Written to a temporary name first and renamed, so no partial file is left.
void WriteAudio(const std::string& path, const Audio& audio);
Audio Resample(const Audio& audio, double sampleRate);
// Two channels: a mono file feeds both, extra channels are dropped.
Audio AsStereo(Audio audio);

}  // namespace render
