// Drives the plug-in library as a separately built module would: through
// the exported effect interface alone.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "entry/interface/MPluginArguments.h"
#include "framework/parameters/ParameterTable.h"
#include "tests/support/SharedLibrary.h"

using corvane::MPluginArguments;
using corvane::MPluginInterfaceFunction;

namespace {

int hostCalls = 0;

int64_t HostCallback(void*, int64_t, MPluginArguments*) {
    ++hostCalls;
    return -1;
}

class LibraryTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Loaded()) << SONVERA_LIBRARY_PATH;
        interface_ = library_.Symbol<MPluginInterfaceFunction>("SonveraAudioEffectPluginInterface");
        ASSERT_NE(interface_, nullptr);
    }

    sonvera_test::SharedLibrary library_{SONVERA_LIBRARY_PATH};
    MPluginInterfaceFunction interface_ = nullptr;
};

}  // namespace

TEST_F(LibraryTest, CreateReadChangeProcessDestroy) {
    int context = 0;
    MPluginArguments attach;
    attach.SetPointer(0, &context);
    attach.SetPointer(1, reinterpret_cast<const void*>(&HostCallback));
    void* effect = reinterpret_cast<void*>(interface_(nullptr, 0, &attach));
    ASSERT_NE(effect, nullptr);

    MPluginArguments empty;
    auto* table = reinterpret_cast<corvane::ParameterTable*>(interface_(effect, 2, &empty));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->parameterCount, 29);
    EXPECT_EQ(table->parameters[6].identifier, "Mode");
    EXPECT_EQ(table->parameters[24].integerValues.value, 32);

    // A parameter change: the record is written, then announced with command 4.
    table->parameters[24].integerValues.value = 16;
    MPluginArguments changed;
    changed.Set(0, 24);
    EXPECT_EQ(interface_(effect, 4, &changed), 0);
    EXPECT_EQ(table->parameters[24].integerValues.value, 16);

    double rate = 48000.0;
    MPluginArguments init;
    init.Set(0, 2);
    init.SetPointer(1, &rate);
    EXPECT_EQ(interface_(effect, 100, &init), 0);
    float left[64], right[64], in[64] = {};
    for (float& sample : left) sample = 123.0f;
    for (float& sample : right) sample = -5.0f;
    float* inputs[16] = {in, in, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, in, in};
    float* outputs[8] = {left, right};
    MPluginArguments process;
    process.SetPointer(1, inputs);
    process.SetPointer(2, outputs);
    process.Set(3, 64);
    EXPECT_EQ(interface_(effect, 101, &process), 0);
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(std::isfinite(left[i]));
        EXPECT_LT(std::abs(right[i]), 2.0f);
    }

    EXPECT_EQ(interface_(effect, 50, &empty), -1);
    EXPECT_EQ(interface_(effect, 1, &empty), 0);
}
