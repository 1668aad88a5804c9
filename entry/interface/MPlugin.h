#pragma once
// The effect side of the command interface. An effect derives from
// MAudioEffectPlugin; the framework reaches it through Dispatch.

#include <cstdint>

#include "entry/interface/MPluginArguments.h"
#include "framework/core/MEventTarget.h"
#include "framework/parameters/ParameterTable.h"
#include "framework/storage/MXMLItem.h"
#include "platform/MMutex.h"

namespace corvane {

// Host-to-effect command codes. Effects are built separately and answer
// these numbers, so none of them can change. The "Reserved" ones are
// answered by effects of the maker that need them; ours keeps the defaults.
namespace PluginCommand {
constexpr int64_t Attach = 0, Destroy = 1, GetParameterTable = 2, Start = 3, ParameterChanged = 4, BuildEditor = 5,
                  Reset = 6, GetObject = 7, Store = 11, Load = 12, Reserved13 = 13, Reserved14 = 14, Randomize = 15,
                  Reserved20 = 20, InitProcessing = 100, Process = 101, Reserved102 = 102, Reserved103 = 103,
                  Reserved104 = 104,
                  QueryMaxBufferSize = 105,  // the effect's largest sub-block, 0 for none
    ProcessUpdate = 106, InitProcessingGUI = 107;
}  // namespace PluginCommand

// Effect-to-host command codes, fixed the same way. No handler is installed
// for the optional 1.
namespace HostCommand {
constexpr int64_t Query = 0, OptionalHandler1 = 1, GroupLoaded = 2, ParameterChangedByEffect = 3,
                  DestroyTemporaryAdapters = 4, Rebuild = 5, RefreshBoundObjects = 6, UpdateMaxBufferSize = 7;
}  // namespace HostCommand

class MPlugin : public MEventTarget, public MParameterEffect {
public:
    MPlugin();
    ~MPlugin() override;

    // [any thread] One command of the protocol; unknown commands answer -1.
    virtual int64_t Dispatch(int64_t command, MPluginArguments& arguments);
    virtual MPlugin* Attach(void* hostContext, MPluginInterfaceFunction hostCallback);
    virtual void Start() {}
    virtual void CommitParameterValues();
    void ParameterChanged(int32_t /*index*/) override {}
    virtual void Update() {}
    virtual void BuildEditor(void* /*editorContainer*/) {}
    virtual void Reset(uint64_t /*argument*/) {}
    virtual bool Store(MXMLItem& element);
    virtual bool Load(MXMLItem& element);
    virtual void StoreLoadExtra(MPluginArguments& /*arguments*/) {}
    virtual void StoreGroup(int32_t firstIndex, MXMLItem& element);
    virtual void LoadGroup(int32_t firstIndex, MXMLItem& element);
    virtual void AfterLoad() {}
    virtual void OnCommand13() {}
    virtual int32_t OnCommand14(uint64_t /*value*/) { return -1; }
    virtual int32_t Randomize(double amount);
    virtual void RandomizeGraphs();
    virtual void RefreshGraphs() {}
    virtual int64_t OnCommand20(uint64_t /*first*/, uint64_t /*second*/) { return -1; }

    // Effect-to-host: -1 when no host is attached.
    int64_t SendToHost(int64_t command, MPluginArguments& arguments);

    const ParameterTable& Table() const { return table_; }
    MMutex& Lock() { return lock_; }
    void* HostContext() const { return hostContext_; }

protected:
    ParameterTable table_;

private:
    // The descriptors from firstIndex up to the next group header, or all.
    void StoreRange(int32_t first, int32_t end, MXMLItem& element) const;
    void LoadRange(int32_t first, int32_t end, const MXMLItem& element);
    int32_t GroupEnd(int32_t firstIndex) const;
    void RunStoreLoadExtra(MXMLItem& element, bool storing);

    void* hostContext_ = nullptr;
    MPluginInterfaceFunction hostCallback_ = nullptr;
    MMutex lock_;
};

}  // namespace corvane
