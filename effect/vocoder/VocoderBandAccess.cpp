#include "effect/vocoder/VocoderBandAccess.h"

#include <algorithm>
#include <cstring>

#include "framework/core/MLock.h"

namespace sonvera {

using namespace corvane;

namespace {

bool ValidBand(int32_t band) { return band >= 0 && band < MaxBands; }

// A curve's points as one editable list, under the curve's own lock.
std::vector<MEnvelope::Point> PointsOf(MEnvelope& graph) {
    MLock hold(graph.Lock());
    std::vector<MEnvelope::Point> points(static_cast<size_t>(graph.PointCount()));
    for (size_t i = 0; i < points.size(); ++i) points[i] = graph.PointAt(static_cast<int32_t>(i));
    return points;
}

}  // namespace

int32_t VocoderBandAccess::BandCount() const {
    MLock hold(effect_.Lock());
    return effect_.Bank().bandCount;
}

bool VocoderBandAccess::Routed(int32_t modulatorBand, int32_t carrierBand) const {
    if (!ValidBand(modulatorBand) || !ValidBand(carrierBand)) return false;
    MLock hold(effect_.Lock());
    return effect_.Matrix(modulatorBand, carrierBand);
}

void VocoderBandAccess::SetRouted(int32_t modulatorBand, int32_t carrierBand, bool on) {
    if (!ValidBand(modulatorBand) || !ValidBand(carrierBand)) return;
    {
        MLock hold(effect_.Lock());
        effect_.SetMatrix(modulatorBand, carrierBand, on);
    }
    RequestRebuild();
}

std::vector<uint8_t> VocoderBandAccess::Routing() const {
    std::vector<uint8_t> matrix(static_cast<size_t>(MaxBands) * MaxBands);
    MLock hold(effect_.Lock());
    std::memcpy(matrix.data(), effect_.MatrixBytes(), matrix.size());
    return matrix;
}

void VocoderBandAccess::SetRouting(const std::vector<uint8_t>& matrix) {
    if (matrix.size() != static_cast<size_t>(MaxBands) * MaxBands) return;
    {
        MLock hold(effect_.Lock());
        for (int32_t k = 0; k < MaxBands; ++k)
            for (int32_t b = 0; b < MaxBands; ++b)
                effect_.SetMatrix(k, b, matrix[static_cast<size_t>(k) * MaxBands + b] != 0);
    }
    RequestRebuild();
}

std::vector<double> VocoderBandAccess::Levels() const {
    MLock hold(effect_.Lock());
    return std::vector<double>(effect_.BandLevels(), effect_.BandLevels() + MaxBands);
}

double VocoderBandAccess::Level(int32_t band) const {
    if (!ValidBand(band)) return 0.0;
    MLock hold(effect_.Lock());
    return effect_.BandLevels()[band];
}

void VocoderBandAccess::SetLevel(int32_t band, double level) {
    if (!ValidBand(band)) return;
    {
        MLock hold(effect_.Lock());
        effect_.BandLevel(band) = std::clamp(level, 0.0, MaxLevel);
    }
    RequestRebuild();
}

std::string VocoderBandAccess::GraphName(int32_t graph) const {
    return graph >= 0 && graph < BandGraphCount ? BandGraphNames[graph] : std::string();
}

gui::BandAccess::Axis VocoderBandAccess::GraphAxis(int32_t graph) const {
    switch (graph) {
        case GraphBandDistributionCar:
        case GraphBandDistributionMod:
            return Axis::Frequency;
        case GraphResonanceCar:
        case GraphResonanceMod:
        case GraphRatio:
        case GraphWhitening:
            return Axis::Offset;
        default:
            return Axis::Factor;
    }
}

bool VocoderBandAccess::GraphEnabled(int32_t graph) const {
    if (GraphAt(graph) == nullptr) return false;
    MLock hold(effect_.Lock());
    return effect_.GraphEnabled(graph);
}

void VocoderBandAccess::SetGraphEnabled(int32_t graph, bool on) {
    if (GraphAt(graph) == nullptr) return;
    {
        MLock hold(effect_.Lock());
        effect_.SetGraphEnabled(graph, on);
    }
    RequestRebuild();
}

gui::BandAccess::CurveRange VocoderBandAccess::GraphRange(int32_t graph) const {
    const MEnvelope* curve = GraphAt(graph);
    if (curve == nullptr) return {};
    const MEnvelope::Range& range = curve->GetRange();
    return {range.xMin, range.xMax, range.yMin, range.yMax};
}

std::vector<gui::BandAccess::CurvePoint> VocoderBandAccess::Points(int32_t graph) const {
    std::vector<CurvePoint> points;
    if (MEnvelope* curve = GraphAt(graph))
        for (const MEnvelope::Point& point : PointsOf(*curve)) points.push_back({point.x, point.y, point.segmentType});
    return points;
}

void VocoderBandAccess::MovePoint(int32_t graph, int32_t point, double x, double y) {
    MEnvelope* curve = GraphAt(graph);
    if (curve == nullptr) return;
    std::vector<MEnvelope::Point> points = PointsOf(*curve);
    const auto count = static_cast<int32_t>(points.size());
    if (point < 0 || point >= count) return;
    // The ends keep their x: the curve always spans every band.
    const MEnvelope::Range& range = curve->GetRange();
    if (point == 0)
        x = range.xMin;
    else if (point == count - 1)
        x = range.xMax;
    else
        x = std::clamp(x, points[point - 1].x, points[point + 1].x);
    points[point].x = x;
    points[point].y = y;
    curve->SetPoint(point, points[point]);
    RequestRebuild();
}

int32_t VocoderBandAccess::AddPoint(int32_t graph, double x, double y) {
    MEnvelope* curve = GraphAt(graph);
    if (curve == nullptr) return -1;
    std::vector<MEnvelope::Point> points = PointsOf(*curve);
    if (static_cast<int32_t>(points.size()) >= MEnvelope::MaxPoints || points.size() < 2) return -1;
    const MEnvelope::Range& range = curve->GetRange();
    MEnvelope::Point added;
    added.x = std::clamp(x, range.xMin, range.xMax);
    added.y = y;
    // Between the ends, and after the points at the same x.
    auto at = std::upper_bound(points.begin() + 1, points.end() - 1, added.x,
                               [](double value, const MEnvelope::Point& p) { return value < p.x; });
    added.segmentType = (at - 1)->segmentType;
    const auto index = static_cast<int32_t>(at - points.begin());
    points.insert(at, added);
    curve->SetPoints(points.data(), static_cast<int32_t>(points.size()));
    RequestRebuild();
    return index;
}

void VocoderBandAccess::RemovePoint(int32_t graph, int32_t point) {
    MEnvelope* curve = GraphAt(graph);
    if (curve == nullptr) return;
    std::vector<MEnvelope::Point> points = PointsOf(*curve);
    if (point <= 0 || point >= static_cast<int32_t>(points.size()) - 1) return;
    points.erase(points.begin() + point);
    curve->SetPoints(points.data(), static_cast<int32_t>(points.size()));
    RequestRebuild();
}

void VocoderBandAccess::SetSegment(int32_t graph, int32_t point, int32_t segment) {
    MEnvelope* curve = GraphAt(graph);
    if (curve == nullptr || segment < 0 || segment >= SegmentTypeCount) return;
    std::vector<MEnvelope::Point> points = PointsOf(*curve);
    if (point < 0 || point >= static_cast<int32_t>(points.size())) return;
    points[point].segmentType = segment;
    curve->SetPoint(point, points[point]);
    RequestRebuild();
}

std::vector<double> VocoderBandAccess::Sample(int32_t graph, int32_t count) const {
    std::vector<double> values(static_cast<size_t>(std::max(count, 0)));
    if (MEnvelope* curve = GraphAt(graph); curve != nullptr && count > 1) curve->Sample(count, values.data());
    return values;
}

std::vector<std::string> VocoderBandAccess::SegmentNames() const {
    return std::vector<std::string>(SegmentTypeNames, SegmentTypeNames + SegmentTypeCount);
}

uint64_t VocoderBandAccess::Signature() const {
    // Copied under the lock, hashed outside it.
    struct Snapshot {
        int32_t bands = 0, selected = 0;
        uint8_t enabled[BandGraphCount] = {};
        double levels[MaxBands] = {};
        uint8_t matrix[MaxBands * MaxBands] = {};
    };
    static thread_local Snapshot snapshot;
    {
        MLock hold(effect_.Lock());
        snapshot.bands = std::clamp(effect_.Bank().bandCount, 0, MaxBands);
        snapshot.selected = effect_.SelectedGraph();
        for (int32_t g = 0; g < BandGraphCount; ++g) snapshot.enabled[g] = effect_.GraphEnabled(g) ? 1 : 0;
        std::memcpy(snapshot.levels, effect_.BandLevels(), sizeof snapshot.levels);
        std::memcpy(snapshot.matrix, effect_.MatrixBytes(), sizeof snapshot.matrix);
    }
    uint64_t hash = 1469598103934665603ull;
    const auto mix = [&hash](const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    const auto bands = static_cast<size_t>(snapshot.bands);
    mix(&snapshot.bands, sizeof snapshot.bands);
    mix(&snapshot.selected, sizeof snapshot.selected);
    mix(snapshot.enabled, sizeof snapshot.enabled);
    mix(snapshot.levels, sizeof(double) * bands);
    for (size_t k = 0; k < bands; ++k) mix(snapshot.matrix + k * MaxBands, bands);
    for (const CurvePoint& point : Points(snapshot.selected)) {
        mix(&point.x, sizeof point.x);
        mix(&point.y, sizeof point.y);
        mix(&point.segment, sizeof point.segment);
    }
    return hash;
}

MEnvelope* VocoderBandAccess::GraphAt(int32_t graph) const {
    return graph >= 0 && graph < BandGraphCount ? &effect_.Graph(graph) : nullptr;
}

void VocoderBandAccess::RequestRebuild() {
    MPluginArguments arguments;
    effect_.SendToHost(HostCommand::Rebuild, arguments);
}

}  // namespace sonvera
