#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/VectorOps.h"

TEST(VectorOps, SingleAndDoublePrecision) {
    std::vector<float> a = {1, 2, 3, 4}, b = {4, 3, 2, 1}, d(4);
    VectorOps::Subtract(d.data(), a.data(), b.data(), 4);
    EXPECT_EQ(d, (std::vector<float>{3, 1, -1, -3})) << "d = b - a";
    VectorOps::Divide(d.data(), a.data(), b.data(), 4);
    EXPECT_EQ(d, (std::vector<float>{0.25f, 2.0f / 3.0f, 1.5f, 4}));
    VectorOps::Set(d.data(), 1.0f, 4);
    VectorOps::MultiplyAccumulate(d.data(), a.data(), b.data(), 0.5f, 4);
    EXPECT_EQ(d, (std::vector<float>{3, 4, 4, 3}));
    VectorOps::ClampBelow(d.data(), 3.5f, 4);
    VectorOps::ClampAbove(d.data(), 3.75f, 4);
    EXPECT_EQ(d, (std::vector<float>{3.5f, 3.75f, 3.75f, 3.5f}));
    VectorOps::Copy(d.data(), a.data(), 4);
    VectorOps::Square(d.data(), 4);
    VectorOps::SquareRoot(d.data(), d.data(), 4);
    EXPECT_EQ(d, a);
    VectorOps::AddConstant(d.data(), a.data(), 1.0f, 4);
    VectorOps::Multiply(d.data(), d.data(), b.data(), 4);
    EXPECT_EQ(d, (std::vector<float>{8, 9, 8, 5}));
    VectorOps::Zero(d.data(), 0);  // an empty block does nothing
    EXPECT_EQ(d[0], 8.0f);

    std::vector<double> x = {1, std::exp(2.0), 0.25};
    VectorOps::Log(x.data(), 3);
    EXPECT_DOUBLE_EQ(x[1], 2.0);
    VectorOps::Exp(x.data(), 3);
    VectorOps::MultiplyConstant(x.data(), 2.0, 3);
    VectorOps::AddConstant(x.data(), -1.0, 3);
    VectorOps::ClampAbove(x.data(), 10.0, 3);
    VectorOps::ClampBelow(x.data(), 0.0, 3);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 10.0);
    EXPECT_DOUBLE_EQ(x[2], 0.0);
}
