#pragma once
// The whole plug-in with its editor content, in a scratch data folder, and
// the mouse and keys a test drives its tabs with.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "entry/PluginCreation.h"
#include "gui/VocoderEditor.h"
#include "tests/support/ScratchConfigFolder.h"

namespace sonvera_test {

class PluginEditorHarness {
public:
    explicit PluginEditorHarness(const std::string& folderName)
        : folder_(folderName),
          plugin(corvane::CreateSonveraPlugin()),
          editor(plugin != nullptr ? dynamic_cast<gui::VocoderEditor*>(&plugin->Editor()->Root()) : nullptr) {}

    // The tab's page, shown; a failed check when there is none.
    template <class Page>
    Page* Show(const std::string& tab) {
        if (editor == nullptr || !editor->ShowPage(tab)) {
            ADD_FAILURE() << "no tab " << tab;
            return nullptr;
        }
        auto* page = dynamic_cast<Page*>(editor->Pages().Children()[editor->Pages().Selected()].get());
        EXPECT_NE(page, nullptr) << tab;
        return page;
    }
    static gui::MouseEvent At(double x, double y, bool doubleClick = false) { return {x, y, false, doubleClick}; }
    void Press(const gui::MouseEvent& event) {
        editor->MouseDown(event);
        editor->MouseUp(event);
    }
    // A click at a point of the rectangle given as fractions of its size.
    void Click(const gui::Rect& r, double fx = 0.5, double fy = 0.5) {
        Press(At(r.x + r.width * fx, r.y + r.height * fy));
    }
    void Type(gui::Widget& widget, const std::string& text) {
        for (const char c : text) widget.Key(static_cast<char32_t>(c));
    }

private:
    ScratchConfigFolder folder_;

public:
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin;
    gui::VocoderEditor* editor;
};

}  // namespace sonvera_test
