#include "effect/vocoder/SonveraAudioEffectPlugin.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>

#include "effect/vocoder/BandLayout.h"
#include "framework/core/MException.h"
#include "framework/core/MLock.h"

namespace sonvera {

using namespace corvane;

namespace {

// Modes that read the carrier envelope of their band.
constexpr bool ModeNeedsCarrierEnvelope[VocoderModeCount] = {false, true, true, true, false, true, true, true};

double Value(const ParameterDescriptor& d) { return LoadRelaxed(d.floatValues.value); }
// The target while a ramp drives the parameter, else the value.
double Live(const ParameterDescriptor& d) {
    return LoadRelaxed(d.IsTargetMode() ? d.floatValues.target : d.floatValues.value);
}
int32_t LiveInteger(const ParameterDescriptor& d) {
    return LoadRelaxed(d.IsTargetMode() ? d.integerValues.target : d.integerValues.value);
}
int32_t IntegerValue(const ParameterDescriptor& d) { return LoadRelaxed(d.integerValues.value); }
bool BoolValue(const ParameterDescriptor& d) { return LoadRelaxed(d.boolValue) != 0; }
int32_t Clamped(int32_t value, int32_t low, int32_t high) { return std::min(std::max(value, low), high); }

// Design errors surface as the framework's exception.
template <class Body>
void Designing(Body&& body) {
    try {
        body();
    } catch (const MAudioFilters::FilterError& e) {
        throw MException(e.what());
    }
}

// The sum over bands of each band's cascade response at the normalisation point.
struct ResponseSum {
    std::complex<double> zInv1, zInv2, sum;

    explicit ResponseSum(double normalisationFrequency, double sampleRate) {
        const double w = 2.0 * M_PI * normalisationFrequency / sampleRate;
        zInv1 = 1.0;
        zInv2 = 1.0;
        MAudioFilters::ComplexDivide(zInv1, std::polar(1.0, w));
        MAudioFilters::ComplexDivide(zInv2, std::polar(1.0, 2.0 * w));
    }
    void Add(const MAudioFilters::Filter<double>* sections, int32_t order) {
        std::complex<double> product = 1.0;
        for (int32_t s = 0; s < order; ++s) product *= sections[s].Response(zInv1, zInv2);
        sum += product;
    }
};

}  // namespace

// What differs between the carrier and the modulator side of the bank.
struct SonveraAudioEffectPlugin::SideDesign {
    bool carrier;
    int32_t order;
    double resonance;
    int32_t frequencyGraph;  // -1: default spacing
    int32_t resonanceGraph;  // -1: the scalar resonance for every band
    double formantShift;
};

SonveraAudioEffectPlugin::SonveraAudioEffectPlugin()
    : bank_(std::make_unique<VocoderBank>()),
      runtime_(std::make_unique<ChannelRuntime[]>(MaxChannels)),
      chunk_(std::make_unique<ChunkBuffers>()),
      settings_(std::make_unique<BandSettings>()),
      kernels_(&KernelsFor(BestKernelPath())) {
    DeclareVocoderParameters(parameters_);
    DeclareBandGraphs(graphSpecials_, graphs_);
    DeclareRandomizableGraphs(randomizableGraphs_, graphItems_, graphs_);
    for (int32_t b = 0; b < MaxBands; ++b) matrix_[b][b] = 1;
    std::fill(bandLevel_, bandLevel_ + MaxBands, 1.0);
    table_.parameters = parameters_;
    table_.parameterCount = VocoderParameterCount;
    table_.specials = graphSpecials_;
    table_.specialCount = BandGraphCount;
    table_.graphItems = randomizableGraphs_;
    table_.graphItemCount = BandGraphCount;
    table_.inputBusCount = 2;  // main input and side-chain
}

SonveraAudioEffectPlugin::~SonveraAudioEffectPlugin() = default;

int32_t SonveraAudioEffectPlugin::InitProcessing(int32_t channelCount, double sampleRate) {
    MLock hold(Lock());
    channelCount_ = channelCount;
    sampleRate_ = sampleRate;
    for (int32_t c = 0; c < Clamped(channelCount, 0, MaxChannels); ++c) {
        ChannelRuntime& channel = runtime_[c];
        channel.carrier.ReleaseAll();
        channel.modulator.ReleaseAll();
        channel.carrierDetector.Clear();
        channel.modulatorDetector.Clear();
    }
    output_.Reset(Value(parameters_[ParamVolume]), Value(parameters_[ParamPanorama]));
    carrierDry_.Reset(Value(parameters_[ParamVolumeCar]), Value(parameters_[ParamPanoramaCar]));
    modulatorDry_.Reset(Value(parameters_[ParamVolumeMod]), Value(parameters_[ParamPanoramaMod]));
    return 0;
}

void SonveraAudioEffectPlugin::PrepareBlocks(int32_t maxSamples) {
    for (ScratchBuffer* buffer : {&ratio_, &saturatedCarrier_, &saturatedModulator_, &silence_, &discard_})
        buffer->Reserve(maxSamples);
}

void SonveraAudioEffectPlugin::SampleGraph(int32_t graph, int32_t n, double* values) {
    // Band i at x = i / (n - 1) of the graph's range: the lowest band at its
    // left end and the highest at its right, as the editor draws them.
    graphs_[graph].Sample(n, values);
}

void SonveraAudioEffectPlugin::DesignSide(const SideDesign& side) {
    VocoderBank& bank = *bank_;
    const int32_t n = bank.bandCount;
    double logFrequency[MaxBands];
    if (side.frequencyGraph >= 0) {
        SampleGraph(side.frequencyGraph, n, logFrequency);
    } else {
        for (int32_t i = 0; i < n; ++i) logFrequency[i] = BandLayout::DefaultLogFrequency(i, n);
    }
    double frequency[MaxBands];
    // Centres above 0.49 of the sample rate would make unstable sections at low rates.
    const double highest = 0.49 * sampleRate_;
    for (int32_t i = 0; i < n; ++i) {
        const double y = BandLayout::ShiftLogFrequency(logFrequency[i], side.formantShift);
        frequency[i] = std::min(std::exp(y * std::log(10.0)), highest);
    }

    const double base = BandLayout::BaseQ(side.order, n);
    const double r2 = side.resonance * side.resonance;
    const double qScalar = BandLayout::ResonantQ(base, r2);
    double q[MaxBands];
    if (side.resonanceGraph >= 0) {
        SampleGraph(side.resonanceGraph, n, q);
        for (int32_t i = 0; i < n; ++i) {
            const double r = std::min(std::max(q[i] + r2, 0.0), 1.0);
            q[i] = BandLayout::ResonantQ(base, r * r);
        }
    } else {
        std::fill(q, q + n, qScalar);
    }

    const double offset = BandLayout::TimeOffsetDb(Value(parameters_[ParamAttack]), Value(parameters_[ParamRelease])) +
                          BandLayout::QOffsetDb(qScalar);
    ResponseSum response(frequency[n / 2], sampleRate_);
    for (int32_t i = 0; i < n; ++i) {
        VocoderBand& band = bank.bands[i];
        MAudioFilters::Filter<double>* sections = side.carrier ? band.carrierSections : band.modulatorSections;
        for (int32_t s = 0; s < side.order; ++s) {
            sections[s].Prepare(MAudioFilters::BandPass, frequency[i], sampleRate_, q[i]);
            sections[s].ComputeCoefficients(1.0);
        }
        const float gain = static_cast<float>(BandLayout::DetectorGain(frequency[i], offset));
        if (side.carrier) {
            band.carrierOrder = side.order;
            bank.carrierGain[i] = gain;
        } else {
            band.modulatorOrder = side.order;
            bank.modulatorGain[i] = gain;
        }
        response.Add(sections, side.order);
    }
    const float normaliser = static_cast<float>(1.0 / std::abs(response.sum));
    float* gains = side.carrier ? bank.carrierGain : bank.modulatorGain;
    for (int32_t i = 0; i < n; ++i) gains[i] *= normaliser;
    if (side.carrier) bank.outputNormaliser = normaliser;
}

void SonveraAudioEffectPlugin::RequestUpdate() {
    MPluginArguments arguments;
    SendToHost(HostCommand::Rebuild, arguments);
}

void SonveraAudioEffectPlugin::Update() {
    if (!(sampleRate_ > 0.0)) return;
    // Other threads hold these locks only to copy or edit a little; on the
    // audio thread a busy one defers the design to the next block.
    MAudioSafeLock hold(Lock());
    std::optional<MAudioSafeLock> graphLocks[BandGraphCount];
    bool held = hold.Held();
    for (int32_t g = 0; g < BandGraphCount && held; ++g) held = graphLocks[g].emplace(graphs_[g].Lock()).Held();
    if (!held) {
        RequestUpdate();
        return;
    }
    VocoderBank& bank = *bank_;

    const int32_t n = Clamped(LiveInteger(parameters_[ParamBandCount]), 4, MaxBands);
    if (n != bank.bandCount) {
        if (bank.bandCount > 0) BandLayout::ResampleBandArray(bandLevel_, bank.bandCount, n);
        AdoptBandCount(n);
    }
    std::copy(bandLevel_, bandLevel_ + MaxBands, bank.bandLevel);

    const ParameterDescriptor& shift = parameters_[ParamFormantShift];
    Designing([&] {
        DesignSide({true, Clamped(IntegerValue(parameters_[ParamOrderCar]), 1, MaxSections),
                    Value(parameters_[ParamResonanceCar]), graphEnabled_[GraphBandDistributionCar] ? 0 : -1,
                    graphEnabled_[GraphResonanceCar] ? GraphResonanceCar : -1, Live(shift)});
        const int32_t modulatorFrequencies = graphEnabled_[GraphBandDistributionMod]   ? GraphBandDistributionMod
                                             : graphEnabled_[GraphBandDistributionCar] ? GraphBandDistributionCar
                                                                                       : -1;
        const int32_t modulatorResonance = graphEnabled_[GraphResonanceMod]   ? GraphResonanceMod
                                           : graphEnabled_[GraphResonanceCar] ? GraphResonanceCar
                                                                              : -1;
        DesignSide({false, Clamped(IntegerValue(parameters_[ParamOrderMod]), 1, MaxSections),
                    Value(parameters_[ParamResonanceMod]), modulatorFrequencies, modulatorResonance, 0.0});
    });

    // Source lists from the matrix.
    bank.identityRouting = true;
    bank.activeBandCount = 0;
    std::fill(bank.bandActive, bank.bandActive + PaddedBands, uint8_t{0});
    for (int32_t b = 0; b < n; ++b) {
        VocoderBand& band = bank.bands[b];
        band.sourceCount = 0;
        for (int32_t k = 0; k < n; ++k)
            if (matrix_[k][b]) band.sources[band.sourceCount++] = k;
        if (band.sourceCount != 1 || band.sources[0] != b) bank.identityRouting = false;
        if (band.sourceCount > 0) bank.activeBands[bank.activeBandCount++] = b;
        bank.bandActive[b] = band.sourceCount > 0 ? 1 : 0;
    }

    // Detector time constants, each optionally scaled per band by 2^graph.
    double factor[BandGraphCount][MaxBands];
    for (int32_t g = GraphAttack; g < BandGraphCount; ++g) {
        if (graphEnabled_[g]) {
            SampleGraph(g, n, factor[g]);
        } else {
            std::fill(factor[g], factor[g] + n, 0.0);
        }
    }
    auto scaled = [&](int32_t graph, double value, int32_t b) {
        return graphEnabled_[graph] ? value * std::pow(2.0, factor[graph][b]) : value;
    };
    for (int32_t b = 0; b < n; ++b) {
        bank.attackCoef[b] =
            BandLayout::SmoothingCoefficient(scaled(GraphAttack, Value(parameters_[ParamAttack]), b), sampleRate_);
        bank.releaseCoef[b] =
            BandLayout::SmoothingCoefficient(scaled(GraphRelease, Value(parameters_[ParamRelease]), b), sampleRate_);
        bank.holdCoef[b] =
            BandLayout::SmoothingCoefficient(scaled(GraphHold, Value(parameters_[ParamHold]), b), sampleRate_);
        bank.rmsKeep[b] = BandLayout::SmoothingCoefficient(
            scaled(GraphRMSLength, Value(parameters_[ParamRMSLength]), b), sampleRate_);
        bank.rmsInput[b] = 1.0 - bank.rmsKeep[b];
        bank.ratioOffset[b] = factor[GraphRatio][b];
        bank.whiteningOffset[b] = factor[GraphWhitening][b];
        bank.gateThresholdFactor[b] = scaled(GraphGateThreshold, 1.0, b);
        bank.gateRatioFactor[b] = scaled(GraphGateRatio, 1.0, b);
    }
}

void SonveraAudioEffectPlugin::AdoptBandCount(int32_t n) {
    if (n == bank_->bandCount) return;
    for (int32_t c = 0; c < MaxChannels; ++c)
        for (int32_t b = 0; b < n; ++b) {
            runtime_[c].carrier.Release(b);
            runtime_[c].modulator.Release(b);
        }
    bank_->bandCount = n;
}

void SonveraAudioEffectPlugin::PrepareSettings() {
    const VocoderBank& bank = *bank_;
    BandSettings& s = *settings_;
    const int32_t n = bank.bandCount;
    s.bandCount = n;
    s.carrierOrder = bank.bands[0].carrierOrder;
    s.modulatorOrder = bank.bands[0].modulatorOrder;
    s.mode = Clamped(LoadRelaxed(parameters_[ParamMode].enumValues.valueIndex), 0, VocoderModeCount - 1);
    s.freeze = BoolValue(parameters_[ParamFreeze]);
    const double threshold = Live(parameters_[ParamGate]) * Live(parameters_[ParamGate]);
    const double ratio = Live(parameters_[ParamGateRatio]);
    s.gateActive = threshold - 1e-20 > 0.0;
    const double whitening = Live(parameters_[ParamWhitening]);
    s.anyCarrierEnvelope = false;
    for (int32_t b = 0; b < n; ++b) {
        s.gateThreshold[b] = static_cast<float>(threshold * bank.gateThresholdFactor[b]);
        s.gateRatio[b] = static_cast<float>(ratio * bank.gateRatioFactor[b]);
        s.whitening[b] = std::min(1.0f, static_cast<float>(whitening + bank.whiteningOffset[b]));
        const bool needed = ModeNeedsCarrierEnvelope[s.mode] || s.whitening[b] > 0.0001f;
        s.carrierEnvelopeNeeded[b] = needed ? 1.0 : 0.0;
        s.anyCarrierEnvelope = s.anyCarrierEnvelope || needed;
        s.ratioOffset[b] = static_cast<float>(bank.ratioOffset[b]);
        s.level[b] = static_cast<float>(bank.bandLevel[b] * bank.bandLevel[b]);
    }
}

void SonveraAudioEffectPlugin::MixSources(int32_t m) {
    const VocoderBank& bank = *bank_;
    ChunkBuffers& c = *chunk_;
    for (int32_t i = 0; i < m; ++i)
        for (int32_t a = 0; a < bank.activeBandCount; ++a) {
            const int32_t b = bank.activeBands[a];
            const VocoderBand& band = bank.bands[b];
            float em = c.modulatorEnvelope[i][band.sources[0]];
            if (band.sourceCount > 1) {
                for (int32_t k = 1; k < band.sourceCount; ++k) em += c.modulatorEnvelope[i][band.sources[k]];
                em *= 1.0f / static_cast<float>(band.sourceCount);
            }
            c.mixedModulatorEnvelope[i][b] = em;
            c.sourceCarrierEnvelope[i][b] = c.carrierEnvelope[i][band.sources[0]];
        }
}

void SonveraAudioEffectPlugin::ProcessChannel(int32_t channel, const float* carrier, const float* modulator,
                                              float* output, int32_t n) {
    const VocoderBank& bank = *bank_;
    ChannelRuntime& runtime = runtime_[channel];
    for (int32_t b = 0; b < bank.bandCount; ++b) {
        const VocoderBand& band = bank.bands[b];
        for (int32_t s = 0; s < band.carrierOrder; ++s) runtime.carrier.Sync(band.carrierSections[s], s, b);
        for (int32_t s = 0; s < band.modulatorOrder; ++s) runtime.modulator.Sync(band.modulatorSections[s], s, b);
    }
    ChunkBuffers& c = *chunk_;
    const float* ratio = ratio_.Data();
    for (int32_t start = 0; start < n; start += ChunkSize) {
        const int32_t m = std::min(ChunkSize, n - start);
        const AnalysisArguments analysis{settings_.get(), &bank, &runtime, carrier + start, modulator + start, &c, m};
        kernels_->filter(analysis);
        kernels_->analyse(analysis);
        const float(*em)[PaddedBands] = c.modulatorEnvelope;
        const float(*ec)[PaddedBands] = c.carrierEnvelope;
        if (!bank.identityRouting) {
            MixSources(m);
            em = c.mixedModulatorEnvelope;
            ec = c.sourceCarrierEnvelope;
        }
        kernels_->combine({settings_.get(), ratio + start, em, ec, &c, m});
        kernels_->sum({bank.bandCount, bank.bandActive, &c, bank.outputNormaliser, output + start, m});
    }
    RepairNonFinite(channel);
}

void SonveraAudioEffectPlugin::RepairNonFinite(int32_t channel) {
    // A NaN or infinity from upstream would otherwise stay in the recursions for good.
    ChannelRuntime& runtime = runtime_[channel];
    const VocoderBank& bank = *bank_;
    for (int32_t b = 0; b < bank.bandCount; ++b) {
        const bool finite =
            runtime.carrier.IsFinite(b, bank.bands[b].carrierOrder) &&
            runtime.modulator.IsFinite(b, bank.bands[b].modulatorOrder) &&
            std::isfinite(runtime.carrierDetector.rms[b]) && std::isfinite(runtime.carrierDetector.envelope[b]) &&
            std::isfinite(runtime.modulatorDetector.rms[b]) && std::isfinite(runtime.modulatorDetector.envelope[b]);
        if (finite) continue;
        runtime.carrier.ClearDelay(b);
        runtime.modulator.ClearDelay(b);
        runtime.carrierDetector.Clear(b);
        runtime.modulatorDetector.Clear(b);
    }
}

const float* SonveraAudioEffectPlugin::InputOrSilence(float** inputs, int32_t index) {
    return inputs[index] != nullptr ? inputs[index] : silence_.Data();
}

void SonveraAudioEffectPlugin::MixDrySignals(float** inputs, float* const* outputs, int32_t channels, bool lrEncoding,
                                             bool swap, int32_t n) {
    auto input = [&](int32_t index) { return InputOrSilence(inputs, index); };
    const float* carriers[MaxChannels];
    const float* modulators[MaxChannels];
    if (lrEncoding) {
        const float* carrier = input(swap ? 1 : 0);
        const float* modulator = input(swap ? 0 : 1);
        const float* carrierPair[2] = {carrier, carrier};
        const float* modulatorPair[2] = {modulator, modulator};
        carrierDry_.Process(carrierPair, outputs, 2, n, Value(parameters_[ParamVolumeCar]), 0.0, true);
        modulatorDry_.Process(modulatorPair, outputs, 2, n, Value(parameters_[ParamVolumeMod]), 0.0, true);
        return;
    }
    for (int32_t c = 0; c < channels; ++c) {
        carriers[c] = input(swap ? MaxChannels + c : c);
        modulators[c] = input(swap ? c : MaxChannels + c);
    }
    carrierDry_.Process(carriers, outputs, channels, n, Value(parameters_[ParamVolumeCar]),
                        Value(parameters_[ParamPanoramaCar]), true);
    modulatorDry_.Process(modulators, outputs, channels, n, Value(parameters_[ParamVolumeMod]),
                          Value(parameters_[ParamPanoramaMod]), true);
}

void SonveraAudioEffectPlugin::Process(void* /*context*/, float** inputs, float** outputs, int32_t n) {
    if (inputs == nullptr || outputs == nullptr || n <= 0) return;
    const int32_t channels = Clamped(channelCount_, 0, MaxChannels);
    const bool swap = BoolValue(parameters_[ParamSwap]);
    const bool lrEncoding = channels == 2 && BoolValue(parameters_[ParamLREncoding]);

    // Missing buffers read silence and write to scratch.
    silence_.Reserve(n);
    float* discard = discard_.Reserve(n);
    float* out[MaxChannels];
    for (int32_t c = 0; c < channels; ++c) out[c] = outputs[c] != nullptr ? outputs[c] : discard;
    auto input = [&](int32_t index) { return InputOrSilence(inputs, index); };

    // The ratio moves linearly across the block when it changed.
    ParameterDescriptor& ratioParameter = parameters_[ParamRatio];
    const double ratioNow = Value(ratioParameter);
    const double ratioBefore = LoadRelaxed(ratioParameter.committedValue);
    float* ratio = ratio_.Reserve(n);
    if (std::fabs(ratioNow - ratioBefore) < 1e-50) {
        std::fill(ratio, ratio + n, static_cast<float>(ratioNow));
    } else {
        for (int32_t i = 0; i < n; ++i) ratio[i] = static_cast<float>(ratioBefore + i * (ratioNow - ratioBefore) / n);
        StoreRelaxed(ratioParameter.committedValue, ratioNow);
    }
    PrepareSettings();
    const double saturateCarrier = Live(parameters_[ParamSatCar]);
    const double saturateModulator = Live(parameters_[ParamSatMod]);

    const int32_t processed = lrEncoding ? 1 : channels;
    for (int32_t c = 0; c < processed; ++c) {
        const float* carrier = input(lrEncoding ? (swap ? 1 : 0) : (swap ? MaxChannels + c : c));
        const float* modulator = input(lrEncoding ? (swap ? 0 : 1) : (swap ? c : MaxChannels + c));
        if (saturateCarrier > 1e-5) {
            saturator_.Process(carrier, saturatedCarrier_.Reserve(n), n, saturateCarrier);
            carrier = saturatedCarrier_.Data();
        }
        if (saturateModulator > 1e-5) {
            saturator_.Process(modulator, saturatedModulator_.Reserve(n), n, saturateModulator);
            modulator = saturatedModulator_.Data();
        }
        ProcessChannel(c, carrier, modulator, out[c], n);
    }
    if (lrEncoding) std::copy(out[0], out[0] + n, out[1]);

    output_.Process(out, out, channels, n, Value(parameters_[ParamVolume]), Value(parameters_[ParamPanorama]), false);
    MixDrySignals(inputs, out, channels, lrEncoding, swap, n);
}

}  // namespace sonvera
