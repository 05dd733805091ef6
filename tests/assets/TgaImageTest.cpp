#include "assets/TgaImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TGA_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TGA_TEST_ASAN 1
#endif
#endif

#ifdef TGA_TEST_ASAN
// Lets an oversized request fail the way a real out-of-memory would, instead of aborting.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}
#endif

namespace {

using Bytes = std::vector<uint8_t>;

struct Header {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint16_t colourMapFirstIndex = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t bitsPerPixel = 24;
    uint8_t descriptor = 0;
};

Header header(uint8_t imageType, uint16_t width, uint16_t height, uint8_t bitsPerPixel,
              uint8_t descriptor = 0) {
    Header h;
    h.imageType = imageType;
    h.width = width;
    h.height = height;
    h.bitsPerPixel = bitsPerPixel;
    h.descriptor = descriptor;
    return h;
}

// The 18 header bytes, then whatever follows them in the file.
Bytes tga(const Header& h, const Bytes& body = {}) {
    const auto lo = [](uint16_t v) { return static_cast<uint8_t>(v & 0xff); };
    const auto hi = [](uint16_t v) { return static_cast<uint8_t>(v >> 8); };
    Bytes bytes = {h.idLength,
                   h.colourMapType,
                   h.imageType,
                   lo(h.colourMapFirstIndex),
                   hi(h.colourMapFirstIndex),
                   lo(h.colourMapLength),
                   hi(h.colourMapLength),
                   h.colourMapEntrySize,
                   lo(h.xOrigin),
                   hi(h.xOrigin),
                   lo(h.yOrigin),
                   hi(h.yOrigin),
                   lo(h.width),
                   hi(h.width),
                   lo(h.height),
                   hi(h.height),
                   h.bitsPerPixel,
                   h.descriptor};
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

std::string tempPath() {
    static int counter = 0;
    const ::testing::TestInfo* const test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "TgaImageTest_" + test->test_suite_name() + "_" + test->name() +
           "_" + std::to_string(counter++) + ".tga";
}

// Writes the bytes to a temporary file, loads it and removes the file.
bool loadBytes(TgaImage& image, const Bytes& bytes) {
    const std::string path = tempPath();
    FILE* const file = fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (!file)
        return false;
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    const bool loaded = image.load(path.c_str());
    std::remove(path.c_str());
    return loaded;
}

Bytes pixelsOf(const TgaImage& image) {
    const size_t size = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                        static_cast<size_t>(image.bitsPerPixel / 8);
    return Bytes(image.pixels, image.pixels + size);
}

// A 2 by 2 picture: file pixels (blue, green, red) and the RGBA rows they become, top row first.
const Bytes topRowBgr = {7, 8, 9, 10, 11, 12};
const Bytes bottomRowBgr = {1, 2, 3, 4, 5, 6};
const Bytes twoByTwoRgba = {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255};

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(TgaImageLoad, BottomFirst24BitBecomesRgbaWithLastFileRowOnTop) {
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(2, 2, 2, 24), concat(bottomRowBgr, topRowBgr))));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image), twoByTwoRgba);
}

TEST(TgaImageLoad, TopFirstWithBit5GivesTheSamePixels) {
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(2, 2, 2, 24, 0x20), concat(topRowBgr, bottomRowBgr))));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image), twoByTwoRgba);
}

TEST(TgaImageLoad, OnlyBit5OfTheDescriptorActs) {
    // Alpha-bit count and right-to-left order are ignored: columns stay as read.
    TgaImage topFirst;
    ASSERT_TRUE(loadBytes(
        topFirst, tga(header(2, 2, 2, 24, 0x20 | 0x10 | 0x08), concat(topRowBgr, bottomRowBgr))));
    EXPECT_EQ(pixelsOf(topFirst), twoByTwoRgba);
    // Every descriptor bit but bit 5.
    TgaImage bottomFirst;
    ASSERT_TRUE(
        loadBytes(bottomFirst, tga(header(2, 2, 2, 24, 0xdf), concat(bottomRowBgr, topRowBgr))));
    EXPECT_EQ(pixelsOf(bottomFirst), twoByTwoRgba);
}

TEST(TgaImageLoad, OddRowCountKeepsTheMiddleRow) {
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(3, 2, 3, 8), {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(pixelsOf(image), (Bytes{5, 6, 3, 4, 1, 2}));
}

TEST(TgaImageLoad, Depth32KeepsAlpha) {
    TgaImage image;
    ASSERT_TRUE(
        loadBytes(image, tga(header(2, 3, 1, 32), {1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255})));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1, 0, 6, 5, 4, 128, 9, 8, 7, 255}));
}

TEST(TgaImageLoad, Depth8KeepsOneBytePerPixelForTypes3And2) {
    for (const uint8_t type : {3, 2}) {
        TgaImage image;
        ASSERT_TRUE(loadBytes(image, tga(header(type, 3, 2, 8, 0x20), {0, 1, 127, 128, 254, 255})))
            << int{type};
        EXPECT_EQ(image.bitsPerPixel, 8);
        EXPECT_EQ(pixelsOf(image), (Bytes{0, 1, 127, 128, 254, 255})) << int{type};
    }
}

TEST(TgaImageLoad, ZeroSizeGivesAnEmptyBuffer) {
    for (const auto& size : {std::pair<uint16_t, uint16_t>{0, 0}, {0, 5}, {5, 0}}) {
        TgaImage image;
        ASSERT_TRUE(loadBytes(image, tga(header(2, size.first, size.second, 24))));
        EXPECT_EQ(image.width, size.first);
        EXPECT_EQ(image.height, size.second);
        EXPECT_EQ(image.bitsPerPixel, 32);
        // An empty buffer is still a buffer: the image counts as loaded.
        EXPECT_NE(image.pixels, nullptr);
        EXPECT_TRUE(image.release());
    }
}

TEST(TgaImageLoad, HeaderFieldsAreLittleEndianAndSigned) {
    Header h = header(2, 1, 1, 24, 0x20);
    h.colourMapFirstIndex = 0x0102;
    h.colourMapLength = 0x0304;
    h.colourMapEntrySize = 24;
    h.xOrigin = 0xfffe;
    h.yOrigin = 0x8000;
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(h, {1, 2, 3})));
    EXPECT_EQ(image.idLength, 0);
    EXPECT_EQ(image.colourMapType, 0);
    EXPECT_EQ(image.imageType, 2);
    EXPECT_EQ(image.colourMapFirstIndex, 258);
    EXPECT_EQ(image.colourMapLength, 772);
    EXPECT_EQ(image.colourMapEntrySize, 24);
    EXPECT_EQ(image.xOrigin, -2);
    EXPECT_EQ(image.yOrigin, -32768);
    EXPECT_EQ(image.fileWidth, 1);
    EXPECT_EQ(image.fileHeight, 1);
    EXPECT_EQ(image.fileBitsPerPixel, 24);
    EXPECT_EQ(image.imageDescriptor, 0x20);
}

TEST(TgaImageLoad, OtherTypesAndDepthsAreRefusedWithTheHeaderAsRead) {
    const Header refused[] = {header(1, 2, 2, 24), header(9, 2, 2, 24), header(11, 2, 2, 8),
                              header(0, 2, 2, 24), header(2, 2, 2, 16), header(2, 2, 2, 15),
                              header(3, 2, 2, 0),  header(10, 2, 2, 16)};
    for (const Header& h : refused) {
        TgaImage image;
        EXPECT_FALSE(loadBytes(image, tga(h, Bytes(16, 0))))
            << int{h.imageType} << "/" << int{h.bitsPerPixel};
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
        EXPECT_EQ(image.bitsPerPixel, 0);
        EXPECT_EQ(image.imageType, h.imageType);
        EXPECT_EQ(image.fileBitsPerPixel, h.bitsPerPixel);
        EXPECT_EQ(image.fileWidth, 2);
    }
}

TEST(TgaImageLoad, FileEndingInsideTheHeaderIsRefused) {
    Bytes bytes = tga(header(2, 2, 2, 24));
    bytes.resize(12);
    TgaImage image;
    EXPECT_FALSE(loadBytes(image, bytes));
    EXPECT_EQ(image.fileBitsPerPixel, 255);
    EXPECT_EQ(image.pixels, nullptr);
}

TEST(TgaImageLoad, EmptyFileIsRefused) {
    TgaImage image;
    EXPECT_FALSE(loadBytes(image, {}));
    EXPECT_EQ(image.pixels, nullptr);
}

TEST(TgaImageLoad, SecondLoadKeepsTheFirstPicture) {
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(2, 2, 2, 24), concat(bottomRowBgr, topRowBgr))));
    const uint8_t* const first = image.pixels;
    EXPECT_TRUE(loadBytes(image, tga(header(3, 1, 1, 8), {42})));
    EXPECT_TRUE(image.load("no/such/file.tga"));
    EXPECT_EQ(image.pixels, first);
    EXPECT_EQ(image.imageType, 2);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image), twoByTwoRgba);
}

TEST(TgaImageLoad, ReleaseFreesOnceAndKeepsTheSize) {
    TgaImage image;
    EXPECT_FALSE(image.release());
    ASSERT_TRUE(loadBytes(image, tga(header(2, 2, 2, 24), concat(bottomRowBgr, topRowBgr))));
    EXPECT_TRUE(image.release());
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_FALSE(image.release());
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.bitsPerPixel, 32);
    // Released, the image takes a new picture.
    ASSERT_TRUE(loadBytes(image, tga(header(3, 1, 1, 8), {42})));
    EXPECT_EQ(pixelsOf(image), (Bytes{42}));
}

TEST(TgaImageLoad, MissingFileIsRefusedAndChangesNothing) {
    TgaImage image;
    EXPECT_FALSE(image.load("no/such/file.tga"));
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.imageType, 0);
    EXPECT_EQ(image.width, 0);
}

TEST(TgaImageRunLength, RunPacketRepeatsOnePixel) {
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(10, 4, 1, 24), {0x83, 1, 2, 3})));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255}));
}

TEST(TgaImageRunLength, RawPacketReadsCountPixels) {
    TgaImage image;
    ASSERT_TRUE(
        loadBytes(image, tga(header(10, 3, 1, 32), {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12}));
}

TEST(TgaImageRunLength, PacketsCrossRowEnds) {
    // 3 by 2, top row first: raw 2, run 3 (end of row 0 and start of row 1), raw 1.
    const Bytes body = {0x01, 10, 10, 10, 20, 20, 20, 0x82, 30, 30, 30, 0x00, 40, 40, 40};
    const Bytes topFirstRgba = {10, 10, 10, 255, 20, 20, 20, 255, 30, 30, 30, 255,
                                30, 30, 30, 255, 30, 30, 30, 255, 40, 40, 40, 255};
    TgaImage topFirst;
    ASSERT_TRUE(loadBytes(topFirst, tga(header(10, 3, 2, 24, 0x20), body)));
    EXPECT_EQ(pixelsOf(topFirst), topFirstRgba);
    // The same packets stored bottom row first come out with the two rows exchanged.
    TgaImage bottomFirst;
    ASSERT_TRUE(loadBytes(bottomFirst, tga(header(10, 3, 2, 24), body)));
    const Bytes swapped = concat(Bytes(topFirstRgba.begin() + 12, topFirstRgba.end()),
                                 Bytes(topFirstRgba.begin(), topFirstRgba.begin() + 12));
    EXPECT_EQ(pixelsOf(bottomFirst), swapped);
}

TEST(TgaImageRunLength, PacketPastTheLastPixelStopsThere) {
    TgaImage run;
    ASSERT_TRUE(loadBytes(run, tga(header(10, 2, 1, 24), {0xff, 1, 2, 3})));
    EXPECT_EQ(pixelsOf(run), (Bytes{3, 2, 1, 255, 3, 2, 1, 255}));
    TgaImage raw;
    ASSERT_TRUE(
        loadBytes(raw, tga(header(10, 2, 1, 32), {0x7f, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9})));
    EXPECT_EQ(pixelsOf(raw), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaImageHostile, RunLengthAt8BitsIsRefused) {
    TgaImage image;
    EXPECT_FALSE(loadBytes(image, tga(header(10, 4, 4, 8), {0x8f, 1, 2, 3, 4})));
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.imageType, 10);
    EXPECT_EQ(image.fileBitsPerPixel, 8);
}

TEST(TgaImageHostile, NegativeSizeIsRefused) {
    // With the other side 0 a negative side would not even ask for memory.
    const std::pair<uint16_t, uint16_t> sizes[] = {
        {0x8000, 1}, {1, 0xffff}, {0xffff, 0xffff}, {0x8000, 0}, {0, 0xffff}};
    for (const auto& size : sizes) {
        TgaImage image;
        EXPECT_FALSE(loadBytes(image, tga(header(2, size.first, size.second, 24))))
            << size.first << " by " << size.second;
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.fileWidth, static_cast<int16_t>(size.first));
    }
}

TEST(TgaImageHostile, FailedAllocationIsRefused) {
#ifdef TGA_TEST_ASAN
    // 16384 by 1100 pixels ask for 72 MB, above this test's 64 MB limit; 140800 run-length
    // packets of 128 pixels (704000 bytes) are enough to describe them.
    Bytes packets;
    for (int i = 0; i < 140800; ++i)
        packets.insert(packets.end(), {0xff, 1, 2, 3, 4});
    TgaImage image;
    EXPECT_FALSE(loadBytes(image, tga(header(10, 16384, 1100, 32), packets)));
    EXPECT_NE(image.refusal.find("memory"), std::string::npos) << image.refusal;
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.width, 0);
#else
    GTEST_SKIP() << "needs AddressSanitizer's allocation limit";
#endif
}

TEST(TgaImageHostile, IdFieldIsSkipped) {
    Header h = header(2, 2, 2, 24);
    h.idLength = 5;
    TgaImage image;
    ASSERT_TRUE(loadBytes(
        image, tga(h, concat({'h', 'e', 'l', 'l', 'o'}, concat(bottomRowBgr, topRowBgr)))));
    EXPECT_EQ(image.idLength, 5);
    EXPECT_EQ(pixelsOf(image), twoByTwoRgba);
}

TEST(TgaImageHostile, ColourMapIsSkippedWhenPresent) {
    // Entries of 15 bits take 2 bytes; an ID field comes before the map.
    Header h = header(10, 2, 2, 24);
    h.idLength = 1;
    h.colourMapType = 1;
    h.colourMapLength = 3;
    h.colourMapEntrySize = 15;
    TgaImage image;
    ASSERT_TRUE(
        loadBytes(image, tga(h, {0xee, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0x83, 1, 2, 3})));
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255}));
}

TEST(TgaImageHostile, ColourMapFieldsWithoutAMapSkipNothing) {
    Header h = header(3, 2, 1, 8);
    h.colourMapLength = 4;
    h.colourMapEntrySize = 32;
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(h, {5, 6})));
    EXPECT_EQ(pixelsOf(image), (Bytes{5, 6}));
}

TEST(TgaImageHostile, ColourMapLengthAbove32767CountsAsUnsigned) {
    Header h = header(3, 2, 1, 8);
    h.colourMapType = 1;
    h.colourMapLength = 0x8000;
    h.colourMapEntrySize = 8;
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(h, concat(Bytes(0x8000, 0xcc), {5, 6}))));
    EXPECT_EQ(image.colourMapLength, -32768);
    EXPECT_EQ(pixelsOf(image), (Bytes{5, 6}));
}

// What a file's own length allows: an uncompressed picture must hold every pixel its header
// promises, a run-length one at most 128 pixels a packet (and one packet more for a cut).
TEST(TgaImageBounds, TheFileLengthAndTheLargestSideDecide) {
    const Bytes fullGreyRow(300, 7);
    Header skipsPastTheEnd = header(2, 1, 1, 32);
    skipsPastTheEnd.idLength = 255;
    skipsPastTheEnd.colourMapType = 1;
    skipsPastTheEnd.colourMapLength = 0xffff;
    skipsPastTheEnd.colourMapEntrySize = 32;
    const struct {
        const char* what;
        Bytes file;
        int32_t maxSide;
        bool loads;
    } cases[] = {
        {"every pixel present", tga(header(3, 300, 1, 8), fullGreyRow), 300, true},
        {"one pixel byte missing", tga(header(3, 300, 1, 8), Bytes(299, 7)), 300, false},
        {"one colour byte missing", tga(header(2, 2, 1, 24), {1, 2, 3, 4, 5}), 16384, false},
        {"a side one past the largest", tga(header(3, 300, 1, 8), fullGreyRow), 299, false},
        {"the header alone, 16384 square", tga(header(2, 16384, 16384, 32)), 16384, false},
        {"skipped fields past the end", tga(skipsPastTheEnd, {1, 2, 3}), 16384, false},
        {"one 32-bit packet, 256 pixels", tga(header(10, 256, 1, 32), {0xff, 1, 2, 3, 4}), 16384,
         true},
        {"one 32-bit packet, 257 pixels", tga(header(10, 257, 1, 32), {0xff, 1, 2, 3, 4}), 16384,
         false},
        {"the header alone, run-length 16384 square", tga(header(10, 16384, 16384, 24)), 16384,
         false},
    };
    for (const auto& c : cases) {
        const std::string path = tempPath();
        FILE* const file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(c.file.data(), 1, c.file.size(), file);
        fclose(file);
        TgaImage image;
        EXPECT_EQ(image.load(path.c_str(), c.maxSide), c.loads) << c.what;
        EXPECT_EQ(image.refusal.empty(), c.loads) << c.what << ": " << image.refusal;
        EXPECT_EQ(image.pixels != nullptr, c.loads) << c.what;
        std::remove(path.c_str());
    }
}

TEST(TgaImageBounds, ARunLengthFileCutShortInsideItsBoundEndsInWhite) {
    // A packet header read past the end is 0xff: a run of 128 pixels of 255.
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(10, 200, 1, 32), {0x00, 1, 2, 3, 4})));
    const Bytes pixels = pixelsOf(image);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 4), (Bytes{3, 2, 1, 4}));
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 255), 199 * 4);
}

TEST(TgaImageBounds, PeoplesOwnLargerPicturesLoad) {
    // 4096 by 1025 at 24 bits: a picture of someone's own art, larger than any of ours.
    Bytes body(size_t{4096} * 1025 * 3, 0);
    body[0] = 9; // blue of the bottom row's first pixel
    TgaImage image;
    ASSERT_TRUE(loadBytes(image, tga(header(2, 4096, 1025, 24), body)));
    EXPECT_EQ(image.width, 4096);
    EXPECT_EQ(image.pixels[size_t{4096} * 1024 * 4 + 2], 9);
}

TEST(TgaImageBounds, AMissingFileIsNoRefusal) {
    TgaImage image;
    EXPECT_FALSE(image.load("no/such/file.tga"));
    EXPECT_TRUE(image.refusal.empty());
}
