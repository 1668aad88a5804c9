#include <gtest/gtest.h>

#include <vector>

#include "framework/core/MException.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/parameters/ParameterAdapters.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestOwner.h"

using namespace corvane;
using sonvera_test::TestOwner;

namespace {

struct RecordingEffect : MParameterEffect {
    void ParameterChanged(int32_t index) override { changed.push_back(index); }
    std::vector<int32_t> changed;
};

ParameterDescriptor Float(const char* name, bool fullUpdate) {
    ParameterDescriptor d;
    d.kind = ParameterKindFloat;
    d.name = name;
    d.identifier = name;
    d.floatValues = {0.0, 1.0, 0.5, 0.5, 0.5};
    d.SetBit(0, ParameterBits::FullUpdate, fullUpdate);
    return d;
}

ParameterDescriptor Group(const char* name, uint8_t* switchValue) {
    ParameterDescriptor d;
    d.kind = ParameterKindGroup;
    d.name = name;
    d.groupValues.switchValue = switchValue;
    return d;
}

// A small effect: two loose parameters, a switchless group naming the next,
// a hidden parameter, a skipped one, and one envelope.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        main_ = {Float("Gain", false), Float("Mix", true), Group("Effects", nullptr), Float("Drive", true)};
        ParameterDescriptor unexposed = Float("Secret", true);
        unexposed.SetBit(0, ParameterBits::Exposed, false);
        main_.push_back(unexposed);
        second_ = {Float("Hidden", true)};
        envelope_.AddPoint({0.1, 0.2, 0.3, 0.4});
        special_.kind = SpecialKindEnvelope;
        special_.name = "Graph Shape";
        special_.object = &envelope_;
        special_.adapterFlags = 61;

        table_.parameters = main_.data();
        table_.parameterCount = static_cast<int32_t>(main_.size());
        table_.secondParameters = second_.data();
        table_.secondParameterCount = 1;
        table_.specials = &special_;
        table_.specialCount = 1;
        table_.flags = ParameterTableFlags::SecondListsPresent;

        framework_ = Float("Bypass", false);
        framework_.kind = ParameterKindBool;
        framework_.adapterFlags = 73;

        owner_.registry.RegisterEffect(effect_, table_);
        owner_.registry.RegisterFrameworkDescriptor(framework_);
        owner_.registry.Finish();
    }

    MParameterRegistry& Registry() { return owner_.registry; }

    std::vector<ParameterDescriptor> main_, second_;
    MEnvelope envelope_;
    SpecialParameterDescriptor special_;
    ParameterTable table_;
    ParameterDescriptor framework_;
    RecordingEffect effect_;
    TestOwner owner_;
};

constexpr int32_t EnvelopeCount = MEnvelope::MaxPoints * 4;

}  // namespace

TEST_F(RegistryTest, GlobalIndexesFollowRegistrationOrder) {
    // Gain, Mix, Drive, Hidden (hidden), envelope, Bypass.
    EXPECT_EQ(Registry().TotalCount(), 4 + EnvelopeCount + 1);
    EXPECT_EQ(Registry().ParameterCount(), 3 + EnvelopeCount + 1) << "hidden adapters are not host parameters";
    EXPECT_EQ(Registry().GetParameterName(2), "Drive");
    EXPECT_EQ(Registry().GetParameterID(2), "Effects - Drive") << "the switchless group still names what follows";
    EXPECT_EQ(Registry().GetParameterName(3), "Hidden");
    EXPECT_EQ(Registry().GetParameterName(4), "Point 1 X");
    EXPECT_EQ(Registry().GetParameterID(5), "Graph Shape - Point 1 Y");
    EXPECT_DOUBLE_EQ(Registry().GetParameter(7), 0.4);
    EXPECT_EQ(Registry().GetParameterName(4 + EnvelopeCount), "Bypass");
    EXPECT_EQ(framework_.adapter, &Registry().AdapterAt(Registry().AdapterCount() - 1));
    EXPECT_EQ(Registry().AdapterAt(Registry().AdapterCount() - 1).flags, 73u);
    // The effect index counts skipped descriptors too.
    ASSERT_NE(Registry().AdapterForEffectIndex(3), nullptr);
    EXPECT_EQ(Registry().AdapterForEffectIndex(2), nullptr);
    EXPECT_EQ(Registry().AdapterForEffectIndex(4), nullptr);
    EXPECT_EQ(static_cast<ParameterBase*>(Registry().AdapterForEffectIndex(5))->name, "Hidden");
}

TEST_F(RegistryTest, IndexesOutsideTheListReachNoAdapter) {
    sonvera_test::LogCapture log;
    const int32_t total = Registry().TotalCount();
    for (int32_t index : {-1, total, total + 100}) {
        Registry().SetParameter(index, 1.0, false);
        EXPECT_DOUBLE_EQ(Registry().GetParameter(index), 0.0);
        EXPECT_EQ(Registry().GetParameterName(index), "");
        EXPECT_EQ(Registry().GetParameterType(index), 0);
    }
    EXPECT_EQ(framework_.boolValue, 0) << "the last adapter was not reached";
    EXPECT_TRUE(log.lines.empty()) << "a refused index is not a system fault";
}

TEST_F(RegistryTest, ChangeNotification) {
    Registry().SetParameter(0, 0.25, false);
    EXPECT_EQ(effect_.changed, std::vector<int32_t>{0});
    EXPECT_FALSE(owner_.updatePending) << "Gain needs no full update";
    Registry().SetParameter(1, 0.25, false);
    EXPECT_TRUE(owner_.updatePending);
    Registry().SetParameter(2, 0.25, true);
    EXPECT_EQ(effect_.changed.size(), 2u) << "silent writes notify nobody";
    EXPECT_DOUBLE_EQ(main_[3].floatValues.value, 0.25);

    int heard = 0;
    auto* custom = static_cast<ParameterBaseCustom*>(framework_.adapter);
    custom->listeners.push_back({&heard, nullptr, [](void* target, void*, const ParameterBaseCustom::ChangeEvent&) {
                                     ++*static_cast<int*>(target);
                                 }});
    Registry().SetParameter(4 + EnvelopeCount, 1.0, true);
    EXPECT_EQ(heard, 1) << "framework listeners hear silent writes too";
    EXPECT_EQ(framework_.boolValue, 1);
}

TEST_F(RegistryTest, SetIfChangedIgnoresTinySteps) {
    Registry().SetParameterIfChanged(0, 0.5 + 1e-8, false);
    EXPECT_TRUE(effect_.changed.empty());
    Registry().SetParameterIfChanged(0, 0.6, false);
    EXPECT_EQ(effect_.changed.size(), 1u);
}

TEST_F(RegistryTest, AutomationToTheHost) {
    MAudioPluginAutomationAdapter& mix = Registry().AdapterAt(1);
    mix.SendAutomationValueWithChange(0, 0.0);
    mix.SendAutomationValueWithChange(0, 0.5);
    mix.SendAutomation(0);
    ASSERT_EQ(owner_.automation.size(), 5u);
    EXPECT_EQ(owner_.automation[0], std::make_pair(1, 1e-10));
    EXPECT_EQ(owner_.automation[1], std::make_pair(1, 0.0));
    EXPECT_EQ(owner_.automation[2], std::make_pair(1, 0.5 - 1e-10));
    EXPECT_EQ(owner_.automation[3], std::make_pair(1, 0.5));
    EXPECT_EQ(owner_.automation[4], std::make_pair(1, 0.5));
}

TEST_F(RegistryTest, EnvelopeWritesOnlyExistingPoints) {
    Registry().SetParameter(5, 0.9, false);
    EXPECT_DOUBLE_EQ(envelope_.PointAt(0).y, 0.9);
    Registry().SetParameter(8, 0.9, false);  // point 2 does not exist
    EXPECT_EQ(envelope_.PointCount(), 1);
    EXPECT_DOUBLE_EQ(Registry().GetParameter(8), 0.0);
}

TEST(Registry, InvalidKindsStopRegistration) {
    TestOwner owner;
    ParameterDescriptor broken;
    broken.kind = 9;
    ParameterTable table;
    table.parameters = &broken;
    table.parameterCount = 1;
    struct : MParameterEffect {
        void ParameterChanged(int32_t) override {}
    } effect;
    try {
        owner.registry.RegisterEffect(effect, table);
        FAIL() << "expected an exception";
    } catch (const MException& e) {
        EXPECT_EQ(e.Message(), "Invalid plugin parameter type.");
    }
}

TEST(Registry, InterpolationTableListsInterpolatedIndexes) {
    TestOwner owner;
    std::vector<ParameterDescriptor> descriptors(3);
    for (auto& d : descriptors) {
        d.kind = ParameterKindFloat;
        d.floatValues = {0.0, 1.0, 0.25, 0.25, 0.25};
    }
    descriptors[1].SetBit(0, ParameterBits::Interpolated, true);
    ParameterTable table;
    table.parameters = descriptors.data();
    table.parameterCount = 3;
    struct : MParameterEffect {
        void ParameterChanged(int32_t) override {}
    } effect;
    owner.registry.RegisterEffect(effect, table);
    owner.registry.Finish();
    EXPECT_EQ(owner.registry.InterpolatedIndexes(), std::vector<int32_t>{1});
    ASSERT_EQ(owner.registry.InterpolationTable().size(), 3u);
    EXPECT_DOUBLE_EQ(owner.registry.InterpolationTable()[2].start, 0.25);
}
