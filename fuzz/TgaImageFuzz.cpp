// libFuzzer entry for the TGA reader: each input becomes a file that TgaImage::load reads.
#include "assets/TgaImage.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader bounds a picture by its file's length, so no input costs more than its size.
    const std::string& path = writeFuzzInput("TgaImageFuzz", ".tga", data, size);
    TgaImage image;
    if (image.load(path.c_str())) {
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
