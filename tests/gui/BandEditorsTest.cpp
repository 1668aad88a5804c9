// The band editors over the real vocoder: what the mouse draws lands in the
// effect's matrix, levels and graphs, and the processing follows.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/plugin/EditorParameters.h"
#include "gui/BandGraphEditor.h"
#include "gui/BandLevelsEditor.h"
#include "gui/BandMatrixEditor.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/gui/PluginEditorHarness.h"

namespace {

class BandEditorsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(editor_, nullptr);
        vocoder_ = dynamic_cast<sonvera::SonveraAudioEffectPlugin*>(plugin_->Effect());
        ASSERT_NE(vocoder_, nullptr);
    }
    template <class Page>
    Page& Show(const std::string& name) {
        return *harness_.Show<Page>(name);
    }
    static gui::MouseEvent At(double x, double y, bool doubleClick = false) {
        return sonvera_test::PluginEditorHarness::At(x, y, doubleClick);
    }
    // The centre of a matrix cell in editor units.
    static gui::MouseEvent Cell(gui::MatrixGrid& grid, int32_t carrier, int32_t modulator) {
        const double cell = grid.CellSize();
        return At(grid.Left() + (carrier + 0.5) * cell, grid.Top() + (modulator + 0.5) * cell);
    }
    void Press(const gui::MouseEvent& event) { harness_.Press(event); }
    void SetBands(const std::string& bands) {
        corvane::EditorParameters parameters(*plugin_);
        ASSERT_TRUE(parameters.SetText(parameters.Find("Bands"), bands));
        sonvera_test::RunBlocks(*plugin_, 1);
    }

    sonvera_test::PluginEditorHarness harness_{"sonvera-band-editors"};
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin>& plugin_ = harness_.plugin;
    gui::VocoderEditor* editor_ = harness_.editor;
    sonvera::SonveraAudioEffectPlugin* vocoder_ = nullptr;
};

}  // namespace

TEST_F(BandEditorsTest, AClickInTheMatrixRoutesThatPairAndTheNextBlockHearsIt) {
    auto& matrix = Show<gui::BandMatrixEditor>("Band matrix");
    gui::MatrixGrid& grid = matrix.Grid();
    ASSERT_EQ(grid.ShownBands(), vocoder_->Bank().bandCount);
    Press(Cell(grid, 3, 5));
    EXPECT_TRUE(vocoder_->Matrix(5, 3)) << "modulator band 5 drives carrier band 3";
    EXPECT_FALSE(vocoder_->Matrix(3, 5));
    sonvera_test::RunBlocks(*plugin_, 1);
    const sonvera::VocoderBand& band = vocoder_->Bank().bands[3];
    ASSERT_EQ(band.sourceCount, 2);
    EXPECT_EQ(band.sources[0], 3);
    EXPECT_EQ(band.sources[1], 5);

    Press(Cell(grid, 3, 3));  // a lit cell goes dark
    Press(Cell(grid, 3, 5));
    sonvera_test::RunBlocks(*plugin_, 1);
    EXPECT_EQ(vocoder_->Bank().bands[3].sourceCount, 0) << "a column without sources is silent";
}

TEST_F(BandEditorsTest, ADragPaintsTheStateOfTheFirstCell) {
    gui::MatrixGrid& grid = Show<gui::BandMatrixEditor>("Band matrix").Grid();
    editor_->MouseDown(Cell(grid, 0, 1));  // dark: the drag lights cells
    for (int32_t carrier = 1; carrier <= 4; ++carrier) editor_->MouseDrag(Cell(grid, carrier, 1));
    editor_->MouseUp(Cell(grid, 4, 1));
    for (int32_t carrier = 0; carrier <= 4; ++carrier) EXPECT_TRUE(vocoder_->Matrix(1, carrier)) << carrier;
    EXPECT_TRUE(vocoder_->Matrix(0, 0)) << "cells the drag never crossed keep their state";
    EXPECT_FALSE(vocoder_->Matrix(1, 5));
}

TEST_F(BandEditorsTest, TheMatrixShowsAtMostFiftyBands) {
    SetBands("100");
    gui::MatrixGrid& grid = Show<gui::BandMatrixEditor>("Band matrix").Grid();
    EXPECT_EQ(grid.ShownBands(), gui::MatrixGrid::MaxShownBands);
    int32_t carrier = 0, modulator = 0;
    EXPECT_TRUE(grid.CellAt(Cell(grid, 49, 49).x, Cell(grid, 49, 49).y, carrier, modulator));
    EXPECT_EQ(carrier, 49);
    EXPECT_FALSE(grid.CellAt(grid.Left() + 50.5 * grid.CellSize(), grid.Top() + 1, carrier, modulator));
}

TEST_F(BandEditorsTest, DrawingTheBandLevelsSetsEachBarOnTheWay) {
    gui::BarGraph& graph = Show<gui::BandLevelsEditor>("EQ").Graph();
    const gui::Rect& b = graph.Bounds();
    const int32_t bands = vocoder_->Bank().bandCount;
    const double barWidth = (b.width - 50) / bands, left = b.x + 44 + barWidth / 2;
    const double top = b.y + 6, height = b.height - 26;
    // From band 0 at the top (level 2) to band 4 at a quarter height (level 0.5).
    editor_->MouseDown(At(left, top));
    editor_->MouseDrag(At(left + 4 * barWidth, top + height * 0.75));
    editor_->MouseUp(At(left + 4 * barWidth, top + height * 0.75));
    EXPECT_NEAR(vocoder_->BandLevels()[0], 2.0, 1e-9);
    EXPECT_NEAR(vocoder_->BandLevels()[2], 1.25, 1e-9) << "halfway along the drag";
    EXPECT_NEAR(vocoder_->BandLevels()[4], 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(vocoder_->BandLevels()[5], 1.0);
    EXPECT_EQ(gui::BarGraph::GainText(0.5), "-12.0 dB") << "the square of the level is the gain";

    Press(At(left + 2 * barWidth, top + 10, true));
    EXPECT_DOUBLE_EQ(vocoder_->BandLevels()[2], 1.0) << "a double-click returns the bar to 0 dB";
}

TEST_F(BandEditorsTest, TheGraphEditorSelectsEnablesAndEditsTheCurve) {
    auto& page = Show<gui::BandGraphEditor>("Band graphs");
    const gui::Rect attackRow = page.GraphRow(sonvera::GraphAttack);
    Press(At(attackRow.x + 40, attackRow.y + 5));
    ASSERT_EQ(vocoder_->SelectedGraph(), sonvera::GraphAttack);

    gui::CurveEditor& curve = page.Curve();
    const gui::Rect plot = curve.Plot();
    // A click in the middle of the plot at a factor of 4 (g = 2) adds a point there.
    editor_->MouseDown(At(plot.x + plot.width / 2, curve.ScreenY(2.0)));
    editor_->MouseDrag(At(plot.x + plot.width / 2, curve.ScreenY(-1.0)));
    editor_->MouseUp(At(plot.x + plot.width / 2, curve.ScreenY(-1.0)));
    corvane::MEnvelope& graph = vocoder_->Graph(sonvera::GraphAttack);
    ASSERT_EQ(graph.PointCount(), 3);
    EXPECT_NEAR(graph.PointAt(1).x, 0.5, 1e-9);
    EXPECT_NEAR(graph.PointAt(1).y, -1.0, 1e-9) << "the drag moved the new point";

    // The end point moves only up and down.
    editor_->MouseDown(At(curve.ScreenX(1.0), curve.ScreenY(0.0)));
    editor_->MouseDrag(At(plot.x + plot.width * 0.8, curve.ScreenY(4.0)));
    editor_->MouseUp(At(plot.x + plot.width * 0.8, curve.ScreenY(4.0)));
    EXPECT_DOUBLE_EQ(graph.PointAt(2).x, 1.0);
    EXPECT_NEAR(graph.PointAt(2).y, 4.0, 1e-9);

    // Heard only once enabled: the top band's attack grows sixteen times longer.
    sonvera_test::RunBlocks(*plugin_, 1);
    const int32_t top = vocoder_->Bank().bandCount - 1;
    const double plain = vocoder_->Bank().attackCoef[top];
    Press(At(page.Bounds().x + 230, page.Bounds().y + 41));  // "Enable"
    EXPECT_TRUE(vocoder_->GraphEnabled(sonvera::GraphAttack));
    sonvera_test::RunBlocks(*plugin_, 1);
    EXPECT_NE(vocoder_->Bank().attackCoef[top], plain);

    Press(At(curve.ScreenX(0.5), curve.ScreenY(-1.0), true));
    EXPECT_EQ(graph.PointCount(), 2) << "a double-click removes the point";
    Press(At(curve.ScreenX(0.0), curve.ScreenY(0.0), true));
    EXPECT_EQ(graph.PointCount(), 2) << "the end points stay";
}

TEST_F(BandEditorsTest, ClearAndDiagonalSetTheWholeMatrix) {
    auto& matrix = Show<gui::BandMatrixEditor>("Band matrix");
    harness_.Click(matrix.Children()[2]->Bounds());  // "Clear"
    for (int32_t k : {0, 31, 99}) EXPECT_FALSE(vocoder_->Matrix(k, k)) << k;
    sonvera_test::RunBlocks(*plugin_, 1);
    EXPECT_EQ(vocoder_->Bank().activeBandCount, 0) << "every band falls silent";
    Press(Cell(matrix.Grid(), 2, 7));
    harness_.Click(matrix.Children()[1]->Bounds());  // "Diagonal"
    for (int32_t k : {0, 31, 99}) EXPECT_TRUE(vocoder_->Matrix(k, k)) << k;
    EXPECT_FALSE(vocoder_->Matrix(7, 2));
    sonvera_test::RunBlocks(*plugin_, 1);
    EXPECT_TRUE(vocoder_->Bank().identityRouting);
}
