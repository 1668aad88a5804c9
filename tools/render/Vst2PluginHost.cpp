// The VST 2.4 side of the renderer's host.

#include <dlfcn.h>

#include <stdexcept>

#include "hosts/vst2/VstInterface.h"
#include "tools/render/PluginHost.h"

namespace render {
namespace {

// The host's answer to audioMasterGetTime; `user` carries it once the effect exists.
struct TimeAnswer {
    const Transport* transport = nullptr;
    Vst2::VstTimeInfo info{};
};

intptr_t HostCallback(Vst2::AEffect* effect, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
        case Vst2::audioMasterVersion:
            return 2400;
        case Vst2::audioMasterWantMidi:
            return 1;
        case Vst2::audioMasterGetTime: {
            auto* answer = effect != nullptr ? static_cast<TimeAnswer*>(effect->user) : nullptr;
            if (answer == nullptr || !answer->transport->Running()) return 0;
            const Transport& t = *answer->transport;
            answer->info = Vst2::VstTimeInfo{};
            answer->info.samplePos = static_cast<double>(t.Samples());
            answer->info.sampleRate = t.SampleRate();
            answer->info.ppqPos = t.QuarterNotes();
            answer->info.tempo = t.Tempo();
            answer->info.flags = Vst2::kVstTransportPlaying | Vst2::kVstPpqPosValid | Vst2::kVstTempoValid;
            return reinterpret_cast<intptr_t>(&answer->info);
        }
        default:
            return 0;
    }
}

class Vst2PluginHost : public PluginHost {
public:
    Vst2PluginHost(const std::string& path, double sampleRate, int32_t blockSize);
    ~Vst2PluginHost() override;
    Vst2PluginHost(const Vst2PluginHost&) = delete;
    Vst2PluginHost& operator=(const Vst2PluginHost&) = delete;

    int32_t ParameterCount() const override { return effect_->numParams; }
    int32_t Latency() const override { return effect_->initialDelay; }
    ParameterInfo Parameter(int32_t index) const override;
    bool SetText(int32_t index, const std::string& text) override;
    void SetNormalised(int32_t index, float value) override;
    std::vector<uint8_t> GetState() const override;
    bool SetState(const std::vector<uint8_t>& bytes) override;
    void Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames) override;

private:
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const;

    void* library_ = nullptr;
    Vst2::AEffect* effect_ = nullptr;
    TimeAnswer time_;
};

}  // namespace

Vst2PluginHost::Vst2PluginHost(const std::string& path, double sampleRate, int32_t blockSize) {
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) throw std::runtime_error("cannot load the plug-in " + path + ": " + dlerror());
    using Entry = Vst2::AEffect* (*)(Vst2::HostCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library_, "VSTPluginMain"));
    if (entry == nullptr) throw std::runtime_error(path + " is not a VST 2.4 plug-in (no VSTPluginMain)");
    effect_ = entry(HostCallback);
    if (effect_ == nullptr || effect_->magic != Vst2::kEffectMagic)
        throw std::runtime_error("the plug-in " + path + " did not start");
    time_.transport = &transport_;
    effect_->user = &time_;
    Dispatch(Vst2::effOpen);
    Dispatch(Vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(Vst2::effSetBlockSize, 0, blockSize);
    Dispatch(Vst2::effMainsChanged, 0, 1);
}

Vst2PluginHost::~Vst2PluginHost() {
    if (effect_ != nullptr) {
        Dispatch(Vst2::effMainsChanged, 0, 0);
        Dispatch(Vst2::effClose);
    }
    if (library_ != nullptr) dlclose(library_);
}

intptr_t Vst2PluginHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

ParameterInfo Vst2PluginHost::Parameter(int32_t index) const {
    char name[256] = {}, identifier[256] = {}, display[256] = {}, label[256] = {};
    Dispatch(Vst2::effGetParamName, index, 0, name);
    Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'I', 'd'), index, identifier);
    Dispatch(Vst2::effGetParamDisplay, index, 0, display);
    Dispatch(Vst2::effGetParamLabel, index, 0, label);
    Vst2::VstParameterProperties properties{};
    const bool described = Dispatch(Vst2::effGetParameterProperties, index, 0, &properties) != 0;
    properties.label[sizeof properties.label - 1] = '\0';
    return {index, name, identifier, display, label, described ? properties.label : name};
}

bool Vst2PluginHost::SetText(int32_t index, const std::string& text) {
    return Dispatch(Vst2::effString2Parameter, index, 0, const_cast<char*>(text.c_str())) != 0;
}

void Vst2PluginHost::SetNormalised(int32_t index, float value) { effect_->setParameter(effect_, index, value); }

std::vector<uint8_t> Vst2PluginHost::GetState() const {
    void* data = nullptr;
    const intptr_t size = Dispatch(Vst2::effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

bool Vst2PluginHost::SetState(const std::vector<uint8_t>& bytes) {
    Dispatch(Vst2::effSetChunk, 0, static_cast<intptr_t>(bytes.size()), const_cast<uint8_t*>(bytes.data()));
    return Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'O', 'k')) != 0;
}

void Vst2PluginHost::Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames) {
    if (!midi_.empty()) {
        // As hosts do: one event list, delivered before the block it belongs to.
        std::vector<Vst2::VstMidiEvent> events(midi_.size());
        std::vector<intptr_t> list(2 + midi_.size());  // VstEvents with room for every pointer
        auto* header = reinterpret_cast<Vst2::VstEvents*>(list.data());
        header->numEvents = static_cast<int32_t>(midi_.size());
        for (size_t i = 0; i < midi_.size(); ++i) {
            Vst2::VstMidiEvent& e = events[i];
            e.type = Vst2::kVstMidiType;
            e.byteSize = static_cast<int32_t>(sizeof e);
            e.deltaFrames = static_cast<int32_t>(midi_[i].frame);
            for (int b = 0; b < 3; ++b) e.midiData[b] = static_cast<char>(midi_[i].bytes[b]);
            header->events[i] = reinterpret_cast<Vst2::VstEvent*>(&e);
        }
        Dispatch(Vst2::effProcessEvents, 0, 0, header);
        midi_.clear();
    }
    float* inputs[4] = {carrier[0], carrier[1], modulator[0], modulator[1]};
    effect_->processReplacing(effect_, inputs, output, frames);
    transport_.Advance(frames);
}

std::unique_ptr<PluginHost> OpenVst2(const std::string& path, double sampleRate, int32_t blockSize) {
    return std::make_unique<Vst2PluginHost>(path, sampleRate, blockSize);
}

}  // namespace render
