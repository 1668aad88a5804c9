// The MIDI tables' stored form: "Controllers" with "Controller0" ..
// "Controller31" and "NoteControllers" with "NoteController0" ..; a slot is
// written only while it is enabled. Loaded values are limited to their ranges.

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/DiagnosticLog.h"
#include "framework/modulation/MIDIControllers.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

namespace {

int32_t Within(int32_t value, int32_t low, int32_t high) { return std::min(std::max(value, low), high); }
double Unit(double value, double fallback) {
    return std::isfinite(value) ? std::min(std::max(value, 0.0), 1.0) : fallback;
}

void StoreTarget(MStoreContext& c, int32_t& index, MLFO::ParameterNames& names) {
    std::string name = c.storing && index >= 0 ? names.NameOf(index) : std::string();
    c.Text("ParameterName", name);
    if (c.storing) return;
    index = name.empty() ? -1 : names.IndexOf(name);
    if (!name.empty() && index < 0)
        DiagnosticLog::Write("A MIDI controller names no parameter of this plug-in: \"" + name + "\".");
}

void StoreSlot(MStoreContext& c, MIDIControllerSlot& s, MLFO::ParameterNames& names) {
    c.Boolean("Enabled", s.enabled, StorePolicy::DefaultElided, false);
    StoreTarget(c, s.index, names);
    c.Real("Value", s.range.value, StorePolicy::DefaultElided, 0.0);
    c.Real("MaxValue", s.range.maxValue, StorePolicy::DefaultElided, 0.0);
    c.Real("Range", s.range.range, StorePolicy::DefaultElided, 1.0);
    c.Integer("Channel", s.channel, StorePolicy::DefaultElided, 0);
    c.Integer("Controller", s.controller, StorePolicy::DefaultElided, 1);
    c.IntegerWithLoadDefault("FullRange", s.range.mode, RangeUpOnly);
    c.Boolean("Invert", s.invert, StorePolicy::DefaultElided, false);
    if (c.storing) return;
    s.range.value = Unit(s.range.value, 0.0);
    s.range.maxValue = Unit(s.range.maxValue, 0.0);
    s.range.range = Unit(s.range.range, 1.0);
    s.channel = Within(s.channel, 0, 16);
    s.controller = Within(s.controller, 0, SourceCount - 1);
}

void StoreSlot(MStoreContext& c, NoteControllerSlot& s, MLFO::ParameterNames& names) {
    c.Boolean("Enabled", s.enabled, StorePolicy::DefaultElided, false);
    StoreTarget(c, s.index, names);
    if (!c.storing) s.mode = NoteLogarithmic;
    c.Enumeration("Mode", s.mode, NoteControllerModeNames, 6);
    if (!c.storing && c.item.FindAttribute("Logarithmic") != nullptr) {
        int32_t logarithmic = 0;
        c.Integer("Logarithmic", logarithmic, StorePolicy::AlwaysWritten);  // states from before the modes
        s.mode = logarithmic != 0 ? NoteLogarithmic : NoteLinear;
    }
    c.Integer("Channel", s.channel, StorePolicy::DefaultElided, 0);
    c.Integer("Note", s.note, StorePolicy::DefaultElided, 48);
    c.Real("Value", s.minimum, StorePolicy::DefaultElided, 0.0);
    c.Real("MaxValue", s.maximum, StorePolicy::DefaultElided, 1.0);
    if (c.storing) return;
    s.channel = Within(s.channel, 0, 16);
    s.note = Within(s.note, 0, 127);
    s.minimum = Unit(s.minimum, 0.0);
    s.maximum = Unit(s.maximum, 1.0);
}

// Slots in use are written; on load a missing slot element clears its switch.
template <class Slot>
void StoreTable(MStoreContext& context, const char* table, const char* prefix, Slot (&slots)[MIDIControllers::Slots],
                MLFO::ParameterNames& names) {
    MXMLItem* element = context.Child(table);
    if (element == nullptr) {
        for (Slot& slot : slots) slot.enabled = false;
        return;
    }
    for (int32_t i = 0; i < MIDIControllers::Slots; ++i) {
        const std::string name = prefix + std::to_string(i);
        if (context.storing) {
            if (slots[i].enabled) {
                MStoreContext child(true, element->GetOrAddSubItem(name));
                StoreSlot(child, slots[i], names);
            } else {
                element->RemoveSubItem(name);
            }
        } else if (MXMLItem* child = element->FindSubItem(name)) {
            slots[i] = Slot();
            MStoreContext childContext(false, *child);
            StoreSlot(childContext, slots[i], names);
        } else {
            slots[i].enabled = false;
        }
    }
}

}  // namespace

void MIDIControllers::Store(MStoreContext& context, MLFO::ParameterNames& names) {
    StoreTable(context, "Controllers", "Controller", controllers, names);
    StoreTable(context, "NoteControllers", "NoteController", notes, names);
}

}  // namespace corvane
