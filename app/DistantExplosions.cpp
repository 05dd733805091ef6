#include "app/DistantExplosions.h"

#include "app/Camera.h"
#include "assets/SoundBank.h"
#include "base/Random.h"

DistantExplosions distantExplosions;

void DistantExplosions::update(float deltaMs) {
    elapsedSeconds += deltaMs * 0.001f;
    if (!(elapsedSeconds > intervalSeconds))
        return;
    // Two draws in this order: the sample first, the next interval second.
    SoundBank::instance().playSample(firstExplosionSample + randomDraw() % explosionSamples);
    Camera::instance().startShake();
    elapsedSeconds = 0.0f; // the surplus beyond the interval is dropped
    intervalSeconds = static_cast<float>(15 + randomDraw() % 4);
}
