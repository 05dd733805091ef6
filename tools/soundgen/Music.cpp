#include "soundgen/Music.h"

#include "soundgen/AdagioScore.h"
#include "soundgen/Biquad.h"
#include "soundgen/FormantVoice.h"
#include "soundgen/Reverb.h"
#include "soundgen/SawOscillator.h"
#include "soundgen/Wobble.h"

#include <algorithm>
#include <cmath>

namespace {

// Seconds of reverberation rendered past the end and folded back into the start.
constexpr float tailSeconds = 4.0f;
constexpr float leadLevel = 0.25f; // the voice's RMS at the crest of the strongest phrase
constexpr float padGain = 0.07f;   // one string note at full pad level

float smoothStep(float x) {
    const float t = std::clamp(x, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// One sustained string note: three detuned saws through a gentle low-pass, swelling in and
// dying away, each saw's pitch drifting a little on its own.
void addStringNote(Sound& sound, int note, float startSeconds, float endSeconds, float position,
                   uint64_t seed) {
    const Pan pan = panOf(position);
    constexpr float attackSeconds = 1.2f;
    constexpr float releaseSeconds = 1.6f;
    const float cents[3] = {-7.0f, 0.0f, 6.0f};
    SawOscillator saws[3];
    Wobble drifts[3] = {Wobble(0.7f, seed), Wobble(0.9f, seed + 1), Wobble(0.6f, seed + 2)};
    for (int s = 0; s < 3; ++s) {
        saws[s].phase = static_cast<float>(s) / 3.0f;
    }
    Biquad tone;
    Biquad body;
    const float hz = hzOfMidi(static_cast<float>(note));
    // Low notes are kept darker, so that the bass hums under the chord instead of buzzing.
    tone.setLowPass(std::min(2400.0f, hz * 6.0f), 0.7f);
    body.setHighPass(70.0f, 0.7f);
    const size_t first = framesOf(std::max(0.0f, startSeconds));
    // The release is cut after 2.5 time constants, with a fade so that the cut is not heard.
    const float releaseEnd = releaseSeconds * 2.5f;
    const size_t last = framesOf(endSeconds + releaseEnd);
    for (size_t i = first; i < last && i < sound.frames(); ++i) {
        const float t = static_cast<float>(i) / sampleRateHz;
        const float attack = smoothStep((t - startSeconds) / attackSeconds);
        const float r = t - endSeconds;
        const float release =
            r < 0.0f ? 1.0f : std::exp(-r / releaseSeconds) * (1.0f - smoothStep(r / releaseEnd));
        float v = 0.0f;
        for (int s = 0; s < 3; ++s) {
            const float detune = cents[s] + 4.0f * drifts[s].next();
            // 2^(cents / 1200) to first order: off by a few hundredths of a cent at most here.
            v += saws[s].next(hz * (1.0f + detune * 0.00057762f));
        }
        sound.add(i, body.process(tone.process(v)) * attack * release * padGain, pan);
    }
}

void addStrings(Sound& strings) {
    const float bar = static_cast<float>(adagioBeatsPerBar) * adagioBeatSeconds;
    for (int b = 0; b < adagioBarCount(); ++b) {
        const ChordNotes& chord = chordOfBar(b);
        // Each chord starts a little before its bar so that it has grown in on the downbeat.
        const float start = static_cast<float>(b) * bar - 0.4f;
        const float end = static_cast<float>(b + 1) * bar - 0.2f;
        const uint64_t seed = 9000 + static_cast<uint64_t>(b) * 16;
        addStringNote(strings, chord.bass - 12, start, end, 0.0f, seed);
        addStringNote(strings, chord.bass, start, end, 0.0f, seed + 3);
        addStringNote(strings, chord.upper[0], start, end, -0.45f, seed + 6);
        addStringNote(strings, chord.upper[1], start, end, 0.1f, seed + 9);
        addStringNote(strings, chord.upper[2], start, end, 0.45f, seed + 12);
    }
    // The whole band follows one dynamic: swelling with the singer, murmuring between phrases.
    float smoothed = 0.0f;
    float target = 0.0f;
    const float follow = 1.0f / (0.15f * sampleRateHz);
    for (size_t i = 0; i < strings.frames(); ++i) {
        if (i % 64 == 0) {
            target = padLevelAt(static_cast<float>(i) / sampleRateHz);
        }
        smoothed += (target - smoothed) * follow;
        strings.left[i] *= smoothed;
        strings.right[i] *= smoothed;
    }
}

// One phrase sung legato on a single breath: the pitch slides between notes, vibrato grows on
// the held ones, the vowel changes with each syllable and the voice swells towards the crest.
void addPhrase(Sound& sound, const Phrase& phrase, uint64_t seed) {
    const float start = phraseStartSeconds(phrase);
    const float length = phraseSeconds(phrase);
    constexpr float attackSeconds = 0.12f;
    constexpr float releaseSeconds = 0.35f;
    FormantVoice voice(vowelOf(phrase.notes.front().vowel, VoiceRange::High), seed);
    voice.breathiness = 0.07f;
    Wobble drift(0.8f, seed + 1);
    Wobble vibratoWander(0.5f, seed + 2);
    float vibratoPhase = 0.0f;
    float pitch = static_cast<float>(phrase.notes.front().pitch) - 0.3f; // a slight scoop up
    Vowel previousVowel = voice.vowel;
    size_t note = 0;
    float noteStart = 0.0f;
    const size_t first = framesOf(start);
    const size_t count = framesOf(length + releaseSeconds * 3.0f);
    for (size_t i = 0; i < count && first + i < sound.frames(); ++i) {
        const float u = static_cast<float>(i) / sampleRateHz;
        while (note + 1 < phrase.notes.size() &&
               u >= noteStart + phrase.notes[note].beats * adagioBeatSeconds) {
            noteStart += phrase.notes[note].beats * adagioBeatSeconds;
            ++note;
            previousVowel = voice.vowel;
        }
        const SungNote& n = phrase.notes[note];
        const float inNote = u - noteStart;
        // A portamento of a few tens of milliseconds, as a singer joins legato notes.
        pitch += (static_cast<float>(n.pitch) - pitch) * (1.0f / (0.03f * sampleRateHz));
        const float vibratoHz = 5.3f + 0.3f * vibratoWander.next();
        vibratoPhase += 2.0f * pi * vibratoHz / sampleRateHz;
        const float vibratoDepth = 0.35f * smoothStep((inNote - 0.12f) / 0.5f); // semitones
        const float vibrato = std::sin(vibratoPhase);
        const float sung = pitch + vibratoDepth * vibrato + 0.05f * drift.next();
        if (i % 32 == 0) {
            voice.vowel = blendVowels(previousVowel, vowelOf(n.vowel, VoiceRange::High),
                                      smoothStep(inNote / 0.12f));
        }
        const float swell = phraseSwell(phrase, start + std::min(u, length * 0.999f));
        const float dynamic = phrase.intensity * (0.35f + 0.65f * swell);
        // Louder singing is brighter.
        voice.tilt = 1.3f - 0.45f * dynamic;
        // Each new syllable is re-voiced with a small, smooth dip in the breath, deepest 40 ms in.
        const float dip = inNote / 0.04f;
        const float articulation = note == 0 ? 1.0f : 1.0f - 0.2f * dip * std::exp(1.0f - dip);
        const float onset = smoothStep(u / attackSeconds);
        const float over = u - length;
        const float ending = over < 0.0f ? 1.0f
                                         : std::exp(-over / releaseSeconds) *
                                               (1.0f - smoothStep(over / (releaseSeconds * 3.0f)));
        const float amplitude = leadLevel * dynamic * articulation * onset * ending *
                                (1.0f + 0.06f * vibrato * vibratoDepth / 0.35f);
        const float v = voice.next(hzOfMidi(sung), amplitude);
        sound.left[first + i] += v;
        sound.right[first + i] += v;
    }
}

} // namespace

Sound makeAdagio() {
    const size_t loopFrames = framesOf(adagioSeconds());
    Sound strings(loopFrames + framesOf(tailSeconds));
    addStrings(strings);
    Sound lead(strings.frames());
    uint64_t seed = 500;
    for (const Phrase& p : adagioPhrases()) {
        addPhrase(lead, p, seed);
        seed += 10;
    }
    Reverb hall(0.88f, 0.45f);
    Sound wet(strings.frames());
    for (size_t i = 0; i < wet.frames(); ++i) {
        const float send = strings.left[i] + strings.right[i] + 1.4f * lead.left[i];
        hall.process(send, wet.left[i], wet.right[i]);
    }
    Sound mix(strings.frames());
    mix.mix(strings, 0, 1.0f);
    mix.mix(lead, 0, 1.0f);
    mix.mix(wet, 0, 0.55f);
    // The reverberation of the last bars sounds over the first ones when the song loops.
    mix.foldTail(loopFrames);
    mix.scaleToPeak(0.85f);
    return mix;
}
