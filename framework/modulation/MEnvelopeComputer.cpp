#include "framework/modulation/MEnvelopeComputer.h"

namespace corvane {

void MEnvelopeComputer::Clear() {
    for (int32_t i = 0; i < count_; ++i) items_[i]->~MEnvelopeItem();
    count_ = 0;
}

int32_t MEnvelopeComputer::Find(double x) const {
    // The last item whose start is at or below x; few items, so a binary search is plenty.
    int32_t low = 0, high = count_ - 1;
    while (low < high) {
        const int32_t mid = (low + high + 1) / 2;
        if (items_[mid]->start <= x)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

double MEnvelopeComputer::Value(double x) const { return count_ == 0 ? 0.0 : items_[Find(x)]->Value(x); }

double MEnvelopeComputer::Slope(double x) const { return count_ == 0 ? 0.0 : items_[Find(x)]->Slope(x); }

template <class Out>
void MEnvelopeComputer::FillBlock(Out* out, double first, double step, int32_t count) const {
    if (count_ == 0) {
        for (int32_t i = 0; i < count; ++i) out[i] = 0;
        return;
    }
    int32_t i = 0;
    while (i < count) {
        const double x = BlockPosition(first, step, i);
        const int32_t item = Find(x);
        // How many of the following positions stay before the next item begins.
        int32_t run = 1;
        if (item + 1 < count_) {
            const double next = items_[item + 1]->start;
            while (i + run < count && BlockPosition(first, step, i + run) < next) ++run;
        } else {
            run = count - i;
        }
        items_[item]->Fill(out + i, x, step, run);
        i += run;
    }
}

template void MEnvelopeComputer::FillBlock(float*, double, double, int32_t) const;
template void MEnvelopeComputer::FillBlock(double*, double, double, int32_t) const;

}  // namespace corvane
