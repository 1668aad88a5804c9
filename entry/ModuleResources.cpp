#include "entry/ModuleResources.h"

#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/MException.h"
#include "framework/storage/MStream.h"
#include "framework/storage/PresetDocument.h"
#include "framework/storage/XMLFiles.h"

namespace corvane {
namespace ModuleResources {
namespace {

// A preset file names only what differs from the defaults: the rest comes
// from them, so every factory preset sets the whole sound.
void LayerOverDefaults(MXMLItem& element, const MXMLItem& defaults) {
    for (size_t i = 0; i < element.SubItemCount(); ++i) {
        MXMLItem& child = element.SubItem(i);
        if (child.Name() == Presets::FolderElement) {
            LayerOverDefaults(child, defaults);
        } else if (child.Name() == Presets::PresetElement) {
            MXMLItem layered(defaults);
            layered.SetName(Presets::PresetElement);
            for (const auto& [name, value] : child.Attributes()) layered.SetAttribute(name, value);
            for (size_t c = 0; c < child.SubItemCount(); ++c) {
                const MXMLItem& part = child.SubItem(c);
                layered.RemoveSubItem(part.Name());
                layered.AddSubItem(part.Name()).Copy(part);
            }
            child.Copy(layered);
        }
    }
}

MXMLItem ParseFactoryPresets() {
    MXMLItem bank("Sonverapresets");
    try {
        const ModuleResource& resource = Find("mpresets");
        MMemoryStream stream(const_cast<unsigned char*>(resource.bytes), resource.size);
        MXMLItem document;
        if (resource.compressed ? !LoadWithFallback(document, stream) : !document.Parse(stream))
            throw MException("The XML does not contain any elements.");
        const MXMLItem* defaults = document.FindSubItem("Defaults");
        if (defaults == nullptr) throw MException("The factory presets have no defaults.");
        const MXMLItem kept(*defaults);
        document.RemoveSubItem("Defaults");
        LayerOverDefaults(document, kept);
        bank = document;
    } catch (const MException& e) {
        DiagnosticLog::Write("The factory presets cannot be read: " + e.Message());
    }
    return bank;
}

}  // namespace

const ModuleResource& Find(const std::string& name) {
    for (size_t i = 0; i < ModuleResourceCount; ++i)
        if (name == ModuleResourceTable[i].name) return ModuleResourceTable[i];
    throw MException("Cannot find requested resource (" + name + ").");
}

const MXMLItem& FactoryPresets() {
    static const MXMLItem bank = ParseFactoryPresets();
    return bank;
}

}  // namespace ModuleResources
}  // namespace corvane
