#include "tools/render/EditorPicture.h"

#include <cmath>
#include <stdexcept>

#include "entry/PluginCreation.h"
#include "framework/plugin/EditorParameters.h"
#include "gui/VocoderEditor.h"
#include "tools/render/PngFile.h"

namespace render {

void WriteEditorPicture(corvane::ReplacingFile& file, double scale) {
    auto plugin = corvane::CreateSonveraPlugin();
    if (plugin == nullptr) throw std::runtime_error("the plug-in could not be created");
    corvane::EditorParameters parameters(*plugin);
    gui::VocoderEditor editor(parameters);
    gui::Bitmap bitmap(static_cast<int32_t>(std::lround(editor.Bounds().width * scale)),
                       static_cast<int32_t>(std::lround(editor.Bounds().height * scale)));
    gui::Canvas canvas(bitmap, scale);
    editor.Draw(canvas);
    std::vector<uint8_t> rgb;
    rgb.reserve(bitmap.Pixels().size() * 3);
    for (uint32_t pixel : bitmap.Pixels()) {
        rgb.push_back(static_cast<uint8_t>(pixel >> 16));
        rgb.push_back(static_cast<uint8_t>(pixel >> 8));
        rgb.push_back(static_cast<uint8_t>(pixel));
    }
    WritePng(file, bitmap.Width(), bitmap.Height(), rgb);
}

}  // namespace render
