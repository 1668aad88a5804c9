// The low-level half of the VST3 adapter: function tables, interface
// queries and reference counts. Every entry is guarded; nothing throws
// across the interface.

#include "hosts/vst3/Vst3Objects.h"

#include "hosts/vst3/Vst3View.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "hosts/vst3/MAudioPluginVST3Adapter.h"

namespace Vst3 {

const v3_tuid SonveraClassId = {'r', 'o', 'u', 'Q', 'h', 't', 'i', 'l', 'S', 'o', 'n', 'v', 'S', 'o', 'n', 'v'};

namespace {

using corvane::Guarded;

PluginCreator pluginCreator = nullptr;

struct Instance;

// One interface of an instance: the host's object pointer points here.
template <class Table>
struct Face {
    const Table* table;
    Instance* owner;
};

struct Instance {
    explicit Instance(std::unique_ptr<MAudioPluginVST3Adapter> a) : adapter(std::move(a)) {}
    Face<v3_component_cpp> component{};
    Face<v3_audio_processor_cpp> processor{};
    Face<v3_edit_controller_cpp> controller{};
    Face<v3_midi_mapping_cpp> midiMapping{};
    Face<v3_process_context_requirements_cpp> contextRequirements{};
    std::atomic<uint32_t> references{1};
    int initializations = 0;  // the component and the controller may both be initialised
    std::unique_ptr<MAudioPluginVST3Adapter> adapter;
};

template <class Table>
Instance& Owner(void* self) {
    return *static_cast<Face<Table>*>(self)->owner;
}

uint32_t Ref(Instance& instance) { return ++instance.references; }

uint32_t Unref(Instance& instance) {
    const uint32_t left = --instance.references;
    if (left == 0) {
        corvane::GuardedVoid("MAudioPluginVST3Adapter::terminate", [&] {
            if (instance.initializations > 0) instance.adapter->terminate();
        });
        delete &instance;
    }
    return left;
}

v3_result Query(Instance& instance, const v3_tuid iid, void** object) {
    if (object == nullptr) return V3_INVALID_ARG;
    void* found = nullptr;
    if (SameId(iid, v3_funknown_iid) || SameId(iid, v3_plugin_base_iid) || SameId(iid, v3_component_iid))
        found = &instance.component;
    else if (SameId(iid, v3_audio_processor_iid))
        found = &instance.processor;
    else if (SameId(iid, v3_edit_controller_iid))
        found = &instance.controller;
    else if (SameId(iid, v3_midi_mapping_iid))
        found = &instance.midiMapping;
    else if (SameId(iid, v3_process_context_requirements_iid))
        found = &instance.contextRequirements;
    *object = found;
    if (found == nullptr) return V3_NO_INTERFACE;
    Ref(instance);
    return V3_OK;
}

template <class Table>
v3_result V3_API QueryFace(void* self, const v3_tuid iid, void** object) {
    return Query(Owner<Table>(self), iid, object);
}
template <class Table>
uint32_t V3_API RefFace(void* self) {
    return Ref(Owner<Table>(self));
}
template <class Table>
uint32_t V3_API UnrefFace(void* self) {
    return Unref(Owner<Table>(self));
}

template <class Table>
MAudioPluginVST3Adapter& Adapter(void* self) {
    return *Owner<Table>(self).adapter;
}

template <class Table>
v3_result V3_API Initialize(void* self, v3_funknown** context) {
    Instance& instance = Owner<Table>(self);
    if (instance.initializations++ > 0) return V3_OK;
    return instance.adapter->initialize(context);
}

template <class Table>
v3_result V3_API Terminate(void* self) {
    Instance& instance = Owner<Table>(self);
    if (instance.initializations <= 0 || --instance.initializations > 0) return V3_OK;
    return instance.adapter->terminate();
}

using ComponentTable = v3_component_cpp;
using ProcessorTable = v3_audio_processor_cpp;
using ControllerTable = v3_edit_controller_cpp;

const v3_component_cpp componentTable = {
    {QueryFace<ComponentTable>, RefFace<ComponentTable>, UnrefFace<ComponentTable>},
    {Initialize<ComponentTable>, Terminate<ComponentTable>},
    {
        [](void*, v3_tuid) -> v3_result { return V3_FALSE; },  // one component: no separate controller class
        [](void*, int32_t) -> v3_result { return V3_OK; },
        [](void* self, int32_t type, int32_t direction) {
            return Adapter<ComponentTable>(self).getBusCount(type, direction);
        },
        [](void* self, int32_t type, int32_t direction, int32_t index, v3_bus_info* info) {
            return Adapter<ComponentTable>(self).getBusInfo(type, direction, index, info);
        },
        [](void*, v3_routing_info*, v3_routing_info*) -> v3_result { return V3_FALSE; },
        [](void* self, int32_t type, int32_t direction, int32_t index, v3_bool state) {
            return Adapter<ComponentTable>(self).activateBus(type, direction, index, state != 0);
        },
        [](void* self, v3_bool state) { return Adapter<ComponentTable>(self).setActive(state != 0); },
        [](void* self, v3_bstream** stream) { return Adapter<ComponentTable>(self).setState(stream); },
        [](void* self, v3_bstream** stream) { return Adapter<ComponentTable>(self).getState(stream); },
    },
};

const v3_audio_processor_cpp processorTable = {
    {QueryFace<ProcessorTable>, RefFace<ProcessorTable>, UnrefFace<ProcessorTable>},
    {
        [](void* self, v3_speaker_arrangement* inputs, int32_t n, v3_speaker_arrangement* outputs, int32_t m) {
            return Adapter<ProcessorTable>(self).setBusArrangements(inputs, n, outputs, m);
        },
        [](void* self, int32_t direction, int32_t index, v3_speaker_arrangement* arrangement) {
            return Adapter<ProcessorTable>(self).getBusArrangement(direction, index, arrangement);
        },
        [](void*, int32_t size) { return MAudioPluginVST3Adapter::canProcessSampleSize(size); },
        [](void* self) { return Adapter<ProcessorTable>(self).getLatencySamples(); },
        [](void* self, v3_process_setup* setup) { return Adapter<ProcessorTable>(self).setupProcessing(setup); },
        [](void*, v3_bool) -> v3_result { return V3_OK; },
        [](void* self, v3_process_data* data) { return Adapter<ProcessorTable>(self).process(data); },
        [](void* self) { return Adapter<ProcessorTable>(self).getTailSamples(); },
    },
};

const v3_edit_controller_cpp controllerTable = {
    {QueryFace<ControllerTable>, RefFace<ControllerTable>, UnrefFace<ControllerTable>},
    {Initialize<ControllerTable>, Terminate<ControllerTable>},
    {
        [](void*, v3_bstream**) -> v3_result { return V3_OK; },  // the component is this object
        [](void* self, v3_bstream** stream) { return Adapter<ControllerTable>(self).setState(stream); },
        [](void* self, v3_bstream** stream) { return Adapter<ControllerTable>(self).getState(stream); },
        [](void* self) { return Adapter<ControllerTable>(self).getParameterCount(); },
        [](void* self, int32_t index, v3_param_info* info) {
            return Adapter<ControllerTable>(self).getParameterInfo(index, info);
        },
        [](void* self, v3_param_id id, double value, v3_str_128 text) {
            return Adapter<ControllerTable>(self).getParamStringByValue(id, value, text);
        },
        [](void* self, v3_param_id id, int16_t* text, double* value) {
            return Adapter<ControllerTable>(self).getParamValueByString(id, text, value);
        },
        [](void*, v3_param_id, double value) { return value; },  // plain and normalised are the same
        [](void*, v3_param_id, double value) { return value; },
        [](void* self, v3_param_id id) { return Adapter<ControllerTable>(self).getParamNormalized(id); },
        [](void* self, v3_param_id id, double value) {
            return Adapter<ControllerTable>(self).setParamNormalized(id, value);
        },
        [](void* self, v3_component_handler** handler) {
            return Adapter<ControllerTable>(self).setComponentHandler(handler);
        },
        [](void* self, const char* name) -> v3_plugin_view** {
            return Guarded("MAudioPluginVST3Adapter::createView", static_cast<v3_plugin_view**>(nullptr), [&] {
                Instance& instance = Owner<ControllerTable>(self);
                if (name == nullptr || std::strcmp(name, "editor") != 0) return static_cast<v3_plugin_view**>(nullptr);
                Ref(instance);  // the view keeps the instance until the host lets it go
                v3_plugin_view** view = CreateView(instance.adapter->Plugin(), [&instance] {
                    instance.adapter->SetView(nullptr);
                    Unref(instance);
                });
                if (view == nullptr) Unref(instance);
                if (view != nullptr) instance.adapter->SetView(view);
                return view;
            });
        },
    },
};

const v3_midi_mapping_cpp midiMappingTable = {
    {QueryFace<v3_midi_mapping_cpp>, RefFace<v3_midi_mapping_cpp>, UnrefFace<v3_midi_mapping_cpp>},
    {[](void*, int32_t bus, int16_t channel, int16_t controller, v3_param_id* id) {
        return MAudioPluginVST3Adapter::getMidiControllerAssignment(bus, channel, controller, id);
    }},
};

const v3_process_context_requirements_cpp contextRequirementsTable = {
    {QueryFace<v3_process_context_requirements_cpp>, RefFace<v3_process_context_requirements_cpp>,
     UnrefFace<v3_process_context_requirements_cpp>},
    {[](void*) -> uint32_t {
        return V3_PROCESS_CTX_NEED_PROJECT_TIME | V3_PROCESS_CTX_NEED_BAR_POSITION | V3_PROCESS_CTX_NEED_CYCLE |
               V3_PROCESS_CTX_NEED_TEMPO | V3_PROCESS_CTX_NEED_TIME_SIG | V3_PROCESS_CTX_NEED_TRANSPORT_STATE;
    }},
};

// A new instance with its framework plug-in, as the VST 2.4 entry builds one.
Instance* CreateInstance() {
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin = pluginCreator != nullptr ? pluginCreator() : nullptr;
    if (plugin == nullptr) return nullptr;
    auto* instance = new Instance(std::make_unique<MAudioPluginVST3Adapter>(std::move(plugin)));
    instance->component = {&componentTable, instance};
    instance->processor = {&processorTable, instance};
    instance->controller = {&controllerTable, instance};
    instance->midiMapping = {&midiMappingTable, instance};
    instance->contextRequirements = {&contextRequirementsTable, instance};
    return instance;
}

void CopyText(char* destination, const char* text, size_t capacity) {
    const size_t n = std::min(std::strlen(text), capacity - 1);
    std::memcpy(destination, text, n);
    destination[n] = '\0';
}

void FillClassInfo(v3_class_info& info) {
    std::memset(&info, 0, sizeof info);
    std::memcpy(info.class_id, SonveraClassId, sizeof(v3_tuid));
    info.cardinality = 0x7FFFFFFF;
    CopyText(info.category, "Audio Module Class", sizeof info.category);
    CopyText(info.name, "Sonvera", sizeof info.name);
}

const v3_plugin_factory_cpp factoryTable = {
    {[](void* self, const v3_tuid iid, void** object) -> v3_result {
         if (object == nullptr) return V3_INVALID_ARG;
         const bool known = SameId(iid, v3_funknown_iid) || SameId(iid, v3_plugin_factory_iid) ||
                            SameId(iid, v3_plugin_factory_2_iid) || SameId(iid, v3_plugin_factory_3_iid);
         *object = known ? self : nullptr;
         return known ? V3_OK : V3_NO_INTERFACE;
     },
     [](void*) -> uint32_t { return 1; },  // lives as long as the process
     [](void*) -> uint32_t { return 1; }},
    {
        [](void*, v3_factory_info* info) -> v3_result {
            if (info == nullptr) return V3_INVALID_ARG;
            std::memset(info, 0, sizeof *info);
            CopyText(info->vendor, "Quorlith", sizeof info->vendor);
            CopyText(info->url, "https://www.quorlith.com", sizeof info->url);
            CopyText(info->email, "support@quorlith.com", sizeof info->email);
            info->flags = 0x10;  // kUnicode
            return V3_OK;
        },
        [](void*) -> int32_t { return 1; },
        [](void*, int32_t index, v3_class_info* info) -> v3_result {
            if (index != 0 || info == nullptr) return V3_INVALID_ARG;
            FillClassInfo(*info);
            return V3_OK;
        },
        [](void*, const v3_tuid classId, const v3_tuid iid, void** object) -> v3_result {
            return Guarded("VST3 Plugin main", static_cast<v3_result>(V3_NO_INTERFACE), [&]() -> v3_result {
                if (object == nullptr) return V3_INVALID_ARG;
                *object = nullptr;
                if (!SameId(classId, SonveraClassId)) return V3_NO_INTERFACE;
                Instance* instance = CreateInstance();
                if (instance == nullptr) return V3_NO_INTERFACE;
                const v3_result result = Query(*instance, iid, object);
                Unref(*instance);  // the host's reference, when it asked for a known interface, keeps it
                return result;
            });
        },
    },
    {[](void*, int32_t index, v3_class_info_2* info) -> v3_result {
        if (index != 0 || info == nullptr) return V3_INVALID_ARG;
        std::memset(info, 0, sizeof *info);
        v3_class_info first;
        FillClassInfo(first);
        std::memcpy(info->class_id, first.class_id, sizeof(v3_tuid));
        info->cardinality = first.cardinality;
        CopyText(info->category, first.category, sizeof info->category);
        CopyText(info->name, first.name, sizeof info->name);
        CopyText(info->sub_categories, "Fx|Filter", sizeof info->sub_categories);
        CopyText(info->version, "7.10", sizeof info->version);
        CopyText(info->sdk_version, "VST 3.5.2", sizeof info->sdk_version);
        return V3_OK;
    }},
    {
        [](void*, int32_t index, v3_class_info_3* info) -> v3_result {
            if (index != 0 || info == nullptr) return V3_INVALID_ARG;
            std::memset(info, 0, sizeof *info);
            std::memcpy(info->class_id, SonveraClassId, sizeof(v3_tuid));
            info->cardinality = 0x7FFFFFFF;
            CopyText(info->category, "Audio Module Class", sizeof info->category);
            CopyUtf16("Sonvera", info->name, 64);
            CopyText(info->sub_categories, "Fx|Filter", sizeof info->sub_categories);
            CopyUtf16("7.10", info->version, 64);
            CopyUtf16("VST 3.5.2", info->sdk_version, 64);
            return V3_OK;
        },
        [](void*, v3_funknown**) -> v3_result { return V3_OK; },
    },
};

struct FactoryObject {
    const v3_plugin_factory_cpp* table = &factoryTable;
};

}  // namespace

void SetPluginCreator(PluginCreator creator) { pluginCreator = creator; }

v3_plugin_factory_cpp** Factory() {
    static FactoryObject factory;
    return const_cast<v3_plugin_factory_cpp**>(&factory.table);
}

}  // namespace Vst3
