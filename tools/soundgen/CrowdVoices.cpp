#include "soundgen/CrowdVoices.h"

#include "soundgen/FormantVoice.h"
#include "soundgen/Reverb.h"
#include "soundgen/SynthRandom.h"
#include "soundgen/Wobble.h"

#include <algorithm>
#include <cmath>

namespace {

struct CrowdShape {
    float seconds;
    int voices;
    float spreadSeconds; // latest onset after the first voice
    float shortest;      // seconds a voice lasts, at least
    float longest;
    float peakAt;     // seconds after a voice's onset when its pitch is highest
    float startPitch; // a voice's pitch at its onset, against its own natural pitch
    float peakPitch;
    float endPitch;
    uint64_t seed;
};

// The first crowd gasps at once and falls away; the second rises later into a longer "oooh".
constexpr CrowdShape crowds[2] = {
    {1.5f, 32, 0.22f, 0.7f, 1.25f, 0.12f, 0.92f, 1.22f, 0.82f, 7001},
    {1.8f, 36, 0.30f, 0.9f, 1.55f, 0.32f, 0.95f, 1.16f, 0.86f, 7002},
};

// The pitch contour of one startled voice, as a factor on its natural pitch.
float contour(const CrowdShape& s, float u, float length) {
    if (u < s.peakAt) {
        const float a = u / s.peakAt;
        return s.startPitch + (s.peakPitch - s.startPitch) * a * (2.0f - a);
    }
    const float a = std::min(1.0f, (u - s.peakAt) / std::max(0.05f, length - s.peakAt));
    return s.peakPitch + (s.endPitch - s.peakPitch) * a * a * (3.0f - 2.0f * a);
}

// One voice's loudness: a quick start, strongest as the pitch peaks, fading out by its end.
float loudness(const CrowdShape& s, float u, float length, float attack) {
    if (u < 0.0f || u > length) {
        return 0.0f;
    }
    const float rise = std::min(1.0f, u / attack);
    const float fall = 1.0f - (u / length) * (u / length);
    const float accent = 1.0f + 0.35f * std::exp(-std::fabs(u - s.peakAt) / 0.12f);
    return rise * rise * fall * accent;
}

} // namespace

Sound makeCrowdOoo(int variant) {
    const CrowdShape& s = crowds[std::clamp(variant, 0, 1)];
    Sound sound(framesOf(s.seconds));
    SynthRandom random(s.seed);
    for (int v = 0; v < s.voices; ++v) {
        const bool man = random.uniform() < 0.55f;
        const VoiceRange range = man ? VoiceRange::Low : VoiceRange::High;
        const float natural = man ? random.between(105.0f, 165.0f) : random.between(195.0f, 290.0f);
        // Somewhere between "oo" and "oh", with a vocal tract of the voice's own size.
        const Vowel vowel =
            scaleVowel(blendVowels(vowelOf(VowelName::U, range), vowelOf(VowelName::O, range),
                                   random.between(0.1f, 0.7f)),
                       random.between(0.94f, 1.08f));
        const float onset = 0.01f + s.spreadSeconds * std::pow(random.uniform(), 1.6f);
        const float length = random.between(s.shortest, s.longest);
        const float attack = random.between(0.04f, 0.11f);
        const float level = random.between(0.45f, 1.0f);
        const Pan pan = panOf(random.between(-0.85f, 0.85f));
        const float vibratoHz = random.between(4.5f, 6.5f);
        const float vibratoDepth = random.between(0.002f, 0.008f);
        const uint64_t seed = s.seed * 100 + static_cast<uint64_t>(v);
        FormantVoice voice(vowel, seed);
        voice.tilt = random.between(0.6f, 0.95f);
        voice.breathiness = random.between(0.12f, 0.35f);
        voice.phase = random.between(0.0f, 6.28f);
        Wobble jitter(7.0f, seed + 1);
        Wobble drift(1.5f, seed + 2);
        const size_t first = framesOf(onset);
        const size_t count = framesOf(length);
        for (size_t i = 0; i < count; ++i) {
            const float u = static_cast<float>(i) / sampleRateHz;
            const float wobble = 1.0f + vibratoDepth * std::sin(2.0f * pi * vibratoHz * u) +
                                 0.006f * jitter.next() + 0.01f * drift.next();
            const float pitch = natural * contour(s, u, length) * wobble;
            sound.add(first + i, voice.next(pitch, level * loudness(s, u, length, attack)), pan);
        }
    }
    Reverb hall(0.6f, 0.5f);
    hall.apply(sound, 0.35f);
    sound.fadeIn(0.003f);
    sound.fadeOut(0.12f);
    sound.scaleToPeak(0.8f);
    return sound;
}
