// Sonvera as a VST 2.4 host sees it: build/Sonvera.so through its entry and
// the published binary interface only.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "tests/hosts/vst2/VstTestHost.h"

using namespace Vst2;
using sonvera_test::VstTestHost;

using Audio = sonvera_test::TestAudio;
using VstHostTest = sonvera_test::VstHostFixture;

TEST_F(VstHostTest, TheEffectRecord) {
    const AEffect& e = *instance_->effect;
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.numPrograms, 0);
    EXPECT_GT(e.numParams, 26);
    EXPECT_EQ(e.numInputs, 4) << "main input and side-chain";
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags & (effFlagsCanReplacing | effFlagsProgramChunks), effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(e.flags & (effFlagsIsSynth | effFlagsCanDoubleReplacing), 0);
    EXPECT_EQ(e.flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(instance_->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 1050);
    EXPECT_EQ(rect->bottom - rect->top, 470);
    EXPECT_EQ(e.uniqueID, FourCC('S', 'o', 'n', 'v'));
    EXPECT_EQ(e.version, 1);
    EXPECT_FLOAT_EQ(e.ioRatio, 1.0f);
    EXPECT_NE(e.processReplacing, nullptr);
    EXPECT_EQ(instance_->Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(instance_->Dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(instance_->Text(effGetEffectName), "Sonvera");
    EXPECT_EQ(instance_->Text(effGetProductString), "Sonvera");
    EXPECT_EQ(instance_->Text(effGetVendorString), "Quorlith");
    EXPECT_EQ(host_.mainEntry != nullptr, true) << "main is exported as well";
}

TEST_F(VstHostTest, CanDoAnswers) {
    struct Case {
        const char* text;
        intptr_t answer;
    } cases[] = {{"receiveVstMidiEvent", 1},
                 {"receiveVstEvents", 1},
                 {"sendVstMidiEvent", -1},
                 {"plugAsChannelInsert", 1},
                 {"canMono", 1},
                 {"receiveVstTimeInfo", 1},
                 {"bypass", -1},
                 {"somethingElse", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(instance_->Dispatch(effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
}

TEST_F(VstHostTest, PinsNameTheChannels) {
    VstPinProperties pin;
    const char* names[] = {"In L", "In R", "Sidechain L", "Sidechain R"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(instance_->Dispatch(effGetInputProperties, i, 0, &pin), 1);
        EXPECT_STREQ(pin.label, names[i]);
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(pin.arrangementType, kSpeakerArrStereo);
    }
    EXPECT_EQ(instance_->Dispatch(effGetInputProperties, 4, 0, &pin), 0);
    ASSERT_EQ(instance_->Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Out R");
    EXPECT_EQ(instance_->Dispatch(effGetOutputProperties, 2, 0, &pin), 0);
}

TEST_F(VstHostTest, ParametersTextsAndTyping) {
    const int32_t count = instance_->effect->numParams;
    for (int32_t i = 0; i < count; ++i) {
        char name[64];
        std::memset(name, 0x7F, sizeof name);
        instance_->Dispatch(effGetParamName, i, 0, name);
        EXPECT_GT(std::strlen(name), 0u) << i;
        EXPECT_LE(std::strlen(name), 24u) << i;
        EXPECT_EQ(name[30], 0x7F) << "nothing written past the name";
        char display[64] = {};
        instance_->Dispatch(effGetParamDisplay, i, 0, display);
        EXPECT_EQ(instance_->Dispatch(effCanBeAutomated, i), 1);
    }
    EXPECT_EQ(instance_->Text(effGetParamName, 0), "Volume");
    EXPECT_EQ(instance_->Text(effGetParamDisplay, 0), "0.00 dB");
    EXPECT_EQ(instance_->Text(effGetParamDisplay, 6), "Vocoder");
    EXPECT_EQ(instance_->Dispatch(effCanBeAutomated, count), 0);

    AEffect* e = instance_->effect;
    e->setParameter(e, 0, 1.0f);
    EXPECT_FLOAT_EQ(e->getParameter(e, 0), 1.0f);
    EXPECT_EQ(instance_->Text(effGetParamDisplay, 0), "12.0 dB");
    char typed[] = "Ring modulation";
    EXPECT_EQ(instance_->Dispatch(effString2Parameter, 6, 0, typed), 1);
    EXPECT_NEAR(e->getParameter(e, 6), 4.0f / 7.0f, 1e-6f);
    EXPECT_EQ(instance_->Text(effGetParamDisplay, 6), "Ring modulation");
    EXPECT_FLOAT_EQ(e->getParameter(e, count + 10), 0.0f) << "an index past the list reads 0";
    e->setParameter(e, -1, 0.5f);  // and writes nothing

    // The modulators follow the effect's parameters, named after their modulator.
    int32_t frequency = -1;
    for (int32_t i = 0; i < count && frequency < 0; ++i) {
        VstParameterProperties properties{};
        instance_->Dispatch(effGetParameterProperties, i, 0, &properties);
        if (std::string(properties.label) == "LFO 1 Frequency") frequency = i;
    }
    ASSERT_GT(frequency, 6);
    EXPECT_EQ(instance_->Text(effGetParamName, frequency), "Frequency");
    EXPECT_EQ(instance_->Text(effGetParamDisplay, frequency), "0.1000 Hz");
    char zero[] = "0 Hz", half[] = "0.5 Hz";
    EXPECT_EQ(instance_->Dispatch(effString2Parameter, frequency, 0, zero), 0) << "a frequency of 0 is not taken";
    EXPECT_EQ(instance_->Text(effGetParamDisplay, frequency), "0.1000 Hz");
    EXPECT_EQ(instance_->Dispatch(effString2Parameter, frequency, 0, half), 1);
    EXPECT_EQ(instance_->Text(effGetParamDisplay, frequency), "0.5000 Hz");
}

TEST_F(VstHostTest, ProcessReplacingAndAccumulating) {
    AEffect* e = instance_->effect;
    Audio replaced(512, 7), added(512, 7);
    e->processReplacing(e, replaced.inputs, replaced.outputs, 512);
    double energy = 0.0;
    for (float s : replaced.out[0]) {
        ASSERT_TRUE(std::isfinite(s));
        energy += s * s;
    }
    EXPECT_GT(energy, 0.0);

    VstTestHost::Instance* second = host_.Open();
    for (auto& channel : added.out) channel.assign(512, 1.0f);
    second->effect->process(second->effect, added.inputs, added.outputs, 512);
    for (int i = 0; i < 512; ++i) EXPECT_NEAR(added.out[0][i], 1.0f + replaced.out[0][i], 1e-6f);
    VstTestHost::Close(second);

    // Nothing to do: no frames, or no output table.
    e->processReplacing(e, replaced.inputs, replaced.outputs, 0);
    e->processReplacing(e, replaced.inputs, nullptr, 512);
    // A host without side-chain buffers: the side-chain reads silence.
    VstTestHost::Instance* fresh = host_.Open();
    Audio noSide(256, 3);
    noSide.inputs[2] = noSide.inputs[3] = nullptr;
    fresh->effect->processReplacing(fresh->effect, noSide.inputs, noSide.outputs, 256);
    for (float s : noSide.out[0]) EXPECT_LT(std::fabs(s), 1e-5f);
    VstTestHost::Close(fresh);
}

TEST_F(VstHostTest, MIDIEventsArrive) {
    VstMidiEvent on{};
    on.type = kVstMidiType;
    on.byteSize = sizeof on;
    on.deltaFrames = 5;
    on.midiData[0] = static_cast<char>(0x90);
    on.midiData[1] = 60;
    on.midiData[2] = 100;
    VstMidiEvent sysex = on;
    sysex.type = 6;  // not MIDI: ignored
    struct {
        int32_t numEvents;
        intptr_t reserved;
        VstEvent* events[2];
    } list{2, 0, {reinterpret_cast<VstEvent*>(&on), reinterpret_cast<VstEvent*>(&sysex)}};
    EXPECT_EQ(instance_->Dispatch(effProcessEvents, 0, 0, &list), 1);
    Audio audio(64);
    instance_->effect->processReplacing(instance_->effect, audio.inputs, audio.outputs, 64);
    EXPECT_TRUE(instance_->midiOut.empty()) << "Sonvera sends no MIDI of its own";
}

TEST_F(VstHostTest, ChunkRestoresIntoASecondInstance) {
    AEffect* e = instance_->effect;
    // Every parameter away from its default.
    for (int32_t i = 0; i < e->numParams; ++i) e->setParameter(e, i, static_cast<float>((i * 37 % 100) / 100.0));
    e->setParameter(e, 6, 1.0f);   // Mode
    e->setParameter(e, 21, 0.5f);  // Bands
    Audio audio(64);
    e->processReplacing(e, audio.inputs, audio.outputs, 64);  // applies the band change
    void* data = nullptr;
    const intptr_t size = instance_->Dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    ASSERT_NE(data, nullptr);
    const std::vector<uint8_t> first(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);

    VstTestHost::Instance* second = host_.Open();
    EXPECT_EQ(second->Dispatch(effSetChunk, 0, static_cast<intptr_t>(first.size()), const_cast<uint8_t*>(first.data())),
              1);
    for (int32_t i = 0; i < e->numParams; ++i)
        EXPECT_FLOAT_EQ(second->effect->getParameter(second->effect, i), e->getParameter(e, i)) << i;
    void* secondData = nullptr;
    const intptr_t secondSize = second->Dispatch(effGetChunk, 0, 0, &secondData);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(secondData), static_cast<uint8_t*>(secondData) + secondSize),
              first);
    char junk[] = "not a state";
    EXPECT_EQ(second->Dispatch(effSetChunk, 0, sizeof junk, junk), 1) << "answers 1 and keeps the state";
    std::vector<uint8_t> truncated(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(first.size() / 3));
    EXPECT_EQ(second->Dispatch(effSetChunk, 0, static_cast<intptr_t>(truncated.size()), truncated.data()), 1);
    void* afterData = nullptr;
    const intptr_t afterSize = second->Dispatch(effGetChunk, 0, 0, &afterData);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(afterData), static_cast<uint8_t*>(afterData) + afterSize),
              first);
    Audio still(64);
    second->effect->processReplacing(second->effect, still.inputs, still.outputs, 64);
    for (float s : still.out[0]) EXPECT_TRUE(std::isfinite(s));
    VstTestHost::Close(second);
}

TEST_F(VstHostTest, OldHostsAndRefusingHosts) {
    VstTestHost::Instance* old = host_.Open(2200);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->effect->numInputs, 4) << "two channels per input bus";
    EXPECT_EQ(old->effect->numOutputs, 2);
    VstTestHost::Close(old);
    EXPECT_EQ(host_.Open(0), nullptr) << "a host answering version 0 gets no effect";
}

TEST_F(VstHostTest, SpeakerArrangements) {
    VstSpeakerArrangement in{}, out{};
    in.type = kSpeakerArrStereo;
    in.numChannels = 2;
    out.type = kSpeakerArrStereo;
    out.numChannels = 2;
    EXPECT_EQ(instance_->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
    out.numChannels = 8;
    EXPECT_EQ(instance_->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 0);
    EXPECT_EQ(instance_->Dispatch(effGetSpeakerArrangement), 0);
}

// Two instances in one process, each on its own thread, give exactly what
// each gives alone; a second thread may automate while the first processes.
TEST_F(VstHostTest, ConcurrentInstancesAndAutomation) {
    auto render = [&](VstTestHost::Instance* instance, std::atomic<bool>* automate) {
        Audio audio(256, 11);
        std::vector<float> all;
        for (int block = 0; block < 40; ++block) {
            instance->effect->processReplacing(instance->effect, audio.inputs, audio.outputs, 256);
            if (automate == nullptr) all.insert(all.end(), audio.out[0].begin(), audio.out[0].end());
        }
        if (automate != nullptr) *automate = false;
        return all;
    };
    VstTestHost::Instance* reference = host_.Open();
    const std::vector<float> alone = render(reference, nullptr);
    VstTestHost::Close(reference);

    VstTestHost::Instance* a = host_.Open();
    VstTestHost::Instance* b = host_.Open();
    std::vector<float> fromA, fromB;
    std::thread ta([&] { fromA = render(a, nullptr); });
    std::thread tb([&] { fromB = render(b, nullptr); });
    ta.join();
    tb.join();
    EXPECT_EQ(fromA, alone);
    EXPECT_EQ(fromB, alone);

    std::atomic<bool> running{true};
    std::thread audio([&] { render(a, &running); });
    AEffect* e = a->effect;
    for (int k = 0; running; ++k) {
        e->setParameter(e, 0, (k % 100) / 100.0f);     // Volume
        e->setParameter(e, 8, (k % 2) ? 1.0f : 0.0f);  // Swap
        e->setParameter(e, 21, (k % 7) / 7.0f);        // Bands: a full update
        char display[64];
        a->Dispatch(effGetParamDisplay, 21, 0, display);
    }
    audio.join();
    Audio check(256, 5);
    e->processReplacing(e, check.inputs, check.outputs, 256);
    for (float s : check.out[0]) EXPECT_TRUE(std::isfinite(s));
    VstTestHost::Close(a);
    VstTestHost::Close(b);
}
