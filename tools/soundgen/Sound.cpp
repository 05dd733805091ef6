#include "soundgen/Sound.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

size_t framesOf(float seconds) {
    return static_cast<size_t>(std::lround(std::max(seconds, 0.0f) * sampleRateHz));
}

Pan panOf(float position) {
    const float angle = (std::clamp(position, -1.0f, 1.0f) + 1.0f) * 0.25f * pi;
    return {std::cos(angle), std::sin(angle)};
}

void Sound::mix(const Sound& other, size_t atFrame, float gain) {
    for (size_t i = 0; i < other.frames() && atFrame + i < frames(); ++i) {
        left[atFrame + i] += other.left[i] * gain;
        right[atFrame + i] += other.right[i] * gain;
    }
}

float Sound::peak() const {
    float p = 0.0f;
    for (size_t i = 0; i < frames(); ++i) {
        p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
    }
    return p;
}

void Sound::scale(float gain) {
    for (size_t i = 0; i < frames(); ++i) {
        left[i] *= gain;
        right[i] *= gain;
    }
}

void Sound::scaleToPeak(float targetPeak) {
    const float p = peak();
    if (p > 0.0f) {
        scale(targetPeak / p);
    }
}

float Sound::rms() const {
    double sum = 0.0;
    for (size_t i = 0; i < frames(); ++i) {
        sum += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
    }
    return frames() == 0 ? 0.0f : static_cast<float>(std::sqrt(sum / (2.0 * frames())));
}

void Sound::scaleToRms(float targetRms) {
    const float r = rms();
    if (r > 0.0f) {
        scale(targetRms / r);
    }
}

void Sound::softLimit(float threshold, float ceiling) {
    const float room = ceiling - threshold;
    for (std::vector<float>* channel : {&left, &right}) {
        for (float& x : *channel) {
            const float a = std::fabs(x);
            if (a > threshold) {
                x = std::copysign(threshold + room * std::tanh((a - threshold) / room), x);
            }
        }
    }
}

void Sound::fadeIn(float seconds) {
    const size_t n = std::min(framesOf(seconds), frames());
    for (size_t i = 0; i < n; ++i) {
        const float g = std::sin(0.5f * pi * static_cast<float>(i) / static_cast<float>(n));
        left[i] *= g * g;
        right[i] *= g * g;
    }
}

void Sound::fadeOut(float seconds) {
    const size_t n = std::min(framesOf(seconds), frames());
    for (size_t i = 0; i < n; ++i) {
        const size_t frame = frames() - 1 - i;
        const float g = std::sin(0.5f * pi * static_cast<float>(i) / static_cast<float>(n));
        left[frame] *= g * g;
        right[frame] *= g * g;
    }
}

void Sound::foldTail(size_t loopFrames) {
    if (loopFrames == 0 || loopFrames >= frames()) {
        return;
    }
    for (size_t i = loopFrames; i < frames(); ++i) {
        left[i % loopFrames] += left[i];
        right[i % loopFrames] += right[i];
    }
    left.resize(loopFrames);
    right.resize(loopFrames);
}

void Sound::crossfadeTailIntoHead(size_t loopFrames) {
    if (loopFrames == 0 || loopFrames >= frames()) {
        return;
    }
    const size_t fade = std::min(frames() - loopFrames, loopFrames);
    for (size_t i = 0; i < fade; ++i) {
        // At i = 0 the head is wholly the frame that followed the loop's last frame.
        const float t = 0.5f * pi * static_cast<float>(i) / static_cast<float>(fade);
        const float head = std::sin(t);
        const float tail = std::cos(t);
        left[i] = left[i] * head + left[loopFrames + i] * tail;
        right[i] = right[i] * head + right[loopFrames + i] * tail;
    }
    left.resize(loopFrames);
    right.resize(loopFrames);
}
