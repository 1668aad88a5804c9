#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Font.h"

using namespace gui;

namespace {

constexpr double Pi = 3.14159265358979323846;
const Color White = Color::Rgb(0xFFFFFF);

// How much of a pixel white covers on the black ground, 0..1.
double Coverage(const Bitmap& bitmap, int32_t x, int32_t y) { return (bitmap.At(x, y) & 0xFF) / 255.0; }

double TotalCoverage(const Bitmap& bitmap) {
    double sum = 0;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x) sum += Coverage(bitmap, x, y);
    return sum;
}

}  // namespace

TEST(Canvas, RectanglesLandOnThePixelsTheyCover) {
    struct Case {
        double scale;
        Rect rect;
        int32_t x, y;
        double expected;
    } cases[] = {
        {1.0, {2, 2, 3, 3}, 2, 2, 1.0}, {1.0, {2, 2, 3, 3}, 4, 4, 1.0},   {1.0, {2, 2, 3, 3}, 5, 5, 0.0},
        {1.0, {2, 2, 3, 3}, 1, 3, 0.0}, {1.0, {2.5, 2, 3, 3}, 2, 3, 0.5},  // half a pixel
        {2.0, {1, 1, 2, 2}, 2, 2, 1.0}, {2.0, {1, 1, 2, 2}, 5, 5, 1.0},   {2.0, {1, 1, 2, 2}, 6, 6, 0.0},
        {4.0, {1, 1, 2, 2}, 5, 5, 1.0},  // scales above 2x are held at 2x
    };
    for (const Case& c : cases) {
        Bitmap bitmap(16, 16);
        Canvas canvas(bitmap, c.scale);
        canvas.FillRect(c.rect, White);
        EXPECT_NEAR(Coverage(bitmap, c.x, c.y), c.expected, 1.0 / 255) << c.scale << " " << c.x << "," << c.y;
    }
}

TEST(Canvas, ShapesAreAntiAliasedAndTrueToTheirArea) {
    Bitmap bitmap(64, 64);
    Canvas canvas(bitmap);
    canvas.FillCircle(32, 32, 20, White);
    EXPECT_NEAR(TotalCoverage(bitmap), Pi * 20 * 20, Pi * 20 * 20 * 0.005);
    EXPECT_EQ(Coverage(bitmap, 32, 32), 1.0);
    EXPECT_EQ(Coverage(bitmap, 2, 2), 0.0);
    int32_t partial = 0;
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) partial += Coverage(bitmap, x, y) > 0.05 && Coverage(bitmap, x, y) < 0.95;
    EXPECT_GT(partial, 60) << "the edge is smooth";

    Bitmap line(64, 64);
    Canvas lines(line);
    lines.Line(8, 8, 56, 56, 2, White);
    const double area = std::hypot(48, 48) * 2 + Pi;  // length times width, plus the round ends
    EXPECT_NEAR(TotalCoverage(line), area, area * 0.03);
    EXPECT_EQ(Coverage(line, 32, 32), 1.0);
    EXPECT_EQ(Coverage(line, 40, 20), 0.0);
}

TEST(Canvas, ArcsSweepClockwiseFromTwelve) {
    Bitmap bitmap(64, 64);
    Canvas canvas(bitmap);
    canvas.Arc(32, 32, 20, 0, Pi / 2, 3, White);  // twelve to three o'clock
    EXPECT_GT(Coverage(bitmap, 32, 12), 0.9);
    EXPECT_GT(Coverage(bitmap, 46, 18), 0.9);  // half way
    EXPECT_GT(Coverage(bitmap, 52, 32), 0.9);
    EXPECT_EQ(Coverage(bitmap, 32, 52), 0.0);  // six o'clock
    EXPECT_EQ(Coverage(bitmap, 12, 32), 0.0);  // nine o'clock
}

TEST(Canvas, ClipsNestAndNothingLeaks) {
    Bitmap bitmap(32, 32);
    Canvas canvas(bitmap);
    canvas.PushClip({4, 4, 20, 20});
    canvas.PushClip({10, 10, 30, 30});
    canvas.FillRect({0, 0, 32, 32}, White);
    canvas.PopClip();
    canvas.PopClip();
    canvas.PopClip();  // one too many is harmless
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 32; ++x)
            ASSERT_EQ(Coverage(bitmap, x, y), x >= 10 && x < 24 && y >= 10 && y < 24 ? 1.0 : 0.0) << x << "," << y;
}

TEST(Canvas, TextIsDrawnInsideItsBoxTheSameEachTime) {
    auto draw = [](const std::string& text, Align align) {
        Bitmap bitmap(120, 30);
        Canvas canvas(bitmap);
        canvas.Text({10, 5, 100, 20}, text, 12, White, align);
        return bitmap;
    };
    const Bitmap first = draw("Sonvera 100 bands", Align::Left);
    EXPECT_EQ(first.Pixels(), draw("Sonvera 100 bands", Align::Left).Pixels());
    double inside = 0, outside = 0;
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 120; ++x)
            (x >= 10 && x < 110 && y >= 5 && y < 25 ? inside : outside) += Coverage(first, x, y);
    EXPECT_GT(inside, 40.0);
    EXPECT_EQ(outside, 0.0);

    // Right alignment ends near the box's right edge.
    const Bitmap right = draw("dB", Align::Right);
    double lastColumn = 0;
    for (int32_t x = 0; x < 120; ++x)
        for (int32_t y = 0; y < 30; ++y)
            if (Coverage(right, x, y) > 0.2) lastColumn = x;
    EXPECT_NEAR(lastColumn, 109, 2);

    Bitmap bitmap(1, 1);
    Canvas canvas(bitmap);
    EXPECT_LT(canvas.TextWidth("iiii", 12), canvas.TextWidth("MMMM", 12));
    EXPECT_NEAR(canvas.TextWidth("MMMM", 24), 2 * canvas.TextWidth("MMMM", 12), 0.5);
}

TEST(Font, DecodesUTF8AndReplacesBrokenSequences) {
    struct Case {
        std::string text;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"dB", {'d', 'B'}},
        {"\xC2\xB1", {0xB1}},             // ±
        {"\xE2\x80\xA6", {0x2026}},       // …
        {"\xF0\x9F\x8E\xB5", {0x1F3B5}},  // a musical note
        {"\xE2\x80", {0xFFFD, 0xFFFD}},   // cut short
        {"\xFF"
         "a",
         {0xFFFD, 'a'}},  // not a lead byte
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeUTF8(c.text), c.expected) << c.text;
}

TEST(Canvas, APolylineBlendsEachPixelOnceAndMatchesItsLines) {
    // Half-transparent white: a pixel blended twice at a joint would come out brighter.
    const Color half = White.WithAlpha(128);
    Bitmap straight(40, 20), joined(40, 20), bent(40, 20), bentLines(40, 20);
    Canvas(straight).Line(4, 10, 36, 10, 3, half);
    Canvas(joined).Polyline({4, 10, 12, 10, 20, 10, 36, 10}, 3, half);
    EXPECT_EQ(straight.Pixels(), joined.Pixels()) << "collinear pieces draw as one line";

    Canvas(bent).Polyline({4, 4, 20, 16, 36, 4}, 2, White);
    Canvas lines(bentLines);
    lines.Line(4, 4, 20, 16, 2, White);
    lines.Line(20, 16, 36, 4, 2, White);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x)
            EXPECT_NEAR(Coverage(bent, x, y), Coverage(bentLines, x, y), x >= 18 && x <= 22 ? 1.0 : 1.5 / 255)
                << x << "," << y;  // away from the joint, the same pixels as two lines
}
