#pragma once
// The framework side of one loaded effect: its interface function, the
// effect object, its parameter table, listeners and the handlers of the
// effect-to-host commands.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "entry/interface/MPluginArguments.h"
#include "framework/core/MEventTarget.h"
#include "framework/parameters/ParameterTable.h"

namespace corvane {

class MPluginHost : public MEventTarget {
public:
    // Handlers of effect-to-host commands 1 to 7: (host object, command, record).
    using Handler = void (*)(MPluginHost& host, int64_t command, MPluginArguments* arguments);

    struct Listener {
        int32_t identifier = -1;  // -1: free
        int32_t state = 0;
        void* listener = nullptr;
    };

    static constexpr int ListenerCount = 8;

    ~MPluginHost() override;

    // Host-to-effect; -1 without a call when no interface function is set.
    int64_t Send(int64_t command, MPluginArguments& arguments);
    int64_t Send(int64_t command);

    // Effect-to-host, reached through FrameworkHostCallback.
    virtual int64_t HostDispatch(int64_t command, MPluginArguments* arguments);

    bool RegisterListener(int32_t identifier, void* listener);
    // The first entry with this identifier, scanning from entry 0; null when none.
    void* FindListener(int32_t identifier) const;
    void SetHandler(int64_t command, Handler handler);

    MPluginInterfaceFunction interfaceFunction = nullptr;
    void* effect = nullptr;
    ParameterTable* parameterTable = nullptr;
    std::string name;
    void* owner = nullptr;

private:
    std::array<Listener, ListenerCount> listeners_{};
    std::array<Handler, 7> handlers_{};
};

class MAudioEffectPluginHost : public MPluginHost {
public:
    int64_t HostDispatch(int64_t command, MPluginArguments* arguments) override;
    int32_t QueryMaxBufferSize();
    void SendProcessUpdate();
};

// The callback the framework hands every effect it loads.
int64_t FrameworkHostCallback(void* hostObject, int64_t command, MPluginArguments* arguments);

// Short-lived loader of effects from their interface functions.
class MPluginSystem {
public:
    enum LoadResult : int32_t { Loaded = 0, NoInterfaceFunction = 4, NotCreated = 5, NoParameterTable = 6 };

    virtual ~MPluginSystem() = default;

    int32_t LoadEffect(const std::string& name, MPluginInterfaceFunction interfaceFunction, void* owner,
                       std::unique_ptr<MAudioEffectPluginHost>& host);
};

}  // namespace corvane
