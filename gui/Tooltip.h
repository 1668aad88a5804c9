#pragma once
// A control's help text shown beside the pointer: wrapped into lines, kept
// inside the editor's area.

#include <string>
#include <vector>

#include "gui/Canvas.h"

namespace gui {

// The words of `text` in lines no wider than `width` at `size` ("\n" breaks a line).
std::vector<std::string> WrapText(const Canvas& canvas, const std::string& text, double size, double width);
void DrawTooltip(Canvas& canvas, const Rect& area, double x, double y, const std::string& text);

}  // namespace gui
