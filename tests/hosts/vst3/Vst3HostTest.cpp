// Sonvera as a VST3 host sees it: the bundle's library through the
// published interfaces only.

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/hosts/vst3/Vst3TestHost.h"

using namespace sonvera_test;

namespace {

std::string Text(const int16_t* text) { return Vst3::FromUtf16(text, 128); }

class Vst3HostTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host_.factory, nullptr);
        instance_ = host_.Open();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override {
        if (instance_ != nullptr) Vst3TestHost::Close(instance_);
    }
    // The framework parameters first, then 130 MIDI controllers and bypass.
    int32_t FrameworkParameters() {
        return v3_cpp_obj(instance_->controller)->get_parameter_count(instance_->controller) - 131;
    }
    Vst3TestHost host_;
    Vst3TestHost::Instance* instance_ = nullptr;
};

}  // namespace

TEST_F(Vst3HostTest, FactoryAndClass) {
    v3_factory_info info{};
    ASSERT_EQ(v3_cpp_obj(host_.factory)->get_factory_info(host_.factory, &info), V3_OK);
    EXPECT_STREQ(info.vendor, "Quorlith");
    EXPECT_EQ(info.flags, 0x10);
    ASSERT_EQ(v3_cpp_obj(host_.factory)->num_classes(host_.factory), 1);
    v3_plugin_factory_2** second = nullptr;
    ASSERT_EQ(v3_cpp_obj_query_interface(host_.factory, v3_plugin_factory_2_iid, &second), V3_OK);
    v3_class_info_2 klass{};
    ASSERT_EQ(v3_cpp_obj(second)->get_class_info_2(second, 0, &klass), V3_OK);
    EXPECT_EQ(std::memcmp(klass.class_id, "rouQhtilSonvSonv", 16), 0);
    EXPECT_EQ(klass.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(klass.category, "Audio Module Class");
    EXPECT_STREQ(klass.name, "Sonvera");
    EXPECT_STREQ(klass.sub_categories, "Fx|Filter");
    EXPECT_STREQ(klass.version, "7.10");
    EXPECT_STREQ(klass.sdk_version, "VST 3.5.2");
    void* nothing = reinterpret_cast<void*>(1);
    const v3_tuid other = {};
    EXPECT_NE(v3_cpp_obj(host_.factory)->create_instance(host_.factory, other, v3_component_iid, &nothing), V3_OK);
    EXPECT_EQ(nothing, nullptr);
}

TEST_F(Vst3HostTest, BusesParametersAndMIDIMapping) {
    v3_component** c = instance_->component;
    EXPECT_EQ(v3_cpp_obj(c)->get_bus_count(c, V3_AUDIO, V3_INPUT), 2);
    EXPECT_EQ(v3_cpp_obj(c)->get_bus_count(c, V3_AUDIO, V3_OUTPUT), 1);
    EXPECT_EQ(v3_cpp_obj(c)->get_bus_count(c, V3_EVENT, V3_INPUT), 1);
    v3_bus_info bus{};
    ASSERT_EQ(v3_cpp_obj(c)->get_bus_info(c, V3_AUDIO, V3_INPUT, 1, &bus), V3_OK);
    EXPECT_EQ(Text(bus.bus_name), "Sidechain");
    EXPECT_EQ(bus.bus_type, V3_AUX);
    EXPECT_EQ(bus.flags & V3_DEFAULT_ACTIVE, 0u) << "created, but not active by default";
    ASSERT_EQ(v3_cpp_obj(c)->get_bus_info(c, V3_AUDIO, V3_INPUT, 0, &bus), V3_OK);
    EXPECT_EQ(Text(bus.bus_name), "Stereo In");
    EXPECT_EQ(bus.channel_count, 2);
    ASSERT_EQ(v3_cpp_obj(c)->get_bus_info(c, V3_EVENT, V3_INPUT, 0, &bus), V3_OK);
    EXPECT_EQ(Text(bus.bus_name), "Midi In");
    EXPECT_EQ(bus.channel_count, 16);

    v3_edit_controller** e = instance_->controller;
    const int32_t n = FrameworkParameters();
    struct Case {
        int32_t index;
        v3_param_id id;
        const char* title;
        int32_t stepCount, flags;
    } cases[] = {
        {0, 0, "Volume", 0, V3_PARAM_CAN_AUTOMATE},
        {8, 8, "Swap carrier and modulator", 1, V3_PARAM_CAN_AUTOMATE},
        {n, 10000, "Controller 1", 0, 0},
        {n + 129, 10129, "Controller 130", 0, 0},
        {n + 130, 32767, "Bypass", 1, V3_PARAM_CAN_AUTOMATE | V3_PARAM_IS_BYPASS},
    };
    for (const Case& k : cases) {
        v3_param_info info{};
        ASSERT_EQ(v3_cpp_obj(e)->get_parameter_info(e, k.index, &info), V3_OK) << k.title;
        EXPECT_EQ(info.param_id, k.id) << k.title;
        EXPECT_EQ(Text(info.title), k.title);
        EXPECT_EQ(info.step_count, k.stepCount) << k.title;
        EXPECT_EQ(info.flags, k.flags) << k.title;
        EXPECT_EQ(info.unit_id, 0) << "the root unit";
    }
    v3_str_128 shown = {};
    ASSERT_EQ(v3_cpp_obj(e)->get_parameter_string_for_value(e, 6, 4.0 / 7.0, shown), V3_OK);
    EXPECT_EQ(Text(shown), "Ring modulation") << "the texts a VST 2.4 host shows";
    v3_str_128 typed = {};
    Vst3::CopyUtf16("-6", typed, 128);
    double value = 0.0;
    ASSERT_EQ(v3_cpp_obj(e)->get_parameter_value_for_string(e, 0, typed, &value), V3_OK);
    ASSERT_EQ(v3_cpp_obj(e)->get_parameter_string_for_value(e, 0, value, shown), V3_OK);
    EXPECT_EQ(Text(shown), "-6.00 dB");
    v3_plugin_view** view = v3_cpp_obj(e)->create_view(e, "editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(v3_cpp_obj_unref(view), 0u);
    EXPECT_EQ(v3_cpp_obj(e)->create_view(e, "something"), nullptr);

    v3_midi_mapping** mapping = nullptr;
    ASSERT_EQ(v3_cpp_obj_query_interface(c, v3_midi_mapping_iid, &mapping), V3_OK);
    for (int16_t channel : {0, 5, 15}) {
        v3_param_id id = 0;
        ASSERT_EQ(v3_cpp_obj(mapping)->get_midi_controller_assignment(mapping, 0, channel, 7, &id), V3_OK);
        EXPECT_EQ(id, 10007u);
    }
    v3_cpp_obj_unref(mapping);
}

// The same audio through the VST3 and the VST 2.4 entries, sample for sample.
TEST_F(Vst3HostTest, ProcessesAsTheVst2EntryDoes) {
    constexpr int frames = 256;
    TestAudio vst3(frames, 13), vst2(frames, 13);
    VstTestHost host2;
    VstTestHost::Instance* other = host2.Open();
    v3_edit_controller** e = instance_->controller;
    for (int block = 0; block < 8; ++block) {
        float* side[2] = {vst3.inputs[2], vst3.inputs[3]};
        ASSERT_EQ(instance_->Process(vst3.inputs, 2, side, vst3.outputs, frames), V3_OK);
        other->effect->processReplacing(other->effect, vst2.inputs, vst2.outputs, frames);
        ASSERT_EQ(vst3.out[0], vst2.out[0]) << "block " << block;
        ASSERT_EQ(vst3.out[1], vst2.out[1]) << "block " << block;
    }
    // A queue with three points applies only its last value.
    ParameterChanges changes;
    changes.Add(6, {{0, 0.0}, {10, 1.0}, {200, 4.0 / 7.0}});
    float* side[2] = {vst3.inputs[2], vst3.inputs[3]};
    ASSERT_EQ(instance_->Process(vst3.inputs, 2, side, vst3.outputs, frames, changes.Pointer()), V3_OK);
    EXPECT_NEAR(v3_cpp_obj(e)->get_parameter_normalised(e, 6), 4.0 / 7.0, 1e-12);
    VstTestHost::Close(other);
}

TEST_F(Vst3HostTest, BypassAtHalfStaysActive) {
    constexpr int frames = 128;
    TestAudio audio(frames, 3);
    float* side[2] = {audio.inputs[2], audio.inputs[3]};
    for (const auto& [value, bypassed] : {std::pair{0.5, false}, std::pair{0.51, true}}) {
        ParameterChanges changes;
        changes.Add(32767, {{0, value}});
        ASSERT_EQ(instance_->Process(audio.inputs, 2, side, audio.outputs, frames, changes.Pointer()), V3_OK);
        EXPECT_EQ(v3_cpp_obj(instance_->controller)->get_parameter_normalised(instance_->controller, 32767),
                  bypassed ? 1.0 : 0.0);
        EXPECT_EQ(audio.out[0] == audio.in[0], bypassed) << value;
    }
}

// What one instance saves, another restores, every parameter; a VST 2.4
// chunk loads as well; broken streams change nothing.
TEST_F(Vst3HostTest, StateTravelsBetweenInstancesAndFormats) {
    v3_edit_controller** e = instance_->controller;
    const int32_t n = FrameworkParameters();
    for (int32_t i = 0; i < n; ++i)
        v3_cpp_obj(e)->set_parameter_normalised(e, static_cast<v3_param_id>(i), (i * 37 % 97) / 97.0 + 0.003);
    MemoryStream saved;
    ASSERT_EQ(v3_cpp_obj(instance_->component)->get_state(instance_->component, saved.Pointer()), V3_OK);
    ASSERT_FALSE(saved.bytes.empty());

    Vst3TestHost::Instance* second = host_.Open();
    saved.position = 0;
    ASSERT_EQ(v3_cpp_obj(second->component)->set_state(second->component, saved.Pointer()), V3_OK);
    for (int32_t i = 0; i < n; ++i)
        ASSERT_FLOAT_EQ(
            static_cast<float>(v3_cpp_obj(second->controller)->get_parameter_normalised(second->controller, i)),
            static_cast<float>(v3_cpp_obj(e)->get_parameter_normalised(e, i)))
            << i;

    VstTestHost host2;
    VstTestHost::Instance* vst2 = host2.Open();
    MemoryStream chunk;
    chunk.bytes = vst2->GetChunk();
    MemoryStream again;
    v3_cpp_obj(second->component)->get_state(second->component, again.Pointer());
    for (std::vector<uint8_t> broken : {std::vector<uint8_t>{}, std::vector<uint8_t>{'x', 'y'},
                                        std::vector<uint8_t>(again.bytes.begin(), again.bytes.begin() + 40)}) {
        MemoryStream stream;
        stream.bytes = broken;
        EXPECT_EQ(v3_cpp_obj(second->component)->set_state(second->component, stream.Pointer()), V3_FALSE);
    }
    MemoryStream unchanged;
    v3_cpp_obj(second->component)->get_state(second->component, unchanged.Pointer());
    EXPECT_EQ(unchanged.bytes, again.bytes) << "broken streams leave the state as it was";
    ASSERT_EQ(v3_cpp_obj(second->component)->set_state(second->component, chunk.Pointer()), V3_OK);
    EXPECT_FLOAT_EQ(static_cast<float>(v3_cpp_obj(second->controller)->get_parameter_normalised(second->controller, 0)),
                    vst2->GetParameter(0));
    VstTestHost::Close(vst2);
    Vst3TestHost::Close(second);
}

// Two instances on two threads give what each gives alone.
TEST_F(Vst3HostTest, TwoInstancesOnTwoThreads) {
    auto render = [](Vst3TestHost::Instance* instance) {
        TestAudio audio(256, 17);
        float* side[2] = {audio.inputs[2], audio.inputs[3]};
        std::vector<float> all;
        for (int block = 0; block < 30; ++block) {
            instance->Process(audio.inputs, 2, side, audio.outputs, 256);
            all.insert(all.end(), audio.out[0].begin(), audio.out[0].end());
        }
        return all;
    };
    const std::vector<float> alone = render(instance_);
    Vst3TestHost::Instance* a = host_.Open();
    Vst3TestHost::Instance* b = host_.Open();
    std::vector<float> fromA, fromB;
    std::thread ta([&] { fromA = render(a); });
    std::thread tb([&] { fromB = render(b); });
    ta.join();
    tb.join();
    EXPECT_EQ(fromA, alone);
    EXPECT_EQ(fromB, alone);
    Vst3TestHost::Close(b);  // released in another order than opened
    Vst3TestHost::Close(a);
}
