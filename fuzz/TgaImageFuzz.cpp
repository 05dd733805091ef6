// libFuzzer entry for the TGA reader: each input becomes a file that TgaImage::load reads.
#include "assets/TgaImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A file describes at most 32 pixels per byte (a 24-bit run packet: 128 pixels in 4 bytes).
// Pictures the reader would allocate but that are larger than that, plus some room for missing
// bytes, are skipped: past the end of the data every pixel reads alike, only slower. Headers the
// reader refuses outright still run.
constexpr size_t pixelsPerByte = 32;
constexpr size_t missingPixels = 4096;
constexpr size_t maxSide = 16384;

std::string inputPath;

void removeInputFile() {
    std::remove(inputPath.c_str());
}

// One file per process, so parallel fuzzing jobs do not share it.
const std::string& inputFile() {
    if (inputPath.empty()) {
        const char* const folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        inputPath = std::string(folder) + "/TgaImageFuzz-" + std::to_string(getpid()) + ".tga";
        std::atexit(removeInputFile);
    }
    return inputPath;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 16) {
        const size_t width = data[12] | (data[13] << 8);
        const size_t height = data[14] | (data[15] << 8);
        if (width <= maxSide && height <= maxSide &&
            width * height > pixelsPerByte * size + missingPixels)
            return -1; // keeps the input out of the corpus
    }
    FILE* const file = fopen(inputFile().c_str(), "wb");
    if (!file)
        abort();
    if (size > 0 && fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);

    TgaImage image;
    if (image.load(inputFile().c_str())) {
        if (!image.pixels || (image.bitsPerPixel != 8 && image.bitsPerPixel != 32))
            abort();
        // Every byte the size promises is read, so AddressSanitizer checks the buffer's size.
        const size_t bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                             static_cast<size_t>(image.bitsPerPixel / 8);
        volatile uint8_t sum = 0;
        for (size_t k = 0; k < bytes; ++k)
            sum = static_cast<uint8_t>(sum + image.pixels[k]);
        if (!image.release() || image.release())
            abort();
    }
    return 0;
}
