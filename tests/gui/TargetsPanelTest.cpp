// Modes and targets of the modulators and multiparameters from the editor:
// what is typed lands in the plug-in's target lists.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "entry/PluginCreation.h"
#include "gui/ParameterPages.h"
#include "gui/TargetsPanel.h"
#include "gui/VocoderEditor.h"
#include "tests/support/ScratchConfigFolder.h"

namespace {

class TargetsPanelTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        plugin_ = corvane::CreateSonveraPlugin();
        ASSERT_NE(plugin_, nullptr);
        editor_ = dynamic_cast<gui::VocoderEditor*>(&plugin_->Editor()->Root());
        ASSERT_TRUE(editor_->ShowPage(GetParam()));
        auto& pages = dynamic_cast<gui::OwnerPages&>(*editor_->Pages().Children()[editor_->Pages().Selected()]);
        pages.Select(1);  // the second modulator or multiparameter
        auto& page = dynamic_cast<gui::Container&>(*pages.Children()[1]);
        panel_ = dynamic_cast<gui::TargetsPanel*>(page.Children().back().get());
        ASSERT_NE(panel_, nullptr);
    }
    bool Modulators() const { return std::string(GetParam()) == "Modulators"; }
    corvane::TargetList& List() {
        return Modulators() ? plugin_->Modulators().At(1).Targets() : plugin_->MultiParameters().At(1).Targets();
    }
    int32_t Mode() { return Modulators() ? plugin_->Modulators().At(1).mode : plugin_->MultiParameters().At(1).mode; }
    void Type(const std::string& text) {
        for (const char c : text) panel_->NameEntry().Key(static_cast<char32_t>(c));
    }
    void Press(const gui::Rect& r) {
        const gui::MouseEvent event{r.x + r.width * 0.8, r.y + r.height / 2, false, false};
        editor_->MouseDown(event);
        editor_->MouseUp(event);
    }

    sonvera_test::ScratchConfigFolder folder_{"sonvera-targets-panel"};
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin_;
    gui::VocoderEditor* editor_ = nullptr;
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
