#include "soundgen/AdagioScore.h"

#include <algorithm>
#include <cmath>

namespace {

// A minor. The phrases lean on the dominant E major before coming home.
constexpr ChordNotes am = {45, {57, 60, 64}};
constexpr ChordNotes f = {41, {57, 60, 65}};
constexpr ChordNotes dm = {50, {57, 62, 65}};
constexpr ChordNotes e = {40, {56, 59, 64}};
constexpr ChordNotes g = {43, {55, 59, 62}};
constexpr ChordNotes c = {48, {55, 60, 64}};

const ChordNotes bars[] = {am, f, am, dm, e, am, f, c, dm, e, f, g, c, am, dm, e, am, dm, e, am};
constexpr int barCount = sizeof(bars) / sizeof(bars[0]);

constexpr VowelName A = VowelName::A;
constexpr VowelName E = VowelName::E;
constexpr VowelName O = VowelName::O;

// Two bars a phrase; every phrase leaves a beat and a half for breath. The fifth and sixth are
// the climax.
const std::vector<Phrase> phrases = {
    {2, 0.68f, {{64, 1.5f, A}, {69, 1, O}, {71, 0.5f, A}, {72, 2, A}, {71, 0.5f, E}, {69, 1, O}}},
    {4,
     0.75f,
     {{71, 1, A},
      {72, 0.5f, O},
      {74, 0.5f, A},
      {76, 2, A},
      {74, 0.5f, O},
      {72, 0.5f, E},
      {71, 0.5f, A},
      {69, 1, O}}},
    {6,
     0.72f,
     {{69, 1, O}, {72, 1, A}, {76, 1.5f, A}, {74, 0.5f, E}, {72, 1, A}, {67, 0.5f, O}, {72, 1, A}}},
    {8, 0.82f, {{65, 1, A}, {69, 1, O}, {74, 1.5f, A}, {72, 0.5f, E}, {71, 1.5f, A}, {68, 1, O}}},
    {10,
     0.90f,
     {{69, 0.5f, A},
      {72, 0.5f, O},
      {77, 2, A},
      {76, 0.5f, E},
      {74, 0.5f, A},
      {74, 1, O},
      {71, 1.5f, A}}},
    {12, 1.00f, {{76, 1.5f, A}, {74, 0.5f, O}, {72, 1, A}, {71, 1, E}, {72, 1, A}, {69, 1.5f, O}}},
    {14,
     0.85f,
     {{74, 1, A}, {77, 1.5f, A}, {76, 0.5f, O}, {74, 1, A}, {72, 0.5f, E}, {71, 1, A}, {68, 1, O}}},
    {16,
     0.72f,
     {{76, 1.5f, A}, {72, 0.5f, O}, {71, 1, A}, {69, 1, E}, {72, 1, A}, {71, 0.5f, O}, {69, 1, A}}},
};

float smoothStep(float x) {
    const float t = std::clamp(x, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

int adagioBarCount() {
    return barCount;
}

float adagioSeconds() {
    return static_cast<float>(barCount * adagioBeatsPerBar) * adagioBeatSeconds;
}

const ChordNotes& chordOfBar(int bar) {
    return bars[std::clamp(bar, 0, barCount - 1)];
}

const std::vector<Phrase>& adagioPhrases() {
    return phrases;
}

float phraseStartSeconds(const Phrase& phrase) {
    return static_cast<float>(phrase.startBar * adagioBeatsPerBar) * adagioBeatSeconds;
}

float phraseSeconds(const Phrase& phrase) {
    float beats = 0.0f;
    for (const SungNote& n : phrase.notes) {
        beats += n.beats;
    }
    return beats * adagioBeatSeconds;
}

float phraseSwell(const Phrase& phrase, float seconds) {
    const float x = (seconds - phraseStartSeconds(phrase)) / phraseSeconds(phrase);
    if (x <= 0.0f || x >= 1.0f) {
        return 0.0f;
    }
    // The exponent puts the crest at 60 % of the phrase.
    return std::sin(3.14159265f * std::pow(x, 1.36f));
}

float padLevelAt(float seconds) {
    const float total = adagioSeconds();
    const float bar = static_cast<float>(adagioBeatsPerBar) * adagioBeatSeconds;
    float level = 0.12f;
    for (const Phrase& p : phrases) {
        level = std::max(
            level, 0.3f * smoothStep((seconds - phraseStartSeconds(p) + 0.6f) / 0.8f) *
                           smoothStep((phraseStartSeconds(p) + phraseSeconds(p) - seconds) / 0.9f) +
                       0.5f * p.intensity * phraseSwell(p, seconds));
    }
    // The two bars before the singing and the two after it swell on their own.
    const float intro = std::sin(3.14159265f * std::clamp(seconds / (2.0f * bar), 0.0f, 1.0f));
    const float outroStart = total - 2.0f * bar;
    const float outro =
        std::sin(3.14159265f * std::clamp((seconds - outroStart) / (2.0f * bar), 0.0f, 1.0f));
    level = std::max({level, 0.4f * intro, 0.4f * outro});
    // Silence at both ends, so that the loop joins without a step.
    return level * smoothStep(seconds / 2.5f) * smoothStep((total - seconds) / 3.0f);
}

float hzOfMidi(float note) {
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}
