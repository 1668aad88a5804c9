#pragma once
// The host's transport as any adapter reads it before a block, and the
// follower that turns it into the processing context: "not given" when the
// host says nothing, position jumps and playing-state changes.

#include <cstdint>

namespace corvane {

class MAudioPlugin;

struct HostTransport {
    bool positionValid = false, tempoValid = false, timeSignatureValid = false, barValid = false;
    bool cycleActive = false, playing = false;
    double position = 0.0;  // quarter notes
    double tempo = 0.0;     // beats per minute
    int32_t numerator = 4, denominator = 4;
    double barStart = 0.0;  // quarter notes, as the host gives it
    double cycleStart = 0.0, cycleEnd = 0.0;
    double samplePosition = 0.0;
};

// The bar start on the grid of the time signature's denominator.
double BarStartOnGrid(double barStart, int32_t denominator);

// [audio-thread]
class TransportFollower {
public:
    // Null: the host gave no transport this block.
    void Apply(MAudioPlugin& plugin, const HostTransport* transport);
    bool Jumped() const { return jumped_; }
    bool PlayingChanged() const { return playingChanged_; }

private:
    double previousPosition_ = 0.0;
    bool playing_ = false;
    bool jumped_ = false;
    bool playingChanged_ = false;
};

}  // namespace corvane
