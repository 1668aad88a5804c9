// The editor's level displays: fed by the audio thread only once an editor
// exists, handed over without a lock, shown with a falling peak.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/plugin/LevelMeters.h"
#include "gui/Meter.h"
#include "gui/VocoderEditor.h"
#include "tests/framework/plugin/VocoderPlugin.h"

using namespace corvane;

TEST(LevelMeters, TheEditorTakesThePeakSinceItsLastLook) {
    LevelMeters meters;
    const float quiet[4] = {0.1f, -0.2f, 0.05f, 0.0f}, loud[4] = {0.0f, 0.3f, -0.7f, 0.2f};
    const float* channels[2] = {quiet, loud};
    meters.Feed(LevelMeters::Carrier, channels, 1, 4);
    EXPECT_FLOAT_EQ(meters.Take(LevelMeters::Carrier), 0.2f);
    EXPECT_EQ(meters.Take(LevelMeters::Carrier), 0.0f) << "taken";
    meters.Feed(LevelMeters::Output, channels, 2, 4);
    meters.Feed(LevelMeters::Output, channels, 1, 4);  // a quieter block keeps the louder peak
    EXPECT_FLOAT_EQ(meters.Take(LevelMeters::Output), 0.7f);

    // One thread feeding while another takes: every take is a peak that was fed.
    std::atomic<bool> running{true};
    std::thread audio([&] {
        while (running) meters.Feed(LevelMeters::Modulator, channels, 2, 4);
    });
    for (int i = 0; i < 10000; ++i) {
        const float taken = meters.Take(LevelMeters::Modulator);
        ASSERT_TRUE(taken == 0.0f || taken == 0.7f) << taken;
    }
    running = false;
    audio.join();
}

TEST(LevelMeters, ThePlugInFeedsThemOnceAnEditorExists) {
    auto plugin = sonvera_test::NewVocoder();
    plugin->SetEditorContent(
        [](const gui::EditorServices& services) { return std::make_unique<gui::VocoderEditor>(services); });
    sonvera_test::RunBlocks(*plugin, 4);
    EXPECT_EQ(plugin->Meters().Take(LevelMeters::Carrier), 0.0f) << "no editor yet: nothing is measured";
    ASSERT_NE(plugin->Editor(), nullptr);
    sonvera_test::RunBlocks(*plugin, 4);
    EXPECT_FLOAT_EQ(plugin->Meters().Take(LevelMeters::Carrier), 0.1f);
    EXPECT_FLOAT_EQ(plugin->Meters().Take(LevelMeters::Modulator), 0.1f);
    EXPECT_GT(plugin->Meters().Take(LevelMeters::Output), 0.0f);
}

TEST(LevelMeters, TheDisplayFallsSlowly) {
    struct Source : gui::ParameterAccess {
        double next = 0.0;
        int32_t Find(const std::string&) const override { return -1; }
        std::string Name(int32_t) const override { return {}; }
        double Value(int32_t) const override { return 0; }
        double Default(int32_t) const override { return 0; }
        int32_t Steps(int32_t) const override { return 0; }
        std::string Text(int32_t) const override { return {}; }
        bool SetText(int32_t, const std::string&) override { return false; }
        void BeginEdit(int32_t) override {}
        void SetValue(int32_t, double) override {}
        void EndEdit(int32_t) override {}
        double TakeLevel(Meter) override { return std::exchange(next, 0.0); }
    } source;
    gui::Meter meter(source, gui::ParameterAccess::OutputLevel, "Out");
    meter.SetBounds({0, 0, 30, 200});
    gui::Bitmap bitmap(30, 200);
    gui::Canvas canvas(bitmap);
    source.next = 0.5;  // -6 dB
    meter.Draw(canvas);
    EXPECT_NEAR(meter.ShownDb(), -6.02, 0.01);
    meter.Draw(canvas);
    EXPECT_NEAR(meter.ShownDb(), -6.02 - gui::Meter::FallDb, 0.01);
    for (int i = 0; i < 100; ++i) meter.Draw(canvas);
    EXPECT_EQ(meter.ShownDb(), gui::Meter::FloorDb);
}
