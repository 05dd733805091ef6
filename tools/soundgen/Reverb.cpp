#include "soundgen/Reverb.h"

#include <algorithm>

namespace {

// Mutually prime delays in samples at 44100 Hz; the right side runs slightly longer, which
// decorrelates the two sides and widens the room.
constexpr size_t combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr size_t allPassLengths[4] = {556, 441, 341, 225};
constexpr size_t stereoSpread = 23;
constexpr float inputGain = 0.015f;

} // namespace

Reverb::Reverb(float roomSize, float damping)
    : feedback(0.7f + 0.28f * std::clamp(roomSize, 0.0f, 1.0f)),
      damp(0.4f * std::clamp(damping, 0.0f, 1.0f)) {
    for (int side = 0; side < 2; ++side) {
        const size_t extra = side == 0 ? 0 : stereoSpread;
        for (int i = 0; i < 8; ++i) {
            combs[side][i].buffer.assign(combLengths[i] + extra, 0.0f);
        }
        for (int i = 0; i < 4; ++i) {
            allPasses[side][i].buffer.assign(allPassLengths[i] + extra, 0.0f);
        }
    }
}

void Reverb::process(float send, float& wetLeft, float& wetRight) {
    const float in = send * inputGain;
    float out[2] = {0.0f, 0.0f};
    for (int side = 0; side < 2; ++side) {
        for (Delay& c : combs[side]) {
            const float y = c.buffer[c.index];
            c.store = y * (1.0f - damp) + c.store * damp;
            c.buffer[c.index] = in + c.store * feedback;
            c.index = (c.index + 1) % c.buffer.size();
            out[side] += y;
        }
        for (Delay& a : allPasses[side]) {
            const float delayed = a.buffer[a.index];
            a.buffer[a.index] = out[side] + delayed * 0.5f;
            a.index = (a.index + 1) % a.buffer.size();
            out[side] = delayed - out[side];
        }
    }
    wetLeft = out[0];
    wetRight = out[1];
}

void Reverb::apply(Sound& sound, float wet) {
    for (size_t i = 0; i < sound.frames(); ++i) {
        float l = 0.0f;
        float r = 0.0f;
        process(sound.left[i] + sound.right[i], l, r);
        sound.left[i] += l * wet;
        sound.right[i] += r * wet;
    }
}
