// One second-order filter section (the audio cookbook's low-pass, high-pass and band-pass) and its
// state; the caller sets the shape and feeds it one sample at a time.
#pragma once

class Biquad {
  public:
    float b0 = 1.0f; // feed-forward coefficients
    float b1 = 0.0f;
    float b2 = 0.0f;
    float a1 = 0.0f; // feedback coefficients, a0 normalised to 1
    float a2 = 0.0f;
    float z1 = 0.0f; // transposed direct form II state
    float z2 = 0.0f;

    void setLowPass(float cutoffHz, float q);
    void setHighPass(float cutoffHz, float q);
    // Unit gain at the centre frequency.
    void setBandPass(float centreHz, float q);
    float process(float x) {
        const float y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};
