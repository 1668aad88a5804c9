#include "tools/render/DemoSignals.h"

#include <cmath>
#include <cstdint>

namespace render {
namespace {

constexpr double Pi = 3.14159265358979323846;

// A two-pole resonator: one formant.
struct Resonator {
    double y1 = 0, y2 = 0;
    float Run(float x, double frequency, double bandwidth, double rate) {
        const double r = std::exp(-Pi * bandwidth / rate);
        const double a1 = 2.0 * r * std::cos(2.0 * Pi * frequency / rate);
        const double a2 = -r * r;
        const double y = (1.0 - r) * x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        return static_cast<float>(y);
    }
};

}  // namespace

Audio DemoCarrier(double rate, double seconds) {
    // I - vi - IV - V in C, a second a chord, three detuned saws a note.
    static const double chords[4][3] = {
        {261.63, 329.63, 392.00}, {220.00, 261.63, 329.63}, {174.61, 220.00, 261.63}, {196.00, 246.94, 293.66}};
    static const double detune[3] = {-0.006, 0.0, 0.007};
    const size_t frames = static_cast<size_t>(rate * seconds);
    Audio audio;
    audio.sampleRate = rate;
    audio.channels.assign(2, std::vector<float>(frames));
    double phase[4][3][3] = {};
    for (size_t i = 0; i < frames; ++i) {
        const int chord = static_cast<int>(i / static_cast<size_t>(rate * 1.0)) % 4;
        double left = 0.0, right = 0.0;
        for (int n = 0; n < 3; ++n)
            for (int d = 0; d < 3; ++d) {
                double& p = phase[chord][n][d];
                p += chords[chord][n] * (1.0 + detune[d]) / rate;
                p -= std::floor(p);
                const double saw = 2.0 * p - 1.0;
                left += saw * (d == 0 ? 1.0 : 0.6);
                right += saw * (d == 2 ? 1.0 : 0.6);
            }
        audio.channels[0][i] = static_cast<float>(0.06 * left);
        audio.channels[1][i] = static_cast<float>(0.06 * right);
    }
    return audio;
}

Audio DemoModulator(double rate, double seconds) {
    // Vowel formants (F1, F2, F3) the voice glides between: a, e, i, o, u.
    static const double vowels[5][3] = {
        {730, 1090, 2440}, {530, 1840, 2480}, {270, 2290, 3010}, {570, 840, 2410}, {300, 870, 2240}};
    const size_t frames = static_cast<size_t>(rate * seconds);
    Audio audio;
    audio.sampleRate = rate;
    audio.channels.assign(1, std::vector<float>(frames));
    Resonator formants[3];
    double glottal = 0.0;
    uint32_t noise = 12345;
    const double syllable = 0.25;  // seconds
    for (size_t i = 0; i < frames; ++i) {
        const double t = i / rate;
        const double s = t / syllable;
        const int index = static_cast<int>(s) % 5;
        const int next = (index + 2) % 5;
        const double within = s - std::floor(s);
        const double glide = within < 0.6 ? 0.0 : (within - 0.6) / 0.4;
        // Pitch moves like speech, 110 to 150 Hz.
        const double pitch = 125.0 + 20.0 * std::sin(2.0 * Pi * 0.7 * t) + 8.0 * std::sin(2.0 * Pi * 3.1 * t);
        glottal += pitch / rate;
        float source = 0.0f;
        if (glottal >= 1.0) {
            glottal -= 1.0;
            source = 1.0f;
        }
        noise = noise * 1664525u + 1013904223u;
        const float white = static_cast<float>(static_cast<int32_t>(noise)) / 2147483648.0f;
        // A consonant burst opens every syllable; voicing fades in after it.
        const bool consonant = within < 0.12;
        const float excitation =
            consonant ? 0.15f * white : source * static_cast<float>(std::min(1.0, (within - 0.12) * 20.0));
        float voice = 0.0f;
        for (int f = 0; f < 3; ++f) {
            const double frequency = vowels[index][f] * (1.0 - glide) + vowels[next][f] * glide;
            const double bandwidth = consonant ? 900.0 : 80.0 + 40.0 * f;
            voice += formants[f].Run(excitation, consonant ? 3500.0 + 800.0 * f : frequency, bandwidth, rate) /
                     static_cast<float>(f + 1);
        }
        // Short pauses between phrases.
        const double phrase = std::fmod(t, 2.0);
        const float gate = phrase > 1.75 ? 0.0f : 1.0f;
        audio.channels[0][i] = 0.5f * gate * voice;
    }
    return audio;
}

}  // namespace render
