#pragma once
// The plug-in's editor at its default settings as a picture, drawn
// offscreen by a plug-in made in this process.

#include <string>
#include <vector>

#include "platform/ReplacingFile.h"

namespace render {

// The editor's tabs, in their order.
std::vector<std::string> EditorPages();
// The named tab of the editor at `scale` 1 to 2 (HiDPI); throws
// std::runtime_error for an unknown tab or when it cannot be written.
void WriteEditorPicture(corvane::ReplacingFile& file, const std::string& page = "Controls", double scale = 1.0);

}  // namespace render
