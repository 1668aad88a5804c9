// One instance driven the way busy hosts do: audio and MIDI on one thread;
// saves, loads (also ones that change the upsampling factor), re-activation,
// sample-rate changes, automation and text queries on a second. Run under
// ThreadSanitizer and AddressSanitizer by `make tsan` and `make asan`.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "tests/hosts/vst2/VstTestHost.h"

using namespace Vst2;
using sonvera_test::TestAudio;
using sonvera_test::VstTestHost;
using VstHostStress = sonvera_test::VstHostFixture;

TEST_F(VstHostStress, AudioAndMIDIWhileAnotherThreadSavesLoadsAndAutomates) {
    const std::vector<uint8_t> plain = instance_->GetChunk();
    std::vector<uint8_t> upsampled;
    {
        const std::string text = "<settings upsampling=\"4\"/>";
        VstTestHost::Instance* source = host_.Open();
        ASSERT_TRUE(source->SetChunk(std::vector<uint8_t>(text.begin(), text.end())));
        upsampled = source->GetChunk();
        VstTestHost::Close(source);
    }
    std::atomic<bool> stop{false};
    std::atomic<int64_t> nonFinite{0};
    std::thread audio([&] {
        TestAudio block(512, 21);
        VstMidiEvent note{};
        note.type = kVstMidiType;
        note.byteSize = sizeof note;
        struct {
            int32_t numEvents;
            intptr_t reserved;
            VstEvent* events[1];
        } list{1, 0, {reinterpret_cast<VstEvent*>(&note)}};
        for (int k = 0; !stop.load(); ++k) {
            note.midiData[0] = static_cast<char>(k % 2 ? 0x80 : 0x90);
            note.midiData[1] = static_cast<char>(48 + k % 24);
            note.midiData[2] = 100;
            instance_->Dispatch(effProcessEvents, 0, 0, &list);
            instance_->effect->processReplacing(instance_->effect, block.inputs, block.outputs, 512);
            for (const auto& channel : block.out)
                for (float s : channel) nonFinite += std::isfinite(s) ? 0 : 1;
        }
    });
    for (int round = 0; round < 60; ++round) {
        instance_->GetChunk();
        ASSERT_TRUE(instance_->SetChunk(round % 2 ? upsampled : plain));
        instance_->SetParameter(21, (round % 7) / 7.0f);  // Bands: the effect redesigns its filters
        instance_->SetParameter(0, (round % 10) / 10.0f);
        instance_->Text(effGetParamDisplay, 21);
        char typed[] = "-3.5";
        instance_->Dispatch(effString2Parameter, 0, 0, typed);
        if (round % 10 == 0) {
            instance_->Dispatch(effMainsChanged, 0, 0);
            instance_->Dispatch(effMainsChanged, 0, 1);
        }
        if (round % 15 == 0) instance_->Dispatch(effSetSampleRate, 0, 0, nullptr, round % 30 ? 44100.0f : 48000.0f);
    }
    stop = true;
    audio.join();
    EXPECT_EQ(nonFinite.load(), 0);
}
