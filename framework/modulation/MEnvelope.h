#pragma once
// A curve drawn as points joined by segments: band graphs, target shapes.
// Edited on the user-interface thread under the object's lock.

#include <cstdint>
#include <vector>

#include "platform/MMutex.h"

namespace corvane {

class MEnvelope {
public:
    // Hosts see four parameters per point; their count is fixed when the
    // plug-in starts, so the number of points has a ceiling.
    static constexpr int32_t MaxPoints = 8;

    struct Point {
        double x = 0.0;
        double y = 0.0;
        double curvature = 0.0;
        double smoothness = 0.0;
    };

    virtual ~MEnvelope() = default;

    int32_t PointCount() const { return static_cast<int32_t>(points_.size()); }
    const Point& PointAt(int32_t index) const { return points_.at(static_cast<size_t>(index)); }
    Point& PointAt(int32_t index) { return points_.at(static_cast<size_t>(index)); }
    // Appends a point unless the ceiling is reached; false when it was.
    bool AddPoint(const Point& point);
    void ClearPoints() { points_.clear(); }

    MMutex& Lock() { return lock_; }

private:
    std::vector<Point> points_;
    MMutex lock_;
};

// The envelope kind that band graphs use.
class MEnvelopeGraph : public MEnvelope {};

}  // namespace corvane
