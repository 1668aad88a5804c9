#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

#include <algorithm>

#include "framework/core/ExceptionGuard.h"
#include "framework/core/MLock.h"
#include "framework/modulation/SpecialParameterFactories.h"
#include "framework/plugin/BackgroundWork.h"
#include "framework/storage/Configuration.h"

namespace corvane {
namespace {

MAudioEffectPluginToAudioPluginAdapter* Listener(MPluginHost& host) {
    return static_cast<MAudioEffectPluginToAudioPluginAdapter*>(host.FindListener(0));
}

}  // namespace

MAudioEffectPluginToAudioPluginAdapter::MAudioEffectPluginToAudioPluginAdapter() {
    InstallSpecialParameterFactories(registry_);
    modulators_.UseLock(modulationLock_);
    multiParameters_.UseLock(modulationLock_);
}

MAudioEffectPluginToAudioPluginAdapter::~MAudioEffectPluginToAudioPluginAdapter() {
    StopBackgroundWork();
    // The effect goes first; Destroy waits for its lock, so a block in progress ends.
    if (host_ != nullptr && effect_ != nullptr) host_->Send(PluginCommand::Destroy);
}

void MAudioEffectPluginToAudioPluginAdapter::StopBackgroundWork() {
    if (presetStepper_ != 0) BackgroundWork::Remove(presetStepper_);
    presetStepper_ = 0;
}

void MAudioEffectPluginToAudioPluginAdapter::Initialize(const std::string& product, const std::string& vendor,
                                                        MPluginInterfaceFunction effectInterface) {
    MPluginSystem system;
    if (system.LoadEffect(product, effectInterface, this, host_) != MPluginSystem::Loaded)
        throw MException("Error creating plugin.");
    effect_ = reinterpret_cast<MAudioEffectPlugin*>(static_cast<intptr_t>(host_->Send(PluginCommand::GetObject)));
    if (effect_ == nullptr) throw MException("Error creating plugin.");
    product_ = product;
    vendor_ = vendor;
    CreatePresetManagers();
    // MIDI's preset steps are taken within a few milliseconds whether or not
    // the host idles or an editor is open; oscillator tables that parameter
    // writes left behind are recomputed here, not on the audio thread.
    presetStepper_ = BackgroundWork::Add([this] {
        ApplyPresetSteps();
        modulators_.RefreshShapes();
    });
    const ParameterTable& table = *host_->parameterTable;
    inputBusCount_ = std::min(std::max(table.inputBusCount, 0), MaxInputBuses);
    secondLevelDisplay_ = (table.flags & ParameterTableFlags::SecondLevelDisplay) != 0;
    // The user's global "Surround" choice makes every bus eight channels wide.
    const bool surround =
        Guarded("MAudioEffectPluginToAudioPluginAdapter::Initialize", false, [] { return Configuration::Surround(); });
    channels_ = ChannelConfiguration::Build(table.inputBusCount, surround);
    channelsPerBus_ = channels_.channelsPerBus;
    registry_.RegisterEffect(*effect_, table);
    modulators_.Register(registry_);
    multiParameters_.Register(registry_);
    FinishParameters();

    host_->RegisterListener(0, this);
    host_->SetHandler(HostCommand::DestroyTemporaryAdapters, [](MPluginHost&, int64_t, MPluginArguments*) {});
    host_->SetHandler(HostCommand::Rebuild, [](MPluginHost& host, int64_t, MPluginArguments*) {
        if (auto* plugin = Listener(host)) plugin->SetUpdatePending();
    });
    host_->SetHandler(HostCommand::RefreshBoundObjects, [](MPluginHost&, int64_t, MPluginArguments*) {});
    host_->SetHandler(HostCommand::UpdateMaxBufferSize, [](MPluginHost& host, int64_t, MPluginArguments*) {
        if (auto* plugin = Listener(host)) plugin->UpdateMaxBufferSize();
    });
    InitProcessing();
}

void MAudioEffectPluginToAudioPluginAdapter::InitProcessing() {
    {
        ExclusiveAccess exclusive(*this);
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::InitProcessing_LockedPart",
                    [&] { InitProcessing_LockedPart(); });
    }
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::InitProcessing_UnLockedPart",
                [&] { InitProcessing_UnLockedPart(); });
}

void MAudioEffectPluginToAudioPluginAdapter::InitProcessing_LockedPart() {
    MAudioPlugin::InitProcessing();
    if (effect_ == nullptr) return;
    effect_->InitProcessing(Counts().effect, ProcessingSampleRate());
    effect_->PrepareBlocks(MaxBlockSize() * Upsampling());
    modulators_.Initialise(ProcessingSampleRate());
    effect_->Update();
    effect_->CommitParameterValues();
    updatePending_.store(false);
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::InitProcessingActivePresets",
                [&] { InitProcessingActivePresets(); });
    ParameterValuesReplaced();
}

void MAudioEffectPluginToAudioPluginAdapter::GenerateRandomSettingsForMultiParameters(double amount) {
    {
        ExclusiveAccess exclusive(*this);
        multiParameters_.Randomize(amount);
    }
    InitProcessing();
}

void MAudioEffectPluginToAudioPluginAdapter::InitProcessingGUI() {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::InitProcessingGUI", [&] {
        if (effect_ != nullptr) effect_->InitProcessingGUI();
    });
}

void MAudioEffectPluginToAudioPluginAdapter::ProcessUpdate() {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::ProcessUpdate", [&] {
        if (processUpdateEnabled && host_ != nullptr) host_->SendProcessUpdate();
    });
}

void MAudioEffectPluginToAudioPluginAdapter::UpdateMaxBufferSize() {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::UpdateMaxBufferSize", [&] {
        if (host_ != nullptr) maxBufferSize_.Store(std::max(host_->QueryMaxBufferSize(), 1));
    });
}

void MAudioEffectPluginToAudioPluginAdapter::PrepareForProcessingOnce() {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::PrepareForProcessingOnce", [&] {
        const int32_t lfoBlock = maxLFOBlockSize_.Load();
        rampSubBlock_ = lfoBlock;
        maxSubBlock_ = maxBufferSize_.Load();
        if (ModulatorsActive()) maxSubBlock_ = maxSubBlock_ < 1 ? lfoBlock : std::min(maxSubBlock_, lfoBlock);
    });
}

void MAudioEffectPluginToAudioPluginAdapter::PrepareForProcessing(float** inputs, int32_t count) {
    // The meters are fed here too, once an editor exists.
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::PrepareForProcessing", [&] {
        modulators_.Process(context_, ProcessingSampleRate(), inputs, Counts().effect, count, registry_);
        multiParameters_.Process(count, ProcessingSampleRate(), registry_);
    });
}

// Some hosts' adapters hand MIDI over before the block takes its lock; the
// tables are only read while no load or re-initialisation holds processing
// off. Meanwhile the event moves nothing: the state is being replaced.
template <class Work>
void MAudioEffectPluginToAudioPluginAdapter::WithTablesHeld(const char* label, Work&& work) {
    if (ProcessingLock().Lock(0) != 0) return;
    GuardedVoid(label, work);
    ProcessingLock().Unlock();
}

bool MAudioEffectPluginToAudioPluginAdapter::LearnMIDIController(int32_t slot) {
    ExclusiveAccess exclusive(*this);
    return slot < 0 ? midi_.LearnPresetSwitch(LastMIDISource()) : midi_.LearnController(slot, LastMIDISource());
}

void MAudioEffectPluginToAudioPluginAdapter::AfterMIDI(int32_t channel, int32_t source, int32_t presetStep) {
    lastMIDISource_.store(channel * 256 + source, std::memory_order_relaxed);
    if (presetStep != 0) presetSteps_.fetch_add(presetStep);
}

void MAudioEffectPluginToAudioPluginAdapter::ProcessNote(MIDINoteEvent& note) {
    MAudioPlugin::ProcessNote(note);
    WithTablesHeld("MAudioEffectPluginToAudioPluginAdapter::ProcessNote", [&] {
        AfterMIDI(note.channel, note.on ? SourceVelocityOn : SourceVelocityOnAndOff,
                  midi_.Note(note.channel, note.note, note.velocity, note.on, registry_));
        if (note.on)
            modulators_.NoteOn();
        else if (note.channelCount == 0)  // legato playing keeps the envelope held
            modulators_.NoteOff();
    });
}

int32_t MAudioEffectPluginToAudioPluginAdapter::ProcessMIDIController(int32_t deltaFrames, double position,
                                                                      uint8_t channel, uint8_t controller,
                                                                      double value) {
    const int32_t handled = MAudioPlugin::ProcessMIDIController(deltaFrames, position, channel, controller, value);
    WithTablesHeld("MAudioEffectPluginToAudioPluginAdapter::ProcessMIDIController", [&] {
        AfterMIDI(channel, controller, midi_.Controller(channel, controller & 0x7F, value, registry_));
    });
    return handled;
}

void MAudioEffectPluginToAudioPluginAdapter::ProcessAftertouch(int32_t deltaFrames, double position, uint8_t channel,
                                                               uint8_t note, double value) {
    MAudioPlugin::ProcessAftertouch(deltaFrames, position, channel, note, value);
    WithTablesHeld("MAudioEffectPluginToAudioPluginAdapter::ProcessAftertouch", [&] {
        AfterMIDI(channel, SourceAftertouch, midi_.Controller(channel, SourceAftertouch, value, registry_));
    });
}

void MAudioEffectPluginToAudioPluginAdapter::ProcessPitchBend(int32_t deltaFrames, double position, uint8_t channel,
                                                              double bend) {
    MAudioPlugin::ProcessPitchBend(deltaFrames, position, channel, bend);
    WithTablesHeld("MAudioEffectPluginToAudioPluginAdapter::ProcessPitchBend",
                   [&] { AfterMIDI(channel, SourcePitchBend, midi_.PitchBend(channel, bend, registry_)); });
}

void MAudioEffectPluginToAudioPluginAdapter::Process(float** inputs, float** outputs, int32_t count) {
    if (effect_ == nullptr) return;
    PrepareForProcessing(inputs, count);
    // A design that fails keeps the previous one: the block still runs.
    if (updatePending_.exchange(false, std::memory_order_acq_rel))
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::Update", [&] { effect_->Update(); });
    effect_->Process(&context_, inputs, outputs, count);
    if (metersFed_.load(std::memory_order_relaxed)) {
        const int32_t channels = std::min(Counts().effect, 2);
        meters_.Feed(LevelMeters::Carrier, inputs, channels, count);
        meters_.Feed(LevelMeters::Modulator, inputs + 8, channels, count);
        meters_.Feed(LevelMeters::Output, outputs, channels, count);
    }
}

}  // namespace corvane
