#pragma once
// Whether a numbered modulation object deserves its element in the state:
// in use, or changed from a new one (settings made before any target is
// assigned must survive a save too).

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

}  // namespace corvane
