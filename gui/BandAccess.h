#pragma once
// What the band editors need of the effect's per-band settings: the band
// matrix, the band levels and the band graphs. Edits are seen by the
// processing as the effect decides (levels at the next block, the matrix
// and the graphs after its next rebuild). [main-thread]

#include <cstdint>
#include <string>
#include <vector>

namespace gui {

class BandAccess {
public:
    virtual ~BandAccess() = default;
    // The band count of the last rebuild.
    virtual int32_t BandCount() const = 0;

    // matrix[modulator band][carrier band]
    virtual bool Routed(int32_t modulatorBand, int32_t carrierBand) const = 0;
    virtual void SetRouted(int32_t modulatorBand, int32_t carrierBand, bool on) = 0;
    // The whole matrix at once (MaxBands rows of MaxBands, row k first), so
    // that a picture or a reset waits for the effect's lock only once.
    virtual std::vector<uint8_t> Routing() const = 0;
    virtual void SetRouting(const std::vector<uint8_t>& matrix) = 0;

    static constexpr int32_t MaxBands = 100;
    static constexpr double MaxLevel = 2.0;  // levels run 0 .. 2, 1 leaves the band as it is
    virtual double Level(int32_t band) const = 0;
    virtual void SetLevel(int32_t band, double level) = 0;
    // Every band's level at once.
    virtual std::vector<double> Levels() const = 0;

    struct CurvePoint {
        double x = 0, y = 0;
        int32_t segment = 0;  // the shape of the segment that starts here
    };
    struct CurveRange {
        double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    };
    enum class Axis { Frequency, Factor, Offset };
    virtual int32_t GraphCount() const = 0;
    virtual std::string GraphName(int32_t graph) const = 0;
    virtual Axis GraphAxis(int32_t graph) const = 0;
    virtual int32_t SelectedGraph() const = 0;
    virtual void SelectGraph(int32_t graph) = 0;
    virtual bool GraphEnabled(int32_t graph) const = 0;
    virtual void SetGraphEnabled(int32_t graph, bool on) = 0;
    virtual CurveRange GraphRange(int32_t graph) const = 0;
    virtual int32_t MaxPoints() const = 0;
    // The points in ascending x.
    virtual std::vector<CurvePoint> Points(int32_t graph) const = 0;
    // Point edits; x stays between the neighbours', values within the range.
    virtual void MovePoint(int32_t graph, int32_t point, double x, double y) = 0;
    // The new point's index, -1 when the curve has all the points it may have.
    virtual int32_t AddPoint(int32_t graph, double x, double y) = 0;
    // The two end points stay.
    virtual void RemovePoint(int32_t graph, int32_t point) = 0;
    virtual void SetSegment(int32_t graph, int32_t point, int32_t segment) = 0;
    // The curve's values at `count` equally spaced x over its range.
    virtual std::vector<double> Sample(int32_t graph, int32_t count) const = 0;
    virtual std::vector<std::string> SegmentNames() const = 0;

    // A fingerprint of everything above, so the editor redraws when a
    // state, a preset or the host changed it.
    virtual uint64_t Signature() const = 0;
};

}  // namespace gui
