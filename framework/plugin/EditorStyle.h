#pragma once
// The user's style file ("Style.cfg", root "StyleConfiguration"): colours
// as attributes "Background", "Panel", "PanelEdge", "Text", "DimText",
// "Accent", "Warm", "Track" and "Pointer", each "RRGGBB" in hexadecimal.
// [main-thread]

#include "framework/storage/MXMLItem.h"
#include "gui/Style.h"

namespace corvane {

// The default style with the element's colours; an unreadable colour is
// logged and keeps its default.
gui::Style StyleFrom(MXMLItem& configuration);
// Makes the style file's look the current one; without a file, the default look.
void ApplyStyleConfiguration();

}  // namespace corvane
