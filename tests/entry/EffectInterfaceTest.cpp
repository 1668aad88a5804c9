#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"
#include "entry/MModule.h"
#include "entry/interface/MPluginHost.h"

using namespace corvane;
using sonvera::SonveraAudioEffectPlugin;

namespace {

int64_t Call(void* object, int64_t command, MPluginArguments& arguments) {
    return SonveraAudioEffectPluginInterface(object, command, &arguments);
}

int64_t Call(void* object, int64_t command) {
    MPluginArguments arguments;
    return Call(object, command, arguments);
}

void* Create() { return reinterpret_cast<void*>(Call(nullptr, PluginCommand::GetObject)); }

// An effect with one parameter of each update flag, counting what it is asked.
class CountingEffect : public MAudioEffectPlugin {
public:
    CountingEffect() {
        descriptors_[0].kind = ParameterKindFloat;
        descriptors_[0].SetBit(0, ParameterBits::FullUpdate, false);
        descriptors_[1].kind = ParameterKindFloat;
        table_.parameters = descriptors_;
        table_.parameterCount = 2;
    }
    void Update() override { ++updates; }
    void ParameterChanged(int32_t index) override { changed.push_back(index); }
    void CommitParameterValues() override {
        ++commits;
        MPlugin::CommitParameterValues();
    }
    int32_t InitProcessing(int32_t channels, double rate) override {
        initChannels = channels;
        initRate = rate;
        updatesAtInit = updates;
        return 3;
    }
    void Process(void*, float**, float**, int32_t) override {}

    int updates = 0, commits = 0, updatesAtInit = -1;
    int32_t initChannels = 0;
    double initRate = 0.0;
    std::vector<int32_t> changed;

private:
    ParameterDescriptor descriptors_[2];
};

struct DestructionFlag : MObject {
    explicit DestructionFlag(bool& flag) : flag(flag) {}
    ~DestructionFlag() override { flag = true; }
    bool& flag;
};

}  // namespace

TEST(EffectInterface, UnknownCommandsAnswerMinusOne) {
    void* effect = Create();
    for (int64_t command : {8, 9, 10, 16, 17, 18, 19, 21, 50, 99, 108, 1000, -1})
        EXPECT_EQ(Call(effect, command), -1) << command;
    EXPECT_EQ(Call(effect, PluginCommand::Reserved102), 1);
    EXPECT_EQ(Call(effect, PluginCommand::Reserved103), 0);
    EXPECT_EQ(Call(effect, PluginCommand::QueryMaxBufferSize), 0);
    EXPECT_EQ(Call(effect, PluginCommand::Reserved14), -1);
    EXPECT_EQ(Call(effect, PluginCommand::Reserved20), -1);
    EXPECT_EQ(Call(effect, PluginCommand::Destroy), 0);
}

TEST(EffectInterface, CreateAloneOrCreateAndAttach) {
    auto* alone = static_cast<MPlugin*>(Create());
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->HostContext(), nullptr);
    EXPECT_EQ(Call(alone, PluginCommand::GetObject), PointerResult(alone));
    Call(alone, PluginCommand::Destroy);

    int context = 0;
    MPluginArguments attach;
    attach.SetPointer(0, &context);
    attach.SetPointer(1, reinterpret_cast<const void*>(+[](void* peer, int64_t command, MPluginArguments*) -> int64_t {
                          return command == 3 && peer != nullptr ? 42 : 0;
                      }));
    auto* attached = reinterpret_cast<MPlugin*>(Call(nullptr, PluginCommand::Attach, attach));
    ASSERT_NE(attached, nullptr);
    EXPECT_EQ(attached->HostContext(), &context);
    MPluginArguments empty;
    EXPECT_EQ(attached->SendToHost(3, empty), 42);
    EXPECT_EQ(Call(attached, PluginCommand::GetParameterTable), PointerResult(&attached->Table()));
    Call(attached, PluginCommand::Destroy);
}

TEST(EffectInterface, ParameterChangedRunsUpdateOnlyWhenNeeded) {
    struct Case {
        int32_t index;
        int updates;
    } cases[] = {{-1, 1}, {2, 1}, {1000, 1}, {1, 1}, {0, 0}};
    for (const Case& c : cases) {
        auto* effect = new CountingEffect();
        MPluginArguments arguments;
        arguments.Set(0, static_cast<uint32_t>(c.index));
        EXPECT_EQ(effect->Dispatch(PluginCommand::ParameterChanged, arguments), 0);
        EXPECT_EQ(effect->updates, c.updates) << c.index;
        EXPECT_EQ(effect->changed, std::vector<int32_t>{c.index});
        MPluginArguments none;
        effect->Dispatch(PluginCommand::Destroy, none);
    }
}

TEST(EffectInterface, InitProcessingThenUpdateAndCommit) {
    auto* effect = new CountingEffect();
    double rate = 48000.0;
    MPluginArguments arguments;
    arguments.Set(0, 2);
    arguments.SetPointer(1, &rate);
    EXPECT_EQ(effect->Dispatch(PluginCommand::InitProcessing, arguments), 3);
    EXPECT_EQ(effect->initChannels, 2);
    EXPECT_EQ(effect->initRate, 48000.0);
    EXPECT_EQ(effect->updatesAtInit, 0) << "Update runs after InitProcessing";
    EXPECT_EQ(effect->updates, 1);
    EXPECT_EQ(effect->commits, 1);
    MPluginArguments missing;
    EXPECT_EQ(SonveraAudioEffectPluginInterface(effect, PluginCommand::InitProcessing, &missing), 0)
        << "a missing sample rate gives the neutral result";
    MPluginArguments none;
    effect->Dispatch(PluginCommand::Destroy, none);
}

TEST(EffectInterface, ClearingDestroysOnlyOwnedEntries) {
    bool owned = false, borrowed = false;
    DestructionFlag kept(borrowed);
    {
        MPluginArguments arguments;
        arguments.SetPointer(0, &kept, ArgumentValue);
        arguments.SetPointer(3, new DestructionFlag(owned), ArgumentOwnedObject);
        arguments.Clear();
        EXPECT_TRUE(owned);
        EXPECT_FALSE(borrowed);
        for (const MPluginArgumentEntry& entry : arguments.entries) {
            EXPECT_EQ(entry.kind, ArgumentEmpty);
            EXPECT_EQ(entry.value, 0u);
        }
    }
    EXPECT_FALSE(borrowed);
}

TEST(EffectInterface, StoreAndLoadThroughCommands) {
    auto* first = static_cast<SonveraAudioEffectPlugin*>(Create());
    first->Parameter(sonvera::ParamMode).enumValues.valueIndex = sonvera::ModeRingModulation;
    first->Parameter(sonvera::ParamBandCount).integerValues.value = 64;
    first->Parameter(sonvera::ParamVolume).floatValues.value = 0.5;
    first->Parameter(sonvera::ParamSwap).boolValue = 1;
    MXMLItem settings("settings");
    MPluginArguments store;
    store.SetPointer(0, &settings);
    EXPECT_EQ(Call(first, PluginCommand::Store, store), 0);
    EXPECT_EQ(settings.GetAttribute("parameterModeEnum"), "Ring modulation");
    EXPECT_FALSE(settings.HasAttribute("parameterMode")) << "enumerations are stored by name only";
    EXPECT_EQ(settings.GetAttribute("parameterBandCount"), "64");
    EXPECT_EQ(settings.GetAttribute("parameterVolume"), "0.5");
    EXPECT_EQ(settings.GetAttribute("parameterSwap"), "1");

    auto* second = static_cast<SonveraAudioEffectPlugin*>(Create());
    MPluginArguments load;
    load.SetPointer(0, &settings);
    EXPECT_EQ(Call(second, PluginCommand::Load, load), 0);
    EXPECT_EQ(second->Parameter(sonvera::ParamMode).enumValues.valueIndex, sonvera::ModeRingModulation);
    EXPECT_EQ(second->Parameter(sonvera::ParamBandCount).integerValues.value, 64);
    EXPECT_DOUBLE_EQ(second->Parameter(sonvera::ParamVolume).floatValues.value, 0.5);
    EXPECT_DOUBLE_EQ(second->Parameter(sonvera::ParamVolume).committedValue, 0.5);

    // Broken and older states: values are clamped, unknown names fall back to the index.
    MXMLItem broken("settings");
    broken.SetAttribute("parameterModeEnum", "No such mode");
    broken.SetAttribute("parameterMode", "99");
    broken.SetAttribute("parameterBandCount", "100000");
    broken.SetAttribute("parameterVolume", "-4");
    MPluginArguments loadBroken;
    loadBroken.SetPointer(0, &broken);
    Call(second, PluginCommand::Load, loadBroken);
    EXPECT_EQ(second->Parameter(sonvera::ParamMode).enumValues.valueIndex, 7);
    EXPECT_EQ(second->Parameter(sonvera::ParamBandCount).integerValues.value, 100);
    EXPECT_DOUBLE_EQ(second->Parameter(sonvera::ParamVolume).floatValues.value, 0.0);
    EXPECT_EQ(second->Parameter(sonvera::ParamSwap).boolValue, 0) << "missing attributes restore defaults";

    MPluginArguments nothing;
    EXPECT_EQ(Call(second, PluginCommand::Load, nothing), 0) << "no element: neutral result";
    Call(first, PluginCommand::Destroy);
    Call(second, PluginCommand::Destroy);
}

TEST(EffectInterface, RandomizeLeavesProtectedParametersAlone) {
    auto* effect = static_cast<SonveraAudioEffectPlugin*>(Create());
    double amount = 1.0;
    MPluginArguments arguments;
    arguments.SetPointer(0, &amount);
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(Call(effect, PluginCommand::Randomize, arguments), 0);
        EXPECT_DOUBLE_EQ(effect->Parameter(sonvera::ParamVolume).floatValues.value, 1.0);
        EXPECT_EQ(effect->Parameter(sonvera::ParamSwap).boolValue, 0);
        const int32_t bands = effect->Parameter(sonvera::ParamBandCount).integerValues.value;
        EXPECT_GE(bands, 4);
        EXPECT_LE(bands, 100);
    }
    Call(effect, PluginCommand::Destroy);
}

namespace {

int64_t NoEffect(void*, int64_t, MPluginArguments*) { return 0; }

std::vector<int64_t>& TablelessCommands() {
    static std::vector<int64_t> commands;
    return commands;
}

int64_t TablelessEffect(void*, int64_t command, MPluginArguments*) {
    TablelessCommands().push_back(command);
    return command == PluginCommand::Attach ? 1 : 0;
}

}  // namespace

TEST(PluginSystem, LoaderResults) {
    MPluginSystem system;
    std::unique_ptr<MAudioEffectPluginHost> host;
    EXPECT_EQ(system.LoadEffect("Sonvera", nullptr, nullptr, host), MPluginSystem::NoInterfaceFunction);
    EXPECT_EQ(system.LoadEffect("Sonvera", NoEffect, nullptr, host), MPluginSystem::NotCreated);
    EXPECT_EQ(system.LoadEffect("Sonvera", TablelessEffect, nullptr, host), MPluginSystem::NoParameterTable);
    EXPECT_EQ(TablelessCommands(),
              (std::vector<int64_t>{PluginCommand::Attach, PluginCommand::GetParameterTable, PluginCommand::Destroy}))
        << "an effect without a table is destroyed, not leaked";
    EXPECT_EQ(host, nullptr);

    int owner = 0;
    ASSERT_EQ(system.LoadEffect("Sonvera", SonveraAudioEffectPluginInterface, &owner, host), MPluginSystem::Loaded);
    EXPECT_EQ(host->name, "Sonvera");
    EXPECT_EQ(host->owner, &owner);
    ASSERT_NE(host->parameterTable, nullptr);
    EXPECT_EQ(host->parameterTable->parameterCount, sonvera::VocoderParameterCount);
    auto* effect = static_cast<MPlugin*>(host->effect);
    EXPECT_EQ(effect->HostContext(), host.get()) << "the effect knows its host";
    MPluginArguments query;
    EXPECT_EQ(effect->SendToHost(HostCommand::Query, query), -1);
    EXPECT_EQ(effect->SendToHost(8, query), -1);
    EXPECT_EQ(host->QueryMaxBufferSize(), 0);
    host->Send(PluginCommand::Destroy);
}

TEST(PluginSystem, HostHandlersAndListeners) {
    MAudioEffectPluginHost host;
    static int64_t lastSecond = 0;
    static void* lastListener = nullptr;
    int listener = 0;
    EXPECT_TRUE(host.RegisterListener(0, &listener));
    host.SetHandler(3, [](MPluginHost&, int64_t second, MPluginArguments*) { lastSecond = second; });
    host.SetHandler(7, [](MPluginHost& h, int64_t, MPluginArguments*) { lastListener = h.FindListener(0); });
    MPluginArguments arguments;
    arguments.Set(0, 17);
    EXPECT_EQ(FrameworkHostCallback(&host, HostCommand::ParameterChangedByEffect, &arguments), 0);
    EXPECT_EQ(lastSecond, 17) << "handler 3 is told the parameter index";
    EXPECT_EQ(FrameworkHostCallback(&host, HostCommand::UpdateMaxBufferSize, &arguments), 0);
    EXPECT_EQ(lastListener, &listener);
    EXPECT_EQ(FrameworkHostCallback(&host, HostCommand::Rebuild, &arguments), 0) << "no handler: a no-op";
    MPluginHost unloaded;
    EXPECT_EQ(unloaded.Send(PluginCommand::Start), -1) << "no interface function, no call";
}

TEST(Module, StartsOnceAcrossThreads) {
    std::atomic<MModule*> seen[2] = {{nullptr}, {nullptr}};
    std::thread a([&] { seen[0] = &MModule::StartUp(); });
    std::thread b([&] { seen[1] = &MModule::StartUp(); });
    a.join();
    b.join();
    EXPECT_EQ(seen[0].load(), seen[1].load());
    EXPECT_TRUE(seen[0].load()->IsInitialized());

    const uint64_t values[5] = {1, 2, 3, 4, 5};
    CorvaneInitializationRecord record{values, 6, "Other"};
    EXPECT_EQ(CorvaneDLLInitialize(&record), seen[0].load()) << "an existing module is returned unchanged";
    EXPECT_EQ(MModule::Configuration(), (std::array<uint64_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(CorvaneDLLInitialize(nullptr), nullptr);
}
