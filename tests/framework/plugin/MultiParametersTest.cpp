// The four multiparameters inside the framework plug-in over the real
// vocoder: driven from their host parameter in every mode, their value
// texts, their state in the chunk, random settings and hostile states.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/parameters/UnitTexts.h"
#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/ChunkText.h"
#include "tests/support/LogCapture.h"

using namespace corvane;
using sonvera_test::Index;
using sonvera_test::RunBlocks;

namespace {

class MultiParameters : public ::testing::Test {
protected:
    void SetUp() override { plugin_ = sonvera_test::NewVocoder(); }

    MMultiParameter& Multi(int32_t i) { return plugin_->MultiParameters().At(i); }
    MParameterRegistry& Parameters() { return plugin_->Parameters(); }
    // Points target `position` of multiparameter `i` at a parameter by label.
    ModulationTarget& Aim(int32_t i, int32_t position, const std::string& label) {
        TargetList& targets = Multi(i).Targets();
        while (targets.Count() <= position) targets.Add();
        targets.Assign(position, Index(*plugin_, label), Parameters());
        return targets.At(position);
    }
    void Drive(int32_t i, double x) {
        Parameters().SetParameter(Index(*plugin_, "MultiParameter " + std::to_string(i + 1)), x, false);
    }
    double Read(const std::string& label) { return Parameters().GetParameter(Index(*plugin_, label)); }

    std::unique_ptr<MQuorlithAudioEffectPlugin> plugin_;
};

}  // namespace

TEST_F(MultiParameters, TheHostValueMovesTheTargetsInNormalAndBanksModes) {
    struct Case {
        const char* what;
        int32_t mode;
        int32_t banks;
        bool interpolate;
        TargetRange range;
        double x, expected;
    };
    const Case cases[] = {
        {"banks blend between neighbours", MultiParameterBanks, 3, true, {}, 0.25, 0.25},
        {"banks without blending pick the nearest, 0.5 rounding up", MultiParameterBanks, 3, false, {}, 0.25, 0.5},
        {"the last bank exactly at 1", MultiParameterBanks, 3, true, {}, 1.0, 1.0},
        {"the last bank exactly at 1, no blending", MultiParameterBanks, 3, false, {}, 1.0, 1.0},
        {"the first bank at 0", MultiParameterBanks, 3, true, {}, 0.0, 0.0},
        {"one bank holds whatever the value", MultiParameterBanks, 1, true, {}, 0.7, 0.0},
        {"interval mode maps 0 .. 1 onto its interval",
         MultiParameterNormal,
         4,
         false,
         {0.2, 0.8, 1.0, RangeInterval},
         0.5,
         0.5},
        {"interval mode at its start", MultiParameterNormal, 4, false, {0.2, 0.8, 1.0, RangeInterval}, 0.0, 0.2},
        {"up and down around the centre",
         MultiParameterNormal,
         4,
         false,
         {0.5, 1.0, 1.0, RangeUpAndDown},
         0.75,
         MapToTarget({0.5, 1.0, 1.0, RangeUpAndDown}, 0.5, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MMultiParameter& multi = Multi(0);
        multi.mode = c.mode;
        multi.bankCount = c.banks;
        ModulationTarget& target = Aim(0, 0, "Panorama");
        target.range = c.range;
        target.interpolate = c.interpolate;
        target.banks[0] = 0.0, target.banks[1] = 0.5, target.banks[2] = 1.0;
        Drive(0, c.x);
        EXPECT_NEAR(Read("Panorama"), c.expected, 1e-12);
    }
}

TEST_F(MultiParameters, TargetsFollowTheirOwnSettingsAndTheFirstRangeWhenAsked) {
    ModulationTarget& first = Aim(0, 0, "Panorama");
    first.range = {0.2, 0.8, 1.0, RangeInterval};
    ModulationTarget& inverted = Aim(0, 1, "Carrier pan");
    inverted.range = first.range;
    inverted.invert = true;
    ModulationTarget& borrowing = Aim(0, 2, "Modulator pan");
    borrowing.useFirstRange = true;
    ModulationTarget& shaped = Aim(0, 3, "Volume");
    shaped.shapeEnabled = true;
    const MEnvelope::Point flat[2] = {{0.0, 0.3, 0.0, 1.0, SegmentMode1}, {1.0, 0.3, 0.0, 1.0, SegmentMode1}};
    shaped.shape.SetPoints(flat, 2);
    ModulationTarget& off = Aim(0, 4, "Carrier volume");
    off.enabled = false;
    const double untouched = Read("Carrier volume");

    Drive(0, 0.25);
    EXPECT_NEAR(Read("Panorama"), 0.35, 1e-12);
    EXPECT_NEAR(Read("Carrier pan"), MapToTarget(first.range, -0.5, true), 1e-12);
    EXPECT_NEAR(Read("Modulator pan"), 0.35, 1e-12) << "the first target's range";
    EXPECT_NEAR(Read("Volume"), Parameters().GetParameter(Index(*plugin_, "Volume")), 0.0);
    EXPECT_NEAR(Read("Volume"), MapToTarget({}, 2 * 0.3 - 1, false), 1e-6) << "through the curve";
    EXPECT_EQ(Read("Carrier volume"), untouched) << "a disabled target stays";

    // The host's range parameters are the first target's.
    Parameters().SetParameter(Index(*plugin_, "MultiParameter 1 Value"), 0.4, false);
    Drive(0, 0.0);
    EXPECT_NEAR(Read("Panorama"), 0.4, 1e-12);
}

TEST_F(MultiParameters, ATargetLeadingBackHereDoesNotRecurse) {
    Aim(0, 0, "MultiParameter 2");
    Aim(0, 1, "MultiParameter 1");  // itself
    Aim(1, 0, "MultiParameter 1");
    Aim(1, 1, "Panorama");
    Drive(0, 0.75);  // would never end without the guard
    EXPECT_NEAR(Read("MultiParameter 2"), 0.75, 1e-12);
    EXPECT_NEAR(Read("Panorama"), 0.75, 1e-12) << "the second one applied once, from the first";
}

TEST_F(MultiParameters, SwitchesTravelBothWaysAndTriggersComeBackByThemselves) {
    // 0.1 s from 0 to 1 at 48 kHz: 4800 samples; runs of 8 or 10 blocks of 512.
    const double step = 4096 / 4800.0;
    struct Run {
        double hostValue;
        int blocks;
        double position, tolerance;  // a trigger turns within one sub-block of the top
    };
    struct Case {
        const char* what;
        int32_t mode;
        Run runs[3];
    };
    const Case cases[] = {
        {"a switch goes up, stays, then comes down",
         MultiParameterSwitch,
         {{1.0, 8, step, 1e-9}, {1.0, 8, 1.0, 0.0}, {0.0, 10, 0.0, 0.0}}},
        {"a trigger rises and falls by itself",
         MultiParameterTrigger,
         {{1.0, 8, step, 1e-9}, {1.0, 8, 1.0 - (8192 - 4800) / 4800.0, 64 / 4800.0}, {0.0, 10, 0.0, 0.0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        MMultiParameter& multi = Multi(0);
        multi.mode = c.mode;
        multi.switchTime = 0.1;
        Aim(0, 0, "Panorama");
        Drive(0, 0.0);
        RunBlocks(*plugin_, 1);
        EXPECT_EQ(multi.SwitchPosition(), 0.0) << "falling below 0.5 at rest presses nothing";
        for (const Run& run : c.runs) {
            Drive(0, run.hostValue);
            RunBlocks(*plugin_, run.blocks);
            EXPECT_NEAR(multi.SwitchPosition(), run.position, run.tolerance + 1e-9) << "host value " << run.hostValue;
            EXPECT_NEAR(Read("Panorama"), multi.SwitchPosition(), 1e-9) << "the position drives the targets";
        }
        EXPECT_FALSE(multi.Moving());
        if (c.mode == MultiParameterSwitch) {
            EXPECT_EQ(Read("MultiParameter 1"), 0.0) << "shows the button";
        }
    }
}

TEST_F(MultiParameters, PressingTheButtonReversesASwitchAndLiftsAFallingTrigger) {
    MMultiParameter& multi = Multi(0);
    multi.mode = MultiParameterSwitch;
    multi.Press();
    EXPECT_TRUE(multi.ButtonOn());
    EXPECT_EQ(Read("MultiParameter 1"), 1.0) << "the value shows the button";
    multi.Press();
    EXPECT_FALSE(multi.ButtonOn());
    EXPECT_EQ(Read("MultiParameter 1"), 0.0);

    multi.mode = MultiParameterTrigger;
    multi.switchTime = 0.1;
    RunBlocks(*plugin_, 1);  // the switch's way down ends at 0
    multi.Press();
    RunBlocks(*plugin_, 12);
    const double falling = multi.SwitchPosition();
    EXPECT_LT(falling, 1.0);
    multi.Press();
    RunBlocks(*plugin_, 1);
    EXPECT_GT(multi.SwitchPosition(), falling) << "pressed while falling, it rises again";
}

TEST_F(MultiParameters, ValueTextInPercentsOrAsTheFirstTargetShowsIt) {
    const int32_t value = Index(*plugin_, "MultiParameter 1");
    EXPECT_EQ(Parameters().GetParameterValueNameFrom01(value, 0.25), PercentText(0.25));
    Multi(0).valueMode = ValueByFirstParameter;
    EXPECT_EQ(Parameters().GetParameterValueNameFrom01(value, 0.25), PercentText(0.25)) << "no target yet";
    ModulationTarget& first = Aim(0, 0, "Volume");
    first.range = {0.2, 0.8, 1.0, RangeInterval};
    const int32_t volume = Index(*plugin_, "Volume");
    EXPECT_EQ(Parameters().GetParameterValueNameFrom01(value, 0.5),
              Parameters().GetParameterValueNameFrom01(volume, 0.5));
    EXPECT_EQ(Parameters().GetParameterValueNameFrom01(value, 0.0),
              Parameters().GetParameterValueNameFrom01(volume, 0.2));
}

TEST_F(MultiParameters, StateRoundTripsByteForByteAndReappliesTargets) {
    const char* names[4] = {"Brightness", "*hidden", "", ""};
    for (int32_t i = 0; i < 3; ++i) {
        MMultiParameter& multi = Multi(i);
        multi.name = names[i];
        multi.group = "Group " + std::to_string(i % 2);
        multi.info = i == 0 ? "moves \"the\" <pans> & volume" : "";
        multi.enabled = i != 1;
        multi.mode = i + 1;
        multi.valueMode = i % 2;
        multi.switchTime = 0.25 * (i + 1);
        multi.bankCount = 3 + i;
        multi.ValueDescriptor().floatValues.defaultValue = 0.125;
        ModulationTarget& a = Aim(i, 0, i == 2 ? "Panorama" : i == 1 ? "Modulator pan" : "Carrier pan");
        a.range = {0.1, 0.7, 0.5, RangeInterval};
        a.interpolate = true;
        for (int32_t b = 0; b < multi.bankCount; ++b) a.banks[b] = 0.1 * b + 0.05 * i;
        ModulationTarget& b = Aim(i, 1, i == 0 ? "MultiParameter 2" : "Volume");
        b.useFirstRange = true;
        b.invert = true;
    }
    Multi(1).Targets().At(1).enabled = false;
    EXPECT_TRUE(Multi(1).Hidden());
    Drive(0, 0.0);  // as a load applies them: in order
    Drive(2, 0.6);

    const std::vector<uint8_t> chunk = plugin_->WriteChunk();
    const std::string text = sonvera_test::ChunkText(chunk);
    for (const char* element : {"<MultiParameter0", "<MultiParameter1", "<MultiParameter2", "Name=\"*hidden\"",
                                "Mode=\"Banks\"", "ValueMode=\"By first parameter\"", "Bank2=", "Interpolate=\"1\""})
        EXPECT_NE(text.find(element), std::string::npos) << element;
    EXPECT_EQ(text.find("<MultiParameter3"), std::string::npos) << "a new multiparameter is not written";

    auto second = sonvera_test::NewVocoder();
    ASSERT_TRUE(second->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(second->WriteChunk(), chunk);
    MMultiParameter& loaded = second->MultiParameters().At(2);
    EXPECT_EQ(loaded.mode, MultiParameterBanks);
    EXPECT_EQ(loaded.bankCount, 5);
    EXPECT_DOUBLE_EQ(loaded.Targets().At(0).banks[4], 0.5);
    EXPECT_EQ(loaded.Targets().At(1).index, Index(*second, "Volume"));

    MXMLItem root;
    MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    ASSERT_TRUE(LoadWithFallback(root, in));
    auto load = [&] {
        MMemoryStream out;
        WriteCompressed(root, out, "utf-8");
        ASSERT_TRUE(second->ReadChunk(out.Data(), static_cast<size_t>(out.Size())));
    };
    // Loading applies them again, over the stored target value.
    root.FindSubItem("MultiParameters")->FindSubItem("MultiParameter2")->SetAttribute("Value", "0");
    load();
    EXPECT_NEAR(second->Parameters().GetParameter(Index(*second, "Panorama")), 0.1, 1e-12) << "the first bank";

    // Without "MultiParameters" every multiparameter is new again.
    root.RemoveSubItem("MultiParameters");
    load();
    EXPECT_EQ(sonvera_test::ChunkText(second->WriteChunk()).find("<MultiParameter0"), std::string::npos);
    EXPECT_EQ(second->MultiParameters().At(0).name, "");
    EXPECT_EQ(second->MultiParameters().At(0).Targets().Count(), 1);
    EXPECT_EQ(second->MultiParameters().At(0).Value(), 0.5);
}

TEST_F(MultiParameters, RandomSettingsMoveOnlyNamedOnes) {
    Multi(0).name = "Named";
    Aim(0, 0, "Panorama");
    Aim(1, 0, "Volume");
    const double volume = Read("Volume");
    bool moved = false;
    for (int attempt = 0; attempt < 5 && !moved; ++attempt) {
        plugin_->GenerateRandomSettingsForMultiParameters(1.0);
        moved = Multi(0).Value() != 0.5;
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(Multi(1).Value(), 0.5) << "no name, no change";
    EXPECT_NEAR(Read("Panorama"), Multi(0).Value(), 1e-12) << "the named one moved its target";
    EXPECT_EQ(Read("Volume"), volume);
}

TEST_F(MultiParameters, TheLastTargetStaysAndHostileElementsLoadBounded) {
    std::string message;
    EXPECT_FALSE(Multi(0).Targets().Remove(0, message));
    EXPECT_EQ(message, "There must be at least one parameter for each multiparameter.");

    MXMLItem root;
    const std::vector<uint8_t> chunk = plugin_->WriteChunk();
    MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    ASSERT_TRUE(LoadWithFallback(root, in));
    MXMLItem& multi = root.GetOrAddSubItem("MultiParameters").GetOrAddSubItem("MultiParameter0");
    multi.SetAttribute("Mode", "Nonsense");
    multi.SetAttribute("BankCount", "100000");
    multi.SetAttribute("SwitchTime", "-3");
    multi.SetAttribute("Value", "nan");
    multi.SetAttribute("DefaultValue", "7");
    MXMLItem& target = multi.AddSubItem("Parameter");
    target.SetAttribute("ParameterName", "Panorama");
    target.SetAttribute("Bank63", "1e300");
    MMemoryStream out;
    WriteCompressed(root, out, "utf-8");
    ASSERT_TRUE(plugin_->ReadChunk(out.Data(), static_cast<size_t>(out.Size())));
    MMultiParameter& loaded = Multi(0);
    EXPECT_EQ(loaded.mode, MultiParameterNormal);
    EXPECT_EQ(loaded.bankCount, MMultiParameter::MaxBanks);
    EXPECT_EQ(loaded.switchTime, 1.0);
    EXPECT_EQ(loaded.ValueDescriptor().floatValues.defaultValue, 1.0);
    EXPECT_EQ(loaded.Value(), 1.0) << "an unreadable value takes the default";
    EXPECT_EQ(loaded.Targets().At(0).banks[63], 1.0);
    loaded.mode = MultiParameterBanks;
    Drive(0, 1.0);
    EXPECT_EQ(Read("Panorama"), 1.0);
    RunBlocks(*plugin_, 2);
}

TEST_F(MultiParameters, DrivenByMIDIOnTheAudioThreadTheyNeverAllocate) {
    MIDIControllers& midi = plugin_->Controllers();
    midi.controllersEnabled = true;
    midi.controllers[0].enabled = true;
    midi.controllers[0].controller = 1;
    midi.controllers[0].index = Index(*plugin_, "MultiParameter 1");
    midi.controllers[1].enabled = true;
    midi.controllers[1].controller = 2;
    midi.controllers[1].index = Index(*plugin_, "MultiParameter 2");
    Aim(0, 0, "Volume");
    Aim(0, 1, "Formant shift");  // redesigns the bands
    Multi(0).mode = MultiParameterBanks;
    Multi(0).Targets().At(1).interpolate = true;
    Aim(1, 0, "Panorama");
    Multi(1).mode = MultiParameterTrigger;
    Multi(1).switchTime = 0.01;
    RunBlocks(*plugin_, 4);
    sonvera_test::AllocationCounter counter;
    for (int block = 0; block < 50; ++block) {
        const uint8_t moveBanks[3] = {0xB0, 1, static_cast<uint8_t>(block * 5 % 128)};
        const uint8_t pressTrigger[3] = {0xB0, 2, static_cast<uint8_t>(block % 2 ? 127 : 0)};
        plugin_->ProcessMIDIEvent(0, moveBanks);
        plugin_->ProcessMIDIEvent(1, pressTrigger);
        RunBlocks(*plugin_, 1);
    }
    EXPECT_EQ(counter.Count(), 0u);
    EXPECT_GT(Multi(1).SwitchPosition() + (Multi(1).Moving() ? 1.0 : 0.0), 0.0) << "the trigger ran";
}
