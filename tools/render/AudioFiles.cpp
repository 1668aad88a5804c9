#include "tools/render/AudioFiles.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace render {
namespace {

std::string Extension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

int FormatFor(const std::string& path) {
    const std::string ext = Extension(path);
    if (ext == "aiff" || ext == "aif") return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    if (ext == "ogg" || ext == "oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

}  // namespace

void CheckWritable(const corvane::ReplacingFile& file) {
    if (!file.Ok()) throw std::runtime_error(file.Error());
}

void Commit(corvane::ReplacingFile& file) {
    if (!file.Commit()) throw std::runtime_error(file.Error());
}

Audio ReadAudio(const std::string& path, std::vector<std::string>& warnings) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        throw std::runtime_error(path + " holds no audio");
    }
    // libsndfile trims the length to what the file holds and notes in its log
    // where a header promised more ("should be").
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    const bool shorterThanPromised = std::string(log).find("should be") != std::string::npos;
    std::vector<float> interleaved(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    if (shorterThanPromised || got < info.frames)
        warnings.push_back(path + " holds fewer frames than its header promises; rendering the " + std::to_string(got) +
                           " it holds");
    if (info.channels > 2)
        warnings.push_back(path + " has " + std::to_string(info.channels) + " channels; only the first two are used");
    Audio audio;
    audio.sampleRate = info.samplerate;
    audio.channels.assign(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(got)));
    for (sf_count_t i = 0; i < got; ++i)
        for (int c = 0; c < info.channels; ++c)
            audio.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] =
                interleaved[static_cast<size_t>(i) * static_cast<size_t>(info.channels) + static_cast<size_t>(c)];
    return audio;
}

void WriteAudio(corvane::ReplacingFile& target, const Audio& audio) {
    CheckWritable(target);
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    info.format = FormatFor(target.Path());
    SNDFILE* file = sf_open(target.TemporaryPath().c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + target.Path() + ": " + sf_strerror(nullptr));
    const size_t frames = audio.Frames();
    std::vector<float> interleaved(frames * audio.channels.size());
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < audio.channels.size(); ++c)
            interleaved[i * audio.channels.size() + c] = audio.channels[c][i];
    const sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    const std::string reason = sf_strerror(file);
    const bool failed = written != static_cast<sf_count_t>(frames) || sf_error(file) != SF_ERR_NO_ERROR;
    if (sf_close(file) != 0 || failed) throw std::runtime_error("cannot write " + target.Path() + ": " + reason);
}

void WriteAudio(const std::string& path, const Audio& audio) {
    corvane::ReplacingFile file(path);
    WriteAudio(file, audio);
    Commit(file);
}

Audio Resample(const Audio& audio, double sampleRate) {
    if (audio.sampleRate == sampleRate || audio.Frames() == 0) {
        Audio same = audio;
        same.sampleRate = sampleRate;
        return same;
    }
    const double ratio = sampleRate / audio.sampleRate;
    Audio out;
    out.sampleRate = sampleRate;
    for (const std::vector<float>& channel : audio.channels) {
        std::vector<float> converted(static_cast<size_t>(channel.size() * ratio) + 16);
        SRC_DATA data{};
        data.data_in = channel.data();
        data.input_frames = static_cast<long>(channel.size());
        data.data_out = converted.data();
        data.output_frames = static_cast<long>(converted.size());
        data.src_ratio = ratio;
        const int error = src_simple(&data, SRC_SINC_BEST_QUALITY, 1);
        if (error != 0) throw std::runtime_error(std::string("sample-rate conversion failed: ") + src_strerror(error));
        converted.resize(static_cast<size_t>(data.output_frames_gen));
        out.channels.push_back(std::move(converted));
    }
    return out;
}

Audio AsStereo(Audio audio) {
    if (audio.channels.empty()) audio.channels.resize(1);
    if (audio.channels.size() == 1) audio.channels.push_back(audio.channels[0]);
    audio.channels.resize(2);
    return audio;
}

}  // namespace render
