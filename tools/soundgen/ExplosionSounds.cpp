#include "soundgen/ExplosionSounds.h"

#include "soundgen/Biquad.h"
#include "soundgen/Reverb.h"
#include "soundgen/SynthRandom.h"
#include "soundgen/Wobble.h"

#include <algorithm>
#include <cmath>

namespace {

struct ExplosionShape {
    float seconds;
    float boomHz;        // the thump's pitch at its start; it sinks to half
    float boomSeconds;   // decay time of the thump
    float rumbleSeconds; // decay time of the rumble
    float cutoffHz;      // the distance low-pass at the blast; it closes further as the rumble dies
    float echoAt;        // seconds to the echo from the hills
    float echoGain;
    uint64_t seed;
};

constexpr ExplosionShape explosions[3] = {
    {3.6f, 62.0f, 0.45f, 0.9f, 420.0f, 0.55f, 0.45f, 11},
    {4.5f, 48.0f, 0.70f, 1.3f, 320.0f, 0.9f, 0.55f, 22},
    {3.0f, 75.0f, 0.35f, 0.7f, 520.0f, 0.38f, 0.35f, 33},
};

} // namespace

Sound makeDistantExplosion(int variant) {
    const ExplosionShape& s = explosions[std::clamp(variant, 0, 2)];
    Sound sound(framesOf(s.seconds));
    SynthRandom random(s.seed);
    Wobble roll(2.5f, s.seed + 1);
    Wobble rollRight(2.5f, s.seed + 2);
    Biquad rumble[2];
    Biquad distance[2][2];
    Biquad floor[2];
    for (int side = 0; side < 2; ++side) {
        floor[side].setHighPass(28.0f, 0.7f);
    }
    double boomPhase = 0.0;
    // The blast, then the same shape again from the hills: softer, lower and longer.
    const float arrivals[2] = {0.0f, s.echoAt};
    const float gains[2] = {1.0f, s.echoGain};
    for (size_t i = 0; i < sound.frames(); ++i) {
        const float t = static_cast<float>(i) / sampleRateHz;
        float rumbleEnvelope = 0.0f;
        float boomEnvelope = 0.0f;
        for (int a = 0; a < 2; ++a) {
            const float u = t - arrivals[a];
            if (u < 0.0f) {
                continue;
            }
            // Far away there is no sharp front: the boom swells in over tens of milliseconds.
            const float attack = std::min(1.0f, u / (a == 0 ? 0.04f : 0.12f));
            const float stretch = a == 0 ? 1.0f : 1.6f;
            rumbleEnvelope += gains[a] * attack * std::exp(-u / (s.rumbleSeconds * stretch));
            boomEnvelope += gains[a] * attack * std::exp(-u / (s.boomSeconds * stretch));
        }
        const float boomHz = s.boomHz * (0.5f + 0.5f * std::exp(-t / 0.5f));
        boomPhase += 2.0 * 3.141592653589793 * boomHz / sampleRateHz;
        const float boom = static_cast<float>(std::sin(boomPhase)) * boomEnvelope;
        // The rumble's band narrows as it dies: what is left is the lowest roll.
        const float cutoff = 60.0f + (s.cutoffHz - 60.0f) * std::exp(-t / 1.2f);
        const float rolls[2] = {std::max(0.2f, 1.0f + 0.6f * roll.next()),
                                std::max(0.2f, 1.0f + 0.6f * rollRight.next())};
        float out[2];
        for (int side = 0; side < 2; ++side) {
            if (i % 64 == 0) {
                rumble[side].setLowPass(cutoff, 0.9f);
                distance[side][0].setLowPass(cutoff * 1.3f, 0.6f);
                distance[side][1].setLowPass(cutoff * 1.6f, 0.6f);
            }
            const float r = rumble[side].process(random.noise()) * rumbleEnvelope * rolls[side];
            const float mixed = 2.2f * r + 0.9f * boom;
            out[side] =
                floor[side].process(distance[side][1].process(distance[side][0].process(mixed)));
        }
        sound.left[i] = out[0];
        sound.right[i] = out[1];
    }
    Reverb valley(0.9f, 0.8f);
    valley.apply(sound, 0.5f);
    sound.fadeOut(0.6f);
    sound.scaleToPeak(0.85f);
    return sound;
}
