#include "entry/interface/MPluginHost.h"

#include "entry/interface/MPlugin.h"

namespace corvane {

MPluginHost::~MPluginHost() = default;

int64_t MPluginHost::Send(int64_t command, MPluginArguments& arguments) {
    if (interfaceFunction == nullptr) return -1;
    return interfaceFunction(effect, command, &arguments);
}

int64_t MPluginHost::Send(int64_t command) {
    MPluginArguments arguments;
    return Send(command, arguments);
}

int64_t MPluginHost::HostDispatch(int64_t command, MPluginArguments* arguments) {
    if (command == HostCommand::Query) return -1;
    if (command < 0 || command > 7) return -1;
    if (Handler handler = handlers_[static_cast<size_t>(command - 1)]) {
        // Handler 3 is told the parameter index in place of the command.
        const int64_t second =
            command == HostCommand::ParameterChangedByEffect && arguments != nullptr ? arguments->Int32(0) : command;
        handler(*this, second, arguments);
    }
    return 0;
}

bool MPluginHost::RegisterListener(int32_t identifier, void* listener) {
    for (Listener& entry : listeners_)
        if (entry.identifier == -1) {
            entry.identifier = identifier;
            entry.listener = listener;
            return true;
        }
    return false;
}

void* MPluginHost::FindListener(int32_t identifier) const {
    for (const Listener& entry : listeners_)
        if (entry.identifier == identifier) return entry.listener;
    return nullptr;
}

void MPluginHost::SetHandler(int64_t command, Handler handler) {
    if (command >= 1 && command <= 7) handlers_[static_cast<size_t>(command - 1)] = handler;
}

int64_t MAudioEffectPluginHost::HostDispatch(int64_t command, MPluginArguments* arguments) {
    return MPluginHost::HostDispatch(command, arguments);
}

int32_t MAudioEffectPluginHost::QueryMaxBufferSize() {
    return static_cast<int32_t>(Send(PluginCommand::QueryMaxBufferSize));
}

void MAudioEffectPluginHost::SendProcessUpdate() { Send(PluginCommand::ProcessUpdate); }

int64_t FrameworkHostCallback(void* hostObject, int64_t command, MPluginArguments* arguments) {
    if (hostObject == nullptr) return -1;
    return static_cast<MPluginHost*>(hostObject)->HostDispatch(command, arguments);
}

int32_t MPluginSystem::LoadEffect(const std::string& name, MPluginInterfaceFunction interfaceFunction, void* owner,
                                  std::unique_ptr<MAudioEffectPluginHost>& result) {
    if (interfaceFunction == nullptr) return NoInterfaceFunction;
    auto host = std::make_unique<MAudioEffectPluginHost>();
    host->interfaceFunction = interfaceFunction;
    {
        MPluginArguments arguments;
        arguments.SetPointer(0, host.get());
        arguments.SetPointer(1, reinterpret_cast<const void*>(&FrameworkHostCallback));
        arguments.Set(2, 0);
        arguments.Set(3, 0);
        host->effect = reinterpret_cast<void*>(
            static_cast<intptr_t>(interfaceFunction(nullptr, PluginCommand::Attach, &arguments)));
    }
    if (host->effect == nullptr) return NotCreated;
    host->parameterTable =
        reinterpret_cast<ParameterTable*>(static_cast<intptr_t>(host->Send(PluginCommand::GetParameterTable)));
    if (host->parameterTable == nullptr) {
        // Without a table the effect is of no use; destroy it rather than leak it.
        host->Send(PluginCommand::Destroy);
        return NoParameterTable;
    }
    host->Send(PluginCommand::Start);
    host->owner = owner;
    host->name = name;
    result = std::move(host);
    return Loaded;
}

}  // namespace corvane
