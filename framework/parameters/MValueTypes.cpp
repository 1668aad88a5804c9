#include "framework/parameters/MValueTypes.h"

#include <algorithm>
#include <cmath>

#include "framework/core/Strings.h"

namespace corvane {

namespace ValueClassNames {
const char Percents[] = "MValuePercents";
const char Volume[] = "MValueVolume";
const char Pan[] = "MValuePan";
const char TimeMS[] = "MValueTimeMS";
const char FrequencyLinear[] = "MValueFrequencyLinear";
const char DegreesFrom01[] = "MValueDegreesFrom01";
}  // namespace ValueClassNames

std::string FrequencyOfLogText(double log10Hertz) { return FrequencyText(std::pow(10.0, log10Hertz)); }

bool MValueNumberTravel::Increment(int steps) { return Set01(std::min(std::max(Get01() + steps * 0.001, 0.0), 1.0)); }

double MValueFrequency::Get01() const {
    if (maximum == minimum) return 1.0;
    const double low = std::log10(minimum);
    const double high = std::log10(maximum);
    return (std::log10(Variable()) - low) / (high - low);
}

bool MValueFrequency::Set01(double x) {
    const double low = std::log10(minimum);
    const double high = std::log10(maximum);
    return SetAndNotify(std::pow(10.0, low + (high - low) * x));
}

void MValueStepDouble::SetStep(double step) {
    // A zero step would divide by zero: treat it as "no step".
    step_ = step;
    reciprocal_ = step != 0.0 ? 1.0 / step : 0.0;
}

void MValueStepDouble::LoadAttributes(const MXMLItem& item) {
    MValueDouble::LoadAttributes(item);
    if (const std::string* text = item.FindAttribute("step")) SetStep(ParseDouble(*text));
}

bool MValueStepDouble::Clamp() {
    bool acted = false;
    if (step_ != 0.0) {
        const double rounded = RoundHalfUp(Variable() * reciprocal_) * step_;
        if (rounded != Variable()) {
            Variable() = rounded;
            changed = true;
            acted = true;
        }
    }
    return MValueDouble::Clamp() || acted;
}

MValueItemsBase::MValueItemsBase(int32_t& index, std::vector<std::string> items, int32_t defaultIndex)
    : defaultIndex(defaultIndex), index_(&index), items_(std::move(items)) {}

std::string MValueItemsBase::ItemText(int32_t index) const {
    if (index < 0 || index >= ItemCount()) return std::string();
    return items_[static_cast<size_t>(index)];
}

int32_t MValueItemsBase::TravelIndex(double position) {
    if (std::isnan(position)) return 0;
    return static_cast<int32_t>(std::max(-1.0, std::min(position, 1e9)));
}

int32_t MValueItemsBase::IndexOfText(const std::string& text) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) return static_cast<int32_t>(i);
    return -1;
}

// Enumerations are stored by their item names; older texts may hold the index.
std::string MValueItemsBase::ToString() const { return ItemText(*index_); }

void MValueItemsBase::FromString(const std::string& text) {
    const int32_t found = IndexOfText(text);
    *index_ = found >= 0 ? found : static_cast<int32_t>(ParseInteger(text));
}

bool MValueItemsBase::ResetToDefault() {
    const int32_t before = *index_;
    *index_ = defaultIndex;
    changed = true;
    Clamp();
    return *index_ != before;
}

void MValueItemsBase::Store(MXMLItem& node) const { node.SetAttribute(Identifier(), ToString()); }

void MValueItemsBase::LoadAttributes(const MXMLItem& item) {
    if (const std::string* id = item.FindAttribute("id")) SetIdentifier(*id);
    const std::string* defaultText = item.FindAttribute("default");
    if (defaultText != nullptr) {
        FromString(*defaultText);
        defaultIndex = *index_;
    }
    if (const std::string* text = item.FindAttribute("value")) {
        FromString(*text);
        if (defaultText == nullptr) defaultIndex = *index_;
    }
    Clamp();
}

bool MValueItemsBase::ParseText(const std::string& text) {
    FromString(text);
    changed = true;
    return true;
}

bool MValueItemsBase::Clamp() {
    const int32_t limited = std::max(0, std::min(*index_, ItemCount() - 1));
    if (limited == *index_) return false;
    *index_ = limited;
    changed = true;
    return true;
}

bool MValueItemsBase::SetIndexAndNotify(int64_t index) {
    const int32_t before = *index_;
    *index_ = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(index, INT32_MAX)));
    Clamp();
    NotifyChange();
    const bool moved = *index_ != before;
    if (moved) changed = true;
    return moved;
}

bool MValueItemsBase::IncrementAccelerated(int steps, int /*acceleration*/) { return Increment(steps); }

bool MValueItemsBase::Increment(int steps) { return SetIndexAndNotify(static_cast<int64_t>(*index_) + steps); }

bool MValueItemsBase::Set01(double x) { return SetIndexAndNotify(IndexFor(x)); }

std::string MValueItemsBase::GetDiscreteText(int32_t index, int32_t /*count*/) const { return ItemText(index); }

double MValueList::Get01() const { return ItemCount() > 1 ? static_cast<double>(*index_) / (ItemCount() - 1) : 0.0; }

int32_t MValueList::IndexFor(double x) const { return TravelIndex((ItemCount() - 1) * x + 0.5); }

double MValueScaleT::Get01() const {
    const double x = wrapped_.Get01();
    return power_ == 2 ? std::sqrt(x) : std::sqrt(std::sqrt(x));
}

bool MValueScaleT::Set01(double x) {
    const double squared = x * x;
    return wrapped_.Set01(power_ == 2 ? squared : squared * squared);
}

}  // namespace corvane
