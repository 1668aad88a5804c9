#pragma once
// A piecewise curve evaluator: items in ascending order of their start, each
// covering x from its start to the next item's. Items live in a fixed pool,
// so rebuilding a curve never allocates (band graphs are rebuilt while
// hosts automate their points).

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "framework/modulation/MEnvelopeItems.h"

namespace corvane {

class MEnvelopeComputer {
public:
    static constexpr int32_t MaxItems = 32;
    // A segment narrower than this holds its end value instead of a fit.
    static constexpr double MinimumWidth = 1e-9;

    MEnvelopeComputer() = default;
    ~MEnvelopeComputer() { Clear(); }
    MEnvelopeComputer(const MEnvelopeComputer&) = delete;
    MEnvelopeComputer& operator=(const MEnvelopeComputer&) = delete;

    void Clear();
    // Appends an item starting at `start` (not below the previous start);
    // false when the pool is full.
    template <class Item>
    bool Add(double start, const Item& item) {
        static_assert(std::is_base_of<MEnvelopeItem, Item>::value, "items derive from MEnvelopeItem");
        static_assert(sizeof(Item) <= SlotSize && alignof(Item) <= alignof(Slot), "item too large for a slot");
        if (count_ >= MaxItems) return false;
        Item* placed = new (slots_[count_].bytes) Item(item);
        placed->start = start;
        items_[count_++] = placed;
        return true;
    }

    int32_t ItemCount() const { return count_; }
    const MEnvelopeItem& ItemAt(int32_t index) const { return *items_[index]; }

    // Below the first item's start the first item extends; no items give 0.
    double Value(double x) const;
    double Slope(double x) const;
    // Values at x = first + step * i; step must not be negative.
    void Fill(float* out, double first, double step, int32_t count) const { FillBlock(out, first, step, count); }
    void Fill(double* out, double first, double step, int32_t count) const { FillBlock(out, first, step, count); }

    // Build the vector twins where there are some.
    bool vectorSwitch = true;

private:
    static constexpr size_t SlotSize = 160;
    struct alignas(16) Slot {
        unsigned char bytes[SlotSize];
    };
    int32_t Find(double x) const;
    template <class Out>
    void FillBlock(Out* out, double first, double step, int32_t count) const;

    Slot slots_[MaxItems];
    MEnvelopeItem* items_[MaxItems] = {};
    int32_t count_ = 0;
};

}  // namespace corvane
