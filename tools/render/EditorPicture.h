#pragma once
// The plug-in's editor at its default settings as a picture, drawn
// offscreen by a plug-in made in this process.

#include "platform/ReplacingFile.h"

namespace render {

// `scale` 1 to 2 (HiDPI); throws std::runtime_error when it cannot be written.
void WriteEditorPicture(corvane::ReplacingFile& file, double scale = 1.0);

}  // namespace render
