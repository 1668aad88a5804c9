// sonvera-render: vocode sound files with Sonvera from the command line,
// hosting the plug-in through its VST 2.4 entry as a DAW does.

#include <CLI/CLI.hpp>

#include <unistd.h>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/render/AudioFiles.h"
#include "tools/render/BandGraphOptions.h"
#include "tools/render/DemoSignals.h"
#include "tools/render/EditorPicture.h"
#include "tools/render/MIDIOptions.h"
#include "tools/render/MidiFile.h"
#include "tools/render/ModulatorOptions.h"
#include "tools/render/PluginHost.h"
#include "tools/render/PresetOptions.h"
#include "tools/render/Renderer.h"
#include "tools/render/Spectrogram.h"
#include "tools/render/Speech.h"

using namespace render;

namespace {

constexpr int ErrorStatus = 2;
constexpr const char* DemoSentence = "Hello. I am Sonvera, a vocoder with a hundred bands. Listen to my robot voice.";
constexpr const char* DemoPreset = "Classic robot voice/Classic Robot";

// Beside the renderer: the library, or with VST3 the bundle.
std::string DefaultPluginPath(const char* argv0, bool vst3) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? std::filesystem::path(argv0).parent_path() : self.parent_path();
    return (folder / (vst3 ? "Sonvera.vst3" : "Sonvera.so")).string();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string error;
    if (!corvane::ReplacingFile::WriteWhole(path, bytes.data(), bytes.size(), error)) throw std::runtime_error(error);
}

Audio ReadInput(const std::string& path) {
    std::vector<std::string> warnings;
    Audio audio = ReadAudio(path, warnings);
    for (const std::string& warning : warnings) std::fprintf(stderr, "warning: %s\n", warning.c_str());
    return audio;
}

void ApplySetting(PluginHost& plugin, const std::string& setting) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0)
        throw std::runtime_error("--set needs NAME=VALUE, got \"" + setting + "\"");
    const std::string name = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);
    const int32_t index = plugin.Find(name);
    if (index < 0) {
        std::string hint;
        for (const std::string& s : plugin.Suggestions(name, 3)) hint += (hint.empty() ? "" : ", ") + ("\"" + s + "\"");
        throw std::runtime_error("unknown parameter \"" + name + "\"" +
                                 (hint.empty() ? "" : "; did you mean " + hint + "?"));
    }
    if (!value.empty() && value[0] == '@') {
        char* end = nullptr;
        const double x = std::strtod(value.c_str() + 1, &end);
        if (end == value.c_str() + 1 || *end != '\0' || !(x >= 0.0 && x <= 1.0))
            throw std::runtime_error("\"" + value + "\" for " + name + " is not a normalised value in @0..@1");
        plugin.SetNormalised(index, static_cast<float>(x));
        return;
    }
    if (!plugin.SetText(index, value))
        throw std::runtime_error("the plug-in cannot read \"" + value + "\" as a value of " + name);
}

void PrintParameters(const PluginHost& plugin) {
    std::printf("%5s  %-36s %-22s %s\n", "index", "name", "identifier", "value");
    for (const ParameterInfo& p : plugin.Parameters())
        std::printf("%5d  %-36s %-22s %s%s%s\n", p.index, p.fullName.c_str(), p.identifier.c_str(), p.display.c_str(),
                    p.label.empty() ? "" : " ", p.label.c_str());
}

std::function<void(double)> ProgressBar() {
    if (!isatty(STDERR_FILENO)) return {};
    return [last = -1](double fraction) mutable {
        const int percent = static_cast<int>(fraction * 100.0);
        if (percent == last) return;
        last = percent;
        const int filled = percent * 30 / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "##############################", 30 - filled, "", percent);
        if (percent >= 100) std::fprintf(stderr, "\n");
    };
}

void PrintSummary(const RenderSummary& s) {
    const double dbfs = s.peak > 0.0 ? 20.0 * std::log10(s.peak) : -INFINITY;
    std::fprintf(stderr, "Rendered %.2f s of audio in %.2f s (%.1fx real time), peak %.1f dBFS\n", s.seconds,
                 s.wallSeconds, s.wallSeconds > 0 ? s.seconds / s.wallSeconds : 0.0, dbfs);
    if (s.clippedSamples > 0)
        std::fprintf(stderr, "warning: %zu samples clipped above 0 dBFS; lower the Volume parameter\n",
                     s.clippedSamples);
}

// What the command line asks of the plug-in before it renders.
struct Settings {
    std::string statePath, preset;
    std::vector<std::string> values, graphs, modulatorTargets, modulatorSwitches, midiMappings;
    double tempo = -1.0;
};

void Configure(PluginHost& plugin, const Settings& settings, double rate) {
    if (!settings.statePath.empty() && !plugin.SetState(ReadBytes(settings.statePath)))
        throw std::runtime_error("the plug-in rejected the state in " + settings.statePath);
    if (!settings.preset.empty() && !plugin.SetState(ApplyPreset(plugin.GetState(), settings.preset)))
        throw std::runtime_error("the plug-in rejected the preset \"" + settings.preset + "\"");
    std::vector<GraphOption> graphOptions;
    for (const std::string& graph : settings.graphs) graphOptions.push_back(ParseGraphOption(graph));
    if (!graphOptions.empty() && !plugin.SetState(ApplyGraphOptions(plugin.GetState(), graphOptions)))
        throw std::runtime_error("the plug-in rejected the band graphs");
    std::vector<ModulatorTarget> targets;
    for (const std::string& target : settings.modulatorTargets) targets.push_back(ParseModulatorTarget(target, plugin));
    if (!targets.empty() && !plugin.SetState(ApplyModulatorTargets(plugin.GetState(), targets)))
        throw std::runtime_error("the plug-in rejected the modulator targets");
    std::vector<ModulatorSwitches> switches;
    for (const std::string& text : settings.modulatorSwitches) switches.push_back(ParseModulatorSwitches(text));
    if (!switches.empty() && !plugin.SetState(ApplyModulatorSwitches(plugin.GetState(), switches)))
        throw std::runtime_error("the plug-in rejected the modulator settings");
    std::vector<MIDIMapping> mappings;
    for (const std::string& text : settings.midiMappings) mappings.push_back(ParseMIDIMapping(text, plugin));
    if (!mappings.empty() && !plugin.SetState(ApplyMIDIMappings(plugin.GetState(), mappings)))
        throw std::runtime_error("the plug-in rejected the MIDI mappings");
    for (const std::string& setting : settings.values) ApplySetting(plugin, setting);
    if (settings.tempo > 0.0) plugin.SetTempo(settings.tempo, rate);
}

// Renders into `outPath` (and the spectrogram, when named); both appear only
// once complete, and are refused before any work when they cannot be written.
void RenderFiles(PluginHost& plugin, Audio carrier, Audio modulator, const std::vector<MidiMessage>& midi,
                 int blockSize, const std::string& outPath, const std::string& spectrogramPath) {
    corvane::ReplacingFile outFile(outPath);
    CheckWritable(outFile);
    std::optional<corvane::ReplacingFile> pictureFile;
    if (!spectrogramPath.empty()) CheckWritable(pictureFile.emplace(spectrogramPath));
    carrier = AsStereo(carrier);
    modulator = AsStereo(Resample(modulator, carrier.sampleRate));
    RenderSummary summary;
    const Audio output = Render(plugin, carrier, modulator, blockSize, summary, ProgressBar(), midi);
    WriteAudio(outFile, output);
    if (pictureFile) {
        WriteSpectrogram(*pictureFile, {{"CARRIER", &carrier}, {"MODULATOR", &modulator}, {"OUTPUT", &output}});
        Commit(*pictureFile);
    }
    Commit(outFile);
    PrintSummary(summary);
}

// The demo's pictures of the editor's other tabs: "editor-band-matrix.png" and so on.
void WriteEditorPages(const std::filesystem::path& folder) {
    for (const std::string& page : EditorPages()) {
        if (page == "Controls") continue;
        std::string slug;
        for (const char c : page)
            slug += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        corvane::ReplacingFile picture((folder / ("editor-" + slug + ".png")).string());
        CheckWritable(picture);
        WriteEditorPicture(picture, page);
        Commit(picture);
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Vocodes a carrier with a modulator through the Sonvera plug-in."};
    std::string carrierPath, modulatorPath, outPath, pluginPath, saveStatePath, spectrogramPath, speech, editorPath;
    std::string editorPage = "Controls";
    Settings settings;
    std::string midiPath;
    int blockSize = 512;
    bool list = false, listPresets = false, demo = false, vst3 = false;
    app.add_option("--carrier", carrierPath, "carrier (main input): WAV, AIFF, FLAC, Ogg");
    app.add_option("--modulator", modulatorPath, "modulator (side-chain)");
    app.add_option("--speak", speech,
                   "\"TEXT\" spoken by the speech synthesiser as the modulator, instead of --modulator");
    app.add_option("--out", outPath, "output file; the extension picks the format (32-bit float WAV by default)");
    app.add_option("--plugin", pluginPath, "the plug-in library, or a .vst3 bundle (default: beside this program)")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("--vst3", vst3, "host the plug-in through its VST3 bundle instead of its VST 2.4 entry");
    app.add_option("--preset", settings.preset,
                   "\"Folder/Name\" loads a factory or user preset (after --state, before the other settings)");
    app.add_flag("--list-presets", listPresets, "print the preset bank, one \"Folder/Name\" a line");
    app.add_option("--set", settings.values, "NAME=VALUE as typed in a host, or NAME=@0.25 normalised; repeatable");
    app.add_option("--graph", settings.graphs,
                   "NAME=x0:y0,x1:y1,... enables a band graph with straight segments through the points "
                   "(x 0..1 from the lowest band to the highest, y in the graph's units; see --list); repeatable");
    app.add_option("--lfo-target", settings.modulatorTargets,
                   "\"LFO n=PARAMETER\" adds a modulator target (n 1..4); its settings are parameters such as "
                   "\"LFO 1 Enabled\" and \"LFO 1 Frequency\"; repeatable");
    app.add_option("--lfo", settings.modulatorSwitches,
                   "\"LFO n=WORD,...\" with normal, follower, envelope, audio-envelope, random or pitch (the mode), "
                   "sync (to --tempo) and high-speed (ten times the frequency); repeatable");
    app.add_option("--midi", midiPath,
                   "a standard MIDI file played into the plug-in from the start, each event at its time: "
                   "notes for the modulators' MIDI envelopes, controllers for --midi-map");
    app.add_option("--midi-map", settings.midiMappings,
                   "\"SOURCE=PARAMETER\" maps a MIDI source onto a parameter: cc0 .. cc127, aftertouch, pitch-bend, "
                   "velocity, or note (the played note moves it); \"cc7@2=Volume\" listens to channel 2 only; "
                   "repeatable");
    app.add_flag("--list", list, "print every parameter with its value, and the band graphs");
    app.add_option("--state", settings.statePath, "load a state chunk before the settings");
    app.add_option("--save-state", saveStatePath, "write the state chunk after the settings");
    app.add_option("--tempo", settings.tempo,
                   "play a host transport at this tempo (BPM) from the start, for tempo-synced "
                   "and random modulators")
        ->check(CLI::Range(1.0, 999.0));
    app.add_option("--block", blockSize, "host block size")->capture_default_str()->check(CLI::Range(1, 65536));
    app.add_flag("--demo", demo,
                 "render the built-in demo into out/, once with a synthetic and once with a spoken modulator");
    app.add_option("--spectrogram", spectrogramPath, "PNG with the spectrograms of carrier, modulator and output");
    app.add_option("--editor-png", editorPath, "PNG of the plug-in's editor at its default settings");
    app.add_option("--editor-page", editorPage, "the editor's tab --editor-png shows")->capture_default_str();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : ErrorStatus;
    }

    try {
        if (demo && editorPath.empty()) editorPath = "out/editor.png";
        if (!editorPath.empty()) {
            std::filesystem::create_directories(std::filesystem::path(editorPath).parent_path().empty()
                                                    ? std::filesystem::path(".")
                                                    : std::filesystem::path(editorPath).parent_path());
            corvane::ReplacingFile picture(editorPath);
            CheckWritable(picture);
            WriteEditorPicture(picture, editorPage);
            Commit(picture);
            if (demo) WriteEditorPages(std::filesystem::path(editorPath).parent_path());
            if (!demo && carrierPath.empty() && !list && saveStatePath.empty() && !listPresets) return 0;
        }
        if (listPresets) {
            for (const std::string& preset : ListPresets()) std::printf("%s\n", preset.c_str());
            return 0;
        }
        if (!modulatorPath.empty() && !speech.empty())
            throw std::runtime_error("--modulator and --speak both name a modulator; give one");
        Audio carrier, modulator;
        if (demo) {
            std::filesystem::create_directories("out");
            carrier = DemoCarrier(48000.0, 8.0);
            modulator = DemoModulator(48000.0, 8.0);
            WriteAudio("out/demo-carrier.wav", carrier);
            WriteAudio("out/demo-modulator.wav", modulator);
            if (outPath.empty()) outPath = "out/demo.wav";
            if (spectrogramPath.empty()) spectrogramPath = "out/demo.png";
        } else if (!carrierPath.empty() || !modulatorPath.empty() || !speech.empty()) {
            if (carrierPath.empty() || (modulatorPath.empty() && speech.empty()))
                throw std::runtime_error("both --carrier and --modulator (or --speak) are needed");
            if (outPath.empty()) throw std::runtime_error("--out names the file to write");
            carrier = ReadInput(carrierPath);
            modulator = speech.empty() ? ReadInput(modulatorPath) : Speak(speech);
        } else if (!list && saveStatePath.empty()) {
            std::fprintf(stderr, "%s", app.help().c_str());
            return ErrorStatus;
        }
        const double rate = carrier.channels.empty() ? 48000.0 : carrier.sampleRate;
        if (pluginPath.empty()) pluginPath = DefaultPluginPath(argv[0], vst3);
        const std::vector<MidiMessage> midi =
            midiPath.empty() ? std::vector<MidiMessage>() : ReadMidiFile(midiPath, rate);
        {
            const std::unique_ptr<PluginHost> host = PluginHost::Open(pluginPath, rate, blockSize);
            PluginHost& plugin = *host;
            Configure(plugin, settings, rate);
            if (list) {
                PrintParameters(plugin);
                std::printf("\nband graphs (name, identifier, on/off, value units and range: points x:y)\n");
                for (const std::string& line : DescribeGraphs(plugin.GetState())) std::printf("%s\n", line.c_str());
            }
            if (!saveStatePath.empty()) WriteBytes(saveStatePath, plugin.GetState());
            if (carrier.channels.empty()) return 0;
            RenderFiles(plugin, carrier, modulator, midi, blockSize, outPath, spectrogramPath);
        }
        if (demo) {
            // The same synth under a spoken sentence, through the classic robot.
            Audio spoken = Speak(DemoSentence);
            WriteAudio("out/demo-speech-modulator.wav", spoken);
            spoken = Resample(spoken, rate);
            for (std::vector<float>& channel : spoken.channels) channel.resize(channel.size() + size_t(rate / 2));
            const double seconds = static_cast<double>(spoken.Frames()) / rate;
            Settings robot = settings;
            if (robot.preset.empty()) robot.preset = DemoPreset;
            const std::unique_ptr<PluginHost> host = PluginHost::Open(pluginPath, rate, blockSize);
            Configure(*host, robot, rate);
            RenderFiles(*host, DemoCarrier(rate, seconds), spoken, midi, blockSize, "out/demo-speech.wav",
                        "out/demo-speech.png");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sonvera-render: %s\n", e.what());
        return ErrorStatus;
    }
}
