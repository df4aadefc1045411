#include "tools/musicgen/ambient_loop.h"

#include "tools/musicgen/loop_random.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// One cycle of a band-limited wave whose harmonics fall off by 1/n^rolloff. The pads blend a dark and a
// brighter table over time: a slow filter sweep without a filter's state, which would not come back to where
// it started at the loop's end.
class Wavetable {
public:
    static constexpr int size = 4096;

    Wavetable(int harmonics, double rolloff) : values(size + 1) {
        for (int i = 0; i < size; ++i) {
            double sum = 0;
            for (int n = 1; n <= harmonics; ++n)
                sum += std::sin(2 * pi * n * i / size) / std::pow(n, rolloff);
            values[i] = static_cast<float>(sum);
        }
        float peak = 0;
        for (int i = 0; i < size; ++i)
            peak = std::max(peak, std::abs(values[i]));
        for (float& v : values)
            v /= peak;
        values[size] = values[0];
    }

    // `phase` in [0, 1).
    float at(double phase) const {
        double position = phase * size;
        int index = static_cast<int>(position);
        float fraction = static_cast<float>(position - index);
        return values[index] + (values[index + 1] - values[index]) * fraction;
    }

private:
    std::vector<float> values;
};

// An oscillator that makes a whole number of cycles per loop. Its phase at a frame is
// (offset + cycles * frame) mod frames, kept exactly in integers, so the loop's last frame leads into its
// first as smoothly as any two neighbouring frames.
struct LoopOscillator {
    std::uint64_t cycles;
    std::uint64_t offset;
};

struct Chord {
    int bass;
    std::array<int, 4> upper;
};

// In A minor, so that the pentatonic bells sound right over every chord.
constexpr std::array<Chord, 6> progression = {{
    {45, {57, 60, 64, 67}}, // Am7
    {41, {53, 57, 60, 64}}, // Fmaj7
    {48, {55, 60, 64, 71}}, // Cmaj7
    {43, {55, 59, 62, 64}}, // G6
    {38, {53, 57, 60, 64}}, // Dm9
    {40, {55, 59, 62, 64}}, // Em7
}};

constexpr std::array<int, 7> bellNotes = {69, 72, 74, 76, 79, 81, 84}; // A minor pentatonic, A4 to C6

// Each channel hears its own detuned copies of every note; the small differences give the stereo width.
constexpr std::array<double, 3> leftDetuneCents = {-7, 0, 5};
constexpr std::array<double, 3> rightDetuneCents = {-4, 2, 8};

class LoopSynth {
public:
    explicit LoopSynth(int seconds)
        : frames(static_cast<std::size_t>(seconds) * musicSampleRate), dark(6, 2.5), bright(10, 1.6),
          random(0x48656C69u) {
        out.left.assign(frames, 0.0f);
        out.right.assign(frames, 0.0f);
    }

    StereoSignal render() {
        for (std::size_t k = 0; k < progression.size(); ++k)
            addChord(k);
        addBells();
        normalize(std::pow(10.0, -3.0 / 20.0));
        return std::move(out);
    }

private:
    std::size_t frames;
    Wavetable dark;
    Wavetable bright;
    LoopRandom random;
    StereoSignal out;

    LoopOscillator oscillator(double frequency) {
        double loopSeconds = static_cast<double>(frames) / musicSampleRate;
        auto cycles = static_cast<std::uint64_t>(std::llround(frequency * loopSeconds));
        auto offset = static_cast<std::uint64_t>(random.unit() * static_cast<double>(frames));
        return {cycles, offset};
    }

    // How bright the pads are at a frame: two slow sweeps per loop, periodic in the loop length.
    double brightnessAt(std::size_t frame) const {
        return 0.3 - 0.3 * std::cos(2 * pi * 2 * static_cast<double>(frame) / static_cast<double>(frames));
    }

    // Chord k sounds from its start to the next chord's start, each change crossfaded with sin² and cos²
    // (which sum to one). The last chord's fade wraps around into the first.
    void addChord(std::size_t k) {
        std::size_t start = k * frames / progression.size();
        std::size_t length = (k + 1) * frames / progression.size() - start;
        std::size_t fade = std::min<std::size_t>(4 * musicSampleRate, length / 2);
        std::size_t windowStart = (start + frames - fade / 2) % frames;

        std::vector<float> envelope(length + fade);
        std::vector<float> brightness(envelope.size());
        for (std::size_t i = 0; i < envelope.size(); ++i) {
            double gain = 1;
            if (i < fade)
                gain = std::pow(std::sin(pi / 2 * static_cast<double>(i) / fade), 2);
            else if (i >= length)
                gain = std::pow(std::cos(pi / 2 * static_cast<double>(i - length) / fade), 2);
            envelope[i] = static_cast<float>(gain);
            brightness[i] = static_cast<float>(brightnessAt((windowStart + i) % frames));
        }

        const Chord& chord = progression[k];
        addPadNote(chord.bass, 0.5, 0.5, windowStart, envelope, brightness);
        for (std::size_t j = 0; j < chord.upper.size(); ++j) {
            double pan = j % 2 == 0 ? 0.38 : 0.62;
            addPadNote(chord.upper[j], 0.28, pan, windowStart, envelope, brightness);
        }
    }

    void addPadNote(int midiNote, double gain, double pan, std::size_t windowStart,
                    const std::vector<float>& envelope, const std::vector<float>& brightness) {
        double frequency = noteFrequency(midiNote);
        double perCopy = gain / leftDetuneCents.size();
        for (double cents : leftDetuneCents)
            addPadOscillator(out.left, frequency * std::pow(2.0, cents / 1200), perCopy * (1 - pan) * 2,
                             windowStart, envelope, brightness);
        for (double cents : rightDetuneCents)
            addPadOscillator(out.right, frequency * std::pow(2.0, cents / 1200), perCopy * pan * 2,
                             windowStart, envelope, brightness);
    }

    void addPadOscillator(std::vector<float>& channel, double frequency, double gain, std::size_t windowStart,
                          const std::vector<float>& envelope, const std::vector<float>& brightness) {
        LoopOscillator osc = oscillator(frequency);
        std::uint64_t phase = (osc.offset + osc.cycles * windowStart) % frames;
        std::size_t frame = windowStart;
        double framesInverse = 1.0 / static_cast<double>(frames);
        for (std::size_t i = 0; i < envelope.size(); ++i) {
            double position = static_cast<double>(phase) * framesInverse;
            float wave = dark.at(position) * (1 - brightness[i]) + bright.at(position) * brightness[i];
            channel[frame] += static_cast<float>(gain) * envelope[i] * wave;
            phase += osc.cycles;
            if (phase >= frames)
                phase -= frames;
            if (++frame == frames)
                frame = 0;
        }
    }

    // Soft bells at sparse, seeded times; now and then a second note a step higher answers the first. Each
    // bell has an echo on the other side. A tail running past the loop's end rings on at its start.
    void addBells() {
        double seconds = static_cast<double>(frames) / musicSampleRate;
        for (double time = 1 + 2 * random.unit(); time < seconds; time += 4 + 6 * random.unit()) {
            int step = random.below(static_cast<int>(bellNotes.size()) - 1);
            double pan = 0.25 + 0.5 * random.unit();
            addBell(time, noteFrequency(bellNotes[step]), pan, 0.22);
            if (random.unit() < 0.3)
                addBell(time + 0.35, noteFrequency(bellNotes[step + 1]), 1 - pan, 0.15);
        }
    }

    void addBell(double time, double frequency, double pan, double gain) {
        struct Partial {
            double ratio, level;
        };
        constexpr std::array<Partial, 4> partials = {{{1.0, 1.0}, {2.0, 0.3}, {2.76, 0.2}, {5.4, 0.06}}};
        constexpr double attackSeconds = 0.01;
        std::size_t length = std::min<std::size_t>(7 * musicSampleRate, frames);
        std::array<double, partials.size()> decayRates;
        for (std::size_t p = 0; p < partials.size(); ++p)
            decayRates[p] = std::pow(partials[p].ratio, 0.8) / 2.2; // higher partials die away sooner
        std::vector<float> tone(length);
        for (std::size_t i = 0; i < length; ++i) {
            double t = static_cast<double>(i) / musicSampleRate;
            double sum = 0;
            for (std::size_t p = 0; p < partials.size(); ++p)
                sum += partials[p].level * std::exp(-t * decayRates[p]) *
                       std::sin(2 * pi * frequency * partials[p].ratio * t);
            double attack = t < attackSeconds ? std::pow(std::sin(pi / 2 * t / attackSeconds), 2) : 1;
            tone[i] = static_cast<float>(gain * attack * sum);
        }
        auto startFrame = static_cast<std::size_t>(time * musicSampleRate);
        addWrapped(tone, startFrame, 1 - pan, pan);
        addWrapped(tone, startFrame + static_cast<std::size_t>(0.43 * musicSampleRate), pan * 0.35,
                   (1 - pan) * 0.35);
    }

    void addWrapped(const std::vector<float>& tone, std::size_t startFrame, double leftGain,
                    double rightGain) {
        for (std::size_t i = 0; i < tone.size(); ++i) {
            std::size_t frame = (startFrame + i) % frames;
            out.left[frame] += static_cast<float>(leftGain) * tone[i];
            out.right[frame] += static_cast<float>(rightGain) * tone[i];
        }
    }

    void normalize(double targetPeak) {
        float peak = 0;
        for (const auto* channel : {&out.left, &out.right})
            for (float v : *channel)
                peak = std::max(peak, std::abs(v));
        if (peak == 0)
            return;
        auto scale = static_cast<float>(targetPeak / peak);
        for (auto* channel : {&out.left, &out.right})
            for (float& v : *channel)
                v *= scale;
    }
};

} // namespace

StereoSignal synthesizeAmbientLoop(int seconds) {
    return LoopSynth(seconds).render();
}
