#pragma once
// What a control needs of a parameter: its normalised value, texts and
// default, and the host's gesture around an edit (begin, values, end), so
// that an edit in the editor reaches the host like its own automation.

#include <cstdint>
#include <string>

namespace gui {

class ParameterAccess {
public:
    virtual ~ParameterAccess() = default;
    // The index of the parameter with this label, -1 when there is none.
    virtual int32_t Find(const std::string& label) const = 0;
    virtual std::string Name(int32_t index) const = 0;
    // What the parameter does; may carry <name>, <value> and <p> marks.
    virtual std::string Help(int32_t /*index*/) const { return std::string(); }
    virtual double Value(int32_t index) const = 0;  // 0..1
    virtual double Default(int32_t index) const = 0;
    // Distinct values (an integer or a list parameter), 0 for a continuous one.
    virtual int32_t Steps(int32_t index) const = 0;
    // The value as the host shows it ("3.00 semitones").
    virtual std::string Text(int32_t index) const = 0;
    // A typed value ("-6 dB"); false when it cannot be read.
    virtual bool SetText(int32_t index, const std::string& text) = 0;
    virtual void BeginEdit(int32_t index) = 0;
    virtual void SetValue(int32_t index, double value) = 0;
    virtual void EndEdit(int32_t index) = 0;

    // The editor's level displays: the peak (linear) since the last look.
    enum Meter { CarrierLevel, ModulatorLevel, OutputLevel };
    virtual double TakeLevel(Meter /*meter*/) { return 0.0; }
};

}  // namespace gui
