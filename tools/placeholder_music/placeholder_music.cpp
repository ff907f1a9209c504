// Writes the stand-in music for the build until the synthesizer's song replaces it: 32 s of
// a four-chord loop at 120 beats per minute (pad, arpeggio, bass line, kick, snare, hats),
// stereo 44.1 kHz, as a 192 kbit/s MP3.
//
// Usage: quarvel_placeholder_music OUTPUT.mp3
#include "mp3_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 32.0;
constexpr double kBeat = 0.5;  // 120 bpm
constexpr double kBar = 4 * kBeat;
constexpr double kTau = 2.0 * std::numbers::pi;

// Am - F - C - G, two bars each, as MIDI notes: bass root, then three chord tones.
constexpr int kChords[4][4] = {{45, 69, 72, 76}, {41, 69, 72, 77}, {48, 67, 72, 76}, {43, 67, 71, 74}};

double Frequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Mix {
    std::vector<double> left, right;
    explicit Mix(size_t frames) : left(frames), right(frames) {}
    void Add(size_t frame, double value, double pan) {  // pan -1 (left) .. 1 (right)
        if (frame >= left.size()) return;
        left[frame] += value * std::sqrt(0.5 * (1.0 - pan));
        right[frame] += value * std::sqrt(0.5 * (1.0 + pan));
    }
};

// A soft, band-limited saw: a few harmonics falling off faster than 1/n.
double SoftSaw(double phase) {
    double value = 0.0;
    for (int n = 1; n <= 6; ++n) value += std::sin(phase * n) / (n * std::sqrt(n));
    return value * 0.5;
}

void AddPad(Mix& mix, double start, double length, int note, double pan) {
    auto first = static_cast<size_t>(start * kRate);
    auto frames = static_cast<size_t>(length * kRate);
    double f = Frequency(note);
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kRate;
        double envelope = std::min(1.0, t / 0.25) * std::min(1.0, (length - t) / 0.3);
        double value = SoftSaw(kTau * f * t) + SoftSaw(kTau * f * 1.004 * t);
        mix.Add(first + i, 0.045 * envelope * value, pan);
    }
}

void AddPluck(Mix& mix, double start, int note, double level, double pan, double decay) {
    auto first = static_cast<size_t>(start * kRate);
    double f = Frequency(note);
    for (size_t i = 0; i < static_cast<size_t>(0.6 * kRate); ++i) {
        double t = static_cast<double>(i) / kRate;
        double envelope = std::min(1.0, t / 0.004) * std::exp(-t * decay);
        double value = std::sin(kTau * f * t) + 0.3 * std::sin(2 * kTau * f * t);
        mix.Add(first + i, level * envelope * value, pan);
    }
}

void AddKick(Mix& mix, double start) {
    auto first = static_cast<size_t>(start * kRate);
    double phase = 0.0;
    for (size_t i = 0; i < static_cast<size_t>(0.35 * kRate); ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += kTau * (45.0 + 90.0 * std::exp(-t * 30.0)) / kRate;
        mix.Add(first + i, 0.5 * std::exp(-t * 9.0) * std::sin(phase), 0.0);
    }
}

uint32_t noiseState = 0x1234567u;
double Noise() {
    noiseState = noiseState * 1664525u + 1013904223u;
    return static_cast<double>(noiseState >> 8) / 8388608.0 - 1.0;
}

void AddNoiseHit(Mix& mix, double start, double length, double level, double decay, double pan,
                 double tone) {
    auto first = static_cast<size_t>(start * kRate);
    double previous = 0.0;
    for (size_t i = 0; i < static_cast<size_t>(length * kRate); ++i) {
        double t = static_cast<double>(i) / kRate;
        double noise = Noise();
        double bright = noise - previous;  // first difference: a crude high-pass
        previous = noise;
        double body = tone > 0.0 ? 0.6 * std::sin(kTau * tone * t) * std::exp(-t * 25.0) : 0.0;
        mix.Add(first + i, level * std::exp(-t * decay) * (bright + body), pan);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.mp3\n", argv[0]);
        return 2;
    }
    auto frames = static_cast<size_t>(kSeconds * kRate);
    Mix mix(frames);
    int bars = static_cast<int>(kSeconds / kBar);
    for (int bar = 0; bar < bars; ++bar) {
        const int* chord = kChords[(bar / 2) % 4];
        double barStart = bar * kBar;
        if (bar % 2 == 0) {
            for (int voice = 1; voice < 4; ++voice) AddPad(mix, barStart, 2 * kBar, chord[voice] - 12, -0.6 + 0.6 * (voice - 1));
        }
        for (int eighth = 0; eighth < 8; ++eighth) {
            double at = barStart + eighth * kBeat / 2;
            int note = chord[0] + (eighth == 3 || eighth == 7 ? 12 : 0);
            AddPluck(mix, at, note, 0.16, 0.0, 7.0);
            if (bar >= 2) {
                int tone = chord[1 + (eighth % 3)] + (eighth >= 4 ? 12 : 0);
                AddPluck(mix, at, tone, 0.05, eighth % 2 ? 0.5 : -0.5, 9.0);
                AddPluck(mix, at + 3 * kBeat / 4, tone, 0.02, eighth % 2 ? -0.5 : 0.5, 9.0);  // echo
            }
        }
        for (int beat = 0; beat < 4; ++beat) {
            double at = barStart + beat * kBeat;
            AddKick(mix, at);
            if (beat % 2 == 1 && bar >= 1) AddNoiseHit(mix, at, 0.25, 0.09, 18.0, 0.1, 185.0);
            if (bar >= 1) AddNoiseHit(mix, at + kBeat / 2, 0.06, 0.03, 60.0, 0.3, 0.0);
        }
    }

    double peak = 1e-9;
    for (size_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    std::vector<int16_t> pcm(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kRate;
        double fade = std::min({1.0, t / 0.5, (kSeconds - t) / 2.0});
        double gain = 0.89 / peak * std::max(0.0, fade) * 32767.0;
        pcm[2 * i] = static_cast<int16_t>(std::lround(mix.left[i] * gain));
        pcm[2 * i + 1] = static_cast<int16_t>(std::lround(mix.right[i] * gain));
    }
    if (!quarvel::tools::WriteMp3(argv[1], pcm.data(), frames, 2, kRate, 192)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
