// The MIDI tab over the plug-in's controller table: a row's cells switch,
// step and assign, Learn takes the last controller that arrived, and the
// mapping then moves its parameter.

#include <gtest/gtest.h>

#include <memory>

#include "gui/MIDIPage.h"
#include "tests/gui/PluginEditorHarness.h"

namespace {

class MIDIPageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(page_, nullptr); }
    // A click in a cell, `side` -1 on its left part and +1 on its right.
    void Click(int32_t slot, gui::MIDIPage::Column column, int side = 0) {
        harness_.Click(page_->CellOf(slot, column), 0.5 + side * 0.3);
    }
    corvane::MIDIControllerSlot& Slot(int32_t slot) { return plugin_->Controllers().controllers[slot]; }

    sonvera_test::PluginEditorHarness harness_{"sonvera-midi-page"};
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin>& plugin_ = harness_.plugin;
    gui::VocoderEditor* editor_ = harness_.editor;
    gui::MIDIPage* page_ = harness_.Show<gui::MIDIPage>("MIDI");
};

}  // namespace

TEST_F(MIDIPageTest, CellsSwitchStepAndWrap) {
    Click(2, gui::MIDIPage::OnColumn);
    EXPECT_TRUE(Slot(2).enabled);
    EXPECT_EQ(page_->ChosenSlot(), 2);
    Click(2, gui::MIDIPage::SourceColumn, +1);
    EXPECT_EQ(Slot(2).controller, 2);
    Click(2, gui::MIDIPage::SourceColumn, -1);
    Click(2, gui::MIDIPage::SourceColumn, -1);
    EXPECT_EQ(Slot(2).controller, 0);
    Click(2, gui::MIDIPage::SourceColumn, -1);
    EXPECT_EQ(Slot(2).controller, 131) << "below controller 0 comes the last source";
    EXPECT_EQ(gui::MIDIAccess::SourceName(131), "Note-on velocity");
    Click(2, gui::MIDIPage::ChannelColumn, -1);
    EXPECT_EQ(Slot(2).channel, 16);
    Click(2, gui::MIDIPage::ChannelColumn, +1);
    EXPECT_EQ(Slot(2).channel, 0) << "after channel 16 comes any channel";
}

TEST_F(MIDIPageTest, ATypedNameAndALearnedControllerMakeAWorkingMapping) {
    Click(5, gui::MIDIPage::ParameterColumn);
    ASSERT_EQ(page_->ChosenSlot(), 5);
    for (const char c : std::string("No such thing\r")) page_->Children()[1]->Key(static_cast<char32_t>(c));
    EXPECT_EQ(Slot(5).index, -1);
    EXPECT_NE(page_->Message().find("There is no parameter"), std::string::npos);
    for (const char c : std::string("Volume\r")) page_->Children()[1]->Key(static_cast<char32_t>(c));
    EXPECT_EQ(Slot(5).index, 0);
    EXPECT_TRUE(Slot(5).enabled);

    const gui::Rect learn = page_->Children()[2]->Bounds();
    const gui::MouseEvent press{learn.x + 5, learn.y + 5, false, false};
    editor_->MouseDown(press);
    EXPECT_NE(page_->Message().find("nothing has arrived"), std::string::npos);
    plugin_->ProcessMIDIController(0, 0.0, 3, 74, 0.5);  // CC 74 on the fourth channel
    editor_->MouseDown(press);
    EXPECT_EQ(Slot(5).controller, 74);
    EXPECT_EQ(Slot(5).channel, 4);

    // The table switched on, the controller moves the volume.
    const gui::Rect toggle = page_->Children()[0]->Bounds();
    editor_->MouseDown({toggle.x + 10, toggle.y + 10, false, false});
    ASSERT_TRUE(plugin_->Controllers().controllersEnabled);
    const double before = plugin_->Parameters().GetParameter(0);
    plugin_->ProcessMIDIController(0, 0.0, 3, 74, before > 0.5 ? 0.1 : 0.9);
    EXPECT_NE(plugin_->Parameters().GetParameter(0), before);
}
