#include "framework/plugin/MAudioPlugin.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/core/MLock.h"
#include "framework/storage/Configuration.h"

namespace corvane {
namespace {

std::atomic<bool> highQualityUpsampling{false};

// The plug-in whose block the calling thread is processing, if any.
thread_local const MAudioPlugin* blockInProgress = nullptr;

struct BlockInProgress {
    explicit BlockInProgress(const MAudioPlugin* plugin) : previous(blockInProgress) { blockInProgress = plugin; }
    ~BlockInProgress() { blockInProgress = previous; }
    const MAudioPlugin* previous;
};

// Releases a mutex taken with a plain try.
struct Release {
    MMutex& mutex;
    ~Release() { mutex.Unlock(); }
};

void DeclareSwitch(ParameterDescriptor& d, const char* name, const char* identifier) {
    d.kind = ParameterKindBool;
    d.name = name;
    d.identifier = identifier;
    d.adapterFlags = AdapterFlags::FrameworkParameter;
    d.SetBit(0, ParameterBits::FullUpdate, false);
    d.SetBit(0, ParameterBits::Randomizable, false);
}

}  // namespace

MAudioPlugin::MAudioPlugin() : registry_(*this) {
    DeclareSwitch(bypassDescriptor_, "Bypass", "Bypass");
    DeclareSwitch(agcDescriptor_, "Automatic gain", "AGC");
    automationCompatibilityMode_ =
        Guarded("MAudioPlugin::MAudioPlugin", true, [] { return Configuration::AutomationCompatibilityMode(); });
}

MAudioPlugin::~MAudioPlugin() = default;

void MAudioPlugin::AutomateHost(int32_t index, double value) {
    CallHost({PostedHostCalls::Call::Automate, index, 0, value});
}

bool MAudioPlugin::CallHost(const PostedHostCalls::Call& call) {
    if (hostAdapter_ == nullptr) return false;
    if (!PostedHostCalls::OnOwnThread()) return MakeHostCall(call);
    if (!postedHostCalls_.Post(call)) DiagnosticLog::Write("A call to the host was dropped: too many were waiting.");
    return false;
}

bool MAudioPlugin::MakeHostCall(const PostedHostCalls::Call& call) {
    switch (call.kind) {
        case PostedHostCalls::Call::Automate:
            hostAdapter_->SendAutomation(call.first, call.value);
            return true;
        case PostedHostCalls::Call::BeginEdit:
            hostAdapter_->BeginEdit(call.first);
            return true;
        case PostedHostCalls::Call::EndEdit:
            hostAdapter_->EndEdit(call.first);
            return true;
        case PostedHostCalls::Call::Resize:
            return hostAdapter_->ChangeEditorSize(call.first, call.second);
        default:
            hostAdapter_->ReportLatency(call.first);
            return true;
    }
}

void MAudioPlugin::DeliverPostedHostCalls() {
    postedHostCalls_.Deliver([&](const PostedHostCalls::Call& call) {
        if (hostAdapter_ != nullptr) MakeHostCall(call);
    });
}

void MAudioPlugin::FinishParameters() {
    registry_.RegisterFrameworkDescriptor(bypassDescriptor_);
    registry_.RegisterFrameworkDescriptor(agcDescriptor_);
    registry_.Finish();
    ramps_.Build(registry_);
}

void MAudioPlugin::SetSurroundMask(const uint8_t (&mask)[8]) { std::memcpy(surroundMask_, mask, sizeof mask); }

bool MAudioPlugin::SetHostChannels(int32_t inputs, int32_t outputs) {
    const bool changed = hostInputChannels_.Exchange(inputs) != inputs;
    return (hostOutputChannels_.Exchange(outputs) != outputs) || changed;
}

void MAudioPlugin::SetHighQualityUpsampling(bool on) { highQualityUpsampling.store(on); }

bool MAudioPlugin::HighQualityUpsampling() { return highQualityUpsampling.load(); }

bool MAudioPlugin::Bypassed() const { return LoadRelaxed(bypassDescriptor_.boolValue) != 0; }

bool MAudioPlugin::AgcEnabled() const { return LoadRelaxed(agcDescriptor_.boolValue) != 0; }

void MAudioPlugin::SetUpsampling(int32_t factor) {
    if (std::min(std::max(factor, 1), MaxUpsampling) != Upsampling()) InitProcessingWithUpsampling(factor);
}

void MAudioPlugin::InitProcessingWithUpsampling(int32_t factor) {
    // The audio thread sizes its buffers by the factor: it changes only while
    // no block runs.
    ExclusiveAccess exclusive(*this);
    upsampling_.Store(std::min(std::max(factor, 1), MaxUpsampling));
    InitProcessing();
}

void MAudioPlugin::SetLatency(int32_t samples) {
    if (samples == latency_) return;
    latency_ = samples;
    for (LatencyDelay& delay : delays_) delay.SetLatency(samples);
    CallHost({PostedHostCalls::Call::Latency, samples});
}

void MAudioPlugin::ConfigureResamplers() {
    const bool hq = HighQualityUpsampling();
    const int32_t factor = Upsampling();
    // Every channel of a bus: the block loops run over all of them.
    for (int32_t bus = 0; bus < inputBusCount_; ++bus)
        for (int32_t c = 0; c < channelsPerBus_; ++c) {
            Upsampler& up = upsamplers_[bus * BusStride + c];
            if (up.Factor() != factor || up.HighQuality() != hq) up.Configure(factor, hq);
        }
    for (int32_t c = 0; c < channelsPerBus_; ++c) downsamplers_[c].Configure(factor, hq);
}

void MAudioPlugin::PrepareBuffers() {
    const int32_t n = MaxBlockSize(), upsampled = n * Upsampling();
    repair_.Reserve(n);
    for (GrowingBuffer& copy : inputCopies_) copy.Ensure(n, false);
    for (GrowingBuffer& sum : accumulate_) sum.Ensure(n, false);
    for (GrowingBuffer& output : upsampledOutputs_) output.Ensure(upsampled, false);
    for (Upsampler& up : upsamplers_) up.Reserve(n);
    for (Downsampler& down : downsamplers_) down.Reserve(n);
}

void MAudioPlugin::InitProcessing() {
    GuardedVoid("MAudioPlugin::InitProcessing", [&] {
        latchedMode_ = ChannelMode();
        int32_t surround = 0;
        for (uint8_t flag : surroundMask_) surround += flag != 0;
        const int32_t inputs = hostInputChannels_.Load(), outputs = hostOutputChannels_.Load();
        deliveredInputs_ = inputs == NotGiven ? channelsPerBus_ : inputs;
        deliveredOutputs_ = outputs == NotGiven ? channelsPerBus_ : outputs;
        counts_ = ComputeChannelCounts(latchedMode_, deliveredInputs_, deliveredOutputs_, inputBusCount_ > 0, surround);
        ConfigureResamplers();
        PrepareBuffers();
        SetLatency(EffectLatency() + ResamplingLatency(Upsampling(), HighQualityUpsampling()));
        for (LatencyDelay& delay : coreDelays_) delay.SetLatency(EffectLatency() * Upsampling());
        for (LatencyDelay& delay : delays_) delay.Clear();
        for (LatencyDelay& delay : coreDelays_) delay.Clear();
        agc_.Reset();
    });
}

void MAudioPlugin::ReportLostMIDI() {
    const uint64_t lost = LostMIDI();
    if (lost == lostMIDIReported_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lostMIDIReportedAt_ < std::chrono::seconds(1)) return;
    DiagnosticLog::Write("MIDI events lost: " + std::to_string(lost - lostMIDIReported_) +
                         " more than a block holds (notes still end).");
    lostMIDIReported_ = lost;
    lostMIDIReportedAt_ = now;
}

bool MAudioPlugin::InsideBlock() const { return blockInProgress == this; }

void MAudioPlugin::ProcessBlock(float** inputs, float** outputs, int32_t count, int32_t replace) {
    SONVERA_AUDIO_THREAD(audioThread_, "MAudioPlugin::ProcessBlock");
    const BlockInProgress inProgress(this);
    if (count <= 0 || outputs == nullptr) return;
    // While processing is being prepared (or about to be) the block is
    // abandoned, not waited for.
    // The state lock is only ever taken after the processing lock, so it is
    // free whenever the processing lock was.
    const auto giveUp = [&] {
        abandonedBlocks_.fetch_add(1, std::memory_order_relaxed);
        WriteAbandonedBlock(inputs, outputs, count, replace);
    };
    if (exclusiveWaiters_.load() > 0 || processingLock_.Lock(0) != 0) return giveUp();
    Release processing{processingLock_};
    if (stateLock_.Lock(0) != 0) return giveUp();
    Release state{stateLock_};
    GuardedVoid("MAudioPlugin::ProcessBlock", [&] {
        float* in[MaxInputBuses * BusStride] = {};
        float* out[BusStride] = {};
        if (inputs != nullptr)
            for (int32_t i = 0; i < inputBusCount_ * BusStride; ++i) in[i] = inputs[i];
        for (int32_t c = 0; c < BusStride; ++c) out[c] = outputs[c];
        float* hostOutputs[BusStride];
        std::copy(out, out + BusStride, hostOutputs);
        repair_.FixAudioBuffers(in, deliveredInputs_, inputBusCount_, channelsPerBus_, BusStride, true, count);
        repair_.FixAudioBuffers(out, deliveredOutputs_, 1, channelsPerBus_, BusStride, false, count);

        // Work on copies of the inputs, with the anti-denormal offset: the
        // host's buffers and the silent buffer stay as they are.
        for (int32_t bus = 0; bus < inputBusCount_; ++bus)
            for (int32_t c = 0; c < channelsPerBus_; ++c) {
                const int32_t slot = bus * BusStride + c;
                float* copy = inputCopies_[slot].Ensure(count, false);
                for (int32_t i = 0; i < count; ++i) copy[i] = in[slot][i] + 1e-15f;
                in[slot] = copy;
            }

        if (Bypassed()) {
            Bypass(in, out, count, replace);
            return;
        }
        PrepareForProcessingOnce();
        const bool agc = AgcEnabled();
        if (agc) {
            if (inputBusCount_ > 0)
                agc_.MeasureInput(in, channelsPerBus_, count);
            else
                agc_.UseReferenceInput();
        }
        // Accumulating hosts get the result added: process into our own buffers first.
        float* target[BusStride] = {};
        for (int32_t c = 0; c < channelsPerBus_; ++c)
            target[c] = replace ? out[c] : accumulate_[c].Ensure(count, false);

        const int32_t factor = Upsampling();
        if (factor >= 2) {
            float* upIn[MaxInputBuses * BusStride] = {};
            float* upOut[BusStride] = {};
            const int32_t n = count * factor;
            for (int32_t bus = 0; bus < inputBusCount_; ++bus)
                for (int32_t c = 0; c < channelsPerBus_; ++c)
                    upIn[bus * BusStride + c] =
                        upsamplers_[bus * BusStride + c].Process(in[bus * BusStride + c], count);
            for (int32_t c = 0; c < channelsPerBus_; ++c) upOut[c] = upsampledOutputs_[c].Ensure(n, false);
            Core(upIn, upOut, n);
            for (int32_t c = 0; c < channelsPerBus_; ++c) downsamplers_[c].Process(upOut[c], target[c], count, true);
        } else {
            Core(in, target, count);
        }
        if (agc) agc_.Apply(target, channelsPerBus_, count);
        if (!replace)
            for (int32_t c = 0; c < channelsPerBus_; ++c)
                if (out[c] != target[c])
                    for (int32_t i = 0; i < count; ++i) out[c][i] += target[c][i];
        PostProcess(in, out, count, replace);
        FillUndeclaredOutputs(hostOutputs, count, replace);
    });
}

void MAudioPlugin::Bypass(float** in, float** out, int32_t count, int32_t replace) {
    for (int32_t c = 0; c < channelsPerBus_; ++c) {
        float* target = replace ? out[c] : accumulate_[c].Ensure(count, false);
        delays_[c].Process(in[c], target, count);
        if (!replace)
            for (int32_t i = 0; i < count; ++i) out[c][i] += target[i];
    }
}

void MAudioPlugin::FillUndeclaredOutputs(float** outputs, int32_t count, int32_t replace) {
    const int32_t declared = std::min(deliveredOutputs_, channelsPerBus_);
    if (declared < 1) return;
    const float* last = outputs[declared - 1];
    if (last == nullptr) return;
    for (int32_t c = declared; c < channelsPerBus_; ++c) {
        float* extra = outputs[c];
        if (extra == nullptr || extra == last) continue;
        if (replace)
            std::copy(last, last + count, extra);
        else
            for (int32_t i = 0; i < count; ++i) extra[i] += last[i];
    }
}

void MAudioPlugin::WriteAbandonedBlock(float** inputs, float** outputs, int32_t count, int32_t replace) {
    // Only the host's own buffers are touched: everything else is being rebuilt.
    const bool dry = Bypassed();
    for (int32_t c = 0; c < channelsPerBus_; ++c) {
        float* out = outputs[c];
        if (out == nullptr) continue;
        const float* in = dry && inputs != nullptr ? inputs[c] : nullptr;
        if (replace) {
            if (in != nullptr)
                std::copy(in, in + count, out);
            else
                std::fill(out, out + count, 0.0f);
        } else if (in != nullptr) {
            for (int32_t i = 0; i < count; ++i) out[i] += in[i];
        }
    }
}

void MAudioPlugin::Encode(float** in, float** out, int32_t n, bool& encoded) {
    encoded = counts_.hostInputs == 2 && in[0] != in[1] && out[0] != out[1];
    if (!encoded) return;
    for (int32_t bus = 0; bus < inputBusCount_; ++bus) {
        float*& left = in[bus * BusStride];
        float*& right = in[bus * BusStride + 1];
        switch (latchedMode_) {
            case ChannelRight:
                std::swap(left, right);
                break;
            case ChannelMid:
            case ChannelSide:
            case ChannelMidSide:
                for (int32_t i = 0; i < n; ++i) {
                    const float mid = (left[i] + right[i]) * 0.5f;
                    const float side = (left[i] - right[i]) * 0.5f;
                    left[i] = mid;
                    right[i] = side;
                }
                if (latchedMode_ == ChannelSide) std::swap(left, right);
                break;
            case ChannelLeftRightNegative:
                for (int32_t i = 0; i < n; ++i) right[i] = -right[i];
                break;
            default:
                break;
        }
    }
    if (latchedMode_ == ChannelRight || latchedMode_ == ChannelSide) std::swap(out[0], out[1]);
}

void MAudioPlugin::Decode(float** in, float** out, int32_t n, bool encoded) {
    if (!encoded) return;
    // The channel the effect left alone reaches its output through the latency delay.
    if (latchedMode_ >= ChannelLeft && latchedMode_ <= ChannelSide) coreDelays_[1].Process(in[1], out[1], n);
    switch (latchedMode_) {
        case ChannelRight:
        case ChannelSide:
            std::swap(out[0], out[1]);
            if (latchedMode_ == ChannelRight) break;
            [[fallthrough]];
        case ChannelMid:
        case ChannelMidSide:
            for (int32_t i = 0; i < n; ++i) {
                const float mid = out[0][i], side = out[1][i];
                out[0][i] = mid + side;
                out[1][i] = mid - side;
            }
            break;
        case ChannelLeftRightNegative:
            for (int32_t i = 0; i < n; ++i) out[1][i] = -out[1][i];
            break;
        default:
            break;
    }
}

void MAudioPlugin::Core(float** inputs, float** outputs, int32_t count) {
    float* in[MaxInputBuses * BusStride];
    float* out[BusStride];
    std::copy(inputs, inputs + MaxInputBuses * BusStride, in);
    std::copy(outputs, outputs + BusStride, out);
    bool encoded = false;
    Encode(in, out, count, encoded);
    if (latchedMode_ == ChannelSurround) {
        // Gather the selected channels; the others pass delayed.
        float* gatheredIn[MaxInputBuses * BusStride] = {};
        float* gatheredOut[BusStride] = {};
        int32_t k = 0;
        for (int32_t c = 0; c < channelsPerBus_ && c < BusStride; ++c) {
            if (surroundMask_[c]) {
                for (int32_t bus = 0; bus < inputBusCount_; ++bus)
                    gatheredIn[bus * BusStride + k] = in[bus * BusStride + c];
                gatheredOut[k++] = out[c];
            } else {
                coreDelays_[c].Process(in[c], out[c], count);
            }
        }
        RunSubBlocks(gatheredIn, gatheredOut, count);
        // Outputs the host feeds no input for stay silent.
        for (int32_t c = std::max(counts_.hostInputs, 0); c < channelsPerBus_; ++c)
            if (out[c] != nullptr) std::fill(out[c], out[c] + count, 0.0f);
        return;
    }
    RunSubBlocks(in, out, count);
    Decode(in, out, count, encoded);
}

void MAudioPlugin::RunSubBlocks(float** inputs, float** outputs, int32_t count) {
    int32_t length = maxSubBlock_;
    bool ramping = false;
    if (count > rampSubBlock_) {
        ramping = InterpolationPrepare(count);
        if (ramping) length = std::min(length < 1 ? rampSubBlock_ : length, rampSubBlock_);
    } else {
        // A block that is not split takes the targets at once; the ramps start from them next time.
        InterpolationPrepare(1);
    }
    if (length < 1) length = 256;
    if (count <= length) {
        Process(inputs, outputs, count);
        return;
    }
    float* in[MaxInputBuses * BusStride];
    float* out[BusStride];
    std::copy(inputs, inputs + MaxInputBuses * BusStride, in);
    std::copy(outputs, outputs + BusStride, out);
    const double rate = ProcessingSampleRate();
    for (int32_t done = 0;;) {
        const int32_t sub = std::min(length, count - done);
        Process(in, out, sub);
        done += sub;
        if (done >= count) break;
        if (context_.transportValid && context_.tempo > 0.0 && rate > 0.0)
            context_.songPosition += sub * context_.tempo / (rate * 60.0);
        if (ramping) InterpolationProcess(sub);
        for (float*& p : in)
            if (p != nullptr) p += sub;
        for (float*& p : out)
            if (p != nullptr) p += sub;
    }
    if (ramping) InterpolationFinish();
}

bool MAudioPlugin::InterpolationPrepare(int32_t n) {
    const bool ramping = ramps_.Prepare(registry_, n);
    if (ramping) ApplyChangedValues();
    return ramping;
}

void MAudioPlugin::InterpolationProcess(int32_t samples) {
    GuardedVoid("MAudioPlugin::InterpolationProcess", [&] {
        ramps_.Advance(samples);
        ApplyChangedValues();
    });
}

void MAudioPlugin::InterpolationFinish() {
    ramps_.Finish();
    ApplyChangedValues();
}

}  // namespace corvane
