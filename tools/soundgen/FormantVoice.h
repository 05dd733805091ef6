// A sung or spoken voice: the harmonics of a glottal source shaped by the five formant resonances
// of a vowel, plus a little breath noise. The caller drives its pitch, loudness and vowel.
#pragma once

#include "soundgen/Biquad.h"
#include "soundgen/SynthRandom.h"

#include <cstdint>

struct Formant {
    float hz;
    float bandwidthHz;
};

struct Vowel {
    Formant formants[5];
};

enum class VowelName { A, E, I, O, U };
enum class VoiceRange { Low, High }; // a man's or a woman's vocal tract

Vowel vowelOf(VowelName name, VoiceRange range);
// t = 0 gives a, t = 1 gives b; a vowel changing over time passes through the blends.
Vowel blendVowels(const Vowel& a, const Vowel& b, float t);
// A longer or shorter vocal tract: every formant moved by the factor.
Vowel scaleVowel(const Vowel& v, float factor);

class FormantVoice {
  public:
    Vowel vowel;              // read every block
    float tilt = 1.0f;        // harmonic k leaves the glottis at 1 / k^tilt: lower is brighter
    float breathiness = 0.0f; // breath noise level against the voiced sound, 0 to about 1
    double phase = 0.0;       // the fundamental's phase, radians

    FormantVoice(const Vowel& startVowel, uint64_t seed);

    // The next sample: the voiced sound's RMS level is `amplitude`.
    float next(float pitchHz, float amplitude);

  private:
    static constexpr int maxHarmonics = 64;
    static constexpr int blockFrames = 32; // harmonic levels glide from one block to the next
    float gains[maxHarmonics] = {};
    float gainSteps[maxHarmonics] = {};
    int harmonicCount = 0;   // harmonics summed: this block's and the last block's
    int wantedHarmonics = 0; // harmonics in the voice's band at the last block's pitch
    int blockFramesLeft = 0;
    Biquad breathLow;
    Biquad breathHigh;
    SynthRandom random;

    void startBlock(float pitchHz);
};
