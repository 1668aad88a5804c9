#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "framework/modulation/MEnvelopeComputer.h"

using namespace corvane;

namespace {

struct ItemCase {
    const char* name;
    std::function<std::unique_ptr<MEnvelopeItem>()> make;
    std::function<double(double)> closedForm;
    bool smooth;  // whether a numeric derivative means anything everywhere
};

template <class Item>
std::unique_ptr<MEnvelopeItem> Placed(Item item, double start) {
    item.start = start;
    return std::make_unique<Item>(item);
}

std::vector<ItemCase> ItemCases() {
    ItemBezier bezier;
    bezier.r = 0.5, bezier.p = 3.0, bezier.q = 0.25, bezier.o = -0.1, bezier.A = 1.5, bezier.B = -0.5, bezier.C = 0.2;
    ItemExponencial exponencial;
    exponencial.offset = -0.2, exponencial.k = 2.0, exponencial.e1 = 1.5, exponencial.e2 = 3.0;
    exponencial.base = 0.1, exponencial.range = 0.7;
    ItemStairs stairs;
    stairs.base = 0.5, stairs.step = 0.25, stairs.n = 4;
    ItemPulses pulses;
    pulses.first = -1, pulses.second = 2, pulses.f = 3;
    ItemSaw saw;
    saw.base = 1, saw.amplitude = 2, saw.f = 2.5;
    ItemTriangles triangles;
    triangles.base = 0.5, triangles.amplitude = -1, triangles.f = 1.5;
    ItemSines sines;
    sines.base = 0.25, sines.amplitude = 0.5, sines.w = 7.0;
    const ItemFourthOrder low(1, -2, 0.5, 0.25, 0.1), high(-1, 0.5, 2, -0.5, 0.3);
    const double t0 = 0.2;  // start of the repeating items
    return {
        {"Constant", [] { return Placed(ItemConstant(0.7), 0); }, [](double) { return 0.7; }, true},
        {"Linear", [] { return Placed(ItemLinear(-2, 0.5), 0); }, [](double x) { return -2 * x + 0.5; }, true},
        {"Quadratic", [] { return Placed(ItemQuadratic(3, -1, 0.25), 0); },
         [](double x) { return 3 * x * x - x + 0.25; }, true},
        {"Cubic", [] { return Placed(ItemCubic(-1, 2, 0.5, 0.1), 0); },
         [](double x) { return -x * x * x + 2 * x * x + 0.5 * x + 0.1; }, true},
        {"FourthOrder", [] { return Placed(ItemFourthOrder(1, -2, 0.5, 0.25, 0.1), 0); },
         [](double x) { return std::pow(x, 4) - 2 * std::pow(x, 3) + 0.5 * x * x + 0.25 * x + 0.1; }, true},
        {"Double", [=] { return Placed(ItemDouble(low, high, 0.5), 0); },
         [=](double x) { return x < 0.5 ? low.Value(x) : high.Value(x); }, false},
        {"Bezier", [=] { return Placed(bezier, 0); },
         [](double x) {
             const double t = 0.5 * std::sqrt(3 * x + 0.25) - 0.1;
             return 1.5 * t * t - 0.5 * t + 0.2;
         },
         true},
        {"Exponencial", [=] { return Placed(exponencial, 0.2); },
         [](double x) { return 0.1 + 0.7 * (1 - std::pow(std::max(0.0, 1 - std::pow((x - 0.2) * 2, 1.5)), 3.0)); },
         true},
        {"Stairs", [=] { return Placed(stairs, t0); }, [=](double x) { return 0.5 + 0.25 * std::trunc((x - t0) * 4); },
         false},
        {"Pulses", [=] { return Placed(pulses, t0); },
         [=](double x) { return static_cast<int64_t>(std::trunc((x - t0) * 3)) % 2 == 0 ? -1.0 : 2.0; }, false},
        {"Saw", [=] { return Placed(saw, t0); }, [=](double x) { return 1 + 2 * std::fmod((x - t0) * 2.5, 1.0); },
         false},
        {"Triangles", [=] { return Placed(triangles, t0); },
         [=](double x) { return 0.5 - (1 - std::fabs(std::fmod((x - t0) * 1.5, 2.0) - 1)); }, false},
        {"Sines", [=] { return Placed(sines, t0); },
         [=](double x) { return 0.25 + 0.5 * std::sin((x - t0) * 7.0 - M_PI / 2); }, true},
    };
}

TEST(EnvelopeItems, EachItemIsItsClosedFormAndItsSlopeTheDerivative) {
    for (const ItemCase& c : ItemCases()) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<MEnvelopeItem> item = c.make();
        for (double x : {0.23, 0.31, 0.4, 0.55, 0.62, 0.77, 0.9, 0.99}) {
            EXPECT_NEAR(item->Value(x), c.closedForm(x), 1e-12) << "x " << x;
            if (!c.smooth) continue;
            const double h = 1e-6;
            const double numeric = (c.closedForm(x + h) - c.closedForm(x - h)) / (2 * h);
            EXPECT_NEAR(item->Slope(x), numeric, 1e-4 * std::max(1.0, std::fabs(numeric))) << "x " << x;
            EXPECT_DOUBLE_EQ(item->SlopeAt(x), item->Slope(x));
        }
        // Blocks agree with single values.
        double block[9];
        item->Fill(block, 0.21, 0.09, 9);
        for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(block[i], item->Value(BlockPosition(0.21, 0.09, i)));
    }
}

TEST(EnvelopeItems, RepeatingItemsHaveTheirShapes) {
    ItemStairs stairs;  // n = 4 over 0 .. 1: four flat steps
    stairs.base = 0, stairs.step = 1, stairs.n = 4;
    for (int s = 0; s < 4; ++s)
        for (double within : {0.01, 0.12, 0.24}) EXPECT_EQ(stairs.Value(s * 0.25 + within), s);

    ItemPulses pulses;  // a new level at every 1/f
    pulses.first = 3, pulses.second = 5, pulses.f = 8;
    for (int k = 0; k < 8; ++k) EXPECT_EQ(pulses.Value((k + 0.5) / 8), k % 2 == 0 ? 3 : 5) << k;

    ItemTriangles triangles;  // f = 1: up from base over one unit, back down over the next
    triangles.start = 2, triangles.base = 1, triangles.amplitude = 4, triangles.f = 1;
    EXPECT_DOUBLE_EQ(triangles.Value(2.0), 1.0);
    EXPECT_DOUBLE_EQ(triangles.Value(2.5), 3.0);
    EXPECT_DOUBLE_EQ(triangles.Value(3.0), 5.0);
    EXPECT_DOUBLE_EQ(triangles.Value(3.5), 3.0);
    EXPECT_NEAR(triangles.Value(4.0 - 1e-12), 1.0, 1e-9);
}

TEST(EnvelopeItems, VectorTwinsGiveThePlainItemsValuesBitForBit) {
    ItemBezier bezier;
    bezier.r = 0.5, bezier.p = 3.0, bezier.q = 0.25, bezier.o = -0.1, bezier.A = 1.5, bezier.B = -0.5, bezier.C = 0.2;
    ItemBezier linearBezier = bezier;
    linearBezier.linearInX = true;
    struct Twins {
        const char* name;
        std::unique_ptr<MEnvelopeItem> plain, vector;
    };
    std::vector<Twins> twins;
    twins.push_back(
        {"Quadratic", std::make_unique<ItemQuadratic>(3, -1, 0.25), std::make_unique<ItemQuadraticSSE>(3, -1, 0.25)});
    twins.push_back(
        {"Cubic", std::make_unique<ItemCubic>(-1, 2, 0.5, 0.1), std::make_unique<ItemCubicSSE>(-1, 2, 0.5, 0.1)});
    twins.push_back({"FourthOrder", std::make_unique<ItemFourthOrder>(1, -2, 0.5, 0.25, 0.1),
                     std::make_unique<ItemFourthOrderSSE>(1, -2, 0.5, 0.25, 0.1)});
    twins.push_back({"Bezier", std::make_unique<ItemBezier>(bezier), std::make_unique<ItemBezierSSE>(bezier)});
    twins.push_back(
        {"BezierLinearInX", std::make_unique<ItemBezier>(linearBezier), std::make_unique<ItemBezierSSE>(linearBezier)});
    for (const Twins& t : twins) {
        SCOPED_TRACE(t.name);
        for (int32_t count : {0, 1, 3, 4, 5, 8, 13, 64}) {
            std::vector<double> plainD(count), vectorD(count);
            std::vector<float> plainF(count), vectorF(count);
            t.plain->Fill(plainD.data(), -0.013, 0.0171, count);
            t.vector->Fill(vectorD.data(), -0.013, 0.0171, count);
            t.plain->Fill(plainF.data(), -0.013, 0.0171, count);
            t.vector->Fill(vectorF.data(), -0.013, 0.0171, count);
            EXPECT_EQ(plainD, vectorD) << count;
            EXPECT_EQ(plainF, vectorF) << count;
        }
        EXPECT_EQ(t.plain->Value(0.3), t.vector->Value(0.3));
    }
}

TEST(EnvelopeComputer, BlocksCrossItemsAndTheEndsHold) {
    MEnvelopeComputer computer;
    EXPECT_EQ(computer.Value(0.5), 0.0);
    computer.Add(0.0, ItemConstant(1.0));
    computer.Add(0.25, ItemLinear(4.0, 0.0));  // 1 at 0.25 .. 2 at 0.5
    computer.Add(0.5, ItemConstant(-1.0));
    EXPECT_EQ(computer.Value(-3.0), 1.0);  // below the first start the first item extends
    EXPECT_EQ(computer.Value(0.25), 1.0);
    EXPECT_EQ(computer.Value(0.4), 1.6);
    EXPECT_EQ(computer.Value(0.5), -1.0);
    float block[8];
    computer.Fill(block, 0.0, 0.125, 8);
    const float expected[8] = {1, 1, 1, 1.5, -1, -1, -1, -1};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(block[i], expected[i]) << i;
    // The pool has a ceiling and says so rather than growing.
    computer.Clear();
    for (int i = 0; i < MEnvelopeComputer::MaxItems; ++i) EXPECT_TRUE(computer.Add(i, ItemConstant(i)));
    EXPECT_FALSE(computer.Add(99.0, ItemConstant(0)));
}

}  // namespace
