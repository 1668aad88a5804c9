#pragma once
// "MIDI": the controller table. A row per slot: on/off, the source and the
// channel (a click on the left half steps back, on the right half on), and
// the parameter; the chosen row takes a typed parameter name or learns the
// source of the next controller moved. [main-thread]

#include <string>

#include "gui/Buttons.h"
#include "gui/Controls.h"
#include "gui/EditorServices.h"

namespace gui {

class MIDIPage : public Panel {
public:
    static constexpr double RowHeight = 20;
    enum Column { NumberColumn, OnColumn, SourceColumn, ChannelColumn, ParameterColumn, ColumnCount };

    explicit MIDIPage(MIDIAccess& midi);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    uint64_t Signature() const override;

    Rect ListArea() const { return {bounds_.x + 8, bounds_.y + 54, bounds_.width * 0.62, bounds_.height - 62}; }
    // A cell of a slot's row as drawn now (scrolled).
    Rect CellOf(int32_t slot, Column column) const;
    int32_t ChosenSlot() const { return chosen_; }
    const std::string& Message() const { return message_; }

private:
    MIDIAccess& midi_;
    int32_t firstRow_ = 0, chosen_ = 0;
    std::string message_;
    TextEntry* parameter_;
    Widget *learn_, *enabled_;
};

}  // namespace gui
