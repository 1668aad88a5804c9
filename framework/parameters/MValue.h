#pragma once
// Value objects: bind an editor control or a stored setting to one variable,
// with range, default, steps, a 0..1 travel, text and parsing.

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/storage/MStorable.h"
#include "framework/storage/MXMLItem.h"

namespace corvane {

class MValue : public MStorable {
public:
    // Same contract as a descriptor's display callback: an empty input asks
    // for the text, anything else is parsed and stored.
    using TextCallback = std::function<std::string(MValue& value, const std::string& input)>;
    using ChangeHook = std::function<void(MValue& value)>;

    ~MValue() override = default;

    virtual std::string ToString() const = 0;
    virtual void FromString(const std::string& text) = 0;
    virtual bool ResetToDefault() = 0;
    virtual void Store(MXMLItem& node) const = 0;
    virtual void Load(const MXMLItem& node);
    virtual void LoadAttributes(const MXMLItem& item) = 0;
    virtual const char* ClassName() const = 0;
    virtual std::string GetDisplayText();
    virtual std::string GetText() const = 0;
    virtual std::vector<std::string> GetTextList() const;
    virtual std::string GetTextFor(double value) const = 0;
    virtual bool SetText(const std::string& text);
    virtual bool ParseText(const std::string& text) = 0;
    virtual bool Clamp() = 0;
    virtual bool IncrementAccelerated(int steps, int acceleration) = 0;
    virtual bool Increment(int steps) = 0;
    virtual double Get01() const = 0;
    virtual bool Set01(double x) = 0;
    virtual int32_t GetDiscreteCount() const { return 0; }
    virtual std::string GetDiscreteText(int32_t index, int32_t count) const;
    virtual int32_t Reserved() { return 0; }
    virtual bool SetDiscrete(int32_t index);

    bool changed = false;
    TextCallback textCallback;
    ChangeHook changeHook;

protected:
    void NotifyChange() {
        if (changeHook) changeHook(*this);
    }
};

// A number in a range: double, float, 32-bit, 64-bit or 16-bit integer.
template <class T>
class MValueNumberT : public MValue {
    static_assert(std::is_arithmetic<T>::value, "numbers only");

public:
    MValueNumberT(T& variable, T minimum, T maximum, T defaultValue, T increment = T(1), std::string format = "")
        : minimum(minimum),
          maximum(maximum),
          increment(increment),
          maximumIncrement(increment),
          defaultValue(defaultValue),
          format(format.empty() && std::is_integral<T>::value ? "{0}" : std::move(format)),
          variable_(&variable) {}

    std::string ToString() const override;
    void FromString(const std::string& text) override;
    bool ResetToDefault() override;
    void Store(MXMLItem& node) const override;
    void LoadAttributes(const MXMLItem& item) override;
    const char* ClassName() const override { return "MValueNumber"; }
    std::string GetText() const override { return GetTextFor(static_cast<double>(*variable_)); }
    std::string GetTextFor(double value) const override;
    bool ParseText(const std::string& text) override;
    bool Clamp() override;
    bool IncrementAccelerated(int steps, int acceleration) override;
    bool Increment(int steps) override;
    double Get01() const override;
    bool Set01(double x) override;

    T& Variable() const { return *variable_; }
    void Assign(double value);

    T minimum, maximum;
    T increment, maximumIncrement;
    T defaultValue;
    std::string format;

protected:
    // Stores, clamps, runs the change hook; true when the variable moved.
    bool SetAndNotify(double value);
    bool MoveBy(double delta);

private:
    T* variable_;
};

using MValueDouble = MValueNumberT<double>;
using MValueFloat = MValueNumberT<float>;
using MValueInt = MValueNumberT<int32_t>;
using MValueInt64 = MValueNumberT<int64_t>;
using MValueInt16 = MValueNumberT<int16_t>;

extern template class MValueNumberT<double>;
extern template class MValueNumberT<float>;
extern template class MValueNumberT<int32_t>;
extern template class MValueNumberT<int64_t>;
extern template class MValueNumberT<int16_t>;

}  // namespace corvane
