#include "gui/MIDIPage.h"

#include <algorithm>
#include <cmath>

#include "gui/Style.h"
#include "gui/Tooltip.h"

namespace gui {

namespace {

// Column edges as fractions of the list's width.
constexpr double ColumnEdges[MIDIPage::ColumnCount + 1] = {0.0, 0.07, 0.15, 0.45, 0.62, 1.0};
constexpr const char* ColumnTitles[MIDIPage::ColumnCount] = {"#", "On", "Source", "Channel", "Parameter"};

std::string ChannelName(int32_t channel) { return channel == 0 ? "Any" : std::to_string(channel); }

}  // namespace

std::string MIDIAccess::SourceName(int32_t source) {
    if (source >= 0 && source < 128) return "CC " + std::to_string(source);
    switch (source) {
        case 128:
            return "Aftertouch";
        case 129:
            return "Pitch bend";
        case 130:
            return "Velocity";
        case 131:
            return "Note-on velocity";
        default:
            return "?";
    }
}

MIDIPage::MIDIPage(MIDIAccess& midi) : Panel("MIDI controllers"), midi_(midi) {
    enabled_ = &Make<Toggle>(
        "Controllers on", [this] { return midi_.Enabled(); }, [this](bool on) { midi_.SetEnabled(on); },
        "Switches the whole table: while off, MIDI controllers move nothing.");
    parameter_ = &Make<TextEntry>("Parameter name, then Enter", [this](const std::string& name) {
        message_ = midi_.Assign(chosen_, name) ? "Slot " + std::to_string(chosen_ + 1) + " moves \"" + name + "\"."
                                               : "There is no parameter \"" + name + "\".";
        parameter_->Clear();
    });
    learn_ = &Make<Button>(
        "Learn",
        [this] {
            message_ = midi_.Learn(chosen_) ? "Slot " + std::to_string(chosen_ + 1) + " listens to the last source."
                                            : "Move a controller first: nothing has arrived yet.";
        },
        "The chosen slot takes the source and channel of the last MIDI controller that arrived.");
}

void MIDIPage::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    const double left = ListArea().Right() + 16, width = bounds.Right() - left - 10;
    enabled_->SetBounds({bounds.x + 8, bounds.y + 26, 200, 24});
    parameter_->SetBounds({left, bounds.y + 84, width, 30});
    learn_->SetBounds({left, bounds.y + 120, width, 30});
}

Rect MIDIPage::CellOf(int32_t slot, Column column) const {
    const Rect list = ListArea();
    const double y = list.y + RowHeight + (slot - firstRow_) * RowHeight;
    return {list.x + list.width * ColumnEdges[column], y, list.width * (ColumnEdges[column + 1] - ColumnEdges[column]),
            RowHeight};
}

void MIDIPage::Draw(Canvas& canvas) {
    Panel::Draw(canvas);
    const Style& style = Style::Current();
    const Rect list = ListArea();
    canvas.FillRect(list, style.background);
    for (int32_t c = 0; c < ColumnCount; ++c) {
        const Rect cell = CellOf(firstRow_, static_cast<Column>(c));
        canvas.Text({cell.x + 6, list.y, cell.width - 6, RowHeight}, ColumnTitles[c], style.labelSize, style.accent);
    }
    canvas.PushClip({list.x, list.y + RowHeight, list.width, list.height - RowHeight});
    for (int32_t slot = firstRow_; slot < midi_.Slots(); ++slot) {
        const Rect row = CellOf(slot, NumberColumn);
        if (row.y >= list.Bottom()) break;
        const MIDIAccess::Mapping mapping = midi_.At(slot);
        if (slot == chosen_) canvas.FillRect({list.x, row.y, list.width, RowHeight}, style.panelEdge);
        const Color text = mapping.enabled ? style.text : style.dimText;
        const auto cell = [&](Column column) { return CellOf(slot, column); };
        canvas.Text({row.x + 6, row.y, row.width - 6, RowHeight}, std::to_string(slot + 1), style.valueSize,
                    style.dimText);
        const Rect on = cell(OnColumn);
        canvas.FillCircle(on.x + 12, on.y + RowHeight / 2, 4.5,
                          mapping.enabled ? style.accent : style.dimText.WithAlpha(90));
        canvas.Text({cell(SourceColumn).x + 6, row.y, cell(SourceColumn).width - 6, RowHeight},
                    "\u2039 " + MIDIAccess::SourceName(mapping.source) + " \u203A", style.valueSize, text);
        canvas.Text({cell(ChannelColumn).x + 6, row.y, cell(ChannelColumn).width - 6, RowHeight},
                    "\u2039 " + ChannelName(mapping.channel) + " \u203A", style.valueSize, text);
        canvas.Text({cell(ParameterColumn).x + 6, row.y, cell(ParameterColumn).width - 6, RowHeight},
                    mapping.parameter.empty() ? "(none)" : mapping.parameter, style.valueSize, text);
    }
    canvas.PopClip();
    const double left = list.Right() + 16, width = bounds_.Right() - left - 10;
    canvas.Text({left, bounds_.y + 58, width, 18}, "Slot " + std::to_string(chosen_ + 1), style.labelSize + 1,
                style.pointer);
    double y = bounds_.y + 166;
    for (const std::string& line : WrapText(canvas, message_, style.labelSize, width)) {
        canvas.Text({left, y, width, 16}, line, style.labelSize, style.dimText);
        y += 16;
    }
}

bool MIDIPage::MouseDown(const MouseEvent& event) {
    const Rect list = ListArea();
    if (!list.Contains(event.x, event.y) || event.y < list.y + RowHeight) return Panel::MouseDown(event);
    const int32_t slot = firstRow_ + static_cast<int32_t>((event.y - list.y - RowHeight) / RowHeight);
    if (slot < 0 || slot >= midi_.Slots()) return false;
    chosen_ = slot;
    MIDIAccess::Mapping mapping = midi_.At(slot);
    const auto inside = [&](Column column) { return CellOf(slot, column).Contains(event.x, event.y); };
    const auto direction = [&](Column column) {
        const Rect cell = CellOf(slot, column);
        return event.x < cell.x + cell.width / 2 ? -1 : 1;
    };
    if (inside(OnColumn)) {
        mapping.enabled = !mapping.enabled;
    } else if (inside(SourceColumn)) {
        mapping.source = (mapping.source + direction(SourceColumn) + MIDIAccess::SourceCount) % MIDIAccess::SourceCount;
    } else if (inside(ChannelColumn)) {
        mapping.channel = (mapping.channel + direction(ChannelColumn) + 17) % 17;
    } else {
        return false;  // choosing the row is all
    }
    midi_.SetMapping(slot, mapping);
    return false;
}

bool MIDIPage::Wheel(const MouseEvent& event, double steps) {
    if (!ListArea().Contains(event.x, event.y)) return false;
    const auto rows = static_cast<int32_t>(ListArea().height / RowHeight) - 1;
    firstRow_ =
        std::clamp(firstRow_ - static_cast<int32_t>(std::lround(steps * 3)), 0, std::max(midi_.Slots() - rows, 0));
    return true;
}

uint64_t MIDIPage::Signature() const {
    uint64_t hash = static_cast<uint64_t>(midi_.Enabled());
    for (int32_t slot = 0; slot < midi_.Slots(); ++slot) {
        const MIDIAccess::Mapping m = midi_.At(slot);
        hash = hash * 1099511628211ull + static_cast<uint64_t>(m.enabled) + 2u * static_cast<uint64_t>(m.source) +
               512u * static_cast<uint64_t>(m.channel) + std::hash<std::string>()(m.parameter);
    }
    return hash;
}

}  // namespace gui
