#include "soundgen/FormantVoice.h"

#include "soundgen/Sound.h"

#include <algorithm>
#include <cmath>

namespace {

// Formant centres and bandwidths of sung vowels, Hz.
constexpr Vowel lowVowels[5] = {
    {{{650, 80}, {1080, 90}, {2650, 120}, {2900, 130}, {3250, 140}}}, // a
    {{{400, 70}, {1700, 80}, {2600, 100}, {3200, 120}, {3580, 120}}}, // e
    {{{290, 40}, {1870, 90}, {2800, 100}, {3250, 120}, {3540, 120}}}, // i
    {{{400, 40}, {800, 80}, {2600, 100}, {2800, 120}, {3000, 120}}},  // o
    {{{350, 40}, {600, 60}, {2700, 100}, {2900, 120}, {3300, 120}}},  // u
};
constexpr Vowel highVowels[5] = {
    {{{800, 80}, {1150, 90}, {2800, 120}, {3500, 130}, {4950, 140}}},  // a
    {{{400, 60}, {1600, 80}, {2700, 120}, {3300, 150}, {4950, 200}}},  // e
    {{{350, 50}, {1700, 100}, {2700, 120}, {3700, 150}, {4950, 200}}}, // i
    {{{450, 70}, {800, 80}, {2830, 100}, {3500, 130}, {4950, 135}}},   // o
    {{{325, 50}, {700, 60}, {2530, 170}, {3500, 180}, {4950, 200}}},   // u
};

// Harmonics fade out towards this frequency: a voice carries little above it.
constexpr float topHz = 5500.0f;
constexpr float topFadeHz = 800.0f;
// Brings the band-passed breath noise to about the voiced sound's level.
constexpr float breathGain = 6.0f;

// The vocal tract as a cascade of resonators: 1 at 0 Hz, a peak at each formant.
float tractGain(const Vowel& v, float hz) {
    float g = 1.0f;
    for (const Formant& f : v.formants) {
        const float f2 = f.hz * f.hz;
        const float d = f2 - hz * hz;
        const float b = hz * f.bandwidthHz;
        g *= f2 / std::sqrt(d * d + b * b);
    }
    return g;
}

} // namespace

Vowel vowelOf(VowelName name, VoiceRange range) {
    const int i = static_cast<int>(name);
    return range == VoiceRange::Low ? lowVowels[i] : highVowels[i];
}

Vowel blendVowels(const Vowel& a, const Vowel& b, float t) {
    Vowel v = a;
    for (int i = 0; i < 5; ++i) {
        // Formants move evenly in pitch, as a changing mouth shape moves them.
        v.formants[i].hz = a.formants[i].hz * std::pow(b.formants[i].hz / a.formants[i].hz, t);
        v.formants[i].bandwidthHz =
            a.formants[i].bandwidthHz + (b.formants[i].bandwidthHz - a.formants[i].bandwidthHz) * t;
    }
    return v;
}

Vowel scaleVowel(const Vowel& v, float factor) {
    Vowel scaled = v;
    for (Formant& f : scaled.formants) {
        f.hz *= factor;
    }
    return scaled;
}

FormantVoice::FormantVoice(const Vowel& startVowel, uint64_t seed)
    : vowel(startVowel), random(seed) {}

void FormantVoice::startBlock(float pitchHz) {
    const float f0 = std::max(pitchHz, 20.0f);
    const int wanted = std::clamp(static_cast<int>(topHz / f0), 1, maxHarmonics);
    float targets[maxHarmonics] = {};
    float power = 0.0f;
    for (int k = 1; k <= wanted; ++k) {
        const float hz = f0 * static_cast<float>(k);
        const float fade = std::clamp((topHz - hz) / topFadeHz, 0.0f, 1.0f);
        const float g = fade * tractGain(vowel, hz) / std::pow(static_cast<float>(k), tilt);
        targets[k - 1] = g;
        power += 0.5f * g * g;
    }
    const float norm = power > 0.0f ? 1.0f / std::sqrt(power) : 0.0f;
    // Harmonics that leave the band glide to silence before they are dropped.
    const int count = std::max(wanted, wantedHarmonics);
    wantedHarmonics = wanted;
    for (int k = 0; k < count; ++k) {
        gainSteps[k] = (targets[k] * norm - gains[k]) / static_cast<float>(blockFrames);
    }
    harmonicCount = count;
    blockFramesLeft = blockFrames;
    const Formant& f1 = vowel.formants[0];
    const Formant& f2 = vowel.formants[1];
    breathLow.setBandPass(f1.hz, 2.0f);
    breathHigh.setBandPass(f2.hz * 1.6f, 1.5f);
}

float FormantVoice::next(float pitchHz, float amplitude) {
    if (blockFramesLeft == 0) {
        startBlock(pitchHz);
    }
    --blockFramesLeft;
    phase += 2.0 * 3.141592653589793 * static_cast<double>(pitchHz) / sampleRateHz;
    if (phase > 2.0 * 3.141592653589793) {
        phase -= 2.0 * 3.141592653589793;
    }
    // sin(kθ) by the Chebyshev recurrence: two library calls per sample for all harmonics.
    const double s1 = std::sin(phase);
    const double twoCos = 2.0 * std::cos(phase);
    double previous = 0.0;
    double current = s1;
    double voiced = 0.0;
    for (int k = 0; k < harmonicCount; ++k) {
        gains[k] += gainSteps[k];
        voiced += static_cast<double>(gains[k]) * current;
        const double following = twoCos * current - previous;
        previous = current;
        current = following;
    }
    float breath = 0.0f;
    if (breathiness > 0.0f) {
        // Breath is loudest while the glottis is open, which ties it to the voice.
        const float pulse = 0.6f + 0.4f * static_cast<float>(std::cos(phase));
        const float n = random.noise() * pulse;
        breath = breathiness * breathGain * (breathLow.process(n) + 0.7f * breathHigh.process(n));
    }
    return amplitude * (static_cast<float>(voiced) + breath);
}
