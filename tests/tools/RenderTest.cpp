// sonvera-render on small generated files, against the plug-in driven
// through its VST 2.4 entry with the same settings and block size.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/FullDisk.h"

using sonvera_test::VstTestHost;
namespace fs = std::filesystem;

namespace {

using Channels = std::vector<std::vector<float>>;

Channels Tone(int channels, int frames, double frequency, double rate, uint32_t seed) {
    Channels out(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            out[c][i] = 0.3f * static_cast<float>(std::sin(2.0 * M_PI * frequency * (c + 1) * i / rate)) +
                        0.1f * static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
        }
    return out;
}

void WriteWav(const fs::path& path, const Channels& channels, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(channels.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> interleaved;
    for (size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels) interleaved.push_back(c[i]);
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(channels[0].size()));
    sf_close(file);
}

Channels ReadWav(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return {};
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    Channels out(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(info.frames)));
    for (sf_count_t i = 0; i < info.frames; ++i)
        for (int c = 0; c < info.channels; ++c) out[c][i] = interleaved[static_cast<size_t>(i * info.channels + c)];
    return out;
}

// How strongly the output's loudness (10 ms frames, the first second left
// out) swings at a frequency, relative to its mean.
double LoudnessSwing(const std::vector<float>& x, double rate, double hertz) {
    const size_t frame = static_cast<size_t>(rate / 100.0);
    std::vector<double> loudness;
    for (size_t at = static_cast<size_t>(rate); at + frame <= x.size(); at += frame) {
        double sum = 0.0;
        for (size_t i = at; i < at + frame; ++i) sum += double(x[i]) * x[i];
        loudness.push_back(std::sqrt(sum / frame));
    }
    double mean = 0.0;
    for (double l : loudness) mean += l / loudness.size();
    double re = 0.0, im = 0.0;
    for (size_t k = 0; k < loudness.size(); ++k) {
        re += (loudness[k] - mean) * std::cos(2.0 * M_PI * hertz * k / 100.0);
        im += (loudness[k] - mean) * std::sin(2.0 * M_PI * hertz * k / 100.0);
    }
    return 2.0 * std::hypot(re, im) / loudness.size() / mean;
}

// A format 0 MIDI file at 96 ticks per quarter note and 120 BPM (a quarter
// note is half a second): the events at their ticks, in time order.
void WriteMidi(const fs::path& path, const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& events) {
    std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};  // 500000 µs per quarter note
    uint32_t last = 0;
    for (const auto& [tick, bytes] : events) {
        uint32_t delta = tick - last;
        last = tick;
        std::vector<uint8_t> quantity = {static_cast<uint8_t>(delta & 0x7F)};
        while ((delta >>= 7) != 0) quantity.insert(quantity.begin(), static_cast<uint8_t>(0x80 | (delta & 0x7F)));
        track.insert(track.end(), quantity.begin(), quantity.end());
        track.insert(track.end(), bytes.begin(), bytes.end());
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

class RenderTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("sonvera-render-" + std::to_string(getpid()) + "-" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Runs the tool; returns its exit status, stderr in `errors`. On a full
    // disk its messages travel through a pipe, which the limit does not reach.
    int Run(const std::string& arguments, bool fullDisk = false) {
        const fs::path log = folder_ / "stderr.txt";
        const std::string tool =
            std::string(SONVERA_RENDER_PATH) + " --plugin " + SONVERA_LIBRARY_PATH + " " + arguments;
        const std::string command = fullDisk ? "set -o pipefail; (" + std::string(sonvera_test::FullDisk::ShellPrefix) +
                                                   "exec " + tool + ") 2>&1 >/dev/null | cat > " + log.string()
                                             : tool + " > " + (folder_ / "stdout.txt").string() + " 2> " + log.string();
        const int status = std::system(("bash -c '" + Quoted(command) + "'").c_str());
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        errors = text.str();
        std::ifstream out(folder_ / "stdout.txt");
        std::stringstream printed;
        printed << out.rdbuf();
        output = printed.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The plug-in through the VST 2.4 entry, fed as the tool feeds it.
    Channels Reference(const Channels& carrier, const Channels& modulator, int block,
                       const std::vector<std::pair<int, std::string>>& texts = {}) {
        VstTestHost host;
        VstTestHost::Instance* instance = host.Open();
        for (const auto& [index, text] : texts)
            instance->Dispatch(Vst2::effString2Parameter, index, 0, const_cast<char*>(text.c_str()));
        auto stereo = [](const Channels& c) { return c.size() == 1 ? Channels{c[0], c[0]} : c; };
        const Channels car = stereo(carrier), mod = stereo(modulator);
        const size_t length = std::max(car[0].size(), mod[0].size());
        Channels out(2, std::vector<float>(length));
        std::vector<float> in[4], o[2];
        for (size_t at = 0; at < length; at += static_cast<size_t>(block)) {
            const size_t n = std::min(static_cast<size_t>(block), length - at);
            for (int c = 0; c < 4; ++c) {
                const Channels& source = c < 2 ? car : mod;
                in[c].assign(n, 0.0f);
                for (size_t i = 0; i < n; ++i)
                    if (at + i < source[c % 2].size()) in[c][i] = source[c % 2][at + i];
            }
            o[0].assign(n, 0.0f);
            o[1].assign(n, 0.0f);
            float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
            float* outputs[2] = {o[0].data(), o[1].data()};
            instance->effect->processReplacing(instance->effect, inputs, outputs, static_cast<int32_t>(n));
            for (int c = 0; c < 2; ++c) std::copy(o[c].begin(), o[c].end(), out[c].begin() + static_cast<long>(at));
        }
        VstTestHost::Close(instance);
        return out;
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    static std::string Quoted(const std::string& text) {
        std::string out;
        for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out;
    }

    fs::path folder_;
    std::string errors, output;
};

}  // namespace

TEST_F(RenderTest, MatchesTheHostedPluginSampleForSample) {
    struct Case {
        int carrierChannels, modulatorChannels, carrierFrames, modulatorFrames, block;
    } cases[] = {{1, 1, 4000, 4000, 512}, {2, 1, 3000, 5000, 256}, {2, 2, 6000, 2500, 100}};
    for (const Case& c : cases) {
        const Channels carrier = Tone(c.carrierChannels, c.carrierFrames, 220.0, 48000.0, 1);
        const Channels modulator = Tone(c.modulatorChannels, c.modulatorFrames, 700.0, 48000.0, 2);
        WriteWav(folder_ / "car.wav", carrier, 48000);
        WriteWav(folder_ / "mod.wav", modulator, 48000);
        ASSERT_EQ(Run("--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("out.wav") +
                      " --block " + std::to_string(c.block)),
                  0)
            << errors;
        EXPECT_NE(errors.find("real time"), std::string::npos) << "one summary line";
        const Channels rendered = ReadWav(folder_ / "out.wav");
        const Channels expected = Reference(carrier, modulator, c.block);
        ASSERT_EQ(rendered.size(), 2u);
        ASSERT_EQ(rendered[0].size(), std::max<size_t>(c.carrierFrames, c.modulatorFrames));
        EXPECT_EQ(rendered, expected) << c.carrierChannels << c.modulatorChannels << " block " << c.block;
    }
}

TEST_F(RenderTest, SettingsByTextIdentifierAndNormalisedValue) {
    const Channels carrier = Tone(1, 4800, 180.0, 48000.0, 3), modulator = Tone(1, 4800, 900.0, 48000.0, 4);
    WriteWav(folder_ / "car.wav", carrier, 48000);
    WriteWav(folder_ / "mod.wav", modulator, 48000);
    ASSERT_EQ(Run("--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("out.wav") +
                  " --set \"Carrier volume=-12\" --set bandcount=16 --set Mode=@1 --save-state " + Path("state.bin")),
              0)
        << errors;
    const Channels expected = Reference(carrier, modulator, 512, {{2, "-12"}, {21, "16"}, {6, "Inversion (dual)"}});
    EXPECT_EQ(ReadWav(folder_ / "out.wav"), expected);

    // The saved state brings the same settings back.
    ASSERT_EQ(Run("--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("again.wav") +
                  " --state " + Path("state.bin")),
              0)
        << errors;
    EXPECT_EQ(ReadWav(folder_ / "again.wav"), expected);

    ASSERT_EQ(Run("--list --set Ratio=0.5"), 0) << errors;
    EXPECT_NE(output.find("BandCount"), std::string::npos);
    EXPECT_NE(output.find("Carrier volume"), std::string::npos);
    EXPECT_NE(output.find("0.500000"), std::string::npos);
}

// The same render through the VST3 bundle and the VST 2.4 entry, with settings
// typed by name (a full redesign among them) and a saved state.
TEST_F(RenderTest, BothEntriesRenderTheSame) {
    WriteWav(folder_ / "car.wav", Tone(2, 6000, 150.0, 48000.0, 21), 48000);
    WriteWav(folder_ / "mod.wav", Tone(1, 6000, 700.0, 48000.0, 22), 48000);
    const std::string inputs = " --carrier " + Path("car.wav") + " --modulator " + Path("mod.wav");
    const std::string settings = " --set \"Mode=Morph 1\" --set Bands=48 --set Whitening=30";
    ASSERT_EQ(Run(inputs + settings + " --out " + Path("vst2.wav") + " --save-state " + Path("vst2.state")), 0)
        << errors;
    ASSERT_EQ(Run("--plugin " + std::string(SONVERA_VST3_BUNDLE) + inputs + settings + " --out " + Path("vst3.wav")), 0)
        << errors;
    EXPECT_EQ(ReadWav(folder_ / "vst3.wav"), ReadWav(folder_ / "vst2.wav"));
    ASSERT_EQ(Run("--plugin " + std::string(SONVERA_VST3_BUNDLE) + inputs + " --state " + Path("vst2.state") +
                  " --out " + Path("restored.wav")),
              0)
        << errors;
    EXPECT_EQ(ReadWav(folder_ / "restored.wav"), ReadWav(folder_ / "vst2.wav")) << "a VST 2.4 state, through VST3";
}

// A band graph set on the command line shapes the render and is stored with the state.
TEST_F(RenderTest, BandGraphsFromTheCommandLine) {
    WriteWav(folder_ / "car.wav", Tone(1, 4800, 150.0, 48000.0, 31), 48000);
    WriteWav(folder_ / "mod.wav", Tone(1, 4800, 800.0, 48000.0, 32), 48000);
    const std::string inputs = " --carrier " + Path("car.wav") + " --modulator " + Path("mod.wav");
    ASSERT_EQ(Run(inputs + " --out " + Path("plain.wav")), 0) << errors;
    ASSERT_EQ(Run(inputs + " --graph \"frequencies carrier=0:2,1:3.5\" --graph Release=0:3,1:-1 --out " +
                  Path("graphs.wav") + " --save-state " + Path("graphs.state")),
              0)
        << errors;
    EXPECT_NE(ReadWav(folder_ / "graphs.wav"), ReadWav(folder_ / "plain.wav"));
    ASSERT_EQ(Run(inputs + " --state " + Path("graphs.state") + " --out " + Path("again.wav")), 0) << errors;
    EXPECT_EQ(ReadWav(folder_ / "again.wav"), ReadWav(folder_ / "graphs.wav"));

    ASSERT_EQ(Run("--state " + Path("graphs.state") + " --list"), 0) << errors;
    EXPECT_NE(output.find("Frequencies carrier    BandDistributionCar  on  log10 of Hz 1.301..4.301: 0:2 1:3.5"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("Release                Release              on  log2 of a factor -4..4: 0:3 1:-1"),
              std::string::npos);
    EXPECT_NE(output.find("Attack                 Attack               off"), std::string::npos);
}

// A sine modulator on "Volume", free at 2 Hz or synchronised to one cycle
// a bar at 120 BPM (0.5 Hz): the rendered output swells at that rate.
TEST_F(RenderTest, ModulatorsSwellTheOutputAtTheirRate) {
    WriteWav(folder_ / "car.wav", Tone(2, 6 * 48000, 220.0, 48000.0, 9), 48000);
    WriteWav(folder_ / "mod.wav", Tone(2, 6 * 48000, 330.0, 48000.0, 10), 48000);
    const std::string inputs = "--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") +
                               " --lfo-target \"LFO 1=Volume\" --set \"LFO 1 Enabled=On\" --set \"LFO 1 Range=50%\"";
    struct Case {
        const char* options;
        double hertz;
    } cases[] = {
        {" --lfo \"LFO 1=high-speed\" --set \"LFO 1 Frequency=0.2\"", 2.0},
        {" --tempo 120 --lfo \"LFO 1=sync\" --set \"LFO 1 Length=1/1\"", 0.5},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(inputs + c.options + " --out " + Path("out.wav")), 0) << errors;
        const std::vector<float> left = ReadWav(folder_ / "out.wav").at(0);
        const double at = LoudnessSwing(left, 48000.0, c.hertz);
        EXPECT_GT(at, 0.2) << c.options;
        for (double other : {0.25, 0.75, 1.0, 1.5, 3.0, 4.0})
            EXPECT_GT(at, 4.0 * LoudnessSwing(left, 48000.0, other)) << c.options << " " << other;
    }
    ASSERT_EQ(Run(inputs + " --out " + Path("still.wav")), 0) << errors;
    EXPECT_LT(LoudnessSwing(ReadWav(folder_ / "still.wav").at(0), 48000.0, 2.0), 0.05)
        << "the default 0.1 Hz modulator gives no 2 Hz swing";
    ASSERT_EQ(Run("--list --lfo-target \"LFO 1=Volume\" --set \"LFO 1 Enabled=On\""), 0) << errors;
    EXPECT_NE(output.find("LFO 1 Enabled"), std::string::npos);
    EXPECT_NE(Run("--list --lfo \"LFO 5=sync\""), 0);
    EXPECT_NE(errors.find("n from 1 to 4"), std::string::npos) << errors;
}

TEST_F(RenderTest, AMIDIFileDrivesMappingsAndTheModulatorsEnvelope) {
    WriteWav(folder_ / "car.wav", Tone(2, 6 * 48000, 220.0, 48000.0, 11), 48000);
    WriteWav(folder_ / "mod.wav", Tone(2, 6 * 48000, 330.0, 48000.0, 12), 48000);
    // Every quarter note the other way: a note and controller 7 (sent twice,
    // the second time in running status) on channel 1, so the loudness
    // swings at 1 Hz.
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> events;
    for (uint32_t q = 0; q < 12; ++q) {
        const uint8_t up = q % 2 == 0 ? 127 : 0;
        events.push_back({q * 96, {static_cast<uint8_t>(up ? 0x90 : 0x80), 60, 100}});
        events.push_back({q * 96, {0xB0, 7, up}});
        events.push_back({q * 96 + 1, {7, up}});
    }
    WriteMidi(folder_ / "song.mid", events);
    const std::string inputs = "--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --midi " +
                               Path("song.mid") + " --out " + Path("out.wav");
    struct Case {
        const char* options;
        bool swings;
    } cases[] = {
        {" --midi-map cc7=Volume", true},
        {" --midi-map cc7@1=Volume", true},
        {" --midi-map cc7@2=Volume", false},  // another channel's controller
        {" --midi-map cc8=Volume", false},
        {" --midi-map note=Volume", false},  // one note held and released: the note controller holds its value
        {" --lfo \"LFO 1=envelope\" --lfo-target \"LFO 1=Volume\" --set \"LFO 1 Enabled=On\"", true},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(inputs + c.options), 0) << errors;
        const double swing = LoudnessSwing(ReadWav(folder_ / "out.wav").at(0), 48000.0, 1.0);
        if (c.swings) {
            EXPECT_GT(swing, 0.3) << c.options;
        } else {
            EXPECT_LT(swing, 0.05) << c.options;
        }
    }
}

TEST_F(RenderTest, ModulatorAtAnotherSampleRate) {
    WriteWav(folder_ / "car.wav", Tone(2, 4800, 200.0, 48000.0, 5), 48000);
    WriteWav(folder_ / "mod.wav", Tone(1, 4410, 600.0, 44100.0, 6), 44100);
    ASSERT_EQ(Run("--carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("out.flac")), 0)
        << errors;
    SF_INFO info{};
    SNDFILE* file = sf_open(Path("out.flac").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC) << "the extension picks the format";
    EXPECT_NEAR(static_cast<double>(info.frames), 4800.0, 2.0);
}

TEST_F(RenderTest, ErrorsSayWhatAndLeaveNoOutput) {
    WriteWav(folder_ / "car.wav", Tone(1, 1000, 200.0, 48000.0, 7), 48000);
    WriteWav(folder_ / "mod.wav", Tone(1, 1000, 600.0, 48000.0, 8), 48000);
    std::ofstream(folder_ / "garbage.bin") << "not a state";
    const std::string files =
        " --carrier " + Path("car.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("out.wav");
    struct Case {
        std::string arguments, message;
    } cases[] = {
        {"--carrier " + Path("missing.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("out.wav"),
         "cannot read"},
        {files + " --set Bnads=8", "did you mean \"Bands\""},
        {files + " --set Mode=Disco", "cannot read \"Disco\""},
        {files + " --set Volume=@1.5", "normalised"},
        {files + " --state " + Path("garbage.bin"), "rejected the state"},
        {files + " --plugin /nonexistent/Sonvera.so", "cannot load the plug-in"},
        {"--carrier " + Path("car.wav") + " --out " + Path("out.wav"), "both --carrier and --modulator"},
        {files + " --graph Wobble=0:1", "unknown band graph \"Wobble\"; the graphs are BandDistributionCar"},
        {files + " --graph Attack=0:1,0.5", "points are x:y"},
        {files + " --graph Attack=0:x", "\"x\" in --graph Attack=0:x is not a number"},
        {files + " --graph Attack=0:5", "outside Attack's range, x 0..1 and y -4..4"},
        {files + " --graph Ratio=0:0,0.1:0,0.2:0,0.3:0,0.4:0,0.5:0,0.6:0,0.7:0,0.8:0", "at most 8 points"},
        {files + " --midi " + Path("garbage.bin"), "is not a standard MIDI file"},
        {files + " --midi " + Path("cut.mid"), "is cut short"},
        {files + " --midi " + Path("missing.mid"), "cannot open the MIDI file"},
        {files + " --midi-map cc200=Volume", "takes the sources cc0 .. cc127"},
        {files + " --midi-map cc7@17=Volume", "channels 1 to 16"},
        {files + " --midi-map cc7=Loudness", "unknown parameter \"Loudness\" in --midi-map"},
        {files + " --preset \"Whispers/Shouting\"", "there is no preset \"Whispers/Shouting\"; --list-presets"},
        {files + " --speak \"hello\"", "--modulator and --speak both name a modulator"},
    };
    WriteMidi(folder_ / "whole.mid", {{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}});
    std::ifstream whole(folder_ / "whole.mid", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    std::ofstream(folder_ / "cut.mid", std::ios::binary) << bytes.substr(0, bytes.size() - 9);
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.arguments), 2) << c.arguments;
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << "one line: " << errors;
        EXPECT_FALSE(fs::exists(folder_ / "out.wav")) << c.arguments;
        for (const auto& entry : fs::directory_iterator(folder_))
            EXPECT_EQ(entry.path().string().find(".partial."), std::string::npos);
    }
}

// Outputs that cannot be written whole, or that are not files, fail with one
// line and leave nothing behind; inputs that are not what they claim render
// with a one-line warning.
TEST_F(RenderTest, OutputsAndInputsThatAreNotWhatTheySeem) {
    WriteWav(folder_ / "car.wav", Tone(1, 2000, 200.0, 48000.0, 9), 48000);
    WriteWav(folder_ / "mod.wav", Tone(1, 2000, 600.0, 48000.0, 10), 48000);
    const std::string inputs = " --carrier " + Path("car.wav") + " --modulator " + Path("mod.wav");
    std::ofstream(folder_ / "state.bin") << "old state";
    std::ofstream(folder_ / "other.wav") << "not to be touched";
    fs::create_symlink(folder_ / "other.wav", folder_ / "link.wav");
    ASSERT_EQ(mkfifo(Path("pipe.wav").c_str(), 0600), 0);  // stands for any device: harmless if replaced

    struct Failure {
        std::string arguments;
        bool fullDisk;
        std::string message;
    } failures[] = {
        {"--set Ratio=0.5 --save-state " + Path("state.bin"), true, "Error writing to file"},
        {inputs + " --out " + Path("out.wav"), true, "cannot write"},
        {inputs + " --out " + Path("link.wav"), false, "not a regular file"},
        {inputs + " --out " + Path("pipe.wav"), false, "not a regular file"},
        {inputs + " --out " + Path("out.wav") + " --spectrogram " + Path("missing/picture.png"), false,
         "Error writing to file"},
    };
    for (const Failure& f : failures) {
        EXPECT_EQ(Run(f.arguments, f.fullDisk), 2) << f.arguments;
        EXPECT_NE(errors.find(f.message), std::string::npos) << f.arguments << ": " << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << "one line: " << errors;
        EXPECT_FALSE(fs::exists(folder_ / "out.wav")) << f.arguments;
        for (const auto& entry : fs::directory_iterator(folder_))
            EXPECT_EQ(entry.path().string().find(".partial."), std::string::npos) << entry.path();
    }
    std::ifstream state(folder_ / "state.bin");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(state), {}), "old state");
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.wav"));

    WriteWav(folder_ / "eight.wav", Tone(8, 2000, 200.0, 48000.0, 11), 48000);
    EXPECT_EQ(Run("--carrier " + Path("eight.wav") + " --modulator " + Path("mod.wav") + " --out " + Path("a.wav")), 0);
    EXPECT_NE(errors.find("warning: " + Path("eight.wav") + " has 8 channels; only the first two are used"),
              std::string::npos)
        << errors;
    // A header that promises more frames than the file holds.
    fs::resize_file(folder_ / "mod.wav", fs::file_size(folder_ / "mod.wav") - 4000);
    EXPECT_EQ(Run(inputs + " --out " + Path("b.wav")), 0);
    EXPECT_NE(errors.find("fewer frames than its header promises"), std::string::npos) << errors;
}

TEST_F(RenderTest, TheBuiltInDemo) {
    const fs::path here = fs::current_path();
    fs::current_path(folder_);
    const int status = Run("--demo");
    fs::current_path(here);
    ASSERT_EQ(status, 0) << errors;
    for (const char* name :
         {"out/demo.wav", "out/demo-carrier.wav", "out/demo-modulator.wav", "out/demo.png", "out/demo-speech.wav",
          "out/demo-speech-modulator.wav", "out/demo-speech.png", "out/editor.png"})
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    const Channels demo = ReadWav(folder_ / "out/demo.wav");
    ASSERT_EQ(demo.size(), 2u);
    double energy = 0.0;
    for (float s : demo[0]) energy += s * s;
    EXPECT_GT(energy, 1.0) << "the demo is audible";
}

TEST_F(RenderTest, PresetsByNameAndASpokenModulator) {
    ASSERT_EQ(Run("--list-presets"), 0) << errors;
    EXPECT_NE(output.find("Classic robot voice/Classic Robot\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Randomizer Multi/"), std::string::npos);

    // The preset sets what its file says; a later --set still wins.
    ASSERT_EQ(Run("--preset \"Ring and metallic/Tin Can\" --set Ratio=0.5 --list"), 0) << errors;
    EXPECT_NE(output.find("Ring modulation"), std::string::npos);
    EXPECT_NE(output.find("Bands                                BandCount              12\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("Ratio                                Ratio                  0.5"), std::string::npos);

    WriteWav(folder_ / "car.wav", Tone(1, 48000, 110.0, 48000.0, 3), 48000);
    ASSERT_EQ(Run("--carrier " + Path("car.wav") + " --speak \"One two three\" --preset \"Whispers/Whisper\" --out " +
                  Path("spoken.wav")),
              0)
        << errors;
    const Channels spoken = ReadWav(folder_ / "spoken.wav");
    ASSERT_EQ(spoken.size(), 2u);
    double energy = 0.0;
    for (float s : spoken[0]) energy += s * s;
    EXPECT_GT(energy, 0.1) << "the spoken words come through";
}
