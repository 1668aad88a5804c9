#include "gui/BandMatrixEditor.h"

#include <algorithm>
#include <cmath>

#include "gui/Buttons.h"
#include "gui/Style.h"
#include "gui/Tooltip.h"

namespace gui {

namespace {

constexpr const char* MatrixText =
    "Each lit cell lets the modulator band of its row drive the carrier band of its column. Several lit cells in a "
    "column average their modulator bands; a column without any leaves that carrier band silent. Changes are heard "
    "from the next block on.";

// Every how many bands a number is written beside the grid.
int32_t LabelStep(int32_t bands) { return bands <= 16 ? 1 : bands <= 32 ? 4 : 5; }

}  // namespace

int32_t MatrixGrid::ShownBands() const { return std::clamp(bands_.BandCount(), 0, MaxShownBands); }

double MatrixGrid::CellSize() const {
    const int32_t n = ShownBands();
    if (n == 0) return 0;
    const double side = std::min(bounds_.Right() - Left(), bounds_.Bottom() - Top() - 18);
    return std::floor(side / n);
}

bool MatrixGrid::CellAt(double x, double y, int32_t& carrierBand, int32_t& modulatorBand) const {
    const double cell = CellSize();
    if (cell <= 0) return false;
    const auto column = static_cast<int32_t>(std::floor((x - Left()) / cell));
    const auto row = static_cast<int32_t>(std::floor((y - Top()) / cell));
    const int32_t n = ShownBands();
    if (column < 0 || row < 0 || column >= n || row >= n) return false;
    carrierBand = column;
    modulatorBand = row;
    return true;
}

void MatrixGrid::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const int32_t n = ShownBands();
    const double cell = CellSize();
    if (n == 0 || cell <= 0) {
        canvas.Text(bounds_, "The matrix shows once the plug-in has processed.", style.labelSize, style.dimText,
                    Align::Centre);
        return;
    }
    canvas.Text({Left(), bounds_.y, n * cell, 16}, "Carrier band", style.labelSize, style.dimText, Align::Centre);
    const double gap = cell >= 6 ? 1 : 0;
    const std::vector<uint8_t> routing = bands_.Routing();
    for (int32_t k = 0; k < n; ++k)
        for (int32_t b = 0; b < n; ++b) {
            const bool routed = routing[static_cast<size_t>(k) * BandAccess::MaxBands + b] != 0;
            const Color color = routed ? style.accent : k == b ? style.panelEdge : style.background;
            canvas.FillRect({Left() + b * cell, Top() + k * cell, cell - gap, cell - gap}, color);
        }
    const int32_t step = LabelStep(n);
    for (int32_t i = 0; i < n; i += step) {
        const std::string number = std::to_string(i + 1);
        canvas.Text({Left() - 30, Top() + i * cell, 26, cell}, number, style.valueSize, style.dimText, Align::Right);
        canvas.Text({Left() + i * cell - 10, Top() + n * cell + 2, cell + 20, 14}, number, style.valueSize,
                    style.dimText, Align::Centre);
    }
}

bool MatrixGrid::MouseDown(const MouseEvent& event) {
    int32_t carrier = 0, modulator = 0;
    if (!CellAt(event.x, event.y, carrier, modulator)) return false;
    painting_ = true;
    paintValue_ = !bands_.Routed(modulator, carrier);
    Paint(event);
    return true;
}

void MatrixGrid::MouseDrag(const MouseEvent& event) {
    if (painting_) Paint(event);
}

void MatrixGrid::Paint(const MouseEvent& event) {
    int32_t carrier = 0, modulator = 0;
    if (CellAt(event.x, event.y, carrier, modulator) && bands_.Routed(modulator, carrier) != paintValue_)
        bands_.SetRouted(modulator, carrier, paintValue_);
}

std::string MatrixGrid::Tip() const {
    return "Rows are modulator bands, columns carrier bands: a lit cell lets the row's band drive the column's. "
           "Click to switch a cell, drag to paint.";
}

BandMatrixEditor::BandMatrixEditor(BandAccess& bands) : Panel("Band matrix"), bands_(bands) {
    grid_ = &Make<MatrixGrid>(bands_);
    diagonal_ = &Make<Button>(
        "Diagonal",
        [this] {
            std::vector<uint8_t> identity(static_cast<size_t>(BandAccess::MaxBands) * BandAccess::MaxBands, 0);
            for (int32_t k = 0; k < BandAccess::MaxBands; ++k)
                identity[static_cast<size_t>(k) * BandAccess::MaxBands + k] = 1;
            bands_.SetRouting(identity);
        },
        "Every modulator band drives its own carrier band again.");
    clear_ = &Make<Button>(
        "Clear",
        [this] {
            bands_.SetRouting(
                std::vector<uint8_t>(static_cast<size_t>(BandAccess::MaxBands) * BandAccess::MaxBands, 0));
        },
        "Switches every cell off: all bands fall silent until you route some again.");
}

void BandMatrixEditor::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    const double side = std::min(bounds.width * 0.6, bounds.height - 34);
    grid_->SetBounds({bounds.x + 10, bounds.y + 26, side + 30, side});
    const double right = bounds.x + side + 70;
    diagonal_->SetBounds({right, bounds.Bottom() - 44, 110, 30});
    clear_->SetBounds({right + 120, bounds.Bottom() - 44, 110, 30});
}

void BandMatrixEditor::Draw(Canvas& canvas) {
    Panel::Draw(canvas);
    const Style& style = Style::Current();
    const double left = grid_->Bounds().Right() + 40 - 30, width = bounds_.Right() - left - 16;
    double y = bounds_.y + 40;
    for (const std::string& line : WrapText(canvas, MatrixText, style.labelSize, width)) {
        canvas.Text({left, y, width, 16}, line, style.labelSize, style.dimText);
        y += 16;
    }
    const int32_t n = grid_->ShownBands();
    if (bands_.BandCount() > n)
        canvas.Text({left, y + 10, width, 16},
                    "Showing the first " + std::to_string(n) + " of " + std::to_string(bands_.BandCount()) + " bands.",
                    style.labelSize, style.warm);
}

}  // namespace gui
