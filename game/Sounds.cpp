#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Everything is synthesised from fixed seeds, so every run gives byte-identical
// files: the desktop ships them, and the browser makes them at start rather
// than download them. Samples are mono float in -1..1 until written as 16-bit PCM.
namespace {

constexpr int kSampleRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Buffer = std::vector<float>;

// xorshift32: the standard distributions are not guaranteed to match across
// standard libraries, this is.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed) {}

    float Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t m_state;
};

double midiToHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

int toSamples(double seconds) {
    return static_cast<int>(seconds * kSampleRate);
}

// Attack ramp, exponential decay, then a linear fade that reaches exactly 0 at the
// last sample, so no note leaves anything behind for the next bar or the loop wrap.
float envelope(int i, int length, double attack, double decayTau, double fade) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double total = static_cast<double>(length - 1) / kSampleRate;
    double gain = std::exp(-t / decayTau);
    if (t < attack) {
        gain *= t / attack;
    }
    const double left = total - t;
    if (left < fade) {
        gain *= std::max(0.0, left / fade);
    }
    return static_cast<float>(gain);
}

void mixInto(Buffer& out, const Buffer& note, int start, float gain) {
    for (size_t i = 0; i < note.size(); ++i) {
        const size_t at = static_cast<size_t>(start) + i;
        if (at >= out.size()) {
            return;
        }
        out[at] += note[i] * gain;
    }
}

// Additive tone: harmonic k gets amplitude weight(k); harmonics above Nyquist are skipped.
template <typename Weight>
Buffer additiveTone(double hz, int length, int maxHarmonic, Weight weight) {
    Buffer tone(static_cast<size_t>(length), 0.0f);
    for (int k = 1; k <= maxHarmonic; ++k) {
        if (hz * k >= kSampleRate * 0.45) {
            break;
        }
        const double amp = weight(k);
        if (amp == 0.0) {
            continue;
        }
        const double step = 2.0 * kPi * hz * k / kSampleRate;
        for (int i = 0; i < length; ++i) {
            tone[static_cast<size_t>(i)] += static_cast<float>(amp * std::sin(step * i));
        }
    }
    return tone;
}

void applyEnvelope(Buffer& tone, double attack, double decayTau, double fade) {
    const int length = static_cast<int>(tone.size());
    for (int i = 0; i < length; ++i) {
        tone[static_cast<size_t>(i)] *= envelope(i, length, attack, decayTau, fade);
    }
}

Buffer bassNote(int note, double seconds) {
    Buffer tone = additiveTone(midiToHz(note), toSamples(seconds), 14,
                               [](int k) { return 1.0 / (k * (1.0 + 0.15 * k)); });
    applyEnvelope(tone, 0.004, 0.22, 0.03);
    return tone;
}

Buffer arpNote(int note, double seconds) {
    Buffer tone = additiveTone(midiToHz(note), toSamples(seconds), 9,
                               [](int k) { return k % 2 == 1 ? 1.0 / k : 0.0; });
    applyEnvelope(tone, 0.003, 0.06, 0.02);
    return tone;
}

Buffer leadNote(int note, double seconds) {
    // Triangle wave: odd harmonics falling with 1/k^2 and alternating sign.
    Buffer tone = additiveTone(midiToHz(note), toSamples(seconds), 9, [](int k) {
        if (k % 2 == 0) {
            return 0.0;
        }
        return ((k / 2) % 2 == 0 ? 1.0 : -1.0) / (k * k);
    });
    const int length = static_cast<int>(tone.size());
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double tremolo = 1.0 + 0.04 * std::sin(2.0 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
        tone[static_cast<size_t>(i)] *= static_cast<float>(tremolo);
    }
    applyEnvelope(tone, 0.015, 1.6, 0.06);
    return tone;
}

Buffer kick() {
    const int length = toSamples(0.18);
    Buffer out(static_cast<size_t>(length));
    double phase = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double hz = 45.0 + 85.0 * std::exp(-t / 0.03);
        phase += 2.0 * kPi * hz / kSampleRate;
        out[static_cast<size_t>(i)] =
            static_cast<float>(std::sin(phase)) * envelope(i, length, 0.002, 0.06, 0.03);
    }
    return out;
}

// One-pole low-pass over white noise; the difference of successive samples gives the
// bright variant used for hats.
Buffer filteredNoise(uint32_t seed, int length, float smoothing, bool highPass) {
    Noise noise(seed);
    Buffer out(static_cast<size_t>(length));
    float low = 0.0f;
    float previous = 0.0f;
    for (int i = 0; i < length; ++i) {
        const float white = noise.Next();
        low += smoothing * (white - low);
        out[static_cast<size_t>(i)] = highPass ? white - previous : low;
        previous = white;
    }
    return out;
}

Buffer hat(uint32_t seed) {
    Buffer out = filteredNoise(seed, toSamples(0.04), 1.0f, true);
    applyEnvelope(out, 0.001, 0.009, 0.01);
    return out;
}

Buffer snare(uint32_t seed) {
    const int length = toSamples(0.15);
    Buffer out = filteredNoise(seed, length, 0.45f, false);
    const double step = 2.0 * kPi * 185.0 / kSampleRate;
    for (int i = 0; i < length; ++i) {
        out[static_cast<size_t>(i)] += 0.5f * static_cast<float>(std::sin(step * i));
    }
    applyEnvelope(out, 0.001, 0.04, 0.03);
    return out;
}

float peakOf(const Buffer& samples) {
    float peak = 0.0f;
    for (const float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

void normalise(Buffer& samples, float peak) {
    const float current = peakOf(samples);
    if (current <= 0.0f) {
        return;
    }
    for (float& s : samples) {
        s *= peak / current;
    }
}

// A minor at 120 bpm: eight bars of i - VI - III - VII, played twice; the second half adds
// the snare and a lead line. Every note ends inside its own slot, so the loop wraps clean.
Buffer music() {
    constexpr double kBeat = 0.5;
    constexpr int kBars = 8;
    const int barLength = toSamples(4 * kBeat);
    Buffer out(static_cast<size_t>(barLength * kBars), 0.0f);

    const int roots[4] = {45, 41, 48, 43};
    const int chords[4][4] = {
        {69, 72, 76, 81}, {65, 69, 72, 77}, {67, 72, 76, 79}, {67, 71, 74, 79}};
    const int bassSteps[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    const int arpSteps[16] = {0, 1, 2, 1, 0, 1, 2, 3, 0, 1, 2, 1, 3, 2, 1, 2};

    // The bass, the arpeggio and the kick repeat the same few notes: each is
    // made once (the same samples every time) and mixed wherever it plays, which
    // makes the loop several times faster to build at start.
    std::map<int, Buffer> bassNotes;
    std::map<int, Buffer> arpNotes;
    const auto bass = [&bassNotes](int note) -> const Buffer& {
        auto found = bassNotes.find(note);
        if (found == bassNotes.end())
            found = bassNotes.emplace(note, bassNote(note, kBeat / 2)).first;
        return found->second;
    };
    const auto arp = [&arpNotes](int note) -> const Buffer& {
        auto found = arpNotes.find(note);
        if (found == arpNotes.end()) found = arpNotes.emplace(note, arpNote(note, kBeat / 4)).first;
        return found->second;
    };
    const Buffer drum = kick();

    uint32_t seed = 1;
    for (int bar = 0; bar < kBars; ++bar) {
        const int chord = bar % 4;
        const int barStart = bar * barLength;
        const bool secondHalf = bar >= 4;
        for (int step = 0; step < 8; ++step) {
            const int start = barStart + toSamples(step * kBeat / 2);
            mixInto(out, bass(roots[chord] + bassSteps[step]), start, 0.55f);
            if (step % 2 == 1) {
                mixInto(out, hat(seed++), start, 0.12f);
            }
        }
        for (int step = 0; step < 16; ++step) {
            const int start = barStart + toSamples(step * kBeat / 4);
            const int note = chords[chord][arpSteps[step]] + (secondHalf && step >= 8 ? 12 : 0);
            mixInto(out, arp(note), start, 0.16f);
        }
        for (int beat = 0; beat < 4; ++beat) {
            const int start = barStart + toSamples(beat * kBeat);
            mixInto(out, drum, start, 0.7f);
            if (secondHalf && beat % 2 == 1) {
                mixInto(out, snare(seed++), start, 0.22f);
            }
        }
    }

    struct LeadNote {
        double beat;
        double beats;
        int note;
    };
    const LeadNote lead[] = {
        {0, 2, 76}, {2, 1, 74}, {3, 1, 72},  {4, 3, 72},  {7, 1, 71},
        {8, 1, 72}, {9, 1, 76}, {10, 2, 79}, {12, 2, 74}, {14, 1.5, 71},
    };
    const int leadStart = 4 * barLength;
    for (const LeadNote& n : lead) {
        mixInto(out, leadNote(n.note, n.beats * kBeat), leadStart + toSamples(n.beat * kBeat),
                0.2f);
    }

    normalise(out, 0.245f);
    return out;
}

// Two quick rising tones.
Buffer uiBlip() {
    const double toneSeconds = 0.05;
    Buffer out(static_cast<size_t>(toSamples(2 * toneSeconds)), 0.0f);
    const int notes[2] = {81, 88};
    for (int i = 0; i < 2; ++i) {
        Buffer tone = additiveTone(midiToHz(notes[i]), toSamples(toneSeconds), 5,
                                   [](int k) { return k % 2 == 1 ? 1.0 / (k * k) : 0.0; });
        applyEnvelope(tone, 0.002, 0.05, 0.015);
        mixInto(out, tone, i * toSamples(toneSeconds), 1.0f);
    }
    normalise(out, 0.28f);
    return out;
}

// Restarted every frame while the ship breaks up, so it must die away fast: overlapping
// grains then make one rough burst instead of a building roar.
Buffer damageGrain() {
    const int length = toSamples(0.05);
    Buffer out = filteredNoise(207, length, 0.35f, false);
    Noise crackle(4242);
    for (float& s : out) {
        // Sparse spikes give the grain its crackle.
        if (crackle.Next() > 0.8f) {
            s *= 1.7f;
        }
    }
    applyEnvelope(out, 0.001, 0.015, 0.012);
    normalise(out, 0.18f);
    return out;
}

void putLE(std::string& file, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        file.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::string wavFile(const Buffer& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    putLE(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    putLE(file, 16, 4);
    putLE(file, 1, 2);
    putLE(file, 1, 2);
    putLE(file, kSampleRate, 4);
    putLE(file, kSampleRate * 2, 4);
    putLE(file, 2, 2);
    putLE(file, 16, 2);
    file += "data";
    putLE(file, dataBytes, 4);
    for (const float s : samples) {
        const long value = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        putLE(file, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value))), 2);
    }
    return file;
}

}  // namespace

std::string MakeSoundFile(const std::string& filename) {
    if (filename == "bgm.wav") return wavFile(music());
    if (filename == "ui.wav") return wavFile(uiBlip());
    if (filename == "damage.wav") return wavFile(damageGrain());
    return {};
}
