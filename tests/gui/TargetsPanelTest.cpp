// Modes and targets of the modulators and multiparameters from the editor:
// what is typed lands in the plug-in's target lists.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/ParameterPages.h"
#include "gui/TargetsPanel.h"
#include "tests/gui/PluginEditorHarness.h"

namespace {

class TargetsPanelTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        auto* pages = harness_.Show<gui::OwnerPages>(GetParam());
        ASSERT_NE(pages, nullptr);
        pages->Select(1);  // the second modulator or multiparameter
        auto& page = dynamic_cast<gui::Container&>(*pages->Children()[1]);
        panel_ = dynamic_cast<gui::TargetsPanel*>(page.Children().back().get());
        ASSERT_NE(panel_, nullptr);
    }
    bool Modulators() const { return std::string(GetParam()) == "Modulators"; }
    corvane::TargetList& List() {
        return Modulators() ? plugin_->Modulators().At(1).Targets() : plugin_->MultiParameters().At(1).Targets();
    }
    int32_t Mode() { return Modulators() ? plugin_->Modulators().At(1).mode : plugin_->MultiParameters().At(1).mode; }
    void Type(const std::string& text) { harness_.Type(panel_->NameEntry(), text); }
    void Press(const gui::Rect& r) { harness_.Click(r, 0.8); }

    sonvera_test::PluginEditorHarness harness_{"sonvera-targets-panel"};
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin>& plugin_ = harness_.plugin;
    gui::TargetsPanel* panel_ = nullptr;
};

}  // namespace

TEST_P(TargetsPanelTest, TypedNamesFillTheListAndTheLastTargetStays) {
    Type("Volume\r");
    ASSERT_EQ(List().Count(), 1) << "the empty first entry is filled, not added to";
    EXPECT_EQ(List().At(0).index, 0);
    Type("Panorama\r");
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(List().At(1).index, 1);
    EXPECT_EQ(panel_->ChosenTarget(), 1);
    Type("No such thing\r");
    EXPECT_EQ(List().Count(), 2);
    EXPECT_EQ(panel_->Message(), "There is no parameter \"No such thing\".");

    const gui::Rect remove = panel_->Children()[2]->Bounds();
    Press(remove);
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().At(0).index, 0) << "the chosen target went";
    Press(remove);
    EXPECT_EQ(List().Count(), 1);
    EXPECT_NE(panel_->Message().find("at least one parameter"), std::string::npos)
        << "the last target stays, and the user is told why: " << panel_->Message();

    Press(panel_->Children()[0]->Bounds());  // the mode's right part: the next mode
    EXPECT_EQ(Mode(), 1);
}

INSTANTIATE_TEST_SUITE_P(Owners, TargetsPanelTest, testing::Values("Modulators", "Multiparameters"));
