#pragma once
// Reading and writing sound files through libsndfile, and sample-rate
// conversion through libsamplerate.

#include <string>
#include <vector>

#include "platform/ReplacingFile.h"

namespace render {

struct Audio {
    double sampleRate = 48000.0;
    std::vector<std::vector<float>> channels;  // one vector per channel
    size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Throws std::runtime_error naming the file and the reason. What can still be
// rendered but is not what the file promised (channels beyond two, fewer
// frames than its header says) adds a one-line warning.
Audio ReadAudio(const std::string& path, std::vector<std::string>& warnings);
// Into the file's temporary path; the caller commits it, so no partial file
// is ever left. The format follows the target's extension (.wav .aiff .flac
// .ogg); 32-bit float WAV otherwise.
void WriteAudio(corvane::ReplacingFile& file, const Audio& audio);
// A whole file at once (the demo's inputs).
void WriteAudio(const std::string& path, const Audio& audio);
// Throws unless the file can be written (a link or a device is never replaced).
void CheckWritable(const corvane::ReplacingFile& file);
void Commit(corvane::ReplacingFile& file);
Audio Resample(const Audio& audio, double sampleRate);
// Two channels: a mono file feeds both, extra channels are dropped.
Audio AsStereo(Audio audio);

}  // namespace render
