// The presets tab over the plug-in's real preset bank in a scratch folder:
// the list loads on a click, new presets are saved under their typed name,
// and nothing is replaced or deleted before the user says yes.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "framework/storage/Configuration.h"
#include "gui/PresetsPage.h"
#include "tests/gui/PluginEditorHarness.h"

namespace {

class PresetsPageTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(page_, nullptr);
        plugin_->Editor()->Redraw();  // the first showing reads the bank
    }
    void Click(const gui::Rect& r) { harness_.Click(r); }
    void Type(const std::string& text) { harness_.Type(*editor_, text); }
    // The buttons by label, as laid out.
    gui::Rect ButtonBounds(size_t child) { return page_->Children()[child]->Bounds(); }
    enum { PreviousButton, NextButton, NameField, SaveButton, ReplaceButton, DeleteButton, YesButton, NoButton };

    sonvera_test::PluginEditorHarness harness_{"sonvera-presets-page"};
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin>& plugin_ = harness_.plugin;
    gui::VocoderEditor* editor_ = harness_.editor;
    gui::PresetsPage* page_ = harness_.Show<gui::PresetsPage>("Presets");
};

}  // namespace

TEST_F(PresetsPageTest, AClickOnARowLoadsThatPresetAndStepsFollowTheList) {
    const auto& names = page_->Names();
    ASSERT_GT(names.size(), 10u) << "the factory bank";
    Click(page_->Row(3));
    EXPECT_EQ(plugin_->Presets().CurrentIndex(), 3);
    Click(ButtonBounds(NextButton));
    EXPECT_EQ(plugin_->Presets().CurrentIndex(), 4);
    Click(ButtonBounds(PreviousButton));
    Click(ButtonBounds(PreviousButton));
    EXPECT_EQ(plugin_->Presets().CurrentIndex(), 2);
}

TEST_F(PresetsPageTest, SavingUsesTheTypedNameAndDeletingWaitsForYes) {
    const size_t before = page_->Names().size();
    Click(ButtonBounds(NameField));
    Type("My voice");
    Click(ButtonBounds(SaveButton));
    ASSERT_EQ(page_->Names().size(), before + 1);
    EXPECT_NE(std::find(page_->Names().begin(), page_->Names().end(), "My voice"), page_->Names().end());
    EXPECT_EQ(page_->Names()[plugin_->Presets().CurrentIndex()], "My voice");

    Click(ButtonBounds(DeleteButton));
    EXPECT_EQ(page_->Question(), "Are you sure you want to delete selected preset?");
    Click(page_->Row(0));  // everything but the answer waits
    EXPECT_EQ(page_->Names().size(), before + 1);
    Click(ButtonBounds(NoButton));
    EXPECT_TRUE(page_->Question().empty());
    EXPECT_EQ(page_->Names().size(), before + 1) << "no keeps the preset";
    Click(ButtonBounds(DeleteButton));
    Click(ButtonBounds(YesButton));
    EXPECT_EQ(page_->Names().size(), before);
}

TEST_F(PresetsPageTest, WithQuestionsSwitchedOffAChangeHappensAtOnce) {
    corvane::Configuration::SetConfirmationEnabled(false);
    const size_t before = page_->Names().size();
    Click(page_->Row(0));
    Click(ButtonBounds(DeleteButton));
    EXPECT_TRUE(page_->Question().empty());
    EXPECT_EQ(page_->Names().size(), before - 1);
}
