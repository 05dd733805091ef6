#include "assets/TgaImage.h"

#include "support/Tga.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// Lets an oversized request fail the way a real out-of-memory would, instead of aborting.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=8";
}
#endif

namespace {

bool loadBytes(TgaImage& image, const Bytes& bytes) {
    static int counter = 0;
    const std::string path = testing::TempDir() + "tga-" + std::to_string(counter++) + ".tga";
    writeFile(path, bytes);
    const bool loaded = image.load(path.c_str());
    std::remove(path.c_str());
    return loaded;
}

Bytes pixelsOf(const TgaImage& image) {
    return Bytes(image.pixels, image.pixels + size_t(image.width) * size_t(image.height) *
                                                  size_t(image.bitsPerPixel / 8));
}

Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes times(int count, const Bytes& pixel) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        out = cat(out, pixel);
    return out;
}

TgaHeader withMap(TgaHeader h, uint8_t idLength, uint8_t mapType, uint16_t length, uint8_t bits) {
    h.idLength = idLength;
    h.colourMapType = mapType;
    h.colourMapLength = length;
    h.colourMapEntryBits = bits;
    return h;
}

// A 2 by 2 picture: its file rows (blue, green, red) and the RGBA they become, top row first.
const Bytes topRow = {7, 8, 9, 10, 11, 12};
const Bytes bottomRow = {1, 2, 3, 4, 5, 6};
const Bytes twoByTwo = {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255};
const Bytes rlePackets = {0x01, 10, 10, 10, 20, 20, 20, 0x82, 30, 30, 30, 0x00, 40, 40, 40};
const Bytes rleTopRow = {10, 10, 10, 255, 20, 20, 20, 255, 30, 30, 30, 255};
const Bytes rleBottomRow = {30, 30, 30, 255, 30, 30, 30, 255, 40, 40, 40, 255};
const Bytes blue = {3, 2, 1, 255};
const Bytes white = {255, 255, 255, 255};

} // namespace

TEST(TgaImageLoad, DecodesEveryLayoutItTakes) {
    const struct {
        const char* what;
        Bytes file;
        int32_t width, height, bitsPerPixel;
        Bytes pixels;
    } cases[] = {
        {"24 bits, bottom row first", tgaBytes(tgaHeader(2, 2, 2, 24), cat(bottomRow, topRow)), 2,
         2, 32, twoByTwo},
        {"24 bits, top row first", tgaBytes(tgaHeader(2, 2, 2, 24, 0x20), cat(topRow, bottomRow)),
         2, 2, 32, twoByTwo},
        {"only bit 5 of the descriptor acts",
         tgaBytes(tgaHeader(2, 2, 2, 24, 0x38), cat(topRow, bottomRow)), 2, 2, 32, twoByTwo},
        {"every other descriptor bit",
         tgaBytes(tgaHeader(2, 2, 2, 24, 0xdf), cat(bottomRow, topRow)), 2, 2, 32, twoByTwo},
        {"8-bit grey, odd row count",
         tgaBytes(tgaHeader(3, 2, 3, 8), {1, 2, 3, 4, 5, 6}),
         2,
         3,
         8,
         {5, 6, 3, 4, 1, 2}},
        {"8 bits in type 2",
         tgaBytes(tgaHeader(2, 3, 2, 8, 0x20), {0, 1, 127, 128, 254, 255}),
         3,
         2,
         8,
         {0, 1, 127, 128, 254, 255}},
        {"32 bits keep alpha",
         tgaBytes(tgaHeader(2, 3, 1, 32), {1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255}),
         3,
         1,
         32,
         {3, 2, 1, 0, 6, 5, 4, 128, 9, 8, 7, 255}},
        {"missing colour bytes read 255", tgaBytes(tgaHeader(2, 2, 2, 24, 0x20), {1, 2, 3, 4}), 2,
         2, 32, cat({3, 2, 1, 255, 255, 255, 4, 255}, times(2, white))},
        {"missing grey bytes read 255",
         tgaBytes(tgaHeader(3, 3, 1, 8), {9}),
         3,
         1,
         8,
         {9, 255, 255}},
        {"run packet", tgaBytes(tgaHeader(10, 4, 1, 24), {0x83, 1, 2, 3}), 4, 1, 32,
         times(4, blue)},
        {"raw packet",
         tgaBytes(tgaHeader(10, 3, 1, 32), {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
         3,
         1,
         32,
         {3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12}},
        {"packets cross row ends", tgaBytes(tgaHeader(10, 3, 2, 24, 0x20), rlePackets), 3, 2, 32,
         cat(rleTopRow, rleBottomRow)},
        {"packets cross row ends, bottom row first", tgaBytes(tgaHeader(10, 3, 2, 24), rlePackets),
         3, 2, 32, cat(rleBottomRow, rleTopRow)},
        {"a run stops at the last pixel", tgaBytes(tgaHeader(10, 2, 1, 24), {0xff, 1, 2, 3}), 2, 1,
         32, times(2, blue)},
        {"a raw packet stops at the last pixel",
         tgaBytes(tgaHeader(10, 2, 1, 32), {0x7f, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9}),
         2,
         1,
         32,
         {3, 2, 1, 4, 7, 6, 5, 8}},
        {"a missing packet header is a run of white",
         tgaBytes(tgaHeader(10, 3, 1, 32), {0x00, 1, 2, 3, 4}), 3, 1, 32,
         cat({3, 2, 1, 4}, times(2, white))},
        {"the ID field is skipped",
         tgaBytes(withMap(tgaHeader(2, 2, 2, 24), 5, 0, 0, 0),
                  cat({'h', 'e', 'l', 'l', 'o'}, cat(bottomRow, topRow))),
         2, 2, 32, twoByTwo},
        {"a colour map of 15-bit entries is skipped after the ID",
         tgaBytes(withMap(tgaHeader(10, 2, 2, 24), 1, 1, 3, 15),
                  {0xee, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0x83, 1, 2, 3}),
         2, 2, 32, times(4, blue)},
        {"colour-map fields without a map skip nothing",
         tgaBytes(withMap(tgaHeader(3, 2, 1, 8), 0, 0, 4, 32), {5, 6}),
         2,
         1,
         8,
         {5, 6}},
        {"a colour-map length above 32767 counts as unsigned",
         tgaBytes(withMap(tgaHeader(3, 2, 1, 8), 0, 1, 0x8000, 8),
                  cat(Bytes(0x8000, 0xcc), {5, 6})),
         2,
         1,
         8,
         {5, 6}},
        {"fields skipped past the end leave white",
         tgaBytes(withMap(tgaHeader(2, 1, 1, 32), 255, 1, 0xffff, 32), {1, 2, 3}), 1, 1, 32, white},
        {"0 by 0", tgaBytes(tgaHeader(2, 0, 0, 24)), 0, 0, 32, {}},
        {"0 by 5", tgaBytes(tgaHeader(2, 0, 5, 24)), 0, 5, 32, {}},
        {"5 by 0", tgaBytes(tgaHeader(2, 5, 0, 24)), 5, 0, 32, {}},
    };
    for (const auto& c : cases) {
        TgaImage image;
        ASSERT_TRUE(loadBytes(image, c.file)) << c.what;
        EXPECT_EQ(image.width, c.width) << c.what;
        EXPECT_EQ(image.height, c.height) << c.what;
        EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel) << c.what;
        EXPECT_NE(image.pixels, nullptr) << c.what; // an empty buffer still counts as loaded
        EXPECT_EQ(pixelsOf(image), c.pixels) << c.what;
    }
}

TEST(TgaImageLoad, RefusesOtherLayoutsAndBrokenFilesWithTheHeaderAsRead) {
    Bytes cut = tgaBytes(tgaHeader(2, 2, 2, 24));
    cut.resize(12); // the file ends inside the header
    const Bytes refused[] = {
        tgaBytes(tgaHeader(1, 2, 2, 24), Bytes(16)),
        tgaBytes(tgaHeader(9, 2, 2, 24), Bytes(16)),
        tgaBytes(tgaHeader(11, 2, 2, 8), Bytes(16)),
        tgaBytes(tgaHeader(0, 2, 2, 24), Bytes(16)),
        tgaBytes(tgaHeader(2, 2, 2, 16), Bytes(16)),
        tgaBytes(tgaHeader(2, 2, 2, 15), Bytes(16)),
        tgaBytes(tgaHeader(3, 2, 2, 0), Bytes(16)),
        tgaBytes(tgaHeader(10, 2, 2, 16), Bytes(16)),
        tgaBytes(tgaHeader(10, 4, 4, 8), {0x8f, 1}),
        tgaBytes(tgaHeader(2, 0x8000, 1, 24)),
        tgaBytes(tgaHeader(2, 1, 0xffff, 24)),
        tgaBytes(tgaHeader(2, 0xffff, 0xffff, 24)),
        tgaBytes(tgaHeader(2, 0x8000, 0, 24)),
        tgaBytes(tgaHeader(2, 0, 0xffff, 24)),
        cut,
        Bytes{},
    };
    for (const Bytes& file : refused) {
        TgaImage image;
        const std::string what = file.size() > 2 ? "type " + std::to_string(file[2]) : "empty";
        EXPECT_FALSE(loadBytes(image, file)) << what << " " << file.size() << " bytes";
        EXPECT_EQ(image.pixels, nullptr) << what;
        EXPECT_EQ(image.width, 0) << what;
        EXPECT_EQ(image.bitsPerPixel, 0) << what;
        EXPECT_EQ(image.imageType, file.size() > 2 ? file[2] : 255) << what;
    }
    TgaImage missing;
    EXPECT_FALSE(missing.load("no/such/file.tga"));
    EXPECT_EQ(missing.imageType, 0);
}

TEST(TgaImageLoad, HeaderFieldsAreLittleEndianAndSigned) {
    TgaHeader h = withMap(tgaHeader(2, 1, 1, 24, 0x20), 0, 0, 0x0304, 24);
    h.colourMapFirst = 0x0102;
    h.xOrigin = 0xfffe;
    h.yOrigin = 0x8000;
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tgaBytes(h, {1, 2, 3})));
    EXPECT_EQ(image.colourMapFirstIndex, 258);
    EXPECT_EQ(image.colourMapLength, 772);
    EXPECT_EQ(image.colourMapEntrySize, 24);
    EXPECT_EQ(image.xOrigin, -2);
    EXPECT_EQ(image.yOrigin, -32768);
    EXPECT_EQ(image.fileWidth, 1);
    EXPECT_EQ(image.fileBitsPerPixel, 24);
    EXPECT_EQ(image.imageDescriptor, 0x20);
}

TEST(TgaImageLoad, ALoadedImageKeepsItsPictureUntilReleasedOnce) {
    TgaImage image;
    EXPECT_FALSE(image.release());
    ASSERT_TRUE(loadBytes(image, tgaBytes(tgaHeader(2, 2, 2, 24), cat(bottomRow, topRow))));
    const uint8_t* const first = image.pixels;
    EXPECT_TRUE(loadBytes(image, tgaBytes(tgaHeader(3, 1, 1, 8), {42})));
    EXPECT_EQ(image.pixels, first);
    EXPECT_EQ(pixelsOf(image), twoByTwo);
    EXPECT_TRUE(image.release());
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_FALSE(image.release());
    EXPECT_EQ(image.width, 2);
    ASSERT_TRUE(loadBytes(image, tgaBytes(tgaHeader(3, 1, 1, 8), {42})));
    EXPECT_EQ(pixelsOf(image), Bytes{42});
}

// The reader's present size cap: sides up to 16384 and at most 2048 * 2048 pixels.
TEST(TgaImageSizeCap, LargerPicturesAndFailedAllocationsAreRefused) {
    for (auto [width, height] : {std::pair<uint16_t, uint16_t>{16385, 1},
                                 {1, 16385},
                                 {16384, 16384},
                                 {4096, 1025},
                                 {2049, 2048}}) {
        TgaImage image;
        EXPECT_FALSE(loadBytes(image, tgaBytes(tgaHeader(3, width, height, 8))))
            << width << " by " << height;
        EXPECT_EQ(image.pixels, nullptr);
    }
    TgaImage widest;
    ASSERT_TRUE(loadBytes(widest, tgaBytes(tgaHeader(3, 16384, 1, 8), {7})));
    EXPECT_EQ(widest.pixels[0], 7);
    EXPECT_EQ(widest.pixels[16383], 255);
#if defined(__SANITIZE_ADDRESS__)
    TgaImage tooMuch; // 16 MiB, above this test's 8 MiB allocation limit
    EXPECT_FALSE(loadBytes(tooMuch, tgaBytes(tgaHeader(2, 2048, 2048, 32))));
    EXPECT_EQ(tooMuch.width, 0);
#endif
}
