#include "entry/interface/MAudioEffectPlugin.h"

#include "framework/core/MException.h"

namespace corvane {

int64_t MAudioEffectPlugin::Dispatch(int64_t command, MPluginArguments& arguments) {
    switch (command) {
        case PluginCommand::InitProcessing: {
            const double* sampleRate = arguments.Pointer<double>(1);
            if (sampleRate == nullptr) throw MException("Missing command argument.");
            const int32_t result = InitProcessing(arguments.Int32(0), *sampleRate);
            Update();
            CommitParameterValues();
            return result;
        }
        case PluginCommand::Process:
            Process(arguments.Pointer<void>(0), arguments.Pointer<float*>(1), arguments.Pointer<float*>(2),
                    arguments.Int32(3));
            return 0;
        case PluginCommand::Reserved102:
            return OnCommand102();
        case PluginCommand::Reserved103:
            return OnCommand103();
        case PluginCommand::Reserved104:
            OnCommand104(arguments.Int32(0));
            return 0;
        case PluginCommand::QueryMaxBufferSize:
            return OnCommand105();
        case PluginCommand::ProcessUpdate:
            ProcessUpdate();
            return 0;
        case PluginCommand::InitProcessingGUI:
            InitProcessingGUI();
            return 0;
        default:
            if (command > PluginCommand::InitProcessingGUI) return -1;
            return MPlugin::Dispatch(command, arguments);
    }
}

}  // namespace corvane
