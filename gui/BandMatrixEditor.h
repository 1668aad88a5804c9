#pragma once
// "Band matrix": which modulator bands drive which carrier band, one cell
// per pair for the first min(N, 50) bands. A press toggles a cell and a
// drag paints the same state over the cells it crosses. [main-thread]

#include "gui/BandAccess.h"
#include "gui/Controls.h"

namespace gui {

class MatrixGrid : public Widget {
public:
    static constexpr int32_t MaxShownBands = 50;
    explicit MatrixGrid(BandAccess& bands) : bands_(bands) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    std::string Tip() const override;
    uint64_t Signature() const override { return bands_.Signature(); }

    int32_t ShownBands() const;
    // The cell square and the grid's top left for the shown bands.
    double CellSize() const;
    double Left() const { return bounds_.x + 30; }
    double Top() const { return bounds_.y + 20; }
    // The cell under a point: carrier band (column) and modulator band (row); false outside.
    bool CellAt(double x, double y, int32_t& carrierBand, int32_t& modulatorBand) const;

private:
    void Paint(const MouseEvent& event);

    BandAccess& bands_;
    bool painting_ = false, paintValue_ = false;
};

class BandMatrixEditor : public Panel {
public:
    explicit BandMatrixEditor(BandAccess& bands);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
    MatrixGrid& Grid() { return *grid_; }

private:
    BandAccess& bands_;
    MatrixGrid* grid_;
    Widget *diagonal_, *clear_;
};

}  // namespace gui
