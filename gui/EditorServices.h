#pragma once
// What an editor's content may use besides the parameters: the plug-in's
// presets and the editor's own size. Either may be missing (a picture of
// the editor has no window to resize). [main-thread]

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/ParameterAccess.h"

namespace gui {

class PresetAccess {
public:
    // Answers a question ("Are you sure ...?") with yes or no.
    using Confirm = std::function<bool(const std::string& question)>;
    virtual ~PresetAccess() = default;
    // "Folder/Name" of every preset in its number's order (reads the preset file).
    virtual std::vector<std::string> List() = 0;
    virtual int32_t Current() const = 0;
    // Each false (logged) when it failed; a refused question is no failure.
    virtual bool Load(int32_t index) = 0;
    virtual bool Step(int32_t delta) = 0;
    virtual bool SaveNew(const std::string& name) = 0;
    virtual bool ReplaceCurrent(const Confirm& confirm) = 0;
    virtual bool DeleteCurrent(const Confirm& confirm) = 0;
};

class ScaleAccess {
public:
    virtual ~ScaleAccess() = default;
    // 1 .. 2: the editor's pixels per logical unit.
    virtual double Scale() const = 0;
    // Resizes the window (asking the host) and keeps the choice as the default size.
    virtual void ChooseScale(double scale) = 0;
};

// The MIDI controller table: each slot maps a source (controllers 0 .. 127,
// then aftertouch, pitch-bend, velocity and note-on velocity) on one
// channel (0 any, else 1 .. 16) to one parameter.
class MIDIAccess {
public:
    static constexpr int32_t SourceCount = 132;
    struct Mapping {
        bool enabled = false;
        int32_t source = 1, channel = 0;
        std::string parameter;  // empty when none is assigned
    };
    virtual ~MIDIAccess() = default;
    virtual int32_t Slots() const = 0;
    virtual Mapping At(int32_t slot) const = 0;
    // The table as a whole.
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual void SetMapping(int32_t slot, const Mapping& mapping) = 0;
    // Assigns the parameter with this name; false when there is none.
    virtual bool Assign(int32_t slot, const std::string& parameter) = 0;
    // The slot listens to the last source the plug-in received; false before any.
    virtual bool Learn(int32_t slot) = 0;
    // "CC 7", "Aftertouch", "Pitch bend", "Velocity", "Note-on velocity".
    static std::string SourceName(int32_t source);
};

// The modulators' and multiparameters' modes and target lists.
class ModulationAccess {
public:
    enum class Owner { Modulator, MultiParameter };
    virtual ~ModulationAccess() = default;
    virtual std::vector<std::string> ModeNames(Owner kind) const = 0;
    virtual int32_t Mode(Owner kind, int32_t owner) const = 0;
    virtual void SetMode(Owner kind, int32_t owner, int32_t mode) = 0;
    // The targets' parameter names in order, empty for one not assigned yet.
    virtual std::vector<std::string> Targets(Owner kind, int32_t owner) const = 0;
    // Each answers what went wrong, or nothing when it worked.
    virtual std::string AddTarget(Owner kind, int32_t owner, const std::string& parameter) = 0;
    virtual std::string RemoveTarget(Owner kind, int32_t owner, int32_t position) = 0;
};

struct EditorServices {
    ParameterAccess& parameters;
    PresetAccess* presets = nullptr;
    ScaleAccess* scale = nullptr;
    MIDIAccess* midi = nullptr;
    ModulationAccess* modulation = nullptr;
};

}  // namespace gui
