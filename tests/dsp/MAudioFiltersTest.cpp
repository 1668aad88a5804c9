#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/MAudioFilters.h"

using namespace MAudioFilters;

namespace {

Filter<double> Design(FilterType type, double frequency, double q, double gain = 1.0, double rate = 48000.0) {
    Filter<double> f;
    f.Prepare(type, frequency, rate, q);
    f.ComputeCoefficients(gain);
    return f;
}

double Magnitude(const Filter<double>& f, double frequency, double rate = 48000.0) {
    const double w = 2.0 * M_PI * frequency / rate;
    return std::abs(f.Response(std::polar(1.0, -w), std::polar(1.0, -2.0 * w)));
}

std::string DesignError(int32_t type) {
    Filter<double> f;
    f.Prepare(BandPass, 1000.0, 48000.0, 1.0);
    f.ComputeCoefficients(1.0);
    const double b0 = f.b0;
    f.type = type;
    try {
        f.ComputeCoefficients(1.0);
    } catch (const FilterError& e) {
        EXPECT_EQ(f.version, 2u) << "the counter moves on";
        EXPECT_EQ(f.b0, b0) << "the coefficients stay";
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Filter, BandPassAtOneKilohertz) {
    const Filter<double> f = Design(BandPass, 1000.0, 1.0);
    const double w0 = 2.0 * M_PI * 1000.0 / 48000.0;
    const double alpha = std::sin(w0) / 2.0;
    EXPECT_EQ(f.version, 1u);
    EXPECT_DOUBLE_EQ(f.cosW, std::cos(w0));
    EXPECT_DOUBLE_EQ(f.b0, alpha / (1.0 + alpha) + CoefficientOffset);
    EXPECT_EQ(f.b1, CoefficientOffset) << "zero plus the added constant";
    EXPECT_DOUBLE_EQ(f.b2, -alpha / (1.0 + alpha) + CoefficientOffset);
    EXPECT_DOUBLE_EQ(f.negA1, 2.0 * std::cos(w0) / (1.0 + alpha) + CoefficientOffset);
    EXPECT_NEAR(Magnitude(f, 1000.0), 1.0, 1e-9);
    EXPECT_LT(Magnitude(f, 100.0), 0.2);
}

TEST(Filter, EveryTypeAgainstItsClosedForm) {
    struct Case {
        FilterType type;
        double gain, at, expected;
    } cases[] = {
        {LowPass, 1.0, 0.0, 1.0},   {LowPass, 1.0, 23999.0, 0.0}, {HighPass, 1.0, 23999.0, 1.0},
        {HighPass, 1.0, 0.0, 0.0},  {Notch, 1.0, 1000.0, 0.0},    {Notch, 1.0, 10.0, 1.0},
        {AllPass, 1.0, 321.0, 1.0}, {AllPass, 1.0, 5000.0, 1.0},  {Peak, 2.0, 1000.0, 4.0},
        {Peak, 2.0, 1.0, 1.0},      {LowShelf, 2.0, 1.0, 4.0},    {HighShelf, 2.0, 23999.0, 4.0},
    };
    for (const Case& c : cases) {
        // Peak and shelves take the amplitude A; their gain is A squared.
        const Filter<double> f = Design(c.type, 1000.0, 0.707, c.gain);
        EXPECT_NEAR(Magnitude(f, c.at), c.expected, 2e-3) << "type " << c.type << " at " << c.at;
    }
}

TEST(Filter, InvalidTypesAreRefused) {
    for (int32_t type : {5, 6, -1, 10}) EXPECT_EQ(DesignError(type), "Invalid filter type.") << type;
}

TEST(Filter, ComplexDivision) {
    std::complex<double> a(1.0, 2.0);
    ComplexDivide(a, {3.0, 4.0});
    EXPECT_NEAR(a.real(), 0.44, 1e-15);
    EXPECT_NEAR(a.imag(), 0.08, 1e-15);
    a = {1.0, 2.0};
    ComplexDivide(a, {4.0, 3.0});  // the other branch
    EXPECT_NEAR(a.real(), 0.4, 1e-15);
    EXPECT_NEAR(a.imag(), 0.2, 1e-15);
    a = {1.0, 0.0};
    try {
        ComplexDivide(a, {0.0, 0.0});
        FAIL();
    } catch (const FilterError& e) {
        EXPECT_STREQ(e.what(), "Complex division by zero.");
    }
    EXPECT_EQ(a, std::complex<double>(1.0, 0.0)) << "a stays unchanged";
}

TEST(Cascade, RedesignKeepsTheDelayReleaseClearsIt) {
    std::vector<float> input(64);
    for (size_t i = 0; i < input.size(); ++i) input[i] = std::sin(0.3 * i);
    Filter<double> sections[2] = {Design(BandPass, 1000.0, 2.0), Design(BandPass, 1200.0, 2.0)};
    Stage kept[2], reset[2];
    std::vector<float> a(64), b(64);
    RunCascade(sections, 2, kept, input.data(), a.data(), 64);
    RunCascade(sections, 2, reset, input.data(), b.data(), 64);
    EXPECT_EQ(a, b);

    // Redesign between blocks: the kept stages take the new taps and keep their delay.
    sections[0].Prepare(BandPass, 2000.0, 48000.0, 2.0);
    sections[0].ComputeCoefficients(1.0);
    EXPECT_EQ(kept[0].version, 1u);
    reset[0].Release();
    reset[1].Release();
    RunCascade(sections, 2, kept, input.data(), a.data(), 64);
    RunCascade(sections, 2, reset, input.data(), b.data(), 64);
    EXPECT_EQ(kept[0].version, 2u);
    EXPECT_EQ(kept[0].b0, sections[0].b0);
    EXPECT_NE(a[0], b[0]) << "only the released stages start from silence";

    // A fresh cascade matches released stages exactly.
    Stage fresh[2];
    std::vector<float> c(64);
    RunCascade(sections, 2, fresh, input.data(), c.data(), 64);
    EXPECT_EQ(b, c);
}

TEST(Cascade, SilenceCarriesOnlyTheDenormalOffset) {
    Filter<double> section = Design(BandPass, 1000.0, 1.0);
    Stage stage;
    std::vector<float> zeros(16, 0.0f), out(16);
    RunCascade(&section, 1, &stage, zeros.data(), out.data(), 16);
    EXPECT_EQ(out[0], DenormalOffset);
    for (float v : out) EXPECT_LT(std::fabs(v), 1e-14f);
}
