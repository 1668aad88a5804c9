#pragma once
// The vocoder effect: its parameters, band graphs, filter bank and processing.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "effect/vocoder/BandGraphs.h"
#include "effect/vocoder/BandKernels.h"
#include "effect/vocoder/Saturator.h"
#include "effect/vocoder/ScratchBuffer.h"
#include "effect/vocoder/VocoderBank.h"
#include "effect/vocoder/VocoderParameters.h"
#include "effect/vocoder/VolumePanStage.h"
#include "entry/interface/MAudioEffectPlugin.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/storage/MPresetManager.h"

namespace sonvera {

class SonveraAudioEffectPlugin : public corvane::MAudioEffectPlugin {
public:
    SonveraAudioEffectPlugin();
    ~SonveraAudioEffectPlugin() override;

    // [audio-thread, or main-thread while processing is held off] Rebuilds the
    // filter bank and detectors from the parameters, matrix, levels and graphs.
    // On the audio thread, when another thread holds one of their locks, the
    // previous design stays and a rebuild is asked for again.
    void Update() override;
    int32_t InitProcessing(int32_t channelCount, double sampleRate) override;
    void PrepareBlocks(int32_t maxSamples) override;
    // [audio-thread] inputs: main bus at 0..7, side-chain at 8..15; outputs from 0.
    // Takes no lock: it reads only what the audio thread's Update designed.
    void Process(void* context, float** inputs, float** outputs, int32_t sampleCount) override;
    // Band graphs, "SelectedEnvelope", "EQ" and "Matrix"; entry 0 holds the element (kind 1 storing).
    void StoreLoadExtra(corvane::MPluginArguments& arguments) override;

    corvane::ParameterDescriptor& Parameter(int32_t index) { return parameters_[index]; }
    corvane::MEnvelopeGraph& Graph(int32_t index) { return graphs_[index]; }
    void SetGraphEnabled(int32_t index, bool enabled) { graphEnabled_[index] = enabled ? 1 : 0; }
    bool GraphEnabled(int32_t index) const { return graphEnabled_[index] != 0; }
    bool Matrix(int32_t modulatorBand, int32_t carrierBand) const { return matrix_[modulatorBand][carrierBand] != 0; }
    // The whole matrix, row k (modulator band) first: MaxBands x MaxBands bytes.
    const uint8_t* MatrixBytes() const { return &matrix_[0][0]; }
    // matrix[k][b]: modulator band k drives carrier band b. Seen after the next Update.
    void SetMatrix(int32_t modulatorBand, int32_t carrierBand, bool on) {
        matrix_[modulatorBand][carrierBand] = on ? 1 : 0;
    }
    // The user's band levels (0 .. 2), under the lock; heard after the next Update.
    double& BandLevel(int32_t band) { return bandLevel_[band]; }
    const double* BandLevels() const { return bandLevel_; }
    int32_t SelectedGraph() const { return selectedGraph_; }
    void SelectGraph(int32_t index) { selectedGraph_ = std::min(std::max(index, 0), BandGraphCount - 1); }

    // [main-thread] Presets of the band matrix ("SonveraBandMatrix") and of
    // the selected band graph ("SonveraEnvelope"); a loaded one is heard
    // after the Update it runs.
    corvane::MPresetManagerBase& MatrixPresets() { return matrixPresets_; }
    corvane::MPresetManagerBase& GraphPresets() { return graphPresets_; }
    const VocoderBank& Bank() const { return *bank_; }
    int32_t ChannelCount() const { return channelCount_; }
    double SampleRate() const { return sampleRate_; }
    // Which SIMD path processes the bands; the widest the CPU runs by default.
    void SetKernelPath(KernelPath path) { kernels_ = &KernelsFor(path); }

private:
    struct SideDesign;
    void DesignSide(const SideDesign& side);
    void SampleGraph(int32_t graph, int32_t bandCount, double* values);
    // A new band count whose levels are already right: stages restart, levels stay.
    void AdoptBandCount(int32_t bands);
    void PrepareSettings();
    void ProcessChannel(int32_t channel, const float* carrier, const float* modulator, float* output, int32_t n);
    void MixSources(int32_t sampleCount);
    void RepairNonFinite(int32_t channel);
    // A missing input channel reads the silence buffer (reserved for the block by Process).
    const float* InputOrSilence(float** inputs, int32_t index);
    void MixDrySignals(float** inputs, float* const* outputs, int32_t channels, bool lrEncoding, bool swap, int32_t n);

    corvane::ParameterDescriptor parameters_[VocoderParameterCount];
    corvane::SpecialParameterDescriptor graphSpecials_[BandGraphCount];
    corvane::MEnvelopeGraph graphs_[BandGraphCount];
    uint8_t graphEnabled_[BandGraphCount] = {};
    corvane::RandomizableGraphItem randomizableGraphs_[BandGraphCount];
    BandGraphItem graphItems_[BandGraphCount];
    uint8_t matrix_[MaxBands][MaxBands] = {};
    double bandLevel_[MaxBands];
    int32_t selectedGraph_ = 0;
    // Asks the framework for an Update at the next block.
    void RequestUpdate();
    void StoreExtra(corvane::MStoreContext& context);
    void LoadExtra(corvane::MStoreContext& context);
    void StoreMatrixPreset(corvane::MStoreContext& context);
    void StoreGraphPreset(corvane::MStoreContext& context);
    corvane::MPresetManagerT<SonveraAudioEffectPlugin> matrixPresets_{
        "SonveraBandMatrix", *this,
        [](SonveraAudioEffectPlugin& effect, corvane::MStoreContext& context) { effect.StoreMatrixPreset(context); }};
    corvane::MPresetManagerT<SonveraAudioEffectPlugin> graphPresets_{
        "SonveraEnvelope", *this,
        [](SonveraAudioEffectPlugin& effect, corvane::MStoreContext& context) { effect.StoreGraphPreset(context); }};

    std::unique_ptr<VocoderBank> bank_;
    std::unique_ptr<ChannelRuntime[]> runtime_;
    std::unique_ptr<ChunkBuffers> chunk_;
    std::unique_ptr<BandSettings> settings_;
    const BandKernels* kernels_;

    ScratchBuffer ratio_, saturatedCarrier_, saturatedModulator_, silence_, discard_;
    Saturator saturator_;
    VolumePanStage output_, carrierDry_, modulatorDry_;
    int32_t channelCount_ = 2;
    double sampleRate_ = 0.0;
};

}  // namespace sonvera
