#pragma once
// Host parameters of an envelope: per point "Point {0} X", "Point {0} Y",
// "Point {0} curvature", "Point {0} smoothness".

#include <string>

#include "framework/modulation/MEnvelope.h"
#include "framework/parameters/Format.h"
#include "framework/parameters/ParameterAdapters.h"

namespace corvane {

// Root of compound parameters: several host parameters for one object.
class ParameterSpecialMainBase : public ParameterMainBase {
public:
    // The object's name leads the path, so identifiers stay unique per object.
    std::string GetPath(int32_t /*local*/) override { return JoinTexts(JoinTexts(pathPrefix, path), name); }
    // "Graph Attack Point 1 X": the object's name keeps the fields apart.
    std::string GetLabel(int32_t local) override { return JoinWords(JoinWords(prefix, name), GetName(local)); }
    std::string GetCategory(int32_t /*local*/) override { return name; }
};

template <class Object>
class ParameterSpecialBase : public ParameterSpecialMainBase {
public:
    static constexpr bool OwnedByEffect = true;
    Object* object = nullptr;
};

template <class Object>
class ParameterSpecialBaseCustom : public ParameterSpecialMainBase {
public:
    static constexpr bool OwnedByEffect = false;
    Object* object = nullptr;
    void* editorLink = nullptr;
};

using ParameterEnvelopeBase_EnvelopeT = ParameterSpecialBase<MEnvelope>;
using ParameterEnvelopeBase_GraphT = ParameterSpecialBase<MEnvelopeGraph>;

// Point k's fields at local indexes 4k .. 4k + 3, normalised: X and Y over
// the curve's range, curvature -1 .. 1 as 0 .. 1, smoothness as it is.
class ParameterEnvelopeAccess {
public:
    static constexpr int32_t FieldsPerPoint = 4;
    static std::string FieldName(int32_t local);
    static double Read(MEnvelope& envelope, int32_t local);
    // From the envelope's default shape: what a host's reset to default restores.
    static double Default(MEnvelope& envelope, int32_t local);
    // False when the point does not exist (writes to it are ignored).
    static bool Write(MEnvelope& envelope, int32_t local, double value);
    // The field's physical value for a normalised one, as text.
    static std::string Text(MEnvelope& envelope, int32_t local, double value);
};

template <class Base>
class ParameterEnvelopeT : public Base {
public:
    ParameterEnvelopeT() { this->count = MEnvelope::MaxPoints * ParameterEnvelopeAccess::FieldsPerPoint; }

    std::string GetName(int32_t local) override { return ParameterEnvelopeAccess::FieldName(local); }
    double GetValue(int32_t local) override {
        return this->object != nullptr ? ParameterEnvelopeAccess::Read(*this->object, local) : 0.0;
    }
    void SetValue(int32_t local, double value, bool silent) override {
        if (this->object == nullptr || !ParameterEnvelopeAccess::Write(*this->object, local, value)) return;
        if (this->owner == nullptr) return;
        // The effect reads its own curves in Update; the framework's are read per block.
        if (Base::OwnedByEffect) this->owner->SetUpdatePending();
        if (!silent) this->owner->NeedUpdateEditor(*this);
    }
    double GetDefaultValue(int32_t local) override {
        return this->object != nullptr ? ParameterEnvelopeAccess::Default(*this->object, local) : 0.0;
    }
    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    std::string GetValueNameFrom01(int32_t local, double value) override;
};

template <class Base>
std::string ParameterEnvelopeT<Base>::GetValueNameFrom01(int32_t local, double value) {
    return this->object != nullptr ? ParameterEnvelopeAccess::Text(*this->object, local, value) : std::string();
}

}  // namespace corvane
