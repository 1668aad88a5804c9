// The editor's stored settings: the style file's colours and the kept size.

#include <gtest/gtest.h>

#include <string>

#include "entry/PluginCreation.h"
#include "framework/plugin/EditorStyle.h"
#include "framework/storage/Configuration.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchConfigFolder.h"

using corvane::MXMLItem;

TEST(EditorStyle, ColoursComeFromTheStyleFileAndBadOnesKeepTheirDefaults) {
    MXMLItem configuration("StyleConfiguration");
    configuration.SetAttribute("Accent", "FF0000");
    configuration.SetAttribute("Panel", "#00ff80");
    configuration.SetAttribute("Text", "red");
    configuration.SetAttribute("Track", "12345");
    sonvera_test::LogCapture log;
    const gui::Style style = corvane::StyleFrom(configuration);
    EXPECT_EQ(style.accent.Packed(), 0xFFFF0000u);
    EXPECT_EQ(style.panel.Packed(), 0xFF00FF80u);
    EXPECT_EQ(style.text.Packed(), gui::Style::Default().text.Packed());
    EXPECT_EQ(style.track.Packed(), gui::Style::Default().track.Packed());
    EXPECT_EQ(style.background.Packed(), gui::Style::Default().background.Packed())
        << "a missing key keeps its default";
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find("\"red\""), std::string::npos) << log.lines[0];
}

TEST(EditorStyle, AnEditorOpensWithTheStyleFileAndTheKeptSize) {
    sonvera_test::ScratchConfigFolder folder("sonvera-editor-settings");
    MXMLItem style("StyleConfiguration");
    style.SetAttribute("Background", "102030");
    corvane::Configuration::WriteStyle(style);
    corvane::Configuration::SetDefaultSize("Main", "150");
    auto plugin = corvane::CreateSonveraPlugin();
    corvane::PluginEditor* editor = plugin->Editor();
    EXPECT_EQ(editor->Width(), 1575);
    EXPECT_EQ(editor->Height(), 705);
    EXPECT_EQ(gui::Style::Current().background.Packed(), 0xFF102030u);
    editor->Redraw();
    EXPECT_EQ(editor->Picture().Pixels()[0], 0xFF102030u) << "drawn with it";

    // A size outside 100 .. 200 percent, or no number, is the plain size.
    for (const char* kept : {"250", "abc", "99"}) {
        corvane::Configuration::SetDefaultSize("Main", kept);
        auto other = corvane::CreateSonveraPlugin();
        EXPECT_EQ(other->Editor()->Width(), 1050) << kept;
    }
    corvane::Configuration::WriteStyle(MXMLItem("StyleConfiguration"));
    corvane::CreateSonveraPlugin()->Editor();
    EXPECT_EQ(gui::Style::Current().background.Packed(), gui::Style::Default().background.Packed());
}
