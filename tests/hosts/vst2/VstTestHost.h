#pragma once
// A minimal VST 2.4 host for tests: it knows only the library file and the
// published binary interface.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "hosts/vst2/VstInterface.h"
#include "tests/support/SharedLibrary.h"

namespace sonvera_test {

class VstTestHost {
    // First: the entry points below are read from it.
    SharedLibrary library_;

public:
    using Entry = Vst2::AEffect* (*)(Vst2::HostCallback);

    explicit VstTestHost(const char* path = SONVERA_LIBRARY_PATH)
        : library_(path), entry(library_.Symbol<Entry>("VSTPluginMain")), mainEntry(library_.Symbol<Entry>("main")) {}

    // One plug-in instance with its own host state.
    struct Instance {
        Vst2::AEffect* effect = nullptr;
        std::vector<std::pair<int32_t, float>> automation;
        // The editor's touches in order: "begin N", "automate N", "end N".
        std::vector<std::string> touches;
        std::vector<std::vector<uint8_t>> midiOut;
        int ioChanged = 0;
        // The editor's size requests (width, height) and whether the host grants them.
        std::vector<std::pair<int32_t, int32_t>> sizeRequests;
        bool grantSize = true;
        bool echoAutomation = true;
        // A slow host: each automation report takes this long.
        std::chrono::microseconds automationDelay{0};
        // The threads the plug-in made its user-interface calls on (automation
        // outside blocks, edit gestures, size requests).
        std::vector<std::thread::id> CallerThreads() {
            std::lock_guard<std::mutex> hold(callersMutex);
            return callerThreads;
        }
        std::mutex callersMutex;
        std::vector<std::thread::id> callerThreads;
        void NoteCaller() {
            std::lock_guard<std::mutex> hold(callersMutex);
            callerThreads.push_back(std::this_thread::get_id());
        }
        Vst2::VstTimeInfo time{};
        bool timeValid = false;

        intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) {
            return effect->dispatcher(effect, opcode, index, value, ptr, opt);
        }
        std::string Text(int32_t opcode, int32_t index = 0) {
            char buffer[256] = {};
            Dispatch(opcode, index, 0, buffer);
            return buffer;
        }
        std::vector<uint8_t> GetChunk() {
            void* data = nullptr;
            const intptr_t size = Dispatch(Vst2::effGetChunk, 0, 0, &data);
            if (data == nullptr || size <= 0) return {};
            return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        }
        // Whether the plug-in reports the state as loaded.
        bool SetChunk(std::vector<uint8_t> chunk) {
            Dispatch(Vst2::effSetChunk, 0, static_cast<intptr_t>(chunk.size()), chunk.data());
            return Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'O', 'k')) == 1;
        }
        void SetParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }
        float GetParameter(int32_t index) { return effect->getParameter(effect, index); }
    };

    static intptr_t Callback(Vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt);

    // Creates an instance answering the given host version.
    Instance* Open(int32_t hostVersion = 2400) {
        pendingVersion = hostVersion;
        auto* instance = new Instance();
        {
            std::lock_guard<std::mutex> hold(creating);
            current = instance;
            instance->effect = entry(Callback);
            current = nullptr;
        }
        if (instance->effect == nullptr) {
            delete instance;
            return nullptr;
        }
        instance->effect->user = instance;
        instance->Dispatch(Vst2::effOpen);
        instance->Dispatch(Vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        instance->Dispatch(Vst2::effSetBlockSize, 0, 512);
        instance->Dispatch(Vst2::effMainsChanged, 0, 1);
        return instance;
    }

    static void Close(Instance* instance) {
        instance->Dispatch(Vst2::effClose);
        delete instance;
    }

    // Another export of the library, null when it has none.
    template <class Function>
    Function Symbol(const char* name) const {
        return library_.Symbol<Function>(name);
    }

    Entry entry = nullptr;
    Entry mainEntry = nullptr;
    static inline int32_t pendingVersion = 2400;
    static inline Instance* current = nullptr;
    static inline std::mutex creating;
};

inline intptr_t VstTestHost::Callback(Vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                      float opt) {
    Instance* instance = effect != nullptr && effect->user != nullptr ? static_cast<Instance*>(effect->user) : current;
    switch (opcode) {
        case Vst2::audioMasterVersion:
            return pendingVersion;
        case Vst2::audioMasterAutomate:
            if (instance == nullptr) return 0;
            instance->NoteCaller();
            if (instance->automationDelay.count() > 0) std::this_thread::sleep_for(instance->automationDelay);
            instance->automation.emplace_back(index, opt);
            instance->touches.push_back("automate " + std::to_string(index));
            // Many hosts call setParameter back from inside the report.
            if (instance->echoAutomation && effect != nullptr) effect->setParameter(effect, index, opt);
            return 1;
        case Vst2::audioMasterGetTime:
            return instance != nullptr && instance->timeValid ? reinterpret_cast<intptr_t>(&instance->time) : 0;
        case Vst2::audioMasterProcessEvents:
            if (instance != nullptr && ptr != nullptr) {
                const auto* events = static_cast<const Vst2::VstEvents*>(ptr);
                for (int32_t i = 0; i < events->numEvents; ++i) {
                    const auto* midi = reinterpret_cast<const Vst2::VstMidiEvent*>(events->events[i]);
                    instance->midiOut.emplace_back(midi->midiData, midi->midiData + 4);
                }
            }
            return 1;
        case Vst2::audioMasterIOChanged:
            if (instance != nullptr) ++instance->ioChanged;
            return 1;
        case Vst2::audioMasterWantMidi:
            return 1;
        case Vst2::audioMasterSizeWindow:
            if (instance == nullptr) return 0;
            instance->NoteCaller();
            instance->sizeRequests.emplace_back(index, static_cast<int32_t>(value));
            return instance->grantSize ? 1 : 0;
        case Vst2::audioMasterBeginEdit:
        case Vst2::audioMasterEndEdit:
            if (instance != nullptr) instance->NoteCaller();
            if (instance != nullptr)
                instance->touches.push_back((opcode == Vst2::audioMasterBeginEdit ? "begin " : "end ") +
                                            std::to_string(index));
            return 1;
        default:
            return 0;
    }
}

// Four seeded input channels (main and side-chain) and two outputs.
struct TestAudio {
    explicit TestAudio(int frames, uint32_t seed = 1) : frames(frames) {
        for (auto& channel : in) channel.assign(frames, 0.0f);
        for (auto& channel : out) channel.assign(frames, 0.0f);
        for (int c = 0; c < 4; ++c)
            for (float& s : in[c]) {
                seed = seed * 1664525u + 1013904223u;
                s = static_cast<float>(static_cast<int32_t>(seed)) * (0.25f / 2147483648.0f);
            }
        for (int c = 0; c < 4; ++c) inputs[c] = in[c].data();
        for (int c = 0; c < 2; ++c) outputs[c] = out[c].data();
    }
    int frames;
    std::vector<float> in[4], out[2];
    float* inputs[4];
    float* outputs[2];
};

// One instance opened for each test.
class VstHostFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host_.entry, nullptr);
        instance_ = host_.Open();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override {
        if (instance_ != nullptr) VstTestHost::Close(instance_);
    }
    VstTestHost host_;
    VstTestHost::Instance* instance_ = nullptr;
};

}  // namespace sonvera_test
