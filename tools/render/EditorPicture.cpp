#include "tools/render/EditorPicture.h"

#include <cmath>
#include <stdexcept>

#include "entry/PluginCreation.h"
#include "gui/VocoderEditor.h"
#include "tools/render/PngFile.h"

namespace render {

namespace {

struct OpenEditor {
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin = corvane::CreateSonveraPlugin();
    corvane::PluginEditor* editor = plugin != nullptr ? plugin->Editor() : nullptr;
    gui::VocoderEditor& Content() {
        auto* content = editor != nullptr ? dynamic_cast<gui::VocoderEditor*>(&editor->Root()) : nullptr;
        if (content == nullptr) throw std::runtime_error("the plug-in has no editor");
        return *content;
    }
};

}  // namespace

std::vector<std::string> EditorPages() {
    OpenEditor open;
    return open.Content().Pages().Names();
}

void WriteEditorPicture(corvane::ReplacingFile& file, const std::string& page, double scale) {
    OpenEditor open;
    if (!open.Content().ShowPage(page)) throw std::runtime_error("the editor has no tab \"" + page + "\"");
    corvane::PluginEditor* editor = open.editor;
    editor->SetScale(scale);
    const gui::Bitmap& bitmap = editor->Picture();
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
