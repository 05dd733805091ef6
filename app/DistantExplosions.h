// The timer of the distant explosions: every 15 to 18 seconds of running time a sample
// sounds and the camera shakes.
#pragma once

class DistantExplosions {
  public:
    float intervalSeconds = 15.0f; // from the last explosion (or the scene's start) to the next
    float elapsedSeconds = 0.0f;   // running time since the last explosion

    void update(float deltaMs);
};

extern DistantExplosions distantExplosions;
