#pragma once
// The uniform face through which hosts, modulators and storage reach every
// parameter: one adapter presents a contiguous run of global indexes.

#include <cstdint>
#include <string>

#include "framework/core/MEventTarget.h"
#include "framework/core/Strings.h"

namespace corvane {

class MParameterRegistry;
class MAudioPluginAutomationAdapter;

// What adapters need of the framework plug-in that owns them.
class MAutomationOwner {
public:
    virtual ~MAutomationOwner() = default;
    virtual MParameterRegistry& Parameters() = 0;
    // [any thread] Tells the host that a parameter moved.
    virtual void AutomateHost(int32_t /*globalIndex*/, double /*value*/) {}
    virtual void NeedUpdateEditor(MAudioPluginAutomationAdapter& /*adapter*/) {}
    // Makes the effect's Update run once before it next processes.
    virtual void SetUpdatePending() {}
};

template <class Base>
class MAudioPluginAutomation : public Base {
public:
    MAutomationOwner* owner = nullptr;
};

class MAudioPluginAutomationAdapter : public MAudioPluginAutomation<MEventTarget> {
public:
    // Slots 3 to 20, after the destructor, the event hook and an empty slot.
    virtual void SetValue(int32_t /*local*/, double /*value*/, bool /*silent*/) {}
    virtual void SetValueIfChanged(int32_t local, double value, bool silent);
    virtual double GetValue(int32_t /*local*/) { return 0.0; }
    virtual std::string GetName(int32_t /*local*/) { return std::string(); }
    virtual std::string GetShortName(int32_t local) { return GetName(local); }
    virtual std::string GetPath(int32_t /*local*/) { return pathPrefix; }
    virtual std::string GetValueName(int32_t /*local*/) { return std::string(); }
    virtual std::string GetValueNameFrom01(int32_t /*local*/, double /*value*/) { return std::string(); }
    virtual double ParseValueName(int32_t local, const std::string& text);
    virtual std::string GetUnitsName(int32_t /*local*/) { return std::string(); }
    virtual bool IsInterpolated(int32_t /*local*/) { return false; }
    virtual void SetInterpolating(int32_t /*local*/, bool /*on*/) {}
    virtual int32_t GetType(int32_t /*local*/) { return 1; }
    virtual double GetDefaultValue(int32_t /*local*/) { return 0.5; }
    virtual void ConnectObjectNotifications() {}
    virtual void ConnectEditor() {}
    virtual bool IsRandomizable() { return true; }
    virtual void Randomize(double amount);

    // The key the parameter is stored under; empty for compound objects.
    virtual std::string GetIdentifier(int32_t /*local*/) { return std::string(); }
    // Whether a typed text means a value at all (a number, an item name ...).
    virtual bool CanParseValueName(int32_t local, const std::string& text);
    // The value the effect reads now: during a ramp, where the ramp (or a
    // write that arrived meanwhile) has put it.
    virtual double GetLiveValue(int32_t local) { return GetValue(local); }
    // For hosts that show more than a short name: a label unique among the
    // parameters (the object's name before the field's), the group it
    // belongs to, and the range of stepped kinds (false for continuous ones).
    virtual std::string GetLabel(int32_t local) { return JoinWords(prefix, GetName(local)); }
    virtual std::string GetCategory(int32_t /*local*/) { return std::string(); }
    // What the parameter does, in the editor's words (with <name> and <value> marks).
    virtual std::string GetHelp(int32_t /*local*/) { return std::string(); }
    virtual bool GetIntegerRange(int32_t /*local*/, int32_t& /*minimum*/, int32_t& /*maximum*/) { return false; }

    // Towards the host; each is guarded with its own label.
    void SendAutomation(int32_t local);
    void SendAutomationValue(int32_t local, double value);
    void SendAutomationValueWithChange(int32_t local, double value);
    void SendAllAutomation();

    int32_t count = 1;
    int32_t base = 0;
    bool hidden = false;
    std::string prefix;
    std::string pathPrefix;
    uint64_t flags = 0;
};

}  // namespace corvane
