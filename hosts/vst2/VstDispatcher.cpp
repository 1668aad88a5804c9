// The lower half of the VST 2.4 adapter: the effect record's function table
// and the opcode dispatcher, with the behaviour hosts expect of the
// published base class. Nothing here may let an exception reach the host.

#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "hosts/vst2/MAudioPluginVSTAdapter.h"

namespace Vst2 {
namespace {

intptr_t Dispatch(MAudioPluginVSTAdapter& a, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen:
            return 0;
        case effGetProgram:
        case effSetProgram:
            return 0;
        case effGetProgramName:
        case effGetProgramNameIndexed:
            if (ptr != nullptr) *static_cast<char*>(ptr) = '\0';
            return 0;
        case effGetParamLabel:
            a.getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            a.getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            a.getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effSetSampleRate:
            a.setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            a.setBlockSize(static_cast<int32_t>(value));
            return 0;
        case effMainsChanged:
            if (value != 0)
                a.resume();
            else
                a.suspend();
            return 0;
        case effEditGetRect:
            return a.editGetRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        case effEditOpen:
            return a.editOpen(ptr) ? 1 : 0;
        case effEditClose:
            a.editClose();
            return 1;
        case effEditIdle:
        case effIdle:
            a.idle();
            return 0;
        case effEditKeyDown:
            return a.editKeyDown(index, static_cast<int32_t>(value)) ? 1 : 0;
        case effEditKeyUp:
            return 0;
        case effGetChunk:
            return a.getChunk(static_cast<void**>(ptr));
        case effSetChunk:
            return a.setChunk(ptr, static_cast<int32_t>(value));
        case effProcessEvents:
            return a.processEvents(static_cast<const VstEvents*>(ptr));
        case effCanBeAutomated:
            return index >= 0 && index < a.Effect()->numParams ? 1 : 0;
        case effGetParameterProperties:
            return a.getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effString2Parameter:
            return a.string2parameter(index, static_cast<const char*>(ptr)) ? 1 : 0;
        case effGetInputProperties:
            return a.getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return a.getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return kPlugCategEffect;
        case effSetSpeakerArrangement:
            return a.setSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                           static_cast<const VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effGetSpeakerArrangement:
            return a.getSpeakerArrangement() ? 1 : 0;
        case effGetEffectName:
            return a.getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorString:
            return a.getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProductString:
            return a.getProductString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorVersion:
            return a.Effect()->version;
        case effVendorSpecific:
            return a.vendorSpecific(index, value, ptr);
        case effCanDo:
            return a.canDo(static_cast<const char*>(ptr));
        case effGetTailSize:
            return 0;
        case effGetVstVersion:
            return 2400;
        default:
            return 0;
    }
}

intptr_t DispatcherEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    MAudioPluginVSTAdapter* adapter = MAudioPluginVSTAdapter::FromEffect(effect);
    if (adapter == nullptr) return 0;
    if (opcode == effClose) {
        // The adapter goes, and with it the framework plug-in and the effect.
        corvane::GuardedVoid("MAudioPluginVSTAdapter::~MAudioPluginVSTAdapter", [&] {
            effect->object = nullptr;
            delete adapter;
        });
        return 1;
    }
    return corvane::Guarded("MAudioPluginVSTAdapter::dispatcher", intptr_t(0),
                            [&] { return Dispatch(*adapter, opcode, index, value, ptr, opt); });
}

void ProcessEntry(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (MAudioPluginVSTAdapter* adapter = MAudioPluginVSTAdapter::FromEffect(effect))
        adapter->process(inputs, outputs, frames);
}

void ProcessReplacingEntry(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (MAudioPluginVSTAdapter* adapter = MAudioPluginVSTAdapter::FromEffect(effect))
        adapter->processReplacing(inputs, outputs, frames);
}

void SetParameterEntry(AEffect* effect, int32_t index, float value) {
    if (MAudioPluginVSTAdapter* adapter = MAudioPluginVSTAdapter::FromEffect(effect))
        adapter->setParameter(index, value);
}

float GetParameterEntry(AEffect* effect, int32_t index) {
    MAudioPluginVSTAdapter* adapter = MAudioPluginVSTAdapter::FromEffect(effect);
    return adapter != nullptr ? adapter->getParameter(index) : 0.0f;
}

}  // namespace

void BindEffectRecord(MAudioPluginVSTAdapter& adapter) {
    AEffect* effect = adapter.Effect();
    effect->dispatcher = DispatcherEntry;
    effect->process = ProcessEntry;
    effect->processReplacing = ProcessReplacingEntry;
    effect->processDoubleReplacing = nullptr;
    effect->setParameter = SetParameterEntry;
    effect->getParameter = GetParameterEntry;
}

}  // namespace Vst2
