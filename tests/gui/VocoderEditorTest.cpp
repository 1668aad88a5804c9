// The vocoder's editor over the real plug-in, hosted through the VST 2.4
// adapter: what a user does with the mouse and keys reaches the parameter
// and the host as one gesture.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "entry/Exports.h"
#include "framework/plugin/EditorParameters.h"
#include "gui/VocoderEditor.h"
#include "hosts/vst2/MAudioPluginVSTAdapter.h"
#include "tests/hosts/vst2/InProcessAdapter.h"
#include "tests/hosts/vst2/VstTestHost.h"

using sonvera_test::VstTestHost;

namespace {

class VocoderEditorTest : public testing::Test {
protected:
    void SetUp() override {
        adapter_ = sonvera_test::InProcessAdapter(host_);
        parameters_ = std::make_unique<corvane::EditorParameters>(adapter_->Plugin());
        editor_ = std::make_unique<gui::VocoderEditor>(*parameters_);
    }
    gui::MouseEvent Centre(const std::string& label, double dy = 0, bool doubleClick = false) {
        const gui::Rect& b = editor_->FindControl(label)->Bounds();
        return {b.x + b.width / 2, b.y + b.height / 2 + dy, false, doubleClick};
    }
    double Value(const std::string& label) { return parameters_->Value(parameters_->Find(label)); }
    std::string Index(const std::string& label) { return std::to_string(parameters_->Find(label)); }

    VstTestHost::Instance host_;
    std::unique_ptr<Vst2::MAudioPluginVSTAdapter> adapter_;
    std::unique_ptr<corvane::EditorParameters> parameters_;
    std::unique_ptr<gui::VocoderEditor> editor_;
};

}  // namespace

TEST_F(VocoderEditorTest, EveryEffectParameterHasAControl) {
    for (const char* label : {"Volume",
                              "Panorama",
                              "Carrier volume",
                              "Carrier pan",
                              "Modulator volume",
                              "Modulator pan",
                              "Mode",
                              "Ratio",
                              "Swap carrier and modulator",
                              "LR encoding",
                              "Whitening",
                              "Formant shift",
                              "Gate threshold",
                              "Gate ratio",
                              "Saturation car",
                              "Saturation mod",
                              "Attack",
                              "Release",
                              "Hold",
                              "RMS length",
                              "Freeze",
                              "Bands",
                              "Car order",
                              "Car resonance",
                              "Mod order",
                              "Mod resonance"})
        if (gui::ParameterControl* control = editor_->FindControl(label)) {
            EXPECT_EQ(control->Tip().find('<'), std::string::npos) << label;
        } else {
            ADD_FAILURE() << label;
        }
    EXPECT_NE(editor_->FindControl("Formant shift")->Tip().find("formant"), std::string::npos);
}

TEST_F(VocoderEditorTest, ADragMovesTheParameterAndTheHostSeesOneGesture) {
    const std::string formant = Index("Formant shift");
    ASSERT_TRUE(editor_->MouseDown(Centre("Formant shift")));
    editor_->MouseDrag(Centre("Formant shift", -25));
    editor_->MouseDrag(Centre("Formant shift", -50));
    editor_->MouseUp(Centre("Formant shift", -50));
    EXPECT_NEAR(Value("Formant shift"), 0.75, 1e-9);
    EXPECT_EQ(parameters_->Text(parameters_->Find("Formant shift")), "+6.00 semitones");
    EXPECT_EQ(host_.touches, (std::vector<std::string>{"begin " + formant, "automate " + formant, "automate " + formant,
                                                       "end " + formant}));
    EXPECT_FLOAT_EQ(host_.automation.back().second, 0.75f);

    // Double-click: the default again, as one gesture.
    host_.touches.clear();
    editor_->MouseDown(Centre("Formant shift", 0, true));
    EXPECT_NEAR(Value("Formant shift"), 0.5, 1e-9);
    EXPECT_EQ(host_.touches, (std::vector<std::string>{"begin " + formant, "automate " + formant, "end " + formant}));
}

TEST_F(VocoderEditorTest, TypedValuesAndListsAndSwitches) {
    editor_->MouseDown(Centre("Volume"));
    editor_->MouseUp(Centre("Volume"));
    for (char32_t c : std::u32string(U"-6\r")) editor_->Key(c);
    EXPECT_EQ(parameters_->Text(parameters_->Find("Volume")), "-6.00 dB");

    const gui::Rect& mode = editor_->FindControl("Mode")->Bounds();
    editor_->MouseDown({mode.Right() - 5, mode.y + 30, false, false});
    EXPECT_EQ(parameters_->Text(parameters_->Find("Mode")), "Vocoder (dual)");
    editor_->Wheel({mode.x + 5, mode.y + 30, false, false}, 3);
    EXPECT_EQ(parameters_->Text(parameters_->Find("Mode")), "Ring modulation");

    editor_->MouseDown(Centre("Freeze"));
    EXPECT_EQ(parameters_->Text(parameters_->Find("Freeze")), "On");
    editor_->MouseDown(Centre("Bands"));
    editor_->MouseDrag(Centre("Bands", -100));  // half the range: 4 + 48 bands
    editor_->MouseUp(Centre("Bands", -100));
    EXPECT_EQ(parameters_->Text(parameters_->Find("Bands")), "80");
    // The arrow keys step the control clicked last, one whole band at a time.
    editor_->Key(gui::KeyUp);
    editor_->Key(gui::KeyUp);
    editor_->Key(gui::KeyDown);
    EXPECT_EQ(parameters_->Text(parameters_->Find("Bands")), "81");
}

TEST_F(VocoderEditorTest, TheEditorDrawsTheSameAtEachScale) {
    for (double scale : {1.0, 1.5, 2.0}) {
        gui::Bitmap bitmap(static_cast<int32_t>(gui::VocoderEditor::DefaultWidth * scale),
                           static_cast<int32_t>(gui::VocoderEditor::DefaultHeight * scale));
        gui::Canvas canvas(bitmap, scale);
        editor_->Draw(canvas);
        gui::Bitmap again(bitmap.Width(), bitmap.Height());
        gui::Canvas second(again, scale);
        editor_->Draw(second);
        EXPECT_EQ(bitmap.Pixels(), again.Pixels()) << scale;
        size_t distinct = 0;
        for (size_t i = 1; i < bitmap.Pixels().size(); ++i) distinct += bitmap.Pixels()[i] != bitmap.Pixels()[i - 1];
        EXPECT_GT(distinct, bitmap.Pixels().size() / 50) << "not blank at " << scale;
    }
}
