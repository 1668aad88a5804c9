#include "framework/modulation/MLFO.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MLock.h"
#include "framework/parameters/AutomationAdapter.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

const char* const LFOModeNames[5] = {"Normal", "Envelope", "MIDI Envelope", "Random", "Pitch"};

namespace {

double Limit(double x, double low, double high) { return x >= low ? (x > high ? high : x) : low; }
double Fraction(double x) { return x - std::floor(x); }
// exp(-1 / (t * rate)), 0 for a time too short to hold anything.
double Keep(double seconds, double rate) {
    const double samples = seconds * rate;
    return std::fabs(samples) < 1e-50 ? 0.0 : std::exp(-1.0 / samples);
}

// Middle C: note 60 of the auto-tuner's scale.
constexpr double TuningReference = 261.6255653005986;

}  // namespace

MLFO::MLFO() {
    DeclareLFOSettings(settings_);
    for (MEnvelopeGraph* curve : {&customAttackShape, &customReleaseShape}) {
        const Target identity;
        curve->SetRange(identity.shape.GetRange());
        MEnvelope::Point points[2] = {identity.shape.DefaultPointAt(0), identity.shape.DefaultPointAt(1)};
        curve->SetDefaultShape(points, 2);
        curve->ResetToDefault();
    }
}

double MLFO::Value(int32_t setting) const {
    // Hosts write these while the audio thread reads them.
    const ParameterDescriptor& d = settings_[setting];
    if (d.kind == ParameterKindInteger) return LoadRelaxed(d.integerValues.value);
    if (d.kind == ParameterKindBool) return LoadRelaxed(d.boolValue);
    if (d.kind == ParameterKindEnum) return LoadRelaxed(d.enumValues.valueIndex);
    return LoadRelaxed(d.floatValues.value);
}

bool MLFO::Flag(int32_t setting) const { return LoadRelaxed(settings_[setting].boolValue) != 0; }

void MLFO::EnabledChanged(bool byUser, MParameterRegistry& parameters) {
    if (Enabled() == wasEnabled_) return;  // hosts repeat values
    wasEnabled_ = Enabled();
    if (wasEnabled_)
        RememberTargets(parameters);
    else if (byUser || restoreWhenDisabled)
        RestoreTargets(parameters);
}

void MLFO::Initialise(double sampleRate) {
    detector_.Setup(sampleRate);
    overlap_ = -1.0;
    std::fill(&filterState_[0][0], &filterState_[0][0] + 16, 0.0);
    rms_ = level_ = holdLeft_ = followerX_ = meanSquare_ = 0.0;
    bandPassKey_[0] = bandPassKey_[1] = bandPassKey_[2] = -1.0;
}

void MLFO::NoteOn() {
    gate_ = true;
    sinceOn_ = 0.0;
}

void MLFO::NoteOff() {
    if (!gate_) return;
    gate_ = false;
    releaseFrom_ = envelopeLevel_;
    sinceOff_ = 0.0;
}

const float* MLFO::DetectionChannel(const ModulatorBlock& block, int32_t channel) const {
    if (block.inputs == nullptr || channel >= block.channels) return nullptr;
    return block.inputs[(Flag(LFOSideChain) ? 8 : 0) + channel];
}

double MLFO::Project(bool onShape, double x, double phaseShift, double intervalSize) {
    if (onShape) return shape.Value(x * intervalSize + phaseShift);
    return Limit(2.0 * x - 1.0, -1.0, 1.0);
}

double MLFO::Oscillator(const ModulatorBlock& block, PhaseSyncGroup* group) {
    const bool synced = syncEnabled && block.tempo >= 0.0;
    const double k =
        SyncCyclesPerWholeNote(static_cast<int32_t>(Value(LFOSyncLength)), static_cast<int32_t>(Value(LFOSyncType)));
    const double source[3] = {synced ? block.tempo : Value(LFOFrequency) * (Flag(LFOHiSpeed) ? 10.0 : 1.0),
                              synced ? k : -1.0, block.sampleRate};
    incrementMoved_ = !std::equal(source, source + 3, incrementSource_);
    if (incrementMoved_) {
        std::copy(source, source + 3, incrementSource_);
        increment_ = synced ? block.tempo / (block.sampleRate * 240.0) * k : source[0] / block.sampleRate;
    }
    if (group != nullptr) JoinGroup(*group);
    if (synced && block.songPosition >= 0.0) phase = Fraction(Value(LFOSyncPhase) + block.songPosition * k * 0.25);
    const double value = shape.Value(phase);
    phase = Fraction(phase + block.samples * increment_);
    return value;
}

// The first member whose own increment moved (its frequency, or the tempo
// it follows) leads: the group takes its increment and phase. The others
// take the group's increment, and the phase of the block's first member.
void MLFO::JoinGroup(PhaseSyncGroup& group) {
    if (!group.led && incrementMoved_ && std::fabs(increment_ - group.increment) >= 1e-50) {
        group.led = true;
        group.increment = increment_;
        group.phase = phase;
    } else {
        increment_ = group.increment;
        if (group.processed == 0)
            group.phase = phase;
        else
            phase = group.phase;
    }
    ++group.processed;
}

// The level detector: peak or RMS, then a one-pole attack and release with
// a hold at the last peak. Runs over the band-passed input; the position it
// gives is used from the next sub-block on.
double MLFO::Follow(const ModulatorBlock& block, double oscillator) {
    const double rate = block.sampleRate;
    const double low = Value(FollowerBandPassMin), high = Value(FollowerBandPassMax), q = Value(FollowerBandPassQ);
    if (std::fabs(low - bandPassKey_[0]) >= 1e-50 || std::fabs(high - bandPassKey_[1]) >= 1e-50 ||
        std::fabs(q - bandPassKey_[2]) >= 1e-50) {
        const double nyquistSafe = 0.49 * rate;
        lowPass_.Prepare(MAudioFilters::LowPass, std::min(std::pow(10.0, high), nyquistSafe), rate, q);
        lowPass_.ComputeCoefficients(1.0);
        highPass_.Prepare(MAudioFilters::HighPass, std::min(std::pow(10.0, low), nyquistSafe), rate, q);
        highPass_.ComputeCoefficients(1.0);
        bandPassKey_[0] = low, bandPassKey_[1] = high, bandPassKey_[2] = q;
    }
    const bool lowPassOn = std::fabs(std::pow(10.0, high) - 20000.0) > 1.0;
    const bool highPassOn = std::fabs(std::pow(10.0, low) - 20.0) > 1.0;
    const double attack = Keep(Value(FollowerAttack), rate), release = Keep(Value(FollowerRelease), rate);
    const double rmsKeep = Keep(Value(FollowerRMSLength), rate);
    const double holdSamples = Value(FollowerHold) * rate, threshold = Value(FollowerThreshold);
    const double previousX = followerX_;
    double lowest = 0.0, highest = 0.0;
    bool any = false;
    auto run = [](const MAudioFilters::Filter<double>& f, double* s, double x) {
        // Direct form I: s[0], s[1] the last inputs, s[2], s[3] the last outputs.
        const double y = f.b0 * x + f.b1 * s[0] + f.b2 * s[1] + f.negA1 * s[2] + f.negA2 * s[3];
        s[1] = s[0], s[0] = x, s[3] = s[2], s[2] = y;
        return y;
    };
    for (int32_t i = 0; i < block.samples; ++i) {
        double magnitude = 0.0;
        for (int32_t c = 0; c < std::min(block.channels, 2); ++c) {
            const float* channel = DetectionChannel(block, c);
            if (channel == nullptr) continue;
            double x = channel[i];
            if (!std::isfinite(x)) x = 0.0;
            if (lowPassOn) x = run(lowPass_, filterState_[c], x);
            if (highPassOn) x = run(highPass_, filterState_[c] + 4, x);
            lowest = any ? std::min(lowest, x) : x;
            highest = any ? std::max(highest, x) : x;
            any = true;
            magnitude = std::max(magnitude, std::fabs(x));
        }
        if (maximize) magnitude = magnitude >= threshold ? 1.0 : 0.0;
        double e = magnitude;
        if (rmsKeep > 0.0) {
            rms_ = rmsKeep * rms_ + (1.0 - rmsKeep) * magnitude * magnitude;
            e = std::sqrt(rms_);
        }
        if (e >= level_) {
            level_ = e + (level_ - e) * attack;
            holdLeft_ = holdSamples;
        } else if (holdLeft_ > 0.0) {
            holdLeft_ -= 1.0;
        } else {
            level_ = e + (level_ - e) * release;
        }
    }
    const double v = followerMode == FollowerDirect ? (lowest + highest) / 2.0 : level_;
    followerX_ = FollowerPosition(followerMode, v, Value(FollowerLevelMin), Value(FollowerLevelMax));
    const double f = Project(projectFollower, previousX, Value(FollowerPhase), Value(FollowerIntervalSize));
    const double a = Value(FollowerLFOModulation);
    return (1.0 - a) * f + a * oscillator;
}

double MLFO::EnvelopeValue(const ModulatorBlock& block, double oscillator) {
    const double rate = block.sampleRate, dt = 1.0 / rate;
    bool gateMoved = false;  // then the gate's own time is set, else the block advances it
    if (envelopeSource == EnvelopeFromAudio) {
        const double c = Keep(Value(EnvelopeRMSLength), rate);
        const double on = Value(EnvelopeThresholdOn), off = Value(EnvelopeThresholdOff);
        int32_t change = -1;
        bool gate = gate_;
        for (int32_t i = 0; i < block.samples; ++i) {
            double sum = 0.0;
            for (int32_t ch = 0; ch < block.channels; ++ch)
                if (const float* channel = DetectionChannel(block, ch))
                    sum += std::isfinite(channel[i]) ? double(channel[i]) * channel[i] : 0.0;
            meanSquare_ = c * meanSquare_ + (1.0 - c) * sum + 1e-15;
            if (!gate && meanSquare_ > on)
                gate = true, change = i;
            else if (gate && meanSquare_ < off)
                gate = false, change = i;
        }
        if (change >= 0 && gate != gate_) {
            // The last change of the sub-block, at its sample position.
            if (gate) {
                NoteOn();
                sinceOn_ = (block.samples - change) * dt;
            } else {
                NoteOff();
                sinceOff_ = (block.samples - change) * dt;
            }
            gateMoved = true;
        }
    }
    if (!gateMoved) (gate_ ? sinceOn_ : sinceOff_) += block.samples * dt;
    envelopeLevel_ = gate_ ? envelope.HeldLevel(sinceOn_) : envelope.ReleaseLevel(sinceOff_, releaseFrom_);
    const double f = Project(projectEnvelope, envelopeLevel_, Value(EnvelopePhase), Value(EnvelopeIntervalSize));
    const double a = Value(EnvelopeLFOModulation);
    return (1.0 - a) * f + a * oscillator;
}

double MLFO::RandomStep(const ModulatorBlock& block, double oscillator) {
    const double scale = std::exp2(Value(RandomSpeed));
    double position;
    if (block.songPosition >= 0.0) {
        position = block.songPosition * scale;
    } else {
        // Two quarter notes a second without a host song position.
        position = randomPosition_ * scale;
        randomPosition_ += block.samples / (0.5 * block.sampleRate);
    }
    const double r = RandomValue(position, Value(RandomSmoothness));
    const double f = Project(projectRandom, Limit(r, 0.0, 1.0), Value(RandomPhase), Value(RandomIntervalSize));
    const double a = Value(RandomLFOModulation);
    return (1.0 - a) * f + a * oscillator;
}

// The auto-tuner pulls the detected note towards the nearest semitone: by
// "Depth" of the distance, reached at "Speed" per sub-block (1: at once).
double MLFO::PitchValue(const ModulatorBlock& block, double oscillator) {
    MPitchDetectorFFT::Settings settings;
    settings.threshold = Value(PitchThreshold) * Value(PitchThreshold);
    settings.lowest = std::pow(10.0, Value(PitchMinRecognized));
    settings.highest = std::pow(10.0, Value(PitchMaxRecognized));
    settings.stabilization = Value(PitchStabilization);
    settings.speed = Value(PitchSpeed);
    detector_.SetSettings(settings);
    const double accuracy = 1.0 - Value(PitchAccuracy);
    const double overlap = 0.995 - 0.295 * accuracy * accuracy;
    if (overlap != overlap_) {
        detector_.SetOverlap(overlap);
        overlap_ = overlap;
    }
    if (const float* channel = DetectionChannel(block, 0)) detector_.Feed(channel, block.samples);
    double f = detector_.Pitch();
    if (autoTune && f > 0.0) {
        const double note = 12.0 * std::log2(f / TuningReference) + 60.0;
        const double goal = Value(PitchAutoTuneDepth) * (std::round(note) - note);
        tuneCorrection_ += (goal - tuneCorrection_) * Value(PitchAutoTuneSpeed);
        f = TuningReference * std::exp2((note + tuneCorrection_ - 60.0) / 12.0);
    }
    if (f >= 20.0) {
        const double shift =
            Value(PitchShiftOctaves) + Value(PitchShiftSemitones) / 12.0 + Value(PitchShiftCents) / 1200.0;
        double low = Value(PitchMinFrequency), high = Value(PitchMaxFrequency);
        if (!(low < high)) low = 1.3010299956639813, high = 4.301029995663981;
        const double x = Limit((std::log10(f * std::exp2(shift)) - low) / (high - low), 0.0, 1.0);
        pitchValue_ = 2.0 * x - 1.0;
    }
    const double a = Value(PitchLFOModulation);
    return (1.0 - a) * pitchValue_ + a * oscillator;
}

void MLFO::Process(const ModulatorBlock& block, MParameterRegistry& parameters, PhaseSyncGroup* group) {
    double s;
    if (automationRead && !automationWrite) {
        s = 2.0 * Value(LFOAutomatedValue) - 1.0;
    } else {
        const double oscillator = Oscillator(block, group);
        switch (mode) {
            case LFOModeFollower:
                s = Follow(block, oscillator);
                break;
            case LFOModeEnvelope:
                s = EnvelopeValue(block, oscillator);
                break;
            case LFOModeRandom:
                s = RandomStep(block, oscillator);
                break;
            case LFOModePitch:
                s = PitchValue(block, oscillator);
                break;
            default:
                s = oscillator;
                break;
        }
    }
    s = Limit(s, -1.0, 1.0);
    output_ = s;
    if (automationWrite) {
        ParameterDescriptor& automated = settings_[LFOAutomatedValue];
        StoreRelaxed(automated.floatValues.value, (s + 1.0) * 0.5);
        if (automated.adapter != nullptr) automated.adapter->SendAllAutomation();
    }
    WriteTargets(s, parameters);
}

void MLFO::WriteTargets(double s, MParameterRegistry& parameters) {
    targets_.ForEach([&](Target& target) {
        if (!target.enabled || target.index < 0) return;
        const double st = target.shapeEnabled ? 2.0 * target.shape.Value((s + 1.0) * 0.5) - 1.0 : s;
        parameters.SetParameter(target.index, MapToTarget(targets_.RangeOf(target), st, target.invert), false);
    });
}

void MLFO::AdoptLoadedState(MParameterRegistry& parameters) {
    wasEnabled_ = Enabled();
    targets_.AdoptLoaded(parameters);
}

}  // namespace corvane
