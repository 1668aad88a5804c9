#pragma once
// A naive, band-by-band vocoder written straight from the algorithm, with its
// own filter and detector state: the effect's optimised processing must
// match it bit for bit. It borrows the effect's designed bank (the design is
// tested on its own) and reads the same parameters.

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/MAudioFilters.h"
#include "effect/vocoder/SonveraAudioEffectPlugin.h"

namespace sonvera_test {

class ReferenceVocoder {
public:
    explicit ReferenceVocoder(sonvera::SonveraAudioEffectPlugin& effect) : effect_(effect) {
        for (auto& channel : channels_) channel.bands.resize(sonvera::MaxBands);
        previousRatio_ = Value(sonvera::ParamRatio);
    }

    // One mono-or-stereo block without LR encoding, swap, saturation, dry
    // signals or volume: outputs[c] receives the summed, normalised bands.
    void Process(const std::vector<const float*>& carriers, const std::vector<const float*>& modulators,
                 const std::vector<float*>& outputs, int n) {
        using namespace sonvera;
        const VocoderBank& bank = effect_.Bank();
        const int bands = bank.bandCount;
        std::vector<float> ratio(n);
        const double now = Value(ParamRatio);
        for (int i = 0; i < n; ++i)
            ratio[i] = std::fabs(now - previousRatio_) < 1e-50
                           ? static_cast<float>(now)
                           : static_cast<float>(previousRatio_ + i * (now - previousRatio_) / n);
        previousRatio_ = now;
        const int mode = effect_.Parameter(ParamMode).enumValues.valueIndex;
        const bool needsCarrier = mode != ModeVocoder && mode != ModeRingModulation;
        const bool freeze = effect_.Parameter(ParamFreeze).boolValue != 0;
        const double t0 = Value(ParamGate) * Value(ParamGate);
        const double r0 = Value(ParamGateRatio);

        for (size_t c = 0; c < outputs.size(); ++c) {
            Channel& channel = channels_[c];
            for (int b = 0; b < bands; ++b) {
                const VocoderBand& design = bank.bands[b];
                BandState& band = channel.bands[b];
                band.car.assign(n, 0.0f);
                band.mod.assign(n, 0.0f);
                MAudioFilters::RunCascade(design.carrierSections, design.carrierOrder, band.carStages, carriers[c],
                                          band.car.data(), n);
                MAudioFilters::RunCascade(design.modulatorSections, design.modulatorOrder, band.modStages,
                                          modulators[c], band.mod.data(), n);
                band.modEnv = Detect(band.mod, bank.modulatorGain[b], b, freeze, band.modDetector);
                if (t0 - 1e-20 > 0) {
                    const float t = static_cast<float>(t0 * bank.gateThresholdFactor[b]);
                    const float r = static_cast<float>(r0 * bank.gateRatioFactor[b]);
                    for (float& v : band.modEnv) {
                        if (v < t) v = r * v + (t - r * t);
                        if (v < 0.0f) v = 0.0f;
                    }
                }
                const float w = std::min(1.0f, static_cast<float>(Value(ParamWhitening) + bank.whiteningOffset[b]));
                if (needsCarrier || w > 0.0001f) {
                    band.carEnv = Detect(band.car, bank.carrierGain[b], b, freeze, band.carDetector);
                    if (w > 0.0001f)
                        for (int i = 0; i < n; ++i)
                            band.car[i] = band.car[i] / std::max(w * band.carEnv[i] + (1.0f - w), 0.001f);
                }
            }
            float* out = outputs[c];
            std::fill(out, out + n, 0.0f);
            for (int b = 0; b < bands; ++b) {
                const VocoderBand& design = bank.bands[b];
                if (design.sourceCount == 0) continue;
                const BandState& band = channel.bands[b];
                const float level = static_cast<float>(bank.bandLevel[b] * bank.bandLevel[b]);
                const float offset = static_cast<float>(bank.ratioOffset[b]);
                for (int i = 0; i < n; ++i) {
                    float em = channel.bands[design.sources[0]].modEnv[i];
                    if (design.sourceCount > 1) {
                        for (int k = 1; k < design.sourceCount; ++k) em += channel.bands[design.sources[k]].modEnv[i];
                        em *= 1.0f / static_cast<float>(design.sourceCount);
                    }
                    const std::vector<float>& sourceCarEnv = channel.bands[design.sources[0]].carEnv;
                    const float ec = sourceCarEnv.empty() ? 0.0f : sourceCarEnv[i];
                    const float rho = std::min(std::max(ratio[i] + offset, 0.0f), 1.0f);
                    out[i] += Contribution(mode, level, band.car[i], band.mod[i], em, ec, rho);
                }
            }
            for (int i = 0; i < n; ++i) out[i] *= bank.outputNormaliser;
        }
    }

    static float Contribution(int mode, float L, float car, float mod, float em, float ec, float rho) {
        auto clamp = [](float v) { return std::min(std::max(v, 0.0f), 1.0f); };
        switch (mode) {
            case 0:
                return L * car * (rho * em + (1.0f - rho));
            case 1:
                return L * (rho * car * em + (1.0f - rho) * mod * ec);
            case 2: {
                const float m = clamp(clamp(4.0f * (ec - em)) + (2.0f * rho - 1.0f));
                return L * (m * car + (1.0f - m) * mod);
            }
            case 3: {
                const float m = clamp(clamp(4.0f * (ec - em + 0.5f)) + (2.0f * rho - 1.0f));
                return L * (m * car + (1.0f - m) * mod);
            }
            case 4:
                return L * car * (4.0f * rho * mod + (1.0f - rho));
            case 5:
                return L * car * (0.2f * rho * em * ec + (1.0f - rho));
            case 6:
                return L * car * (1.0f - rho * em);
            default:
                return L * (rho * (1.0f - em) * car + (1.0f - rho) * (1.0f - ec) * mod);
        }
    }

private:
    struct Detector {
        double rms = 0.0, envelope = 0.0;
    };
    struct BandState {
        MAudioFilters::Stage carStages[sonvera::MaxSections], modStages[sonvera::MaxSections];
        Detector carDetector, modDetector;
        std::vector<float> car, mod, carEnv, modEnv;
    };
    struct Channel {
        std::vector<BandState> bands;
    };

    double Value(int index) { return effect_.Parameter(index).floatValues.value; }

    std::vector<float> Detect(const std::vector<float>& signal, float gain, int b, bool freeze, Detector& d) const {
        const sonvera::VocoderBank& bank = effect_.Bank();
        std::vector<float> envelope(signal.size());
        for (size_t i = 0; i < signal.size(); ++i) {
            if (freeze) {
                envelope[i] = static_cast<float>(d.envelope);
                continue;
            }
            const float scaled = signal[i] * gain;
            const double x = static_cast<double>(scaled * scaled) * bank.rmsInput[b];
            const double held = d.rms * bank.holdCoef[b];
            const double kept = d.rms * bank.rmsKeep[b] + x;
            d.rms = held > kept ? held : kept;
            const double e = std::sqrt(static_cast<float>(d.rms) + 1e-15f);
            const double c = e > d.envelope ? bank.attackCoef[b] : bank.releaseCoef[b];
            d.envelope = (1.0 - c) * e + c * d.envelope + MAudioFilters::CoefficientOffset;
            envelope[i] = static_cast<float>(d.envelope);
        }
        return envelope;
    }

    sonvera::SonveraAudioEffectPlugin& effect_;
    Channel channels_[sonvera::MaxChannels];
    double previousRatio_;
};

}  // namespace sonvera_test
