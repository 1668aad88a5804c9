// The plug-in state as chunks and as the user's default settings.

#include <string>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/MAudioPlugin.h"
#include "framework/storage/Configuration.h"
#include "framework/storage/XMLFiles.h"

namespace corvane {

void MAudioPlugin::Store(MStoreContext& /*context*/) {
    // The editor, once it exists, refreshes here after a load.
}

std::vector<uint8_t> MAudioPlugin::WriteChunk() {
    // The parameter lock orders a save against loads and re-initialisations
    // on other threads; the audio thread never takes it.
    MLock saving(parameterLock_);
    MXMLItem root("settings");
    MStoreContext context(true, root);
    Store(context);
    MMemoryStream stream;
    WriteCompressed(root, stream, "utf-8");
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Size());
}

bool MAudioPlugin::ReadChunk(const void* data, size_t size) {
    // Parse into a tree of our own first: a chunk that does not parse must not
    // reset what the user has (a partly parsed tree would load defaults).
    MXMLItem root;
    try {
        MMemoryStream stream(const_cast<void*>(data), size);
        if (data == nullptr || size == 0 || !LoadWithFallback(root, stream)) throw MException("The state is empty.");
    } catch (const MException& e) {
        DiagnosticLog::Write("Could not read the plug-in state: " + e.Message());
        return false;
    }
    return LoadState(root);
}

bool MAudioPlugin::LoadState(MXMLItem& root) {
    if (!FitsWhenStoredAgain(root)) {
        DiagnosticLog::Write("Could not read the plug-in state: it is too large to be stored again.");
        return false;
    }
    ExclusiveAccess exclusive(*this);
    MStoreContext context(false, root);
    Store(context);
    return true;
}

bool MAudioPlugin::LoadDefaultSettings() {
    return Guarded("MAudioPlugin::LoadDefaultSettings", false, [&] {
        MXMLItem configuration = Configuration::Read();
        const MXMLItem* defaults = configuration.FindSubItem("DefaultSettings");
        if (defaults == nullptr) return false;
        MXMLItem copy(*defaults);
        return LoadState(copy);
    });
}

bool MAudioPlugin::SetDefaultSettingsToCurrent() {
    return Guarded("MAudioPlugin::SetDefaultSettingsToCurrent", false, [&] {
        try {
            MXMLItem configuration = Configuration::ReadOrEmpty();
            MLock saving(parameterLock_);
            MStoreContext context(true, configuration.GetOrAddSubItem("DefaultSettings"));
            Store(context);
            Configuration::Write(configuration);
            return true;
        } catch (const MException& e) {
            // The file keeps its previous content; the user must hear why.
            DiagnosticLog::Write("Could not save the default settings: " + e.Message());
            return false;
        }
    });
}

}  // namespace corvane
