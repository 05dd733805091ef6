#include "platform/desktop/MusicStream.h"

#include <mpg123.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long outputRateHz = 44100;
constexpr size_t bytesPerFrame = 2 * sizeof(int16_t); // stereo, 16-bit

uint32_t peakWord(const int16_t* frames, int32_t frameCount) {
    int32_t left = 0;
    int32_t right = 0;
    for (int32_t i = 0; i < frameCount; ++i) {
        // Widened first: full-scale negative, -32768, is a peak of 32768.
        const int32_t l = std::abs(static_cast<int32_t>(frames[2 * i]));
        const int32_t r = std::abs(static_cast<int32_t>(frames[2 * i + 1]));
        left = l > left ? l : left;
        right = r > right ? r : right;
    }
    return static_cast<uint32_t>(left) | static_cast<uint32_t>(right) << 16;
}

} // namespace

MusicStream::~MusicStream() {
    if (decoder != nullptr) {
        mpg123_delete(decoder);
    }
}

bool MusicStream::open(const char* path) {
    // A no-op in current libraries, required by older ones before the first handle.
    mpg123_init();
    decoder = mpg123_new(nullptr, nullptr);
    if (decoder == nullptr || path == nullptr) {
        return false;
    }
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // The mixer takes exactly this format; the decoder converts any other file to it.
    mpg123_format_none(decoder);
    mpg123_format(decoder, outputRateHz, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    return mpg123_open(decoder, path) == MPG123_OK &&
           mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK;
}

uint32_t MusicStream::fill(int16_t* frames, int32_t frameCount) {
    auto* const bytes = reinterpret_cast<unsigned char*>(frames);
    const size_t wanted = static_cast<size_t>(frameCount) * bytesPerFrame;
    size_t written = 0;
    bool rewound = false;
    while (written < wanted && !exhausted && decoder != nullptr) {
        size_t done = 0;
        const int result = mpg123_read(decoder, bytes + written, wanted - written, &done);
        written += done;
        rewound = rewound && done == 0;
        if (result == MPG123_DONE) {
            // A pass from the start that ends without a sample would loop forever.
            exhausted = rewound || mpg123_seek(decoder, 0, SEEK_SET) < 0;
            rewound = true;
        } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            exhausted = true;
        }
    }
    std::memset(bytes + written, 0, wanted - written);
    return peakWord(frames, frameCount);
}

bool MusicStream::decodeWhole(const char* path, std::vector<int16_t>& frames) {
    MusicStream stream;
    frames.clear();
    if (!stream.open(path))
        return false;
    std::vector<unsigned char> block(mpg123_outblock(stream.decoder));
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(stream.decoder, block.data(), block.size(), &done);
        const auto* const decoded = reinterpret_cast<const int16_t*>(block.data());
        frames.insert(frames.end(), decoded, decoded + done / sizeof(int16_t));
        if (result == MPG123_DONE)
            return true;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            return false;
    }
}
