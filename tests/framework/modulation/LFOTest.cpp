#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/modulation/MLFO.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/TestOwner.h"

using namespace corvane;

namespace {

constexpr double Rate = 48000.0;

struct NoEffect : MParameterEffect {
    void ParameterChanged(int32_t) override {}
};

// Three plain 0..1 parameters for the modulator to move, and a modulator.
class LFOFixture : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            ParameterDescriptor& d = descriptors_[i];
            d.kind = ParameterKindFloat;
            d.name = d.identifier = "P" + std::to_string(i);
            d.floatValues = {0.0, 1.0, 0.5, 0.5, 0.5};
        }
        ParameterTable table;
        table.parameters = descriptors_;
        table.parameterCount = 3;
        owner_.registry.RegisterEffect(effect_, table);
        owner_.registry.Finish();
        lfo_.Initialise(Rate);
        lfo_.AssignTarget(0, 0, owner_.registry);
    }
    double Parameter(int i) const { return descriptors_[i].floatValues.value; }
    // Runs the modulator over `signal` (mono, on the main input) in blocks.
    std::vector<double> Run(const std::vector<float>& signal, int block, double tempo = -1, double start = -1) {
        std::vector<double> outputs;
        std::vector<float> silence(static_cast<size_t>(block), 0.0f);
        for (size_t at = 0; at + block <= signal.size(); at += static_cast<size_t>(block)) {
            float* inputs[16] = {const_cast<float*>(signal.data() + at), silence.data()};
            ModulatorBlock b;
            b.sampleRate = Rate;
            b.tempo = tempo;
            b.songPosition = start < 0 ? -1.0 : start + at / Rate * tempo / 60.0;
            b.inputs = inputs;
            b.channels = 2;
            b.samples = block;
            lfo_.Process(b, owner_.registry);
            outputs.push_back(lfo_.Output());
        }
        return outputs;
    }
    static std::vector<float> Sine(double frequency, double amplitude, int n) {
        std::vector<float> v(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) v[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / Rate));
        return v;
    }

    sonvera_test::TestOwner owner_;
    NoEffect effect_;
    ParameterDescriptor descriptors_[3];
    MLFO lfo_;
};

TEST_F(LFOFixture, NormalModeIsTheShapeAtTheFrequency) {
    lfo_.Setting(LFOFrequency).floatValues.value = 0.2;
    lfo_.Setting(LFOHiSpeed).boolValue = 1;  // 2 Hz
    const std::vector<double> s = Run(std::vector<float>(48000, 0.0f), 240);
    for (size_t k = 0; k < s.size(); ++k) EXPECT_NEAR(s[k], std::sin(2 * M_PI * 2.0 * k * 240 / Rate), 1e-5) << k;
    EXPECT_NEAR(Parameter(0), 0.5 + 0.5 * s.back(), 1e-12) << "up and down around 0.5 with full depth";
}

TEST_F(LFOFixture, HostSyncFollowsTempoAndSongPosition) {
    lfo_.syncEnabled = true;  // one cycle a bar
    const std::vector<double> s = Run(std::vector<float>(48000, 0.0f), 480, 120.0, 2.0);
    EXPECT_DOUBLE_EQ(lfo_.Increment() * Rate, 0.5);
    // Song position 2 quarter notes = half a bar: the phase is the song's, not the modulator's.
    EXPECT_NEAR(s[0], std::sin(2 * M_PI * 0.5), 1e-5);
    EXPECT_NEAR(s[25], std::sin(2 * M_PI * (0.5 + 25 * 480 / Rate * 0.5)), 1e-5);
}

TEST_F(LFOFixture, RandomModeDependsOnTheSongPositionNotTheBlocks) {
    lfo_.mode = LFOModeRandom;
    lfo_.projectFollower = lfo_.projectEnvelope = lfo_.projectRandom = false;
    const std::vector<double> coarse = Run(std::vector<float>(96000, 0.0f), 960, 120.0, 0.0);
    const std::vector<double> fine = Run(std::vector<float>(96000, 0.0f), 240, 120.0, 0.0);
    for (size_t k = 0; k < coarse.size(); ++k) EXPECT_EQ(coarse[k], fine[k * 4]) << k;
    EXPECT_NE(coarse[3], coarse[40]);
}

TEST_F(LFOFixture, FollowerMapsTheLevel) {
    lfo_.mode = LFOModeFollower;
    lfo_.projectFollower = lfo_.projectEnvelope = lfo_.projectRandom = false;
    lfo_.Setting(FollowerLevelMin).floatValues.value = -60.0;
    lfo_.Setting(FollowerLevelMax).floatValues.value = 0.0;
    lfo_.Setting(FollowerRelease).floatValues.value = 1.0;
    const std::vector<double> s = Run(Sine(500.0, 0.01, 48000), 256);  // -40 dB
    EXPECT_NEAR(s.back(), -1.0 / 3.0, 0.01);
    EXPECT_EQ(s.front(), -1.0) << "a sub-block uses the level measured before it";
}

// The detector's one-pole laws: after the attack time the level has come
// 1 - 1/e of the way up a step, after the release time it has fallen to 1/e.
TEST_F(LFOFixture, FollowerAttackAndReleaseTakeTheirTimes) {
    lfo_.mode = LFOModeFollower;
    lfo_.projectFollower = false;
    lfo_.followerMode = FollowerLinear;
    lfo_.Setting(FollowerLevelMin).floatValues.value = -120.0;
    lfo_.Setting(FollowerLevelMax).floatValues.value = 0.0;
    lfo_.Setting(FollowerAttack).floatValues.value = 0.1;
    lfo_.Setting(FollowerRelease).floatValues.value = 0.2;
    std::vector<float> step(48000, 1.0f);
    step.resize(96000, 0.0f);
    const std::vector<double> s = Run(step, 48);  // a millisecond a block; each shows the level before it
    auto level = [&](size_t milliseconds) { return (s[milliseconds] + 1.0) / 2.0; };
    EXPECT_NEAR(level(100), 1.0 - std::exp(-1.0), 0.005);
    EXPECT_NEAR(level(1000 + 200), level(1000) * std::exp(-1.0), 0.005);
    // Hold keeps the peak for its time before the release begins.
    lfo_.Setting(FollowerHold).floatValues.value = 0.05;
    const std::vector<double> held = Run(step, 48);
    EXPECT_NEAR((held[1000 + 50] + 1.0) / 2.0, level(1000), 0.002);
    EXPECT_LT(held[1000 + 60], held[1000 + 50]);
}

TEST_F(LFOFixture, PhaseSyncGroupFollowsWhoeverMovedLast) {
    MLFO other;
    other.Initialise(Rate);
    other.Setting(LFOFrequency).floatValues.value = 0.5;
    lfo_.Setting(LFOFrequency).floatValues.value = 0.2;
    PhaseSyncGroup group;
    std::vector<float> silence(240, 0.0f);
    float* inputs[16] = {silence.data(), silence.data()};
    ModulatorBlock b;
    b.sampleRate = Rate;
    b.inputs = inputs;
    b.channels = 2;
    b.samples = 240;
    auto block = [&] {
        group.StartBlock();
        lfo_.Process(b, owner_.registry, &group);
        other.Process(b, owner_.registry, &group);
    };
    for (int k = 0; k < 3; ++k) block();
    EXPECT_DOUBLE_EQ(other.Increment(), lfo_.Increment()) << "the first mover leads";
    EXPECT_DOUBLE_EQ(lfo_.Increment() * Rate, 0.2);
    EXPECT_DOUBLE_EQ(other.phase, lfo_.phase);
    other.Setting(LFOFrequency).floatValues.value = 0.8;  // the user moves the second one
    for (int k = 0; k < 3; ++k) block();
    EXPECT_DOUBLE_EQ(lfo_.Increment() * Rate, 0.8);
    EXPECT_DOUBLE_EQ(other.Increment() * Rate, 0.8);
    EXPECT_DOUBLE_EQ(other.phase, lfo_.phase);
}

TEST_F(LFOFixture, EnvelopeFromTheAudioLevel) {
    lfo_.mode = LFOModeEnvelope;
    lfo_.envelopeSource = EnvelopeFromAudio;
    lfo_.projectFollower = lfo_.projectEnvelope = lfo_.projectRandom = false;
    lfo_.envelope.Set(MADSR::Attack, 0.01);
    lfo_.envelope.Set(MADSR::Decay, 0.0);
    lfo_.envelope.Set(MADSR::Sustain, 1.0);
    lfo_.envelope.Set(MADSR::Release, 0.1);
    std::vector<float> signal = Sine(300.0, 0.9, 24000);
    signal.resize(48000, 0.0f);
    const std::vector<double> s = Run(signal, 240);
    EXPECT_NEAR(s[90], 1.0, 1e-9) << "sustained at the top while loud";
    EXPECT_NEAR(s.back(), -1.0, 1e-9) << "released after the signal stopped";
    // By MIDI notes: note-on starts the attack, note-off the release.
    lfo_.envelopeSource = EnvelopeFromMIDI;
    lfo_.NoteOn();
    const std::vector<double> held = Run(std::vector<float>(4800, 0.0f), 240);
    EXPECT_NEAR(held.back(), 1.0, 1e-9);
    lfo_.NoteOff();
    const std::vector<double> released = Run(std::vector<float>(9600, 0.0f), 240);
    EXPECT_NEAR(released[9], 2 * 0.5 - 1, 0.03) << "halfway down a straight 0.1 s release after 0.05 s";
}

TEST_F(LFOFixture, PitchModeMapsTheDetectedFrequency) {
    lfo_.mode = LFOModePitch;
    lfo_.Setting(PitchStabilization).floatValues.value = 0.0;
    lfo_.Setting(PitchSpeed).floatValues.value = 1.0;
    lfo_.Setting(PitchShiftOctaves).integerValues.value = 1;
    const std::vector<double> s = Run(Sine(220.0, 0.5, 24000), 256);
    const double x = (std::log10(440.0) - 1.3010299956639813) / 3.0;
    EXPECT_NEAR(s.back(), 2 * x - 1, 0.002);
}

TEST_F(LFOFixture, TargetsMapAndTheLastOneStays) {
    lfo_.automationRead = true;
    lfo_.Setting(LFOAutomatedValue).floatValues.value = 0.75;  // s = 0.5
    lfo_.AddTarget();
    lfo_.AddTarget();
    lfo_.AssignTarget(1, 1, owner_.registry);
    lfo_.AssignTarget(2, 2, owner_.registry);
    MLFO::Target& second = lfo_.TargetAt(1);
    second.range = {0.2, 0.8, 1.0, RangeInterval};
    second.invert = true;
    MLFO::Target& third = lfo_.TargetAt(2);
    third.useFirstRange = true;
    third.range = {0.9, 1.0, 0.1, RangeDownOnly};  // not used: the first target's range is
    Run(std::vector<float>(256, 0.0f), 256);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.75);
    EXPECT_DOUBLE_EQ(Parameter(1), 0.2 + 0.6 * 0.25);
    EXPECT_DOUBLE_EQ(Parameter(2), 0.75);
    // A shape graph bends the output before the mapping.
    lfo_.TargetAt(0).shapeEnabled = true;
    const MEnvelope::Point flat[2] = {{0, 0.25, 0, 1, SegmentMode1}, {1, 0.25, 0, 1, SegmentMode1}};
    lfo_.TargetAt(0).shape.SetPoints(flat, 2);
    Run(std::vector<float>(256, 0.0f), 256);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.25);

    std::string message;
    EXPECT_TRUE(lfo_.RemoveTarget(2, message));
    EXPECT_TRUE(lfo_.RemoveTarget(1, message));
    EXPECT_FALSE(lfo_.RemoveTarget(0, message));
    EXPECT_EQ(message, "There must be at least one parameter for each modulator.");
    EXPECT_EQ(lfo_.TargetCount(), 1);
}

TEST_F(LFOFixture, RestoresTheValuesFromBeforeModulation) {
    descriptors_[0].floatValues.value = 0.3;
    lfo_.RememberTargets(owner_.registry);
    Run(std::vector<float>(4800, 0.0f), 480);
    EXPECT_NE(Parameter(0), 0.3);
    lfo_.RestoreTargets(owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.3);
}

TEST_F(LFOFixture, EveryModeRunsWithoutAllocating) {
    const std::vector<float> signal = Sine(200.0, 0.5, 48000);
    for (int32_t mode : {LFOModeNormal, LFOModeFollower, LFOModeEnvelope, LFOModeRandom, LFOModePitch}) {
        lfo_.mode = mode;
        lfo_.envelopeSource = EnvelopeFromAudio;
        Run(std::vector<float>(512, 0.0f), 256);  // settles the pitch detector's overlap
        float* inputs[16] = {const_cast<float*>(signal.data()), const_cast<float*>(signal.data())};
        ModulatorBlock block;
        block.sampleRate = Rate;
        block.inputs = inputs;
        block.channels = 2;
        block.samples = 256;
        sonvera_test::AllocationCounter counter;
        for (int i = 0; i < 180; ++i) {
            inputs[0] = inputs[1] = const_cast<float*>(signal.data()) + 256 * i;
            lfo_.Process(block, owner_.registry);
        }
        EXPECT_EQ(counter.Count(), 0u) << LFOModeNames[mode];
    }
}

}  // namespace
