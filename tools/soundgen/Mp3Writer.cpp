#include "soundgen/Mp3Writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int sampleRateHz = 44100;
constexpr int framesPerChunk = 8192;
// LAME's own bound for a chunk's output: 1.25 times the samples plus 7200 bytes.
constexpr int mp3ChunkBytes = framesPerChunk * 5 / 4 + 7200;

bool writeAll(std::FILE* file, const unsigned char* bytes, int count) {
    return count <= 0 ||
           std::fwrite(bytes, 1, static_cast<size_t>(count), file) == static_cast<size_t>(count);
}

// Encodes everything into an open file; the LAME info frame written first is rewritten at the
// end with the encoder delay and padding, which lets decoders play a loop without a gap.
bool encode(lame_t lame, std::FILE* file, const std::vector<float>& left,
            const std::vector<float>& right) {
    const size_t frames = std::max(left.size(), right.size());
    std::vector<float> chunkLeft(framesPerChunk);
    std::vector<float> chunkRight(framesPerChunk);
    std::vector<unsigned char> mp3(mp3ChunkBytes);
    for (size_t start = 0; start < frames; start += framesPerChunk) {
        const int count = static_cast<int>(std::min<size_t>(framesPerChunk, frames - start));
        for (int i = 0; i < count; ++i) {
            const size_t frame = start + static_cast<size_t>(i);
            // A shorter channel goes on in silence; values beyond full scale are clipped.
            const float l = frame < left.size() ? left[frame] : 0.0f;
            const float r = frame < right.size() ? right[frame] : 0.0f;
            chunkLeft[i] = std::clamp(l, -1.0f, 1.0f);
            chunkRight[i] = std::clamp(r, -1.0f, 1.0f);
        }
        const int bytes = lame_encode_buffer_ieee_float(lame, chunkLeft.data(), chunkRight.data(),
                                                        count, mp3.data(), mp3ChunkBytes);
        if (bytes < 0 || !writeAll(file, mp3.data(), bytes)) {
            return false;
        }
    }
    const int tailBytes = lame_encode_flush(lame, mp3.data(), mp3ChunkBytes);
    if (tailBytes < 0 || !writeAll(file, mp3.data(), tailBytes)) {
        return false;
    }
    const size_t tagBytes = lame_get_lametag_frame(lame, mp3.data(), mp3.size());
    if (tagBytes > 0 && tagBytes <= mp3.size()) {
        if (std::fseek(file, 0, SEEK_SET) != 0 ||
            !writeAll(file, mp3.data(), static_cast<int>(tagBytes))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool writeMp3(const char* path, const std::vector<float>& left, const std::vector<float>& right) {
    return writeMp3AtBitrate(path, left, right, 128);
}

bool writeMp3AtBitrate(const char* path, const std::vector<float>& left,
                       const std::vector<float>& right, int kilobitsPerSecond) {
    if (path == nullptr) {
        return false;
    }
    lame_t lame = lame_init();
    if (lame == nullptr) {
        return false;
    }
    lame_set_in_samplerate(lame, sampleRateHz);
    lame_set_out_samplerate(lame, sampleRateHz);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, kilobitsPerSecond);
    lame_set_quality(lame, 3);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    bool written = false;
    if (file != nullptr) {
        written = encode(lame, file, left, right);
        written = std::fclose(file) == 0 && written;
        if (!written) {
            std::remove(path);
        }
    }
    lame_close(lame);
    return written;
}
