#include "tools/render/Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "dsp/Fft.h"
#include "tools/render/PngFile.h"

namespace render {
namespace {

constexpr int Width = 900;
constexpr int PanelHeight = 220;
constexpr int Margin = 16;
constexpr int LeftMargin = 44;
constexpr int FftSize = 4096;
constexpr double LowestFrequency = 40.0;
constexpr double Pi = 3.14159265358979323846;

struct Image {
    int width, height;
    std::vector<uint8_t> rgb;
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
    }
};

// 5 x 7 glyphs for the few characters the labels use.
const char* Glyph(char c) {
    switch (c) {
        case 'A':
            return "01110100011000111111100011000110001";
        case 'C':
            return "01110100011000010000100001000101110";
        case 'D':
            return "11110100011000110001100011000111110";
        case 'E':
            return "11111100001000011110100001000011111";
        case 'H':
            return "10001100011000111111100011000110001";
        case 'I':
            return "01110001000010000100001000010001110";
        case 'K':
            return "10001100101010011000101001001010001";
        case 'L':
            return "10000100001000010000100001000011111";
        case 'M':
            return "10001110111010110101100011000110001";
        case 'O':
            return "01110100011000110001100011000101110";
        case 'P':
            return "11110100011000111110100001000010000";
        case 'R':
            return "11110100011000111110101001001010001";
        case 'T':
            return "11111001000010000100001000010000100";
        case 'U':
            return "10001100011000110001100011000101110";
        case 'Z':
            return "11111000010001000100010001000011111";
        case 'k':
            return "10000100001001010100110001010010010";
        case '0':
            return "01110100011001110101110011000101110";
        case '1':
            return "00100011000010000100001000010001110";
        case '2':
            return "01110100010000100010001000100011111";
        case '5':
            return "11111100001111000001000011000101110";
        default:
            return nullptr;
    }
}

void Text(Image& image, int x, int y, const std::string& text, int scale = 2) {
    for (char c : text) {
        if (const char* g = Glyph(c))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[row * 5 + col] == '1')
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                image.Set(x + col * scale + dx, y + row * scale + dy, 235, 235, 235);
        x += 6 * scale;
    }
}

// Dark blue through red to pale yellow.
void Colour(double level, uint8_t& r, uint8_t& g, uint8_t& b) {
    level = std::min(std::max(level, 0.0), 1.0);
    r = static_cast<uint8_t>(255.0 * std::min(1.0, level * 1.6));
    g = static_cast<uint8_t>(255.0 * std::max(0.0, level * 1.4 - 0.4));
    b = static_cast<uint8_t>(
        255.0 * (level < 0.35 ? 0.25 + level * 1.2
                              : std::max(0.0, 0.67 - (level - 0.35) * 1.5) + std::max(0.0, level - 0.85) * 4.0));
}

void Panel(Image& image, int top, const std::string& label, const Audio& audio) {
    const int plotWidth = Width - LeftMargin - Margin;
    const int height = PanelHeight;
    const size_t frames = audio.Frames();
    const double rate = audio.sampleRate;
    const double highest = std::min(20000.0, rate / 2.0);
    std::vector<double> mono(frames, 0.0);
    for (const auto& channel : audio.channels)
        for (size_t i = 0; i < frames; ++i) mono[i] += channel[i] / static_cast<double>(audio.channels.size());

    std::vector<std::vector<double>> columns(static_cast<size_t>(plotWidth),
                                             std::vector<double>(static_cast<size_t>(height), -120.0));
    for (int x = 0; x < plotWidth; ++x) {
        const double centre = frames * (x + 0.5) / plotWidth;
        std::vector<std::complex<double>> buffer(FftSize);
        for (int k = 0; k < FftSize; ++k) {
            const long i = static_cast<long>(centre) - FftSize / 2 + k;
            const double window = 0.5 - 0.5 * std::cos(2.0 * Pi * k / (FftSize - 1));
            buffer[static_cast<size_t>(k)] =
                (i >= 0 && static_cast<size_t>(i) < frames) ? mono[static_cast<size_t>(i)] * window : 0.0;
        }
        MAudioFilters::Fft(buffer);
        for (int y = 0; y < height; ++y) {
            // Row y maps to a frequency on a logarithmic axis, low at the bottom.
            const double f = LowestFrequency *
                             std::pow(highest / LowestFrequency, (height - 1 - y) / static_cast<double>(height - 1));
            const double bin = f * FftSize / rate;
            const size_t b0 = static_cast<size_t>(bin);
            const double t = bin - b0;
            const double m = (1.0 - t) * std::abs(buffer[std::min(b0, static_cast<size_t>(FftSize / 2))]) +
                             t * std::abs(buffer[std::min(b0 + 1, static_cast<size_t>(FftSize / 2))]);
            columns[static_cast<size_t>(x)][static_cast<size_t>(y)] = 20.0 * std::log10(m * 4.0 / FftSize + 1e-9);
        }
    }
    for (int x = 0; x < plotWidth; ++x)
        for (int y = 0; y < height; ++y) {
            uint8_t r, g, b;
            Colour((columns[static_cast<size_t>(x)][static_cast<size_t>(y)] + 90.0) / 80.0, r, g, b);
            image.Set(LeftMargin + x, top + y, r, g, b);
        }
    // Frequency ticks at 100 Hz, 1 kHz and 10 kHz.
    const struct {
        double f;
        const char* text;
    } ticks[] = {{100.0, "100"}, {1000.0, "1k"}, {10000.0, "10k"}};
    for (const auto& tick : ticks) {
        if (tick.f > highest) continue;
        const int y = top + static_cast<int>((height - 1) * (1.0 - std::log(tick.f / LowestFrequency) /
                                                                       std::log(highest / LowestFrequency)));
        for (int x = LeftMargin - 6; x < LeftMargin; ++x) image.Set(x, y, 235, 235, 235);
        Text(image, 2, y - 3, tick.text, 1);
    }
    Text(image, LeftMargin + 8, top + 8, label);
}

}  // namespace

void WriteSpectrogram(corvane::ReplacingFile& file, const std::vector<std::pair<std::string, const Audio*>>& panels) {
    CheckWritable(file);
    Image image{Width, Margin + static_cast<int>(panels.size()) * (PanelHeight + Margin), {}};
    image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 18);
    for (size_t p = 0; p < panels.size(); ++p)
        Panel(image, Margin + static_cast<int>(p) * (PanelHeight + Margin), panels[p].first, *panels[p].second);
    Text(image, 2, image.height - 12, "HZ", 1);
    WritePng(file, image.width, image.height, image.rgb);
}

}  // namespace render
