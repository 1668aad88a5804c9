#pragma once
// The editor's one look: colours, type sizes and spacing, in logical units.
// Every editor of the process draws with the current style; the user's
// style file may change its colours when an editor opens. [main-thread]

#include "gui/Bitmap.h"

namespace gui {

struct Style {
    Color background = Color::Rgb(0x1E2228);
    Color panel = Color::Rgb(0x2A3038);
    Color panelEdge = Color::Rgb(0x3C4450);
    Color text = Color::Rgb(0xD0D6DE);
    Color dimText = Color::Rgb(0x9AA4B0);
    Color accent = Color::Rgb(0x4FC3F7);
    Color warm = Color::Rgb(0xFFB74D);
    Color track = Color::Rgb(0x3C4450);
    Color pointer = Color::Rgb(0xFFFFFF);
    double titleSize = 13.0;
    double labelSize = 11.0;
    double valueSize = 10.5;
    double corner = 6.0;
    double padding = 8.0;

    static const Style& Default() {
        static const Style style;
        return style;
    }
    static Style& Current() {
        static Style style;
        return style;
    }
};

}  // namespace gui
