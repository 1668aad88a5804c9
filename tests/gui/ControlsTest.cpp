#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Tooltip.h"

using namespace gui;

namespace {

// Parameters that record what the controls ask of the host.
class RecordingParameters : public ParameterAccess {
public:
    struct Entry {
        double value = 0.5, defaultValue = 0.5;
        int32_t steps = 0;
    };
    std::map<int32_t, Entry> entries;
    std::vector<std::string> log;

    int32_t Find(const std::string&) const override { return -1; }
    std::string Help(int32_t) const override {
        return "<name>Ratio</name> sets the amount.<p><value>Morph</value> modes prefer one side.";
    }
    std::string Name(int32_t index) const override { return "P" + std::to_string(index); }
    double Value(int32_t index) const override { return entries.at(index).value; }
    double Default(int32_t index) const override { return entries.at(index).defaultValue; }
    int32_t Steps(int32_t index) const override { return entries.at(index).steps; }
    std::string Text(int32_t index) const override { return std::to_string(entries.at(index).value); }
    bool SetText(int32_t index, const std::string& text) override {
        log.push_back("text " + std::to_string(index) + " " + text);
        return true;
    }
    void BeginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void SetValue(int32_t index, double value) override {
        entries.at(index).value = value;
        char text[64];
        std::snprintf(text, sizeof text, "set %d %.4f", index, value);
        log.emplace_back(text);
    }
    void EndEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }
};

using Log = std::vector<std::string>;

MouseEvent At(double x, double y, bool fine = false, bool doubleClick = false) { return {x, y, fine, doubleClick}; }

class ControlsTest : public testing::Test {
protected:
    void SetUp() override {
        parameters.entries[1] = {0.5, 0.25, 0};
        parameters.entries[2] = {0.0, 0.0, 5};  // an integer with five values
        parameters.entries[3] = {0.0, 0.0, 2};  // on/off
        panel.SetBounds({0, 0, 300, 200});
        panel.Make<Knob>(parameters, 1, "Ratio");
        panel.Make<Knob>(parameters, 2, "Bands");
        panel.Make<Switch>(parameters, 3, "Freeze");
        panel.Layout(3, 90);
    }
    Widget& Child(size_t i) { return *panel.Children()[i]; }
    double CentreX(size_t i) { return Child(i).Bounds().x + Child(i).Bounds().width / 2; }

    RecordingParameters parameters;
    Panel panel{"Test"};
};

}  // namespace

TEST_F(ControlsTest, ADragIsOneGestureWithItsValues) {
    const double x = CentreX(0);
    ASSERT_TRUE(panel.MouseDown(At(x, 60)));
    panel.MouseDrag(At(x + 500, 10));  // outside the knob: the knob still has the drag
    panel.MouseDrag(At(x, 10));        // the same value again: not sent twice
    panel.MouseDrag(At(x, -1000));     // held at the top
    panel.MouseUp(At(x, -1000));
    EXPECT_EQ(parameters.log, (Log{"begin 1", "set 1 0.7500", "set 1 1.0000", "end 1"}));

    parameters.log.clear();
    panel.MouseDown(At(x, 60));
    panel.MouseDrag(At(x, 80, true));  // fine: ten times slower, 20 units down
    panel.MouseUp(At(x, 80));
    EXPECT_EQ(parameters.log, (Log{"begin 1", "set 1 0.9900", "end 1"}));
}

TEST_F(ControlsTest, IntegerValuesMoveInWholeSteps) {
    const double x = CentreX(1);
    panel.MouseDown(At(x, 60));
    panel.MouseDrag(At(x, 50));  // 0.05: not yet half a step
    panel.MouseDrag(At(x, 30));  // 0.15: rounds to the first step
    panel.MouseUp(At(x, 30));
    EXPECT_EQ(parameters.log, (Log{"begin 2", "set 2 0.2500", "end 2"}));
    parameters.log.clear();
    panel.Wheel(At(x, 60), 2);
    panel.Wheel(At(x, 60), 9);  // held at the end
    EXPECT_EQ(parameters.log, (Log{"begin 2", "set 2 0.7500", "end 2", "begin 2", "set 2 1.0000", "end 2"}));
}

TEST_F(ControlsTest, DoubleClickWheelAndTyping) {
    const double x = CentreX(0);
    panel.MouseDown(At(x, 60, false, true));
    EXPECT_EQ(parameters.log, (Log{"begin 1", "set 1 0.2500", "end 1"})) << "double-click: the default";
    parameters.log.clear();
    panel.Wheel(At(x, 60), 1);
    panel.Wheel(At(x, 60, true), -1);
    EXPECT_EQ(parameters.log, (Log{"begin 1", "set 1 0.2600", "end 1", "begin 1", "set 1 0.2590", "end 1"}));

    parameters.log.clear();
    for (char32_t c : std::u32string(U"-7 dBx\b\r")) panel.Key(c);
    for (char32_t c : std::u32string(U"99\x1B\r")) panel.Key(c);  // Escape drops what was typed
    EXPECT_EQ(parameters.log, (Log{"begin 1", "text 1 -7 dB", "end 1"})) << "Backspace took the x";
}

TEST_F(ControlsTest, SwitchesToggleAndPanelsLayOutTheirCells) {
    panel.MouseDown(At(CentreX(2), 40));
    panel.MouseUp(At(CentreX(2), 40));
    panel.MouseDown(At(CentreX(2), 40));
    EXPECT_EQ(parameters.log, (Log{"begin 3", "set 3 1.0000", "end 3", "begin 3", "set 3 0.0000", "end 3"}));
    EXPECT_EQ(Child(1).Bounds().x, Child(0).Bounds().Right());
    EXPECT_EQ(Child(0).Bounds().y, 26.0) << "below the title";
    EXPECT_EQ(panel.At(CentreX(1), 50), &Child(1));
    EXPECT_EQ(panel.At(CentreX(1), 150), nullptr);

    Bitmap bitmap(300, 200);
    Canvas canvas(bitmap);
    panel.Draw(canvas);
    Bitmap again(300, 200);
    Canvas second(again);
    panel.Draw(second);
    EXPECT_EQ(bitmap.Pixels(), again.Pixels()) << "drawing is deterministic";
}

TEST(Selector, ClicksAndTheWheelStepThroughTheList) {
    RecordingParameters parameters;
    parameters.entries[6] = {0.0, 0.0, 8};  // eight modes
    Selector selector(parameters, 6, "Mode");
    selector.SetBounds({0, 0, 120, 50});
    selector.MouseDown(At(100, 30));  // right: next
    selector.MouseDown(At(100, 30));
    selector.MouseDown(At(10, 30));  // left third: previous
    selector.Wheel(At(60, 30), -5);  // held at the first
    EXPECT_NEAR(parameters.entries[6].value, 0.0, 1e-12);
    EXPECT_EQ(parameters.log[1], "set 6 0.1429");
    EXPECT_EQ(parameters.log[4], "set 6 0.2857");
    EXPECT_EQ(parameters.log[7], "set 6 0.1429");
}

TEST_F(ControlsTest, TipsAreThePlainHelpTextWrappedToTheirBox) {
    EXPECT_EQ(Child(0).Tip(), "Ratio sets the amount.\nMorph modes prefer one side.");
    Bitmap bitmap(10, 10);
    Canvas canvas(bitmap);
    const std::vector<std::string> lines = WrapText(canvas, Child(0).Tip() + " " + std::string(3, 'w'), 10.5, 80);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Ratio sets the");
    for (const std::string& line : lines) EXPECT_LE(canvas.TextWidth(line, 10.5), 80.0) << line;
    EXPECT_EQ(WrapText(canvas, "unbreakable-words-stay-whole", 10.5, 20).size(), 1u);
}
