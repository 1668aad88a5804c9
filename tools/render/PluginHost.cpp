#include "tools/render/PluginHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace render {
namespace {

intptr_t HostCallback(Vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
        case Vst2::audioMasterVersion:
            return 2400;
        case Vst2::audioMasterWantMidi:
            return 1;
        default:
            return 0;
    }
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

PluginHost::PluginHost(const std::string& path, double sampleRate, int32_t blockSize) {
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) throw std::runtime_error("cannot load the plug-in " + path + ": " + dlerror());
    using Entry = Vst2::AEffect* (*)(Vst2::HostCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library_, "VSTPluginMain"));
    if (entry == nullptr) throw std::runtime_error(path + " is not a VST 2.4 plug-in (no VSTPluginMain)");
    effect_ = entry(HostCallback);
    if (effect_ == nullptr || effect_->magic != Vst2::kEffectMagic)
        throw std::runtime_error("the plug-in " + path + " did not start");
    Dispatch(Vst2::effOpen);
    Dispatch(Vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(Vst2::effSetBlockSize, 0, blockSize);
    Dispatch(Vst2::effMainsChanged, 0, 1);
}

PluginHost::~PluginHost() {
    if (effect_ != nullptr) {
        Dispatch(Vst2::effMainsChanged, 0, 0);
        Dispatch(Vst2::effClose);
    }
    if (library_ != nullptr) dlclose(library_);
}

intptr_t PluginHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

ParameterInfo PluginHost::Parameter(int32_t index) const {
    char name[256] = {}, identifier[256] = {}, display[256] = {}, label[256] = {};
    Dispatch(Vst2::effGetParamName, index, 0, name);
    Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'I', 'd'), index, identifier);
    Dispatch(Vst2::effGetParamDisplay, index, 0, display);
    Dispatch(Vst2::effGetParamLabel, index, 0, label);
    return {index, name, identifier, display, label};
}

std::vector<ParameterInfo> PluginHost::Parameters() const {
    std::vector<ParameterInfo> all;
    for (int32_t i = 0; i < ParameterCount(); ++i) all.push_back(Parameter(i));
    return all;
}

int32_t PluginHost::Find(const std::string& name) const {
    const std::string wanted = Lower(name);
    for (const ParameterInfo& p : Parameters())
        if (Lower(p.name) == wanted || (!p.identifier.empty() && Lower(p.identifier) == wanted)) return p.index;
    return -1;
}

std::vector<std::string> PluginHost::Suggestions(const std::string& name, size_t count) const {
    std::vector<std::pair<size_t, std::string>> scored;
    const std::string wanted = Lower(name);
    for (const ParameterInfo& p : Parameters()) {
        scored.emplace_back(EditDistance(wanted, Lower(p.name)), p.name);
        if (!p.identifier.empty()) scored.emplace_back(EditDistance(wanted, Lower(p.identifier)), p.identifier);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> best;
    for (const auto& s : scored) {
        if (best.size() == count) break;
        if (std::find(best.begin(), best.end(), s.second) == best.end()) best.push_back(s.second);
    }
    return best;
}

bool PluginHost::SetText(int32_t index, const std::string& text) {
    return Dispatch(Vst2::effString2Parameter, index, 0, const_cast<char*>(text.c_str())) != 0;
}

void PluginHost::SetNormalised(int32_t index, float value) { effect_->setParameter(effect_, index, value); }

std::vector<uint8_t> PluginHost::GetState() const {
    void* data = nullptr;
    const intptr_t size = Dispatch(Vst2::effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

bool PluginHost::SetState(const std::vector<uint8_t>& bytes) {
    Dispatch(Vst2::effSetChunk, 0, static_cast<intptr_t>(bytes.size()), const_cast<uint8_t*>(bytes.data()));
    return Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'O', 'k')) != 0;
}

void PluginHost::Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames) {
    float* inputs[4] = {carrier[0], carrier[1], modulator[0], modulator[1]};
    effect_->processReplacing(effect_, inputs, output, frames);
}

}  // namespace render
