#include "entry/interface/MPlugin.h"

#include <cmath>

#include "entry/interface/ParameterStorage.h"
#include "framework/core/MException.h"
#include "framework/core/MLock.h"
#include "framework/core/MRandom.h"
#include "framework/parameters/ParameterMapping.h"

namespace corvane {

MPlugin::MPlugin() = default;
MPlugin::~MPlugin() = default;

namespace {

// Booleans travel sign-extended from 8 bits.
int64_t BoolResult(bool value) { return static_cast<int64_t>(static_cast<int8_t>(value)); }

template <class T>
T& Required(T* pointer) {
    if (pointer == nullptr) throw MException("Missing command argument.");
    return *pointer;
}

}  // namespace

int64_t MPlugin::Dispatch(int64_t command, MPluginArguments& arguments) {
    switch (command) {
        case PluginCommand::Attach:
            return PointerResult(
                Attach(arguments.Pointer<void>(0), reinterpret_cast<MPluginInterfaceFunction>(arguments.Value(1))));
        case PluginCommand::Destroy:
            // Let a block in progress finish before the object goes.
            if (lock_.Lock(MMutex::WaitForever) == 0) lock_.Unlock();
            delete this;
            return 0;
        case PluginCommand::GetParameterTable:
            return PointerResult(&table_);
        case PluginCommand::Start:
            Start();
            return 0;
        case PluginCommand::ParameterChanged: {
            const int32_t index = arguments.Int32(0);
            ParameterChanged(index);
            const bool outside = index < 0 || index >= table_.parameterCount;
            if (outside || table_.parameters[index].NeedsFullUpdate()) Update();
            return 0;
        }
        case PluginCommand::BuildEditor:
            BuildEditor(arguments.Pointer<void>(0));
            return 0;
        case PluginCommand::Reset:
            Reset(arguments.Value(0));
            return 0;
        case PluginCommand::GetObject:
            return PointerResult(this);
        case PluginCommand::Store:
            return BoolResult(Store(Required(arguments.Pointer<MXMLItem>(0))));
        case PluginCommand::Load:
            return BoolResult(Load(Required(arguments.Pointer<MXMLItem>(0))));
        case PluginCommand::Reserved13:
            OnCommand13();
            return 0;
        case PluginCommand::Reserved14:
            return OnCommand14(arguments.Value(0));
        case PluginCommand::Randomize:
            return Randomize(Required(arguments.Pointer<double>(0)));
        case PluginCommand::Reserved20:
            return OnCommand20(arguments.Value(0), arguments.Value(1));
        default:
            return -1;
    }
}

MPlugin* MPlugin::Attach(void* hostContext, MPluginInterfaceFunction hostCallback) {
    hostContext_ = hostContext;
    hostCallback_ = hostCallback;
    return this;
}

void MPlugin::CommitParameterValues() {
    for (int32_t i = 0; i < table_.parameterCount; ++i) {
        ParameterDescriptor& descriptor = table_.parameters[i];
        if (descriptor.kind == ParameterKindFloat)
            StoreRelaxed(descriptor.committedValue, LoadRelaxed(descriptor.floatValues.value));
    }
}

void MPlugin::StoreRange(int32_t first, int32_t end, MXMLItem& element) const {
    for (int32_t i = first; i < end; ++i) StoreParameter(table_.parameters[i], element);
}

void MPlugin::LoadRange(int32_t first, int32_t end, const MXMLItem& element) {
    for (int32_t i = first; i < end; ++i) LoadParameter(table_.parameters[i], element);
}

void MPlugin::RunStoreLoadExtra(MXMLItem& element, bool storing) {
    MPluginArguments arguments;
    arguments.SetPointer(0, &element, storing ? ArgumentValue : ArgumentEmpty);
    StoreLoadExtra(arguments);
}

bool MPlugin::Store(MXMLItem& element) {
    StoreRange(0, table_.parameterCount, element);
    // Saving runs beside processing: the effect copies what its lock guards
    // under it and builds the rest of its tree outside.
    RunStoreLoadExtra(element, true);
    return false;
}

bool MPlugin::Load(MXMLItem& element) {
    LoadRange(0, table_.parameterCount, element);
    {
        MLock hold(lock_);
        RunStoreLoadExtra(element, false);
    }
    AfterLoad();
    Update();
    CommitParameterValues();
    return false;
}

int32_t MPlugin::GroupEnd(int32_t firstIndex) const {
    int32_t end = firstIndex + 1;
    while (end < table_.parameterCount && table_.parameters[end].kind != ParameterKindGroup) ++end;
    return end;
}

void MPlugin::StoreGroup(int32_t firstIndex, MXMLItem& element) {
    if (firstIndex < 0 || firstIndex >= table_.parameterCount) return;
    StoreRange(firstIndex, GroupEnd(firstIndex), element);
}

void MPlugin::LoadGroup(int32_t firstIndex, MXMLItem& element) {
    if (firstIndex < 0 || firstIndex >= table_.parameterCount) return;
    LoadRange(firstIndex, GroupEnd(firstIndex), element);
    AfterLoad();
    Update();
    CommitParameterValues();
    MPluginArguments arguments;
    SendToHost(HostCommand::GroupLoaded, arguments);
}

int32_t MPlugin::Randomize(double amount) {
    for (int32_t i = 0; i < table_.parameterCount; ++i)
        ParameterMapping::Randomize(table_.parameters[i], amount, false);
    if (std::fabs(amount - 1.0) < 1e-50) RandomizeGraphs();
    Update();
    return 0;
}

void MPlugin::RandomizeGraphs() {
    for (int32_t i = 0; i < table_.graphItemCount; ++i) {
        const RandomizableGraphItem& item = table_.graphItems[i];
        if (item.mode >= 2) continue;
        const int32_t draw = MRandom::Next();
        // A divisor of 0 or less cannot divide: such an item is never picked.
        if (item.divisor > 0 && draw % item.divisor == 0 && item.randomize != nullptr) item.randomize(item.item);
    }
}

int64_t MPlugin::SendToHost(int64_t command, MPluginArguments& arguments) {
    if (hostCallback_ == nullptr) return -1;
    return hostCallback_(hostContext_, command, &arguments);
}

}  // namespace corvane
