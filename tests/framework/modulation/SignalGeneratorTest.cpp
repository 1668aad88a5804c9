#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "framework/core/MLock.h"
#include "framework/modulation/MADSR.h"
#include "framework/modulation/MSignalGenerator.h"
#include "framework/modulation/ParameterADSR.h"
#include "framework/modulation/ParameterSignalGenerator.h"
#include "framework/storage/MStoreContext.h"
#include "tests/support/TestOwner.h"

using namespace corvane;

namespace {

double S(double t) { return std::sin(M_PI * t / 2.0); }

TEST(SignalShapes, SymmetricShapesFollowTheirQuarterWave) {
    const std::vector<std::pair<int32_t, std::function<double(double)>>> cases = {
        {ShapeExponencial, [](double t) { return std::pow(t, 4.0); }},
        {ShapeTriangle, [](double t) { return t; }},
        {ShapeSinePower8, [](double t) { return std::pow(S(t), 8.0); }},
        {ShapeSinePower4, [](double t) { return std::pow(S(t), 4.0); }},
        {ShapeSineSquare, [](double t) { return S(t) * S(t); }},
        {ShapeSine, [](double t) { return S(t); }},
        {ShapeSineSquareRoot, [](double t) { return std::sqrt(S(t)); }},
        {ShapeSine4Root, [](double t) { return std::pow(S(t), 0.2); }},
        {ShapeRectangle, [](double) { return 1.0; }},
    };
    for (const auto& [shape, q] : cases) {
        SCOPED_TRACE(SignalShapeNames[shape]);
        const float* t = BuiltInShapeTable(shape);
        EXPECT_EQ(t[0], static_cast<float>(q(0.0)));
        for (int32_t i : {1, 7, 300, 1024, 1500, 2047, 2048}) {
            EXPECT_EQ(t[i], static_cast<float>(q(i / 2048.0))) << i;
            EXPECT_EQ(t[4096 - i], t[i]) << i;  // the lobe is symmetric about its peak
        }
        for (int32_t j : {0, 1, 100, 2048, 4095}) EXPECT_EQ(t[4096 + j], -t[j]) << j;
    }
}

TEST(SignalShapes, OtherShapesAndTheirDeterminism) {
    const float* dis = BuiltInShapeTable(ShapeDisharmonics);
    for (int32_t i : {0, 100, 2000, 5000, 8191}) {
        const double x = 2 * M_PI * i / 8192;
        const double expected = 0.3 * std::sin(x) + 0.2 * std::sin(2.2 * x) + 0.2 * std::sin(2.4 * x) +
                                0.2 * std::sin(2.6 * x) + 0.1 * std::sin(2.8 * x);
        EXPECT_NEAR(dis[i], expected, 1e-6) << i;
    }
    for (int32_t shape : {ShapeHarmonics, ShapeMoreHarmonics, ShapeNoise, ShapeMess}) {
        const float* t = BuiltInShapeTable(shape);
        float peak = 0;
        for (int32_t i = 0; i < SignalTableSize; ++i) peak = std::max(peak, std::fabs(t[i]));
        EXPECT_LE(peak, 1.0f) << SignalShapeNames[shape];
        EXPECT_GT(peak, 0.9f) << SignalShapeNames[shape];
    }
    // The noise shapes are fixed numbers, whatever else draws random values:
    // a checksum pins them across builds and processes.
    double sum = 0, weighted = 0;
    for (int32_t i = 0; i < SignalTableSize; ++i) {
        sum += BuiltInShapeTable(ShapeNoise)[i];
        weighted += BuiltInShapeTable(ShapeMess)[i] * (i % 7);
    }
    EXPECT_NEAR(sum / SignalTableSize, 0.0, 0.05);
    const float* noise = BuiltInShapeTable(ShapeNoise);
    EXPECT_FLOAT_EQ(noise[0], static_cast<float>(((((1u * 214013u + 2531011u) >> 16) & 0x7FFF) / 16383.5) - 1.0));
    EXPECT_EQ(BuiltInShapeTable(ShapeMess), BuiltInShapeTable(ShapeMess)) << "built once";
    // Saws: half ramps like the lobes, and one ramp over the whole period.
    EXPECT_FLOAT_EQ(BuiltInShapeTable(ShapeSaw)[2048], 0.5f);
    EXPECT_FLOAT_EQ(BuiltInShapeTable(ShapeSaw)[4096 + 2048], -0.5f);
    EXPECT_FLOAT_EQ(BuiltInShapeTable(ShapeFullSaw)[0], 0.0f);
    EXPECT_FLOAT_EQ(BuiltInShapeTable(ShapeFullSaw)[2048], 0.5f);
    EXPECT_FLOAT_EQ(BuiltInShapeTable(ShapeFullSaw)[6144], -0.5f);
}

TEST(SignalShapes, MixTexts) {
    const std::vector<std::pair<double, std::string>> cases = {
        {15.0, "Mess"},       {7.5, "50% More harmonics, 50% Disharmonics"}, {5.0, "Sine"},         {5.004, "Sine"},
        {5.995, "Harmonics"}, {0.3, "70% Exponencial, 30% Triangle"},        {-2.0, "Exponencial"}, {99.0, "Mess"},
    };
    for (const auto& [position, text] : cases) EXPECT_EQ(ShapeMixText(position), text) << position;
}

TEST(SignalGenerator, ShapePositionsMixNeighboursAndEditsRecompute) {
    MSignalGenerator generator;
    for (double phase : {0.05, 0.2, 0.6}) EXPECT_NEAR(generator.Value(phase), std::sin(2 * M_PI * phase), 1e-6);
    generator.Change([](MSignalGenerator::Settings& s) { s.shape = 5.25; });
    EXPECT_TRUE(generator.TakeChanged());
    const double index = 0.1 * SignalTableSize;
    EXPECT_NEAR(generator.Value(0.1),
                0.75 * TableValue(BuiltInShapeTable(5), index) + 0.25 * TableValue(BuiltInShapeTable(6), index), 1e-6);
    // Transformations: the phase turns the period, halve squeezes it into its first half.
    generator.Change([](MSignalGenerator::Settings& s) {
        s.shape = ShapeTriangle;
        s.phase = 0.25;
    });
    EXPECT_NEAR(generator.Value(0.0), 1.0, 1e-6);
    generator.Change([](MSignalGenerator::Settings& s) {
        s.phase = 0.0;
        s.halve = 1.0;
    });
    EXPECT_NEAR(generator.Value(0.125), 1.0, 1e-3);
    EXPECT_EQ(generator.Value(0.75), 0.0f);
    // Settings out of range are limited, not stored.
    generator.Change([](MSignalGenerator::Settings& s) {
        s.shape = std::nan("");
        s.smoothness = 7;
    });
    EXPECT_EQ(generator.GetSettings().shape, 0.0);
    EXPECT_EQ(generator.GetSettings().smoothness, 1.0);
}

TEST(SignalGenerator, StepSequencerHarmonicsAndSmoothness) {
    MSignalGenerator generator(true);
    generator.Change([](MSignalGenerator::Settings& s) {
        s.stepSequencer = 1.0;
        for (int k = 0; k < SignalStepCount; ++k) s.step[k] = k % 2 == 0 ? 1.0 : 0.25;  // levels 1 and -0.5
        s.stepShape[2] = 1;                                                             // "Linear up"
    });
    EXPECT_NEAR(generator.Value(0.5 / 16), 1.0, 1e-6);
    EXPECT_NEAR(generator.Value(1.5 / 16), -0.5, 1e-6);
    EXPECT_NEAR(generator.Value(2.25 / 16), 0.25, 1e-3);  // a quarter up the ramp to 1

    // Custom morph to the drawn harmonics: harmonic 3 alone is a sine at three times the rate.
    generator.Change([](MSignalGenerator::Settings& s) {
        s.stepSequencer = 0.0;
        s.customMorph = 1.0;
        s.harmonics.harmonicity = 0.0;  // the generator gives the fundamental alone ...
        s.harmonics.level[0] = 0.0;     // ... which is turned down
        s.shapeHarmonicLevel[2] = 1.0;
    });
    for (double phase : {0.01, 0.1, 0.3}) EXPECT_NEAR(generator.Value(phase), std::sin(6 * M_PI * phase), 1e-3);

    // Smoothness averages: a rectangle loses its corners but keeps its middle.
    MSignalGenerator smooth;
    smooth.Change([](MSignalGenerator::Settings& s) {
        s.shape = ShapeRectangle;
        s.smoothness = 1.0;
    });
    EXPECT_NEAR(smooth.Value(0.25), 1.0, 1e-6);
    EXPECT_NEAR(smooth.Value(0.0), 0.0, 1e-3);
    EXPECT_NEAR(smooth.Value(0.03125), 0.5, 1e-3);
}

TEST(SignalGenerator, HostParametersAndStorage) {
    sonvera_test::TestOwner owner;
    MSignalGenerator generator(true);
    ParameterSignalGeneratorT<ParameterSpecialBase<MSignalGenerator>> main;
    ParameterSignalGeneratorStepSequencerTypesT<ParameterSpecialBase<MSignalGenerator>> types;
    ParameterSignalGeneratorHarmonicsT<ParameterSpecialBase<MSignalGenerator>> harmonics;
    for (MAudioPluginAutomationAdapter* a :
         std::initializer_list<MAudioPluginAutomationAdapter*>{&main, &types, &harmonics})
        a->owner = &owner;
    main.object = types.object = harmonics.object = &generator;
    main.name = "LFO shape";

    EXPECT_EQ(main.count, 4);
    EXPECT_EQ(main.GetName(0), "Shape");
    main.SetValue(0, 1.0, false);
    EXPECT_EQ(generator.GetSettings().shape, 15.0);
    EXPECT_EQ(main.GetValueName(0), "Mess");
    main.SetValue(0, 0.5, false);
    EXPECT_EQ(generator.GetSettings().shape, 7.5);
    EXPECT_EQ(main.GetValueName(0), "50% More harmonics, 50% Disharmonics");
    EXPECT_DOUBLE_EQ(main.GetValue(0), 0.5);
    EXPECT_DOUBLE_EQ(main.GetDefaultValue(0), 5.0 / 15.0);

    EXPECT_EQ(types.GetType(0), 3);
    types.SetValue(4, 1.0, false);
    EXPECT_EQ(generator.GetSettings().stepShape[4], StepShapeCount - 1);
    EXPECT_EQ(types.GetValueName(4), "Wobble 4 mirror");
    EXPECT_EQ(types.GetLabel(4), "Step 5 Shape");

    EXPECT_EQ(harmonics.count, 10 + 2 * SignalHarmonicCount);
    EXPECT_EQ(harmonics.GetName(9), "Post-processor - Harmonize");
    EXPECT_EQ(harmonics.GetName(11), "Harmonics - Phase");
    harmonics.SetValue(1, 0.2, false);
    EXPECT_EQ(generator.GetSettings().harmonics.slope, 0.2);

    MXMLItem element("Signal");
    MStoreContext storing(true, element);
    generator.Store(storing);
    EXPECT_EQ(element.GetAttribute("Shape"), "7.5");
    EXPECT_FALSE(element.HasAttribute("Smoothness")) << "defaults are left out";
    MSignalGenerator copy(true);
    MStoreContext loading(false, element);
    copy.Store(loading);
    EXPECT_EQ(copy.GetSettings().stepShape[4], StepShapeCount - 1);
    EXPECT_EQ(copy.GetSettings().harmonics.slope, 0.2);
    float a[SignalTableSize], b[SignalTableSize];
    generator.CopyTable(a);
    copy.CopyTable(b);
    EXPECT_EQ(std::vector<float>(a, a + SignalTableSize), std::vector<float>(b, b + SignalTableSize));
}

// Writes leave the table to be recomputed later; meanwhile the audio thread
// reads the values it needs from the settings, as the table will hold them.
TEST(SignalGenerator, TheAudioThreadReadsWhatTheTableWillHold) {
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, double>> fields;  // field, value
        float tolerance;                                 // 0: the same bits
    } cases[] = {
        {"a shape between two", {{0, 7.3}}, 0.0f},
        {"skew, halve and phase", {{0, 2.0}, {36, 0.4}, {37, 0.8}, {38, 0.3}, {39, 0.25}}, 0.0f},
        {"steps", {{2, 0.7}, {4, 0.2}, {5, 0.9}, {20, 11.0}, {21, 25.0}}, 0.0f},
        {"drawn harmonics", {{1, 0.6}, {40, 1.0}, {42, 0.5}, {43, 0.25}}, 0.0f},
        {"smoothed", {{0, 9.0}, {3, 0.4}}, 1e-6f},
    };
    for (const Case& c : cases) {
        MSignalGenerator generator(true);
        std::vector<float> direct;
        {
            const MMutex::AudioThreadMark audioThread;
            for (const auto& [field, value] : c.fields) generator.SetField(field, value);
            for (int i = 0; i <= 64; ++i) direct.push_back(generator.Value(i / 64.0 + 0.0013));
        }
        for (int i = 0; i <= 64; ++i) {
            const float table = generator.Value(i / 64.0 + 0.0013);  // recomputes the table first
            if (c.tolerance == 0.0f)
                EXPECT_EQ(direct[static_cast<size_t>(i)], table) << c.name << " at " << i;
            else
                EXPECT_NEAR(direct[static_cast<size_t>(i)], table, c.tolerance) << c.name << " at " << i;
        }
    }
}

// While another thread holds the generator (a long edit), the audio thread
// neither waits nor loses its write: the value stands, the write lands.
TEST(SignalGenerator, ABusyGeneratorNeitherBlocksNorLosesAnAudioThreadWrite) {
    MSignalGenerator generator;
    const float before = generator.Value(0.3);
    std::atomic<bool> held{false}, release{false};
    std::thread editor([&] {
        MLock hold(generator.Lock());
        held = true;
        while (!release) std::this_thread::yield();
    });
    while (!held) std::this_thread::yield();
    const uint64_t waits = MMutex::AudioThreadWaits();
    {
        const MMutex::AudioThreadMark audioThread;
        generator.SetField(0, 12.0);
        EXPECT_EQ(generator.Value(0.3), before) << "the previous value stands";
        EXPECT_EQ(generator.Field(0), 12.0) << "the write is seen at once";
    }
    EXPECT_EQ(MMutex::AudioThreadWaits(), waits);
    release = true;
    editor.join();
    EXPECT_EQ(generator.GetSettings().shape, 12.0) << "and applied by the next holder";
}

TEST(ADSR, StagesReachTheirLevelsInTheirTimes) {
    MADSR adsr;
    adsr.Set(MADSR::Delay, 0.1);
    adsr.Set(MADSR::Attack, 0.2);
    adsr.Set(MADSR::Hold, 0.05);
    adsr.Set(MADSR::Decay, 0.4);
    adsr.Set(MADSR::Sustain, 0.5);
    adsr.Set(MADSR::Release, 1.0);
    EXPECT_EQ(adsr.HeldLevel(0.05), 0.0);          // still delayed
    EXPECT_NEAR(adsr.HeldLevel(0.2), 0.5, 1e-12);  // halfway up a straight attack
    EXPECT_NEAR(adsr.HeldLevel(0.3), 1.0, 1e-12);
    EXPECT_NEAR(adsr.HeldLevel(0.33), 1.0, 1e-12);  // held
    EXPECT_NEAR(adsr.HeldLevel(0.55), 0.75, 1e-12);
    EXPECT_NEAR(adsr.HeldLevel(5.0), 0.5, 1e-12);  // sustained
    // The release falls from wherever the level was, to nothing in the release time.
    EXPECT_NEAR(adsr.ReleaseLevel(0.0, 0.8), 0.8, 1e-12);
    EXPECT_NEAR(adsr.ReleaseLevel(0.5, 0.8), 0.4, 1e-12);
    EXPECT_NEAR(adsr.ReleaseLevel(1.0, 0.8), 0.0, 1e-12);
    // A bent release drops faster at first, still by the same time.
    adsr.Set(MADSR::ReleaseShape, 0.5);
    EXPECT_LT(adsr.ReleaseLevel(0.5, 1.0), 0.25);
    EXPECT_NEAR(adsr.ReleaseLevel(1.0, 1.0), 0.0, 1e-12);

    ParameterADSRT<ParameterSpecialBase<MADSR>> adapter;
    adapter.object = &adsr;
    EXPECT_EQ(adapter.count, 11);
    EXPECT_EQ(adapter.GetName(7), "Attack shape");
    EXPECT_EQ(adapter.GetName(10), "Reserved");
    adapter.SetValue(MADSR::Attack, 0.5, true);
    EXPECT_DOUBLE_EQ(adsr.Get(MADSR::Attack), 2.5);  // 10 s on a square law
    EXPECT_DOUBLE_EQ(adapter.GetValue(MADSR::Attack), 0.5);
    adapter.SetValue(MADSR::DecayShape, 0.0, true);
    EXPECT_EQ(adsr.Get(MADSR::DecayShape), -1.0);
}

}  // namespace

namespace {

struct NoEffect : MParameterEffect {
    void ParameterChanged(int32_t) override {}
};

}  // namespace

// Each compound kind gets its adapters in order, and their global indexes
// follow from the counts, as hosts will keep seeing them.
TEST(SpecialParameters, EachKindRegistersItsAdaptersInOrder) {
    MSignalGenerator plain, withHarmonics(true);
    MADSR adsr;
    MEnvelope envelope;
    SpecialParameterDescriptor specials[4];
    const uint32_t kinds[4] = {SpecialKindSignalGenerator, SpecialKindSignalGeneratorHarmonics, SpecialKindADSR,
                               SpecialKindEnvelope};
    void* objects[4] = {&plain, &withHarmonics, &adsr, &envelope};
    const char* names[4] = {"Shape A", "Shape B", "Envelope", "Target"};
    for (int i = 0; i < 4; ++i) {
        specials[i].kind = kinds[i];
        specials[i].object = objects[i];
        specials[i].name = names[i];
    }
    sonvera_test::TestOwner owner;
    NoEffect effect;
    ParameterTable table;
    table.specials = specials;
    table.specialCount = 4;
    owner.registry.RegisterEffect(effect, table);
    owner.registry.Finish();

    const int32_t generator = 4 + 16 + 16 + 4 + 32;  // main, step values, step shapes, transformations, harmonics
    const int32_t harmonics = 10 + 32;
    EXPECT_EQ(owner.registry.AdapterCount(), 5u + 6u + 1u + 1u);
    EXPECT_EQ(owner.registry.TotalCount(), generator + generator + harmonics + 11 + 32);
    EXPECT_EQ(owner.registry.GetParameterName(0), "Shape");
    EXPECT_EQ(owner.registry.GetParameterName(4), "Value");
    EXPECT_EQ(owner.registry.GetParameterName(20), "Shape");
    EXPECT_EQ(owner.registry.GetParameterName(36), "Halve");
    EXPECT_EQ(owner.registry.GetParameterName(40), "Level");
    EXPECT_EQ(owner.registry.GetParameterName(2 * generator), "Generator - Harmonicity");
    EXPECT_EQ(owner.registry.GetParameterName(2 * generator + harmonics), "Delay");
    EXPECT_EQ(owner.registry.GetParameterName(2 * generator + harmonics + 11), "Point 1 X");
    // Writes reach the object behind the adapter.
    owner.registry.SetParameter(generator + 1, 0.75, false);  // "Custom morph" of the second generator
    EXPECT_EQ(withHarmonics.GetSettings().customMorph, 0.75);
    EXPECT_EQ(plain.GetSettings().customMorph, 0.0);
    EXPECT_GT(owner.editorUpdates, 0);
}
