// Writes the fuzzer's seed pictures into the folder given: one small file of each layout the
// reader takes, with an ID field, a colour map, run-length packets and an empty picture.
#include "support/Tga.h"

#include <string>
#include <utility>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::string folder = std::string(argv[1]) + "/";
    TgaHeader mapped = tgaHeader(2, 1, 1, 24);
    mapped.idLength = 3;
    mapped.colourMapType = 1;
    mapped.colourMapLength = 2;
    mapped.colourMapEntryBits = 15;
    const std::pair<const char*, Bytes> seeds[] = {
        {"rgb24-bottom-first",
         tgaBytes(tgaHeader(2, 2, 2, 24), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"rgba32-top-first", tgaBytes(tgaHeader(2, 2, 1, 32, 0x28), {1, 2, 3, 0, 4, 5, 6, 0x80})},
        {"grey8-type3", tgaBytes(tgaHeader(3, 3, 2, 8), {0, 1, 0x7f, 0x80, 0xfe, 0xff})},
        {"grey8-type2", tgaBytes(tgaHeader(2, 2, 2, 8, 0x20), {0x10, 0x20, 0x30, 0x40})},
        {"rle24-run", tgaBytes(tgaHeader(10, 4, 1, 24, 0x20), {0x83, 1, 2, 3})},
        {"rle32-mixed",
         tgaBytes(tgaHeader(10, 3, 2, 32), {0x01, 10, 10, 10, 0xff, 20, 20, 20, 0xff, 0x82, 30, 30,
                                            30, 0x80, 0x00, 40, 40, 40, 0x00})},
        {"id-and-colour-map", tgaBytes(mapped, {'a', 'b', 'c', 0x00, 0x7c, 0xe0, 0x03, 1, 2, 3})},
        {"empty", tgaBytes(tgaHeader(2, 0, 0, 24))},
    };
    for (const auto& [name, bytes] : seeds)
        writeFile(folder + name + ".tga", bytes);
    return 0;
}
