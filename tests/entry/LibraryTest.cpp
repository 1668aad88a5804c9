// Drives build/Sonvera.so as a separately built module would: through
// dlopen and the exported effect interface alone.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <string>

#include "entry/interface/MPluginArguments.h"
#include "framework/parameters/ParameterTable.h"

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
        library_ = dlopen(SONVERA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        interface_ = reinterpret_cast<MPluginInterfaceFunction>(dlsym(library_, "SonveraAudioEffectPluginInterface"));
        ASSERT_NE(interface_, nullptr);
    }
    void TearDown() override {
        if (library_ != nullptr) dlclose(library_);
    }

    void* library_ = nullptr;
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

// Hosts rescan and reload plug-ins: loading and unloading the library again
// and again must not cost memory each time.
TEST(LibraryReload, RepeatedLoadsDoNotGrowTheHeap) {
    auto loadAndUnload = [] {
        void* library = dlopen(SONVERA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        dlclose(library);
    };
    for (int i = 0; i < 3; ++i) loadAndUnload();
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 50; ++i) loadAndUnload();
    const size_t after = mallinfo2().uordblks;
    EXPECT_LT(after > before ? after - before : 0, 256u * 1024u) << "bytes still in use after 50 reloads";
}
