// A sawtooth with its steps smoothed by a polynomial band-limited step (PolyBLEP), so that high
// notes do not alias: the raw material of the string pad.
#pragma once

class SawOscillator {
  public:
    float phase = 0.0f; // 0 to 1 through one cycle

    // The next sample, -1 to 1.
    float next(float hz);
};
