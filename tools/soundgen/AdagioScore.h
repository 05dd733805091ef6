// What the adagio plays: its chords bar by bar, the sung phrases with their notes and vowels,
// and how loud each moment should be. Turning it into sound is the music renderer's job.
#pragma once

#include "soundgen/FormantVoice.h"

#include <vector>

constexpr float adagioBeatSeconds = 60.0f / 56.0f; // 56 beats a minute
constexpr int adagioBeatsPerBar = 4;

struct ChordNotes {
    int bass;     // MIDI note number
    int upper[3]; // MIDI note numbers
};

struct SungNote {
    int pitch;   // MIDI note number
    float beats; // length
    VowelName vowel;
};

struct Phrase {
    int startBar;    // counted from 0
    float intensity; // 0 to 1: how strongly this phrase is sung
    std::vector<SungNote> notes;
};

int adagioBarCount();
float adagioSeconds();
const ChordNotes& chordOfBar(int bar);
const std::vector<Phrase>& adagioPhrases();

float phraseStartSeconds(const Phrase& phrase);
float phraseSeconds(const Phrase& phrase);
// Within a sung phrase: 0 at its ends, 1 at its crest a little past the middle.
float phraseSwell(const Phrase& phrase, float seconds);
// How loud the strings should play at a time: they swell with the phrases and sink to a murmur
// between them, rising from silence at the start and going back to it at the end.
float padLevelAt(float seconds);

float hzOfMidi(float note);
