// States from corrupted or malicious project files: bounded work, never
// half-loaded, and nothing accepted that the instance could not store again.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/storage/XMLFiles.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/HostileStates.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MemoryPeak.h"

using namespace corvane;
using sonvera_test::NewVocoder;

namespace {

bool Loads(MQuorlithAudioEffectPlugin& plugin, const std::vector<uint8_t>& chunk) {
    return plugin.ReadChunk(chunk.data(), chunk.size());
}

// One block of noise; true when every output sample is finite.
bool ProcessesFinitely(MQuorlithAudioEffectPlugin& plugin) {
    constexpr int32_t n = 512;
    std::vector<float> in[4], out[2];
    uint32_t seed = 3;
    for (auto& channel : in)
        for (int32_t i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            channel.push_back(static_cast<float>(static_cast<int32_t>(seed)) * (0.25f / 2147483648.0f));
        }
    for (auto& channel : out) channel.resize(n);
    float* inputs[16] = {in[0].data(), in[1].data()};
    inputs[8] = in[2].data();
    inputs[9] = in[3].data();
    float* outputs[8] = {out[0].data(), out[1].data()};
    for (int block = 0; block < 4; ++block) plugin.ProcessBlock(inputs, outputs, n, 1);
    for (const auto& channel : out)
        for (float s : channel)
            if (!std::isfinite(s)) return false;
    return true;
}

}  // namespace

TEST(HostileStates, BoundedAndNeverHalfLoaded) {
    auto plugin = NewVocoder();
    plugin->Parameters().SetParameter(21, 0.25, false);
    const std::vector<uint8_t> before = plugin->WriteChunk();
    sonvera_test::LogCapture log;
    for (const sonvera_test::HostileState& state : sonvera_test::HostileStates()) {
        size_t peak = 0;
        bool loaded = false;
        {
            sonvera_test::MemoryPeak memory;
            loaded = Loads(*plugin, state.chunk);
            peak = memory.PeakBytes();
        }
        EXPECT_EQ(loaded, state.loads) << state.what;
        EXPECT_LT(peak, 100u << 20) << state.what << ": bytes held at once";
        if (!state.loads) {
            EXPECT_EQ(plugin->WriteChunk(), before) << state.what << ": the running state stays as it was";
            continue;
        }
        EXPECT_TRUE(ProcessesFinitely(*plugin)) << state.what;
        // What was accepted stores again in a form that every instance reads.
        auto fresh = NewVocoder();
        EXPECT_TRUE(Loads(*fresh, plugin->WriteChunk())) << state.what;
        ASSERT_TRUE(Loads(*plugin, before));
    }
}

// Eight slots each just within their share of the reader's limits: the
// instance holding all of them still writes a state that loads again.
TEST(HostileStates, WhatWasAcceptedAlwaysStoresAgain) {
    auto plugin = NewVocoder();
    const size_t share = MXMLItem::MaxDocumentBytes / 9 - 4096;
    for (int slot = 1; slot < 8; ++slot) {
        MXMLItem state("settings");
        state.SetAttribute("PresetIndex", "0");
        state.AddSubItem("Preset" + std::to_string(slot)).SetAttribute("x", std::string(share, 'a' + slot));
        MMemoryStream stream;
        WriteCompressed(state, stream, "utf-8");
        ASSERT_TRUE(plugin->ReadChunk(stream.Data(), static_cast<size_t>(stream.Size()))) << slot;
    }
    const std::vector<uint8_t> everything = plugin->WriteChunk();
    auto fresh = NewVocoder();
    EXPECT_TRUE(Loads(*fresh, everything));
    EXPECT_TRUE(Loads(*plugin, everything));
}

// Stored numbers are decimal, whole, finite and in range; anything else is
// logged and leaves the default (or the current value, for always-written ones).
TEST(HostileStates, StoredNumbersAreReadStrictly) {
    struct Case {
        const char* attribute;
        const char* text;
        int32_t parameter;
        double expected;  // normalised
    } cases[] = {
        {"parameterBandCount", "64", 21, 60.0 / 96.0},
        {"parameterBandCount", "4294967297", 21, 28.0 / 96.0},
        {"parameterBandCount", "+5", 21, 28.0 / 96.0},
        {"parameterBandCount", " 9", 21, 28.0 / 96.0},
        {"parameterBandCount", "0x10", 21, 28.0 / 96.0},
        {"parameterBandCount", "12abc", 21, 28.0 / 96.0},
        {"parameterRatio", "0.25", 7, 0.25},
        {"parameterRatio", "inf", 7, 1.0},
        {"parameterRatio", "nan", 7, 1.0},
        {"parameterRatio", "1e999", 7, 1.0},
        {"parameterRatio", "0x1p-2", 7, 1.0},
    };
    for (const Case& c : cases) {
        auto plugin = NewVocoder();
        MXMLItem state("settings");
        state.SetAttribute(c.attribute, c.text);
        MMemoryStream stream;
        WriteCompressed(state, stream, "utf-8");
        sonvera_test::LogCapture log;
        ASSERT_TRUE(plugin->ReadChunk(stream.Data(), static_cast<size_t>(stream.Size())));
        EXPECT_NEAR(plugin->Parameters().GetParameter(c.parameter), c.expected, 1e-12) << c.attribute << "=" << c.text;
    }
}
