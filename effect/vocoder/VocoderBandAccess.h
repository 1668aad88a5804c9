#pragma once
// The vocoder's band matrix, band levels and band graphs as the band
// editors see them. Reads and writes take the effect's lock briefly; the
// matrix and the graphs ask the framework for a rebuild, which the next
// block runs. [main-thread]

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "gui/BandAccess.h"

namespace sonvera {

class VocoderBandAccess : public gui::BandAccess {
public:
    explicit VocoderBandAccess(SonveraAudioEffectPlugin& effect) : effect_(effect) {}

    int32_t BandCount() const override;
    bool Routed(int32_t modulatorBand, int32_t carrierBand) const override;
    void SetRouted(int32_t modulatorBand, int32_t carrierBand, bool on) override;
    std::vector<uint8_t> Routing() const override;
    void SetRouting(const std::vector<uint8_t>& matrix) override;
    double Level(int32_t band) const override;
    void SetLevel(int32_t band, double level) override;
    std::vector<double> Levels() const override;

    int32_t GraphCount() const override { return BandGraphCount; }
    std::string GraphName(int32_t graph) const override;
    Axis GraphAxis(int32_t graph) const override;
    int32_t SelectedGraph() const override { return effect_.SelectedGraph(); }
    void SelectGraph(int32_t graph) override { effect_.SelectGraph(graph); }
    bool GraphEnabled(int32_t graph) const override;
    void SetGraphEnabled(int32_t graph, bool on) override;
    CurveRange GraphRange(int32_t graph) const override;
    int32_t MaxPoints() const override { return corvane::MEnvelope::MaxPoints; }
    std::vector<CurvePoint> Points(int32_t graph) const override;
    void MovePoint(int32_t graph, int32_t point, double x, double y) override;
    int32_t AddPoint(int32_t graph, double x, double y) override;
    void RemovePoint(int32_t graph, int32_t point) override;
    void SetSegment(int32_t graph, int32_t point, int32_t segment) override;
    std::vector<double> Sample(int32_t graph, int32_t count) const override;
    std::vector<std::string> SegmentNames() const override;
    uint64_t Signature() const override;

private:
    // Out-of-range graph or point numbers are ignored: they come from the window system.
    corvane::MEnvelope* GraphAt(int32_t graph) const;
    void RequestRebuild();

    SonveraAudioEffectPlugin& effect_;
};

}  // namespace sonvera
