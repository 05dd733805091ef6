#include "assets/TgaImage.h"

#include "support/Tga.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
// Lets an oversized request fail the way a real out-of-memory would, instead of aborting.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}
#endif

namespace {
bool loadBytes(TgaImage& image, const Bytes& bytes, int32_t maxSide = 16384) {
    static int counter = 0;
    const std::string path = testing::TempDir() + "tga-" + std::to_string(counter++) + ".tga";
    writeFile(path, bytes);
    const bool loaded = image.load(path.c_str(), maxSide);
    std::remove(path.c_str());
    return loaded;
}

Bytes pixelsOf(const TgaImage& image) {
    return Bytes(image.pixels, image.pixels + image.width * image.height * image.bitsPerPixel / 8);
}

Bytes cat(Bytes a, const Bytes& b, int times = 1) {
    for (int i = 0; i < times; ++i)
        a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor,
          const Bytes& body, uint8_t idLength = 0, uint8_t mapType = 0, uint16_t mapLength = 0,
          uint8_t mapBits = 0) {
    return tgaBytes(
        {type, width, height, depth, descriptor, idLength, mapType, 0, mapLength, mapBits}, body);
}

// A 2 by 2 picture: its file rows (blue, green, red) and the RGBA they become, top row first.
const Bytes top = {7, 8, 9, 10, 11, 12}, bottom = {1, 2, 3, 4, 5, 6};
const Bytes twoByTwo = {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255};
const Bytes packets = {0x01, 10, 10, 10, 20, 20, 20, 0x82, 30, 30, 30, 0x00, 40, 40, 40};
const Bytes packetsTop = {10, 10, 10, 255, 20, 20, 20, 255, 30, 30, 30, 255};
const Bytes packetsBottom = {30, 30, 30, 255, 30, 30, 30, 255, 40, 40, 40, 255};
const Bytes blue = {3, 2, 1, 255}, white = {255, 255, 255, 255};
} // namespace

TEST(TgaImageLoad, DecodesEveryLayoutItTakesAndKeepsThePictureUntilReleasedOnce) {
    const std::tuple<const char*, Bytes, int32_t, Bytes> cases[] = {
        // clang-format off
        {"24 bits, bottom row first", tga(2, 2, 2, 24, 0, cat(bottom, top)), 32, twoByTwo},
        {"24 bits, top row first", tga(2, 2, 2, 24, 0x20, cat(top, bottom)), 32, twoByTwo},
        {"only descriptor bit 5 acts", tga(2, 2, 2, 24, 0xdf, cat(bottom, top)), 32, twoByTwo},
        {"8-bit grey, odd row count", tga(3, 2, 3, 8, 0, bottom), 8, {5, 6, 3, 4, 1, 2}},
        {"8 bits in type 2", tga(2, 3, 1, 8, 0x20, {0, 1, 255}), 8, {0, 1, 255}},
        {"32 bits keep alpha", tga(2, 2, 1, 32, 0, {1, 2, 3, 0, 4, 5, 6, 128}), 32,
            {3, 2, 1, 0, 6, 5, 4, 128}},
        {"run packet", tga(10, 4, 1, 24, 0, {0x83, 1, 2, 3}), 32, cat({}, blue, 4)},
        {"raw packet", tga(10, 2, 1, 32, 0, {1, 1, 2, 3, 4, 5, 6, 7, 8}), 32,
            {3, 2, 1, 4, 7, 6, 5, 8}},
        {"across rows", tga(10, 3, 2, 24, 0x20, packets), 32, cat(packetsTop, packetsBottom)},
        {"bottom row first", tga(10, 3, 2, 24, 0, packets), 32, cat(packetsBottom, packetsTop)},
        {"a run stops at the end", tga(10, 2, 1, 24, 0, {0xff, 1, 2, 3}), 32, cat({}, blue, 2)},
        {"a raw packet stops at the end", tga(10, 1, 1, 32, 0, {0x7f, 1, 2, 3, 4, 9, 9}), 32,
            {3, 2, 1, 4}},
        {"a missing packet header is a run of white", tga(10, 3, 1, 32, 0, {0x00, 1, 2, 3, 4}), 32,
            cat({3, 2, 1, 4}, white, 2)},
        {"the ID field is skipped", tga(2, 2, 2, 24, 0, cat({'h', 'i'}, cat(bottom, top)), 2), 32,
            twoByTwo},
        {"a colour map of 15-bit entries is skipped after the ID",
            tga(10, 2, 2, 24, 0, {0xee, 0xcc, 0xcc, 0xcc, 0xcc, 0x83, 1, 2, 3}, 1, 1, 2, 15), 32,
            cat({}, blue, 4)},
        {"map fields without a map", tga(3, 2, 1, 8, 0, {5, 6}, 0, 0, 4, 32), 8, {5, 6}},
        {"a map length above 32767 is unsigned",
            tga(3, 2, 1, 8, 0, cat(Bytes(0x8000, 0xcc), {5, 6}), 0, 1, 0x8000, 8), 8, {5, 6}},
        {"0 by 5", tga(2, 0, 5, 24, 0, {}), 32, {}},
        {"5 by 0", tga(2, 5, 0, 24, 0, {}), 32, {}},
        // clang-format on
    };
    for (const auto& [what, file, bitsPerPixel, pixels] : cases) {
        TgaImage image;
        ASSERT_TRUE(loadBytes(image, file)) << what;
        EXPECT_EQ(image.bitsPerPixel, bitsPerPixel) << what;
        EXPECT_EQ(pixelsOf(image), pixels) << what; // an empty buffer still counts as loaded
    }
    // A loaded image keeps its picture until released, once.
    TgaImage image;
    EXPECT_FALSE(image.release());
    ASSERT_TRUE(loadBytes(image, tga(2, 2, 2, 24, 0, cat(bottom, top))));
    EXPECT_TRUE(loadBytes(image, tga(3, 1, 1, 8, 0, {42})));
    EXPECT_EQ(pixelsOf(image), twoByTwo);
    EXPECT_TRUE(image.release() && image.pixels == nullptr && !image.release());
    ASSERT_TRUE(loadBytes(image, tga(3, 1, 1, 8, 0, {42})));
    EXPECT_EQ(pixelsOf(image), Bytes{42});
}

// What a file's own length allows: an uncompressed picture must hold every pixel its header
// promises, a run-length one at most 128 pixels a packet (and one packet more for a cut); the
// longest side is the graphics library's.
TEST(TgaImageBounds, TheFileLengthAndTheLargestSideDecideAndOtherLayoutsAreRefused) {
    const std::tuple<const char*, Bytes, int32_t, bool> cases[] = {
        // clang-format off
        {"every pixel present", tga(3, 300, 1, 8, 0, Bytes(300, 7)), 300, true},
        {"one grey byte missing", tga(3, 300, 1, 8, 0, Bytes(299, 7)), 300, false},
        {"one colour byte missing", tga(2, 2, 1, 24, 0, {1, 2, 3, 4, 5}), 16384, false},
        {"a side one past the largest", tga(3, 300, 1, 8, 0, Bytes(300, 7)), 299, false},
        {"the header alone, 16384 square", tga(2, 16384, 16384, 32, 0, {}), 16384, false},
        {"skipped fields past the end", tga(2, 1, 1, 32, 0, {1}, 255, 1, 0xffff, 32), 16384, false},
        {"one packet, 256 pixels", tga(10, 256, 1, 32, 0, {0xff, 1, 2, 3, 4}), 16384, true},
        {"one packet, 257 pixels", tga(10, 257, 1, 32, 0, {0xff, 1, 2, 3, 4}), 16384, false},
        {"a run-length header alone", tga(10, 16384, 16384, 24, 0, {}), 16384, false},
        // clang-format on
    };
    for (const auto& [what, file, maxSide, loads] : cases) {
        TgaImage image;
        EXPECT_EQ(loadBytes(image, file, maxSide), loads) << what;
        EXPECT_EQ(image.refusal.empty(), loads) << what << ": " << image.refusal;
    }
    // Other layouts and broken files are refused, keeping the header as read.
    Bytes cut = tga(2, 2, 2, 24, 0, {});
    cut.resize(12); // the file ends inside the header
    const Bytes refused[] = {
        // clang-format off
        tga(1, 2, 2, 24, 0, Bytes(9)), tga(9, 2, 2, 24, 0, Bytes(9)), tga(11, 2, 2, 8, 0, Bytes(9)),
        tga(0, 2, 2, 24, 0, Bytes(9)), tga(2, 2, 2, 16, 0, Bytes(9)), tga(2, 2, 2, 15, 0, Bytes(9)),
        tga(3, 2, 2, 0, 0, Bytes(9)), tga(10, 2, 2, 16, 0, Bytes(9)), tga(10, 4, 4, 8, 0, {143, 1}),
        tga(2, 0x8000, 1, 24, 0, {}), tga(2, 1, 0xffff, 24, 0, {}), tga(2, 0x8000, 0, 24, 0, {}),
        tga(2, 0xffff, 0xffff, 24, 0, {}), cut, Bytes{},
        // clang-format on
    };
    for (const Bytes& file : refused) {
        TgaImage image;
        EXPECT_FALSE(loadBytes(image, file)) << file.size() << " bytes";
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.imageType, file.size() > 2 ? file[2] : 255);
    }
    TgaImage missing; // a missing file is no refusal: it stays silent
    EXPECT_FALSE(missing.load("no/such/file.tga"));
    EXPECT_TRUE(missing.refusal.empty() && missing.imageType == 0);
}

TEST(TgaImageBounds, PeoplesLargerPicturesLoadAndAFailedAllocationIsRefused) {
    Bytes body(size_t{4096} * 1025 * 3, 0); // someone's own art, larger than any of ours
    body[0] = 9;
    TgaImage large;
    ASSERT_TRUE(loadBytes(large, tga(2, 4096, 1025, 24, 0, body)));
    EXPECT_EQ(large.pixels[size_t{4096} * 1024 * 4 + 2], 9);
#if defined(__SANITIZE_ADDRESS__)
    // 16384 by 1100 pixels ask for 72 MB, above this test's 64 MB limit; 140800 run-length
    // packets of 128 pixels can describe them.
    TgaImage tooMuch;
    EXPECT_FALSE(
        loadBytes(tooMuch, tga(10, 16384, 1100, 32, 0, cat({}, {0xff, 1, 2, 3, 4}, 140800))));
    EXPECT_NE(tooMuch.refusal.find("memory"), std::string::npos) << tooMuch.refusal;
#endif
}
