#pragma once
// Numbered modulation objects ("LFO0", "MultiParameter2", ...) in the state:
// an object has its element while it is in use or changed from a new one
// (settings made before any target is assigned must survive a save too);
// a missing element on load makes the object new.

#include <string>

#include "framework/modulation/TargetList.h"
#include "framework/storage/MStoreContext.h"
#include "framework/storage/MStream.h"

namespace corvane {

template <class Object>
std::string StoredText(Object& object, TargetList::ParameterNames& names) {
    MXMLItem element("Stored");
    MStoreContext context(true, element);
    object.Store(context, names);
    MMemoryStream stream;
    element.Write(stream, "utf-8", XMLLayout::Compact);
    return std::string(reinterpret_cast<const char*>(stream.Data()), static_cast<size_t>(stream.Size()));
}

template <class Object>
bool WorthStoring(Object& object, TargetList::ParameterNames& names) {
    if (object.InUse()) return true;
    // Kept as text: an object kept alive here would outlive an unloaded library.
    static const std::string freshText = [&names] {
        Object fresh;
        return StoredText(fresh, names);
    }();
    return StoredText(object, names) != freshText;
}

// One object's element below `parent` (null on load: missing), both ways.
template <class Object>
void StoreNumbered(bool storing, MXMLItem* parent, const std::string& name, Object& object,
                   TargetList::ParameterNames& names) {
    if (storing) {
        if (WorthStoring(object, names)) {
            MStoreContext child(true, parent->GetOrAddSubItem(name));
            object.Store(child, names);
        } else {
            parent->RemoveSubItem(name);
        }
        return;
    }
    if (MXMLItem* element = parent != nullptr ? parent->FindSubItem(name) : nullptr) {
        MStoreContext child(false, *element);
        object.Store(child, names);
    } else {
        object.ResetToDefaults();
    }
}

}  // namespace corvane
