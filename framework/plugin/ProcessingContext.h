#pragma once
// Transport information the effect and the modulators receive per sub-block.

namespace corvane {

struct MProcessingContext {
    double tempo = -1.0;         // beats per minute; negative when the host gives none
    double songPosition = -1.0;  // quarter notes; negative when the host gives none
    int timeSignatureNumerator = -1;
    int timeSignatureDenominator = -1;
    double samplePosition = 0.0;
    double barStart = -1.0;    // quarter notes, on the time signature's grid
    double cycleStart = -1.0;  // -1 without a cycle
    double cycleEnd = -1.0;
    bool transportValid = false;
    bool playing = false;

    // The host gave no transport this block (or synchronisation is off).
    void ClearTransport() {
        tempo = songPosition = barStart = cycleStart = cycleEnd = -1.0;
        timeSignatureNumerator = timeSignatureDenominator = -1;
        transportValid = false;
    }
};

}  // namespace corvane
