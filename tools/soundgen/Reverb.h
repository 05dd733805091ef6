// A stereo room: eight damped feedback combs and four all-passes per side (the classic Schroeder
// and Moorer layout). Takes a mono send and gives back only the reverberated signal.
#pragma once

#include "soundgen/Sound.h"

#include <vector>

class Reverb {
  public:
    Reverb(float roomSize, float damping);

    // roomSize 0 to 1 (the combs' feedback from 0.70 to 0.98); damping 0 to 1 (high-frequency
    // loss per pass).
    void process(float send, float& wetLeft, float& wetRight);
    // Adds this room's answer to a whole sound: its left and right are sent in together and the
    // reverberation is added at `wet`.
    void apply(Sound& sound, float wet);

  private:
    struct Delay {
        std::vector<float> buffer;
        size_t index = 0;
        float store = 0.0f; // the comb's low-passed feedback
    };
    float feedback;
    float damp;
    Delay combs[2][8];
    Delay allPasses[2][4];
};
