// How real hosts behave around the plug-in: their locale, their channel
// layouts, saves from another thread while audio runs, their transport.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "framework/storage/Configuration.h"
#include "framework/storage/XMLFiles.h"
#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/ScopedLocale.h"

using namespace Vst2;
using sonvera_test::ScopedLocale;
using sonvera_test::TestAudio;
using sonvera_test::VstTestHost;
using VstHostConditions = sonvera_test::VstHostFixture;

namespace {

constexpr int32_t Volume = 0, Attack = 16, Release = 17;

// Every parameter away from its default, so that a lost value shows.
void SetEveryParameter(VstTestHost::Instance& instance) {
    for (int32_t i = 0; i < instance.effect->numParams; ++i)
        instance.SetParameter(i, static_cast<float>((i * 37 % 97) / 97.0 + 0.003));
}

// A state as hosts keep it.
std::vector<uint8_t> Compressed(const corvane::MXMLItem& state) {
    corvane::MMemoryStream stream;
    corvane::WriteCompressed(state, stream, "utf-8");
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Size());
}

}  // namespace

TEST_F(VstHostConditions, NumbersIgnoreTheHostsLocale) {
    ScopedLocale comma(sonvera_test::CommaLocale);
    if (!comma.Active()) GTEST_SKIP() << sonvera_test::CommaLocaleMissing;
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    char typed[] = "-6.5";
    ASSERT_EQ(instance_->Dispatch(effString2Parameter, Volume, 0, typed), 1);
    EXPECT_EQ(instance_->Text(effGetParamDisplay, Volume), "-6.50 dB");

    SetEveryParameter(*instance_);
    const std::string attack = instance_->Text(effGetParamDisplay, Attack);
    EXPECT_EQ(attack.find(','), std::string::npos) << attack;
    const std::vector<uint8_t> savedWithComma = instance_->GetChunk();

    // Saved under one locale, loaded under the other, both ways round.
    VstTestHost::Instance* other = host_.Open();
    {
        ScopedLocale plain("C");
        ASSERT_TRUE(other->SetChunk(savedWithComma));
        for (int32_t i = 0; i < instance_->effect->numParams; ++i)
            ASSERT_FLOAT_EQ(other->GetParameter(i), instance_->GetParameter(i)) << i;
        EXPECT_EQ(other->Text(effGetParamDisplay, Release), instance_->Text(effGetParamDisplay, Release));
        EXPECT_EQ(other->GetChunk(), savedWithComma) << "the same state, byte for byte";
        other->SetParameter(Attack, 0.71f);
    }
    const std::vector<uint8_t> savedPlain = [&] {
        ScopedLocale plain("C");
        return other->GetChunk();
    }();
    ASSERT_TRUE(instance_->SetChunk(savedPlain));
    EXPECT_FLOAT_EQ(instance_->GetParameter(Attack), 0.71f);
    VstTestHost::Close(other);
}

// Whatever the host declares, every output buffer it passes is written.
TEST_F(VstHostConditions, SpeakerArrangementsWriteEveryOutput) {
    struct Case {
        const char* what;
        int32_t inputs, outputs;  // 0: no arrangement passed
        bool rightEqualsLeft;
    } cases[] = {
        {"mono in, stereo out", 1, 2, false},
        {"stereo in, mono out", 2, 1, true},
        {"no arrangements", 0, 0, true},
        {"stereo in, stereo out", 2, 2, false},
    };
    for (const Case& c : cases) {
        VstTestHost::Instance* instance = host_.Open();
        VstSpeakerArrangement in{}, out{};
        in.numChannels = c.inputs;
        in.type = c.inputs == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
        out.numChannels = c.outputs;
        out.type = c.outputs == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
        ASSERT_EQ(instance->Dispatch(effSetSpeakerArrangement, 0, c.inputs > 0 ? reinterpret_cast<intptr_t>(&in) : 0,
                                     c.outputs > 0 ? &out : nullptr),
                  1)
            << c.what;
        instance->Dispatch(effMainsChanged, 0, 0);
        instance->Dispatch(effMainsChanged, 0, 1);
        TestAudio audio(256, 9);
        for (auto& channel : audio.out) std::fill(channel.begin(), channel.end(), std::nanf(""));
        instance->effect->processReplacing(instance->effect, audio.inputs, audio.outputs, 256);
        double rightEnergy = 0.0;
        for (int i = 0; i < 256; ++i) {
            ASSERT_TRUE(std::isfinite(audio.out[0][i]) && std::isfinite(audio.out[1][i])) << c.what << " at " << i;
            rightEnergy += audio.out[1][i] * audio.out[1][i];
            if (c.rightEqualsLeft) {
                ASSERT_EQ(audio.out[1][i], audio.out[0][i]) << c.what << " at " << i;
            }
        }
        EXPECT_GT(rightEnergy, 0.0) << c.what;
        VstTestHost::Close(instance);
    }
}

// The user's global "Surround" choice: eight channels a bus, and channel mode
// "Surround" processes the selected channels while the others pass.
TEST_F(VstHostConditions, SurroundWhenTheUserChoseIt) {
    corvane::Configuration::SetSurround(true);
    VstTestHost::Instance* instance = host_.Open();
    corvane::Configuration::SetSurround(false);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->effect->numInputs, 16);
    EXPECT_EQ(instance->effect->numOutputs, 8);
    VstPinProperties pin{};
    ASSERT_EQ(instance->Dispatch(effGetInputProperties, 9, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Sidechain 1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinUseSpeaker);
    EXPECT_EQ(pin.arrangementType, kSpeakerArr80Music);
    ASSERT_EQ(instance->Dispatch(effGetOutputProperties, 7, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Out 7");

    corvane::MXMLItem state("settings");
    state.SetAttribute("ChannelMode", "Surround");
    state.SetAttribute("SurroundChannelsEnable", "10100000");
    ASSERT_TRUE(instance->SetChunk(Compressed(state)));
    constexpr int n = 256;
    std::vector<float> in[16], out[8];
    float* inputs[16];
    float* outputs[8];
    for (int c = 0; c < 16; ++c) {
        in[c] = sonvera_test::TestAudio(n, 3 + c).in[c % 4];
        inputs[c] = in[c].data();
    }
    for (int c = 0; c < 8; ++c) {
        out[c].assign(n, std::nanf(""));
        outputs[c] = out[c].data();
    }
    instance->effect->processReplacing(instance->effect, inputs, outputs, n);
    for (int c = 0; c < 8; ++c) {
        double difference = 0.0;
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(std::isfinite(out[c][i])) << "channel " << c;
            difference += std::fabs(out[c][i] - in[c][i]);
        }
        if (c == 0 || c == 2)
            EXPECT_GT(difference, 1.0) << "channel " << c << " is vocoded";
        else
            EXPECT_LT(difference, 1e-3) << "channel " << c << " passes";
    }
    VstTestHost::Close(instance);
}

// Hosts that ask for parameter properties label them by these: unique,
// whole, grouped, and stepped kinds shown as steps or switches.
TEST_F(VstHostConditions, ParameterPropertiesNameEveryParameterApart) {
    std::set<std::string> labels;
    VstParameterProperties p{};
    for (int32_t i = 0; i < instance_->effect->numParams; ++i) {
        ASSERT_EQ(instance_->Dispatch(effGetParameterProperties, i, 0, &p), 1) << i;
        EXPECT_GT(std::strlen(p.label), 0u) << i;
        EXPECT_TRUE(labels.insert(p.label).second) << "label used twice: " << p.label;
    }
    EXPECT_EQ(instance_->Dispatch(effGetParameterProperties, instance_->effect->numParams, 0, &p), 0);

    struct Case {
        int32_t index;
        const char* label;
        const char* category;
        int32_t flags;
        float step;
    } cases[] = {
        {8, "Swap carrier and modulator", "", kVstParameterIsSwitch, 0.0f},
        {21, "Bands", "Filters", kVstParameterUsesFloatStep, 1.0f / 96.0f},  // steps in normalised units
        {6, "Mode", "", kVstParameterUsesFloatStep, 1.0f / 7.0f},
        {10, "Whitening", "Effects", 0, 0.0f},
        {Attack, "Attack", "Detector", 0, 0.0f},
        {26, "Graph Frequencies carrier Point 1 X", "Graph Frequencies carri", 0, 0.0f},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(instance_->Dispatch(effGetParameterProperties, c.index, 0, &p), 1);
        EXPECT_STREQ(p.label, c.label);
        EXPECT_STREQ(p.categoryLabel, c.category) << c.label;
        EXPECT_EQ(p.category > 0, *c.category != 0) << c.label;
        EXPECT_EQ(p.flags & ~kVstParameterSupportsDisplayCategory, c.flags) << c.label;
        EXPECT_FLOAT_EQ(p.stepFloat, c.step) << c.label;
    }
    EXPECT_EQ(instance_->Text(effGetParamName, 8), "Swap carrier and modulat") << "the short name stays as it was";
}
