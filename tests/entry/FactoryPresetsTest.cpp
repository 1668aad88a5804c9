// The factory bank as a user meets it: every preset loads and sounds, and
// the presets do what their names promise.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "entry/ModuleResources.h"
#include "entry/PluginCreation.h"
#include "framework/storage/PresetDocument.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/ScratchConfigFolder.h"
#include "tools/render/DemoSignals.h"

using namespace corvane;

namespace {

constexpr double Rate = 48000.0;
constexpr double Pi = 3.14159265358979323846;
using Signal = std::vector<float>;

Signal Sine(double frequency, double seconds, double amplitude) {
    Signal s(static_cast<size_t>(seconds * Rate));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(amplitude * std::sin(2 * Pi * frequency * i / Rate));
    return s;
}

// White noise: a flat carrier, so that the output's spectrum is the voice's envelope on the carrier's bands.
Signal Noise(double seconds, double amplitude) {
    Signal s(static_cast<size_t>(seconds * Rate));
    uint32_t state = 1;
    for (float& x : s) {
        state = state * 1664525u + 1013904223u;
        x = static_cast<float>(amplitude * (static_cast<double>(state) / 2147483648.0 - 1.0));
    }
    return s;
}

Signal Scaled(Signal s, float gain) {
    for (float& x : s) x *= gain;
    return s;
}

// One plug-in with the factory bank, fed mono carrier and modulator on both channels.
class FactoryBank : public testing::Test {
protected:
    void SetUp() override {
        plugin_ = CreateSonveraPlugin();
        ASSERT_NE(plugin_, nullptr);
        names_ = plugin_->Presets().List();
    }

    // The left output after loading `preset`; the first 0.2 s, where the detectors settle, is dropped.
    // `change` runs after the preset has loaded.
    Signal Render(const std::string& preset, const Signal& carrier, const Signal& modulator,
                  const std::function<void(MQuorlithAudioEffectPlugin&)>& change = {}) {
        const int32_t index = plugin_->Presets().Find(preset);
        EXPECT_GE(index, 0) << preset;
        EXPECT_TRUE(plugin_->Presets().LoadPreset(index)) << preset;
        if (change) change(*plugin_);
        plugin_->InitProcessing();  // each preset starts from silence
        constexpr int32_t Block = 512;
        Signal out(carrier.size()), right(Block), car(Block), mod(Block);
        for (size_t at = 0; at + Block <= carrier.size(); at += Block) {
            std::copy_n(carrier.begin() + static_cast<long>(at), Block, car.begin());
            std::copy_n(modulator.begin() + static_cast<long>(at), Block, mod.begin());
            float* inputs[16] = {car.data(), car.data()};
            inputs[8] = inputs[9] = mod.data();
            float* outputs[8] = {out.data() + at, right.data()};
            plugin_->ProcessBlock(inputs, outputs, Block, 1);
        }
        return Signal(out.begin() + static_cast<long>(0.2 * Rate), out.end() - 512);
    }

    static double Rms(const Signal& s) {
        double sum = 0;
        for (float x : s) sum += double(x) * x;
        return std::sqrt(sum / double(s.size()));
    }
    // The level at one frequency (Goertzel), as an amplitude.
    static double LevelAt(const Signal& s, double frequency) {
        const double w = 2 * Pi * frequency / Rate, c = 2 * std::cos(w);
        double s1 = 0, s2 = 0;
        for (float x : s) {
            const double s0 = x + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2)) / double(s.size());
    }
    // The output's mean frequency (the root of its second spectral moment):
    // the slope's level against the signal's.
    static double MeanFrequency(const Signal& s) {
        Signal slope(s.size() - 1);
        for (size_t i = 0; i + 1 < s.size(); ++i) slope[i] = s[i + 1] - s[i];
        return Rms(slope) / Rms(s) * Rate / (2 * Pi);
    }

    sonvera_test::ScratchConfigFolder folder_{"sonvera-factory"};
    std::unique_ptr<MQuorlithAudioEffectPlugin> plugin_;
    std::vector<std::string> names_;
};

}  // namespace

TEST_F(FactoryBank, HoldsTheFoldersAndEveryMode) {
    std::map<std::string, int> perFolder;
    for (const std::string& name : names_) ++perFolder[name.substr(0, name.find('/'))];
    for (const char* folder :
         {"Classic robot voice", "Choir and pads", "Whispers", "Rhythmic and gated", "Ring and metallic",
          "Formant tricks", "Morphs", "Inversions", "Randomizer", "Randomizer Multi"})
        EXPECT_GE(perFolder[folder], 2) << folder;
    EXPECT_GE(names_.size() - perFolder["Randomizer"] - perFolder["Randomizer Multi"], 32u);

    std::set<std::string> modes;
    MXMLItem bank = ModuleResources::FactoryPresets();
    for (MXMLItem* preset : Presets::Flatten(bank)) {
        modes.insert(preset->GetAttribute("parameterModeEnum"));
        EXPECT_NE(preset->FindSubItem("Matrix"), nullptr) << "complete: " << preset->GetAttribute("name");
    }
    EXPECT_EQ(modes.size(), 8u);
    EXPECT_THROW(ModuleResources::Find("missing"), MException);
}

TEST_F(FactoryBank, EveryPresetRendersTheDemoSignals) {
    const render::Audio carrier = render::DemoCarrier(Rate, 4.0), modulator = render::DemoModulator(Rate, 4.0);
    for (const std::string& name : names_) {
        const Signal out = Render(name, carrier.channels[0], modulator.channels[0]);
        bool finite = true;
        for (float x : out) finite &= std::isfinite(x);
        EXPECT_TRUE(finite) << name;
        const double db = 20 * std::log10(Rms(out) + 1e-30);
        EXPECT_GT(db, -45.0) << name << " is nearly silent";
        EXPECT_LT(db, 0.0) << name << " is far too loud";
    }
}

TEST_F(FactoryBank, GatedPresetsSilenceAQuietVoice) {
    const render::Audio carrier = render::DemoCarrier(Rate, 1.5), modulator = render::DemoModulator(Rate, 1.5);
    const Signal quiet = Scaled(modulator.channels[0], 0.003f);  // about -50 dB
    auto drop = [&](const std::string& preset) {
        return Rms(Render(preset, carrier.channels[0], quiet)) /
               Rms(Render(preset, carrier.channels[0], modulator.channels[0]));
    };
    const double ungated = drop("Classic robot voice/Classic Robot");
    for (const char* gated : {"Rhythmic and gated/Hard Gate", "Rhythmic and gated/Soft Gate",
                              "Rhythmic and gated/Choppy", "Rhythmic and gated/Tight Pump"})
        EXPECT_LT(drop(gated), ungated * 0.1) << gated << ": at least 20 dB more reduction than no gate";
}

TEST_F(FactoryBank, FormantPresetsMoveTheSpectrum) {
    const Signal carrier = Noise(1.5, 0.3);
    const render::Audio modulator = render::DemoModulator(Rate, 1.5);
    // Against the same preset with the formants left where they are.
    auto shiftedFrequency = [&](const std::string& preset) {
        const double shifted = MeanFrequency(Render(preset, carrier, modulator.channels[0]));
        const double neutral =
            MeanFrequency(Render(preset, carrier, modulator.channels[0], [](MQuorlithAudioEffectPlugin& p) {
                p.Parameters().SetParameter(sonvera_test::Index(p, "Formant shift"), 0.5, false);
            }));
        return shifted / neutral;
    };
    // Seven semitones over the compressed band range move a 1 kHz formant to about 0.8 and 1.19 kHz.
    EXPECT_LT(shiftedFrequency("Formant tricks/Giant"), 0.9);
    EXPECT_GT(shiftedFrequency("Formant tricks/Chipmunk"), 1.1);
}

TEST_F(FactoryBank, RingPresetsMakeSidebands) {
    // A 1 kHz carrier under a 300 Hz voice: ring modulation moves the energy to 700 Hz and 1.3 kHz.
    const Signal carrier = Sine(1000, 1.0, 0.3), modulator = Sine(300, 1.0, 0.3);
    for (const char* ring : {"Ring and metallic/Ring Bell", "Ring and metallic/Metal Voice"}) {
        const Signal out = Render(ring, carrier, modulator);
        const double sidebands = LevelAt(out, 700) + LevelAt(out, 1300);
        EXPECT_GT(sidebands, 4 * LevelAt(out, 1000)) << ring;
    }
    const Signal vocoded = Render("Classic robot voice/Classic Robot", carrier, modulator);
    EXPECT_LT(LevelAt(vocoded, 700) + LevelAt(vocoded, 1300), LevelAt(vocoded, 1000)) << "vocoding keeps the carrier";
}
