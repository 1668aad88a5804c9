#include "framework/plugin/HostTransport.h"

#include <algorithm>
#include <cmath>

#include "framework/core/Strings.h"
#include "framework/plugin/MAudioPlugin.h"

namespace corvane {

double BarStartOnGrid(double barStart, int32_t denominator) {
    const int32_t grid = std::max(denominator / 4, 1);
    return RoundHalfUp(grid * barStart) / grid;
}

void TransportFollower::Apply(MAudioPlugin& plugin, const HostTransport* t) {
    MProcessingContext& context = plugin.Context();
    plugin.transportRefresh[0] = plugin.transportRefresh[1] = true;
    if (t == nullptr || !plugin.HostSynchronisation()) {
        // Nothing stale survives: position and tempo read "not given".
        context.ClearTransport();
        plugin.songPosition = 0.0;
        return;
    }
    context.transportValid = true;
    context.samplePosition = t->samplePosition;
    if (t->positionValid) {
        context.songPosition = t->position;
        plugin.songPosition = t->position;
    }
    if (t->tempoValid) {
        context.tempo = t->tempo;
        if (t->tempo > 0.0) plugin.tempo = t->tempo;
    }
    if (t->timeSignatureValid) {
        context.timeSignatureNumerator = t->numerator;
        context.timeSignatureDenominator = t->denominator;
    }
    if (t->barValid) context.barStart = BarStartOnGrid(t->barStart, t->denominator);
    const bool cycle = t->cycleActive && t->cycleEnd - t->cycleStart > 1e-20;
    context.cycleStart = cycle ? t->cycleStart : -1.0;
    context.cycleEnd = cycle ? t->cycleEnd : -1.0;
    playingChanged_ = t->playing != playing_;
    if (t->playing) {
        jumped_ = std::fabs(t->position - previousPosition_) > 2.0;
        previousPosition_ = t->position;
    } else {
        jumped_ = false;
    }
    playing_ = t->playing;
    context.playing = t->playing;
}

}  // namespace corvane
