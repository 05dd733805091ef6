#include "soundgen/FireSounds.h"

#include "soundgen/Biquad.h"
#include "soundgen/SynthRandom.h"
#include "soundgen/Wobble.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// How strongly the fire burns at a time in seconds: 0 out, 1 fully alight.
using Intensity = std::function<float(float)>;

// The low, breathing roar of the flames: brown noise low-passed, fluttering a few times a second,
// with a soft hiss of gas above it.
void addRoar(Sound& sound, const Intensity& intensity, float level, uint64_t seed) {
    SynthRandom random(seed);
    Wobble flutter(3.0f, seed + 1);
    Wobble flicker(9.0f, seed + 2);
    Biquad lowPass[2];
    Biquad highPass[2];
    Biquad hiss[2];
    float brown[2] = {0.0f, 0.0f};
    for (int side = 0; side < 2; ++side) {
        lowPass[side].setLowPass(side == 0 ? 420.0f : 470.0f, 0.8f);
        highPass[side].setHighPass(45.0f, 0.7f);
        hiss[side].setBandPass(2600.0f, 0.6f);
    }
    for (size_t i = 0; i < sound.frames(); ++i) {
        const float t = static_cast<float>(i) / sampleRateHz;
        const float swell = std::max(0.15f, 1.0f + 0.45f * flutter.next());
        const float flick = std::max(0.0f, 1.0f + 0.6f * flicker.next());
        const float g = level * intensity(t);
        float out[2];
        for (int side = 0; side < 2; ++side) {
            brown[side] = 0.997f * brown[side] + 0.06f * random.noise();
            const float roar = highPass[side].process(lowPass[side].process(brown[side]));
            const float gas = hiss[side].process(random.noise()) * 0.1f * flick;
            out[side] = g * (roar * swell + gas);
        }
        sound.left[i] += out[0];
        sound.right[i] += out[1];
    }
}

// One crackle: a few milliseconds of band-passed noise with an instant attack. Large ones sound
// lower and ring longer, like a knot of wood bursting; small ones are the fine ticking.
void addCrackle(Sound& sound, size_t at, float loudness, Pan pan, SynthRandom& random) {
    const bool pop = loudness > 0.35f && random.uniform() < 0.6f;
    const float decaySeconds =
        pop ? random.between(0.004f, 0.018f) : random.between(0.0006f, 0.003f);
    const float centreHz = pop ? random.between(600.0f, 2200.0f) : random.between(2000.0f, 7500.0f);
    Biquad band;
    band.setBandPass(centreHz, pop ? 1.2f : 0.9f);
    const size_t length = framesOf(decaySeconds * 6.0f);
    const float perFrame = std::exp(-1.0f / (decaySeconds * sampleRateHz));
    float envelope = loudness * (pop ? 4.0f : 6.0f);
    for (size_t i = 0; i < length; ++i) {
        sound.add(at + i, band.process(random.noise()) * envelope, pan);
        envelope *= perFrame;
    }
}

// Crackles at random times, their number per second following the intensity; sizes follow a
// steep power law: many tiny ticks, now and then a loud snap, sometimes in short bursts.
void addCrackles(Sound& sound, const Intensity& intensity, float perSecond, float level,
                 uint64_t seed) {
    SynthRandom random(seed);
    for (size_t i = 0; i < sound.frames(); ++i) {
        const float t = static_cast<float>(i) / sampleRateHz;
        const float chance = perSecond * intensity(t) / sampleRateHz;
        if (random.uniform() >= chance) {
            continue;
        }
        const float size = std::min(1.0f, 0.04f / std::pow(random.between(0.002f, 1.0f), 0.65f));
        const Pan pan = panOf(random.between(-0.7f, 0.7f));
        addCrackle(sound, i, size * level, pan, random);
        if (size > 0.5f && random.uniform() < 0.5f) {
            const int echoes = 1 + static_cast<int>(random.uniform() * 4.0f);
            size_t at = i;
            for (int e = 0; e < echoes; ++e) {
                at += framesOf(random.between(0.004f, 0.03f));
                addCrackle(sound, at, size * level * random.between(0.2f, 0.7f), pan, random);
            }
        }
    }
}

// The rush of air as the flame catches: noise through a band-pass sweeping upwards, swelling
// fast and falling back into the fire, with a soft low thump as the fuel takes.
void addWhoosh(Sound& sound, float startSeconds, float riseSeconds, float fromHz, float toHz,
               float level, uint64_t seed) {
    SynthRandom random(seed);
    Biquad band[2];
    Biquad body[2];
    Biquad thump;
    thump.setLowPass(110.0f, 0.9f);
    for (int side = 0; side < 2; ++side) {
        body[side].setLowPass(700.0f, 0.7f);
    }
    const float fallSeconds = riseSeconds * 2.2f + 0.25f;
    for (size_t i = framesOf(startSeconds); i < sound.frames(); ++i) {
        const float t = static_cast<float>(i) / sampleRateHz - startSeconds;
        if (t > riseSeconds + fallSeconds * 2.5f) {
            break;
        }
        float envelope;
        float sweep;
        if (t < riseSeconds) {
            const float u = t / riseSeconds;
            envelope = u * u * (3.0f - 2.0f * u);
            sweep = u;
        } else {
            const float u = (t - riseSeconds) / fallSeconds;
            envelope = std::exp(-2.2f * u);
            sweep = 1.0f + 0.3f * (1.0f - std::exp(-u));
        }
        const float hz = fromHz * std::pow(toHz / fromHz, std::min(sweep, 1.3f));
        float out[2];
        for (int side = 0; side < 2; ++side) {
            band[side].setBandPass(hz * (side == 0 ? 0.95f : 1.05f), 1.1f);
            const float n = random.noise();
            out[side] = band[side].process(n) * 2.2f + body[side].process(n) * 0.9f;
        }
        const float thumpEnvelope = t < 0.03f ? t / 0.03f : std::exp(-(t - 0.03f) / 0.12f);
        const float low = thump.process(random.noise()) * 5.0f * thumpEnvelope;
        sound.left[i] += level * (envelope * out[0] + low);
        sound.right[i] += level * (envelope * out[1] + low);
    }
}

struct FireStartShape {
    float seconds;
    float whooshAt;     // seconds
    float riseSeconds;  // of the whoosh
    float fromHz;       // the whoosh's band at its start
    float toHz;         // and at its peak
    float crackles;     // per second at full intensity
    float secondGustAt; // seconds; 0 = a single gust
    uint64_t seed;
};

constexpr FireStartShape fireStarts[4] = {
    {1.6f, 0.05f, 0.25f, 250.0f, 1400.0f, 110.0f, 0.0f, 101},
    {2.2f, 0.08f, 0.45f, 150.0f, 900.0f, 90.0f, 0.0f, 202},
    {1.2f, 0.02f, 0.12f, 400.0f, 2500.0f, 140.0f, 0.0f, 303},
    {2.0f, 0.04f, 0.20f, 220.0f, 1200.0f, 100.0f, 0.62f, 404},
};

} // namespace

Sound makeFireStart(int variant) {
    const FireStartShape& s = fireStarts[std::clamp(variant, 0, 3)];
    Sound sound(framesOf(s.seconds));
    const float caught = s.whooshAt + s.riseSeconds * 0.8f;
    const Intensity intensity = [&s, caught](float t) {
        if (t < caught) {
            return 0.1f * t / caught;
        }
        // Flares up past full strength, then settles into the burning.
        const float u = t - caught;
        return 1.0f + 0.5f * std::exp(-u / 0.3f) - 0.2f * std::min(1.0f, u / s.seconds);
    };
    addWhoosh(sound, s.whooshAt, s.riseSeconds, s.fromHz, s.toHz, 0.55f, s.seed);
    if (s.secondGustAt > 0.0f) {
        addWhoosh(sound, s.secondGustAt, s.riseSeconds * 0.8f, s.fromHz * 1.3f, s.toHz * 0.9f, 0.4f,
                  s.seed + 50);
    }
    addRoar(sound, intensity, 0.45f, s.seed + 10);
    addCrackles(sound, intensity, s.crackles, 0.45f, s.seed + 20);
    sound.fadeIn(0.005f);
    sound.fadeOut(0.45f);
    sound.scaleToRms(0.12f);
    sound.softLimit(0.6f, 0.9f);
    return sound;
}

Sound makeFireLoop() {
    constexpr float loopSeconds = 5.0f;
    constexpr float overlapSeconds = 1.0f;
    Sound sound(framesOf(loopSeconds + overlapSeconds));
    const Intensity steady = [](float) { return 1.0f; };
    addRoar(sound, steady, 0.5f, 505);
    addCrackles(sound, steady, 100.0f, 0.4f, 606);
    sound.crossfadeTailIntoHead(framesOf(loopSeconds));
    sound.scaleToRms(0.11f);
    sound.softLimit(0.6f, 0.9f);
    return sound;
}
