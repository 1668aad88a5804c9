#include "hosts/vst2/MAudioPluginVSTAdapter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/core/MLock.h"
#include "framework/core/Strings.h"

namespace Vst2 {

using corvane::Guarded;
using corvane::GuardedVoid;

namespace {

// Copies at most `limit` characters and a terminating zero.
void CopyText(char* destination, const std::string& text, size_t limit) {
    if (destination == nullptr) return;
    const size_t n = std::min(text.size(), limit);
    std::memcpy(destination, text.data(), n);
    destination[n] = '\0';
}

constexpr size_t ParameterTextLimit = 24;

constexpr int32_t TransportRequest = kVstTransportChanged | kVstTransportPlaying | kVstTransportCycleActive |
                                     kVstAutomationWriting | kVstAutomationReading | kVstPpqPosValid | kVstTempoValid |
                                     kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

}  // namespace

MAudioPluginVSTAdapter::MAudioPluginVSTAdapter(HostCallback host,
                                               std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin)
    : host_(host), plugin_(std::move(plugin)) {
    outgoingBatch_.reserve(MaxOutgoingEvents);
    outgoingList_.resize(sizeof(VstEvents) + MaxOutgoingEvents * sizeof(VstEvent*));
    GuardedVoid("MAudioPluginVSTAdapter::MAudioPluginVSTAdapter", [&] {
        plugin_->SetHostAdapter(this);
        const intptr_t version = CallHost(audioMasterVersion);
        hostVersion_ = version == 0 ? 1 : static_cast<int32_t>(version);

        const auto& channels = plugin_->Channels();
        channelsPerBus_ = channels.channelsPerBus;
        int32_t inputs = static_cast<int32_t>(channels.inputNames.size());
        int32_t outputs = static_cast<int32_t>(channels.outputNames.size());
        if (hostVersion_ < 2300 && inputs >= 1) {
            const int32_t buses = (inputs + channelsPerBus_ - 1) / channelsPerBus_;
            inputs = buses * std::min(channelsPerBus_, 2);
            outputs = std::min(outputs, 2);
            channelsPerBus_ = 2;
        }
        if (hostVersion_ < 100) inputs = std::max(inputs, 2);

        effect_.magic = kEffectMagic;
        effect_.numPrograms = 0;
        effect_.numParams = plugin_->Parameters().ParameterCount();
        effect_.numInputs = inputs;
        effect_.numOutputs = outputs;
        effect_.flags = effFlagsCanReplacing | effFlagsProgramChunks;
        if (ReceivesMIDI() && inputs == 0) effect_.flags |= effFlagsIsSynth;
        effect_.ioRatio = 1.0f;
        effect_.uniqueID = UniqueId;
        effect_.version = 1;
        effect_.object = this;
        BuildCategories();
        ReportLatency(plugin_->Latency());
        resume();
        if (plugin_->HasEditor()) effect_.flags |= effFlagsHasEditor;
        plugin_->InitProcessing();
    });
}

MAudioPluginVSTAdapter::~MAudioPluginVSTAdapter() {
    GuardedVoid("MAudioPluginVSTAdapter::~MAudioPluginVSTAdapter", [&] {
        plugin_->SetHostAdapter(nullptr);
        plugin_.reset();
    });
}

MAudioPluginVSTAdapter* MAudioPluginVSTAdapter::FromEffect(AEffect* effect) {
    return effect != nullptr ? static_cast<MAudioPluginVSTAdapter*>(effect->object) : nullptr;
}

intptr_t MAudioPluginVSTAdapter::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return host_ != nullptr ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void MAudioPluginVSTAdapter::resume() {
    GuardedVoid("MAudioPluginVSTAdapter::resume", [&] {
        const bool synth = (effect_.flags & effFlagsIsSynth) != 0;
        if (synth || canDo("receiveVstMidiEvent") == 1) CallHost(audioMasterWantMidi, 0, 1);
        plugin_->SetHostSampleRate(sampleRate_);
        plugin_->InitProcessing();
    });
}

void MAudioPluginVSTAdapter::setBlockSize(int32_t frames) {
    blockSize_ = frames;
    plugin_->SetMaxBlockSize(frames);  // buffers are sized for it at the next resume
}

void MAudioPluginVSTAdapter::setSampleRate(float rate) {
    GuardedVoid("MAudioPluginVSTAdapter::setSampleRate", [&] {
        sampleRate_ = rate;
        if (rate > 100.0f) {
            plugin_->SetHostSampleRate(rate);
            plugin_->InitProcessing();
        }
    });
}

void MAudioPluginVSTAdapter::setParameter(int32_t index, float value) {
    GuardedVoid("MAudioPluginVSTAdapter::setParameter", [&] {
        // The host echoing our own automation report must not apply it twice;
        // a write from another thread meanwhile is the host's own.
        if (corvane::ReportToHost::Echoing(this)) return;
        plugin_->Parameters().SetParameter(index, value, false);
    });
}

float MAudioPluginVSTAdapter::getParameter(int32_t index) {
    return Guarded("MAudioPluginVSTAdapter::getParameter", 0.0f,
                   [&] { return static_cast<float>(plugin_->Parameters().GetParameter(index)); });
}

void MAudioPluginVSTAdapter::getParameterName(int32_t index, char* text) {
    CopyText(text, "", 0);
    GuardedVoid("MAudioPluginVSTAdapter::getParameterName",
                [&] { CopyText(text, plugin_->Parameters().GetParameterName(index), ParameterTextLimit); });
}

void MAudioPluginVSTAdapter::getParameterDisplay(int32_t index, char* text) {
    CopyText(text, "", 0);
    GuardedVoid("MAudioPluginVSTAdapter::getParameterDisplay",
                [&] { CopyText(text, plugin_->Parameters().GetParameterValueName(index), ParameterTextLimit); });
}

void MAudioPluginVSTAdapter::getParameterLabel(int32_t index, char* text) {
    CopyText(text, "", 0);
    GuardedVoid("MAudioPluginVSTAdapter::getParameterLabel",
                [&] { CopyText(text, plugin_->Parameters().GetParameterUnitsName(index), ParameterTextLimit); });
}

bool MAudioPluginVSTAdapter::string2parameter(int32_t index, const char* text) {
    return Guarded("MAudioPluginVSTAdapter::string2parameter", false, [&] {
        if (index < 0 || index >= effect_.numParams) return false;
        if (text == nullptr) return true;  // the host asks whether typing values works
        if (!plugin_->Parameters().CanParseParameterValueName(index, text)) return false;
        const double value = plugin_->Parameters().ParseParameterValueName(index, text);
        plugin_->Parameters().SetParameter(index, value, false);
        return true;
    });
}

void MAudioPluginVSTAdapter::BuildCategories() {
    corvane::MParameterRegistry& parameters = plugin_->Parameters();
    parameterCategory_.assign(static_cast<size_t>(effect_.numParams), 0);
    for (int32_t i = 0; i < effect_.numParams; ++i) {
        const std::string name = parameters.GetParameterCategory(i);
        if (name.empty()) continue;
        auto found =
            std::find_if(categories_.begin(), categories_.end(), [&](const auto& c) { return c.first == name; });
        if (found == categories_.end()) found = categories_.insert(categories_.end(), {name, 0});
        ++found->second;
        parameterCategory_[static_cast<size_t>(i)] = static_cast<int16_t>(found - categories_.begin() + 1);
    }
}

bool MAudioPluginVSTAdapter::getParameterProperties(int32_t index, VstParameterProperties* properties) {
    return Guarded("MAudioPluginVSTAdapter::getParameterProperties", false, [&] {
        if (properties == nullptr || index < 0 || index >= effect_.numParams) return false;
        corvane::MParameterRegistry& parameters = plugin_->Parameters();
        std::memset(properties, 0, sizeof *properties);
        CopyText(properties->label, parameters.GetParameterLabel(index), sizeof properties->label - 1);
        CopyText(properties->shortLabel, parameters.GetParameterName(index), sizeof properties->shortLabel - 1);
        // Steps are given in normalised units: hosts that see integer
        // minimum and maximum (Ardour) send those raw values to setParameter.
        int32_t minimum = 0, maximum = 0;
        if (parameters.GetParameterIntegerRange(index, minimum, maximum) && maximum > minimum) {
            if (minimum == 0 && maximum == 1) {
                properties->flags |= kVstParameterIsSwitch;
            } else {
                properties->flags |= kVstParameterUsesFloatStep;
                properties->stepFloat = properties->smallStepFloat = 1.0f / static_cast<float>(maximum - minimum);
                properties->largeStepFloat = std::max(properties->stepFloat, 0.1f);
            }
        }
        const int16_t category = parameterCategory_[static_cast<size_t>(index)];
        if (category > 0) {
            const auto& [name, size] = categories_[static_cast<size_t>(category - 1)];
            properties->flags |= kVstParameterSupportsDisplayCategory;
            properties->category = category;
            properties->numParametersInCategory = size;
            CopyText(properties->categoryLabel, name, sizeof properties->categoryLabel - 1);
        }
        return true;
    });
}

int32_t MAudioPluginVSTAdapter::getChunk(void** data) {
    return Guarded("MAudioPluginVSTAdapter::getChunk", 0, [&] {
        if (data == nullptr) return 0;
        chunk_ = plugin_->WriteChunk();
        *data = chunk_.data();
        return static_cast<int32_t>(chunk_.size());
    });
}

int32_t MAudioPluginVSTAdapter::setChunk(const void* data, int32_t size) {
    GuardedVoid("MAudioPluginVSTAdapter::setChunk",
                [&] { lastChunkAccepted_ = size > 0 && plugin_->ReadChunk(data, static_cast<size_t>(size)); });
    return 1;
}

void MAudioPluginVSTAdapter::idle() {
    corvane::GuardedVoid("MAudioPluginVSTAdapter::MEditor::idle", [&] {
        plugin_->ReportLostMIDI();
        plugin_->EditorIdle();
    });
}

bool MAudioPluginVSTAdapter::editGetRect(ERect** rect) {
    return corvane::Guarded("MAudioPluginVSTAdapter::MEditor::getRect", false, [&] {
        corvane::PluginEditor* editor = plugin_->Editor();
        if (rect == nullptr) return false;
        *rect = nullptr;
        if (editor == nullptr) return false;
        editorRect_ = {0, 0, static_cast<int16_t>(editor->Height()), static_cast<int16_t>(editor->Width())};
        *rect = &editorRect_;
        return true;
    });
}

bool MAudioPluginVSTAdapter::editOpen(void* parent) {
    return corvane::Guarded("MAudioPluginVSTAdapter::MEditor::open", false, [&] {
        corvane::PluginEditor* editor = plugin_->Editor();
        return editor != nullptr && editor->Open(parent);
    });
}

bool MAudioPluginVSTAdapter::editKeyDown(int32_t character, int32_t virtualKey) {
    return corvane::Guarded("MAudioPluginVSTAdapter::MEditor::onKeyDown", false, [&] {
        corvane::PluginEditor* editor = plugin_->Editor();
        return editor != nullptr && editor->IsOpen() && editor->KeyDown(character, virtualKey);
    });
}

void MAudioPluginVSTAdapter::editClose() {
    corvane::GuardedVoid("MAudioPluginVSTAdapter::MEditor::close", [&] {
        if (corvane::PluginEditor* editor = plugin_->Editor()) editor->Close();
    });
}

intptr_t MAudioPluginVSTAdapter::vendorSpecific(int32_t selector, intptr_t value, void* ptr) {
    return Guarded("MAudioPluginVSTAdapter::vendorSpecific", intptr_t(0), [&]() -> intptr_t {
        switch (selector) {
            case VendorParameterIdentifier:
                if (ptr == nullptr || value < 0 || value >= effect_.numParams) return 0;
                CopyText(static_cast<char*>(ptr),
                         plugin_->Parameters().GetParameterIdentifier(static_cast<int32_t>(value)),
                         kVstMaxLabelLen - 1);
                return 1;
            case VendorLastChunkAccepted:
                return lastChunkAccepted_ ? 1 : 0;
            default:
                return 0;
        }
    });
}

bool MAudioPluginVSTAdapter::getEffectName(char* text) {
    return Guarded("MAudioPluginVSTAdapter::getEffectName", false, [&] {
        CopyText(text, plugin_->ProductName(), kVstMaxEffectNameLen - 1);
        return true;
    });
}

bool MAudioPluginVSTAdapter::getVendorString(char* text) {
    return Guarded("MAudioPluginVSTAdapter::getVendorString", false, [&] {
        CopyText(text, plugin_->VendorName(), kVstMaxVendorStrLen - 1);
        return true;
    });
}

bool MAudioPluginVSTAdapter::getProductString(char* text) {
    return Guarded("MAudioPluginVSTAdapter::getProductString", false, [&] {
        CopyText(text, plugin_->ProductName(), kVstMaxProductStrLen - 1);
        return true;
    });
}

int32_t MAudioPluginVSTAdapter::canDo(const char* text) {
    return Guarded("MAudioPluginVSTAdapter::canDo", 0, [&]() -> int32_t {
        if (text == nullptr) return 0;
        const std::string what = text;
        for (const char* t : {"receiveVstEvents", "receiveVstEvent", "receiveVstMidiEvents", "receiveVstMidiEvent"})
            if (what == t) return ReceivesMIDI() ? 1 : -1;
        for (const char* t : {"sendVstEvents", "sendVstEvent", "sendVstMidiEvents", "sendVstMidiEvent"})
            if (what == t) return SendsMIDI() ? 1 : -1;
        for (const char* t : {"plugAsChannelInsert", "canMono", "plugAsSend", "receiveVstTimeInfo"})
            if (what == t) return 1;
        if (what == "bypass") return -1;
        return 0;
    });
}

const std::vector<std::string>& MAudioPluginVSTAdapter::InputNames() const { return plugin_->Channels().inputNames; }
const std::vector<std::string>& MAudioPluginVSTAdapter::OutputNames() const { return plugin_->Channels().outputNames; }

bool MAudioPluginVSTAdapter::PinProperties(const std::vector<std::string>& names, int32_t index,
                                           VstPinProperties* properties) {
    if (properties == nullptr || index < 0 || index >= static_cast<int32_t>(names.size())) return false;
    std::memset(properties, 0, sizeof *properties);
    CopyText(properties->label, names[static_cast<size_t>(index)], sizeof properties->label - 1);
    CopyText(properties->shortLabel, names[static_cast<size_t>(index)], sizeof properties->shortLabel - 1);
    if (channelsPerBus_ == 1) {
        properties->flags = kVstPinIsActive;
        properties->arrangementType = kSpeakerArrMono;
    } else if (channelsPerBus_ == 2) {
        properties->flags = kVstPinIsActive | kVstPinIsStereo;
        properties->arrangementType = kSpeakerArrStereo;
    } else {
        properties->flags = kVstPinIsActive | kVstPinUseSpeaker;
        properties->arrangementType = kSpeakerArr80Music;
    }
    return true;
}

bool MAudioPluginVSTAdapter::getInputProperties(int32_t index, VstPinProperties* properties) {
    return Guarded("MAudioPluginVSTAdapter::getInputProperties", false,
                   [&] { return index < effect_.numInputs && PinProperties(InputNames(), index, properties); });
}

bool MAudioPluginVSTAdapter::getOutputProperties(int32_t index, VstPinProperties* properties) {
    return Guarded("MAudioPluginVSTAdapter::getOutputProperties", false,
                   [&] { return index < effect_.numOutputs && PinProperties(OutputNames(), index, properties); });
}

bool MAudioPluginVSTAdapter::setSpeakerArrangement(const VstSpeakerArrangement* input,
                                                   const VstSpeakerArrangement* output) {
    return Guarded("MAudioPluginVSTAdapter::setSpeakerArrangement", false, [&] {
        if ((input != nullptr && input->numChannels > effect_.numInputs) ||
            (output != nullptr && output->numChannels > effect_.numOutputs))
            return false;
        const int32_t inputs = effect_.numInputs == 0 ? 0
                               : input == nullptr     ? corvane::MAudioPlugin::NotGiven
                                                      : std::min(input->numChannels, channelsPerBus_);
        const int32_t outputs =
            output == nullptr || output->numChannels <= 0 ? 1 : std::min(output->numChannels, channelsPerBus_);
        if (plugin_->SetHostChannels(inputs, outputs)) plugin_->InitProcessing();
        return true;
    });
}

int32_t MAudioPluginVSTAdapter::processEvents(const VstEvents* events) {
    SONVERA_AUDIO_THREAD(plugin_->AudioThread(), "MAudioPluginVSTAdapter::processEvents");
    GuardedVoid("MAudioPluginVSTAdapter::processEvents", [&] {
        if (events == nullptr || events->numEvents <= 0) return;
        if (const VstTimeInfo* time = AskTime())
            plugin_->Context().barStart = corvane::BarStartOnGrid(time->barStartPos, time->timeSigDenominator);
        for (int32_t i = 0; i < events->numEvents; ++i) {
            const VstEvent* event = events->events[i];
            if (event == nullptr || event->type != kVstMidiType) continue;
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            QueuedMIDI queued{midi->deltaFrames, {}};
            std::memcpy(queued.bytes, midi->midiData, 4);
            // A flood: what fits, and every note's end after it.
            if (incoming_.TryPush(queued)) continue;
            if (!noteEnds_.Keep(queued.deltaFrames, queued.bytes)) plugin_->CountLostMIDI(1);
        }
    });
    return 1;
}

const VstTimeInfo* MAudioPluginVSTAdapter::AskTime() {
    if (!plugin_->HostSynchronisation()) return nullptr;
    return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, TransportRequest));
}

void MAudioPluginVSTAdapter::ReadTransport() {
    const VstTimeInfo* time = AskTime();
    if (time == nullptr) {
        transport_.Apply(*plugin_, nullptr);
        return;
    }
    // What VST 2.4 hosts answer is taken as given, whatever validity flags they set.
    corvane::HostTransport t;
    t.positionValid = t.tempoValid = t.timeSignatureValid = t.barValid = t.cycleActive = true;
    t.playing = (time->flags & kVstTransportPlaying) != 0;
    t.position = time->ppqPos;
    t.tempo = time->tempo;
    t.numerator = time->timeSigNumerator;
    t.denominator = time->timeSigDenominator;
    t.barStart = time->barStartPos;
    t.cycleStart = time->cycleStartPos;
    t.cycleEnd = time->cycleEndPos;
    t.samplePosition = time->samplePos;
    transport_.Apply(*plugin_, &t);
}

void MAudioPluginVSTAdapter::PerformProcessing(float** inputs, float** outputs, int32_t frames, int32_t replace) {
    SONVERA_AUDIO_THREAD(plugin_->AudioThread(), "MAudioPluginVSTAdapter::PerformProcessing");
    if (frames <= 0 || outputs == nullptr) return;
    ReadTransport();
    plugin_->sampleRate = plugin_->ProcessingSampleRate();
    for (QueuedMIDI event; incoming_.TryPop(event);) plugin_->ProcessMIDIEvent(event.deltaFrames, event.bytes);
    noteEnds_.Drain([&](int32_t delta, const uint8_t* bytes) { plugin_->ProcessMIDIEvent(delta, bytes); });

    // Eight slots per bus: a bus's remaining slots repeat its last channel.
    float* in[corvane::MAudioPlugin::MaxInputBuses * corvane::MAudioPlugin::BusStride] = {};
    float* out[corvane::MAudioPlugin::BusStride] = {};
    const int32_t inputBuses = effect_.numInputs > 0 ? (effect_.numInputs + channelsPerBus_ - 1) / channelsPerBus_ : 0;
    for (int32_t bus = 0; bus < std::min(inputBuses, corvane::MAudioPlugin::MaxInputBuses); ++bus) {
        if (inputs == nullptr || inputs[bus * channelsPerBus_] == nullptr) continue;
        float* last = nullptr;
        for (int32_t slot = 0; slot < corvane::MAudioPlugin::BusStride; ++slot) {
            const int32_t channel = bus * channelsPerBus_ + slot;
            if (slot < channelsPerBus_ && channel < effect_.numInputs && inputs[channel] != nullptr)
                last = inputs[channel];
            in[bus * corvane::MAudioPlugin::BusStride + slot] = last;
        }
    }
    if (outputs[0] != nullptr) {
        float* last = nullptr;
        for (int32_t slot = 0; slot < corvane::MAudioPlugin::BusStride; ++slot) {
            if (slot < std::min(channelsPerBus_, effect_.numOutputs) && outputs[slot] != nullptr) last = outputs[slot];
            out[slot] = last;
        }
    }
    plugin_->ProcessBlock(in, out, frames, replace);
    SendQueuedMIDI();
}

void MAudioPluginVSTAdapter::processReplacing(float** inputs, float** outputs, int32_t frames) {
    GuardedVoid("MAudioPluginVSTAdapter::processReplacing", [&] { PerformProcessing(inputs, outputs, frames, 1); });
}

void MAudioPluginVSTAdapter::process(float** inputs, float** outputs, int32_t frames) {
    GuardedVoid("MAudioPluginVSTAdapter::process", [&] { PerformProcessing(inputs, outputs, frames, 0); });
}

void MAudioPluginVSTAdapter::SendQueuedMIDI() {
    outgoingBatch_.clear();
    for (VstMidiEvent event; outgoing_.TryPop(event);) outgoingBatch_.push_back(event);
    if (outgoingBatch_.empty()) return;
    auto* list = reinterpret_cast<VstEvents*>(outgoingList_.data());
    list->numEvents = static_cast<int32_t>(outgoingBatch_.size());
    list->reserved = 0;
    for (size_t i = 0; i < outgoingBatch_.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*>(&outgoingBatch_[i]);
    CallHost(audioMasterProcessEvents, 0, 0, list);
}

void MAudioPluginVSTAdapter::SendAutomation(int32_t index, double value) {
    if (index < 0 || index >= effect_.numParams) return;
    const corvane::ReportToHost reporting(this);
    CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(value));
}

void MAudioPluginVSTAdapter::SendBypassAutomation(bool) {}

void MAudioPluginVSTAdapter::BeginEdit(int32_t index) {
    if (index >= 0 && index < effect_.numParams) CallHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

void MAudioPluginVSTAdapter::EndEdit(int32_t index) {
    if (index >= 0 && index < effect_.numParams) CallHost(audioMasterEndEdit, index, 0, nullptr, 0.0f);
}

void MAudioPluginVSTAdapter::GenerateMIDIEvent(int32_t deltaFrames, const uint8_t* bytes, int32_t length) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    for (int32_t i = 0; i < std::min(length, 4); ++i) event.midiData[i] = static_cast<char>(bytes[i]);
    outgoing_.TryPush(event);  // a full ring drops the event
}

void MAudioPluginVSTAdapter::ReportLatency(int32_t samples) {
    corvane::DiagnosticLog::Write("Latency: " + std::to_string(samples));
    effect_.initialDelay = samples;
    CallHost(audioMasterIOChanged);
}

bool MAudioPluginVSTAdapter::ChangeEditorSize(int32_t width, int32_t height) {
    return Guarded("MAudioPluginVSTAdapter::ChangeEditorSize", false,
                   [&] { return CallHost(audioMasterSizeWindow, width, height) != 0; });
}

}  // namespace Vst2
