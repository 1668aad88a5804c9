#pragma once
// The built-in demo: a detuned sawtooth chord progression as the carrier and
// a speech-like modulator (glottal pulses through moving vowel formants, with
// noise bursts for consonants). Deterministic: the same samples every run.

#include "tools/render/AudioFiles.h"

namespace render {

Audio DemoCarrier(double sampleRate, double seconds);
Audio DemoModulator(double sampleRate, double seconds);

}  // namespace render
