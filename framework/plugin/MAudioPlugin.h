#pragma once
// The framework plug-in: owns the parameter registry and runs the block
// pipeline between a host-format adapter and the effect: buffer repair,
// bypass, automatic gain, upsampling, channel modes, sub-blocks and
// parameter ramps.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/MLock.h"
#include "framework/core/Shared.h"
#include "framework/core/ThreadCheck.h"
#include "framework/parameters/MParameterRegistry.h"
#include "framework/plugin/AudioBuffers.h"
#include "framework/plugin/AutomaticGainControl.h"
#include "framework/plugin/ChannelMode.h"
#include "framework/plugin/HostCalls.h"
#include "framework/plugin/LatencyDelay.h"
#include "framework/plugin/MAudioPluginAdapter.h"
#include "framework/plugin/MMIDIProcessor.h"
#include "framework/plugin/ParameterRamps.h"
#include "framework/plugin/ProcessingContext.h"
#include "framework/plugin/Resampler.h"
#include "framework/storage/MStoreContext.h"
#include "platform/MMutex.h"

namespace corvane {

class MAudioPlugin : public MMIDIProcessor, public MAutomationOwner {
public:
    static constexpr int32_t BusStride = 8;
    static constexpr int32_t MaxInputBuses = 2;
    // Factors above this would only cost memory and time.
    static constexpr int32_t MaxUpsampling = 8;

    MAudioPlugin();
    ~MAudioPlugin() override;

    MParameterRegistry& Parameters() override { return registry_; }
    void AutomateHost(int32_t index, double value) override;
    void SetUpdatePending() override { updatePending_.store(true, std::memory_order_release); }
    void SetHostAdapter(MAudioPluginAdapter* adapter) { hostAdapter_ = adapter; }
    // [main-thread] The editor's gesture, passed to the host.
    void BeginHostEdit(int32_t index) { CallHost({PostedHostCalls::Call::BeginEdit, index}); }
    void EndHostEdit(int32_t index) { CallHost({PostedHostCalls::Call::EndEdit, index}); }
    // [main-thread] The editor's new size for the host's window; false when
    // the host refused, or when the request waits for the host's next tick.
    bool RequestEditorSize(int32_t width, int32_t height) {
        return CallHost({PostedHostCalls::Call::Resize, width, height});
    }
    // [main-thread] At the host's tick: what a thread of ours asked of the host.
    void DeliverPostedHostCalls();

    // [main-thread] Processing settings the adapters report; InitProcessing applies them.
    void SetHostSampleRate(double rate) { hostSampleRate_.Store(rate); }
    // The longest block the host announced; buffers are sized for it (a
    // longer one grows them once).
    static constexpr int32_t DefaultMaxBlockSize = 1024;
    void SetMaxBlockSize(int32_t samples) { maxBlockSize_.Store(std::max(samples, 1)); }
    int32_t MaxBlockSize() const { return maxBlockSize_.Load(); }
    // The channel counts the host declared (NotGiven: as many as a bus has);
    // InitProcessing applies them. True when they changed.
    static constexpr int32_t NotGiven = -1;
    bool SetHostChannels(int32_t inputs, int32_t outputs);
    bool SetHostChannels(int32_t channels) { return SetHostChannels(channels, channels); }
    int32_t HostChannels() const {
        const int32_t widest = std::max(hostInputChannels_.Load(), hostOutputChannels_.Load());
        return widest == NotGiven ? channelsPerBus_ : widest;
    }
    void SetChannelMode(int32_t mode) { channelMode_.Store(mode); }
    int32_t ChannelMode() const { return channelMode_.Load(); }
    int32_t Upsampling() const { return upsampling_.Load(); }
    void SetSurroundMask(const uint8_t (&mask)[8]);
    // [main-thread] Takes the three locks and re-initialises when the factor changes.
    void SetUpsampling(int32_t factor);
    // [main-thread] Under the three locks: stores the factor, then re-initialises.
    void InitProcessingWithUpsampling(int32_t factor);
    static void SetHighQualityUpsampling(bool on);
    static bool HighQualityUpsampling();
    void SetMaxLFOBlockSize(int32_t samples) { maxLFOBlockSize_.Store(samples); }
    void SetMaxBufferSize(int32_t samples) { maxBufferSize_.Store(samples); }

    // [main-thread] Prepares processing with the settings above.
    virtual void InitProcessing();
    // [audio-thread] One host block. Tables: one pointer per channel, bus after
    // bus at a stride of 8; replace 0 adds the result to the outputs.
    void ProcessBlock(float** inputs, float** outputs, int32_t count, int32_t replace);

    // [audio-thread] Parameter ramps across a host block.
    bool InterpolationPrepare(int32_t n);
    void InterpolationProcess(int32_t samples);
    void InterpolationFinish();
    // After parameter values were replaced at once (state load, preset): no ramp next block.
    void ParameterValuesReplaced() { ramps_.RequestReset(); }

    // [main-thread] The two-way state operation; the classes above extend it.
    virtual void Store(MStoreContext& context);
    // [main-thread] The state as a host keeps it: zlib-compressed UTF-8 XML.
    std::vector<uint8_t> WriteChunk();
    // [main-thread] Compressed or plain XML. A chunk that does not parse is
    // logged and leaves the running state as it was; false then.
    bool ReadChunk(const void* data, size_t size);
    // The user's default state from the configuration file; false when there is none.
    bool LoadDefaultSettings();
    // [main-thread] Loads a parsed state under the three locks, unless the
    // instance could not store it again in a form it would read back: then it
    // is logged, refused, and the running state stays as it was.
    bool LoadState(MXMLItem& root);
    // False (with the reason logged) when the file could not be written; it then keeps its old content.
    bool SetDefaultSettingsToCurrent();

    // The user's "AutomationCompatibilityMode", read once when the plug-in is constructed.
    bool AutomationCompatibilityMode() const { return automationCompatibilityMode_; }
    bool Bypassed() const;
    // The host's bypass switch (VST3's bypass parameter). [any]
    void SetBypassed(bool on) { StoreRelaxed(bypassDescriptor_.boolValue, static_cast<uint8_t>(on ? 1 : 0)); }
    int32_t Latency() const { return latency_; }
    double ProcessingSampleRate() const { return hostSampleRate_.Load() * upsampling_.Load(); }
    int32_t EffectChannelCount() const { return counts_.effect; }
    int32_t LatchedChannelMode() const { return latchedMode_; }
    const ChannelCounts& Counts() const { return counts_; }
    // [audio-thread] Filled by the adapter before each block.
    MProcessingContext& Context() { return context_; }
    // Set before every block whether or not the host reports a transport;
    // whoever follows the transport clears the one it reads.
    bool transportRefresh[2] = {false, false};
    // Whether the transport is read from the host at all. [any]
    bool HostSynchronisation() const { return hostSynchronisation_.load(std::memory_order_relaxed); }
    void SetHostSynchronisation(bool on) { hostSynchronisation_.store(on, std::memory_order_relaxed); }
    AutomaticGainControl& Agc() { return agc_; }

    MMutex& ProcessingLock() { return processingLock_; }
    MMutex& ParameterLock() { return parameterLock_; }
    MMutex& StateLock() { return stateLock_; }

    // The three locks in their order, with unlimited waits: what processing
    // initialisation and every operation that replaces the state hold. Blocks
    // arriving meanwhile are abandoned (and write silence).
    class ExclusiveAccess {
    public:
        explicit ExclusiveAccess(MAudioPlugin& plugin)
            : announce_(plugin),
              processing_(plugin.processingLock_),
              parameters_(plugin.parameterLock_),
              state_(plugin.stateLock_) {}

    private:
        // Announced before waiting: the audio thread gives up its next blocks
        // instead of taking the processing lock again at once (a busy audio
        // thread would otherwise starve the waiter).
        struct Announcement {
            explicit Announcement(MAudioPlugin& plugin) : plugin_(plugin) { plugin_.exclusiveWaiters_.fetch_add(1); }
            ~Announcement() { plugin_.exclusiveWaiters_.fetch_sub(1); }
            MAudioPlugin& plugin_;
        };
        Announcement announce_;
        MLock processing_, parameters_, state_;
    };

    // Whether the calling thread is inside this plug-in's ProcessBlock: what
    // happens there must not call hosts back the way the user interface may. [any]
    bool InsideBlock() const;
    // Shared by the adapters' audio-thread entry points and ProcessBlock.
    AudioThreadCheck& AudioThread() { return audioThread_; }
    // Blocks given up because processing was being re-initialised. [any]
    uint64_t AbandonedBlocks() const { return abandonedBlocks_.load(std::memory_order_relaxed); }
    // [audio-thread] MIDI events a host sent beyond what a block can hold.
    void CountLostMIDI(uint64_t count) { lostMIDI_.fetch_add(count, std::memory_order_relaxed); }
    uint64_t LostMIDI() const { return lostMIDI_.load(std::memory_order_relaxed); }
    // [main-thread] Logs the events lost since the last report, at most once a second.
    void ReportLostMIDI();

protected:
    // One sub-block at the processing rate.
    virtual void Process(float** inputs, float** outputs, int32_t count) = 0;
    // Once per host block before the sub-blocks: sizes them.
    virtual void PrepareForProcessingOnce() {}
    virtual void PostProcess(float** /*inputs*/, float** /*outputs*/, int32_t /*count*/, int32_t /*replace*/) {}
    // Ramped values were written; an effect that caches them may refresh here.
    virtual void ApplyChangedValues() {}
    virtual int32_t EffectLatency() const { return 0; }
    // Whether the instance could store this state again within the reader's limits.
    virtual bool FitsWhenStoredAgain(const MXMLItem& root) const { return root.Measure().Within(1); }
    virtual bool AgcEnabled() const;
    void SetLatency(int32_t samples);
    // Registers the framework's own parameters, fixes the global indexes and
    // builds the ramp list; call after every other registration.
    void FinishParameters();

    MParameterRegistry registry_;
    MAudioPluginAdapter* hostAdapter_ = nullptr;
    std::atomic<bool> updatePending_{false};
    ParameterDescriptor bypassDescriptor_;
    ParameterDescriptor agcDescriptor_;
    int32_t inputBusCount_ = 2;  // main input and side-chain
    int32_t channelsPerBus_ = 2;
    int32_t maxSubBlock_ = 0;
    int32_t rampSubBlock_ = 256;
    // Written by hosts' and loads' threads, read by the audio thread.
    Shared<int32_t> maxLFOBlockSize_{256};
    Shared<int32_t> maxBufferSize_{0};
    MProcessingContext context_;
    Shared<int32_t> upsampling_{1};   // changed only under the three locks
    Shared<int32_t> channelMode_{0};  // applied at the next InitProcessing
    uint8_t surroundMask_[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    Shared<int32_t> hostInputChannels_{NotGiven};
    Shared<int32_t> hostOutputChannels_{NotGiven};

private:
    void Core(float** inputs, float** outputs, int32_t count);
    void RunSubBlocks(float** inputs, float** outputs, int32_t count);
    void Encode(float** inputs, float** outputs, int32_t count, bool& encoded);
    void Decode(float** inputs, float** outputs, int32_t count, bool encoded);
    void Bypass(float** inputs, float** outputs, int32_t count, int32_t replace);
    // A block that could not run: silence, or in bypass the input as it came.
    // Output channels the host passed beyond its declared count get the last declared one.
    void FillUndeclaredOutputs(float** outputs, int32_t count, int32_t replace);
    void WriteAbandonedBlock(float** inputs, float** outputs, int32_t count, int32_t replace);
    void ConfigureResamplers();
    // Asks the host at once, or, from a thread of ours, at its next tick; the host's answer.
    bool CallHost(const PostedHostCalls::Call& call);
    bool MakeHostCall(const PostedHostCalls::Call& call);
    // Every buffer a block needs, for the longest block: none is grown by processing.
    void PrepareBuffers();

    MMutex processingLock_, parameterLock_, stateLock_;
    std::atomic<uint64_t> abandonedBlocks_{0};
    std::atomic<uint64_t> lostMIDI_{0};
    PostedHostCalls postedHostCalls_;
    uint64_t lostMIDIReported_ = 0;  // [main-thread]
    std::chrono::steady_clock::time_point lostMIDIReportedAt_{};
    std::atomic<int32_t> exclusiveWaiters_{0};
    bool automationCompatibilityMode_ = true;
    AudioThreadCheck audioThread_;
    std::atomic<bool> hostSynchronisation_{true};
    Shared<double> hostSampleRate_{44100.0};
    Shared<int32_t> maxBlockSize_{DefaultMaxBlockSize};
    int32_t latchedMode_ = 0;
    ChannelCounts counts_;
    int32_t deliveredInputs_ = 2, deliveredOutputs_ = 2;  // latched host counts, for buffer repair
    int32_t latency_ = 0;
    ParameterRamps ramps_;
    AudioBufferRepair repair_;
    AutomaticGainControl agc_;
    LatencyDelay delays_[BusStride];      // host rate, whole plug-in latency: bypass
    LatencyDelay coreDelays_[BusStride];  // processing rate, the effect's latency: unprocessed channels
    GrowingBuffer inputCopies_[MaxInputBuses * BusStride];
    GrowingBuffer upsampledOutputs_[BusStride];
    GrowingBuffer accumulate_[BusStride];
    Upsampler upsamplers_[MaxInputBuses * BusStride];
    Downsampler downsamplers_[BusStride];
};

}  // namespace corvane
